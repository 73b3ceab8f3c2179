#include "mainwindow.h"

#include "dialogs/about.h"
#include "dialogs/chorddialog.h"
#include "dialogs/transposer.h"
#include "pageimage.h"
#include "print/preview.h"
#include "toolicons.h"
#include "updown.h"
#include "dialogs/win1252validator.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace mavrel {

namespace {
constexpr int ImageOffset = 25;       // the page's place in the scroll box
constexpr int TrackBarThickness = 22;
constexpr int MaxTextLength = 100;    // what a label can hold
constexpr int EditBoxHeight = 21;

QFont boldFont(int points)
{
    QFont f;
    f.setPointSize(points);
    f.setBold(true);
    return f;
}
} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), m_chart(std::make_unique<Chart>())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Mavrel"));
    move(141, 125);
    resize(814, 567);

    buildToolBar();
    buildPageArea();
    buildMenu();
    statusBar()->setObjectName(QStringLiteral("StatusBar"));

    // Debut: the default page size, the lasso at rest, a new chart.
    m_chart->defaultPageHeight = DefaultPageHeight;
    m_chart->defaultPageWidth = DefaultPageWidth;
    m_lassoActive = false;
    New(*m_chart, *this);

    // The secondary windows, hidden, in their order.
    auto redraw = [this] { DrawGrille(); };
    m_form2 = new TForm2(*m_chart, redraw, this);
    m_form3 = new TForm3([this]() -> const QImage& { return m_page.image(); }, this);
    // A transposition changes the chord the dialog was opened on.
    m_form5 = new TForm5(*m_chart, [this] {
        m_form2->hide();
        DrawGrille();
    }, this);
    m_form6 = new TForm6(this);
}

TForm1::~TForm1() = default;

void TForm1::buildToolBar()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    Panel1 = new QWidget(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(34);
    layout->addWidget(Panel1);

    BitBtn1 = new QPushButton(Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(16, 2, 33, 31);
    BitBtn1->setIcon(toolIcon(ToolIcon::Turn));
    BitBtn1->setToolTip(QStringLiteral("Pour passer du format horizontal au format vertical"));
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);

    auto label = [this](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, Panel1);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(boldFont(8));
        l->adjustSize();
        l->move(x, y);
    };
    label("Label1", QStringLiteral("Cases L"), 56, 10);
    label("Label3", QStringLiteral("H"), 160, 10);
    label("Label2", QStringLiteral("Fonts:"), 480, 10);

    auto numberBox = [this](const char* name, int x, const QString& hint) {
        auto* e = new QLineEdit(Panel1);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(x, 9, 25, 21);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setToolTip(hint);
        return e;
    };
    auto spinner = [this](const char* name, int x, const QString& hint) {
        auto* u = new UpDown(Panel1);
        u->setObjectName(QString::fromLatin1(name));
        u->setGeometry(x, 9, 15, 21);
        u->setRange(1, 100);
        u->setToolTip(hint);
        return u;
    };
    const QString across = QStringLiteral("Nombre de cases en largeur");
    const QString down = QStringLiteral("Nombre de cases en hauteur");
    Edit2 = numberBox("Edit2", 112, across);
    UpDown1 = spinner("UpDown1", 137, across);
    UpDown1->setPosition(4);
    Edit2->setText(QStringLiteral("4"));
    Edit3 = numberBox("Edit3", 176, down);
    UpDown2 = spinner("UpDown2", 201, down);
    UpDown2->setPosition(8);
    Edit3->setText(QStringLiteral("8"));
    connect(UpDown1, &UpDown::stepped, this, &TForm1::UpDown1Click);
    connect(UpDown2, &UpDown::stepped, this, &TForm1::UpDown2Click);

    group1 = new QButtonGroup(this);
    group1->setExclusive(true);
    auto tool = [this](const char* name, QRect box, const QString& hint) {
        auto* b = new QToolButton(Panel1);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(box);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setToolTip(hint);
        b->setIconSize(QSize(20, 18));
        group1->addButton(b);
        return b;
    };
    SpeedButton1 = tool("SpeedButton1", {264, 4, 33, 28},
                        QStringLiteral("Outils pour entrer les accords\nClic droit = divisions\nClic gauche = accords"));
    SpeedButton1->setIcon(toolIcon(ToolIcon::Chord));
    SpeedButton3 = tool("SpeedButton3", {304, 4, 33, 28}, QStringLiteral("Pour gommer une case"));
    SpeedButton3->setIcon(toolIcon(ToolIcon::Eraser));
    SpeedButton2 = tool("SpeedButton2", {344, 4, 33, 29},
                        QStringLiteral("Pour mettre des double barres ou des barres de reprise"));
    SpeedButton2->setIcon(toolIcon(ToolIcon::BarLine));
    SpeedButton7 = tool("SpeedButton7", {384, 4, 33, 29},
                        QStringLiteral("Lasso  : selection pour le copier coller "));
    SpeedButton7->setIcon(toolIcon(ToolIcon::Lasso));
    SpeedButton4 = tool("SpeedButton4", {424, 4, 33, 28}, QStringLiteral("Pour mettre du texte"));
    SpeedButton4->setText(QStringLiteral("T"));
    SpeedButton4->setFont(boldFont(10));
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TForm1::lassosel);
    connect(SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);

    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(528, 7, 41, 21);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    // Completing "7" to "72" would change what the user typed.
    ComboBox1->setCompleter(nullptr);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        ComboBox1->addItem(QString::number(size));
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setToolTip(QStringLiteral("Taille ecriture , accord  ou texte"));
    connect(ComboBox1, &QComboBox::activated, this,
            [this](int index) { ComboBox1Change(ComboBox1->itemText(index)); });
    // A typed size is taken on Enter (eventFilter). The combo box has the
    // focus and hands keys to its text, so the filter sits on the combo box.
    ComboBox1->installEventFilter(this);

    SpeedButton6 = new QToolButton(Panel1);
    SpeedButton6->setObjectName(QStringLiteral("SpeedButton6"));
    SpeedButton6->setGeometry(568, 8, 25, 20);
    SpeedButton6->setCheckable(true);
    SpeedButton6->setAutoRaise(true);
    SpeedButton6->setText(QStringLiteral("G"));
    SpeedButton6->setFont(boldFont(10));
    SpeedButton6->setToolTip(QStringLiteral("Pour mettre en gras"));
    connect(SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);

    SpeedButton5 = new QToolButton(Panel1);
    SpeedButton5->setObjectName(QStringLiteral("SpeedButton5"));
    SpeedButton5->setGeometry(680, 1, 33, 32);
    SpeedButton5->setCheckable(true);
    SpeedButton5->setAutoRaise(true);
    SpeedButton5->setIcon(toolIcon(ToolIcon::PageLayout));
    SpeedButton5->setIconSize(QSize(20, 18));
    SpeedButton5->setToolTip(QStringLiteral("Pour la mise en page"));
    connect(SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
}

void TForm1::buildPageArea()
{
    ScrollBox1 = new QScrollArea(centralWidget());
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setWidgetResizable(false);
    centralWidget()->layout()->addWidget(ScrollBox1);

    scrollContents = new QWidget;
    scrollContents->setObjectName(QStringLiteral("ScrollContents"));
    Image1 = new PageImage(scrollContents);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->move(ImageOffset, ImageOffset);
    connect(Image1, &PageImage::pressed, this, &TForm1::clic2);
    connect(Image1, &PageImage::moved, this, &TForm1::selection);
    connect(Image1, &PageImage::released, this, &TForm1::finselection);

    Edit1 = new QLineEdit(scrollContents);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(MaxTextLength);
    Edit1->setValidator(new Win1252Validator(Edit1));
    Edit1->hide();
    Edit1->installEventFilter(this);
    setEditFont(8, false);
    Edit1->setGeometry(216, 152, 25, EditBoxHeight);

    auto trackBar = [this](const char* name, Qt::Orientation o) {
        auto* t = new QSlider(o, scrollContents);
        t->setObjectName(QString::fromLatin1(name));
        t->setTickPosition(QSlider::NoTicks);
        t->setFocusPolicy(Qt::ClickFocus);   // skipped by the Tab key
        t->hide();
        return t;
    };
    // Vertical track bars have their minimum at the top.
    TrackBar1 = trackBar("TrackBar1", Qt::Vertical);
    TrackBar1->setInvertedAppearance(true);
    TrackBar1->setInvertedControls(true);
    TrackBar2 = trackBar("TrackBar2", Qt::Vertical);
    TrackBar2->setInvertedAppearance(true);
    TrackBar2->setInvertedControls(true);
    TrackBar3 = trackBar("TrackBar3", Qt::Horizontal);
    connect(TrackBar1, &QSlider::valueChanged, this, &TForm1::MargeHaute);
    connect(TrackBar2, &QSlider::valueChanged, this, &TForm1::MargeBasse);
    connect(TrackBar3, &QSlider::valueChanged, this, &TForm1::MageCote);

    ScrollBox1->setWidget(scrollContents);
}

void TForm1::layoutScrollContents()
{
    QRect r = Image1->geometry().adjusted(0, 0, ImageOffset, ImageOffset);
    for (QWidget* w : {static_cast<QWidget*>(TrackBar1), static_cast<QWidget*>(TrackBar2),
                       static_cast<QWidget*>(TrackBar3), static_cast<QWidget*>(Edit1)})
        if (w->isVisibleTo(scrollContents))
            r = r.united(w->geometry());
    scrollContents->resize(r.right() + 1, r.bottom() + 1);
}

// --- the page -------------------------------------------------------------------

void TForm1::DrawGrille()
{
    m_page.DrawGrille(*m_chart, m_selection, SpeedButton5->isChecked());
    Image1->setImage(&m_page.image());
    layoutScrollContents();
}

void TForm1::setRowsSpinner(int rows)
{
    UpDown2->setPosition(rows);
    Edit3->setText(QString::number(rows));
}

void TForm1::setColumnsSpinner(int columns)
{
    UpDown1->setPosition(columns);
    Edit2->setText(QString::number(columns));
}

void TForm1::discardPage() { m_page.discard(); }

void TForm1::pressChordTool()
{
    SpeedButton1->setChecked(true);
    SpeedButton1Click();
}

void TForm1::showMessage(const QString& text)
{
    if (m_messenger)
        m_messenger(text);
    else
        QMessageBox::critical(this, QStringLiteral("Mavrel"), text);
}

void TForm1::showStatus(const QString& text) { statusBar()->showMessage(text, 8000); }

// --- tools ----------------------------------------------------------------------

void TForm1::setComboToSize(int size)
{
    const QSignalBlocker block(ComboBox1);
    const int i = ComboBox1->findText(QString::number(size), Qt::MatchExactly);
    ComboBox1->setCurrentIndex(i);
    if (i < 0)
        ComboBox1->setEditText(QString());
}

void TForm1::SpeedButton1Click()
{
    m_chart->outil = OutilAccord;
    setComboToSize(m_chart->info.fontSize);
    SpeedButton6->setChecked(m_chart->info.bold != 0);
    m_selection.clear();
    DrawGrille();
}

void TForm1::SpeedButton3Click()
{
    m_chart->outil = OutilGomme;
    m_selection.clear();
    DrawGrille();
}

void TForm1::SpeedButton2Click()
{
    m_chart->outil = OutilBarre;
    m_selection.clear();
    DrawGrille();
}

void TForm1::SpeedButton4Click()
{
    m_chart->outil = OutilTexte;
    setComboToSize(m_editFontSize);
    SpeedButton6->setChecked(m_editBold);
    m_selection.clear();
    DrawGrille();
}

void TForm1::lassosel() { m_chart->outil = OutilLasso; }

void TForm1::ComboBox1Change(const QString& text)
{
    if (m_chart->outil != OutilAccord && m_chart->outil != OutilTexte)
        return;
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    if (!ok || size < 1 || size > 127) {
        showMessage(QStringLiteral("'%1' n'est pas une valeur entière correcte.").arg(text));
        return;
    }
    if (m_chart->outil == OutilAccord) {
        m_chart->info.fontSize = size;
        DrawGrille();
    } else {
        const int n = Edit1->text().size();
        setEditFont(size, m_editBold);
        Edit1->resize(effectivePoints(size) * (n + 1), Edit1->height());
    }
}

void TForm1::SpeedButton6Click()
{
    if (m_chart->outil == OutilAccord) {
        m_chart->info.bold = SpeedButton6->isChecked() ? 1 : 0;
        DrawGrille();
    } else if (m_chart->outil == OutilTexte) {
        setEditFont(m_editFontSize, SpeedButton6->isChecked());
    }
}

void TForm1::setEditFont(int points, bool bold)
{
    m_editFontSize = points;
    m_editBold = bold;
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pointsToPixels(points));
    f.setBold(bold);
    Edit1->setFont(f);
    // The box's height follows its font, so that large text is not cut.
    Edit1->resize(Edit1->width(), std::max(EditBoxHeight, Edit1->sizeHint().height()));
}

// --- grid size ------------------------------------------------------------------

bool TForm1::stepGrid(UpDown* spinner, std::int32_t& field, std::int32_t other)
{
    const int wanted = spinner->position();
    if (long(wanted) * other > MaxBars) {
        spinner->setPosition(field);
        showStatus(QStringLiteral("Une grille compte au plus %1 cases : %2 × %3 dépasserait cette limite.")
                       .arg(MaxBars)
                       .arg(spinner == UpDown1 ? wanted : other)
                       .arg(spinner == UpDown1 ? other : wanted));
        return false;
    }
    field = wanted;
    return true;
}

void TForm1::UpDown1Click()
{
    if (!stepGrid(UpDown1, m_chart->info.columns, m_chart->info.rows))
        return;
    Edit2->setText(QString::number(m_chart->info.columns));
    m_form2->hide();   // bar numbers now stand for other places
    DrawGrille();
}

void TForm1::UpDown2Click()
{
    if (!stepGrid(UpDown2, m_chart->info.rows, m_chart->info.columns))
        return;
    Edit3->setText(QString::number(m_chart->info.rows));
    m_form2->hide();
    DrawGrille();
}

// --- orientation and page layout ------------------------------------------------------

void TForm1::BitBtn1Click()
{
    std::swap(m_chart->info.pageWidth, m_chart->info.pageHeight);
    discardPage();
    if (SpeedButton5->isChecked())
        placeTrackBars();
    DrawGrille();
}

void TForm1::placeTrackBars()
{
    const int halfW = m_chart->info.pageWidth / 2;
    const int halfH = m_chart->info.pageHeight / 2;
    // The range is set with the signals held back, so that a position clamped
    // for a moment never reaches a margin; the final position then acts.
    auto place = [](QSlider* t, QRect box, int max, int position) {
        {
            const QSignalBlocker block(t);
            t->setGeometry(box);
            t->setRange(0, max);
            t->setValue(position);
        }
        t->show();
    };
    place(TrackBar3, {18, 0, halfW + 14, TrackBarThickness}, halfW, m_chart->info.sideMargin);
    MageCote();
    place(TrackBar1, {0, 18, TrackBarThickness, halfH + 14}, halfH, m_chart->info.topMargin);
    MargeHaute();
    place(TrackBar2, {0, TrackBar1->height() + 7, TrackBarThickness, halfH + 14}, halfH,
          halfH - m_chart->info.bottomMargin);
    MargeBasse();
}

void TForm1::SpeedButton5Click()
{
    if (SpeedButton5->isChecked()) {
        placeTrackBars();
    } else {
        TrackBar1->hide();
        TrackBar2->hide();
        TrackBar3->hide();
    }
    DrawGrille();
}

void TForm1::MargeHaute()
{
    m_chart->info.topMargin = TrackBar1->value();
    DrawGrille();
}

void TForm1::MargeBasse()
{
    m_chart->info.bottomMargin = TrackBar2->maximum() - TrackBar2->value();
    DrawGrille();
}

void TForm1::MageCote()
{
    m_chart->info.sideMargin = TrackBar3->value();
    DrawGrille();
}

// --- keys -----------------------------------------------------------------------

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // The menu's Del, Ctrl+C and Ctrl+V act on bars, even while a text box
        // has the keyboard focus.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)
            || key->key() == Qt::Key_Delete) {
            event->ignore();
            return true;
        }
    }
    if (watched == ComboBox1 && event->type() == QEvent::KeyPress) {
        // Enter runs the change once, whether or not the text is one of the
        // list's entries (QComboBox would report those a second time).
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const QString text = ComboBox1->currentText();
            const int entry = ComboBox1->findText(text, Qt::MatchExactly);
            if (entry >= 0) {
                const QSignalBlocker block(ComboBox1);
                ComboBox1->setCurrentIndex(entry);
            }
            ComboBox1Change(text);
            return true;
        }
    }
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            Saisie('\r');
        else if (!key->text().isEmpty())
            Saisie(key->text().at(0).unicode());
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace mavrel

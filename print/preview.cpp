#include "preview.h"

#include "document/chart.h"
#include "printing.h"
#include "render/page.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>


namespace mavrel {

// Image1: the scaled sheet, and where a press chooses a position.
class SheetImage : public QWidget {
public:
    SheetImage(const QImage& image, QWidget* parent) : QWidget(parent), m_image(image) {}
    std::function<void(int, int)> pressed;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        // Every button, every modifier.
        const QPoint p = event->position().toPoint();
        if (pressed)
            pressed(p.x(), p.y());
    }

private:
    const QImage& m_image;
};

namespace {

// The colour Windows gives the background of a scrolling workspace.
const QColor AppWorkspace(0xAB, 0xAB, 0xAB);

} // namespace

TForm3::TForm3(PageSource mainPage, QWidget* parent)
    : QWidget(parent, Qt::Window), m_mainPage(std::move(mainPage))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Apercu avant impression"));
    move(237, 137);
    resize(642, 622);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(41);
    layout->addWidget(Panel1);

    Label1 = new QLabel(QStringLiteral("Par :"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setPixelSize(13);
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->move(24, 8);

    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("8")});
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setToolTip(QStringLiteral("Selectionez ici le nombre de grilles a imprimer sur une feuille"));
    ComboBox1->setGeometry(72, 8, 33, 25);
    // Typing and choosing from the list both land here.
    connect(ComboBox1, &QComboBox::currentTextChanged, this, [this] { combochange(); });

    Button1 = new QPushButton(QStringLiteral("Imprime"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(160, 8, 129, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    Button2 = new QPushButton(QStringLiteral("PDF..."), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setToolTip(QStringLiteral("Enregistre la feuille dans un fichier PDF, telle qu'elle s'imprime sur une page A4"));
    Button2->setGeometry(297, 8, 129, 25);
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    auto* content = new QWidget;
    content->setFixedSize(24 + DefaultPageWidth + 12, 16 + DefaultPageHeight + 16);
    QPalette workspace = content->palette();
    workspace.setColor(QPalette::Window, AppWorkspace);
    content->setPalette(workspace);
    content->setAutoFillBackground(true);
    Image1 = new SheetImage(m_sheet.preview(), content);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(24, 16, DefaultPageWidth, DefaultPageHeight);
    Image1->setToolTip(QStringLiteral("Cliquez pour ouvrir un nouveau fichier !"));
    Image1->pressed = [this](int x, int y) { ClicClic(x, y); };
    ScrollBox1->setWidget(content);
    ScrollBox1->setPalette(workspace);
    layout->addWidget(ScrollBox1, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    layout->addWidget(StatusBar1);

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);

    m_openChooser = [this]() -> QString {
        if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
            return {};
        return OpenDialog1->selectedFiles().first();
    };
    m_pdfChooser = [this]() -> QString {
        QFileDialog dialog(this, QStringLiteral("Enregistrer la feuille en PDF"), QString(),
                           QStringLiteral("Documents PDF (*.pdf)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().first();
    };
    m_messenger = [this](const QString& text) {
        QMessageBox::warning(this, QStringLiteral("Mavrel"), text);
    };
}

// theend: the positions and the sheet go with the window.
TForm3::~TForm3() = default;

int TForm3::layoutIndex() const
{
    return ComboBox1->findText(ComboBox1->currentText(), Qt::MatchExactly);
}

void TForm3::showEvent(QShowEvent* event)
{
    // Only a change from hidden to shown; the window system's own show events
    // (a restore from the task bar) take no new snapshot.
    if (!event->spontaneous())
        Ouverture();
    QWidget::showEvent(event);
}

void TForm3::Ouverture()
{
    m_sheet.copyPage(1, m_mainPage());
    Apercu();
}

void TForm3::Apercu()
{
    m_sheet.Apercu(layoutIndex());
    Image1->update();
}

void TForm3::combochange()
{
    Apercu();
}

void TForm3::ClicClic(int X, int Y)
{
    const int position = sheetPositionAt(layoutIndex(), X, Y, Image1->width(), Image1->height());
    if (position == 0)
        return;
    if (LoadBitmap(position))
        Apercu();
}

bool TForm3::LoadBitmap(int index)
{
    const QString fileName = m_openChooser();
    if (fileName.isEmpty())
        return true;
    // The chart is read into a document of the preview's own and drawn on a
    // page of its own: the main window's chart, page and file name are never
    // touched, so nothing the user has not saved can be lost here.
    StandaloneChart other;
    const FileResult r = other.load(fileName);
    if (!r.ok) {
        showMessage(QString::fromStdString(r.message));
        return false;
    }
    m_sheet.copyPage(index, other.image());
    return true;
}

void TForm3::Button1Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString error = printOnCurrentPrinter(m_sheet.feuille());
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty())
        showMessage(error);
}

void TForm3::Button2Click()
{
    const QString fileName = m_pdfChooser();
    if (fileName.isEmpty())
        return;
    if (!writeSheetPdf(m_sheet.feuille(), fileName))
        showMessage(QStringLiteral("Impossible d'écrire le fichier « %1 ».").arg(fileName));
}

void TForm3::showMessage(const QString& text)
{
    m_messenger(text);
}

} // namespace mavrel

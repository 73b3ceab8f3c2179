#include "printpreview.h"

#include "document/chart.h"
#include "pictureformats.h"
#include "printerstatus.h"
#include "printing.h"
#include "files/localfile.h"
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
#include <QShortcut>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>


namespace mavrel {

// The sheet drawn at the screen's resolution, and where a press chooses a
// position. The picture is drawn again only when the sheet or the view's
// size changes.
class SheetView : public QWidget {
public:
    using Source = std::function<SheetCharts()>;
    SheetView(Source sheet, QWidget* parent) : QWidget(parent), m_source(std::move(sheet))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    std::function<void(int, int)> pressed;
    // Ctrl and the wheel: steps in (> 0) or out.
    std::function<void(int)> zoomed;

    void sheetChanged()
    {
        m_picture = QImage();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const double ratio = devicePixelRatioF();
        const QSize size = (QSizeF(this->size()) * ratio).toSize();
        if (m_picture.size() != size) {
            m_picture = QImage(size, QImage::Format_RGB32);
            if (!m_picture.isNull()) {
                m_picture.fill(Qt::white);
                QPainter painter(&m_picture);
                painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
                paintSheet(painter, QRectF(QPointF(0, 0), QSizeF(size)), m_source());
                m_picture.setDevicePixelRatio(ratio);
            }
        }
        QPainter painter(this);
        if (m_picture.isNull())
            painter.fillRect(rect(), Qt::white);
        else
            painter.drawImage(0, 0, m_picture);
    }
    void resizeEvent(QResizeEvent*) override { m_picture = QImage(); }
    void mousePressEvent(QMouseEvent* event) override
    {
        // Every button, every modifier.
        const QPoint p = event->position().toPoint();
        if (pressed)
            pressed(p.x(), p.y());
    }
    void wheelEvent(QWheelEvent* event) override
    {
        if (!(event->modifiers() & Qt::ControlModifier)) {
            event->ignore();   // the scroll area scrolls
            return;
        }
        m_wheelAngle += event->angleDelta().y();
        const int steps = m_wheelAngle / 120;
        m_wheelAngle -= steps * 120;
        if (steps != 0 && zoomed)
            zoomed(steps);
        event->accept();
    }

private:
    Source m_source;
    QImage m_picture;
    int m_wheelAngle = 0;
};

namespace {

// The colour Windows gives the background of a scrolling workspace.
const QColor AppWorkspace(0xAB, 0xAB, 0xAB);

// How often, and how long, a job is looked at once printed. A printer that
// cannot be reached keeps its job waiting while it tries again, for days.
constexpr int JobLookMs = 500;
constexpr int JobFollowMs = 10000;

QString jobStateName(JobState state)
{
    switch (state) {
    case JobState::Pending: return PrintPreview::tr("en attente");
    case JobState::Held: return PrintPreview::tr("retenu");
    case JobState::Processing: return PrintPreview::tr("en cours");
    case JobState::Stopped: return PrintPreview::tr("arrêté");
    case JobState::Canceled: return PrintPreview::tr("annulé");
    case JobState::Aborted: return PrintPreview::tr("abandonné");
    case JobState::Completed:
    case JobState::Unknown: break;
    }
    return {};
}

} // namespace

PrintPreview::PrintPreview(ChartSource mainChart, QWidget* parent)
    : QWidget(parent, Qt::Window), m_mainChart(std::move(mainChart))
{
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(tr("Aperçu avant impression"));
    move(237, 137);
    // Room for the whole tool bar.
    resize(770, 622);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_toolPanel = new QWidget(this);
    m_toolPanel->setObjectName(QStringLiteral("toolPanel"));
    m_toolPanel->setFixedHeight(41);
    layout->addWidget(m_toolPanel);

    m_perLabel = new QLabel(tr("Par :"), m_toolPanel);
    m_perLabel->setObjectName(QStringLiteral("perLabel"));
    QFont bold = m_perLabel->font();
    bold.setPixelSize(13);
    bold.setBold(true);
    m_perLabel->setFont(bold);
    m_perLabel->move(24, 8);

    m_layoutCombo = new QComboBox(m_toolPanel);
    m_layoutCombo->setObjectName(QStringLiteral("layoutCombo"));
    m_layoutCombo->setEditable(true);
    m_layoutCombo->setInsertPolicy(QComboBox::NoInsert);
    m_layoutCombo->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("8")});
    m_layoutCombo->setCurrentIndex(0);
    m_layoutCombo->setToolTip(tr("Sélectionnez ici le nombre de grilles à imprimer sur une feuille"));
    m_layoutCombo->setGeometry(72, 8, 33, 25);
    // Typing and choosing from the list both land here.
    connect(m_layoutCombo, &QComboBox::currentTextChanged, this, [this] { layoutChanged(); });

    m_printButton = new QPushButton(tr("Imprime"), m_toolPanel);
    m_printButton->setObjectName(QStringLiteral("printButton"));
    m_printButton->setGeometry(160, 8, 129, 25);
    connect(m_printButton, &QPushButton::clicked, this, [this] { print(); });

    m_pdfButton = new QPushButton(tr("PDF..."), m_toolPanel);
    m_pdfButton->setObjectName(QStringLiteral("pdfButton"));
    m_pdfButton->setToolTip(tr("Enregistre la feuille dans un fichier PDF, telle qu'elle s'imprime sur une page A4"));
    m_pdfButton->setGeometry(297, 8, 129, 25);
    connect(m_pdfButton, &QPushButton::clicked, this, [this] { savePdf(); });

    // Parts for transposing instruments: every chart of the sheet as the
    // instrument reads it, never the charts themselves.
    m_forLabel = new QLabel(tr("Pour :"), m_toolPanel);
    m_forLabel->setObjectName(QStringLiteral("forLabel"));
    m_forLabel->setFont(bold);
    m_forLabel->move(440, 8);
    m_instrumentCombo = new QComboBox(m_toolPanel);
    m_instrumentCombo->setObjectName(QStringLiteral("instrumentCombo"));
    m_instrumentCombo->setGeometry(500, 8, 72, 25);
    m_instrumentCombo->setToolTip(tr("Imprime les grilles transposées pour un instrument en Si♭, Mi♭ ou Fa"));
    m_instrumentCombo->addItem(tr("Ut"), int(Instrument::Concert));
    m_instrumentCombo->addItem(tr("Si♭"), int(Instrument::BFlat));
    m_instrumentCombo->addItem(tr("Mi♭"), int(Instrument::EFlat));
    m_instrumentCombo->addItem(tr("Fa"), int(Instrument::F));
    connect(m_instrumentCombo, &QComboBox::activated, this,
            [this] { setInstrument(Instrument(m_instrumentCombo->currentData().toInt())); });

    m_fitButton = new QPushButton(tr("Ajuster"), m_toolPanel);
    m_fitButton->setObjectName(QStringLiteral("fitButton"));
    m_fitButton->setToolTip(tr("La feuille entière dans la fenêtre (Ctrl et la molette pour zoomer)"));
    m_fitButton->setCheckable(true);
    m_fitButton->setGeometry(584, 8, 80, 25);
    connect(m_fitButton, &QPushButton::clicked, this, [this](bool on) {
        if (on)
            fitToWindow();
        else
            setZoom(m_zoom);
    });

    m_closeButton = new QPushButton(tr("Fermer"), m_toolPanel);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setGeometry(672, 8, 80, 25);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* zoomIn = new QShortcut(QKeySequence::ZoomIn, this);
    connect(zoomIn, &QShortcut::activated, this, [this] { zoomBy(1); });
    auto* zoomOut = new QShortcut(QKeySequence::ZoomOut, this);
    connect(zoomOut, &QShortcut::activated, this, [this] { zoomBy(-1); });

    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("scrollArea"));
    m_scrollArea->setWidgetResizable(false);
    m_scrollArea->setAlignment(Qt::AlignCenter);
    m_content = new QWidget;
    QPalette workspace = m_content->palette();
    workspace.setColor(QPalette::Window, AppWorkspace);
    m_content->setPalette(workspace);
    m_content->setAutoFillBackground(true);
    m_sheetView = new SheetView([this] { return composedCharts(); }, m_content);
    m_sheetView->setObjectName(QStringLiteral("sheetView"));
    m_sheetView->setToolTip(tr("Cliquez pour ouvrir un nouveau fichier !"));
    m_sheetView->pressed = [this](int x, int y) { choosePosition(x, y); };
    m_sheetView->zoomed = [this](int steps) { zoomBy(steps); };
    m_scrollArea->setWidget(m_content);
    m_scrollArea->setPalette(workspace);
    m_scrollArea->viewport()->installEventFilter(this);
    layout->addWidget(m_scrollArea, 1);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusBar->setFixedHeight(19);
    layout->addWidget(m_statusBar);

    m_openDialog = new QFileDialog(this);
    m_openDialog->setObjectName(QStringLiteral("openDialog"));
    m_openDialog->setFileMode(QFileDialog::ExistingFile);
    m_openDialog->setAcceptMode(QFileDialog::AcceptOpen);

    m_openChooser = [this]() -> QString {
        if (m_openDialog->exec() != QDialog::Accepted || m_openDialog->selectedFiles().isEmpty())
            return {};
        return m_openDialog->selectedFiles().first();
    };
    m_pdfChooser = [this]() -> QString {
        QFileDialog dialog(this, tr("Enregistrer la feuille en PDF"), QString(),
                           tr("Documents PDF (*.pdf)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().first();
    };
    m_messenger = [this](const QString& text) {
        QMessageBox::warning(this, QStringLiteral("Mavrel"), text);
    };

    m_jobTimer = new QTimer(this);
    m_jobTimer->setInterval(JobLookMs);
    connect(m_jobTimer, &QTimer::timeout, this, [this] { followJob(); });

    fitToWindow();
}

// The positions and the sheet go with the window.
PrintPreview::~PrintPreview() = default;

void PrintPreview::setZoom(int percent)
{
    m_zoom = std::clamp(percent, ZoomLevels.front(), ZoomLevels.back());
    m_fit = false;
    m_fitButton->setChecked(false);
    placeSheet();
}

void PrintPreview::fitToWindow()
{
    m_fit = true;
    m_fitButton->setChecked(true);
    placeSheet();
}

void PrintPreview::zoomBy(int steps)
{
    // From what is shown, fitted or not, to the next level either way.
    const int shown = int(std::lround(100.0 * m_sheetView->width() / DefaultPageWidth));
    int zoom = shown;
    if (steps > 0) {
        for (int k = 0; k < steps; ++k) {
            const auto next = std::upper_bound(ZoomLevels.begin(), ZoomLevels.end(), zoom);
            zoom = next == ZoomLevels.end() ? ZoomLevels.back() : *next;
        }
    } else {
        for (int k = 0; k < -steps; ++k) {
            const auto next = std::lower_bound(ZoomLevels.begin(), ZoomLevels.end(), zoom);
            zoom = next == ZoomLevels.begin() ? ZoomLevels.front() : *(next - 1);
        }
    }
    setZoom(zoom);
}

void PrintPreview::placeSheet()
{
    constexpr int MarginX = 24, MarginY = 16;
    QSize size;
    if (m_fit) {
        const QSize room = m_scrollArea->viewport()->size() - QSize(2 * MarginX, 2 * MarginY);
        size = QSize(DefaultPageWidth, DefaultPageHeight).scaled(room.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
    } else {
        size = QSize(DefaultPageWidth * m_zoom / 100, DefaultPageHeight * m_zoom / 100);
    }
    size = size.expandedTo(QSize(1, 1));
    m_content->setFixedSize(size + QSize(2 * MarginX, 2 * MarginY));
    m_sheetView->setGeometry(MarginX, MarginY, size.width(), size.height());
}

bool PrintPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scrollArea->viewport() && event->type() == QEvent::Resize && m_fit)
        placeSheet();
    return QWidget::eventFilter(watched, event);
}

int PrintPreview::layoutIndex() const
{
    return m_layoutCombo->findText(m_layoutCombo->currentText(), Qt::MatchExactly);
}

void PrintPreview::showEvent(QShowEvent* event)
{
    // Only a change from hidden to shown; the window system's own show events
    // (a restore from the task bar) take no new snapshot.
    if (!event->spontaneous())
        takeMainPage();
    QWidget::showEvent(event);
}

void PrintPreview::takeMainPage()
{
    placeChart(1, std::make_shared<const Chart>(m_mainChart()), QString());
    compose();
}

bool PrintPreview::placeChart(int position, std::shared_ptr<const Chart> chart, const QString& name)
{
    if (const Message refused = partProblem(*chart, m_instrument); !refused.empty()) {
        // Rather a sheet in concert pitch than a part with a chord unmoved.
        showMessage(name.isEmpty() ? messageText(refused)
                                   : QCoreApplication::translate("Message", "%1 : %2").arg(name, messageText(refused)));
        setInstrument(Instrument::Concert);
    }
    bool placed = false;
    {
        // A page of its own, gone once copied: a huge page is not kept.
        Page page;
        page.draw(partFor(*chart, m_instrument), Selection{}, false);
        QImage image = page.image();
        markPart(image, m_instrument);
        placed = !image.isNull() && m_sheet.copyPage(position, image);
    }
    if (!placed) {
        showMessage(name.isEmpty() ? tr("Mémoire insuffisante pour dessiner la page.")
                                   : tr("Mémoire insuffisante pour dessiner la page de « %1 ».").arg(name));
        return false;
    }
    m_charts[std::size_t(position - 1)] = std::move(chart);
    return true;
}

void PrintPreview::compose()
{
    const int layout = layoutIndex();
    if (!m_sheet.compose(layout)) {
        showMessage(tr("Mémoire insuffisante pour composer la feuille."));
    } else if (layoutPositionCount(layout) > 0) {
        m_composedLayout = layout;
        m_composedCharts = m_charts;
        m_composedInstrument = m_instrument;
    }
    m_sheetView->sheetChanged();
}

SheetCharts PrintPreview::composedCharts() const
{
    SheetCharts sheet;
    sheet.layout = m_composedLayout;
    sheet.instrument = m_composedInstrument;
    for (std::size_t i = 0; i < sheet.charts.size(); ++i)
        sheet.charts[i] = m_composedCharts[i].get();
    return sheet;
}

void PrintPreview::setInstrument(Instrument instrument)
{
    for (int p = 1; p <= SheetPositions; ++p) {
        const std::shared_ptr<const Chart>& chart = m_charts[std::size_t(p - 1)];
        if (const Message refused = chart ? partProblem(*chart, instrument) : Message(); !refused.empty()) {
            showMessage(tr("Grille %1 de la feuille : %2").arg(p).arg(messageText(refused)));
            instrument = m_instrument;
            break;
        }
    }
    m_instrument = instrument;
    m_instrumentCombo->setCurrentIndex(m_instrumentCombo->findData(int(instrument)));
    for (int p = 1; p <= SheetPositions; ++p)
        if (const std::shared_ptr<const Chart> chart = m_charts[std::size_t(p - 1)])
            placeChart(p, chart, QString());
    compose();
}

void PrintPreview::layoutChanged()
{
    compose();
}

void PrintPreview::choosePosition(int X, int Y)
{
    const int position = sheetPositionAt(layoutIndex(), X, Y, m_sheetView->width(), m_sheetView->height());
    if (position == 0)
        return;
    if (loadIntoPosition(position))
        compose();
}

bool PrintPreview::loadIntoPosition(int index)
{
    const QString fileName = m_openChooser();
    if (fileName.isEmpty())
        return true;
    // The chart is read into a document of the preview's own and drawn on a
    // page of its own: the main window's chart, page and file name are never
    // touched, so nothing the user has not saved can be lost here.
    auto other = std::make_shared<Chart>();
    resetChart(*other);
    const FileResult r = loadChart(*other, localFileName(fileName).toStdString());
    if (!r.ok) {
        showMessage(fileMessage(r));
        return false;
    }
    return placeChart(index, std::move(other), fileName);
}

void PrintPreview::print()
{
    stopFollowingJob();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PrintOutcome outcome = printOnCurrentPrinter(composedCharts());
    QApplication::restoreOverrideCursor();
    if (!outcome.error.isEmpty()) {
        m_statusBar->clearMessage();
        showMessage(outcome.error);
        return;
    }
    m_statusBar->showMessage(tr("Feuille envoyée à « %1 ».").arg(outcome.printer));
    if (outcome.job == 0)
        return;
    m_jobPrinter = outcome.printer;
    m_job = outcome.job;
    m_jobClock.start();
    m_jobTimer->start();
}

void PrintPreview::followJob()
{
    const JobStatus job = jobStatus(m_job);
    const QString printer = m_jobPrinter;
    if (job.state == JobState::Completed) {
        stopFollowingJob();
        m_statusBar->showMessage(tr("Feuille imprimée sur « %1 ».").arg(printer));
        return;
    }
    if (job.state == JobState::Canceled || job.state == JobState::Aborted || job.state == JobState::Stopped
        || job.state == JobState::Held) {
        stopFollowingJob();
        m_statusBar->clearMessage();
        showMessage(withPrinterMessage(tr("La feuille n'a pas été imprimée sur « %1 » : travail %2.")
                                           .arg(printer, jobStateName(job.state)),
                                       job.message));
        return;
    }
    const PrinterStatus status = printerStatus(printer);
    if (status.stopped) {
        stopFollowingJob();
        m_statusBar->clearMessage();
        showMessage(withPrinterMessage(
            tr("« %1 » s'est arrêtée : la feuille attend dans sa file sans être imprimée.").arg(printer),
            status.message));
        return;
    }
    // A job gone from the printing system's history can no longer be told.
    if (job.state == JobState::Unknown) {
        stopFollowingJob();
        return;
    }
    if (m_jobClock.elapsed() >= JobFollowMs) {
        // Still on its way after all this time: the printer has the last word.
        stopFollowingJob();
        const QString text = withPrinterMessage(tr("La feuille n'est pas encore imprimée sur « %1 » (travail %2).")
                                                    .arg(printer, jobStateName(job.state)),
                                                job.message.isEmpty() ? status.message : job.message);
        m_statusBar->showMessage(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    }
}

void PrintPreview::stopFollowingJob()
{
    m_jobTimer->stop();
    m_job = 0;
    m_jobPrinter.clear();
}

void PrintPreview::savePdf()
{
    QString fileName = m_pdfChooser();
    if (fileName.isEmpty())
        return;
    // What the name says is what the file holds.
    if (!fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        fileName += QLatin1String(".pdf");
    const SheetCharts sheet = composedCharts();
    QByteArray bytes;
    const FileResult r = encodeSheetsPdf({&sheet, 1}, bytes)
        ? writeBytes(bytes, localFileName(fileName).toStdString())
        : FileResult::failure(QT_TRANSLATE_NOOP("Message", "Mémoire insuffisante pour créer le document."),
                              localFileName(fileName).toStdString());
    if (!r.ok)
        showMessage(fileMessage(r));
}

void PrintPreview::showMessage(const QString& text)
{
    m_messenger(visibleText(text));
}

} // namespace mavrel

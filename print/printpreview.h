// PrintPreview, the print preview ("Apercu avant impression"): composes 1, 2, 4 or
// 8 chart pages on one sheet, shows it scaled, fills a position from a chart
// file on a click, and prints the sheet or writes it to a PDF file. The
// preview keeps the chart of each position beside its bitmap: the screen
// and paper both get the charts drawn as vectors, the screen at its own
// resolution and zoom.
#pragma once

#include "render/sheet.h"

#include <QElapsedTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QFileDialog;
class QLabel;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QTimer;

namespace mavrel {

class SheetView;

class PrintPreview : public QWidget {
    Q_OBJECT
public:
    // The main window's chart as it is now: position 1 takes it at each showing.
    using ChartSource = std::function<const Chart&()>;
    explicit PrintPreview(ChartSource mainChart, QWidget* parent = nullptr);
    ~PrintPreview() override;

    // Seams for the tests: the file dialogs and the message box. Choosers
    // return the chosen path, or an empty text when the user cancels.
    using FileChooser = std::function<QString()>;
    void setOpenChooser(FileChooser f) { m_openChooser = std::move(f); }
    void setPdfChooser(FileChooser f) { m_pdfChooser = std::move(f); }
    void setMessenger(std::function<void(const QString&)> f) { m_messenger = std::move(f); }

    Sheet& sheet() { return m_sheet; }
    const Sheet& sheet() const { return m_sheet; }
    // The charts of the sheet composed last, as "Imprime" and "PDF..." draw it.
    SheetCharts composedCharts() const;
    // The item index of "Par :": typing one of the items selects it, any
    // other text selects none (-1).
    int layoutIndex() const;

    // The sheet shown at a zoom (100 is the default page's pixels), or as
    // large as the window holds, growing with it.
    void setZoom(int percent);
    void fitToWindow();
    bool fitsWindow() const { return m_fit; }
    int zoom() const { return m_zoom; }

    // Handlers.
    void takeMainPage();
    void compose();
    void layoutChanged();
    // "Pour :": the instrument every chart of the sheet is drawn for.
    void setInstrument(Instrument instrument);
    Instrument instrument() const { return m_instrument; }
    void choosePosition(int X, int Y);
    // Fills a position from a chart file the user chooses. False when the
    // chosen chart cannot be read (its message has been shown); a cancelled
    // dialog is not a failure.
    bool loadIntoPosition(int index);
    // Prints the sheet, then follows its job for a while: the status bar says
    // how it goes, and a job the printer gives up is reported as a message.
    void print();
    void savePdf();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr std::array<int, 9> ZoomLevels = {25, 50, 75, 100, 125, 150, 200, 300, 400};
    void zoomBy(int steps);
    void placeSheet();
    void showMessage(const QString& text);
    // One look at the job being followed.
    void followJob();
    void stopFollowingJob();
    // Draws the chart's page into a position; false, with the position as it
    // was and the message shown, when memory runs short.
    bool placeChart(int position, std::shared_ptr<const Chart> chart, const QString& name);

    ChartSource m_mainChart;
    Sheet m_sheet;
    // Null for a blank page. Shared with m_composedCharts, the charts of the
    // sheet composed last, which the next composition replaces.
    std::array<std::shared_ptr<const Chart>, SheetPositions> m_charts;
    std::array<std::shared_ptr<const Chart>, SheetPositions> m_composedCharts;
    int m_composedLayout = 0;
    Instrument m_instrument = Instrument::Concert;
    Instrument m_composedInstrument = Instrument::Concert;
    FileChooser m_openChooser;
    FileChooser m_pdfChooser;
    std::function<void(const QString&)> m_messenger;

    QWidget* m_toolPanel = nullptr;
    QLabel* m_perLabel = nullptr;
    QComboBox* m_layoutCombo = nullptr;
    QLabel* m_forLabel = nullptr;
    QComboBox* m_instrumentCombo = nullptr;
    QPushButton* m_printButton = nullptr;
    QPushButton* m_pdfButton = nullptr;
    QPushButton* m_fitButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    QWidget* m_content = nullptr;
    bool m_fit = true;
    int m_zoom = 100;
    SheetView* m_sheetView = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QFileDialog* m_openDialog = nullptr;

    // The job of the sheet printed last, while it is followed.
    QTimer* m_jobTimer = nullptr;
    QElapsedTimer m_jobClock;
    QString m_jobPrinter;
    int m_job = 0;
};

} // namespace mavrel

// MainWindow, the main window: the tool bar, the page in its scroll box, the menu,
// and the one chart of the session. Its handlers are split by concern:
// mainwindow.cpp (start-up, tool bar, grid, page layout), mainwindow_file.cpp
// (menus: files, printing, help), mainwindow_page.cpp (presses on the page,
// text labels, lasso and the bar clipboard).
#pragma once

#include "document/chart.h"
#include "document/editing.h"
#include "render/page.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QSlider;
class QToolButton;
class QPushButton;

namespace mavrel {

class PageView;
class SpinArrows;
class ChordDialog;
class PrintPreview;
class TransposeDialog;
class AboutDialog;

class MainWindow : public QMainWindow, public ChartView {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Seams for the tests: file dialogs and message boxes. The editor uses the
    // real dialogs and boxes.
    using FileChooser = std::function<QString()>;
    void setOpenChooser(FileChooser f) { m_openChooser = std::move(f); }
    void setSaveChooser(FileChooser f) { m_saveChooser = std::move(f); }
    void setMessenger(std::function<void(const QString&)> f) { m_messenger = std::move(f); }

    // Opens a chart as "Ouvrir" does; false (with its message shown) when it
    // cannot be read. openChart takes a name as a file dialog gives it,
    // openLocalChart the system's bytes.
    bool openChart(const QString& path);
    bool openLocalChart(const QByteArray& path);

    Chart& chart() { return *m_chart; }
    const Selection& selectionList() const { return m_selection; }
    const Clipboard& clipboard() const { return m_clipboard; }
    const QImage& pageImage() const { return m_page.image(); }
    bool lassoActive() const { return m_lassoActive; }
    int textBoxFontSize() const { return m_textBoxSize; }
    ChordDialog* chordDialog() const { return m_chordDialog; }
    PrintPreview* printPreview() const { return m_printPreview; }
    TransposeDialog* transposeDialog() const { return m_transposeDialog; }
    AboutDialog* about() const { return m_aboutDialog; }

    // The one place every change of the chart ends: lay out, redraw, show.
    void redrawPage();

    // ChartView: what New and Load ask of the window.
    void setRowsSpinner(int rows) override;
    void setColumnsSpinner(int columns) override;
    void discardPage() override;
    void pressChordTool() override;
    void redraw() override { redrawPage(); }

    // Handlers, named after their controls.
    void selectChordTool();
    void selectEraserTool();
    void selectBarLineTool();
    void selectTextTool();
    void selectLassoTool();
    void applySize(const QString& text);
    void toggleBold();
    void stepColumns();
    void stepRows();
    void turnPage();
    void togglePageLayout();
    void moveTopMargin();
    void moveBottomMargin();
    void moveSideMargin();

    void newFile();
    void saveAs();
    void open();
    void showPrintPreview();
    void copy();
    void paste();
    void clearSelectedBars();
    void showTransposeDialog();
    void showHelp();
    void showAbout();

    void pressPage(Qt::MouseButton button, int x, int y, QPoint globalPos);
    void dragOnPage(int x, int y);
    void releasePage(Qt::MouseButton button, int x, int y);
    // Key press in the text edit box, before the character goes in.
    void textBoxKey(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolBar();
    void buildPageArea();
    void buildMenu();
    void placeMarginSliders();
    void setSizeComboTo(int size);
    void setTextBoxFont(int points, bool bold);
    void showMessage(const QString& text);
    void showStatus(const QString& text);
    bool stepGrid(SpinArrows* spinner, std::int32_t& field, std::int32_t other);
    // Puts a label typed in the box back into the chart before it is saved or
    // printed, or before another label is opened. When the chart is full the
    // text stays in the box and the message ends with `heldBack`, what did not
    // happen because of it.
    bool commitTextBox(const QString& heldBack = QString());
    // Before the chart is replaced ("Nouveau", "Ouvrir"): text in the box goes
    // into the chart being left (or goes with it when that chart is full), and
    // the chord dialog, which points into that chart, closes.
    void leaveChart();
    void layoutScrollContents();

    std::unique_ptr<Chart> m_chart;
    Page m_page;
    Selection m_selection;
    Clipboard m_clipboard;
    bool m_lassoActive = false;
    QPoint m_lassoStart;
    QPoint m_lassoCurrent;
    int m_textBoxSize = 8;
    bool m_textBoxBold = false;

    FileChooser m_openChooser;
    FileChooser m_saveChooser;
    std::function<void(const QString&)> m_messenger;

    // Tool bar.
    QWidget* m_toolPanel = nullptr;
    QPushButton* m_turnButton = nullptr;
    QLineEdit* m_columnsBox = nullptr;
    SpinArrows* m_columnsSpin = nullptr;
    QLineEdit* m_rowsBox = nullptr;
    SpinArrows* m_rowsSpin = nullptr;
    QButtonGroup* m_toolGroup = nullptr;
    QToolButton* m_chordToolButton = nullptr;
    QToolButton* m_eraserToolButton = nullptr;
    QToolButton* m_barLineToolButton = nullptr;
    QToolButton* m_lassoToolButton = nullptr;
    QToolButton* m_textToolButton = nullptr;
    QComboBox* m_sizeCombo = nullptr;
    QToolButton* m_boldButton = nullptr;
    QToolButton* m_pageLayoutButton = nullptr;

    // Scroll box.
    QScrollArea* m_scrollArea = nullptr;
    QWidget* m_scrollContents = nullptr;
    PageView* m_pageView = nullptr;
    QLineEdit* m_textBox = nullptr;
    QSlider* m_topMarginSlider = nullptr;
    QSlider* m_bottomMarginSlider = nullptr;
    QSlider* m_sideMarginSlider = nullptr;

    QAction* m_copyAction = nullptr;
    QAction* m_pasteAction = nullptr;
    QAction* m_deleteAction = nullptr;

    ChordDialog* m_chordDialog = nullptr;
    PrintPreview* m_printPreview = nullptr;
    TransposeDialog* m_transposeDialog = nullptr;
    AboutDialog* m_aboutDialog = nullptr;
};

} // namespace mavrel

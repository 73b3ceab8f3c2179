// The main window: the tool bar, the page in its scroll box, the menus, and
// the chart being edited. Split by concern: mainwindow.cpp (building the
// window, bringing its controls in line with the chart), mainwindow_file.cpp
// (the "Fichier" and "Aide" menus), mainwindow_import.cpp (charts in and out
// of other formats), mainwindow_edit.cpp (the tool bar, the
// "Edition" and "Fonctions" menus), mainwindow_page.cpp (the page's tools and
// the text box).
#pragma once

#include "charttextvalidator.h"
#include "document/editing.h"
#include "edit/chartdocument.h"
#include "pagetools.h"
#include "render/page.h"

#include <QMainWindow>
#include <QMessageBox>

#include <array>
#include <memory>

class QAction;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class QToolButton;

namespace mavrel {

class AboutDialog;
class ChordDialog;
class ChordTypingBox;
class PageView;
class PrintPreview;
class SpinArrows;
class TransposeDialog;

class MainWindow : public QMainWindow, private PageToolHost {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens a chart as "Ouvrir" does, after asking about unsaved changes;
    // false when it is not opened (its message shown, or the user cancelled).
    // openChart takes a name as a file dialog gives it, openLocalChart the
    // system's bytes.
    bool openChart(const QString& path);
    bool openLocalChart(const QByteArray& path);

    // Shows the window above the others, restored if it was minimised.
    void bringToFront();

    ChartDocument& document() override { return *m_document; }
    const Chart& chart() const { return m_document->chart(); }
    const Selection& selection() const { return m_document->selection(); }
    const QImage& pageImage() const { return m_page.image(); }
    Tool tool() const { return m_tool; }
    // The page's zoom on screen, in percent.
    int zoom() const { return m_zoom; }
    void setZoom(int percent);
    int textBoxFontSize() const { return m_textBoxSize; }
    ChordDialog* chordDialog() const { return m_chordDialog; }
    PrintPreview* printPreview() const { return m_printPreview; }
    TransposeDialog* transposeDialog() const { return m_transposeDialog; }
    AboutDialog* about() const { return m_aboutDialog; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    // Tool bar.
    void selectTool(Tool tool);
    void applySize(const QString& text);
    void toggleBold();
    // A spinner's step: the grid both spinners now show.
    void stepGrid();
    void turnPage();
    void togglePageLayout();

    // Menus.
    void newFile();
    void open();
    bool save();
    bool saveAs();
    void importCharts();
    void exportChart();
    void showPrintPreview();
    void undo();
    void redo();
    void copy();
    void paste();
    void clearSelectedBars();
    void startChordEntry();
    void showTransposeDialog();
    void zoomIn();
    void zoomOut();
    void showHelp();
    void showAbout();

    // The page.
    void pressPage(Qt::MouseButton button, QPoint point, QPoint globalPos);
    void wheelOnPage(int steps, QPoint anchor);
    void dragOnPage(QPoint point);
    void releasePage(QPoint point);

private:
    // PageToolHost.
    void openChordDialog(int bar, int region, QPoint globalPos) override;
    bool moveChordEntry(int bar) override;
    int labelAt(QPoint pagePoint) const override;
    void openTextBox(QPoint pagePoint) override;
    bool commitTextBox() override { return commitTextBox(QString()); }
    void editLabel(int label) override;
    void setBand(std::optional<Band> band) override;

    void buildToolBar();
    void buildPageArea();
    void buildMenus();

    // Redraws the page from the chart and brings every control in line with
    // it: the one place the window follows the document.
    void chartChanged();
    void syncControls();
    // The page as the view shows it: the page image at 100 %, else the page
    // drawn at the zoom and the screen's pixel ratio.
    void refreshPageView();
    // Zooms, keeping the page point under `anchor` (page view pixels) where it is.
    void zoomAround(int percent, QPoint anchor);
    // A page point in the coordinates of the scroll area's contents.
    QPoint contentsPoint(QPointF pagePoint) const;
    void placeMarginSliders();
    // The box takes only what a chart keeps, and says so when it refuses a
    // control character.
    void setTextValidator(QLineEdit* box, ChartTextValidator::Characters characters);
    void setSizeComboTo(int size);
    void updateTitle();
    void layoutScrollContents();

    void showMessage(const QString& text);
    void showStatus(const QString& text);
    QMessageBox::StandardButton ask(const QString& question, QMessageBox::StandardButtons buttons);
    // True when the chart may be replaced: it has no unsaved changes, or the
    // user saved them or chose to lose them.
    bool maybeSave();
    bool saveTo(const QByteArray& fileName);

    // The text box.
    void setTextBoxFont(int points, bool bold);
    void textBoxKey(int key);
    // Puts a label typed in the box into the chart before it is saved or
    // printed, or before another label is opened. When the chart is full the
    // text stays in the box and the message ends with `heldBack`, what did not
    // happen because of it.
    bool commitTextBox(const QString& heldBack);
    // Whether the box holds something the chart does not: text typed, or a
    // label opened and changed since.
    bool textBoxChangesChart() const;
    // Empties and hides the box; a label opened in it stays as it was.
    void closeTextBox();
    // Before the chart is replaced: text in the box goes into the chart being
    // left (or goes with it when that chart is full), and the chord dialog,
    // which points into that chart, closes.
    void leaveChart();
    // The box's top-left corner in page pixels.
    QPoint textBoxPoint() const { return m_textBoxAt; }
    // Puts the box over its page point, its font and width at the zoom.
    void placeTextBox();

    void marginMoved(Margin margin, int pixels, const QSlider* slider);

    // Chords typed from the keyboard.
    void showChordEntryAt(int bar);
    void acceptChordEntry(int direction);
    // Escape: the bar stored if it was changed, then the box closed. A text
    // the bar cannot take keeps the box open with its message; a second
    // Escape then leaves without storing.
    void leaveChordEntry();
    // Stores the box's text in its bar; false, with the reason in the status
    // bar, when the text is no bar.
    bool storeChordEntry(QString* notice = nullptr);
    void closeChordEntry();
    // The laid-out bar `steps` bars (or rows of bars) from the entry's.
    int barFromEntry(int bars) const;

    ChartDocument* m_document;   // the document manager's
    Page m_page;
    Tool m_tool = Tool::Chord;
    std::array<std::unique_ptr<PageTool>, 5> m_tools;
    // The label the text box was opened on (it is not drawn meanwhile), or 0.
    int m_editedLabel = 0;
    int m_textBoxSize = 8;
    bool m_textBoxBold = false;
    QPoint m_textBoxAt;
    // The box is this many times its font size wide: room for the text and more.
    int m_textBoxUnits = 3;
    int m_zoom = 100;
    QImage m_zoomedPage;
    // Consecutive moves of one slider drag are one step of the history.
    int m_marginSession = 0;
    // The bar last pressed, where typing chords starts; the bar being typed.
    int m_lastBar = 1;
    int m_entryBar = 0;
    // The text in the box was refused on Escape, and not changed since.
    bool m_entryRefused = false;

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
    QComboBox* m_zoomCombo = nullptr;
    QToolButton* m_boldButton = nullptr;
    QToolButton* m_pageLayoutButton = nullptr;

    // The page in its scroll box.
    QScrollArea* m_scrollArea = nullptr;
    QWidget* m_scrollContents = nullptr;
    PageView* m_pageView = nullptr;
    QLineEdit* m_textBox = nullptr;
    ChordTypingBox* m_chordEntry = nullptr;
    QSlider* m_topMarginSlider = nullptr;
    QSlider* m_bottomMarginSlider = nullptr;
    QSlider* m_sideMarginSlider = nullptr;

    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;

    ChordDialog* m_chordDialog = nullptr;
    PrintPreview* m_printPreview = nullptr;
    TransposeDialog* m_transposeDialog = nullptr;
    AboutDialog* m_aboutDialog = nullptr;
};

} // namespace mavrel

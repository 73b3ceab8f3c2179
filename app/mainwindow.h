// TForm1, the main window: the tool bar, the page in its scroll box, the menu,
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

class PageImage;
class UpDown;
class TForm2;
class TForm3;
class TForm5;
class TForm6;

class TForm1 : public QMainWindow, public ChartView {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Seams for the tests: file dialogs and message boxes. The editor uses the
    // real dialogs and boxes.
    using FileChooser = std::function<QString()>;
    void setOpenChooser(FileChooser f) { m_openChooser = std::move(f); }
    void setSaveChooser(FileChooser f) { m_saveChooser = std::move(f); }
    void setMessenger(std::function<void(const QString&)> f) { m_messenger = std::move(f); }

    // Opens a chart as "Ouvrir" does; false (with its message shown) when it
    // cannot be read.
    bool openChart(const QString& path);

    Chart& chart() { return *m_chart; }
    const Selection& selectionList() const { return m_selection; }
    const Clipboard& clipboard() const { return m_clipboard; }
    const QImage& pageImage() const { return m_page.image(); }
    bool lassoActive() const { return m_lassoActive; }
    int editFontSize() const { return m_editFontSize; }
    TForm2* chordDialog() const { return m_form2; }
    TForm3* preview() const { return m_form3; }
    TForm5* transposer() const { return m_form5; }
    TForm6* about() const { return m_form6; }

    // The one place every change of the chart ends: lay out, redraw, show.
    void DrawGrille();

    // ChartView: what New and Load ask of the window.
    void setRowsSpinner(int rows) override;
    void setColumnsSpinner(int columns) override;
    void discardPage() override;
    void pressChordTool() override;
    void redraw() override { DrawGrille(); }

    // Handlers, named after their controls.
    void SpeedButton1Click();
    void SpeedButton3Click();
    void SpeedButton2Click();
    void SpeedButton4Click();
    void lassosel();
    void ComboBox1Change(const QString& text);
    void SpeedButton6Click();
    void UpDown1Click();
    void UpDown2Click();
    void BitBtn1Click();
    void SpeedButton5Click();
    void MargeHaute();
    void MargeBasse();
    void MageCote();

    void Nouveau1Click();
    void EnregistrerSous1Click();
    void Ouvrir1Click();
    void Imprimer1Click();
    void Copier1Click();
    void Coller1Click();
    void Suprimer1Click();
    void ransposer1Click();
    void Help1Click();
    void About1Click();

    void clic2(Qt::MouseButton button, int x, int y, QPoint globalPos);
    void selection(int x, int y);
    void finselection(Qt::MouseButton button, int x, int y);
    // Key press in the text edit box, before the character goes in.
    void Saisie(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolBar();
    void buildPageArea();
    void buildMenu();
    void placeTrackBars();
    void setComboToSize(int size);
    void setEditFont(int points, bool bold);
    void showMessage(const QString& text);
    void showStatus(const QString& text);
    bool stepGrid(UpDown* spinner, std::int32_t& field, std::int32_t other);
    // Puts a label typed in the box back into the chart before it is saved or
    // printed, or before another label is opened. When the chart is full the
    // text stays in the box and the message ends with `heldBack`, what did not
    // happen because of it.
    bool commitEditBox(const QString& heldBack = QString());
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
    int m_editFontSize = 8;
    bool m_editBold = false;

    FileChooser m_openChooser;
    FileChooser m_saveChooser;
    std::function<void(const QString&)> m_messenger;

    // Tool bar.
    QWidget* Panel1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    UpDown* UpDown1 = nullptr;
    QLineEdit* Edit3 = nullptr;
    UpDown* UpDown2 = nullptr;
    QButtonGroup* group1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QToolButton* SpeedButton5 = nullptr;

    // Scroll box.
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* scrollContents = nullptr;
    PageImage* Image1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QSlider* TrackBar2 = nullptr;
    QSlider* TrackBar3 = nullptr;

    QAction* copyAction = nullptr;
    QAction* pasteAction = nullptr;
    QAction* deleteAction = nullptr;

    TForm2* m_form2 = nullptr;
    TForm3* m_form3 = nullptr;
    TForm5* m_form5 = nullptr;
    TForm6* m_form6 = nullptr;
};

} // namespace mavrel

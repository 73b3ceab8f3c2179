// SongbookDialog ("Recueil"): the charts of a set list, or of a selection of
// the library, made into one songbook, written to a PDF file or printed on
// the current printer. It shows the book's name, the charts per page, the
// part, and how many songs there are and which are missing; the charts are
// read again at each writing or printing, as they are on disk then.
#pragma once

#include "document/parts.h"
#include "document/setlist.h"

#include <QDialog>
#include <QStringList>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mavrel {

struct SongbookReading;

class SongbookDialog : public QDialog {
    Q_OBJECT
public:
    explicit SongbookDialog(QWidget* parent = nullptr);
    ~SongbookDialog() override;

    // The book of a set list stored as `setListFile` (its songs' paths are
    // relative to it): named after it, each song in its key and part.
    void setSetList(const SetList& list, const QString& setListFile);
    // The book of chart files, in that order, all in concert pitch unless a
    // part is chosen.
    void setCharts(const QStringList& chartFiles);

    // "Enregistrer en PDF…": the file chosen, then written. False when
    // nothing was written (cancelled, or the reason told).
    bool savePdf();
    // "Imprimer…": the same document on the current printer. False when
    // nothing was sent (the reason told).
    bool print();

private:
    // The book as the dialog now says, read from the disk.
    SongbookReading read() const;
    // The book read and drawn into `bytes`; the reason it could not be, for
    // the user, when a chart stops it.
    QString makeBook(QByteArray& bytes);
    // The name of the book, its title page's.
    QString bookName() const;
    // The message told, and no status left.
    void fail(const QString& message);
    // The counts and the notes of the book as the disk now holds it.
    void refresh();
    void showReading(const SongbookReading& reading);
    std::optional<Instrument> chosenPart() const;
    void showStatus(const QString& text);

    bool m_fromSetList = false;
    SetList m_setList;
    std::string m_setListFile;
    std::vector<std::string> m_chartFiles;

    QLineEdit* m_nameEdit = nullptr;
    QComboBox* m_perCombo = nullptr;
    QComboBox* m_partCombo = nullptr;
    QLabel* m_songsLabel = nullptr;
    QLabel* m_missingLabel = nullptr;
    QLabel* m_notesLabel = nullptr;
    QLabel* m_statusLabel = nullptr;
    QPushButton* m_pdfButton = nullptr;
    QPushButton* m_printButton = nullptr;
};

} // namespace mavrel

// The questions, messages and file choosers the editor puts to the user. The
// program asks through Qt's dialogs; the tests install answers of their own
// in the document manager.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace mavrel {

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A warning with the buttons given; the one pressed (Cancel when the box
    // is closed). Save, Discard and Cancel read "Enregistrer", "Ne pas
    // enregistrer" and "Annuler"; Open and Ignore "Récupérer" and "Ignorer".
    virtual QMessageBox::StandardButton ask(QWidget* parent, const QString& question,
                                            QMessageBox::StandardButtons buttons) = 0;
    // A message the user must read before going on: a failure, a warning.
    virtual void tell(QWidget* parent, const QString& message) = 0;

    struct FileChoice {
        QString caption;
        QString proposedName;   // the name the dialog starts on; may be empty
        QStringList filters;    // "Grilles (*.bab)", the first one chosen at first
        // When given, one for each filter: the extension a name typed without
        // one takes from the filter chosen, before a file of that name is
        // asked about replacing. Without them the callers decide.
        QStringList suffixes;
    };
    // The file to read, or an empty name when the user cancels.
    virtual QString openFileName(QWidget* parent, const FileChoice& choice) = 0;
    // The file to write, or an empty name. A file that exists is not asked
    // about unless the choice gives suffixes. `chosenFilter`, when given,
    // receives the filter the user left selected.
    virtual QString saveFileName(QWidget* parent, const FileChoice& choice, QString* chosenFilter = nullptr) = 0;
    virtual QString folderName(QWidget* parent, const QString& caption) = 0;

    // Which song of a playlist to open: its index, AllSongs to write them all
    // into a folder, or -1 when the user cancels.
    static constexpr int AllSongs = -2;
    virtual int chooseSong(QWidget* parent, const QStringList& titles) = 0;
    // The name of a section the user types, shown with the current one and
    // held to `maxBytes` bytes of UTF-8; nothing when the user cancels.
    virtual std::optional<QString> sectionName(QWidget* parent, const QString& current, int maxBytes) = 0;
};

// The dialogs of the program: message boxes, file dialogs and a list to
// choose from, titled "Mavrel".
class QtUserDialogs : public UserDialogs {
public:
    QMessageBox::StandardButton ask(QWidget* parent, const QString& question,
                                    QMessageBox::StandardButtons buttons) override;
    void tell(QWidget* parent, const QString& message) override;
    QString openFileName(QWidget* parent, const FileChoice& choice) override;
    QString saveFileName(QWidget* parent, const FileChoice& choice, QString* chosenFilter) override;
    QString folderName(QWidget* parent, const QString& caption) override;
    int chooseSong(QWidget* parent, const QStringList& titles) override;
    std::optional<QString> sectionName(QWidget* parent, const QString& current, int maxBytes) override;
};

} // namespace mavrel

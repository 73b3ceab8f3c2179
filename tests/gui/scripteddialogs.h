// The user's answers, scripted: while one of these lives, every question,
// message and file chooser of the editor comes here instead of a dialog. The
// shared clipboard starts empty with it, as in a program just started.
#pragma once

#include "app/documentmanager.h"
#include "app/userdialogs.h"

#include <functional>
#include <optional>

namespace mavrel::test {

class ScriptedDialogs : public UserDialogs {
public:
    ScriptedDialogs()
    {
        DocumentManager::instance()->setDialogs(this);
        DocumentManager::instance()->clipboard().count = 0;
    }
    ~ScriptedDialogs() override { DocumentManager::instance()->setDialogs(nullptr); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    QStringList messages;    // told, in order
    QStringList questions;   // asked, in order
    QMessageBox::StandardButton answer = QMessageBox::Discard;
    // The names the file choosers answer; empty ones cancel. Each is given
    // what the chooser shows, to answer by it if need be.
    std::function<QString(const FileChoice&)> openFile = [](const FileChoice&) { return QString(); };
    std::function<QString(const FileChoice&)> saveFile = [](const FileChoice&) { return QString(); };
    std::function<QString()> folder = [] { return QString(); };
    std::function<int(const QStringList& titles)> song = [](const QStringList&) { return -1; };
    // The section name typed, given the current one; nothing cancels.
    std::function<std::optional<QString>(const QString& current)> section = [](const QString&) {
        return std::optional<QString>();
    };
    // The filter the save chooser reports, by default the first one offered.
    QString chosenFilter;

    QMessageBox::StandardButton ask(QWidget*, const QString& question, QMessageBox::StandardButtons) override
    {
        questions << question;
        return answer;
    }
    void tell(QWidget*, const QString& message) override { messages << message; }
    QString openFileName(QWidget*, const FileChoice& choice) override { return openFile(choice); }
    QString saveFileName(QWidget*, const FileChoice& choice, QString* filter) override
    {
        if (filter)
            *filter = chosenFilter.isEmpty() ? choice.filters.value(0) : chosenFilter;
        return saveFile(choice);
    }
    QString folderName(QWidget*, const QString&) override { return folder(); }
    int chooseSong(QWidget*, const QStringList& titles) override { return song(titles); }
    std::optional<QString> sectionName(QWidget*, const QString& current, int) override { return section(current); }

    // Answers every open or save chooser with that name.
    void openAnswer(const QString& name) { openFile = [name](const FileChoice&) { return name; }; }
    void saveAnswer(const QString& name) { saveFile = [name](const FileChoice&) { return name; }; }
};

} // namespace mavrel::test

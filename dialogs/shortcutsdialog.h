// "Raccourcis clavier": every key of the editor, one command a row, as the
// window lists them from its own menus and tools.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QTreeWidget;

namespace mavrel {

class ShortcutsDialog : public QDialog {
    Q_OBJECT
public:
    struct Entry {
        QString group;     // a menu, the tools, the page...
        QString command;
        QString keys;      // as the system writes them
    };

    explicit ShortcutsDialog(QWidget* parent = nullptr);
    void setEntries(const QList<Entry>& entries);
    QTreeWidget* list() const { return m_list; }

private:
    QTreeWidget* m_list;
};

} // namespace mavrel

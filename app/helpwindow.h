// "Aide": the help document in the interface's language, shown inside the
// program with its contents beside it and, as its last section, the keys of
// the window that opened it.
#pragma once

#include "dialogs/shortcutsdialog.h"

#include <QList>
#include <QWidget>

class QListWidget;
class QTextBrowser;

namespace mavrel {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own, which closes with `parent`.
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the document in that language ("fr" or "en"), the keys listed last.
    void setDocument(const QString& language, const QList<ShortcutsDialog::Entry>& keys);
    // Scrolls to the section of that anchor and selects it in the contents.
    void showSection(const QString& anchor);

    QTextBrowser* browser() const { return m_browser; }
    QListWidget* contents() const { return m_contents; }

    // The anchor of the keys' section.
    static QString shortcutsAnchor() { return QStringLiteral("shortcuts"); }

private:
    QListWidget* m_contents;
    QTextBrowser* m_browser;
};

} // namespace mavrel

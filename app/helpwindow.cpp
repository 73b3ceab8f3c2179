#include "helpwindow.h"

#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace mavrel {

namespace {

QString keysSection(const QList<ShortcutsDialog::Entry>& keys)
{
    QString html = QStringLiteral("<h2 id=\"%1\">%2</h2>\n")
                       .arg(HelpWindow::shortcutsAnchor(), HelpWindow::tr("Raccourcis clavier").toHtmlEscaped());
    QString group;
    for (const ShortcutsDialog::Entry& e : keys) {
        if (e.group != group) {
            if (!group.isEmpty())
                html += QLatin1String("</table>\n");
            group = e.group;
            html += QStringLiteral("<h3>%1</h3>\n<table cellpadding=\"2\">\n").arg(group.toHtmlEscaped());
        }
        html += QStringLiteral("<tr><td width=\"60%\">%1</td><td><b>%2</b></td></tr>\n")
                    .arg(e.command.toHtmlEscaped(), e.keys.toHtmlEscaped());
    }
    if (!group.isEmpty())
        html += QLatin1String("</table>\n");
    return html;
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_contents(new QListWidget), m_browser(new QTextBrowser)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Aide de Mavrel"));
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Links inside the document move within it; nothing is handed to another program.
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 640});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(880, 680);

    connect(m_contents, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            m_browser->scrollToAnchor(item->data(Qt::UserRole).toString());
    });
}

void HelpWindow::setDocument(const QString& language, const QList<ShortcutsDialog::Entry>& keys)
{
    QFile file(language == QLatin1String("fr") ? QStringLiteral(":/help/help_fr.html")
                                               : QStringLiteral(":/help/help_en.html"));
    QString html = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    const qsizetype end = html.lastIndexOf(QLatin1String("</body>"));
    html.insert(end < 0 ? html.size() : end, keysSection(keys));

    m_contents->blockSignals(true);
    m_contents->clear();
    static const QRegularExpression heading(QStringLiteral("<h2 id=\"([^\"]+)\">(.*?)</h2>"));
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QTextDocument title;
        title.setHtml(m.captured(2));
        auto* item = new QListWidgetItem(title.toPlainText(), m_contents);
        item->setData(Qt::UserRole, m.captured(1));
    }
    m_contents->blockSignals(false);
    m_browser->setHtml(html);
}

void HelpWindow::showSection(const QString& anchor)
{
    for (int i = 0; i < m_contents->count(); ++i)
        if (m_contents->item(i)->data(Qt::UserRole).toString() == anchor) {
            m_contents->setCurrentRow(i);
            return;
        }
}

} // namespace mavrel

#include "shortcutsdialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mavrel {

ShortcutsDialog::ShortcutsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ShortcutsDialog"));
    setWindowTitle(tr("Raccourcis clavier"));
    setModal(false);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("shortcutList"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({tr("Commande"), tr("Touches")});
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("&Fermer"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(680, 600);
}

void ShortcutsDialog::setEntries(const QList<Entry>& entries)
{
    m_list->clear();
    QTreeWidgetItem* group = nullptr;
    for (const Entry& e : entries) {
        if (!group || group->text(0) != e.group) {
            group = new QTreeWidgetItem(m_list, {e.group});
            QFont bold = group->font(0);
            bold.setBold(true);
            group->setFont(0, bold);
            group->setFirstColumnSpanned(true);
            group->setFlags(Qt::ItemIsEnabled);
        }
        new QTreeWidgetItem(group, {e.command, e.keys});
    }
    m_list->expandAll();
}

} // namespace mavrel

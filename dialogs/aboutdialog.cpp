#include "aboutdialog.h"

#include <QLabel>
#include <QPushButton>

namespace mavrel {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("À propos de Mavrel"));
    setModal(false);
    setFixedSize(220, 100);

    auto* text = new QLabel(tr("Mavrel  Version %1").arg(QStringLiteral(MAVREL_VERSION)), this);
    text->setObjectName(QStringLiteral("versionLabel"));
    text->setGeometry(16, 16, 188, 24);
    text->setAlignment(Qt::AlignCenter);
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(72, 60, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::hide);
}

} // namespace mavrel

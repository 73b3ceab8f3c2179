// The "Fichier", "Fonctions" and "Aide" menus.
#include "mainwindow.h"

#include "dialogs/about.h"
#include "dialogs/transposer.h"
#include "document/chartfile.h"
#include "print/preview.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QToolButton>
#include <QUrl>

namespace mavrel {

namespace {
std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
} // namespace

void TForm1::buildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("Fichier"));
    file->setObjectName(QStringLiteral("Fichier1"));
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (TForm1::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    item(file, "Nouveau1", QStringLiteral("Nouveau"), &TForm1::Nouveau1Click);
    item(file, "EnregistrerSous1", QStringLiteral("Enregistrer Sous.."), &TForm1::EnregistrerSous1Click);
    item(file, "Ouvrir1", QStringLiteral("Ouvrir"), &TForm1::Ouvrir1Click);
    item(file, "Imprimer1", QStringLiteral("Impression"), &TForm1::Imprimer1Click);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edition"));
    edit->setObjectName(QStringLiteral("Edition1"));
    copyAction = item(edit, "Copier1", QStringLiteral("Copier"), &TForm1::Copier1Click);
    copyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    pasteAction = item(edit, "Coller1", QStringLiteral("Coller"), &TForm1::Coller1Click);
    pasteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    deleteAction = item(edit, "Suprimer1", QStringLiteral("Suprimer"), &TForm1::Suprimer1Click);
    deleteAction->setShortcut(QKeySequence(Qt::Key_Delete));

    QMenu* functions = menuBar()->addMenu(QStringLiteral("Fonctions"));
    functions->setObjectName(QStringLiteral("Fonctions1"));
    item(functions, "Transposer1", QStringLiteral("Transposer"), &TForm1::ransposer1Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Aide"));
    help->setObjectName(QStringLiteral("Aide1"));
    item(help, "Help1", QStringLiteral("Help"), &TForm1::Help1Click);
    item(help, "About1", QStringLiteral("About"), &TForm1::About1Click);
}

void TForm1::Nouveau1Click()
{
    leaveChart();
    New(*m_chart, *this);
}

void TForm1::EnregistrerSous1Click()
{
    // What the user sees is what is saved: a label still in the box goes in.
    if (!commitEditBox(QStringLiteral("La grille n'a pas été enregistrée.")))
        return;
    QString name = m_saveChooser
        ? m_saveChooser()
        : QFileDialog::getSaveFileName(this, QString(), QString(), QStringLiteral("*.bab (*.bab)"),
                                       nullptr, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return;
    if (!name.endsWith(QLatin1String(".bab"), Qt::CaseInsensitive))
        name += QLatin1String(".bab");
    const FileResult r = Save(*m_chart, localPath(name));
    if (!r.ok)
        showMessage(QString::fromStdString(r.message));
}

bool TForm1::openChart(const QString& path)
{
    leaveChart();
    const FileResult r = Load(*m_chart, *this, localPath(path));
    if (!r.ok) {
        showMessage(QString::fromStdString(r.message));
        return false;
    }
    m_chart->fileName = path.toStdString();
    return true;
}

void TForm1::Ouvrir1Click()
{
    const QString name = m_openChooser
        ? m_openChooser()
        : QFileDialog::getOpenFileName(this, QString(), QString(),
                                       QStringLiteral("*.bab (*.bab);;tous (*)"));
    if (name.isEmpty())
        return;
    openChart(name);
}

void TForm1::Imprimer1Click()
{
    if (!commitEditBox(QStringLiteral("L'aperçu avant impression n'a pas été ouvert.")))
        return;
    if (SpeedButton5->isChecked()) {
        SpeedButton5->setChecked(false);
        SpeedButton5Click();
    }
    m_selection.clear();
    DrawGrille();
    m_form3->show();
    m_form3->raise();
}

void TForm1::ransposer1Click()
{
    m_form5->show();
    m_form5->raise();
}

void TForm1::Help1Click()
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Help.doc"));
    // A missing document is not handed to the desktop, whose opener would
    // report it in a window of its own.
    if (QFile::exists(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void TForm1::About1Click()
{
    m_form6->show();
    m_form6->raise();
}

} // namespace mavrel

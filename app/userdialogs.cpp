#include "userdialogs.h"

#include "dialogs/songtextvalidator.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>

namespace mavrel {

namespace {
// The context of the dialogs' own texts.
struct UserDialogsText {
    Q_DECLARE_TR_FUNCTIONS(UserDialogs)
};
} // namespace

QMessageBox::StandardButton QtUserDialogs::ask(QWidget* parent, const QString& question,
                                               QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Mavrel"), question, buttons, parent);
    if (QAbstractButton* b = box.button(QMessageBox::Save))
        b->setText(UserDialogsText::tr("&Enregistrer"));
    if (QAbstractButton* b = box.button(QMessageBox::Discard))
        b->setText(UserDialogsText::tr("&Ne pas enregistrer"));
    if (QAbstractButton* b = box.button(QMessageBox::Cancel))
        b->setText(UserDialogsText::tr("Annuler"));
    if (QAbstractButton* b = box.button(QMessageBox::Open))
        b->setText(UserDialogsText::tr("&Récupérer"));
    if (QAbstractButton* b = box.button(QMessageBox::Ignore))
        b->setText(UserDialogsText::tr("&Ignorer"));
    box.setDefaultButton(buttons & QMessageBox::Open ? QMessageBox::Open : QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    return QMessageBox::StandardButton(box.exec());
}

void QtUserDialogs::tell(QWidget* parent, const QString& message)
{
    QMessageBox::critical(parent, QStringLiteral("Mavrel"), message);
}

QString QtUserDialogs::openFileName(QWidget* parent, const FileChoice& choice)
{
    return QFileDialog::getOpenFileName(parent, choice.caption, choice.proposedName,
                                        choice.filters.join(QStringLiteral(";;")));
}

namespace {

// A save dialog in which a name typed without an extension takes the chosen
// filter's before the dialog looks for a file of that name to ask about
// replacing it.
class SuffixedSaveDialog : public QFileDialog {
public:
    SuffixedSaveDialog(QWidget* parent, const UserDialogs::FileChoice& choice)
        : QFileDialog(parent, choice.caption, choice.proposedName, choice.filters.join(QStringLiteral(";;"))),
          m_choice(choice)
    {
        setAcceptMode(QFileDialog::AcceptSave);
        // The system's dialogs take the suffix as the filter changes.
        connect(this, &QFileDialog::filterSelected, this, &SuffixedSaveDialog::takeSuffix);
        takeSuffix(selectedNameFilter());
    }

protected:
    void accept() override
    {
        takeSuffix(selectedNameFilter());
        QFileDialog::accept();
    }

private:
    void takeSuffix(const QString& filter)
    {
        setDefaultSuffix(m_choice.suffixes.value(m_choice.filters.indexOf(filter)));
    }

    UserDialogs::FileChoice m_choice;
};

} // namespace

QString QtUserDialogs::saveFileName(QWidget* parent, const FileChoice& choice, QString* chosenFilter)
{
    if (!choice.suffixes.isEmpty()) {
        SuffixedSaveDialog dialog(parent, choice);
        const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
        if (chosenFilter)
            *chosenFilter = dialog.selectedNameFilter();
        return accepted ? dialog.selectedFiles().constFirst() : QString();
    }
    QString filter = choice.filters.value(0);
    const QString name =
        QFileDialog::getSaveFileName(parent, choice.caption, choice.proposedName,
                                     choice.filters.join(QStringLiteral(";;")), &filter,
                                     QFileDialog::DontConfirmOverwrite);
    if (chosenFilter)
        *chosenFilter = filter;
    return name;
}

QString QtUserDialogs::folderName(QWidget* parent, const QString& caption)
{
    return QFileDialog::getExistingDirectory(parent, caption);
}

int QtUserDialogs::chooseSong(QWidget* parent, const QStringList& titles)
{
    const QString all = UserDialogsText::tr("Tous les morceaux, dans un dossier…");
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, UserDialogsText::tr("Importer"),
                                                 UserDialogsText::tr("&Morceau à ouvrir :"),
                                                 QStringList(titles) << all, 0, false, &ok);
    if (!ok)
        return -1;
    return chosen == all ? AllSongs : int(titles.indexOf(chosen));
}

std::optional<QString> QtUserDialogs::sectionName(QWidget* parent, const QString& current, int maxBytes)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(UserDialogsText::tr("Section"));
    dialog.setLabelText(UserDialogsText::tr("&Nom de la section :"));
    dialog.setTextValue(current);
    dialog.setOkButtonText(UserDialogsText::tr("OK"));
    dialog.setCancelButtonText(UserDialogsText::tr("Annuler"));
    if (auto* box = dialog.findChild<QLineEdit*>())
        box->setValidator(new SongTextValidator(maxBytes, box));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

} // namespace mavrel

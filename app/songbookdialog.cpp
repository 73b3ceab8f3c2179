#include "songbookdialog.h"

#include "documentmanager.h"
#include "files/localfile.h"
#include "print/pictureformats.h"
#include "print/printing.h"
#include "print/songbook.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mavrel {

namespace {

// The charts per page the preview composes.
constexpr int PerPage[] = {1, 2, 4, 8};

// The part of each item of "Partie :", after the first.
constexpr Instrument Parts[] = {Instrument::Concert, Instrument::BFlat, Instrument::EFlat, Instrument::F};

} // namespace

SongbookDialog::SongbookDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SongbookDialog"));
    setWindowTitle(tr("Recueil"));
    setMinimumWidth(440);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_nameEdit->setPlaceholderText(tr("Recueil"));

    m_perCombo = new QComboBox(this);
    m_perCombo->setObjectName(QStringLiteral("perCombo"));
    for (int per : PerPage)
        m_perCombo->addItem(QString::number(per), per);

    m_partCombo = new QComboBox(this);
    m_partCombo->setObjectName(QStringLiteral("partCombo"));
    m_partCombo->addItem(tr("Comme la liste l'indique"));
    for (Instrument part : Parts)
        m_partCombo->addItem(QString::fromUtf8(instrumentMark(part)));
    connect(m_partCombo, &QComboBox::currentIndexChanged, this, [this] { refresh(); });

    m_songsLabel = new QLabel(this);
    m_songsLabel->setObjectName(QStringLiteral("songsLabel"));
    m_missingLabel = new QLabel(this);
    m_missingLabel->setObjectName(QStringLiteral("missingLabel"));
    m_missingLabel->setWordWrap(true);
    m_notesLabel = new QLabel(this);
    m_notesLabel->setObjectName(QStringLiteral("notesLabel"));
    m_notesLabel->setWordWrap(true);
    m_notesLabel->setTextFormat(Qt::PlainText);
    m_notesLabel->hide();

    auto* form = new QFormLayout;
    form->addRow(tr("&Nom :"), m_nameEdit);
    form->addRow(tr("Grilles par &page :"), m_perCombo);
    form->addRow(tr("P&artie :"), m_partCombo);
    form->addRow(tr("Morceaux :"), m_songsLabel);
    form->addRow(tr("Manquants :"), m_missingLabel);

    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_statusLabel->setTextFormat(Qt::PlainText);
    m_statusLabel->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    m_pdfButton = buttons->addButton(tr("&Enregistrer en PDF…"), QDialogButtonBox::ActionRole);
    m_pdfButton->setObjectName(QStringLiteral("pdfButton"));
    connect(m_pdfButton, &QPushButton::clicked, this, [this] { savePdf(); });
    m_printButton = buttons->addButton(tr("&Imprimer…"), QDialogButtonBox::ActionRole);
    m_printButton->setObjectName(QStringLiteral("printButton"));
    connect(m_printButton, &QPushButton::clicked, this, [this] { print(); });
    QPushButton* close = buttons->addButton(tr("&Fermer"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_notesLabel);
    layout->addWidget(m_statusLabel);
    layout->addWidget(buttons);
    refresh();
}

SongbookDialog::~SongbookDialog() = default;

void SongbookDialog::setSetList(const SetList& list, const QString& setListFile)
{
    m_fromSetList = true;
    m_setList = list;
    m_setListFile = localFileName(setListFile).toStdString();
    m_chartFiles.clear();
    m_nameEdit->setText(QString::fromUtf8(list.name));
    refresh();
}

void SongbookDialog::setCharts(const QStringList& chartFiles)
{
    m_fromSetList = false;
    m_setList = SetList();
    m_setListFile.clear();
    m_chartFiles.clear();
    for (const QString& file : chartFiles)
        m_chartFiles.push_back(localFileName(file).toStdString());
    m_nameEdit->clear();
    refresh();
}

std::optional<Instrument> SongbookDialog::chosenPart() const
{
    const int index = m_partCombo->currentIndex();
    if (index <= 0)
        return std::nullopt;
    return Parts[index - 1];
}

SongbookReading SongbookDialog::read() const
{
    SongbookReading reading = m_fromSetList ? readSongbook(m_setList, m_setListFile, chosenPart())
                                            : readSongbook(m_chartFiles, chosenPart());
    reading.book.name = m_nameEdit->text().trimmed();
    reading.book.per = m_perCombo->currentData().toInt();
    reading.book.date = QDate::currentDate();
    return reading;
}

void SongbookDialog::refresh()
{
    showReading(read());
}

void SongbookDialog::showReading(const SongbookReading& reading)
{
    // Looked at on their own: a book stopped by a chart holds only the songs
    // before it.
    QStringList missing;
    std::size_t songs = m_chartFiles.size();
    if (m_fromSetList) {
        SetList checked = m_setList;
        checkSongFiles(checked, m_setListFile);
        songs = checked.songs.size();
        for (const SetListSong& song : checked.songs)
            if (song.missing)
                missing << QFileInfo(QFile::decodeName(QByteArray::fromStdString(song.path))).fileName();
    } else {
        for (const std::string& file : m_chartFiles)
            if (!QFileInfo::exists(QFile::decodeName(QByteArray::fromStdString(file))))
                missing << QFileInfo(QFile::decodeName(QByteArray::fromStdString(file))).fileName();
    }
    m_songsLabel->setText(QString::number(songs));
    m_missingLabel->setText(missing.isEmpty() ? QString::number(0)
                                              : visibleText(QString::number(missing.size()) + QStringLiteral(" — ")
                                                            + missing.join(QStringLiteral(", "))));
    QStringList notes = reading.warnings;
    if (!reading.ok())
        notes << reading.error;
    m_notesLabel->setText(visibleText(notes.join(QLatin1Char('\n'))));
    m_notesLabel->setVisible(!notes.isEmpty());
    m_pdfButton->setEnabled(songs > 0);
    m_printButton->setEnabled(songs > 0);
}

QString SongbookDialog::makeBook(QByteArray& bytes)
{
    const SongbookReading reading = read();
    showReading(reading);
    if (!reading.ok())
        return reading.error;
    if (!encodeSongbookPdf(reading.book, bytes))
        return tr("Mémoire insuffisante pour créer le document.");
    return {};
}

bool SongbookDialog::savePdf()
{
    // The book's name, which may hold a slash, as a file's.
    QString proposed = bookName().replace(QLatin1Char('/'), QLatin1Char('-'));
    if (m_fromSetList && !m_setListFile.empty())
        proposed = QFileInfo(QFile::decodeName(QByteArray::fromStdString(m_setListFile))).absolutePath()
            + QLatin1Char('/') + proposed;
    QString name = DocumentManager::instance()->dialogs().saveFileName(
        this, {tr("Enregistrer le recueil"), proposed + QStringLiteral(".pdf"), {tr("Documents PDF (*.pdf)")},
               {QStringLiteral("pdf")}});
    if (name.isEmpty())
        return false;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".pdf");

    QByteArray bytes;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error = makeBook(bytes);
    if (error.isEmpty()) {
        if (const FileResult r = writeBytes(bytes, localFileName(name).toStdString()); !r.ok)
            error = fileMessage(r);
    }
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        fail(error);
        return false;
    }
    showStatus(tr("Recueil enregistré dans « %1 ».").arg(QFileInfo(name).fileName()));
    return true;
}

bool SongbookDialog::print()
{
    QByteArray bytes;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PrintOutcome outcome;
    outcome.error = makeBook(bytes);
    if (outcome.error.isEmpty())
        outcome = printPdfOnCurrentPrinter(bytes, bookName());
    QApplication::restoreOverrideCursor();
    if (!outcome.error.isEmpty()) {
        fail(outcome.error);
        return false;
    }
    showStatus(tr("Recueil envoyé à « %1 ».").arg(outcome.printer));
    return true;
}

QString SongbookDialog::bookName() const
{
    const QString name = m_nameEdit->text().trimmed();
    return name.isEmpty() ? tr("Recueil") : name;
}

void SongbookDialog::fail(const QString& message)
{
    showStatus(QString());
    DocumentManager::instance()->dialogs().tell(this, visibleText(message));
}

void SongbookDialog::showStatus(const QString& text)
{
    m_statusLabel->setText(visibleText(text));
}

} // namespace mavrel

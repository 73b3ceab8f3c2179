#include "chorddialog.h"

#include "document/chordtext.h"
#include "document/editing.h"
#include "document/text.h"
#include "document/win1252.h"
#include "win1252validator.h"

#include <QCheckBox>
#include <QFont>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace mavrel {

namespace {

QString fromWin1252(std::string_view bytes)
{
    return QString::fromStdString(win1252::toUtf8(bytes));
}

int selectedRow(const QListWidget* list)
{
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void selectRow(QListWidget* list, int row)
{
    if (row >= 0 && row < list->count()) {
        list->setCurrentRow(row);
    } else {
        list->clearSelection();
        list->setCurrentItem(nullptr);
    }
}

} // namespace

QPoint chordDialogPosition(QPoint cursor, int mainOuterHeight, int dialogOuterHeight)
{
    if (cursor.y() > mainOuterHeight - dialogOuterHeight)
        return {cursor.x(), cursor.y() - dialogOuterHeight};
    return cursor;
}

ChordDialog::ChordDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("ChordDialog"));
    setWindowTitle(tr("Accords"));
    setModal(false);
    setFixedSize(121, 243);
    // The controls were laid out for a small 8-point face: keep the text
    // small enough that every root and quality fits its narrow list.
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(11);
    setFont(small);

    m_roots = new QListWidget(this);
    m_roots->setObjectName(QStringLiteral("rootList"));
    m_roots->setGeometry(8, 8, 49, 177);
    m_roots->addItems({QStringLiteral("%"), QStringLiteral("C"), QStringLiteral("C#/Db"),
                       QStringLiteral("D"), QStringLiteral("D#/Eb"), QStringLiteral("E"),
                       QStringLiteral("F"), QStringLiteral("F#/Gb"), QStringLiteral("G"),
                       QStringLiteral("G#/Ab"), QStringLiteral("A"), QStringLiteral("A#/Bb"),
                       QStringLiteral("B")});

    m_qualities = new QListWidget(this);
    m_qualities->setObjectName(QStringLiteral("qualityList"));
    m_qualities->setGeometry(64, 8, 49, 137);
    for (QListWidget* list : {m_roots, m_qualities}) {
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setStyleSheet(QStringLiteral("QListWidget::item { height: 13px; padding: 0px; }"));
    }
    for (int i = 0; i < QualityCount; ++i)
        m_qualities->addItem(fromWin1252(qualityItem(i)));

    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setGeometry(64, 208, 49, 25);
    m_ok->setDefault(true);

    m_flat = new QCheckBox(QStringLiteral("b/#"), this);
    m_flat->setObjectName(QStringLiteral("flatCheck"));
    m_flat->setGeometry(8, 184, 49, 17);

    m_freeText = new QLineEdit(this);
    m_freeText->setObjectName(QStringLiteral("freeTextEdit"));
    m_freeText->setGeometry(64, 176, 49, 21);
    m_freeText->setMaxLength(int(MaxQualityLength));
    m_freeText->setValidator(new Win1252Validator(m_freeText, Win1252Validator::RefuseControls));

    m_other = new QCheckBox(tr("Autre"), this);
    m_other->setObjectName(QStringLiteral("otherCheck"));
    m_other->setGeometry(64, 152, 55, 17);   // room for "Autre" beside its box

    m_cancel = new QPushButton(tr("Annuler"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setGeometry(8, 208, 49, 25);

    setTabOrder(m_roots, m_qualities);
    setTabOrder(m_qualities, m_ok);
    setTabOrder(m_ok, m_flat);
    setTabOrder(m_flat, m_freeText);
    setTabOrder(m_freeText, m_other);
    setTabOrder(m_other, m_cancel);

    // What the user chose last wins: a quality picked from the list drops the
    // free text, and typing a free text takes it.
    connect(m_qualities, &QListWidget::itemPressed, this, [this] { m_other->setChecked(false); });
    connect(m_qualities, &QListWidget::currentRowChanged, this, [this] {
        if (m_qualities->hasFocus())   // keys in the list, not a preset
            m_other->setChecked(false);
    });
    connect(m_freeText, &QLineEdit::textEdited, this, [this] { m_other->setChecked(true); });

    connect(m_ok, &QPushButton::clicked, this, &ChordDialog::acceptChord);
    connect(m_cancel, &QPushButton::clicked, this, &ChordDialog::cancel);
}

void ChordDialog::setTarget(int bar, const Bar& record, int region)
{
    if (bar < 1 || bar > MaxBars)
        return;
    m_bar = bar;
    m_slot = slotFor(record.division, region, m_slot);

    m_presetFreeText.clear();
    QString shownFreeText;
    int quality = 0;
    if (m_slot != 0) {
        const Chord& chord = record.slot(m_slot);
        m_preset = chord;
        selectRow(m_roots, chord.root);
        // "%" has no spelling of its own: the box keeps the one of the
        // previous chord, so a run of flat chords stays flat.
        if (chord.root >= 1 && chord.root <= 12)
            m_flat->setChecked(chord.flat != 0);
        quality = qualityIndex(chord.quality.view());
        if (quality < 0) {
            m_presetFreeText = chord.quality.str();
            // Bytes Windows-1252 leaves undefined, and control characters,
            // cannot be shown or typed; they come back from
            // m_presetFreeText while the box is unedited.
            shownFreeText = QString::fromStdString(text::withoutControls(win1252::toUtf8(m_presetFreeText)));
            shownFreeText.remove(QChar(0xFFFD));
        }
    }
    m_other->setChecked(quality < 0);
    selectRow(m_qualities, quality < 0 ? 0 : quality);
    m_freeText->setText(shownFreeText);   // also clears the modified flag
}

void ChordDialog::showAt(QPoint cursor, int mainOuterHeight, int bar, const Bar& record, int region)
{
    move(chordDialogPosition(cursor, mainOuterHeight, frameGeometry().height()));
    setTarget(bar, record, region);
    show();
    // The frame's height is known only once the dialog is on screen: the first
    // opening is placed again with it, so that it too ends at the cursor.
    move(chordDialogPosition(cursor, mainOuterHeight, frameGeometry().height()));
}

void ChordDialog::acceptChord()
{
    if (m_slot != 0 && m_bar >= 1 && m_bar <= MaxBars) {
        ChordEntry entry;
        entry.root = selectedRow(m_roots);
        entry.qualityItem = selectedRow(m_qualities);
        entry.flat = m_flat->isChecked();
        entry.other = m_other->isChecked();
        const std::string typed = m_freeText->text().toStdString();
        entry.freeText = m_freeText->isModified() ? readQuality(typed).value_or(win1252::fromUtf8(typed))
                                                  : m_presetFreeText;
        if (const std::optional<Chord> chord = buildChord(entry, m_preset))
            emit chordAccepted(m_bar, m_slot, *chord);
    }
    hide();
}

void ChordDialog::cancel() { hide(); }

// Escape and the window manager's close both count as "Cancel".
void ChordDialog::reject() { cancel(); }

} // namespace mavrel

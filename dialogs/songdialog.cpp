#include "songdialog.h"

#include "songtextvalidator.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <iterator>
#include <utility>

namespace mavrel {

namespace {

// The tonics a key is written with: each black key both ways.
struct Tonic {
    int tonic;   // 1..12, C..B
    bool flat;
    const char* name;
};
constexpr Tonic Tonics[] = {
    {1, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Do")},
    {2, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Do♯")},
    {2, true, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Ré♭")},
    {3, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Ré")},
    {4, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Ré♯")},
    {4, true, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Mi♭")},
    {5, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Mi")},
    {6, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Fa")},
    {7, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Fa♯")},
    {7, true, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Sol♭")},
    {8, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Sol")},
    {9, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Sol♯")},
    {9, true, QT_TRANSLATE_NOOP("mavrel::SongDialog", "La♭")},
    {10, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "La")},
    {11, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "La♯")},
    {11, true, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Si♭")},
    {12, false, QT_TRANSLATE_NOOP("mavrel::SongDialog", "Si")},
};

bool blackKey(int tonic) { return tonic == 2 || tonic == 4 || tonic == 7 || tonic == 9 || tonic == 11; }

// The combo box row of a key's tonic: 0 for a key not set.
int tonicRow(Key key)
{
    if (key.empty())
        return 0;
    for (std::size_t i = 0; i < std::size(Tonics); ++i)
        if (Tonics[i].tonic == key.tonic && (!blackKey(key.tonic) || Tonics[i].flat == (key.flat != 0)))
            return int(i) + 1;
    return 0;
}

// The styles musicians pick most; any other may be typed.
constexpr const char* Styles[] = {
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Swing"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Medium Swing"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Ballade"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Bossa Nova"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Latin"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Samba"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Funk"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Rock"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Pop"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Valse"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Valse jazz"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Shuffle"),
    QT_TRANSLATE_NOOP("mavrel::SongDialog", "Blues"),
};

constexpr TimeSignature Meters[] = {{2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 8}, {7, 8}, {9, 8}, {12, 8}};

int meterData(TimeSignature t) { return t.beats << 8 | t.unit; }

QString fromUtf8(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

} // namespace

void SongChanges::applyTo(SongInfo& song) const
{
    if (title)
        setText(song.title, *title);
    if (composer)
        setText(song.composer, *composer);
    if (style)
        setText(song.style, *style);
    if (key)
        song.key = *key;
    if (tempo)
        song.tempo = static_cast<std::uint16_t>(*tempo);
    if (time)
        song.time = *time;
}

SongDialog::SongDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("SongDialog"));
    setWindowTitle(tr("Morceau"));
    setWindowModality(Qt::WindowModal);

    auto textBox = [this](const char* name, int bytes) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setValidator(new SongTextValidator(bytes, box));
        box->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
        return box;
    };
    m_title = textBox("titleBox", int(sizeof(std::declval<SongInfo&>().title.chars)));
    m_composer = textBox("composerBox", int(sizeof(std::declval<SongInfo&>().composer.chars)));

    m_style = new QComboBox(this);
    m_style->setObjectName(QStringLiteral("styleCombo"));
    m_style->setEditable(true);
    m_style->setInsertPolicy(QComboBox::NoInsert);
    m_style->lineEdit()->setValidator(new SongTextValidator(int(sizeof(std::declval<SongInfo&>().style.chars)), m_style));
    for (const char* style : Styles)
        m_style->addItem(tr(style));

    m_tonic = new QComboBox(this);
    m_tonic->setObjectName(QStringLiteral("tonicCombo"));
    m_tonic->addItem(QString());
    for (const Tonic& t : Tonics)
        m_tonic->addItem(tr(t.name));
    // Wide enough for the longest key that may be heard in the chords.
    QString longest;
    for (int row = 1; row < m_tonic->count(); ++row)
        for (bool minor : {false, true})
            if (const QString hint = notSetText(Key{1, 0, minor}, m_tonic->itemText(row));
                fontMetrics().horizontalAdvance(hint) > fontMetrics().horizontalAdvance(longest))
                longest = hint;
    m_tonic->setItemText(0, longest);
    m_tonic->setMinimumWidth(m_tonic->sizeHint().width());
    m_tonic->setItemText(0, notSetText({}, {}));
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("modeCombo"));
    m_mode->addItem(tr("majeur"));
    m_mode->addItem(tr("mineur"));
    m_mode->setAccessibleName(tr("Mode"));
    m_mode->setEnabled(false);
    // A key that is not set has no mode of its own.
    connect(m_tonic, &QComboBox::currentIndexChanged, this, [this](int row) { m_mode->setEnabled(row > 0); });

    m_tempo = new QSpinBox(this);
    m_tempo->setObjectName(QStringLiteral("tempoSpin"));
    m_tempo->setRange(0, 600);
    m_tempo->setSuffix(QStringLiteral(" BPM"));
    m_tempo->setSpecialValueText(tr("non précisé"));
    m_tempo->setToolTip(tr("Noires par minute ; 0 : non précisé"));

    m_time = new QComboBox(this);
    m_time->setObjectName(QStringLiteral("timeCombo"));
    m_time->addItem(tr("non précisé (4/4)"), 0);
    for (TimeSignature t : Meters)
        m_time->addItem(QStringLiteral("%1/%2").arg(t.beats).arg(t.unit), meterData(t));

    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(m_tonic, 1);
    keyRow->addWidget(m_mode);

    auto* form = new QFormLayout;
    auto row = [this, form](const char* name, const QString& caption, auto* field) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(QString::fromLatin1(name));
        label->setBuddy(field);
        return label;
    };
    form->addRow(row("titleLabel", tr("&Titre :"), m_title), m_title);
    form->addRow(row("composerLabel", tr("&Compositeur :"), m_composer), m_composer);
    form->addRow(row("styleLabel", tr("St&yle :"), m_style), m_style);
    form->addRow(row("keyLabel", tr("T&onalité :"), m_tonic), keyRow);
    form->addRow(row("tempoLabel", tr("Te&mpo :"), m_tempo), m_tempo);
    form->addRow(row("timeLabel", tr("C&hiffrage :"), m_time), m_time);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(tr("Annuler", "button"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SongDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SongDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    setTabOrder(m_title, m_composer);
    setTabOrder(m_composer, m_style);
    setTabOrder(m_style, m_tonic);
    setTabOrder(m_tonic, m_mode);
    setTabOrder(m_mode, m_tempo);
    setTabOrder(m_tempo, m_time);
    setTabOrder(m_time, ok);
    setTabOrder(ok, cancel);
    adjustSize();
}

void SongDialog::setSong(const SongInfo& song, Key detected)
{
    m_detected = detected;
    m_tonic->setItemText(0, notSetText(detected, m_tonic->itemText(tonicRow(detected))));

    m_shownTitle = fromUtf8(song.title.view());
    m_shownComposer = fromUtf8(song.composer.view());
    m_shownStyle = fromUtf8(song.style.view());
    m_title->setText(m_shownTitle);
    m_composer->setText(m_shownComposer);
    m_style->setEditText(m_shownStyle);

    m_shownTonic = tonicRow(song.key);
    m_shownMode = (song.key.empty() ? detected.minor : song.key.minor) ? 1 : 0;
    m_tonic->setCurrentIndex(m_shownTonic);
    m_mode->setCurrentIndex(m_shownMode);
    m_mode->setEnabled(m_shownTonic > 0);

    m_shownTempo = song.tempo;
    m_tempo->setValue(song.tempo);
    selectMeter(song.time);
    m_shownTime = m_time->currentIndex();

    m_title->setFocus();
    m_title->selectAll();
    adjustSize();
}

QString SongDialog::notSetText(Key detected, const QString& tonic) const
{
    if (detected.empty())
        return tr("non précisée");
    return tr("non précisée (détectée : %1)").arg((detected.minor ? tr("%1 mineur") : tr("%1 majeur")).arg(tonic));
}

void SongDialog::selectMeter(TimeSignature time)
{
    // A meter of the song's that the list lacks (2/2, 6/4...) is added, so
    // that it stays as it is.
    const int data = time.empty() ? 0 : meterData(time);
    int row = m_time->findData(data);
    if (row < 0) {
        m_time->addItem(QStringLiteral("%1/%2").arg(time.beats).arg(time.unit), data);
        row = m_time->count() - 1;
    }
    m_time->setCurrentIndex(row);
}

Key SongDialog::shownKey() const
{
    const int row = m_tonic->currentIndex();
    if (row < 1 || row > int(std::size(Tonics)))
        return {};
    const Tonic& t = Tonics[std::size_t(row - 1)];
    Key key{static_cast<std::uint8_t>(t.tonic), t.flat, static_cast<std::uint8_t>(m_mode->currentIndex() == 1)};
    // A natural tonic is spelled either way: as the chords spell the key
    // heard in them, else as the key is usually written (C major in flats).
    if (!blackKey(t.tonic))
        key.flat = key.tonic == m_detected.tonic && key.minor == m_detected.minor ? m_detected.flat
                                                                                     : key.tonic == 1 && !key.minor;
    return key;
}

SongChanges SongDialog::changes() const
{
    SongChanges c;
    if (m_title->text() != m_shownTitle)
        c.title = m_title->text().toStdString();
    if (m_composer->text() != m_shownComposer)
        c.composer = m_composer->text().toStdString();
    if (m_style->currentText() != m_shownStyle)
        c.style = m_style->currentText().toStdString();
    if (m_tonic->currentIndex() != m_shownTonic || (m_shownTonic > 0 && m_mode->currentIndex() != m_shownMode))
        c.key = shownKey();
    if (m_tempo->value() != m_shownTempo)
        c.tempo = m_tempo->value();
    if (m_time->currentIndex() != m_shownTime) {
        const int data = m_time->currentData().toInt();
        c.time = TimeSignature{static_cast<std::uint8_t>(data >> 8), static_cast<std::uint8_t>(data & 0xFF)};
    }
    return c;
}

void SongDialog::accept()
{
    const SongChanges c = changes();
    QDialog::accept();
    if (!c.empty())
        emit songAccepted(c);
}

} // namespace mavrel

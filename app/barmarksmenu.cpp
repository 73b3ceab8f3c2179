#include "barmarksmenu.h"

#include <QActionGroup>

#include <functional>
#include <optional>

namespace mavrel {

namespace {

int meterData(TimeSignature t) { return t.beats << 8 | t.unit; }

constexpr TimeSignature Meters[] = {{2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 8}, {7, 8}, {9, 8}, {12, 8}};

// The value every bar has, or nothing when they differ.
template <class Value>
std::optional<Value> shared(const std::vector<int>& bars, const std::function<Value(int)>& valueOf)
{
    if (bars.empty())
        return std::nullopt;
    const Value first = valueOf(bars.front());
    for (int bar : bars)
        if (!(valueOf(bar) == first))
            return std::nullopt;
    return first;
}

// Checks the action of the group whose data is `value`; none when there is no
// such action or no value.
void check(QActionGroup* group, const std::optional<QVariant>& value)
{
    for (QAction* a : group->actions())
        a->setChecked(false);
    if (!value)
        return;
    for (QAction* a : group->actions())
        if (a->data() == *value) {
            a->setChecked(true);
            return;
        }
}

} // namespace

BarMarksMenu::BarMarksMenu(QWidget* parent) : QMenu(tr("&Mesure"), parent)
{
    setObjectName(QStringLiteral("barMenu"));
    m_bars = addAction(tr("Mesure %1").arg(1));
    m_bars->setObjectName(QStringLiteral("barsAction"));
    m_bars->setEnabled(false);
    addSeparator();

    auto item = [this](QMenu* menu, QActionGroup* group, const QString& text, const QVariant& data) {
        QAction* a = menu->addAction(text);
        a->setCheckable(true);
        a->setData(data);
        group->addAction(a);
        return a;
    };

    QMenu* sections = addMenu(tr("&Section"));
    sections->setObjectName(QStringLiteral("sectionMenu"));
    m_sections = group(sections);
    item(sections, m_sections, tr("Aucune", "section"), QString());
    sections->addSeparator();
    for (const char* name : {"A", "B", "C", "D"})
        item(sections, m_sections, QString::fromLatin1(name), QString::fromLatin1(name));
    sections->addSeparator();
    // Stored as the user reads them, in the language of the menu.
    for (const QString& name : {tr("Intro"), tr("Couplet"), tr("Refrain"), tr("Pont"), tr("Solo"), tr("Coda"),
                                tr("Outro")})
        item(sections, m_sections, name, name);
    sections->addSeparator();
    m_otherSection = sections->addAction(tr("Autre…"));
    m_otherSection->setObjectName(QStringLiteral("otherSectionAction"));
    m_otherSection->setCheckable(true);
    connect(m_sections, &QActionGroup::triggered, this,
            [this](QAction* a) { emit sectionChosen(a->data().toString()); });
    connect(m_otherSection, &QAction::triggered, this, [this] { emit otherSectionRequested(); });

    QMenu* endings = addMenu(tr("&Fin de reprise"));
    endings->setObjectName(QStringLiteral("endingMenu"));
    m_endings = group(endings);
    item(endings, m_endings, tr("Aucune", "ending"), 0);
    for (int n = 1; n <= 3; ++n)
        item(endings, m_endings, QStringLiteral("%1.").arg(n), n);
    connect(m_endings, &QActionGroup::triggered, this, [this](QAction* a) { emit endingChosen(a->data().toInt()); });

    auto toggle = [this](const char* name, const QString& text, int flag) {
        QAction* a = addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, flag](bool on) { emit flagChosen(flag, on); });
        return a;
    };
    m_segno = toggle("segnoAction", tr("Se&gno"), SegnoFlag);
    m_coda = toggle("codaAction", tr("Signe de &coda"), CodaFlag);
    m_fermata = toggle("fermataAction", tr("&Point d'orgue"), FermataFlag);

    QMenu* directions = addMenu(tr("&Indication"));
    directions->setObjectName(QStringLiteral("directionMenu"));
    m_directions = group(directions);
    item(directions, m_directions, tr("Aucune", "direction"), 0);
    for (int d = 1; d < DirectionCount; ++d)
        item(directions, m_directions, QString::fromUtf8(directionText(Direction(d)).data()), d);
    connect(m_directions, &QActionGroup::triggered, this,
            [this](QAction* a) { emit directionChosen(Direction(a->data().toInt())); });

    QMenu* meters = addMenu(tr("C&hiffrage"));
    meters->setObjectName(QStringLiteral("meterMenu"));
    m_meters = group(meters);
    item(meters, m_meters, tr("Sans changement"), 0);
    for (TimeSignature t : Meters)
        item(meters, m_meters, QStringLiteral("%1/%2").arg(t.beats).arg(t.unit), meterData(t));
    connect(m_meters, &QActionGroup::triggered, this, [this](QAction* a) {
        const int data = a->data().toInt();
        emit meterChosen({static_cast<std::uint8_t>(data >> 8), static_cast<std::uint8_t>(data & 0xFF)});
    });

    addSeparator();
    QMenu* left = addMenu(tr("&Barre de gauche"));
    left->setObjectName(QStringLiteral("leftBarLineMenu"));
    m_left = group(left);
    item(left, m_left, tr("Simple"), 0);
    item(left, m_left, tr("Début de reprise |:"), 1);
    item(left, m_left, tr("Double barre ||"), 2);
    connect(m_left, &QActionGroup::triggered, this, [this](QAction* a) { emit barLineChosen(0, a->data().toInt()); });
    QMenu* right = addMenu(tr("Barre de &droite"));
    right->setObjectName(QStringLiteral("rightBarLineMenu"));
    m_right = group(right);
    item(right, m_right, tr("Simple"), 0);
    item(right, m_right, tr("Fin de reprise :|"), 1);
    item(right, m_right, tr("Double barre ||"), 2);
    connect(m_right, &QActionGroup::triggered, this,
            [this](QAction* a) { emit barLineChosen(1, a->data().toInt()); });
}

QActionGroup* BarMarksMenu::group(QMenu* menu)
{
    menu->menuAction()->setObjectName(menu->objectName() + QStringLiteral("Action"));
    auto* g = new QActionGroup(menu);
    // Unchecked when the bars differ: an exclusive group would keep one.
    g->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    return g;
}

void BarMarksMenu::showMarksOf(const Chart& chart, const std::vector<int>& bars)
{
    if (bars.size() == 1)
        m_bars->setText(tr("Mesure %1").arg(bars.front()));
    else
        m_bars->setText(tr("%1 mesures").arg(bars.size()));

    const SongInfo& song = chart.song;
    using std::function;
    const std::optional<QString> section = shared<QString>(
        bars, [&](int b) { return QString::fromUtf8(song.bar(b).section.view().data(), qsizetype(song.bar(b).section.size())); });
    check(m_sections, section ? std::optional<QVariant>(*section) : std::nullopt);
    m_otherSection->setChecked(section && !section->isEmpty() && !m_sections->checkedAction());
    m_otherSection->setText(m_otherSection->isChecked() ? tr("Autre : %1…").arg(*section) : tr("Autre…"));

    auto checkInt = [&bars](QActionGroup* group, const function<int(int)>& valueOf) {
        const std::optional<int> value = shared<int>(bars, valueOf);
        check(group, value ? std::optional<QVariant>(*value) : std::nullopt);
    };
    checkInt(m_endings, [&](int b) { return int(song.bar(b).ending); });
    checkInt(m_directions, [&](int b) { return int(song.bar(b).direction); });
    checkInt(m_meters, [&](int b) { return song.bar(b).time.empty() ? 0 : meterData(song.bar(b).time); });
    checkInt(m_left, [&](int b) { return int(chart.bar(b).left); });
    checkInt(m_right, [&](int b) { return int(chart.bar(b).right); });

    // Checked when every bar has it: choosing it then takes it from them all.
    for (const auto& [action, flag] : {std::pair{m_segno, SegnoFlag}, {m_coda, CodaFlag}, {m_fermata, FermataFlag}})
        action->setChecked(shared<bool>(bars, [&, f = flag](int b) { return (song.bar(b).flags & f) != 0; })
                               .value_or(false));
}

} // namespace mavrel

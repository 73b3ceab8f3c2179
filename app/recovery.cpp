#include "recovery.h"

#include "document/chartfile.h"
#include "edit/chartdocument.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUndoStack>
#include <QUuid>

#include <algorithm>
#include <span>

namespace mavrel {

namespace {

// A recovery file: this line, the chart's file name in base 64 (empty when
// untitled) on a line of its own, then the chart file's bytes.
constexpr char Magic[] = "Mavrel recovery 1\n";
constexpr char LockName[] = "lock";
constexpr char CopySuffix[] = ".recovery";

} // namespace

Recovery::Recovery(const QString& folder, QObject* parent)
    : QObject(parent),
      m_folder(folder),
      m_afterChange(new QTimer(this)),
      m_interval(new QTimer(this))
{
    m_session = QDir(folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
    // Private: the copies are the user's charts.
    QDir().mkpath(m_folder);
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(m_session);
    m_lock = std::make_unique<QLockFile>(QDir(m_session).filePath(QLatin1String(LockName)));
    // A live editor's lock is never stale, however old.
    m_lock->setStaleLockTime(0);
    m_lock->tryLock(0);

    m_afterChange->setSingleShot(true);
    connect(m_afterChange, &QTimer::timeout, this, &Recovery::saveChanged);
    connect(m_interval, &QTimer::timeout, this, &Recovery::saveChanged);
    setDelays(3000, 60000);
}

Recovery::~Recovery()
{
    const bool kept = std::any_of(m_watched.cbegin(), m_watched.cend(), [](const Watched& w) { return !w.copy.isEmpty(); });
    m_lock->unlock();
    if (!kept)
        QDir(m_session).removeRecursively();
}

QString Recovery::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("recovery"));
}

void Recovery::setDelays(int afterChange, int interval)
{
    m_afterChange->setInterval(afterChange);
    m_interval->start(interval);
}

void Recovery::watch(ChartDocument* document)
{
    if (m_watched.contains(document))
        return;
    m_watched.insert(document, {});
    connect(document->undoStack(), &QUndoStack::indexChanged, this, [this, document] { schedule(document); });
    connect(document->undoStack(), &QUndoStack::cleanChanged, this, [this, document] { schedule(document); });
    connect(document, &ChartDocument::replaced, this, [this, document] { schedule(document); });
    connect(document, &QObject::destroyed, this, [this, document] { forget(document); });
    schedule(document);
}

void Recovery::forget(ChartDocument* document)
{
    if (!m_watched.contains(document))
        return;
    remove(document);
    m_watched.remove(document);
    document->undoStack()->disconnect(this);
    document->disconnect(this);
}

QString Recovery::copyOf(ChartDocument* document) const { return m_watched.value(document).copy; }

void Recovery::schedule(ChartDocument* document)
{
    // The replaced() of a load comes before the history is clean: look once
    // the change is over.
    QTimer::singleShot(0, this, [this, document] {
        if (!m_watched.contains(document))
            return;
        if (!document->isModified()) {
            remove(document);
            return;
        }
        m_watched[document].pending = true;
        m_afterChange->start();
    });
}

void Recovery::saveChanged()
{
    for (auto it = m_watched.begin(); it != m_watched.end(); ++it)
        if (it->pending)
            write(it.key());
}

void Recovery::write(ChartDocument* document)
{
    Watched& w = m_watched[document];
    w.pending = false;
    if (!document->isModified())
        return;
    const QByteArray bytes = encode(document->chart(), document->fileName());
    if (bytes.isEmpty())
        return;
    if (w.copy.isEmpty())
        w.copy = QDir(m_session).filePath(QString::number(m_next++) + QLatin1String(CopySuffix));
    QDir().mkpath(m_session);
    const auto data = std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
    // A copy that cannot be written is tried again at the next change; the
    // user's work goes on whatever happens here.
    if (!writeFile(QFile::encodeName(w.copy).toStdString(), data, systemFileSystem(), WriteMode::ReplaceEntry).ok)
        w.pending = true;
}

void Recovery::remove(ChartDocument* document)
{
    Watched& w = m_watched[document];
    w.pending = false;
    if (!w.copy.isEmpty())
        QFile::remove(w.copy);
    w.copy.clear();
}

QByteArray Recovery::encode(const Chart& chart, const QByteArray& fileName)
{
    const std::vector<std::uint8_t> bytes = encodeChart(chart);
    if (bytes.empty())
        return {};
    QByteArray out(Magic);
    out += fileName.toBase64() + '\n';
    out.append(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    return out;
}

bool Recovery::decode(const QByteArray& bytes, Chart& chart, QByteArray& fileName)
{
    const QByteArray magic(Magic);
    if (!bytes.startsWith(magic))
        return false;
    const qsizetype end = bytes.indexOf('\n', magic.size());
    if (end < 0)
        return false;
    const auto name = QByteArray::fromBase64Encoding(bytes.mid(magic.size(), end - magic.size()),
                                                     QByteArray::AbortOnBase64DecodingErrors);
    if (!name)
        return false;
    const QByteArray body = bytes.mid(end + 1);
    const auto data = std::span(reinterpret_cast<const std::uint8_t*>(body.constData()), std::size_t(body.size()));
    if (!decodeChart(data, chart, std::string()).ok)
        return false;
    fileName = *name;
    return true;
}

std::vector<Recovery::Orphan> Recovery::orphans()
{
    std::vector<Orphan> found;
    const QDir folder(m_folder);
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString session = folder.filePath(name);
        if (session == m_session)
            continue;
        // A session of a running editor stays locked; one of a killed editor
        // has a stale lock, which tryLock takes over.
        auto lock = std::make_unique<QLockFile>(QDir(session).filePath(QLatin1String(LockName)));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue;
        QDir dir(session);
        const QStringList copies = dir.entryList({QLatin1String("*") + QLatin1String(CopySuffix)}, QDir::Files, QDir::Name);
        if (copies.isEmpty()) {
            lock->unlock();
            dir.removeRecursively();
            continue;
        }
        for (const QString& copy : copies) {
            QFile file(dir.filePath(copy));
            if (!file.open(QIODevice::ReadOnly) || file.size() > qint64(MaxChartFileSize) + 4096)
                continue;
            Orphan orphan{file.fileName(), {}, std::make_shared<Chart>()};
            resetChart(*orphan.chart);
            if (decode(file.readAll(), *orphan.chart, orphan.fileName))
                found.push_back(std::move(orphan));
        }
        m_adopted.push_back(std::move(lock));
    }
    return found;
}

void Recovery::discard(const Orphan& orphan)
{
    QFile::remove(orphan.copy);
    const QString session = QFileInfo(orphan.copy).absolutePath();
    QDir dir(session);
    if (!dir.entryList({QLatin1String("*") + QLatin1String(CopySuffix)}, QDir::Files).isEmpty())
        return;
    const QString lockName = dir.filePath(QLatin1String(LockName));
    for (auto it = m_adopted.begin(); it != m_adopted.end(); ++it)
        if (QFileInfo((*it)->fileName()).absoluteFilePath() == QFileInfo(lockName).absoluteFilePath()) {
            (*it)->unlock();
            m_adopted.erase(it);
            break;
        }
    dir.removeRecursively();
}

} // namespace mavrel

#include "app/displaynames.h"

#include <QFile>

#include <chrono>
#include <sys/stat.h>
#include <utility>

namespace {

std::int64_t Nanoseconds(const timespec& t) {
    return std::int64_t(t.tv_sec) * 1'000'000'000 + std::int64_t(t.tv_nsec);
}

std::int64_t WallClockNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::optional<TFileStamp> FileStampOf(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    TFileStamp stamp;
    stamp.Device = std::uint64_t(st.st_dev);
    stamp.Inode = std::uint64_t(st.st_ino);
    stamp.Size = std::int64_t(st.st_size);
    stamp.ModifiedNs = Nanoseconds(st.st_mtim);
    stamp.ChangedNs = Nanoseconds(st.st_ctim);
    return stamp;
}

TDisplayNameCache::TDisplayNameCache(qsizetype capacity)
    : Now(WallClockNs), m_capacity(qMax<qsizetype>(capacity, 2)) {}

std::optional<QString> TDisplayNameCache::Find(const QString& path, const TFileStamp& stamp) {
    const std::lock_guard lock(m_mutex);
    auto young = m_young.constFind(path);
    if (young != m_young.constEnd()) {
        if (young->Stamp != stamp)
            return std::nullopt;
        ++m_hits;
        return young->Name;
    }
    auto old = m_old.find(path);
    if (old == m_old.end() || old->Stamp != stamp)
        return std::nullopt;
    ++m_hits;
    // Still in use: it moves to the young generation.
    TEntry entry = std::move(*old);
    m_old.erase(old);
    const QString name = entry.Name;
    if (m_young.size() >= m_capacity / 2)
        m_old = std::exchange(m_young, TTable());
    m_young.insert(path, std::move(entry));
    return name;
}

void TDisplayNameCache::Store(const QString& path, const TFileStamp& stamp, const QString& name) {
    const std::int64_t settled = Now() - SettleNs;
    const std::lock_guard lock(m_mutex);
    if (stamp.ModifiedNs > settled || stamp.ChangedNs > settled) {
        // Too fresh to trust; an older name must not stand in for it either.
        m_young.remove(path);
        m_old.remove(path);
        return;
    }
    m_old.remove(path);
    if (!m_young.contains(path) && m_young.size() >= m_capacity / 2)
        m_old = std::exchange(m_young, TTable());
    m_young.insert(path, TEntry{stamp, name});
}

void TDisplayNameCache::Clear() {
    const std::lock_guard lock(m_mutex);
    m_young.clear();
    m_old.clear();
    m_hits = 0;
}

qsizetype TDisplayNameCache::Count() const {
    const std::lock_guard lock(m_mutex);
    return m_young.size() + m_old.size();
}

qsizetype TDisplayNameCache::Hits() const {
    const std::lock_guard lock(m_mutex);
    return m_hits;
}

TDisplayNameCache& DisplayNameCache() {
    static TDisplayNameCache cache;
    return cache;
}

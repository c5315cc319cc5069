#pragma once
// Display names of playlist entries, remembered per file. Showing a long
// playlist again (after a load, an added file, a removal) would otherwise
// open and read the tag of every entry each time. A remembered name is used
// only while the file is unchanged: same device and inode, size, and
// modification and status-change times to the nanosecond. A file touched so
// recently that a later change could leave its times as they are (file
// systems keep times in coarse ticks) is not remembered until it settles,
// so a tag saved a moment ago always shows at once.
#include <QHash>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

// What tells whether a file changed since its name was read.
struct TFileStamp {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0; // since the epoch
    std::int64_t ChangedNs = 0;  // status change, since the epoch

    friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};

// The stamp of a regular file (links followed); nothing for a missing file,
// a folder or anything else that is not a regular file.
std::optional<TFileStamp> FileStampOf(const QString& path);

class TDisplayNameCache {
public:
    // How many names are kept at most.
    static constexpr qsizetype DefaultCapacity = 65536;
    // A file whose times are less than this behind the clock is not yet
    // remembered: its next change might not move them.
    static constexpr std::int64_t SettleNs = 2'000'000'000;

    explicit TDisplayNameCache(qsizetype capacity = DefaultCapacity);

    // The remembered name of `path` when the file still has `stamp`.
    std::optional<QString> Find(const QString& path, const TFileStamp& stamp);
    // Remembers a name read from the file while it had `stamp`; a file that
    // has not settled yet is left out.
    void Store(const QString& path, const TFileStamp& stamp, const QString& name);
    void Clear();

    qsizetype Count() const;
    // Finds answered from memory since the cache was made or cleared.
    qsizetype Hits() const;

    // The wall clock in nanoseconds since the epoch; tests move it.
    std::function<std::int64_t()> Now;

private:
    struct TEntry {
        TFileStamp Stamp;
        QString Name;
    };
    using TTable = QHash<QString, TEntry>;

    const qsizetype m_capacity;
    mutable std::mutex m_mutex;
    // Two generations: names found or stored go to the young table; when it
    // holds half the capacity it becomes the old one and the previous old
    // table is dropped. Names in use survive; forgotten ones age out.
    TTable m_young;
    TTable m_old;
    qsizetype m_hits = 0;
};

// The cache behind DisplayNameOf.
TDisplayNameCache& DisplayNameCache();

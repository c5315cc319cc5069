#pragma once
// Byte streams the readers parse: a file, or bytes in memory. Positions and
// sizes are 64-bit so that files of 4 GB and more are addressed exactly.
// Reads never go past the end: a short read is reported by its count, and
// ReadBuffer raises EMediaReadError when the bytes are not all there.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <sys/stat.h>

class TMediaStream {
public:
    virtual ~TMediaStream() = default;
    TMediaStream(const TMediaStream&) = delete;
    TMediaStream& operator=(const TMediaStream&) = delete;

    virtual std::int64_t Size() const = 0;
    std::int64_t Position() const { return m_position; }
    // Any position from 0 on is accepted; reading beyond the end gives no bytes.
    void Seek(std::int64_t position);

    // Reads up to buffer.size() bytes at the position and advances by the count.
    std::size_t Read(std::span<std::uint8_t> buffer);
    // Reads exactly buffer.size() bytes or raises EMediaReadError.
    void ReadBuffer(std::span<std::uint8_t> buffer);
    // Writes all bytes at the position or raises "Stream write error".
    void WriteBuffer(std::span<const std::uint8_t> data);

protected:
    TMediaStream() = default;
    // Reads up to buffer.size() bytes at position (which may be past the end).
    virtual std::size_t ReadAt(std::int64_t position, std::span<std::uint8_t> buffer) = 0;
    // Default: the stream is read-only and raises "Stream write error".
    virtual void WriteAt(std::int64_t position, std::span<const std::uint8_t> data);

private:
    std::int64_t m_position = 0;
};

// A read-only view of bytes owned by the caller.
class TViewStream final : public TMediaStream {
public:
    explicit TViewStream(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(m_bytes.size()); }

protected:
    std::size_t ReadAt(std::int64_t position, std::span<std::uint8_t> buffer) override;

private:
    std::span<const std::uint8_t> m_bytes;
};

// Bytes owned by the stream; writing past the end grows it.
class TMemoryStream final : public TMediaStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(m_bytes.size()); }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

protected:
    std::size_t ReadAt(std::int64_t position, std::span<std::uint8_t> buffer) override;
    void WriteAt(std::int64_t position, std::span<const std::uint8_t> data) override;

private:
    std::vector<std::uint8_t> m_bytes;
};

// Owns one open file descriptor; move-only.
class TFileHandle {
public:
    TFileHandle() = default;
    explicit TFileHandle(int fd) : m_fd(fd) {}
    ~TFileHandle();
    TFileHandle(TFileHandle&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    TFileHandle& operator=(TFileHandle&& other) noexcept;
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    int Get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// A regular file. Reads go through a small read-ahead buffer, so the many
// short reads of a header walk cost one system call per buffer, not one each.
// Opening raises EMediaError with the cause when the file cannot be opened,
// or is not a regular file (a device or pipe could block or never end).
class TFileStream final : public TMediaStream {
public:
    enum class TMode { Read, ReadWrite };
    TFileStream(const std::string& fileName, TMode mode);

    std::int64_t Size() const override { return m_size; }
    // The file's status as it was when opened.
    const struct stat& Status() const { return m_status; }
    // Shortens or lengthens the file; raises "Stream write error" on failure.
    void Truncate(std::int64_t size);

protected:
    std::size_t ReadAt(std::int64_t position, std::span<std::uint8_t> buffer) override;
    void WriteAt(std::int64_t position, std::span<const std::uint8_t> data) override;

private:
    static constexpr std::size_t kBufferSize = 4096;
    std::size_t ReadDirect(std::int64_t position, std::span<std::uint8_t> buffer);

    TFileHandle m_file;
    struct stat m_status {};
    std::int64_t m_size = 0;
    std::array<std::uint8_t, kBufferSize> m_buffer{};
    std::int64_t m_bufferPos = 0;
    std::size_t m_bufferLen = 0;
};

// The packed DOS date-time of a modification time in local time (seconds in
// units of two), -1 when the time cannot be expressed (before 1980, after 2107).
std::int32_t PackedFileTime(std::int64_t unixSeconds);
// Attribute bits of a file: 0x01 read-only, 0x02 hidden (name starts with a
// dot), 0x04 system (not a regular file or folder), 0x10 folder.
std::int32_t FileAttributes(const std::string& fileName, const struct stat& status);

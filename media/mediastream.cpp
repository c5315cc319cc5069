#include "media/mediastream.h"

#include "media/mediaerror.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string ErrorText(int err) {
    return std::strerror(err);
}

std::size_t CopyOut(std::span<const std::uint8_t> bytes, std::int64_t position,
                    std::span<std::uint8_t> buffer) {
    if (position < 0 || static_cast<std::uint64_t>(position) >= bytes.size())
        return 0;
    const auto from = static_cast<std::size_t>(position);
    const std::size_t n = std::min(buffer.size(), bytes.size() - from);
    std::memcpy(buffer.data(), bytes.data() + from, n);
    return n;
}

} // namespace

void TMediaStream::Seek(std::int64_t position) {
    if (position < 0)
        throw EMediaError("Invalid stream position");
    m_position = position;
}

std::size_t TMediaStream::Read(std::span<std::uint8_t> buffer) {
    if (buffer.empty())
        return 0;
    const std::size_t n = ReadAt(m_position, buffer);
    m_position += static_cast<std::int64_t>(n);
    return n;
}

void TMediaStream::ReadBuffer(std::span<std::uint8_t> buffer) {
    if (Read(buffer) != buffer.size())
        throw EMediaReadError();
}

void TMediaStream::WriteBuffer(std::span<const std::uint8_t> data) {
    if (data.empty())
        return;
    WriteAt(m_position, data);
    m_position += static_cast<std::int64_t>(data.size());
}

void TMediaStream::WriteAt(std::int64_t, std::span<const std::uint8_t>) {
    throw EMediaError("Stream write error");
}

std::size_t TViewStream::ReadAt(std::int64_t position, std::span<std::uint8_t> buffer) {
    return CopyOut(m_bytes, position, buffer);
}

std::size_t TMemoryStream::ReadAt(std::int64_t position, std::span<std::uint8_t> buffer) {
    return CopyOut(m_bytes, position, buffer);
}

void TMemoryStream::WriteAt(std::int64_t position, std::span<const std::uint8_t> data) {
    const auto from = static_cast<std::size_t>(position);
    if (from + data.size() > m_bytes.size())
        m_bytes.resize(from + data.size());
    std::memcpy(m_bytes.data() + from, data.data(), data.size());
}

TFileHandle::~TFileHandle() {
    if (m_fd >= 0)
        ::close(m_fd);
}

TFileHandle& TFileHandle::operator=(TFileHandle&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

TFileStream::TFileStream(const std::string& fileName, TMode mode) {
    // O_NONBLOCK keeps the open itself from waiting on a pipe without writer;
    // such files are refused below. It has no effect on regular files.
    const int flags = (mode == TMode::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK;
    m_file = TFileHandle(::open(fileName.c_str(), flags));
    if (!m_file)
        throw EMediaError("Cannot open file \"" + fileName + "\". " + ErrorText(errno));
    if (::fstat(m_file.Get(), &m_status) != 0)
        throw EMediaError("Cannot open file \"" + fileName + "\". " + ErrorText(errno));
    if (!S_ISREG(m_status.st_mode))
        throw EMediaError("Cannot open file \"" + fileName + "\". Not a regular file");
    m_size = static_cast<std::int64_t>(m_status.st_size);
}

std::size_t TFileStream::ReadDirect(std::int64_t position, std::span<std::uint8_t> buffer) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::pread(m_file.Get(), buffer.data() + done, buffer.size() - done,
                                  static_cast<off_t>(position + static_cast<std::int64_t>(done)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EMediaReadError();
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::size_t TFileStream::ReadAt(std::int64_t position, std::span<std::uint8_t> buffer) {
    if (position >= m_size)
        return 0;
    const std::int64_t bufferEnd = m_bufferPos + static_cast<std::int64_t>(m_bufferLen);
    if (position >= m_bufferPos &&
        position + static_cast<std::int64_t>(buffer.size()) <= bufferEnd) {
        std::memcpy(buffer.data(), m_buffer.data() + (position - m_bufferPos), buffer.size());
        return buffer.size();
    }
    if (buffer.size() >= kBufferSize)
        return ReadDirect(position, buffer);
    m_bufferLen = 0;
    m_bufferPos = position;
    m_bufferLen = ReadDirect(position, m_buffer);
    const std::size_t n = std::min(buffer.size(), m_bufferLen);
    std::memcpy(buffer.data(), m_buffer.data(), n);
    return n;
}

void TFileStream::WriteAt(std::int64_t position, std::span<const std::uint8_t> data) {
    m_bufferLen = 0;
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pwrite(m_file.Get(), data.data() + done, data.size() - done,
                                   static_cast<off_t>(position + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EMediaError("Stream write error: " + ErrorText(n < 0 ? errno : ENOSPC));
        done += static_cast<std::size_t>(n);
    }
    m_size = std::max(m_size, position + static_cast<std::int64_t>(data.size()));
}

void TFileStream::Truncate(std::int64_t size) {
    m_bufferLen = 0;
    if (::ftruncate(m_file.Get(), static_cast<off_t>(size)) != 0)
        throw EMediaError("Stream write error: " + ErrorText(errno));
    m_size = size;
}

std::int32_t PackedFileTime(std::int64_t unixSeconds) {
    const auto t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (!::localtime_r(&t, &local))
        return -1;
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return -1;
    const auto packed = (static_cast<std::uint32_t>(year - 1980) << 25) |
                        (static_cast<std::uint32_t>(local.tm_mon + 1) << 21) |
                        (static_cast<std::uint32_t>(local.tm_mday) << 16) |
                        (static_cast<std::uint32_t>(local.tm_hour) << 11) |
                        (static_cast<std::uint32_t>(local.tm_min) << 5) |
                        static_cast<std::uint32_t>(std::min(local.tm_sec, 59) / 2);
    return static_cast<std::int32_t>(packed);
}

std::int32_t FileAttributes(const std::string& fileName, const struct stat& status) {
    std::int32_t attr = 0;
    if ((status.st_mode & S_IWUSR) == 0)
        attr |= 0x01;
    const std::size_t slash = fileName.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (nameStart < fileName.size() && fileName[nameStart] == '.')
        attr |= 0x02;
    if (S_ISDIR(status.st_mode))
        attr |= 0x10;
    else if (!S_ISREG(status.st_mode))
        attr |= 0x04;
    return attr;
}

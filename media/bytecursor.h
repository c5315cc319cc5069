#pragma once
// Bounds-checked readers of binary data. Every read checks the bytes it needs
// against what remains and raises EMediaReadError instead of reading past
// the end, so a declared size in a file can never lead a parser astray.
#include "media/mediaerror.h"
#include "media/mediastream.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// A cursor over bytes in memory.
class TByteCursor {
public:
    explicit TByteCursor(std::span<const std::uint8_t> data) : m_data(data) {}

    std::size_t Offset() const { return m_offset; }
    std::size_t Size() const { return m_data.size(); }
    std::size_t Remaining() const { return m_data.size() - m_offset; }
    bool Has(std::size_t n) const { return n <= Remaining(); }

    void Seek(std::size_t offset) {
        if (offset > m_data.size())
            throw EMediaReadError();
        m_offset = offset;
    }
    void Skip(std::size_t n) {
        Need(n);
        m_offset += n;
    }
    std::span<const std::uint8_t> Bytes(std::size_t n) {
        Need(n);
        const auto out = m_data.subspan(m_offset, n);
        m_offset += n;
        return out;
    }
    std::uint8_t U8() {
        Need(1);
        return m_data[m_offset++];
    }
    std::uint16_t U16LE() {
        const auto b = Bytes(2);
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t U32LE() {
        const auto b = Bytes(4);
        return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
               (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }
    std::uint32_t U32BE() {
        const auto b = Bytes(4);
        return (static_cast<std::uint32_t>(b[0]) << 24) | (static_cast<std::uint32_t>(b[1]) << 16) |
               (static_cast<std::uint32_t>(b[2]) << 8) | static_cast<std::uint32_t>(b[3]);
    }
    std::uint64_t U64LE() {
        const std::uint64_t low = U32LE();
        return low | (static_cast<std::uint64_t>(U32LE()) << 32);
    }

private:
    void Need(std::size_t n) const {
        if (n > Remaining())
            throw EMediaReadError();
    }

    std::span<const std::uint8_t> m_data;
    std::size_t m_offset = 0;
};

// A cursor over a stream, checked against the stream's size: a declared
// length that runs past the end raises before anything is read or skipped.
class TStreamCursor {
public:
    explicit TStreamCursor(TMediaStream& stream) : m_stream(stream) {}

    std::int64_t Position() const { return m_stream.Position(); }
    std::int64_t Remaining() const {
        const std::int64_t left = m_stream.Size() - m_stream.Position();
        return left > 0 ? left : 0;
    }
    bool Has(std::uint64_t n) const { return n <= static_cast<std::uint64_t>(Remaining()); }

    void Seek(std::int64_t position) {
        if (position < 0 || position > m_stream.Size())
            throw EMediaReadError();
        m_stream.Seek(position);
    }
    void Skip(std::uint64_t n) {
        Need(n);
        m_stream.Seek(m_stream.Position() + static_cast<std::int64_t>(n));
    }
    void Read(std::span<std::uint8_t> out) {
        Need(out.size());
        m_stream.ReadBuffer(out);
    }
    std::uint8_t U8() {
        std::uint8_t b[1];
        Read(b);
        return b[0];
    }
    std::uint16_t U16LE() {
        std::uint8_t b[2];
        Read(b);
        return TByteCursor(b).U16LE();
    }
    std::uint32_t U32LE() {
        std::uint8_t b[4];
        Read(b);
        return TByteCursor(b).U32LE();
    }
    std::uint64_t U64LE() {
        std::uint8_t b[8];
        Read(b);
        return TByteCursor(b).U64LE();
    }
    // Reads n bytes and keeps at most `keep` of them; the rest is skipped.
    std::string Text(std::uint64_t n, std::size_t keep) {
        Need(n);
        const std::size_t kept = n < keep ? static_cast<std::size_t>(n) : keep;
        std::string out(kept, '\0');
        m_stream.ReadBuffer({reinterpret_cast<std::uint8_t*>(out.data()), kept});
        Skip(n - kept);
        return out;
    }

private:
    void Need(std::uint64_t n) const {
        if (!Has(n))
            throw EMediaReadError();
    }

    TMediaStream& m_stream;
};

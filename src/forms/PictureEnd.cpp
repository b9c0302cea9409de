// Whether a picture file holds every byte of its picture. The image readers of JPEG,
// BMP and GIF give what they could read of a file cut short, the rest grey or black,
// without an error; each of those formats says where its picture ends, and a file
// that ends before it is damaged. The other formats' readers refuse a cut file
// themselves.

#include "forms/Picture_p.h"

#include <QIODevice>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace forms {

namespace {

// The bytes of a file read through a window of a few kilobytes: a JPEG's data is
// searched for its markers without the whole file in memory.
class Bytes {
public:
    explicit Bytes(QIODevice& device) : m_device(device), m_size(device.size()) {}

    int64_t size() const { return m_size; }

    // The byte at position, -1 past the end.
    int at(int64_t position)
    {
        if (!hold(position))
            return -1;
        return static_cast<unsigned char>(m_window[static_cast<int>(position - m_start)]);
    }

    // The little-endian number of count bytes (up to 4) at position, -1 past the end.
    int64_t little(int64_t position, int count)
    {
        int64_t value = 0;
        for (int i = count - 1; i >= 0; --i) {
            const int byte = at(position + i);
            if (byte < 0)
                return -1;
            value = value << 8 | byte;
        }
        return value;
    }

    // The position of the first 0xFF byte from position on, -1 when there is none.
    int64_t nextFF(int64_t position)
    {
        while (hold(position)) {
            const int offset = static_cast<int>(position - m_start);
            const char* data = m_window.constData();
            const void* found = std::memchr(data + offset, 0xFF, static_cast<size_t>(m_window.size() - offset));
            if (found)
                return m_start + (static_cast<const char*>(found) - data);
            position = m_start + m_window.size();
        }
        return -1;
    }

private:
    // True when the window holds position, read afresh when needed.
    bool hold(int64_t position)
    {
        if (position < 0 || position >= m_size)
            return false;
        if (position >= m_start && position < m_start + m_window.size())
            return true;
        constexpr int64_t WindowBytes = 64 * 1024;
        if (!m_device.seek(position))
            return false;
        m_window = m_device.read(WindowBytes);
        m_start = position;
        return !m_window.isEmpty();
    }

    QIODevice& m_device;
    int64_t m_size;
    QByteArray m_window;
    int64_t m_start = 0;
};

// A JPEG ends with its end marker after the last scan: its segments are walked by
// their lengths, and each scan's data up to the marker that follows it.
bool jpegReachesItsEnd(Bytes& bytes)
{
    if (bytes.at(0) != 0xFF || bytes.at(1) != 0xD8)
        return false;
    int64_t at = 2;
    for (;;) {
        if (bytes.at(at) != 0xFF)
            return false;
        while (bytes.at(at) == 0xFF) // fill bytes before a marker
            ++at;
        const int marker = bytes.at(at++);
        if (marker < 0)
            return false;
        if (marker == 0xD9) // end of image
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) // markers without a segment
            continue;
        const int high = bytes.at(at);
        const int low = bytes.at(at + 1);
        if (high < 0 || low < 0)
            return false;
        // The length is big-endian and counts its own two bytes.
        const int64_t length = high << 8 | low;
        if (length < 2)
            return false;
        at += length;
        if (marker != 0xDA) // start of scan: its coded data follows the segment
            continue;
        for (;;) {
            at = bytes.nextFF(at);
            if (at < 0)
                return false;
            const int next = bytes.at(at + 1);
            if (next < 0)
                return false;
            // A stuffed zero and a restart marker belong to the data.
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
                at += 2;
            else if (next == 0xFF)
                ++at;
            else
                break;
        }
    }
}

// A bitmap's pixels start where its file header says and take as many bytes as its
// size and depth need (a compressed one: as many as its header gives).
bool bitmapReachesItsEnd(Bytes& bytes)
{
    const int64_t pixelsAt = bytes.little(10, 4);
    const int64_t headerBytes = bytes.little(14, 4);
    if (pixelsAt < 0 || headerBytes < 0)
        return false;
    int64_t width = 0;
    int64_t height = 0;
    int64_t bits = 0;
    int64_t compression = 0;
    int64_t compressedBytes = 0;
    if (headerBytes == 12) { // the oldest header, of 16-bit sizes
        width = bytes.little(18, 2);
        height = bytes.little(20, 2);
        bits = bytes.little(24, 2);
    } else if (headerBytes >= 16) {
        width = static_cast<int32_t>(bytes.little(18, 4));
        height = std::llabs(static_cast<int32_t>(bytes.little(22, 4))); // negative: rows top down
        bits = bytes.little(28, 2);
        if (headerBytes >= 20)
            compression = bytes.little(30, 4);
        if (headerBytes >= 24)
            compressedBytes = bytes.little(34, 4);
    } else {
        return false;
    }
    const int64_t available = bytes.size() - pixelsAt;
    if (width < 0 || height < 0 || bits < 0 || bits > 64 || compression < 0 || compressedBytes < 0 || available < 0)
        return false;
    // Uncompressed rows (plain, or with colour masks) are padded to four bytes.
    if (compression != 0 && compression != 3 && compression != 6)
        return compressedBytes <= available;
    const int64_t rowBytes = (width * bits + 31) / 32 * 4;
    return rowBytes == 0 || height <= available / rowBytes;
}

// Skips a GIF's data sub-blocks from at up to their empty terminator.
bool skipSubBlocks(Bytes& bytes, int64_t& at)
{
    for (;;) {
        const int length = bytes.at(at);
        if (length < 0)
            return false;
        at += 1 + length;
        if (length == 0)
            return true;
    }
}

// A GIF's first picture, the one that is read, ends with the terminator of its data.
bool gifReachesItsEnd(Bytes& bytes)
{
    const int screenFlags = bytes.at(10);
    if (screenFlags < 0)
        return false;
    int64_t at = 13;
    if (screenFlags & 0x80) // the global colour table
        at += int64_t(3) << ((screenFlags & 7) + 1);
    for (;;) {
        const int block = bytes.at(at++);
        if (block == 0x21) { // an extension: its label, then its data
            ++at;
            if (!skipSubBlocks(bytes, at))
                return false;
        } else if (block == 0x2C) { // the picture: its descriptor, colours and data
            const int flags = bytes.at(at + 8);
            if (flags < 0)
                return false;
            at += 9;
            if (flags & 0x80)
                at += int64_t(3) << ((flags & 7) + 1);
            ++at; // the code size of its data
            return skipSubBlocks(bytes, at);
        } else {
            // The trailer before any picture holds none to cut; anything else is damage.
            return block == 0x3B;
        }
    }
}

// Every picture of an icon file lies inside it, where its directory says.
bool iconReachesItsEnd(Bytes& bytes)
{
    const int64_t count = bytes.little(4, 2);
    if (count < 0)
        return false;
    for (int64_t i = 0; i < count; ++i) {
        const int64_t entry = 6 + 16 * i;
        const int64_t length = bytes.little(entry + 8, 4);
        const int64_t offset = bytes.little(entry + 12, 4);
        if (length < 0 || offset < 0 || offset + length > bytes.size())
            return false;
    }
    return true;
}

} // namespace

bool pictureReachesItsEnd(QIODevice& device, const QByteArray& format)
{
    Bytes bytes(device);
    if (format == "jpeg" || format == "jpg")
        return jpegReachesItsEnd(bytes);
    if (format == "bmp" || format == "dib")
        return bitmapReachesItsEnd(bytes);
    if (format == "gif")
        return gifReachesItsEnd(bytes);
    if (format == "ico" || format == "cur")
        return iconReachesItsEnd(bytes);
    return true;
}

} // namespace forms

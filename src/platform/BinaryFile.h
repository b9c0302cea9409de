#pragma once
// Random-access binary files with 1-based byte positions, little-endian
// integers and fixed-length cp932 strings.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

class BinaryFile {
public:
    // Read needs an existing regular file (53 otherwise; anything but a regular file
    // is refused as readWholeFile refuses it, the open never waits) of at most
    // mostBytes (longer is refused as too large); ReadWrite creates it when missing.
    enum class Mode { Read, ReadWrite };

    BinaryFile(const std::string& path, Mode mode, uint64_t mostBytes = UINT64_MAX);
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    // Reads raise 62 when the data runs past the end of the file; positions
    // below 1 raise 63 (bad record number), writes to a read-only file 75.
    int16_t readInt16(int64_t pos);
    int32_t readInt32(int64_t pos);
    std::string readBytes(int64_t pos, size_t n);
    // n bytes decoded from cp932; trailing blanks are kept.
    std::string readFixedString(int64_t pos, size_t n = 256);

    void writeInt16(int64_t pos, int16_t value);
    void writeInt32(int64_t pos, int32_t value);
    void writeBytes(int64_t pos, std::string_view bytes);
    // Encodes strictly to cp932, then cuts or pads with blanks to n bytes. A
    // cut never splits a double-byte character (its lead byte becomes a blank).
    void writeFixedString(int64_t pos, std::string_view utf8, size_t n = 256);

    int64_t length() const;
    // Flushes and closes; throws RuntimeError on a write failure.
    void close();
    bool isOpen() const { return m_file != nullptr; }

private:
    void seekTo(int64_t pos);
    void checkOpen() const;

    std::string m_path;
    std::FILE* m_file = nullptr;
    bool m_writable = false;
};

// The bytes writeInt16, writeInt32 and writeFixedString write, for a file written
// front to back (through PartialFile).
std::string int16Bytes(int16_t value);
std::string int32Bytes(int32_t value);
std::string fixedStringBytes(std::string_view utf8, size_t n = 256);

} // namespace platform

#include "platform/BinaryFile.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>

namespace platform {

BinaryFile::BinaryFile(const std::string& path, Mode mode, uint64_t mostBytes)
    : m_path(path), m_writable(mode == Mode::ReadWrite)
{
    if (mode == Mode::Read) {
        // Read by position, never whole: only a regular file.
        const int fd = openToRead(path, mostBytes);
        m_file = ::fdopen(fd, "rb");
        if (!m_file) {
            const int error = errno;
            ::close(fd);
            throw errnoError(error, path);
        }
        return;
    }
    if (dirExists(path))
        throw RuntimeError(err::PathFileAccess, path + ": フォルダーはファイルとして開けません");
    m_file = std::fopen(path.c_str(), "r+b");
    if (!m_file && errno == ENOENT)
        m_file = std::fopen(path.c_str(), "w+b");
    if (!m_file)
        throw errnoError(errno, path);
}

BinaryFile::~BinaryFile()
{
    if (m_file)
        std::fclose(m_file);
}

void BinaryFile::checkOpen() const
{
    if (!m_file)
        throw RuntimeError(err::BadFileMode, m_path + ": ファイルが開かれていません");
}

void BinaryFile::seekTo(int64_t pos)
{
    checkOpen();
    if (pos < 1 || pos - 1 > static_cast<int64_t>(LONG_MAX))
        throw RuntimeError(err::BadRecordNumber, m_path + ": 位置は 1 以上で指定してください");
    if (std::fseek(m_file, static_cast<long>(pos - 1), SEEK_SET) != 0)
        throw errnoError(errno, m_path);
}

std::string BinaryFile::readBytes(int64_t pos, size_t n)
{
    seekTo(pos);
    std::string bytes(n, '\0');
    const size_t got = n == 0 ? 0 : std::fread(bytes.data(), 1, n, m_file);
    if (got != n) {
        if (std::ferror(m_file)) {
            const int error = errno;
            std::clearerr(m_file);
            throw errnoError(error, m_path);
        }
        std::clearerr(m_file);
        throw RuntimeError(err::InputPastEnd, m_path + ": ファイルの終わりを越えて読もうとしました");
    }
    return bytes;
}

int16_t BinaryFile::readInt16(int64_t pos)
{
    const std::string b = readBytes(pos, 2);
    const auto u = static_cast<uint16_t>(static_cast<unsigned char>(b[0]) |
                                         (static_cast<unsigned char>(b[1]) << 8));
    return static_cast<int16_t>(u);
}

int32_t BinaryFile::readInt32(int64_t pos)
{
    const std::string b = readBytes(pos, 4);
    uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | static_cast<unsigned char>(b[static_cast<size_t>(i)]);
    return static_cast<int32_t>(u);
}

std::string BinaryFile::readFixedString(int64_t pos, size_t n)
{
    return decodeCp932(readBytes(pos, n));
}

void BinaryFile::writeBytes(int64_t pos, std::string_view bytes)
{
    checkOpen();
    if (!m_writable)
        throw RuntimeError(err::PathFileAccess, m_path + ": 読み取り専用で開いたファイルには書き込めません");
    seekTo(pos);
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        throw errnoError(errno ? errno : EIO, m_path);
}

void BinaryFile::writeInt16(int64_t pos, int16_t value)
{
    writeBytes(pos, int16Bytes(value));
}

void BinaryFile::writeInt32(int64_t pos, int32_t value)
{
    writeBytes(pos, int32Bytes(value));
}

void BinaryFile::writeFixedString(int64_t pos, std::string_view utf8, size_t n)
{
    writeBytes(pos, fixedStringBytes(utf8, n));
}

std::string int16Bytes(int16_t value)
{
    const auto u = static_cast<uint16_t>(value);
    return {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
}

std::string int32Bytes(int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF), static_cast<char>((u >> 16) & 0xFF),
            static_cast<char>(u >> 24)};
}

std::string fixedStringBytes(std::string_view utf8, size_t n)
{
    std::string bytes = encodeCp932(utf8, EncodeMode::Strict);
    if (bytes.size() > n) {
        // Cut at a character boundary: walk the cp932 characters and stop
        // before the one that would cross the limit.
        size_t keep = 0;
        while (keep < n) {
            const auto b = static_cast<unsigned char>(bytes[keep]);
            const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
            const size_t len = lead ? 2 : 1;
            if (keep + len > n)
                break;
            keep += len;
        }
        bytes.resize(keep);
    }
    bytes.resize(n, ' ');
    return bytes;
}

int64_t BinaryFile::length() const
{
    checkOpen();
    std::fflush(m_file);
    const long here = std::ftell(m_file);
    std::fseek(m_file, 0, SEEK_END);
    const long end = std::ftell(m_file);
    std::fseek(m_file, here, SEEK_SET);
    return end;
}

void BinaryFile::close()
{
    if (!m_file)
        return;
    std::FILE* file = m_file;
    m_file = nullptr;
    const bool flushed = std::fflush(file) == 0;
    const int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (!flushed)
        throw errnoError(error, m_path);
    if (!closed)
        throw errnoError(errno, m_path);
}

} // namespace platform

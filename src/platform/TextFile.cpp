#include "platform/TextFile.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <cerrno>

namespace platform {

namespace {

// Finds the end of the line starting at pos: returns the index of its line
// end (or text.size()) and sets next to the start of the following line.
// With lfEndsLine a lone LF ends a line too. Neither CR nor LF occurs inside a
// cp932 character, so the raw bytes can be searched.
size_t lineEnd(std::string_view text, size_t pos, size_t& next, bool lfEndsLine = false)
{
    const size_t end = text.find_first_of(lfEndsLine ? std::string_view("\r\n") : std::string_view("\r"), pos);
    if (end == std::string_view::npos) {
        next = text.size();
        return text.size();
    }
    if (text[end] == '\n')
        next = end + 1;
    else
        next = (end + 1 < text.size() && text[end + 1] == '\n') ? end + 2 : end + 1;
    return end;
}

} // namespace

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t next = 0;
        const size_t end = lineEnd(text, pos, next);
        lines.emplace_back(text.substr(pos, end - pos));
        pos = next;
    }
    return lines;
}

std::vector<std::string> readTextLines(const std::string& path)
{
    std::vector<std::string> lines = splitLines(readWholeFile(path));
    for (auto& line : lines)
        line = decodeCp932(line);
    return lines;
}

// ---------------------------------------------------------------------------

TextInputFile::TextInputFile(const std::string& path, uint64_t maxBytes) : m_path(path)
{
    m_data = readWholeFile(path, maxBytes);
    m_open = true;
}

TextInputFile::~TextInputFile() = default;

bool TextInputFile::nextRawLine(std::string& raw, bool lfEndsLine, std::string* lineEndText)
{
    if (!m_open)
        throw RuntimeError(err::BadFileMode, m_path + ": ファイルが開かれていません");
    if (m_pos >= m_data.size()) {
        raw.clear();
        return false;
    }
    size_t next = 0;
    const size_t end = lineEnd(m_data, m_pos, next, lfEndsLine);
    raw.assign(m_data, m_pos, end - m_pos);
    if (lineEndText)
        lineEndText->assign(m_data, end, next - end);
    m_pos = next;
    return true;
}

bool TextInputFile::readLine(std::string& line)
{
    return decodeNext(line, false, nullptr);
}

bool TextInputFile::readLine(std::string& line, std::string& lineEnd)
{
    return decodeNext(line, true, &lineEnd);
}

bool TextInputFile::decodeNext(std::string& line, bool lfEndsLine, std::string* lineEnd)
{
    std::string raw;
    if (!nextRawLine(raw, lfEndsLine, lineEnd)) {
        line.clear();
        if (lineEnd)
            lineEnd->clear();
        return false;
    }
    int bad = 0;
    line = decodeCp932(raw, &bad);
    m_badSequences += bad;
    return true;
}

bool TextInputFile::atEnd() const
{
    return !m_open || m_pos >= m_data.size();
}

int64_t TextInputFile::position() const
{
    return static_cast<int64_t>(m_pos) + 1;
}

void TextInputFile::seek(int64_t position1)
{
    if (!m_open)
        throw RuntimeError(err::BadFileMode, m_path + ": ファイルが開かれていません");
    if (position1 < 1)
        throw RuntimeError(err::BadRecordNumber, "位置は 1 以上で指定してください");
    const auto pos = static_cast<uint64_t>(position1 - 1);
    m_pos = pos > m_data.size() ? m_data.size() : static_cast<size_t>(pos);
}

void TextInputFile::close()
{
    m_open = false;
    m_data.clear();
    m_data.shrink_to_fit();
    m_pos = 0;
}

// ---------------------------------------------------------------------------

TextOutputFile::TextOutputFile(const std::string& path, Mode mode) : m_path(path)
{
    if (dirExists(path))
        throw RuntimeError(err::PathFileAccess, path + ": フォルダーには書き込めません");
    m_file = std::fopen(path.c_str(), mode == Mode::Append ? "ab" : "wb");
    if (!m_file)
        throw errnoError(errno, path);
}

TextOutputFile::~TextOutputFile()
{
    if (m_file)
        std::fclose(m_file);
}

void TextOutputFile::write(std::string_view bytes)
{
    if (!m_file)
        throw RuntimeError(err::BadFileMode, m_path + ": ファイルが開かれていません");
    if (bytes.empty())
        return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size() && m_failedErrno == 0)
        m_failedErrno = errno ? errno : EIO;
}

void TextOutputFile::printLine(std::string_view utf8)
{
    // Encode first, so that a refused character leaves the file untouched.
    std::string bytes = encodeCp932(utf8, EncodeMode::Strict);
    bytes += "\r\n";
    write(bytes);
}

void TextOutputFile::print(std::string_view utf8)
{
    write(encodeCp932(utf8, EncodeMode::Strict));
}

void TextOutputFile::close()
{
    if (!m_file)
        return;
    std::FILE* file = m_file;
    m_file = nullptr;
    if (std::fflush(file) != 0 && m_failedErrno == 0)
        m_failedErrno = errno;
    if (std::fclose(file) != 0 && m_failedErrno == 0)
        m_failedErrno = errno;
    if (m_failedErrno != 0) {
        const int error = m_failedErrno;
        m_failedErrno = 0;
        throw errnoError(error, m_path);
    }
}

} // namespace platform

#pragma once
// cp932 text files. Reading: CR LF or a lone CR ends a line, a lone LF stays
// inside the line. Writing: every line ends with CR LF.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace platform {

class TextInputFile {
public:
    // Throws RuntimeError 53 when the file is missing, 75/70 when it cannot be opened,
    // 75 for a file longer than maxBytes (readWholeFile).
    explicit TextInputFile(const std::string& path, uint64_t maxBytes = MostBytesReadWhole);
    ~TextInputFile();
    TextInputFile(const TextInputFile&) = delete;
    TextInputFile& operator=(const TextInputFile&) = delete;

    // Reads the next line, decoded to UTF-8, without its line end.
    // Returns false at the end of the file (line is then emptied).
    bool readLine(std::string& line);
    // Reads the next line as readLine does, except that a lone LF ends a line as
    // well (as in files written on this platform); lineEnd receives the CR LF, CR
    // or LF that ended it, or "" for a last line without one.
    bool readLine(std::string& line, std::string& lineEnd);
    bool atEnd() const;
    // 1-based byte position of the next read.
    int64_t position() const;
    // Moves to a 1-based byte position (position 1 is the start; past the end
    // gives atEnd()). Positions below 1 raise 63.
    void seek(int64_t position1);
    int64_t length() const { return static_cast<int64_t>(m_data.size()); }
    // Bad byte sequences met by readLine so far (each became U+FFFD).
    int badSequences() const { return m_badSequences; }
    void close();
    bool isOpen() const { return m_open; }

private:
    bool nextRawLine(std::string& raw, bool lfEndsLine = false, std::string* lineEnd = nullptr);
    bool decodeNext(std::string& line, bool lfEndsLine, std::string* lineEnd);

    std::string m_path;
    std::string m_data; // the whole file; text files of this program are small
    size_t m_pos = 0;
    int m_badSequences = 0;
    bool m_open = false;
};

class TextOutputFile {
public:
    enum class Mode { Output, Append };

    // Output creates or truncates, Append adds at the end. Throws RuntimeError.
    TextOutputFile(const std::string& path, Mode mode);
    // Closes without throwing; call close() to learn about write failures.
    ~TextOutputFile();
    TextOutputFile(const TextOutputFile&) = delete;
    TextOutputFile& operator=(const TextOutputFile&) = delete;

    // Writes the text in strict cp932 plus CR LF (throws EncodeError).
    void printLine(std::string_view utf8);
    // Writes the text in strict cp932 without a line end (throws EncodeError).
    void print(std::string_view utf8);
    // Flushes and closes; throws RuntimeError when any write failed.
    void close();
    bool isOpen() const { return m_file != nullptr; }

private:
    void write(std::string_view bytes);

    std::string m_path;
    std::FILE* m_file = nullptr;
    int m_failedErrno = 0;
};

// Splits text (bytes or UTF-8) into lines by the reading rule. A final line end
// does not start another line; "a\r\n" gives {"a"}, "" gives {}.
std::vector<std::string> splitLines(std::string_view text);

// Reads a whole cp932 text file into UTF-8 lines.
std::vector<std::string> readTextLines(const std::string& path);

} // namespace platform

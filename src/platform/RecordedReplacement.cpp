#include "platform/RecordedReplacement.h"

#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace platform {

namespace {

constexpr const char* RecordFolder = "\\TMP";
constexpr std::string_view RecordPrefix = "Saving-";
// A record is written whole under this ending first and only then given its phase.
constexpr std::string_view NewEnding = ".new";
constexpr std::string_view WritingEnding = ".writing";
constexpr std::string_view RenamingEnding = ".renaming";

void (*stepHook)(int) = nullptr;

void reachedStep(int step)
{
    if (stepHook)
        stepHook(step);
}

bool endsWith(std::string_view text, std::string_view ending)
{
    return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

// The files a record names, each followed by a NUL (a path holds any other byte).
std::string recordText(const std::vector<std::string>& targets)
{
    std::string text;
    for (const std::string& target : targets)
        text += target + '\0';
    return text;
}

std::vector<std::string> targetsOf(const std::string& text)
{
    std::vector<std::string> targets;
    size_t from = 0;
    for (size_t nul = text.find('\0'); nul != std::string::npos; nul = text.find('\0', from)) {
        targets.push_back(text.substr(from, nul - from));
        from = nul + 1;
    }
    return targets;
}

// Writes the record whole and flushed to path, a new file.
void writeRecord(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        throw errnoError(errno, path);
    size_t done = 0;
    int error = 0;
    while (error == 0 && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno != EINTR)
            error = errno;
        else if (n > 0)
            done += static_cast<size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(path.c_str());
        throw errnoError(error, path);
    }
}

struct Record {
    std::string path;
    bool renaming = false;
    std::vector<std::string> targets;
};

// The records in the program folder. A record that never got its phase was made
// before any partial file: it is removed.
std::vector<Record> recordsFound()
{
    std::vector<Record> records;
    const std::string folder = appFile(RecordFolder);
    for (const std::string& name : listFiles(folder, std::string(RecordPrefix) + "*")) {
        const std::string path = joinPath(folder, name);
        if (endsWith(name, NewEnding)) {
            ::unlink(path.c_str());
            continue;
        }
        const bool renaming = endsWith(name, RenamingEnding);
        if (!renaming && !endsWith(name, WritingEnding))
            continue;
        try {
            records.push_back({path, renaming, targetsOf(readWholeFile(path))});
        } catch (const RuntimeError&) {
            // A record that cannot be read now is tried again later.
        }
    }
    return records;
}

// Puts right what the record says was under way, and removes the record; a record
// whose files cannot be reached now, or whose renames fail, stays for another try.
void settle(const Record& record)
{
    for (const std::string& target : record.targets) {
        if (!dirExists(parentPath(target)))
            return;
    }
    for (const std::string& target : record.targets) {
        const std::string part = partialFileName(target);
        if (record.renaming) {
            // Every partial file is whole: one still there was not renamed yet.
            if (fileExists(part) && ::rename(part.c_str(), target.c_str()) != 0)
                return;
        } else if (::unlink(part.c_str()) != 0 && errno != ENOENT) {
            return;
        }
    }
    for (const std::string& target : record.targets)
        flushFolderToDisk(parentPath(target));
    ::unlink(record.path.c_str());
    flushFolderToDisk(parentPath(record.path));
}

bool names(const Record& record, const std::string& path)
{
    for (const std::string& target : record.targets) {
        if (isSameFile(target, path))
            return true;
    }
    return false;
}

// Settles the records that name one of paths, in one look at the program folder.
void settleRecordsNaming(const std::vector<std::string>& paths)
{
    for (const Record& record : recordsFound()) {
        for (const std::string& path : paths) {
            if (names(record, path)) {
                settle(record);
                break;
            }
        }
    }
}

} // namespace

RecordedReplacement::RecordedReplacement(std::vector<std::string> paths)
{
    settleRecordsNaming(paths);
    for (const std::string& path : paths)
        m_targets.push_back(linkTarget(path));
    try {
        const std::string folder = appFile(RecordFolder);
        makeDir(folder);
        std::string stem;
        for (int n = 1;; ++n) {
            stem = joinPath(folder, std::string(RecordPrefix) + std::to_string(n));
            if (listFiles(folder, fileNameOf(stem) + ".*").empty())
                break;
        }
        const std::string made = stem + std::string(NewEnding);
        writeRecord(made, recordText(m_targets));
        const std::string writing = stem + std::string(WritingEnding);
        if (::rename(made.c_str(), writing.c_str()) != 0) {
            const int error = errno;
            ::unlink(made.c_str());
            throw errnoError(error, writing);
        }
        // Not made durable by itself: lost in a crash of the system, the record only
        // leaves partial files behind, never a mix of old and new files.
        m_record = writing;
    } catch (const RuntimeError&) {
        // A program folder without room for the record does not stop the save, which
        // the user asked for: it goes on unrecorded, its partial files removed when it
        // fails, as safe against a kill as a save always was before the renames.
    }
    reachedStep(0);
}

RecordedReplacement::~RecordedReplacement()
{
    if (m_replaced)
        return;
    for (const std::string& target : m_targets)
        ::unlink(partialFileName(target).c_str());
    if (!m_record.empty())
        ::unlink(m_record.c_str());
}

void RecordedReplacement::replace()
{
    reachedStep(1);
    if (!m_record.empty()) {
        const std::string renaming =
            m_record.substr(0, m_record.size() - WritingEnding.size()) + std::string(RenamingEnding);
        if (::rename(m_record.c_str(), renaming.c_str()) != 0)
            throw errnoError(errno, m_record);
        m_record = renaming;
        // Durable before the first rename: a crash of the system must not leave the
        // renames done and the record still saying "writing".
        flushFolderToDisk(parentPath(m_record));
    }
    reachedStep(2);
    // From here the partial files are never removed unrenamed but by a failed rename
    // (replaceWithPartialFiles removes those left then): nothing is left for the
    // record to settle afterwards.
    m_replaced = true;
    const auto removeRecord = [this] {
        if (!m_record.empty())
            ::unlink(m_record.c_str());
    };
    try {
        replaceWithPartialFiles(m_targets, [](size_t renamed) { reachedStep(2 + static_cast<int>(renamed)); });
    } catch (...) {
        removeRecord();
        throw;
    }
    removeRecord();
}

void settleInterruptedReplacements()
{
    for (const Record& record : recordsFound())
        settle(record);
}

void settleInterruptedReplacementsOf(const std::string& path)
{
    settleRecordsNaming({path});
}

void setReplacementStepHookForTesting(void (*hook)(int step))
{
    stepHook = hook;
}

} // namespace platform

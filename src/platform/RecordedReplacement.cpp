#include "platform/RecordedReplacement.h"

#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

namespace platform {

namespace {

constexpr const char* RecordFolder = "\\TMP";
constexpr std::string_view RecordPrefix = "Saving-";
// The journal of the partial files one run of the program made.
constexpr std::string_view JournalPrefix = "Partials-";
// A record is written whole under this ending first and only then given its phase.
constexpr std::string_view NewEnding = ".new";
constexpr std::string_view WritingEnding = ".writing";
constexpr std::string_view RenamingEnding = ".renaming";
// The endings of the files a replacement is recorded for: a family file, alone or
// after its bundle of the same stem (model/filestore/FileNames.h names them).
constexpr std::string_view FamilyEnding = ".kez";
constexpr std::string_view BundleEnding = ".ked";
// Every partial file's name ends so (partialFileName).
constexpr std::string_view PartialEnding = ".part";
// A record names at most two files: one longer is none of the program's.
constexpr uint64_t MostRecordBytes = 4 * PATH_MAX;
// A journal holds the partial files of one run since none was last open, a few as a
// rule: one longer than this (tens of thousands) is none of the program's.
constexpr uint64_t MostJournalBytes = uint64_t{16} << 20;
// The entries of a journal: a partial file begun (its number and name), identified
// (its number, device and inode) and ended (its number).
constexpr std::string_view Begun = "B";
constexpr std::string_view Identified = "I";
constexpr std::string_view Ended = "E";

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

bool endsWithIgnoringCase(std::string_view text, std::string_view ending)
{
    if (text.size() < ending.size())
        return false;
    const std::string_view tail = text.substr(text.size() - ending.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        const char c = tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] - 'A' + 'a') : tail[i];
        if (c != ending[i])
            return false;
    }
    return true;
}

// The fields of a record, each followed by a NUL (a path holds any other byte).
std::string recordText(const std::vector<std::string>& fields)
{
    std::string text;
    for (const std::string& field : fields)
        text += field + '\0';
    return text;
}

// The fields of a record; nullopt when it does not end with a whole field.
std::optional<std::vector<std::string>> fieldsOf(const std::string& text)
{
    if (text.empty() || text.back() != '\0')
        return std::nullopt;
    std::vector<std::string> fields;
    size_t from = 0;
    for (size_t nul = text.find('\0'); nul != std::string::npos; nul = text.find('\0', from)) {
        fields.push_back(text.substr(from, nul - from));
        from = nul + 1;
    }
    return fields;
}

// Writes text whole at the descriptor's position; the errno of a failure, else 0.
int writeText(int fd, std::string_view text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno != EINTR)
            return errno;
        if (n > 0)
            done += static_cast<size_t>(n);
    }
    return 0;
}

// Writes the replacement record whole and flushed to path, a new file (never made
// through a link or over a file that is there).
void writeRecord(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw errnoError(errno, path);
    int error = writeText(fd, text);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(path.c_str());
        throw errnoError(error, path);
    }
}

// True when a replacement record names what the program records: a family file,
// alone or after its bundle of the same stem.
bool namesAFamily(const std::vector<std::string>& targets)
{
    if (targets.empty() || targets.size() > 2 || !endsWithIgnoringCase(targets.back(), FamilyEnding))
        return false;
    if (targets.size() == 1)
        return true;
    const std::string& bundle = targets.front();
    const std::string& family = targets.back();
    const size_t stem = family.size() - FamilyEnding.size();
    return bundle.size() == family.size() && endsWithIgnoringCase(bundle, BundleEnding)
           && bundle.compare(0, stem, family, 0, stem) == 0;
}

enum class Kind { Writing, Renaming, Journal, Foreign };

// A partial file a journal holds as begun and not ended.
struct OpenPartial {
    std::string partial;
    bool identified = false;
    dev_t device = 0;
    ino_t inode = 0;
};

struct Record {
    std::string path;
    Kind kind = Kind::Foreign;
    std::vector<std::string> targets; // a replacement's files, or what a foreign record names
    std::vector<OpenPartial> partials; // a journal's partial files begun and not ended
};

std::optional<unsigned long long> numberOf(const std::string& text)
{
    unsigned long long value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

// The partial files a journal holds as begun and not ended, in the order they were
// begun; nullopt when it holds anything but the entries the program writes.
std::optional<std::vector<OpenPartial>> openPartials(const std::vector<std::string>& fields)
{
    std::map<unsigned long long, OpenPartial> open;
    for (size_t i = 0; i < fields.size();) {
        const std::string& tag = fields[i];
        const size_t count = tag == Begun ? 3 : tag == Identified ? 4 : tag == Ended ? 2 : 0;
        if (count == 0 || i + count > fields.size())
            return std::nullopt;
        const auto id = numberOf(fields[i + 1]);
        if (!id)
            return std::nullopt;
        if (tag == Begun) {
            if (!endsWith(fields[i + 2], PartialEnding) || open.count(*id) != 0)
                return std::nullopt;
            open[*id].partial = fields[i + 2];
        } else if (tag == Identified) {
            const auto device = numberOf(fields[i + 2]);
            const auto inode = numberOf(fields[i + 3]);
            if (!device || !inode || open.count(*id) == 0)
                return std::nullopt;
            OpenPartial& partial = open[*id];
            partial.identified = true;
            partial.device = static_cast<dev_t>(*device);
            partial.inode = static_cast<ino_t>(*inode);
        } else if (open.erase(*id) == 0) {
            return std::nullopt;
        }
        i += count;
    }
    std::vector<OpenPartial> partials;
    for (auto& [id, partial] : open)
        partials.push_back(std::move(partial));
    return partials;
}

// The journal this run writes its partial files into, in the program folder it was
// made for.
struct Journal {
    std::string folder; // the program folder
    std::string path;   // "" when none is open
    int fd = -1;
    pid_t owner = 0;    // the process that made it (a child of a fork makes its own)
    unsigned long long nextId = 1;
    int open = 0;       // partial files begun and not ended
};

Journal& journal()
{
    static Journal j;
    return j;
}

// True for the file this run writes its journal into (whatever its name: another run
// in the folder may have settled and removed the name meanwhile).
bool ownJournal(const std::string& path)
{
    const Journal& j = journal();
    struct stat open {};
    struct stat named {};
    return j.fd >= 0 && j.owner == ::getpid() && ::fstat(j.fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0
           && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// The journal of this run for the program folder of now, made when there is none;
// nullptr without a program folder decided or without room for it.
Journal* currentJournal()
{
    const std::string folder = decidedAppPath();
    Journal& j = journal();
    if (folder.empty())
        return nullptr;
    if (j.fd >= 0 && j.folder == folder && j.owner == ::getpid())
        return &j;
    if (j.fd >= 0) {
        ::close(j.fd);
        // A journal of this run with nothing in it goes with its program folder.
        if (j.owner == ::getpid() && j.open == 0)
            ::unlink(j.path.c_str());
    }
    j = Journal{folder, std::string(), -1, ::getpid(), 1, 0};
    try {
        const std::string records = appFile(RecordFolder);
        makeDir(records);
        for (int n = 1;; ++n) {
            const std::string path = joinPath(records, std::string(JournalPrefix) + std::to_string(n));
            j.fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_APPEND | O_CLOEXEC, 0600);
            if (j.fd >= 0) {
                j.path = path;
                return &j;
            }
            if (errno != EEXIST)
                return nullptr;
        }
    } catch (const RuntimeError&) {
        return nullptr;
    }
}

// Appends an entry to the journal whole (a write the program cannot be killed in the
// middle of); false when it could not be written.
bool journalEntry(Journal& j, const std::vector<std::string>& fields)
{
    const std::string text = recordText(fields);
    return ::write(j.fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

// The records in the program folder. A replacement record that never got its phase
// was made before any partial file: it is removed. A name of the records' kind that
// holds no record the program writes is found as Foreign. The journal this run is
// writing is not among them.
std::vector<Record> recordsFound()
{
    std::vector<Record> records;
    const std::string folder = appFile(RecordFolder);
    // What the records name is read in the program folder itself, not through a link.
    try {
        clearProgramFileName(folder);
    } catch (const RuntimeError&) {
        return records;
    }
    for (const std::string& name : listFiles(folder, "*")) {
        const bool replacement = name.rfind(RecordPrefix, 0) == 0;
        if (!replacement && name.rfind(JournalPrefix, 0) != 0)
            continue;
        const std::string path = joinPath(folder, name);
        if (replacement && endsWith(name, NewEnding)) {
            ::unlink(path.c_str());
            continue;
        }
        if ((replacement && !endsWith(name, WritingEnding) && !endsWith(name, RenamingEnding)) || ownJournal(path))
            continue;
        Record record;
        record.path = path;
        struct stat st {};
        std::optional<std::vector<std::string>> fields;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            try {
                const std::string text = readWholeFile(path, replacement ? MostRecordBytes : MostJournalBytes);
                fields = text.empty() && !replacement ? std::vector<std::string>() : fieldsOf(text);
            } catch (const RuntimeError& error) {
                // A record that cannot be read now is tried again later; one too
                // long is none of the program's.
                if (error.systemError != 0)
                    continue;
            }
        }
        if (fields && !replacement) {
            if (auto partials = openPartials(*fields)) {
                record.kind = Kind::Journal;
                record.partials = std::move(*partials);
            }
        } else if (fields && namesAFamily(*fields)) {
            record.kind = endsWith(name, RenamingEnding) ? Kind::Renaming : Kind::Writing;
        }
        if (fields && record.kind != Kind::Journal)
            record.targets = *fields;
        records.push_back(std::move(record));
    }
    return records;
}

bool isRegularFile(const std::string& path, struct stat& st)
{
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Removes the partial files of the writes a run was killed in, each while it is still
// the file the program made (once made, it is empty until its identity is written),
// then the journal; a journal naming a partial file in a folder that cannot be found
// now stays for a later start.
void settleJournal(const Record& record)
{
    bool settled = true;
    for (const OpenPartial& open : record.partials) {
        if (!dirExists(parentPath(open.partial))) {
            settled = false;
            continue;
        }
        struct stat st {};
        if (isRegularFile(open.partial, st)
            && (open.identified ? st.st_dev == open.device && st.st_ino == open.inode : st.st_size == 0)
            && ::unlink(open.partial.c_str()) != 0 && errno != ENOENT)
            settled = false;
    }
    if (settled)
        ::unlink(record.path.c_str());
}

// Puts right what a replacement record says was under way, and removes the record; a
// record whose files cannot be reached now, or whose renames fail, stays for another
// try. Only a partial file that is a regular file is renamed or removed.
void settleReplacement(const Record& record)
{
    for (const std::string& target : record.targets) {
        if (!dirExists(parentPath(target)))
            return;
    }
    for (const std::string& target : record.targets) {
        const std::string part = partialFileName(target);
        struct stat st {};
        if (!isRegularFile(part, st))
            continue;
        if (record.kind == Kind::Renaming) {
            // Every partial file is whole: one still there was not renamed yet.
            if (::rename(part.c_str(), target.c_str()) != 0)
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

// Names the records that are not the program's, with the files they name; they and
// their files stay as they are.
void nameForeignRecords(const std::vector<const Record*>& foreign)
{
    if (foreign.empty())
        return;
    std::string message = ForeignRecordMessage;
    for (const Record* record : foreign) {
        message += "\r\n" + record->path;
        for (const std::string& target : record->targets)
            message += "\r\n　" + target;
    }
    MsgBox(message, vbOKOnly + vbExclamation);
}

bool names(const Record& record, const std::string& path)
{
    for (const std::string& target : record.targets) {
        if (isSameFile(target, path))
            return true;
    }
    return false;
}

// Settles the replacement records that name one of paths, in one look at the program
// folder; a record that is not the program's but names one of them is named.
void settleRecordsNaming(const std::vector<std::string>& paths)
{
    std::vector<Record> records = recordsFound();
    std::vector<const Record*> foreign;
    for (const Record& record : records) {
        if (record.kind == Kind::Journal)
            continue;
        for (const std::string& path : paths) {
            if (names(record, path)) {
                if (record.kind == Kind::Foreign)
                    foreign.push_back(&record);
                else
                    settleReplacement(record);
                break;
            }
        }
    }
    nameForeignRecords(foreign);
}

// The first "<stem><n>" of the record folder no name of which is taken, with any
// ending.
std::string freeRecordStem(const std::string& folder)
{
    for (int n = 1;; ++n) {
        const std::string stem = joinPath(folder, std::string(RecordPrefix) + std::to_string(n));
        struct stat st {};
        bool taken = false;
        for (const std::string_view ending : {NewEnding, WritingEnding, RenamingEnding})
            taken = taken || ::lstat((stem + std::string(ending)).c_str(), &st) == 0;
        if (!taken)
            return stem;
    }
}

} // namespace

RecordedReplacement::RecordedReplacement(std::vector<std::string> paths)
{
    settleRecordsNaming(paths);
    for (const std::string& path : paths)
        m_targets.push_back(writtenFile(path));
    std::string stem;
    try {
        const std::string folder = appFile(RecordFolder);
        makeDir(folder);
        stem = freeRecordStem(folder);
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
    } catch (const RuntimeError& error) {
        // A program folder without room for the record does not stop the save, which
        // the user asked for: it goes on unrecorded, its partial files removed when it
        // fails, and the user knows that a kill could leave the pair mixed.
        MsgBox(failedFileMessage(UnrecordedSaveMessage, error), vbOKOnly + vbExclamation);
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

PartialFileRecord::PartialFileRecord(const std::string& partial)
{
    Journal* j = currentJournal();
    if (!j)
        return;
    const unsigned long long id = j->nextId++;
    // Without room for the entry the write goes on unrecorded.
    if (!journalEntry(*j, {std::string(Begun), std::to_string(id), partial}))
        return;
    m_id = id;
    ++j->open;
}

PartialFileRecord::~PartialFileRecord()
{
    Journal& j = journal();
    if (m_id == 0 || j.fd < 0 || j.owner != ::getpid())
        return;
    (void)journalEntry(j, {std::string(Ended), std::to_string(m_id)});
    // With no partial file open the journal holds nothing to keep.
    if (--j.open == 0 && ::ftruncate(j.fd, 0) != 0) {
        // Left as it is: every partial file it names is ended.
    }
}

void PartialFileRecord::identify(int fd)
{
    Journal& j = journal();
    struct stat st {};
    // Without it the journal still says that the partial file was being made: the next
    // start then removes it only while it is empty.
    if (m_id != 0 && j.fd >= 0 && ::fstat(fd, &st) == 0)
        (void)journalEntry(j, {std::string(Identified), std::to_string(m_id),
                               std::to_string(static_cast<unsigned long long>(st.st_dev)),
                               std::to_string(static_cast<unsigned long long>(st.st_ino))});
    reachedStep(PartialFileMadeStep);
}

void settleInterruptedReplacements()
{
    std::vector<Record> records = recordsFound();
    std::vector<const Record*> foreign;
    for (const Record& record : records) {
        if (record.kind == Kind::Foreign)
            foreign.push_back(&record);
        else if (record.kind == Kind::Journal)
            settleJournal(record);
        else
            settleReplacement(record);
    }
    nameForeignRecords(foreign);
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

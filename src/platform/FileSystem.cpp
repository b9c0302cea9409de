#include "platform/FileSystem.h"

#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/Hooks.h"
#include "platform/RecordedReplacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

class FdGuard {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return m_fd; }
    // Hands the descriptor over to the caller, who closes it.
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes now and reports the result (a deferred write error shows here).
    int closeNow()
    {
        const int r = ::close(m_fd);
        m_fd = -1;
        return r;
    }

private:
    int m_fd;
};

bool isRegularFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string childPath(const std::string& dir, const char* name)
{
    if (dir.empty())
        return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

void writeAll(int fd, std::string_view bytes, const std::string& path)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw errnoError(errno, path);
        }
        done += static_cast<size_t>(n);
    }
}

// A folder stands where a file is to be written or removed.
RuntimeError folderInTheWay(const std::string& path, const char* what)
{
    RuntimeError error(err::PathFileAccess, path + what);
    error.systemError = EISDIR;
    error.path = path;
    return error;
}

constexpr const char* TooLargeReason = "ファイルが大きすぎます";

// Only a regular file of at most maxBytes is read: a folder holds no bytes of its
// own, and a named pipe, a device or a socket may make a read wait for ever (a pipe
// nobody writes to) or never end (/dev/zero).
void checkReadable(const std::string& path, const struct stat& st, uint64_t maxBytes)
{
    if (S_ISDIR(st.st_mode))
        throw refusedFile(path, "ファイルではなくフォルダーです");
    if (!S_ISREG(st.st_mode))
        throw refusedFile(path, "通常のファイルではありません");
    if (static_cast<uint64_t>(st.st_size) > maxBytes)
        throw refusedFile(path, TooLargeReason);
}

// openToRead, with st receiving what the open file is.
int openRegularFile(const std::string& path, uint64_t maxBytes, struct stat& st)
{
    // Not opened at all when it is no regular file: opening a device may act on it.
    if (::stat(path.c_str(), &st) == 0)
        checkReadable(path, st, maxBytes);
    // A named pipe put in place meanwhile does not hold the open up either.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw errnoError(errno, path);
    FdGuard guard(fd);
    if (::fstat(fd, &st) != 0)
        throw errnoError(errno, path);
    checkReadable(path, st, maxBytes);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        throw errnoError(errno, path);
    return guard.release();
}

// A path spelt from the root, with "." and ".." taken away by name, as the program
// folder is spelt (decidedAppPath).
std::string absoluteSpelling(const std::string& path)
{
    std::string full = path[0] == '/' ? path : currentDirectory() + "/" + path;
    if (full.find("/.") != std::string::npos || full.find("//") != std::string::npos)
        full = std::filesystem::path(full).lexically_normal().string();
    while (full.size() > 1 && full.back() == '/')
        full.pop_back();
    return full;
}

// A path inside the program folder: the folder, and the names below it down to the
// path's own, in order.
struct ProgramPath {
    std::string folder;
    std::vector<std::string> names;
};

std::optional<ProgramPath> programPath(const std::string& path)
{
    std::string folder = decidedAppPath();
    if (folder.empty() || path.empty())
        return std::nullopt;
    const std::string full = absoluteSpelling(path);
    const size_t below = folder == "/" ? 1 : folder.size() + 1;
    if (full.size() <= below || full.compare(0, below - 1, folder, 0, below - 1) != 0 || full[below - 1] != '/')
        return std::nullopt;
    ProgramPath inside{std::move(folder), {}};
    for (size_t from = below; from <= full.size();) {
        const size_t slash = std::min(full.find('/', from), full.size());
        inside.names.push_back(full.substr(from, slash - from));
        from = slash + 1;
    }
    return inside;
}

// What stands at a name where the program keeps a file or a folder of its own, in a
// word, when it is neither: a link (with where it leads), a named pipe, a device or a
// socket. "" for a regular file or a folder.
std::string strayKind(const std::string& path, const struct stat& st)
{
    if (S_ISLNK(st.st_mode)) {
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        target.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return "シンボリックリンク（" + target + " へ）";
    }
    if (S_ISFIFO(st.st_mode))
        return "名前付きパイプ";
    if (S_ISSOCK(st.st_mode))
        return "ソケット";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return "デバイス";
    return std::string();
}

// Removes a name that stands where the program keeps a file of its own (never what it
// leads to), and says so.
void removeStrayName(const std::string& path, const std::string& what)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw errnoError(errno, path);
    MsgBox(std::string(StrayNameRemovedMessage) + "\r\n" + path + "（" + what + "）", vbOKOnly + vbExclamation);
}

// In the program folder: clears the way to path (and, when includingPath, path
// itself) of links and other things that are neither a regular file nor a folder.
// One standing for a folder on the way is removed and the folder made, so what is
// written below it stays in the program folder. Nothing outside the program folder.
void clearProgramPath(const std::string& path, bool includingPath = true)
{
    const auto inside = programPath(path);
    if (!inside)
        return;
    std::string current = inside->folder;
    for (size_t i = 0; i < inside->names.size(); ++i) {
        current = current == "/" ? "/" + inside->names[i] : current + "/" + inside->names[i];
        const bool last = i + 1 == inside->names.size();
        struct stat st {};
        if ((last && !includingPath) || ::lstat(current.c_str(), &st) != 0)
            return;
        const std::string stray = strayKind(current, st);
        if (stray.empty()) {
            // A file used as a folder: the write or removal below it says so.
            if (!last && !S_ISDIR(st.st_mode))
                return;
            continue;
        }
        removeStrayName(current, stray);
        if (last)
            return;
        if (::mkdir(current.c_str(), 0777) != 0 && errno != EEXIST)
            throw errnoError(errno, current);
    }
}

// A file whose owner made it read-only (no write permission for anybody, or none for
// the user running the program) is not replaced: it is refused as a file the user may
// not write, with the word that says why.
RuntimeError readOnlyFile(const std::string& path)
{
    RuntimeError error = errnoError(EACCES, path);
    error.reason = "読み取り専用のファイルです";
    error.description = path + ": " + error.reason;
    return error;
}

bool readOnly(const std::string& path, const struct stat& st)
{
    return (st.st_mode & 0222) == 0 || (::access(path.c_str(), W_OK) != 0 && errno == EACCES);
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool wildcardMatch(const char* name, const char* pattern)
{
    // Iterative matcher with one back-tracking point for the last "*".
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern && lowerAscii(*pattern) == lowerAscii(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

} // namespace

bool fileExists(const std::string& path)
{
    return !path.empty() && isRegularFile(path);
}

bool dirExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool dirHasFiles(const std::string& dir)
{
    DirHandle d(::opendir(dir.c_str()));
    if (!d)
        return false;
    while (const dirent* e = ::readdir(d.get())) {
        if (isRegularFile(childPath(dir, e->d_name)))
            return true;
    }
    return false;
}

void makeDir(const std::string& path)
{
    clearProgramPath(path);
    if (::mkdir(path.c_str(), 0777) == 0)
        return;
    const int error = errno;
    if (error == EEXIST && dirExists(path))
        return;
    if (error == EEXIST)
        throw RuntimeError(err::PathFileAccess, path + ": 同じ名前のファイルがあります");
    throw errnoError(error, path);
}

void makeDirs(const std::string& path)
{
    if (path.empty())
        return;
    clearProgramPath(path);
    if (dirExists(path))
        return;
    const std::string parent = parentPath(path);
    if (!parent.empty() && parent != path)
        makeDirs(parent);
    makeDir(path);
}

void deleteFile(const std::string& path)
{
    clearProgramPath(path, false);
    if (::unlink(path.c_str()) == 0)
        return;
    const int error = errno;
    if (error == ENOENT)
        return;
    if (error == EISDIR || (error == EPERM && dirExists(path)))
        throw folderInTheWay(path, ": フォルダーはファイルとして削除できません");
    throw errnoError(error, path);
}

void deleteAllFiles(const std::string& dir)
{
    clearProgramPath(dir);
    DirHandle d(::opendir(dir.c_str()));
    if (!d) {
        if (errno == ENOENT)
            return;
        throw errnoError(errno, dir);
    }
    std::vector<std::string> victims;
    while (const dirent* e = ::readdir(d.get())) {
        const std::string path = childPath(dir, e->d_name);
        if (isRegularFile(path))
            victims.push_back(path);
    }
    d.reset();
    for (const auto& path : victims)
        deleteFile(path);
}

namespace {

// removeTree below a folder whose way is cleared.
void removeTreeFrom(const std::string& dir)
{
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0)
        return;
    if (!S_ISDIR(st.st_mode)) {
        deleteFile(dir);
        return;
    }
    std::vector<std::string> children;
    {
        DirHandle d(::opendir(dir.c_str()));
        if (!d)
            throw errnoError(errno, dir);
        while (const dirent* e = ::readdir(d.get())) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                children.push_back(childPath(dir, e->d_name));
        }
    }
    for (const auto& child : children)
        removeTreeFrom(child);
    if (::rmdir(dir.c_str()) != 0 && errno != ENOENT)
        throw errnoError(errno, dir);
}

} // namespace

void removeTree(const std::string& dir)
{
    clearProgramPath(dir, false);
    removeTreeFrom(dir);
}

bool matchesPattern(const std::string& name, const std::string& pattern)
{
    // "*.*" names every file, also one without an extension.
    if (pattern == "*.*" || pattern == "*" || pattern.empty())
        return true;
    return wildcardMatch(name.c_str(), pattern.c_str());
}

std::vector<std::string> listFiles(const std::string& dir, const std::string& pattern)
{
    std::vector<std::string> names;
    DirHandle d(::opendir(dir.c_str()));
    if (!d)
        return names;
    while (const dirent* e = ::readdir(d.get())) {
        const std::string name = e->d_name;
        if (matchesPattern(name, pattern) && isRegularFile(childPath(dir, e->d_name)))
            names.push_back(name);
    }
    return names;
}

void copyFile(const std::string& from, const std::string& to)
{
    // Read first so that copying a file onto itself does not truncate it.
    writeWholeFile(to, readWholeFile(from));
}

int64_t fileLength(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw errnoError(errno, path);
    return static_cast<int64_t>(st.st_size);
}

FileStamp fileStamp(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw errnoError(errno, path);
    FileStamp stamp;
    stamp.device = static_cast<uint64_t>(st.st_dev);
    stamp.inode = static_cast<uint64_t>(st.st_ino);
    stamp.length = static_cast<int64_t>(st.st_size);
    stamp.modifiedNanoseconds = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

int openToRead(const std::string& path, uint64_t maxBytes)
{
    struct stat st {};
    return openRegularFile(path, maxBytes, st);
}

std::string readWholeFile(const std::string& path, uint64_t maxBytes)
{
    struct stat st {};
    FdGuard guard(openRegularFile(path, maxBytes, st));
    // Read straight into the result, sized by the file's length; a file that grows
    // meanwhile (or reports no length, as the system's own files do) is read on until
    // its end, but never past maxBytes.
    std::string bytes(st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0, '\0');
    size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() + 65536);
        const ssize_t n = ::read(guard.get(), bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw errnoError(errno, path);
        }
        if (n == 0)
            break;
        used += static_cast<size_t>(n);
        if (used > maxBytes)
            throw refusedFile(path, TooLargeReason);
    }
    bytes.resize(used);
    return bytes;
}

void writeWholeFile(const std::string& path, const std::string& bytes)
{
    PartialFile file(path);
    file.write(bytes);
    file.replace(Flush::No);
}

void renameFile(const std::string& from, const std::string& to)
{
    clearProgramPath(from, false);
    clearProgramPath(to);
    if (::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        // Name the side that failed: the source when it is missing, else the target.
        throw errnoError(error, fileExists(from) || dirExists(from) ? to : from);
    }
}

bool inProgramFolder(const std::string& path)
{
    return programPath(path).has_value();
}

void clearProgramFileName(const std::string& path)
{
    clearProgramPath(path);
}

std::string writtenFile(const std::string& path)
{
    return inProgramFolder(path) ? path : linkTarget(path);
}

std::string linkTarget(const std::string& path)
{
    // As many links as the system itself follows before it gives up (ELOOP).
    constexpr int MostLinks = 40;
    std::string current = path;
    for (int i = 0; i < MostLinks; ++i) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0)
            return current;
        target.resize(static_cast<size_t>(n));
        const std::string folder = parentPath(current);
        current = target.front() == '/' || folder.empty() ? target : (folder == "/" ? "/" + target : folder + "/" + target);
    }
    return current;
}

std::string partialFileName(const std::string& path)
{
    const std::string target = writtenFile(path);
    const std::string name = fileNameOf(target);
    const std::string folder = parentPath(target);
    const long most = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    const size_t longest = most > 0 ? static_cast<size_t>(most) : NAME_MAX;
    constexpr std::string_view Ending = ".part";
    if (name.size() + Ending.size() <= longest)
        return target + std::string(Ending);
    // A name too long to take the ending: its beginning, cut where a character (of
    // UTF-8) begins, and a hash of the whole name keep it apart from the partial
    // file of any other name.
    char hash[16];
    std::snprintf(hash, sizeof hash, "~%08zx", std::hash<std::string>()(name) & 0xFFFFFFFFu);
    const size_t added = Ending.size() + std::char_traits<char>::length(hash);
    if (longest <= added)
        return target + std::string(Ending);
    size_t kept = longest - added;
    while (kept > 0 && (static_cast<unsigned char>(name[kept]) & 0xC0) == 0x80)
        --kept;
    return target.substr(0, target.size() - name.size()) + name.substr(0, kept) + hash + std::string(Ending);
}

PartialFile::PartialFile(const std::string& path) : m_path(path)
{
    clearProgramPath(path);
    m_partial = partialFileName(path);
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throw folderInTheWay(path, ": フォルダーには書き込めません");
    // A device, a pipe or a socket is never replaced by a file.
    if (exists && !S_ISREG(existing.st_mode))
        throw refusedFile(path, "書き込み先がファイルではありません");
    // Links that lead on without end (to themselves) lead to no file to replace.
    struct stat link {};
    if (::lstat(writtenFile(path).c_str(), &link) == 0 && S_ISLNK(link.st_mode))
        throw errnoError(ELOOP, path);
    if (exists && readOnly(path, existing))
        throw readOnlyFile(path);
    // Recorded before it exists, so that no partial file of a write the program was
    // killed in outlives the next start.
    m_record = std::make_unique<PartialFileRecord>(m_partial);
    // A partial file left by an interrupted write is removed and made afresh: created
    // exclusively, it is never a link to some other file.
    if (::unlink(m_partial.c_str()) != 0 && errno != ENOENT)
        throw errnoError(errno, path);
    m_fd = ::open(m_partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_fd < 0)
        throw errnoError(errno, path);
    m_record->identify(m_fd);
    // Keep the permissions of the file being replaced; a new file gets the usual
    // 0666 less the umask.
    mode_t mode = 0;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(m_fd, mode);
}

PartialFile::~PartialFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_kept)
        ::unlink(m_partial.c_str());
    // Its record goes only after it: a partial file is recorded while it exists.
    m_record.reset();
}

void PartialFile::write(std::string_view bytes)
{
    writeAll(m_fd, bytes, m_path);
}

void PartialFile::close(Flush flush)
{
    if (flush == Flush::ToDisk && ::fsync(m_fd) != 0)
        throw errnoError(errno, m_path);
    const int fd = m_fd;
    m_fd = -1;
    // A deferred write error shows here.
    if (::close(fd) != 0)
        throw errnoError(errno, m_path);
}

void PartialFile::keep(Flush flush)
{
    close(flush);
    m_kept = true;
    m_record.reset();
}

void PartialFile::replace(Flush flush)
{
    close(flush);
    m_kept = true;
    if (flush == Flush::ToDisk) {
        replaceWithPartialFiles({m_path});
        return;
    }
    const std::string target = writtenFile(m_path);
    if (::rename(m_partial.c_str(), target.c_str()) != 0) {
        const int error = errno;
        m_kept = false;
        throw errnoError(error, target);
    }
}

void writePartialFile(const std::string& path, std::string_view bytes)
{
    PartialFile file(path);
    file.write(bytes);
    file.keep(Flush::ToDisk);
}

void flushFolderToDisk(const std::string& dir)
{
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void replaceWithPartialFiles(const std::vector<std::string>& paths, const std::function<void(size_t renamed)>& renamed)
{
    std::vector<std::string> targets;
    for (const std::string& path : paths)
        targets.push_back(writtenFile(path));
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string partial = partialFileName(paths[i]);
        if (::rename(partial.c_str(), targets[i].c_str()) != 0) {
            const int error = errno;
            for (size_t j = i; j < paths.size(); ++j)
                ::unlink(partialFileName(paths[j]).c_str());
            throw errnoError(error, targets[i]);
        }
        if (renamed)
            renamed(i + 1);
    }
    // Make the renames themselves durable, once all are done; a failure here leaves
    // the new files in place, so it is not reported.
    std::vector<std::string> folders;
    for (const std::string& path : targets) {
        const std::string dir = parentPath(path);
        if (std::find(folders.begin(), folders.end(), dir) == folders.end())
            folders.push_back(dir);
    }
    for (const std::string& dir : folders)
        flushFolderToDisk(dir);
}

void writeFileAtomically(const std::string& path, std::string_view bytes)
{
    PartialFile file(path);
    file.write(bytes);
    file.replace(Flush::ToDisk);
}

std::string spareFileName(const std::string& path)
{
    const std::string dir = parentPath(path);
    return (dir.empty() ? std::string() : (dir == "/" ? dir : dir + "/")) + "." + fileNameOf(path) + ".spare";
}

namespace {

// Opens the spare file of path to be written over, or makes it: only a regular file
// that is the program's own alone is written in place. Anything else at its name (a
// link, a pipe, a device, a file with a second name or of another owner, whose content
// would change with it) is removed as a name and named first.
int openSpare(const std::string& spare, const std::string& path)
{
    struct stat st {};
    if (::lstat(spare.c_str(), &st) == 0) {
        std::string stray = strayKind(spare, st);
        if (stray.empty() && S_ISREG(st.st_mode) && st.st_nlink != 1)
            stray = "ほかの名前ともつながっているファイル";
        else if (stray.empty() && S_ISREG(st.st_mode) && st.st_uid != ::geteuid())
            stray = "ほかの利用者のファイル";
        if (!stray.empty())
            removeStrayName(spare, stray);
    }
    const int fd = ::open(spare.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        throw errnoError(errno, path);
    FdGuard guard(fd);
    // Whatever was put at the name meanwhile is not written into either.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1)
        throw errnoError(EEXIST, path);
    return guard.release();
}

} // namespace

void replaceThroughSpare(const std::string& path, std::string_view bytes)
{
    // The file is the program's own wherever it is: never written through a link.
    clearProgramPath(path, false);
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            throw folderInTheWay(path, ": フォルダーには書き込めません");
        if (const std::string stray = strayKind(path, st); !stray.empty())
            removeStrayName(path, stray);
    }
    const std::string spare = spareFileName(path);
    try {
        // Rewritten from its start over its old content, then cut to length: the
        // blocks it already has are used again.
        FdGuard guard(openSpare(spare, path));
        const int fd = guard.get();
        writeAll(fd, bytes, path);
        if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
            throw errnoError(errno, path);
        if (guard.closeNow() != 0)
            throw errnoError(errno, path);
        // The exchange keeps the old file as the next spare instead of freeing it.
        // A file system that cannot exchange names, or a first write, replaces.
        if (::lstat(path.c_str(), &st) != 0
            || ::renameat2(AT_FDCWD, spare.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) != 0) {
            if (::rename(spare.c_str(), path.c_str()) != 0)
                throw errnoError(errno, path);
        }
    } catch (...) {
        ::unlink(spare.c_str());
        throw;
    }
}

std::string currentDirectory()
{
    std::string buffer(PATH_MAX, '\0');
    if (!::getcwd(buffer.data(), buffer.size()))
        throw errnoError(errno);
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

void setCurrentDirectory(const std::string& path)
{
    if (::chdir(path.c_str()) != 0) {
        const int error = errno;
        // Changing to a folder that does not exist is "path not found".
        throw RuntimeError(error == ENOENT ? err::PathNotFound : errorNumberForErrno(error),
                           errnoError(error, path).description);
    }
}

bool isSameFile(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    const auto spelt = [](const std::string& path) {
        std::filesystem::path full(path);
        if (full.is_relative())
            full = std::filesystem::path(currentDirectory()) / full;
        std::string text = full.lexically_normal().string();
        for (char& c : text) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return text;
    };
    return spelt(a) == spelt(b);
}

std::string parentPath(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return std::string();
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace platform

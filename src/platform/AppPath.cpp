#include "platform/AppPath.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

namespace {

// Marks a per-user program folder as filled, so that files the user later
// deletes are not brought back at the next start.
constexpr const char* kFilledMarker = ".tevora-data-copied";

// The open lock file while this program holds its folder, else -1.
int g_folderLock = -1;

std::string g_testingPath;
std::optional<std::string> g_decidedPath;
std::string g_homeSwitch;
std::vector<std::string> g_arguments;

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string absolutePath(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return withoutTrailingSlash(path);
    return withoutTrailingSlash(joinPath(currentDirectory(), path));
}

bool isWritableDir(const std::string& dir)
{
    return dirExists(dir) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

bool isEmptyDir(const std::string& dir)
{
    std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
    if (!d)
        return false;
    while (const dirent* e = ::readdir(d.get())) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            return false;
    }
    return true;
}

bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// The entry of dir whose name equals name ignoring ASCII case. An exact match
// wins; among several others the smallest name is taken, so the choice does
// not depend on directory order.
std::optional<std::string> findEntry(const std::string& dir, const std::string& name)
{
    struct stat st {};
    const std::string exact = dir == "/" ? "/" + name : dir + "/" + name;
    if (::lstat(exact.c_str(), &st) == 0)
        return name;
    struct Closer {
        void operator()(DIR* d) const { ::closedir(d); }
    };
    std::unique_ptr<DIR, Closer> d(::opendir(dir.empty() ? "." : dir.c_str()));
    if (!d)
        return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* e = ::readdir(d.get())) {
        const std::string entry = e->d_name;
        if (equalsIgnoringAsciiCase(entry, name) && (!best || entry < *best))
            best = entry;
    }
    return best;
}

// Resolves the components of relative (separated by "/") below base.
std::string resolveBelow(const std::string& base, const std::string& relative)
{
    std::string current = base;
    bool resolving = true;
    size_t pos = 0;
    while (pos <= relative.size()) {
        size_t slash = relative.find('/', pos);
        if (slash == std::string::npos)
            slash = relative.size();
        std::string component = relative.substr(pos, slash - pos);
        pos = slash + 1;
        if (component.empty())
            continue;
        if (resolving && component != "." && component != "..") {
            const auto found = findEntry(current.empty() ? "." : current, component);
            if (found)
                component = *found;
            else
                resolving = false; // nothing below a missing component exists
        }
        if (current.empty())
            current = component;
        else if (current.back() == '/')
            current += component;
        else
            current += "/" + component;
    }
    return current;
}

std::string decideAppPath()
{
    std::string chosen;
    bool explicitFolder = true;
    if (!g_homeSwitch.empty()) {
        chosen = g_homeSwitch;
    } else if (const char* env = std::getenv("TEVORA_HOME"); env && *env) {
        chosen = env;
    } else {
        explicitFolder = false;
        chosen = executableDir();
        if (!isWritableDir(chosen))
            chosen = userDataDir();
    }
    chosen = absolutePath(chosen);
    const std::string exeDir = executableDir();
    if (chosen == exeDir)
        return chosen;
    // A folder other than the executable's is filled with the program's data
    // files the first time it is used (a chosen folder only when it is new or
    // empty, so that a prepared folder is taken as it stands).
    const bool fresh = !dirExists(chosen) || isEmptyDir(chosen);
    makeDirs(chosen);
    const std::string marker = chosen + "/" + kFilledMarker;
    if ((!explicitFolder && !fileExists(marker)) || (explicitFolder && fresh)) {
        if (dirExists(exeDir))
            copyDataFiles(exeDir, chosen);
        if (!explicitFolder)
            writeWholeFile(marker, "");
    }
    return chosen;
}

enum class LockResult { Held, Taken, Unavailable };

LockResult lockFolder(const std::string& folder)
{
    const std::string path = joinPath(folder, ProgramFolderLockName);
    for (;;) {
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC); // a lock needs no write access
        if (fd < 0)
            return LockResult::Unavailable;
        int r = 0;
        while ((r = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (r != 0) {
            const int error = errno;
            ::close(fd);
            return error == EWOULDBLOCK ? LockResult::Held : LockResult::Unavailable;
        }
        // The lock counts only while the name still leads to the locked file: one
        // removed and made again meanwhile is locked afresh.
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev
            && opened.st_ino == named.st_ino) {
            g_folderLock = fd;
            return LockResult::Taken;
        }
        ::close(fd);
    }
}

} // namespace

bool claimProgramFolder()
{
    if (g_folderLock >= 0)
        return true;
    const std::string folder = GetAppPath();
    if (lockFolder(folder) != LockResult::Held)
        return true;
    MsgBox(std::string(ProgramFolderInUseMessage) + "\r\n\r\n" + folder, vbExclamation);
    return false;
}

void releaseProgramFolder()
{
    if (g_folderLock < 0)
        return;
    ::close(g_folderLock);
    g_folderLock = -1;
}

std::string executableDir()
{
    std::string buffer(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return absolutePath(".");
    buffer.resize(static_cast<size_t>(n));
    const std::string dir = parentPath(buffer);
    return dir.empty() ? "/" : dir;
}

std::string userDataDir()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return joinPath(xdg, "tevora");
    const char* home = std::getenv("HOME");
    return joinPath(joinPath(home && *home ? home : "/tmp", ".local/share"), "tevora");
}

void copyDataFiles(const std::string& from, const std::string& to)
{
    makeDirs(to);
    std::vector<std::string> names;
    {
        std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(from.c_str()), ::closedir);
        if (!d)
            throw errnoError(errno, from);
        while (const dirent* e = ::readdir(d.get())) {
            const std::string name = e->d_name;
            if (name != "." && name != ".." && name != kFilledMarker)
                names.push_back(name);
        }
    }
    for (const auto& name : names) {
        const std::string source = joinPath(from, name);
        const std::string target = joinPath(to, name);
        struct stat st {};
        if (::stat(source.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            copyDataFiles(source, target);
        } else if (S_ISREG(st.st_mode) && (st.st_mode & 0111) == 0 && !fileExists(target)) {
            // Programs (tests, benchmarks, the executable itself) are not data.
            copyFile(source, target);
        }
    }
}

std::string GetAppPath()
{
    if (!g_testingPath.empty())
        return g_testingPath;
    if (!g_decidedPath)
        g_decidedPath = decideAppPath();
    return *g_decidedPath;
}

std::string decidedAppPath()
{
    if (!g_testingPath.empty())
        return g_testingPath;
    return g_decidedPath ? *g_decidedPath : std::string();
}

void setAppPathForTesting(const std::string& path)
{
    g_testingPath = path.empty() ? std::string() : absolutePath(path);
    g_decidedPath.reset();
}

std::string joinPath(std::string_view a, std::string_view b)
{
    std::string right(b);
    std::replace(right.begin(), right.end(), '\\', '/');
    if (a.empty())
        return right;
    std::string left(a);
    if (right.empty())
        return left;
    while (left.size() > 1 && left.back() == '/')
        left.pop_back();
    size_t skip = 0;
    while (skip < right.size() && right[skip] == '/')
        ++skip;
    if (left == "/")
        return "/" + right.substr(skip);
    return left + "/" + right.substr(skip);
}

std::string appFile(std::string_view backslashName)
{
    std::string relative(backslashName);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return resolveBelow(GetAppPath(), relative);
}

void setCommandLine(int argc, char** argv)
{
    g_arguments.clear();
    std::string homeSwitch;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] ? argv[i] : "";
        if (arg == "--home" && i + 1 < argc) {
            homeSwitch = argv[++i] ? argv[i] : "";
            continue;
        }
        if (arg.rfind("--home=", 0) == 0) {
            homeSwitch = arg.substr(7);
            continue;
        }
        g_arguments.push_back(arg);
    }
    if (homeSwitch != g_homeSwitch) {
        g_homeSwitch = homeSwitch;
        g_decidedPath.reset();
    }
}

std::string Command()
{
    std::string line;
    for (const auto& arg : g_arguments) {
        if (!line.empty())
            line += ' ';
        // Quote what would otherwise split differently or vanish.
        if (arg.empty() || arg.find_first_of(" ,") != std::string::npos)
            line += "\"" + arg + "\"";
        else
            line += arg;
    }
    return line;
}

} // namespace platform

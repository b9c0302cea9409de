#include "document/WorkFolders.h"

#include "model/filestore/FileStore.h"
#include "model/filestore/MediaBundle.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <set>

namespace model {

namespace {

constexpr int16_t MediaKinds[] = {MediaVoice, MediaPicture};

// Makes the folder hold no files (creating it when missing).
void emptyFolder(const std::string& folder)
{
    platform::makeDir(folder);
    platform::deleteAllFiles(folder);
}

// Moves rather than copies: putting the open family's media back must not fail for
// want of disk space. A move across file systems falls back to copy and delete.
void moveFile(const std::string& from, const std::string& to)
{
    try {
        platform::renameFile(from, to);
    } catch (const platform::RuntimeError&) {
        platform::copyFile(from, to);
        platform::deleteFile(from);
    }
}

// What becomes of the files of the work folder that were not parked.
enum class Others { Deleted, Kept };

// Records the first failure in failure.
bool moveBack(int16_t kind, Others others, std::optional<platform::RuntimeError>& failure)
{
    try {
        const std::string work = mediaFolder(kind);
        if (others == Others::Deleted)
            emptyFolder(work);
        else
            platform::makeDir(work);
        const std::string parked = parkingFolder(kind);
        for (const std::string& name : platform::listFiles(parked, "*.*"))
            moveFile(platform::joinPath(parked, name), platform::joinPath(work, name));
        return true;
    } catch (const platform::RuntimeError& e) {
        if (!failure)
            failure = e;
        return false;
    }
}

// The work-folder file of a person's media, "" when the person has none of that kind.
std::string mediaName(const personal_data& person, int16_t kind)
{
    if (kind == MediaVoice)
        return person.Voice_index != -1 ? person.Voice_filename : std::string();
    return person.Picture_index != -1 ? person.Picture_filename : std::string();
}

// Files still parked were left by an operation that could not put them back (or did
// not live to): each goes back to its work folder unless a file of that name is there.
void rescueLeftovers(int16_t kind)
{
    const std::string parked = parkingFolder(kind);
    const std::string work = mediaFolder(kind);
    if (!platform::dirHasFiles(parked))
        return;
    platform::makeDir(work);
    for (const std::string& name : platform::listFiles(parked, "*.*")) {
        // Hidden files (a folder's placeholder) are no media.
        if (name.front() == '.')
            continue;
        const std::string target = platform::joinPath(work, name);
        if (!platform::fileExists(target))
            moveFile(platform::joinPath(parked, name), target);
    }
}

} // namespace

void Copy_FolderFiles(const std::string& sourceFolder, const std::string& targetFolder)
{
    for (const std::string& name : platform::listFiles(sourceFolder, "*.*"))
        platform::copyFile(platform::joinPath(sourceFolder, name), platform::joinPath(targetFolder, name));
}

void Remove_UnusedFaceFiles()
{
    const std::string folder = mediaFolder(MediaPicture);
    if (!platform::dirExists(folder))
        return;
    std::set<std::string> used;
    const Tables& t = tables();
    for (int p = 1; p <= LastSlot; ++p) {
        const personal_data& person = t.per_buf[static_cast<size_t>(p)];
        if (person.InUse == SlotUsed)
            used.insert(mediaName(person, MediaPicture));
    }
    try {
        for (const std::string& name : platform::listFiles(folder, "*.*")) {
            // Hidden files (a folder's placeholder) are no media.
            if (name.front() != '.' && used.count(name) == 0)
                platform::deleteFile(platform::joinPath(folder, name));
        }
    } catch (const platform::RuntimeError&) {
        // A file left behind does no harm: no person shows it and no save bundles it.
    }
}

std::string parkingFolder(int16_t kind)
{
    return platform::appFile(kind == MediaVoice ? "\\StackVoice" : "\\StackFace");
}

bool ParkedMedia::park()
{
    m_failure.reset();
    try {
        for (const int16_t kind : MediaKinds) {
            rescueLeftovers(kind);
            emptyFolder(parkingFolder(kind));
            const std::string work = mediaFolder(kind);
            if (platform::dirExists(work))
                Copy_FolderFiles(work, parkingFolder(kind));
        }
        return true;
    } catch (const platform::RuntimeError& e) {
        m_failure = e;
        release();
        return false;
    }
}

bool ParkedMedia::holds(int16_t kind, const std::string& name) const
{
    return isPlainFileName(name) && platform::fileExists(platform::joinPath(parkingFolder(kind), name));
}

bool ParkedMedia::putBackOver()
{
    m_failure.reset();
    bool moved = true;
    for (const int16_t kind : MediaKinds)
        moved = moveBack(kind, Others::Kept, m_failure) && moved;
    return moved;
}

bool ParkedMedia::putBack()
{
    m_failure.reset();
    bool moved = true;
    for (const int16_t kind : MediaKinds)
        moved = moveBack(kind, Others::Deleted, m_failure) && moved;
    return moved;
}

bool ParkedMedia::giveBack(int16_t kind, const std::string& name, const std::string& bytes, const std::string& file)
{
    if (!holds(kind, name))
        return false;
    try {
        const std::string parked = platform::joinPath(parkingFolder(kind), name);
        if (platform::fileLength(parked) != static_cast<int64_t>(bytes.size())
            || platform::readWholeFile(parked) != bytes)
            return false;
        moveFile(parked, file);
        return true;
    } catch (const platform::RuntimeError&) {
        return false;
    }
}

void ParkedMedia::release()
{
    for (const int16_t kind : MediaKinds) {
        try {
            platform::deleteAllFiles(parkingFolder(kind));
        } catch (const platform::RuntimeError&) {
            // The next park() returns what is left to the work folders where missing.
        }
    }
}

} // namespace model

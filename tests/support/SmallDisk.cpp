#include "support/SmallDisk.h"

#include "support/SmallFilesOnly.h"

#include "platform/AppPath.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <map>

namespace support {

SmallDisk::SmallDisk(const std::string& folder, std::size_t bytes) : m_folder(folder)
{
    platform::makeDirs(folder);
    std::map<std::string, std::string> files;
    for (const std::string& name : platform::listFiles(folder, "*"))
        files[name] = platform::readWholeFile(platform::joinPath(folder, name));
    // A namespace of this thread's own, whose mounts reach no other.
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return;
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return;
    m_mounted = true;
    for (const auto& [name, content] : files)
        platform::writeWholeFile(platform::joinPath(folder, name), content);
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(m_folder.c_str(), MNT_DETACH);
}

void SmallDisk::whileFull(std::size_t room, const std::function<void()>& run)
{
    if (!m_mounted) {
        withSmallFilesOnly(run, room);
        return;
    }
    const std::string filler = platform::joinPath(m_folder, ".filler");
    struct statvfs disk {};
    ASSERT_EQ(::statvfs(m_folder.c_str(), &disk), 0);
    const auto free = static_cast<off_t>(disk.f_bavail * disk.f_frsize);
    ASSERT_GT(free, static_cast<off_t>(room)) << "the disk is full already";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    const int allocated = ::posix_fallocate(fd, 0, free - static_cast<off_t>(room));
    ::close(fd);
    ASSERT_EQ(allocated, 0);
    run();
    platform::deleteFile(filler);
}

} // namespace support

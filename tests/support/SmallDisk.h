#pragma once
// A folder on a small file system of its own, to be filled up as a full disk: a tmpfs
// mounted over the folder in a mount namespace of the test thread's own, so the
// machine's mount table never shows it and it goes with the test's process. Mounting
// needs the right to (root); where the test has none, the disk is stood in for by
// files limited in size (withSmallFilesOnly), which fails a write the same way with
// another reason.

#include <cstddef>
#include <functional>
#include <string>

namespace support {

class SmallDisk {
public:
    // Mounts a tmpfs of `bytes` over folder (made when missing), holding the files the
    // folder held; unmounted by the destructor, which shows the folder as it was.
    SmallDisk(const std::string& folder, std::size_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }

    // Runs run with room for about `room` more bytes: the mounted disk filled but for
    // that by a hidden file, removed afterwards; without a mount, files limited to
    // that size.
    void whileFull(std::size_t room, const std::function<void()>& run);
    // Why a write that needs more room then fails, as platform::failureReason says it.
    const char* fullReason() const { return m_mounted ? "ディスクがいっぱい" : "ファイルが大きすぎます"; }

private:
    std::string m_folder;
    bool m_mounted = false;
};

} // namespace support

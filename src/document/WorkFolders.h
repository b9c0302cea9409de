#pragma once
// The media work folders "voice" and "face" and their parking folders "StackVoice" and
// "StackFace" under the program folder. An operation that lets a family file replace
// the work folders' contents for a while (the additional load, the undo) first parks
// the open family's media there, so that it can put them back whatever happens.

#include "platform/Errors.h"

#include <cstdint>
#include <optional>
#include <string>

namespace model {

// Copies every file (not sub-folders) of the source folder into the target folder
// under the same name, replacing files of that name. Throws RuntimeError on failure.
void Copy_FolderFiles(const std::string& sourceFolder, const std::string& targetFolder);

// Deletes from the face work folder every file that no person in use refers to: a
// picture cleared or replaced in the person editor, or that of a deleted person. The
// user's save calls it once the family file is written; the snapshots keep their own
// copies in their bundles.
void Remove_UnusedFaceFiles();

// The parking folder of a media kind: "StackVoice" for voice memos, "StackFace" for
// any other kind.
std::string parkingFolder(int16_t kind);

// The open family's media, parked for the length of one operation.
class ParkedMedia {
public:
    // Returns files an earlier operation left parked to their work folders (where no
    // file of that name is), empties both parking folders (creating them when missing)
    // and copies the files of both work folders into them. False when that fails: the
    // work folders keep their files and the parking folders are emptied again.
    [[nodiscard]] bool park();

    // True when the parked files of the kind include one of this name.
    bool holds(int16_t kind, const std::string& name) const;

    // Moves the parked files back over the work folders: files of the same name are
    // replaced, the others stay. False when a move failed; the files not moved stay
    // parked.
    [[nodiscard]] bool putBackOver();
    // Empties the work folders, then moves the parked files back, so the work folders
    // hold exactly what was parked. False when that failed.
    [[nodiscard]] bool putBack();
    // Moves the parked file of the kind named name to file when it holds exactly
    // bytes; false when there is none, or it cannot be moved. A family read back whose
    // bundle cannot be unpacked (a full disk) so gets the very files its bundle holds,
    // which need no room to be put back, and never another person's of the same name.
    bool giveBack(int16_t kind, const std::string& name, const std::string& bytes, const std::string& file);
    // Empties the parking folders. Files that cannot be deleted stay behind; the next
    // park() returns them to their work folder where no file of that name is.
    void release();

    // Why the last park(), putBack() or putBackOver() that returned false failed (the
    // file and the system's reason, for platform::failedFileMessage); null after one
    // that succeeded.
    const platform::RuntimeError* failure() const { return m_failure ? &*m_failure : nullptr; }

private:
    std::optional<platform::RuntimeError> m_failure;
};

} // namespace model

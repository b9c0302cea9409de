#pragma once
// The names of a family's two files. Every place that names them (the save commands,
// the writer, the reader, the snapshots) goes through here, so that on a
// case-sensitive file system all of them mean the same files.

#include <string>

namespace model {

// The family file of a chosen name. A name ending in ".kez" in any letter case is the
// file itself and is kept exactly ("a.KEZ" stays "a.KEZ", so a family kept under that
// name is saved in place). Any other name gets ".kez" appended, dots inside it and all
// ("a.b" gives "a.b.kez", "a." gives "a.kez"); a name that ends in a folder separator
// ("/" or "\") names the file "default.kez" in that folder.
std::string kezFileName(const std::string& path);

// The media bundle beside a family file: its name with the "z" of the ending turned
// into "d" in the same case, so the bundle follows the family file's spelling
// ("a.KEZ" gives "a.KED", "a.kez" gives "a.ked"). Any other path is first made a
// family file name by kezFileName.
std::string kedFileName(const std::string& path);

// The bundle that belongs to the family file at path as found on disk: kedFileName of
// it, or, when it does not exist, the same name with its ending spelt in any other
// letter case ("media.KED" beside "media.kez", as such files come from other systems
// or from the time bundles always ended in ".KED"); kedFileName when there is none.
// A bundle in another case is taken only while no other family file stands beside it
// under the same name in another case ("fam.KED" beside "fam.KEZ" is that family's,
// not that of a "fam.kez" saved next to them).
// The reader reads this bundle and the writer rewrites it, so a family never gets a
// second bundle beside the first.
std::string existingKedFileName(const std::string& path);

} // namespace model

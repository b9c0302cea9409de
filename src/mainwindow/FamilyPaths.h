#pragma once
// File names of the family file commands: the ".KEZ" form of a name chosen for
// saving, and the folder remembered in "FilePath.ini" in the program folder, in
// which the open and save dialogs start.
//
// Paths are native ("/" separates folders); a backslash counts as a separator
// too, so that a name typed the program's own way is cut at the same places.

#include <string>

namespace mainwindow {

inline constexpr const char* FilePathIniName = "\\FilePath.ini";

// The save name of a chosen name. A name whose last four characters (trailing
// blanks aside) are ".KEZ" in any letter case is returned unchanged. Otherwise
// every extension of the last path element is cut away ("a.b.c" gives "a"), a
// name ending in a separator gets "default", and ".KEZ" is appended. The result
// is also left in name.
std::string Conv_FileName(std::string& name);

// Remembers the folder of path in "FilePath.ini": the text before its last
// separator, the root folder itself for a file in the root, and the whole of path
// when it has no separator. The file is replaced whole; a write that fails raises
// RuntimeError and leaves the previous file as it was.
void SetSaveFilePath(const std::string& path);

// The remembered folder. A missing "FilePath.ini" is created with the program
// folder; a remembered folder that is gone or holds no files is replaced by the
// program folder, which is returned. A file that cannot be read (an empty one,
// for one) raises RuntimeError and is left as it is.
std::string GetSaveFilePath();

} // namespace mainwindow

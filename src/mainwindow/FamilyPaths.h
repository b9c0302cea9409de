#pragma once
// File names of the family file commands: the family file a name chosen for saving
// stands for, and the folder remembered in "FilePath.ini" in the program folder, in
// which the open and save dialogs start.
//
// Paths are native ("/" separates folders); a backslash counts as a separator
// too, so that a name typed the program's own way is cut at the same places.

#include <string>

namespace mainwindow {

inline constexpr const char* FilePathIniName = "\\FilePath.ini";

// The filter of the family file dialogs (any letter case matches).
inline constexpr const char* FamilyFileFilter = "*.kez";

// The save name of a chosen name: the family file the family store writes for it
// (model::kezFileName: a name ending in ".kez" in any letter case stays as it is,
// any other gets ".kez" appended). The result is also left in name.
std::string Conv_FileName(std::string& name);

// The file an output of the open family is offered as in its save dialog: beside
// the family file, named after it, with extension (".csv": "/d/山田家.kez" gives
// "/d/山田家.csv"); "" for a family that has no file yet, which is offered no name.
std::string outputBesideFamily(const std::string& extension);

// The save dialogs ask before replacing the name as typed; the file a command writes
// may be another one (a family "a" is saved as "a.kez", a picture "a" as "a.bmp").
// Asks "<file>", CR LF, "は既に存在します。上書きしますか？" (Yes/No, default No,
// under title) when file is not the typed name and exists; true when it may be written.
bool askBeforeReplacing(const std::string& chosen, const std::string& file, const std::string& title);

inline constexpr const char* ChangedMeanwhileQuestion =
    "は、このプログラムが読み込んだ後（または最後に保存した後）に、ほかで書き換えられています。\r\n"
    "上書きすると、ほかで保存された内容は失われます。上書きしますか？";
// A plain save writes the family file the document belongs to without a dialog. When
// that file was replaced since this program last read or wrote it (another program
// saved it meanwhile), asks "<file>", CR LF, ChangedMeanwhileQuestion (Yes/No,
// default No); true when it may be written.
bool askBeforeReplacingChanged(const std::string& path);

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

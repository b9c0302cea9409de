#pragma once
// The program folder, the program's own backslash file names, and the
// command line.

#include <string>
#include <string_view>

namespace platform {

// The program folder, never ending in "/" (except the root itself):
//  1. the folder set by setAppPathForTesting, when set;
//  2. the folder given by the "--home" command-line switch;
//  3. the TEVORA_HOME environment variable, when set and not empty;
//  4. the executable's folder; when that folder is not writable, the per-user
//     data folder ($XDG_DATA_HOME or ~/.local/share)/tevora, filled on first
//     start with the data files of the executable's folder.
// Decided once and remembered.
std::string GetAppPath();
// The program folder once it is decided (GetAppPath has been called, or one is set
// for testing), else "". Never decides it: the file functions ask it for every write,
// among them the writes that deciding it makes.
std::string decidedAppPath();
// Points the program folder at path; "" returns to the normal rule (which is
// decided afresh on the next call).
void setAppPathForTesting(const std::string& path);

// GetAppPath() + a backslash name such as "\TMP\Undo.kez": "\" becomes "/" and
// each component that already exists is matched case-insensitively ("qa"
// finds "QA"). Components that do not exist keep their spelling.
std::string appFile(std::string_view backslashName);
// Joins two path parts with exactly one "/" between them; "\" in b become "/".
std::string joinPath(std::string_view a, std::string_view b);

// The executable's folder (from /proc/self/exe).
std::string executableDir();
// ($XDG_DATA_HOME or $HOME/.local/share)/tevora.
std::string userDataDir();
// Copies the data files (folders and non-executable files) of from into to,
// leaving files that already exist alone. Used to fill the per-user folder.
void copyDataFiles(const std::string& from, const std::string& to);

// One program folder serves one running program at a time: its work folders,
// snapshots and settings are the running program's own. The program claims the
// folder before it touches anything in it and holds it for its whole run.
inline constexpr const char* ProgramFolderLockName = "tevora.lock";
inline constexpr const char* ProgramFolderInUseMessage =
    "このプログラムフォルダーでは Tevora がすでに起動しています。\r\n"
    "同じフォルダーで二つ目の Tevora は起動できません。起動している Tevora をお使いください。";
// Takes the lock file ProgramFolderLockName in GetAppPath(): an exclusive lock on
// the open file, which the system gives up when the process ends however it ends,
// so the lock of a program that was killed is simply taken by the next start.
// While another running program holds it, shows ProgramFolderInUseMessage (with
// the folder) and returns false without having changed any file of the folder.
// A folder in which no lock file can be made or opened cannot be claimed by any
// program, and is used unclaimed. Calling it again while the folder is held is
// no error.
[[nodiscard]] bool claimProgramFolder();
// Gives the folder up (the lock file stays for the next program).
void releaseProgramFolder();

// Remembers the command line. "--home DIR" / "--home=DIR" selects the program
// folder and is not part of Command().
void setCommandLine(int argc, char** argv);
// argv[1..] joined with blanks; an element holding a blank or a comma is
// quoted with '"'.
std::string Command();

} // namespace platform

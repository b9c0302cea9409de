#pragma once
// A fresh program folder for one test: created under the temporary folder
// with the program's working sub-folders, made the program folder
// (GetAppPath) for the test's lifetime, and removed afterwards.

#include <string>
#include <string_view>

namespace support {

class TempHome {
public:
    enum class Contents {
        Folders,     // TMP, voice, face, icodat, qa, man, StackFace (empty)
        ProgramData, // the folders plus the program's data files (era table, ...)
    };

    explicit TempHome(Contents contents = Contents::Folders);
    // Puts back the program folder and the working directory that were in force
    // before and deletes the folder.
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return m_path; }
    // The native path of a program file named the program's way ("\TMP\a.kez").
    std::string file(std::string_view backslashName) const;
    // Writes bytes to a program file (parent folders are created).
    void write(std::string_view backslashName, const std::string& bytes) const;
    // Copies the program's data files (from the source tree) into the folder.
    void copyProgramData() const;

private:
    std::string m_path;
    std::string m_previous;
    std::string m_workingDirectory;
};

// A fresh folder of the user's outside the program folder (where the program follows
// links to the files they lead to), removed afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

} // namespace support

using support::TempFolder;
using support::TempHome;

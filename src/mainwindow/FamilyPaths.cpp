#include "mainwindow/FamilyPaths.h"

#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace mainwindow {

namespace {

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool endsWithKez(const std::string& name)
{
    const std::string trimmed = platform::RTrim(name);
    return trimmed.size() >= 4 && platform::UCase(trimmed.substr(trimmed.size() - 4)) == ".KEZ";
}

} // namespace

std::string Conv_FileName(std::string& name)
{
    if (endsWithKez(name))
        return name;
    // Walks back through the last path element only; '.' and the separators are
    // ASCII, so a byte walk never stops inside a UTF-8 character.
    for (size_t i = name.size(); i-- > 0;) {
        if (isSeparator(name[i])) {
            if (i + 1 == name.size())
                name += "default";
            break;
        }
        if (name[i] == '.')
            name.erase(i);
    }
    name += ".KEZ";
    return name;
}

void SetSaveFilePath(const std::string& path)
{
    std::string folder = path;
    for (size_t i = path.size(); i-- > 0;) {
        if (isSeparator(path[i])) {
            folder = path.substr(0, i);
            // The root folder and a drive root keep their separator.
            if (folder.empty() || (folder.size() == 2 && folder[1] == ':'))
                folder += path[i];
            break;
        }
    }
    platform::writeFileAtomically(platform::appFile(FilePathIniName), platform::encodeCp932(folder) + "\r\n");
}

std::string GetSaveFilePath()
{
    const std::string iniPath = platform::appFile(FilePathIniName);
    const std::string programFolder = platform::GetAppPath();
    if (!platform::fileExists(iniPath))
        SetSaveFilePath(platform::joinPath(programFolder, "aaa.txt"));

    platform::TextInputFile file(iniPath);
    std::string folder;
    if (!file.readLine(folder))
        throw platform::RuntimeError(platform::err::InputPastEnd, "入力ファイルの終わりを超えて読み込もうとしました。");
    file.close();

    if (!platform::dirHasFiles(folder)) {
        SetSaveFilePath(platform::joinPath(programFolder, "aaa.txt"));
        return programFolder;
    }
    return folder;
}

} // namespace mainwindow

#include "mainwindow/FamilyPaths.h"

#include "model/filestore/FileNames.h"
#include "model/filestore/FileStore.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/TextFile.h"

namespace mainwindow {

namespace {

constexpr const char* OverwriteQuestion = "は既に存在します。上書きしますか？";

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

} // namespace

std::string Conv_FileName(std::string& name)
{
    name = model::kezFileName(name);
    return name;
}

std::string outputBesideFamily(const std::string& extension)
{
    const std::string& family = model::tables().Cur_FilePath;
    if (family.empty())
        return {};
    const std::string name = platform::fileNameOf(family);
    const size_t dot = name.find_last_of('.');
    const std::string folder = family.substr(0, family.size() - name.size());
    return folder + (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + extension;
}

bool askBeforeReplacing(const std::string& chosen, const std::string& file, const std::string& title)
{
    if (file == chosen || !platform::fileExists(file))
        return true;
    const int style = platform::vbYesNo + platform::vbExclamation + platform::vbDefaultButton2;
    return platform::MsgBox(file + "\r\n" + OverwriteQuestion, style, title) == platform::vbYes;
}

bool askBeforeReplacingChanged(const std::string& path)
{
    if (!model::familyFileChangedMeanwhile(path))
        return true;
    const int style = platform::vbYesNo + platform::vbExclamation + platform::vbDefaultButton2;
    return platform::MsgBox(model::kezFileName(path) + "\r\n" + ChangedMeanwhileQuestion, style) == platform::vbYes;
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

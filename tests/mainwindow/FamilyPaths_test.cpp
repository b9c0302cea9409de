// The save names of the family file commands and the folder remembered in
// "FilePath.ini".

#include "mainwindow/FamilyPaths.h"

#include "model/filestore/FileNames.h"

#include "platform/AppPath.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace {

// The save commands name the family file by the family store's one rule (the rule
// itself is tested with the store), and leave the result in the argument.
TEST(ConvFileName, IsTheFamilyStoresRuleAndLeavesItInTheName)
{
    for (const std::string typed : {"/home/u/family", "/home/u/a.b", "/home/u/family.KEZ", "C:\\my.docs\\家系"}) {
        std::string name = typed;
        const std::string result = mainwindow::Conv_FileName(name);
        EXPECT_EQ(result, model::kezFileName(typed));
        EXPECT_EQ(name, result) << "the result is left in the argument too";
    }
}

class RememberedFolder : public ::testing::Test {
protected:
    std::string iniText() const { return platform::readWholeFile(home.file("\\FilePath.ini")); }
    void writeIni(const std::string& text) const { platform::writeWholeFile(home.file("\\FilePath.ini"), text); }

    TempHome home;
};

struct FolderCase {
    const char* name;
    const char* path;
    const char* remembered;
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

class SetSaveFilePath : public RememberedFolder, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(SetSaveFilePath, RecordsTheFolderOfThePath)
{
    mainwindow::SetSaveFilePath(GetParam().path);
    EXPECT_EQ(iniText(), platform::encodeCp932(GetParam().remembered) + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(MainWindow, SetSaveFilePath,
                         ::testing::Values(FolderCase{"File", "/home/u/family.KEZ", "/home/u"},
                                           FolderCase{"FileInTheRoot", "/family.KEZ", "/"},
                                           FolderCase{"DriveRoot", "C:\\family.KEZ", "C:\\"},
                                           FolderCase{"NoSeparator", "family.KEZ", "family.KEZ"},
                                           FolderCase{"JapaneseFolder", "/home/u/家系図/family.KEZ",
                                                      "/home/u/家系図"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RememberedFolder, MissingFileIsCreatedWithTheProgramFolder)
{
    EXPECT_EQ(mainwindow::GetSaveFilePath(), home.path());
    EXPECT_EQ(iniText(), home.path() + "\r\n");
}

TEST_F(RememberedFolder, FolderWithFilesIsReturned)
{
    const std::string folder = platform::joinPath(home.path(), "families");
    platform::makeDir(folder);
    platform::writeWholeFile(platform::joinPath(folder, "a.kez"), "x");
    writeIni(folder + "\r\n");
    EXPECT_EQ(mainwindow::GetSaveFilePath(), folder);
    EXPECT_EQ(iniText(), folder + "\r\n");
}

struct GoneCase {
    const char* name;
    bool createFolder;
};

void PrintTo(const GoneCase& c, std::ostream* os) { *os << c.name; }

class FolderWithoutFiles : public RememberedFolder, public ::testing::WithParamInterface<GoneCase> {};

TEST_P(FolderWithoutFiles, IsReplacedByTheProgramFolder)
{
    const std::string folder = platform::joinPath(home.path(), "gone");
    if (GetParam().createFolder)
        platform::makeDir(folder);
    writeIni(folder + "\r\n");
    EXPECT_EQ(mainwindow::GetSaveFilePath(), home.path());
    EXPECT_EQ(iniText(), home.path() + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(MainWindow, FolderWithoutFiles,
                         ::testing::Values(GoneCase{"Missing", false}, GoneCase{"Empty", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RememberedFolder, EmptyFileCannotBeReadAndIsLeftAsItIs)
{
    writeIni("");
    EXPECT_THROW(mainwindow::GetSaveFilePath(), platform::RuntimeError);
    EXPECT_EQ(iniText(), "");
}

} // namespace

// The save names of the family file commands and the folder remembered in
// "FilePath.ini".

#include "mainwindow/FamilyPaths.h"

#include "platform/AppPath.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace {

struct NameCase {
    const char* name;
    const char* typed;
    const char* converted;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class ConvFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ConvFileName, GivesTheKezForm)
{
    std::string name = GetParam().typed;
    const std::string result = mainwindow::Conv_FileName(name);
    EXPECT_EQ(result, GetParam().converted);
    EXPECT_EQ(name, result) << "the result is left in the argument too";
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, ConvFileName,
    ::testing::Values(NameCase{"NoExtension", "/home/u/family", "/home/u/family.kez"},
                      NameCase{"OtherExtensionStays", "/home/u/family.txt", "/home/u/family.txt.kez"},
                      NameCase{"InnerDotsStay", "/home/u/a.b.c", "/home/u/a.b.c.kez"},
                      NameCase{"TrailingDot", "/home/u/family.", "/home/u/family.kez"},
                      NameCase{"FolderGetsDefault", "/home/u/", "/home/u/default.kez"},
                      NameCase{"DotInAFolderStays", "/home/u.v/family", "/home/u.v/family.kez"},
                      NameCase{"BackslashSeparates", "C:\\my.docs\\family", "C:\\my.docs\\family.kez"},
                      NameCase{"KezUpperStays", "/home/u/family.KEZ", "/home/u/family.KEZ"},
                      NameCase{"KezLowerStays", "/home/u/family.kez", "/home/u/family.kez"},
                      NameCase{"KezMixedCaseStays", "/home/u/family.Kez", "/home/u/family.Kez"},
                      NameCase{"JapaneseName", "/home/u/山田家.家系", "/home/u/山田家.家系.kez"},
                      NameCase{"BareName", "family", "family.kez"}),
    [](const auto& info) { return std::string(info.param.name); });

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

#include "FileStoreTest.h"

#include "model/filestore/FamilyFile.h"
#include "platform/AppPath.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace model::testing {

std::unique_ptr<FamilyState> captureFamily()
{
    auto state = std::make_unique<FamilyState>();
    const Tables& t = tables();
    state->per = t.per_buf;
    state->kou = t.kou_buf;
    state->settings = settings();
    state->groups = t.GrpNameList;
    state->groupCount = t.GrpNameCount;
    state->titles = t.GrpTitleList;
    state->titleCount = t.GrpTitleCount;
    return state;
}

namespace {

void expectSameSettings(const Settings& a, const Settings& b)
{
    EXPECT_EQ(a.filetype, b.filetype);
    EXPECT_EQ(a.font, b.font);
    EXPECT_EQ(a.fontsize, b.fontsize);
    EXPECT_EQ(a.write_state, b.write_state);
    EXPECT_EQ(a.dispmode, b.dispmode);
    EXPECT_EQ(a.Dispmode_Death, b.Dispmode_Death);
    EXPECT_EQ(a.Dispmode_Manwoman, b.Dispmode_Manwoman);
    EXPECT_EQ(a.Dispmode_Nengo, b.Dispmode_Nengo);
    EXPECT_EQ(a.Dispmode_Icon, b.Dispmode_Icon);
    EXPECT_EQ(a.Dispmode_Fname, b.Dispmode_Fname);
    EXPECT_EQ(a.Dispmode_BGcolor, b.Dispmode_BGcolor);
    EXPECT_EQ(a.Dispmode_BGmap, b.Dispmode_BGmap);
    EXPECT_EQ(a.Dispmode_Tyokei, b.Dispmode_Tyokei);
    EXPECT_EQ(a.Dispmode_Flip, b.Dispmode_Flip);
    EXPECT_EQ(a.Array_SortMode, b.Array_SortMode);
    EXPECT_EQ(a.Sort_factor, b.Sort_factor);
    EXPECT_EQ(a.DispFactor, b.DispFactor);
    EXPECT_EQ(a.Nenpyo_SortMode, b.Nenpyo_SortMode);
    EXPECT_EQ(a.Print_Scale, b.Print_Scale);
    EXPECT_EQ(a.Print_TateYoko, b.Print_TateYoko);
    EXPECT_EQ(a.Print_Allmode, b.Print_Allmode);
    EXPECT_EQ(a.Print_BGmap, b.Print_BGmap);
}

} // namespace

void expectSameFamily(const FamilyState& expected, const FamilyState& actual)
{
    int differences = 0;
    for (int i = 0; i < RecordCount && differences < 5; ++i) {
        if (expected.per[i] != actual.per[i]) {
            ADD_FAILURE() << "person " << i << " differs (" << expected.per[i].F_name << expected.per[i].Name
                          << " / " << actual.per[i].F_name << actual.per[i].Name << ")";
            ++differences;
        }
        if (expected.kou[i] != actual.kou[i]) {
            ADD_FAILURE() << "marriage " << i << " differs";
            ++differences;
        }
    }
    expectSameSettings(expected.settings, actual.settings);
    ASSERT_EQ(expected.groupCount, actual.groupCount);
    for (int i = 0; i <= expected.groupCount; ++i) {
        EXPECT_EQ(expected.groups[i].GrpName, actual.groups[i].GrpName) << "group " << i;
        EXPECT_EQ(expected.groups[i].Visible, actual.groups[i].Visible) << "group " << i;
    }
    ASSERT_EQ(expected.titleCount, actual.titleCount);
    for (int i = 0; i <= expected.titleCount; ++i) {
        EXPECT_EQ(expected.titles[i].TitleName, actual.titles[i].TitleName) << "lineage group " << i;
        EXPECT_EQ(expected.titles[i].Visible, actual.titles[i].Visible) << "lineage group " << i;
        EXPECT_EQ(expected.titles[i].Leader, actual.titles[i].Leader) << "lineage group " << i;
        EXPECT_EQ(expected.titles[i].Offset, actual.titles[i].Offset) << "lineage group " << i;
    }
}

std::string familyFileBytes(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return platform::encodeCp932(text);
}

std::vector<std::string> fileLines(const std::string& path)
{
    return platform::readTextLines(path);
}

std::string FileStoreTest::pathOf(const std::string& name) const
{
    return platform::joinPath(home.path(), name);
}

bool FileStoreTest::loadLines(const std::vector<std::string>& lines, const std::string& name)
{
    std::vector<std::string> whole = lines;
    whole.push_back("[end_of_data]");
    platform::writeWholeFile(pathOf(name), familyFileBytes(whole));
    return load_file(pathOf(name));
}

void FileStoreTest::saveTo(const std::string& path)
{
    EXPECT_TRUE(save_file(path)) << "save_file refused " << path;
}

} // namespace model::testing

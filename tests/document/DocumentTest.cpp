#include "DocumentTest.h"

#include "layout/LayoutGrid.h"
#include "layout/LayoutSession.h"
#include "layout/Number_Gen.h"
#include "layout/Place_Generations.h"
#include "layout/chart_state.h"
#include "layout/predraw/PreDraw.h"
#include "model/era/Nengo.h"
#include "model/filestore/MediaBundle.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"

#include <vector>

namespace model::testing {

namespace {

void expectSameList(const std::vector<GrpNameRec>& a, int16_t aCount, const std::vector<GrpNameRec>& b,
                    int16_t bCount)
{
    ASSERT_EQ(aCount, bCount);
    for (int i = 0; i <= aCount; ++i) {
        EXPECT_EQ(a[i].GrpName, b[i].GrpName) << "group " << i;
        EXPECT_EQ(a[i].Visible, b[i].Visible) << "group " << i;
    }
}

void expectSameTitles(const std::vector<GrpTitleRec>& a, int16_t aCount, const std::vector<GrpTitleRec>& b,
                      int16_t bCount)
{
    ASSERT_EQ(aCount, bCount);
    for (int i = 0; i <= aCount; ++i) {
        EXPECT_EQ(a[i].TitleName, b[i].TitleName) << "lineage group " << i;
        EXPECT_EQ(a[i].Visible, b[i].Visible) << "lineage group " << i;
        EXPECT_EQ(a[i].Leader, b[i].Leader) << "lineage group " << i;
        EXPECT_EQ(a[i].Offset, b[i].Offset) << "lineage group " << i;
    }
}

// The fields a family file does not carry, set to fixed values.
personal_data savedPart(personal_data p)
{
    p.OrgIdx = -1;
    p.MultiParentF = 0;
    return p;
}

marry_data savedPart(marry_data m)
{
    m.kou_gen = -1;
    m.org_titi = -1;
    m.org_haha = -1;
    m.kodo_spare.fill(-1);
    m.kodo_link.fill(-1);
    // A family file holds only filled child slots; the others read back as empty.
    for (int s = 0; s < ChildArraySize; ++s) {
        if (m.kou_kodo[s] == -1) {
            m.kou_kodo_stat[s] = 0;
            m.kou_kodo_comment[s].clear();
            m.kodo_honsuji[s] = -1;
            m.kodo_visible[s] = 1;
            m.kodo_yoshirireki[s] = -1;
        }
    }
    return m;
}

} // namespace

std::map<std::string, std::string> folderFiles(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const std::string& name : platform::listFiles(folder, "*.*"))
        files[name] = platform::readWholeFile(platform::joinPath(folder, name));
    return files;
}

FamilyCapture captureFamily()
{
    FamilyCapture capture;
    capture.tables = std::make_unique<Tables>(tables());
    capture.settings = settings();
    capture.voice = folderFiles(mediaFolder(MediaVoice));
    capture.face = folderFiles(mediaFolder(MediaPicture));
    return capture;
}

void expectSameSettings(const Settings& e, const Settings& a)
{
    EXPECT_EQ(e.font, a.font);
    EXPECT_EQ(e.fontsize, a.fontsize);
    EXPECT_EQ(e.write_state, a.write_state);
    EXPECT_EQ(e.dispmode, a.dispmode);
    EXPECT_EQ(e.Dispmode_Death, a.Dispmode_Death);
    EXPECT_EQ(e.Dispmode_Nengo, a.Dispmode_Nengo);
    EXPECT_EQ(e.Dispmode_BGcolor, a.Dispmode_BGcolor);
    EXPECT_EQ(e.Dispmode_Tyokei, a.Dispmode_Tyokei);
    EXPECT_EQ(e.Dispmode_Flip, a.Dispmode_Flip);
    EXPECT_EQ(e.DispFactor, a.DispFactor);
    EXPECT_EQ(e.Print_Scale, a.Print_Scale);
}

void expectUnchanged(const FamilyCapture& before)
{
    const Tables& now = tables();
    const Tables& then = *before.tables;
    int differences = 0;
    for (int i = 0; i < RecordCount && differences < 5; ++i) {
        if (now.per_buf[i] != then.per_buf[i]) {
            ADD_FAILURE() << "person slot " << i << " changed";
            ++differences;
        }
        if (now.kou_buf[i] != then.kou_buf[i]) {
            ADD_FAILURE() << "marriage slot " << i << " changed";
            ++differences;
        }
    }
    expectSameList(then.GrpNameList, then.GrpNameCount, now.GrpNameList, now.GrpNameCount);
    expectSameTitles(then.GrpTitleList, then.GrpTitleCount, now.GrpTitleList, now.GrpTitleCount);
    EXPECT_EQ(then.tab_grp_f, now.tab_grp_f);
    EXPECT_EQ(then.Cur_FilePath, now.Cur_FilePath);
    EXPECT_EQ(then.Data_Changed, now.Data_Changed);
    expectSameSettings(before.settings, settings());
    EXPECT_EQ(before.voice, folderFiles(mediaFolder(MediaVoice)));
    EXPECT_EQ(before.face, folderFiles(mediaFolder(MediaPicture)));
}

void expectSameSavedFamily(const FamilyCapture& expected)
{
    const Tables& now = tables();
    const Tables& then = *expected.tables;
    for (int i = 1; i <= LastSlot; ++i) {
        ASSERT_EQ(then.per_buf[i].InUse == SlotUsed, now.per_buf[i].InUse == SlotUsed) << "person slot " << i;
        if (then.per_buf[i].InUse == SlotUsed) {
            EXPECT_TRUE(savedPart(then.per_buf[i]) == savedPart(now.per_buf[i])) << "person slot " << i;
        }
        ASSERT_EQ(then.kou_buf[i].InUse == SlotUsed, now.kou_buf[i].InUse == SlotUsed) << "marriage slot " << i;
        if (then.kou_buf[i].InUse == SlotUsed) {
            EXPECT_TRUE(savedPart(then.kou_buf[i]) == savedPart(now.kou_buf[i])) << "marriage slot " << i;
        }
    }
    expectSameList(then.GrpNameList, then.GrpNameCount, now.GrpNameList, now.GrpNameCount);
    expectSameTitles(then.GrpTitleList, then.GrpTitleCount, now.GrpTitleList, now.GrpTitleCount);
    Settings saved = expected.settings;
    saved.dispmode = 1; // every family file records display mode 1
    const Settings& s = settings();
    EXPECT_EQ(saved.font, s.font);
    EXPECT_EQ(saved.fontsize, s.fontsize);
    EXPECT_EQ(saved.write_state, s.write_state);
    EXPECT_EQ(saved.dispmode, s.dispmode);
    EXPECT_EQ(saved.Dispmode_Nengo, s.Dispmode_Nengo);
    EXPECT_EQ(saved.Dispmode_BGcolor, s.Dispmode_BGcolor);
    EXPECT_EQ(saved.Dispmode_Flip, s.Dispmode_Flip);
    EXPECT_EQ(saved.DispFactor, s.DispFactor);
    EXPECT_EQ(saved.Print_Scale, s.Print_Scale);
}

DocumentTest::DocumentTest()
{
    home.copyProgramData();
    // The program folder's work folders start empty (the data files hold placeholders).
    for (const char* folder : {"\\TMP", "\\voice", "\\face", "\\StackFace"})
        platform::deleteAllFiles(platform::appFile(folder));
    Load_NengoTbl(platform::appFile("\\nengo_tbl.mas"));
    layout::chart() = layout::ChartState{};
}

DocumentTest::~DocumentTest()
{
    layout::chart() = layout::ChartState{};
}

std::string DocumentTest::mediaPath(int16_t kind, const std::string& name) const
{
    return platform::joinPath(mediaFolder(kind), name);
}

void DocumentTest::writeMedia(int16_t kind, const std::string& name, const std::string& bytes)
{
    platform::makeDir(mediaFolder(kind));
    platform::writeWholeFile(mediaPath(kind, name), bytes);
}

void DocumentTest::giveVoice(int person, const std::string& name, const std::string& bytes)
{
    writeMedia(MediaVoice, name, bytes);
    personal_data& p = tables().per_buf[person];
    p.Voice_filename = name;
    p.Voice_index = 0;
}

void DocumentTest::givePicture(int person, const std::string& name, const std::string& bytes)
{
    writeMedia(MediaPicture, name, bytes);
    personal_data& p = tables().per_buf[person];
    p.Picture_filename = name;
    p.Picture_index = 0;
    p.Picture_mode = 1;
}

void DocumentTest::layOutChart()
{
    auto& kou = tables().kou_buf;
    layout::Mark_MultiParent();
    layout::Backup_Bufs();
    layout::Hide_Branches();
    ASSERT_TRUE(layout::Expand_MultiMarry().empty());
    int16_t start = -1;
    for (int k = 1; k <= LastSlot && start == -1; ++k) {
        if (kou[k].InUse == SlotUsed && kou[k].dsp_start == 1)
            start = static_cast<int16_t>(k);
    }
    ASSERT_NE(start, -1) << "the family needs a start marriage";
    {
        const layout::LayoutSession session;
        layout::Reset_KouGen();
        layout::Number_Gen(51, start, -1);
        layout::Clear_CellBuf();
        layout::Place_Generations();
        for (int k = 0; k <= LastSlot; ++k) {
            if (kou[k].InUse == SlotUsed && kou[k].kou_gen == -100) {
                layout::Number_Gen(51, static_cast<int16_t>(k), -1);
                layout::Place_Generations();
            }
        }
    }
    layout::Restore_Bufs();
}

std::set<int> DocumentTest::treesOf(int person)
{
    std::set<int> trees;
    const layout::ChartState& c = layout::chart();
    for (int row = 0; row < layout::GridRows; ++row) {
        for (int col = 0; col <= c.cell_last[row]; ++col) {
            const layout::cell_rec& cell = c.cell_buf[row][col];
            if (cell.tree_no == -1)
                continue;
            if (cell.per_a == person || cell.per_b == person)
                trees.insert(cell.tree_no);
        }
    }
    return trees;
}

} // namespace model::testing

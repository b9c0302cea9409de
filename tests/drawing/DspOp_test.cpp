// The display-options window driven headless: opened for a person, its controls
// changed by code and by keys as the user changes them, the preview checked by its
// pixels, and the apply commands, Cancel and the close box checked by what they do
// to the family, the undo snapshot, the zoom and the chart rebuild request.

#include "DrawingFixture.h"
#include "PicturesForALook.h"

#include "drawing/BoxText.h"
#include "drawing/DspOp.h"
#include "forms/ImageSurface.h"
#include "forms/Testing.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "model/WindowServices.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Hooks.h"
#include "support/ScriptedResponder.h"

#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using drawing_test::DrawingFixture;
using drawing_test::Person;

constexpr long White = 0xFFFFFF;
constexpr int Other = 2;     // in use, category mark set
constexpr int Plain = 3;     // in use, no category mark
constexpr int FreeSlot = 4;  // not in use

// The default rows: items in ascending default rank.
const std::vector<std::string> DefaultRows = {"続柄", "旧姓", "名前", "戒名", "生年月日", "死亡年月日",
                                              "住所", "電話番号", "携帯番号", "E_mail", "備考"};

// Records what the window asks of the main window and what the family looked like
// at each request.
class RecordingRequests : public drawing::DspOpRequests {
public:
    std::string zoomBoxText() override { return zoomText; }
    void setZoomBoxText(const std::string& text) override
    {
        zoomText = text;
        log.push_back("zoom:" + text);
    }
    void rebuildChart() override
    {
        log.push_back("rebuild");
        changedAtRebuild = model::tables().Data_Changed;
        blocksAtRebuild.clear();
        for (const auto& p : model::tables().per_buf)
            blocksAtRebuild.push_back(p.Disp);
    }

    std::string zoomText = "100";
    std::vector<std::string> log;
    int16_t changedAtRebuild = -1;
    std::vector<model::DispStat> blocksAtRebuild;
};

// The undo snapshot request, with the blocks as the snapshot would see them.
class RecordingServices : public model::WindowServices {
public:
    explicit RecordingServices(std::vector<std::string>& log) : m_log(log) {}
    void saveUndo() override
    {
        m_log.push_back("saveUndo");
        blocksAtUndo.clear();
        for (const auto& p : model::tables().per_buf)
            blocksAtUndo.push_back(p.Disp);
    }
    std::vector<model::DispStat> blocksAtUndo;

private:
    std::vector<std::string>& m_log;
};

std::vector<model::DispStat> allBlocks()
{
    std::vector<model::DispStat> blocks;
    for (const auto& p : model::tables().per_buf)
        blocks.push_back(p.Disp);
    return blocks;
}

// The pixels of a surface, row by row.
std::vector<long> pixelsOf(const forms::ImageSurface& image)
{
    std::vector<long> pixels;
    for (int y = 0; y < image.heightPixels(); ++y)
        for (int x = 0; x < image.widthPixels(); ++x)
            pixels.push_back(image.point(x * 15 + 7, y * 15 + 7));
    return pixels;
}

// Types text into a box and presses Enter.
void enter(forms::TextBox& box, const std::string& text)
{
    box.setText(text);
    QTest::keyClick(box.widget(), Qt::Key_Return);
}

class DspOpTest : public DrawingFixture {
protected:
    void SetUp() override
    {
        DrawingFixture::SetUp();
        model::settings().write_state = 0;
        model::settings().Dispmode_Death = 0;
        model::settings().Dispmode_Manwoman = 0;
        model::tables().Data_Changed = 0;
        layout::setZoomPercent(100);
        layout::Set_ChartMetrics();
        person().B_day = "昭和20年08月15日";

        model::Tables& t = model::tables();
        for (int p : {Other, Plain}) {
            t.per_buf[p] = model::personal_data();
            t.per_buf[p].InUse = model::SlotUsed;
            t.per_buf[p].Name = p == Other ? "花子" : "次郎";
            t.per_buf[p].Disp = model::defaultDispStat();
            t.per_buf[p].Disp.DS_Houko = 1;
            t.per_buf[p].Disp.DBai[0] = 30;
        }
        t.per_buf[Other].CategoryF = 1;
        t.per_buf[Other].Disp.DS_Waku = 0;
        t.per_buf[Other].Disp.DS_DeathW = 1;
        t.per_buf[Plain].CategoryF = -1;
        t.per_buf[FreeSlot] = model::personal_data();
        t.per_buf[FreeSlot].Disp.DS_Nen = 4;

        model::setWindowServices(&services);
        drawing::setDspOpRequests(&requests);
    }

    void TearDown() override
    {
        if (dspop_form().isLoaded())
            dspop_form().unload();
        drawing::setDspOpRequests(nullptr);
        model::setWindowServices(nullptr);
        DrawingFixture::TearDown();
    }

    DspOpForm& open(int who = Person)
    {
        DspOpForm& f = dspop_form();
        f.showForPerson(who);
        return f;
    }

    // Selects the row that shows item.
    static void selectItem(DspOpForm& f, int item)
    {
        for (int r = 0; r < model::DispItemCount; ++r) {
            if (f.DspRowMap[r].item == item) {
                f.DspList.setListIndex(r);
                return;
            }
        }
        FAIL() << "item " << item << " has no row";
    }

    static int rowOf(const DspOpForm& f, int item)
    {
        for (int r = 0; r < model::DispItemCount; ++r)
            if (f.DspRowMap[r].item == item)
                return r;
        return -1;
    }

    static std::vector<std::string> rows(DspOpForm& f)
    {
        std::vector<std::string> texts;
        for (int r = 0; r < f.DspList.listCount(); ++r)
            texts.push_back(f.DspList.list(r));
        return texts;
    }

    static std::unique_ptr<forms::ImageSurface> preview(DspOpForm& f)
    {
        auto image = std::make_unique<forms::ImageSurface>(f.PrePic.clientWidthPixels(),
                                                           f.PrePic.clientHeightPixels());
        image->paintPicture(f.PrePic.image(), 0, 0);
        return image;
    }

    // The box rendered straight from the working copy, without the window's outlines.
    static std::unique_ptr<forms::ImageSurface> plainRendering(DspOpForm& f)
    {
        auto image = std::make_unique<forms::ImageSurface>(f.PrePic.clientWidthPixels(),
                                                           f.PrePic.clientHeightPixels());
        image->setBackColor(White);
        image->cls();
        model::personal_data& p = model::tables().per_buf[f.editedPerson()];
        const model::DispStat own = p.Disp;
        p.Disp = f.DspWork;
        drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(*image, layout::chart().box_w, layout::chart().box_h);
        drawing::Draw_BoxText(ctx, f.editedPerson(), 0, 0);
        p.Disp = own;
        return image;
    }

    std::vector<std::string> log;
    RecordingServices services{log};
    RecordingRequests requests;
    support::ScriptedResponder responder;
};

// ------------------------------------------------------------------ opening

class DspOpOpening : public DspOpTest, public ::testing::WithParamInterface<int16_t> {};

TEST_P(DspOpOpening, FillsTheControlsFromThePersonsBlockAndTheDocument)
{
    const int16_t direction = GetParam();
    model::settings().write_state = direction;
    disp().DS_Nen = 3;
    disp().DS_PicHouko = 2;
    disp().DS_Houko = 5; // any non-zero value is vertical writing
    disp().DS_FName = 0;
    disp().DS_DeathW = 1;
    requests.zoomText = "150";

    DspOpForm& f = open();
    ASSERT_TRUE(f.isLoaded());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.caption(), "表示オプション");
    EXPECT_EQ(f.editedPerson(), Person);
    EXPECT_EQ(rows(f), DefaultRows);
    for (int r = 0; r < model::DispItemCount; ++r)
        EXPECT_EQ(f.DspList.selected(r), r == 0 || r == 2) << "row " << r;
    EXPECT_EQ(f.DspList.listIndex(), -1);
    EXPECT_EQ(f.CBNen.listCount(), 6);
    EXPECT_EQ(f.CBNen.text(), "西暦アラビア数字－年月日");
    EXPECT_EQ(f.CBPicLoc.text(), "下");
    EXPECT_TRUE(f.DspHouko[1].value());
    EXPECT_EQ(f.DspWork.DS_Houko, 1);
    EXPECT_EQ(f.optWrite_Stat[1].value(), direction != 0);
    EXPECT_EQ(f.ChkWaku.value(), 1);
    EXPECT_EQ(f.ChkDWaku.value(), 1);
    EXPECT_EQ(f.ChkFName.value(), 0);
    EXPECT_EQ(f.ChkVisible.value(), 0) << "a person who is shown is not ticked as hidden";
    EXPECT_EQ(f.txtBai.text(), "150");
    EXPECT_EQ(f.DspSavedZoom, "150");
    EXPECT_EQ(f.DspSavedDir, direction);
    EXPECT_EQ(f.DspRestoreF, 1);

    const std::vector<std::string> wLabels = direction != 0 ? std::vector<std::string>{"中央揃え", "右揃え", "左揃え"}
                                                            : std::vector<std::string>{"中央揃え", "下揃え", "上揃え"};
    const std::vector<std::string> hLabels = direction != 0 ? std::vector<std::string>{"中央揃え", "上揃え", "下揃え"}
                                                            : std::vector<std::string>{"中央揃え", "左揃え", "右揃え"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f.CBWLoc.list(i), wLabels[static_cast<size_t>(i)]);
        EXPECT_EQ(f.CBHLoc.list(i), hLabels[static_cast<size_t>(i)]);
    }
    // Opening changes no record.
    EXPECT_EQ(person().Disp.DS_Houko, 5);
}

INSTANTIATE_TEST_SUITE_P(DspOp, DspOpOpening, ::testing::Values(int16_t{0}, int16_t{1}),
                         [](const ::testing::TestParamInfo<int16_t>& info) {
                             return info.param == 0 ? std::string("Horizontal") : std::string("Vertical");
                         });

TEST_F(DspOpTest, EqualRanksKeepItemOrderInTheList)
{
    disp().DRank.fill(0);
    disp().DRank[9] = -1;
    DspOpForm& f = open();
    EXPECT_EQ(rows(f), (std::vector<std::string>{"続柄", "名前", "旧姓", "生年月日", "死亡年月日", "住所", "電話番号",
                                                 "携帯番号", "E_mail", "備考", "戒名"}));
}

TEST_F(DspOpTest, NobodyToEditOnlyBeeps)
{
    for (int who : {-1, 0, FreeSlot, 1025}) {
        dspop_form().showForPerson(who);
        EXPECT_FALSE(dspop_form().isLoaded()) << who;
    }
    EXPECT_EQ(responder.beepCount(), 4);

    // Shown straight away with no person chosen: the window does not open either.
    model::runState().DspOp_Person = -1;
    dspop_form().show();
    EXPECT_FALSE(dspop_form().isLoaded());
    EXPECT_EQ(responder.beepCount(), 5);
    EXPECT_EQ(requests.log, std::vector<std::string>{}) << "nothing to restore for a window that never opened";
}

TEST_F(DspOpTest, StoredValuesWithoutAListLineOpenWithoutError)
{
    disp().DS_Waku = -1;
    disp().DS_DeathW = 7;
    disp().DS_Nen = 9;
    disp().DS_PicHouko = -3;
    disp().DWLocate[0] = 5;
    disp().DSW[1] = 1; // not -1: the renderer does not show it

    DspOpForm& f = open();
    ASSERT_TRUE(f.isLoaded());
    EXPECT_EQ(f.ChkWaku.value(), 1);
    EXPECT_EQ(f.ChkDWaku.value(), 1);
    EXPECT_EQ(f.CBNen.listIndex(), -1);
    EXPECT_EQ(f.CBPicLoc.listIndex(), -1);
    EXPECT_FALSE(f.DspList.selected(rowOf(f, 1)));
    selectItem(f, 0);
    EXPECT_EQ(f.CBWLoc.listIndex(), -1);
    // A code with no line is kept, not replaced by "no choice".
    EXPECT_EQ(f.DspWork.DS_Nen, 9);
    EXPECT_EQ(f.DspWork.DS_PicHouko, -3);
    EXPECT_EQ(f.DspWork.DWLocate[0], 5);
}

// ------------------------------------------------------------------ preview

TEST_F(DspOpTest, PreviewIsTheBoxAtTheChartSizeWithTheShownLinesOutlined)
{
    DspOpForm& f = open();
    EXPECT_DOUBLE_EQ(f.PrePic.width(), layout::chart().box_w);
    EXPECT_DOUBLE_EQ(f.PrePic.height(), layout::chart().box_h);

    const auto shown = preview(f);
    const auto plain = plainRendering(f);
    const int w = shown->widthPixels();
    const int h = shown->heightPixels();
    // Default block: the relationship row (20 %) and the name row (50 %) from the top,
    // so the outlines add horizontal edges at 20 % and 70 % of the height.
    const std::vector<int> edges = {0, static_cast<int>(std::lround(0.2 * h)), static_cast<int>(std::lround(0.7 * h)),
                                    h - 1};
    auto nearEdge = [&](int x, int y) {
        if (x <= 1 || x >= w - 2)
            return true;
        for (int e : edges)
            if (std::abs(y - e) <= 1)
                return true;
        return false;
    };
    int outlinePixels = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const long a = shown->point(x * 15 + 7, y * 15 + 7);
            const long b = plain->point(x * 15 + 7, y * 15 + 7);
            if (a != b) {
                EXPECT_TRUE(nearEdge(x, y)) << "preview differs from the box away from an outline at " << x << "," << y;
                ++outlinePixels;
            }
        }
    }
    EXPECT_GT(outlinePixels, w) << "the row edge at 70 % is drawn across the box";
    // The 30 % below the last shown row holds nothing but the frame.
    for (int y = edges[2] + 2; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x)
            ASSERT_EQ(shown->point(x * 15 + 7, y * 15 + 7), White) << x << "," << y;
}

TEST_F(DspOpTest, VerticalPreviewOutlinesColumnsFromTheRightWithScaledWidths)
{
    model::settings().write_state = 1;
    disp().DS_Houko = 1;
    disp().DWidth[9] = 80; // 80 + 50 > 100: the renderer scales both
    DspOpForm& f = open();
    EXPECT_DOUBLE_EQ(f.PrePic.width(), layout::chart().box_w);
    EXPECT_LT(f.PrePic.width(), f.PrePic.height());

    const auto shown = preview(f);
    const auto plain = plainRendering(f);
    const int w = shown->widthPixels();
    // Scaled: 80 / 130 and 50 / 130 of the width, from the right edge.
    const int split = static_cast<int>(std::lround((w - 1) - 80.0 / 130.0 * w));
    int differing = 0;
    for (int y = 2; y < shown->heightPixels() - 2; ++y) {
        for (int x = 2; x < w - 2; ++x) {
            if (shown->point(x * 15 + 7, y * 15 + 7) != plain->point(x * 15 + 7, y * 15 + 7)) {
                EXPECT_LE(std::abs(x - split), 1) << "outline pixel away from the column edge at " << x << "," << y;
                ++differing;
            }
        }
    }
    EXPECT_GT(differing, 0);
}

// One change made as the user makes it: what it does to the working copy, and
// whether the box looks different afterwards.
struct EditCase {
    const char* name;
    std::function<void(DspOpForm&)> edit;
    std::function<void(model::DispStat&)> expected; // applied to the opening block
    bool visible;
};

void PrintTo(const EditCase& c, std::ostream* out) { *out << c.name; }

class DspOpEdits : public DspOpTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(DspOpEdits, ChangeTheirFieldOfTheWorkingCopyRedrawAndLeaveTheFamilyAlone)
{
    const EditCase& c = GetParam();
    disp().DSW[2] = -1; // the birth date is shown, so the date format shows too
    const std::vector<model::DispStat> before = allBlocks();
    DspOpForm& f = open();
    model::DispStat expected = f.DspWork;
    const std::vector<long> first = pixelsOf(*preview(f));

    c.edit(f);

    c.expected(expected);
    EXPECT_EQ(f.DspWork, expected);
    if (c.visible)
        EXPECT_NE(pixelsOf(*preview(f)), first) << "the preview was not redrawn";
    else
        EXPECT_EQ(pixelsOf(*preview(f)), first);
    EXPECT_DOUBLE_EQ(f.PrePic.width(), layout::chart().box_w) << "the preview follows the metrics";
    EXPECT_DOUBLE_EQ(f.PrePic.height(), layout::chart().box_h);
    EXPECT_EQ(allBlocks(), before) << "a preview wrote into the family";
    EXPECT_TRUE(log.empty());
}

auto unchanged = [](model::DispStat&) {};

INSTANTIATE_TEST_SUITE_P(
    DspOp, DspOpEdits,
    ::testing::Values(
        EditCase{"check_former_name", [](DspOpForm& f) { f.DspList.setSelected(1, true); },
                 [](model::DispStat& d) { d.DSW[1] = -1; }, true},
        EditCase{"uncheck_relationship", [](DspOpForm& f) { f.DspList.setSelected(0, false); },
                 [](model::DispStat& d) { d.DSW[9] = 0; }, true},
        EditCase{"name_to_the_top", [](DspOpForm& f) {
                     f.DspList.setListIndex(2);
                     f.DspUp.click();
                     f.DspUp.click();
                 },
                 [](model::DispStat& d) {
                     d.DRank[0] = 0;
                     d.DRank[9] = 1;
                     d.DRank[1] = 2;
                 },
                 true},
        EditCase{"relationship_to_the_right", [](DspOpForm& f) {
                     f.DspList.setListIndex(0);
                     f.CBHLoc.setListIndex(2);
                 },
                 [](model::DispStat& d) { d.DHLocate[9] = 2; }, true},
        EditCase{"hidden_item_alignment", [](DspOpForm& f) {
                     f.DspList.setListIndex(3);
                     f.CBWLoc.setListIndex(1);
                 },
                 [](model::DispStat& d) { d.DWLocate[10] = 1; }, false},
        EditCase{"alignment_without_a_row", [](DspOpForm& f) { f.CBWLoc.setListIndex(1); }, unchanged, false},
        EditCase{"font_size", [](DspOpForm& f) {
                     f.DspList.setListIndex(2);
                     enter(f.TxtDBai, "8");
                 },
                 [](model::DispStat& d) { d.DBai[0] = 8; }, true},
        EditCase{"line_share_in_full_width_digits", [](DspOpForm& f) {
                     f.DspList.setListIndex(2);
                     enter(f.TxtDW, " ３０ ");
                 },
                 [](model::DispStat& d) { d.DWidth[0] = 30; }, true},
        EditCase{"size_without_a_row", [](DspOpForm& f) { enter(f.TxtDBai, "20"); }, unchanged, false},
        EditCase{"date_format", [](DspOpForm& f) { f.CBNen.setListIndex(3); },
                 [](model::DispStat& d) { d.DS_Nen = 3; }, true},
        EditCase{"picture_position", [](DspOpForm& f) { f.CBPicLoc.setListIndex(4); },
                 [](model::DispStat& d) { d.DS_PicHouko = 4; }, false},
        EditCase{"frame_off", [](DspOpForm& f) { f.ChkWaku.setValue(0); },
                 [](model::DispStat& d) { d.DS_Waku = 0; }, true},
        EditCase{"death_frame_while_deaths_are_not_marked", [](DspOpForm& f) { f.ChkDWaku.setValue(1); },
                 [](model::DispStat& d) { d.DS_DeathW = 1; }, false},
        EditCase{"family_name_off", [](DspOpForm& f) { f.ChkFName.setValue(0); },
                 [](model::DispStat& d) { d.DS_FName = 0; }, true},
        EditCase{"hidden_person", [](DspOpForm& f) { f.ChkVisible.setValue(1); },
                 [](model::DispStat& d) { d.DS_Visible = 0; }, false},
        EditCase{"box_writing_vertical", [](DspOpForm& f) { f.DspHouko[1].setValue(true); },
                 [](model::DispStat& d) { d.DS_Houko = 1; }, true},
        EditCase{"box_writing_there_and_back", [](DspOpForm& f) {
                     f.DspHouko[1].setValue(true);
                     f.DspHouko[0].setValue(true);
                 },
                 unchanged, false},
        EditCase{"chart_direction_vertical", [](DspOpForm& f) { f.optWrite_Stat[1].setValue(true); }, unchanged,
                 true},
        EditCase{"zoom", [](DspOpForm& f) { enter(f.txtBai, "200"); }, unchanged, true}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

// A birth year stored in era form, as the editor stores a year typed alone: the
// western formats chosen in the window draw it as the western year, in the preview
// and on the person's box once applied.
TEST_F(DspOpTest, AStoredYearFollowsTheWesternFormatChosen)
{
    disp().DSW[2] = -1; // the birth date is shown
    person().B_day = "大正03年";
    DspOpForm& f = open();
    f.CBNen.setListIndex(4); // yyyy/mm/dd
    const std::vector<long> western = pixelsOf(*preview(f));
    f.CBNen.setListIndex(3); // 西暦yyyy年mm月dd日
    const std::vector<long> westernEra = pixelsOf(*preview(f));

    // The same box with the texts as written: the era format shows a year as stored.
    person().B_day = "1914";
    f.CBNen.setListIndex(1);
    EXPECT_EQ(western, pixelsOf(*preview(f))) << "drawn as 1914";
    person().B_day = "西暦1914年";
    f.CBNen.setListIndex(0);
    f.CBNen.setListIndex(1);
    EXPECT_EQ(westernEra, pixelsOf(*preview(f))) << "drawn as 西暦1914年";

    person().B_day = "大正03年06月";
    f.CBNen.setListIndex(5); // mm/dd/yyyy
    f.CmdOK.click();
    ASSERT_FALSE(f.isLoaded());
    EXPECT_EQ(disp().DS_Nen, 5);
    EXPECT_EQ(printedText(*render(drawing_test::WideW, drawing_test::WideH)), " 長男 山田 太郎 06/1914 生 ");
}

// "この人を表示しない" reads true: ticked exactly for a person whose block says not
// shown (0), while the block keeps storing 1 for shown.
TEST_F(DspOpTest, HideThisPersonIsTickedOnlyForAPersonNotShown)
{
    model::tables().per_buf[Plain].Disp.DS_Visible = 0;
    DspOpForm& f = open(Plain);
    EXPECT_EQ(f.ChkVisible.value(), forms::vbChecked);
    QTest::mouseClick(f.ChkVisible.widget(), Qt::LeftButton);
    EXPECT_EQ(f.ChkVisible.value(), forms::vbUnchecked);
    EXPECT_EQ(f.DspWork.DS_Visible, 1);
    QTest::mouseClick(f.ChkVisible.widget(), Qt::LeftButton);
    EXPECT_EQ(f.DspWork.DS_Visible, 0);
    f.CmdOK.click();
    EXPECT_EQ(model::tables().per_buf[Plain].Disp.DS_Visible, 0);

    open(Other);
    EXPECT_EQ(f.ChkVisible.value(), forms::vbUnchecked) << "shown (1): not ticked as hidden";
}

TEST_F(DspOpTest, SelectingARowShowsItsItemSettings)
{
    disp().DBai[10] = 12;
    disp().DWidth[10] = 33.5;
    disp().DWLocate[10] = 1;
    disp().DHLocate[10] = 2;
    DspOpForm& f = open();
    f.DspList.setListIndex(3); // 戒名
    EXPECT_EQ(f.TxtDBai.text(), "12");
    EXPECT_EQ(f.TxtDW.text(), "33.5");
    EXPECT_EQ(f.CBWLoc.listIndex(), 1);
    EXPECT_EQ(f.CBHLoc.listIndex(), 2);
    EXPECT_EQ(f.DspWork, disp()) << "showing the settings changes nothing";
}

TEST_F(DspOpTest, MovingARowRanksEveryItemByItsRowAndKeepsItSelected)
{
    DspOpForm& f = open();
    f.DspList.setListIndex(2); // 名前
    f.DspUp.click();
    EXPECT_EQ(f.DspList.listIndex(), 1);
    EXPECT_EQ(f.DspList.text(), "名前");
    EXPECT_TRUE(f.DspList.selected(1)) << "the check mark moves with its row";
    EXPECT_FALSE(f.DspList.selected(2));
    f.DspUp.click();
    f.DspDn.click();
    f.DspDn.click();
    f.DspDn.click();
    EXPECT_EQ(f.DspList.text(), "名前");
    const std::vector<std::string> moved = {"続柄", "旧姓", "戒名", "名前", "生年月日", "死亡年月日",
                                            "住所", "電話番号", "携帯番号", "E_mail", "備考"};
    EXPECT_EQ(rows(f), moved);
    for (int r = 0; r < model::DispItemCount; ++r) {
        EXPECT_EQ(f.DspWork.DRank[f.DspRowMap[r].item], r);
        EXPECT_EQ(f.DspList.list(r), drawing::DspItemNames[f.DspRowMap[r].item]);
    }
    EXPECT_EQ(f.DspWork.DSW, disp().DSW) << "moving never changes what is shown";
}

TEST_F(DspOpTest, FirstRowUpAndLastRowDownDoNothing)
{
    DspOpForm& f = open();
    const model::DispStat opened = f.DspWork;
    f.DspList.setListIndex(0);
    f.DspUp.click();
    EXPECT_EQ(f.DspList.listIndex(), 0);
    f.DspList.setListIndex(10);
    f.DspDn.click();
    EXPECT_EQ(f.DspList.listIndex(), 10);
    EXPECT_EQ(f.DspWork, opened);
    EXPECT_EQ(rows(f), DefaultRows);
}

struct PercentEntry {
    const char* text;
    bool accepted;
    int16_t value = 0; // what an accepted entry stores
};

class DspOpPercentEntries : public DspOpTest, public ::testing::WithParamInterface<PercentEntry> {};

TEST_P(DspOpPercentEntries, AreWholeNumbersFromOneToHundred)
{
    const PercentEntry& e = GetParam();
    DspOpForm& f = open();
    f.DspList.setListIndex(2); // 名前
    const model::DispStat opened = f.DspWork;
    if (!e.accepted) {
        responder.answerNext(platform::vbOK);
        responder.answerNext(platform::vbOK);
    }
    enter(f.TxtDBai, e.text);
    enter(f.TxtDW, e.text);
    if (e.accepted) {
        EXPECT_TRUE(responder.shown().empty());
        EXPECT_EQ(f.DspWork.DBai[0], e.value);
        EXPECT_DOUBLE_EQ(f.DspWork.DWidth[0], e.value);
    } else {
        ASSERT_EQ(responder.shown().size(), 2u);
        EXPECT_EQ(responder.shown()[0].text, "倍率は1～100%の範囲で指定して下さい");
        EXPECT_EQ(responder.shown()[0].title, "最大文字数のエラー");
        EXPECT_EQ(responder.shown()[0].style, platform::vbExclamation);
        EXPECT_EQ(responder.shown()[1].text, "枠の幅は1～100%の範囲で指定して下さい");
        EXPECT_EQ(responder.shown()[1].title, "最大行数のエラー");
        EXPECT_EQ(f.DspWork, opened);
    }
}

INSTANTIATE_TEST_SUITE_P(DspOp, DspOpPercentEntries,
                         ::testing::Values(PercentEntry{"1", true, 1}, PercentEntry{"100", true, 100},
                                           PercentEntry{"007", true, 7},
                                           PercentEntry{"0", false}, PercentEntry{"101", false},
                                           PercentEntry{"-5", false}, PercentEntry{"12.5", false},
                                           PercentEntry{"abc", false}, PercentEntry{"", false},
                                           PercentEntry{"99999999999", false}),
                         [](const ::testing::TestParamInfo<PercentEntry>& info) {
                             return "entry_" + std::to_string(info.index);
                         });

TEST_F(DspOpTest, SizeBoxesTurnTheInputMethodOffOnFocus)
{
    DspOpForm& f = open();
    for (forms::TextBox* box : {&f.TxtDBai, &f.TxtDW}) {
        box->setIMEMode(forms::vbIMEHiragana);
        box->setFocus();
        EXPECT_EQ(box->imeMode(), forms::vbIMEOff) << box->name();
        f.DspList.setFocus();
    }
}

struct ZoomEntry {
    const char* text;
    const char* shown;
    double percent;
};

class DspOpZoom : public DspOpTest, public ::testing::WithParamInterface<ZoomEntry> {};

TEST_P(DspOpZoom, IsForcedIntoRangeAndSetsTheZoomAndTheMetrics)
{
    const ZoomEntry& e = GetParam();
    DspOpForm& f = open();
    enter(f.txtBai, e.text);
    EXPECT_EQ(f.txtBai.text(), e.shown);
    EXPECT_EQ(requests.zoomText, e.shown);
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Scale, e.percent / 100 * 15);
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Ratio, e.percent / 100);
    EXPECT_DOUBLE_EQ(f.PrePic.width(), layout::chart().box_w);
    EXPECT_NEAR(layout::chart().box_w, 65.28 * e.percent / 100 * 15, 1e-6);
    EXPECT_TRUE(responder.shown().empty()) << "no message for a zoom entry";
}

INSTANTIATE_TEST_SUITE_P(DspOp, DspOpZoom,
                         ::testing::Values(ZoomEntry{"20", "25", 25}, ZoomEntry{"600", "500", 500},
                                           ZoomEntry{"abc", "25", 25}, ZoomEntry{"150", "150", 150},
                                           ZoomEntry{"25", "25", 25}, ZoomEntry{"500", "500", 500}),
                         [](const ::testing::TestParamInfo<ZoomEntry>& info) {
                             return "zoom_" + std::to_string(info.index);
                         });

TEST_F(DspOpTest, ChartDirectionRelabelsTheAlignmentListsKeepingTheChoice)
{
    DspOpForm& f = open();
    f.DspList.setListIndex(2);
    f.CBWLoc.setListIndex(1);
    f.optWrite_Stat[1].setValue(true);
    EXPECT_EQ(model::settings().write_state, 1);
    EXPECT_EQ(f.CBWLoc.listIndex(), 1);
    EXPECT_EQ(f.CBWLoc.text(), "右揃え");
    EXPECT_EQ(f.CBHLoc.list(1), "上揃え");
    EXPECT_TRUE(requests.log.empty()) << "the chart is redrawn only by the apply commands";
}

// ------------------------------------------------------------------ commands

struct ApplyCase {
    const char* name;
    std::function<void(DspOpForm&)> command;
    std::vector<int> fullBlock;  // persons that take the edited block whole
    std::vector<int> keepFrames; // persons that take it but keep their own frame switches
};

void PrintTo(const ApplyCase& c, std::ostream* out) { *out << c.name; }

class DspOpApply : public DspOpTest, public ::testing::WithParamInterface<ApplyCase> {};

TEST_P(DspOpApply, WritesTheRightPersonsAfterTheUndoSnapshotAndAsksForTheRebuild)
{
    const ApplyCase& c = GetParam();
    const std::vector<model::DispStat> before = allBlocks();
    DspOpForm& f = open();
    f.DspList.setSelected(1, true);   // former name shown
    f.ChkWaku.setValue(0);            // frame off for the edited person
    f.CBNen.setListIndex(2);
    f.optWrite_Stat[1].setValue(true); // the chart direction goes with the command
    enter(f.txtBai, "200");
    const model::DispStat edited = f.DspWork;
    requests.log.clear();

    c.command(f);

    EXPECT_EQ(log, std::vector<std::string>{"saveUndo"});
    EXPECT_EQ(services.blocksAtUndo, before) << "the snapshot saw the family before any change";
    EXPECT_EQ(requests.log, std::vector<std::string>{"rebuild"}) << "applied settings are not put back";
    EXPECT_EQ(requests.changedAtRebuild, 1);
    EXPECT_EQ(requests.blocksAtRebuild, allBlocks()) << "every block is written before the rebuild";
    EXPECT_EQ(model::tables().Data_Changed, 1);
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(model::settings().write_state, 1);
    EXPECT_DOUBLE_EQ(layout::chart().Zoom_Ratio, 2.0);

    auto in = [](const std::vector<int>& list, int p) {
        for (int q : list)
            if (q == p)
                return true;
        return false;
    };
    const model::Tables& t = model::tables();
    for (int p = 1; p <= model::LastSlot; ++p) {
        const model::DispStat& now = t.per_buf[p].Disp;
        if (in(c.fullBlock, p)) {
            EXPECT_EQ(now, edited) << "person " << p;
        } else if (in(c.keepFrames, p)) {
            model::DispStat expected = edited;
            expected.DS_Waku = before[p].DS_Waku;
            expected.DS_DeathW = before[p].DS_DeathW;
            EXPECT_EQ(now, expected) << "person " << p;
        } else {
            ASSERT_EQ(now, before[p]) << "person " << p << " must not change";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    DspOp, DspOpApply,
    ::testing::Values(ApplyCase{"this_person", [](DspOpForm& f) { f.CmdOK.click(); }, {Person}, {}},
                      ApplyCase{"everybody", [](DspOpForm& f) { f.CmdAllMod.click(); }, {Person}, {Other, Plain}},
                      ApplyCase{"category", [](DspOpForm& f) { f.cmdAllModCate.click(); }, {Person}, {Other}}),
    [](const ::testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

struct FamilyNameCase {
    const char* name;
    bool showNames;
    int answer;
};

void PrintTo(const FamilyNameCase& c, std::ostream* out) { *out << c.name; }

class DspOpFamilyNames : public DspOpTest, public ::testing::WithParamInterface<FamilyNameCase> {};

TEST_P(DspOpFamilyNames, SwitchEverybodyOnYesAndNothingOnNo)
{
    const FamilyNameCase& c = GetParam();
    const int16_t value = c.showNames ? 1 : 0;
    for (int p : {Person, Other, Plain})
        model::tables().per_buf[p].Disp.DS_FName = static_cast<int16_t>(1 - value);
    const std::vector<model::DispStat> before = allBlocks();
    DspOpForm& f = open();
    f.DspHouko[1].setValue(true);
    responder.answerNext(c.answer);

    (c.showNames ? f.Command1 : f.Command2).click();

    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text, c.showNames ? "全員の名字を表示する設定にします。続行しますか？"
                                                     : "全員の名字を表示しない設定にします。続行しますか？");
    EXPECT_EQ(responder.shown()[0].title, "表示オプション");
    EXPECT_EQ(responder.shown()[0].style, platform::vbYesNo);
    if (c.answer == platform::vbNo) {
        EXPECT_TRUE(log.empty()) << "no undo snapshot";
        EXPECT_TRUE(requests.log.empty());
        EXPECT_TRUE(f.isLoaded() && f.isVisible()) << "the window stays open";
        EXPECT_EQ(allBlocks(), before);
        EXPECT_EQ(model::tables().Data_Changed, 0);
        return;
    }
    EXPECT_EQ(log, std::vector<std::string>{"saveUndo"});
    EXPECT_EQ(services.blocksAtUndo, before);
    EXPECT_EQ(requests.log, std::vector<std::string>{"rebuild"});
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(model::tables().Data_Changed, 1);
    const model::Tables& t = model::tables();
    EXPECT_EQ(t.per_buf[Person].Disp.DS_Houko, 1) << "the edited person keeps what the preview showed";
    for (int p = 1; p <= model::LastSlot; ++p) {
        model::DispStat expected = before[p];
        if (t.per_buf[p].InUse == model::SlotUsed)
            expected.DS_FName = value;
        if (p == Person)
            expected.DS_Houko = 1;
        ASSERT_EQ(t.per_buf[p].Disp, expected) << "person " << p;
    }
}

INSTANTIATE_TEST_SUITE_P(DspOp, DspOpFamilyNames,
                         ::testing::Values(FamilyNameCase{"show_yes", true, platform::vbYes},
                                           FamilyNameCase{"show_no", true, platform::vbNo},
                                           FamilyNameCase{"hide_yes", false, platform::vbYes},
                                           FamilyNameCase{"hide_no", false, platform::vbNo}),
                         [](const ::testing::TestParamInfo<FamilyNameCase>& info) {
                             return std::string(info.param.name);
                         });

struct CloseCase {
    const char* name;
    std::function<void(DspOpForm&)> close;
};

void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.name; }

class DspOpClose : public DspOpTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(DspOpClose, ChangesNothingAndPutsTheZoomAndDirectionBack)
{
    requests.zoomText = "100";
    const std::vector<model::DispStat> before = allBlocks();
    const layout::ChartState& c = layout::chart();
    const std::array<double, 4> metrics = {c.Zoom_Scale, c.Zoom_Ratio, c.box_w, c.box_h};
    DspOpForm& f = open();
    f.DspList.setSelected(3, true);
    f.DspList.setListIndex(2);
    f.DspUp.click();
    enter(f.TxtDBai, "10");
    f.ChkWaku.setValue(0);
    f.DspHouko[1].setValue(true);
    f.optWrite_Stat[1].setValue(true);
    enter(f.txtBai, "300");
    ASSERT_EQ(requests.zoomText, "300");

    GetParam().close(f);

    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(allBlocks(), before) << "Cancel left an edit in the family";
    EXPECT_TRUE(log.empty()) << "no undo snapshot";
    EXPECT_EQ(model::tables().Data_Changed, 0);
    EXPECT_EQ(requests.log, (std::vector<std::string>{"zoom:300", "zoom:100"})) << "no rebuild";
    EXPECT_EQ(model::settings().write_state, 0);
    EXPECT_EQ((std::array<double, 4>{c.Zoom_Scale, c.Zoom_Ratio, c.box_w, c.box_h}), metrics)
        << "the zoom and the metrics of the chart come back too";
}

INSTANTIATE_TEST_SUITE_P(DspOp, DspOpClose,
                         ::testing::Values(CloseCase{"cancel_button", [](DspOpForm& f) { f.CmdCan.click(); }},
                                           CloseCase{"close_box",
                                                     [](DspOpForm& f) { forms::formWidget(f)->close(); }}),
                         [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST_F(DspOpTest, ShownForAnotherPersonEditsThatPersonOnly)
{
    const model::DispStat first = disp();
    DspOpForm& f = open();
    f.ChkFName.setValue(0);
    f.showForPerson(Other);
    EXPECT_EQ(f.editedPerson(), Other);
    EXPECT_EQ(model::runState().DspOp_Person, Other);
    EXPECT_EQ(f.DspWork, model::tables().per_buf[Other].Disp);
    EXPECT_TRUE(f.DspHouko[1].value()) << "the controls follow the other person's block";
    EXPECT_EQ(f.ChkWaku.value(), 0);
    f.DspList.setSelected(4, true);
    const model::DispStat edited = f.DspWork;

    f.CmdOK.click();

    EXPECT_EQ(model::tables().per_buf[Other].Disp, edited);
    EXPECT_EQ(disp(), first) << "the first person's unapplied edit was dropped";
}

TEST_F(DspOpTest, ShownAgainForTheSamePersonKeepsTheEdits)
{
    DspOpForm& f = open();
    f.ChkFName.setValue(0);
    f.showForPerson(Person);
    EXPECT_EQ(f.DspWork.DS_FName, 0);
    EXPECT_EQ(f.ChkFName.value(), 0);
}

// ------------------------------------------------------------------ layout

TEST_F(DspOpTest, LayoutKeepsEveryControlInsideItsContainerWithoutOverlaps)
{
    model::settings().write_state = 1;
    layout::setZoomPercent(500);
    DspOpForm& f = open();
    f.DspList.setListIndex(2);

    struct Placed {
        const forms::Control* control;
        const forms::Container* container;
        double left, top, right, bottom;
    };
    std::vector<Placed> placed;
    for (const forms::Control* c : f.controls())
        placed.push_back({c, &c->container(), c->left(), c->top(), c->left() + c->width(), c->top() + c->height()});

    for (const Placed& a : placed) {
        double width = f.scaleWidth();
        double height = f.scaleHeight();
        if (const auto* frame = dynamic_cast<const forms::Frame*>(a.container)) {
            width = frame->width();
            height = frame->height();
        }
        EXPECT_GE(a.left, 0) << a.control->name();
        EXPECT_GE(a.top, 0) << a.control->name();
        EXPECT_LE(a.right, width) << a.control->name() << " sticks out of its container";
        EXPECT_LE(a.bottom, height) << a.control->name() << " sticks out of its container";
        for (const Placed& b : placed) {
            if (&a >= &b || a.container != b.container)
                continue;
            const bool overlap = a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
            EXPECT_FALSE(overlap) << a.control->name() << " overlaps " << b.control->name();
        }
    }

    // A picture of the window for a look by eye.
    QWidget* window = forms::formWidget(f);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(drawing_test::keepForALook(window->grab().toImage(), "DspOp"));
}

} // namespace

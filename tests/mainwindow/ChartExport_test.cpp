// File > "BMP出力": the chart drawn again onto the hidden picture and saved as a
// bitmap, read back here pixel by pixel.

#include "ChartFixture.h"

#include "drawing/ChartOutputs.h"
#include "drawing/ChartViews.h"
#include "forms/ExportCanvas.h"
#include "forms/Screen.h"
#include "support/SmallFilesOnly.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace mainwindow_test {
namespace {

constexpr const char* FailedMessage = "出力する画像が大きい可能性があります。分けて出力するか、倍率を下げて下さい";

// The columns of a bitmap that hold anything but white.
struct Ink {
    int first = -1;
    int last = -1;
    int pixels = 0;
};

Ink inkOf(const QImage& image)
{
    Ink ink;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y) != QColor(Qt::white)) {
                if (ink.first < 0)
                    ink.first = x;
                ink.last = x;
                ++ink.pixels;
            }
        }
    }
    return ink;
}

class ChartExport : public ChartTest {
protected:
    void TearDown() override
    {
        window().Picture3[0].setImageMemoryCap(forms::ExportCanvas::StandardMemoryCap);
        ChartTest::TearDown();
    }

    std::string exportTo(const std::string& name)
    {
        const std::string path = platform::joinPath(home.path(), name);
        dialogs.answerNext(forms::DialogAnswer::file(path));
        window().fileitem[8].choose();
        return path;
    }

    static QImage imageAt(const std::string& path) { return QImage(QString::fromStdString(path)); }

    static void selectTab(int index) { window().TabStrip1.tabs().item(index).setSelected(true); }

    // Lineage-group tabs in use: tree 0's group hidden, tree 1's group shown and
    // moved down by offset generations.
    static void showOnlySecondTree(double offset)
    {
        layout::ChartState& c = layout::chart();
        tables().tab_grp_f = 1;
        for (int16_t t = 0; t < 2; ++t) {
            c.tab_buf[static_cast<size_t>(t)].tree_no = t;
            c.tab_buf[static_cast<size_t>(t)].Visible = t == 0 ? 0 : -1;
            c.tab_buf[static_cast<size_t>(t)].Offset = t == 0 ? 0 : offset;
        }
    }

    // Nothing of the export is left behind for the next chart display.
    static void expectOutputTakenBack()
    {
        EXPECT_EQ(drawing::drawState().Draw_ForOutput, 0);
        EXPECT_EQ(drawing::exportCanvas(), nullptr);
        EXPECT_EQ(window().mousePointer(), forms::vbDefault);
    }
};

TEST_F(ChartExport, TreeTabIsSavedAtTheCanvasSizeWithTheChartOnItAndTheFamilyUnchanged)
{
    showFamily();
    tables().Data_Changed = 0;
    const int boxes = window().DPic.count();
    const std::string path = exportTo("chart.bmp");

    ASSERT_EQ(dialogs.requests().size(), 1u);
    const forms::DialogRequest& request = dialogs.requests()[0];
    EXPECT_EQ(request.kind, forms::DialogKind::Save);
    EXPECT_EQ(request.title, "BMP File Output");
    EXPECT_EQ(request.fileName, "") << "a family without a file is offered no name, never a pattern";
    EXPECT_EQ(request.filter, "BMP files( *.bmp )|*.bmp");
    EXPECT_EQ(request.flags, 0x2002);
    EXPECT_EQ(request.startDirectory, home.path());
    EXPECT_TRUE(answers.shown().empty()) << "a successful export says nothing";

    const QImage image = imageAt(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), forms::twipsToPixels(window().Picture1.width()));
    EXPECT_EQ(image.height(), forms::twipsToPixels(window().Picture1.height()));
    EXPECT_GT(inkOf(image).pixels, 100) << "the boxes, marks and lines are drawn";

    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(tables().Data_Changed, 0);
    EXPECT_EQ(window().DPic.count(), boxes) << "the screen's chart keeps its elements";
    expectOutputTakenBack();
}

TEST_F(ChartExport, NewEntryTabGivesAWhitePictureOfTheCanvasSize)
{
    showFamily();
    const int newEntryTab = layout::chart().tree_cnt + 1;
    selectTab(newEntryTab);
    ASSERT_EQ(layout::chart().sel_tab, newEntryTab);
    const QImage image = imageAt(exportTo("empty.bmp"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), forms::twipsToPixels(window().Picture1.width()));
    EXPECT_EQ(inkOf(image).pixels, 0);
    expectOutputTakenBack();
}

TEST_F(ChartExport, AllTreesTabDrawsEveryTreeSideBySide)
{
    start();
    buildFamily("山田");
    buildFamily("佐藤");
    drawing::Refresh_TabDisp();
    ASSERT_EQ(layout::chart().tree_cnt, 2);

    const Ink firstTree = inkOf(imageAt(exportTo("tree1.bmp")));
    ASSERT_GT(firstTree.pixels, 0);
    const int treeWidth = firstTree.last - firstTree.first;

    selectTab(layout::chart().tree_cnt + 2);
    const QImage all = imageAt(exportTo("all.bmp"));
    ASSERT_FALSE(all.isNull());
    const Ink both = inkOf(all);
    const int margin = forms::twipsToPixels(layout::chart().margin_x);
    // The first tree starts at the left margin, the second one two margins right
    // of the first one's extent.
    EXPECT_NEAR(both.first, margin, margin);
    EXPECT_GT(both.last - both.first, 2 * treeWidth);
    EXPECT_GT(both.pixels, firstTree.pixels * 3 / 2);
    expectOutputTakenBack();
}

TEST_F(ChartExport, TreesHiddenFromTheAllTreesViewAreLeftOutOfThePicture)
{
    start();
    buildFamily("山田");
    buildFamily("佐藤");
    drawing::Refresh_TabDisp();
    selectTab(2);
    const Ink secondTab = inkOf(imageAt(exportTo("second-tab.bmp")));
    selectTab(layout::chart().tree_cnt + 2);
    const Ink every = inkOf(imageAt(exportTo("every.bmp")));

    showOnlySecondTree(0);
    const Ink hidden = inkOf(imageAt(exportTo("hidden.bmp")));
    tables().tab_grp_f = -1;

    ASSERT_GT(secondTab.pixels, 0);
    EXPECT_LT(hidden.pixels, every.pixels);
    // Only the second tree is drawn, starting at the left margin as the view shows it.
    EXPECT_NEAR(hidden.pixels, secondTab.pixels, secondTab.pixels / 20);
    const int margin = forms::twipsToPixels(layout::chart().margin_x);
    EXPECT_NEAR(hidden.first, margin, margin);
}

// A tree moved far down by its lineage group lies below the 16-bit range of
// twips: it is drawn where the all-trees view shows it, and nothing fails.
TEST_F(ChartExport, ATreeMovedFarDownIsDrawnWhereTheViewShowsIt)
{
    start();
    buildFamily("山田");
    buildFamily("佐藤");
    drawing::Refresh_TabDisp();
    selectTab(layout::chart().tree_cnt + 2);
    const layout::ChartState& c = layout::chart();
    const double step = c.gen_gap_a + c.gen_gap_b + c.box_h / 2;
    showOnlySecondTree(32767 / step + 3);
    drawing::Redisp_Keizu();
    ASSERT_GT(window().Picture1.height(), 32767.0);

    const QImage image = imageAt(exportTo("far.bmp"));
    tables().tab_grp_f = -1;
    EXPECT_TRUE(answers.shown().empty());
    ASSERT_FALSE(image.isNull());
    int lowestInk = -1;
    for (int y = image.height() - 1; y >= 0 && lowestInk < 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != QColor(Qt::white)) {
                lowestInk = y;
                break;
            }
        }
    }
    EXPECT_GT(lowestInk, forms::twipsToPixels(32767.0));
    expectOutputTakenBack();
}

TEST_F(ChartExport, CancelledDialogWritesNothingAndSaysNothing)
{
    showFamily();
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    window().fileitem[8].choose();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_TRUE(platform::listFiles(home.path(), "*.bmp").empty());
    expectOutputTakenBack();
}

// A file that cannot be written is named with why, whether the folder refuses the
// file at once, the picture does not fit (files that cannot grow, as on a full disk)
// or the finished picture cannot take the chosen name (a folder of that name); the
// size advice is only for a picture that could not be made.
TEST_F(ChartExport, AFileThatCannotBeWrittenIsNamedWithWhyAndTheFamilyStays)
{
    showFamily();
    tables().Data_Changed = 0;
    platform::makeDir(platform::joinPath(home.path(), "taken.bmp"));
    const std::pair<const char*, const char*> cases[] = {{"missing-folder/chart.bmp", "フォルダーがありません"},
                                                         {"full.bmp", "ファイルが大きすぎます"},
                                                         {"taken.bmp", "書き込み先がフォルダーです"}};
    for (const auto& [name, reason] : cases) {
        answers.clearRecords();
        answers.answerNext(platform::vbOK);
        std::string path;
        if (std::string(name) == "full.bmp")
            support::withSmallFilesOnly([&] { path = exportTo(name); });
        else
            path = exportTo(name);
        EXPECT_EQ(answers.shownTexts(),
                  std::vector<std::string>{"ファイルが書き込めません\r\n" + path + "\r\n（" + reason + "）"})
            << name;
        EXPECT_EQ(personNames(), familyOf("山田"));
        EXPECT_EQ(tables().Data_Changed, 0);
        expectOutputTakenBack();
    }
    EXPECT_TRUE(platform::listFiles(home.path(), "*.part").empty()) << "no temporary file is left";
}

TEST_F(ChartExport, PictureTooLargeIsGivenUpAndTheTablesAreRestored)
{
    showFamily();
    const auto before = tables().per_buf;
    // The export's picture is loaded from element 0 and takes its memory cap.
    window().Picture3[0].setImageMemoryCap(64);
    answers.answerNext(platform::vbOK);
    exportTo("large.bmp");

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{FailedMessage});
    EXPECT_EQ(window().Picture3[1].width(), 15);
    EXPECT_EQ(window().Picture3[1].height(), 15);
    for (int p = 1; p <= model::LastSlot; ++p) {
        const model::personal_data& now = tables().per_buf[static_cast<size_t>(p)];
        ASSERT_EQ(now.InUse, before[static_cast<size_t>(p)].InUse) << "slot " << p;
        ASSERT_EQ(now.Name, before[static_cast<size_t>(p)].Name) << "slot " << p;
    }
    expectOutputTakenBack();
    EXPECT_FALSE(platform::fileExists(platform::joinPath(home.path(), "large.bmp")));
    EXPECT_TRUE(platform::listFiles(home.path(), "*.part").empty()) << "no temporary file is left";

    // The chart on the screen still draws as chart elements.
    drawing::Refresh_TabDisp();
    EXPECT_GE(boxOf(Son), 2);
}

// The picture is written beside the chosen file and renamed over it once complete:
// an export that fails leaves an older picture whole.
TEST_F(ChartExport, AFailedExportLeavesTheOlderPictureWhole)
{
    showFamily();
    exportTo("chart.bmp");
    const std::string path = platform::joinPath(home.path(), "chart.bmp");
    const std::string older = read(path);
    ASSERT_FALSE(older.empty());

    window().Picture3[0].setImageMemoryCap(64);
    answers.answerNext(platform::vbOK);
    exportTo("chart.bmp");
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{FailedMessage});
    EXPECT_EQ(read(path), older);
    EXPECT_TRUE(platform::listFiles(home.path(), "*.part").empty()) << "no temporary file is left";
}

// A picture exported through a symbolic link in a folder of the user's replaces the
// file the link leads to; the link stays and no temporary file is left beside either.
TEST_F(ChartExport, AnExportThroughALinkWritesTheFileItLeadsTo)
{
    showFamily();
    const TempFolder user;
    const std::string real = user.file("real.bmp");
    platform::writeWholeFile(real, "older picture");
    const std::string link = user.file("link.bmp");
    ASSERT_EQ(::symlink("real.bmp", link.c_str()), 0);

    dialogs.answerNext(forms::DialogAnswer::file(link));
    window().fileitem[8].choose();
    EXPECT_FALSE(imageAt(real).isNull()) << "the picture went where the link leads";
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a file";
    EXPECT_TRUE(platform::listFiles(user.path(), "*.part").empty());
}

// The picture is written under its own partial file alone: no write of the export
// makes a partial file of a partial file (a folder stands where one would go).
TEST_F(ChartExport, AnExportMakesNoPartialFileOfAPartialFile)
{
    showFamily();
    const TempFolder user;
    const std::string path = user.file("chart.bmp");
    platform::makeDir(platform::partialFileName(platform::partialFileName(path)));

    dialogs.answerNext(forms::DialogAnswer::file(path));
    window().fileitem[8].choose();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_FALSE(imageAt(path).isNull());
    EXPECT_EQ(platform::listFiles(user.path(), "*"), std::vector<std::string>{"chart.bmp"});
}

// A name typed without an extension gets ".bmp"; the dialog asked about the name as
// typed, so replacing the ".bmp" file that exists is asked first.
TEST_F(ChartExport, ANameWithoutExtensionGetsBmpAndReplacingItIsAsked)
{
    showFamily();
    exportTo("chart");
    const std::string path = platform::joinPath(home.path(), "chart.bmp");
    ASSERT_FALSE(imageAt(path).isNull());
    EXPECT_FALSE(platform::fileExists(platform::joinPath(home.path(), "chart")));
    const std::string first = read(path);

    answers.answerNext(platform::vbNo);
    exportTo("chart");
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{path + "\r\nは既に存在します。上書きしますか？"});
    EXPECT_EQ(answers.shown()[0].title, "BMP File Output");
    EXPECT_EQ(read(path), first);
    expectOutputTakenBack();
}

} // namespace
} // namespace mainwindow_test

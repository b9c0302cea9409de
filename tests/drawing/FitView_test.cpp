// The fit view: the zoom chosen for a chart and a window, and the chart drawn
// full-screen at that zoom.

#include "ChartRebuildFixture.h"

#include "drawing/ChartRebuild.h"
#include "drawing/FitView.h"
#include "drawing/FormsChartView.h"

#include <functional>
#include <ostream>

namespace {

using drawing_test::ChartRebuildFixture;
using drawing_test::Element;
using layouttest::FamilyBuilder;

struct ZoomCase {
    const char* name;
    double W, H, X, Y;
    double scale;
    bool widthLimited;
};

void PrintTo(const ZoomCase& c, std::ostream* os)
{
    *os << c.name;
}

class FitZoomTest : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(FitZoomTest, LargestWholeScaleThatFitsWithinTheAcceptedZoom)
{
    const ZoomCase& c = GetParam();
    const drawing::FitZoom fit = drawing::fitZoomScale(c.W, c.H, c.X, c.Y);
    EXPECT_DOUBLE_EQ(fit.scale, c.scale);
    EXPECT_EQ(fit.widthLimited, c.widthLimited);
}

const ZoomCase zoomCases[] = {
    {"HeightDecides", 20000, 8100, 10000, 5000, 24, false},
    {"ShrinkingTakesOneMore", 8000, 4100, 10000, 5000, 11, false},
    {"WholeStepsOnly", 21000, 8100, 10000, 5000, 24, false},
    {"WidthDecidesAndShrinks", 9000, 8100, 10000, 5000, 12, true},
    // A chart far larger than the window keeps the smallest zoom accepted, 25 %,
    // rather than a scale of 0 or below.
    {"NeverBelowTwentyFivePercent", 20000, 8100, 2000000, 1000000, 3.75, false},
    {"WindowLowerThanTheFreeStrip", 20000, 50, 10000, 5000, 3.75, false},
    // A single couple in a large window stops at 500 %.
    {"NeverAboveFiveHundredPercent", 20000, 12000, 2800, 1500, 75, true},
};

INSTANTIATE_TEST_SUITE_P(Zoom, FitZoomTest, ::testing::ValuesIn(zoomCases),
                         [](const ::testing::TestParamInfo<ZoomCase>& info) { return info.param.name; });

// --- The view drawn in the window ---

struct FitCase {
    const char* name;
    std::function<void(FamilyBuilder&)> build;
    bool allTrees;
    bool shrinks;              // the chart is drawn below 100 %
    std::set<int16_t> persons; // the persons whose boxes are drawn
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << c.name;
}

class FullscreenTest : public ChartRebuildFixture, public ::testing::WithParamInterface<FitCase> {};

TEST_P(FullscreenTest, ChartFillsTheWindowAtAnAcceptedZoom)
{
    const FitCase& c = GetParam();
    c.build(family);
    drawing::Build_Keizu(0);
    if (c.allTrees) {
        clickTab(chart().tree_cnt + 2);
        chart().sel_tab = static_cast<int16_t>(chart().tree_cnt + 2);
    }

    drawing::Fullscreen_Disp();

    EXPECT_EQ(form.Fullscreen_Flag, 1);
    EXPECT_FALSE(form.filemenu.isVisible());
    EXPECT_GE(chart().Zoom_Scale, 3.75);
    EXPECT_LE(chart().Zoom_Scale, 75);
    EXPECT_EQ(chart().Zoom_Scale < 15, c.shrinks);
    EXPECT_EQ(drawnPersons(), c.persons);
    for (int16_t p : drawnPersons())
        EXPECT_EQ(model::tables().per_buf[static_cast<size_t>(p)].InUse, model::SlotUsed) << p;
    for (const Element& e : form.Picture1.inspectElements()) {
        if (!e.visible || e.index < 2)
            continue;
        EXPECT_GE(e.left, 0) << e.name << e.index;
        EXPECT_LE(e.left + e.width, form.width()) << e.name << e.index;
        EXPECT_GE(e.top, 0) << e.name << e.index;
        EXPECT_LE(e.top + e.height, form.height()) << e.name << e.index;
    }
}

const FitCase fitCases[] = {
    {"SingleCoupleStopsAtFiveHundredPercent", [](FamilyBuilder& f) { f.couple(); }, false, false, {1, 2}},
    {"WideFamilyShrinks",
     [](FamilyBuilder& f) {
         const int16_t kou = f.couple();
         for (int i = 0; i < 8; ++i) {
             const int16_t son = f.person(FamilyBuilder::Male);
             f.child(kou, son);
             f.marry(son, f.person(FamilyBuilder::Female));
         }
     },
     false, true, [] {
         std::set<int16_t> all;
         for (int16_t p = 1; p <= 18; ++p)
             all.insert(p);
         return all;
     }()},
    // The second marriage's tree holds a temporary copy of the husband: drawn as him.
    {"TwiceMarriedHusbandDrawnAsHimself",
     [](FamilyBuilder& f) {
         const int16_t kou = f.couple();
         f.marry(1, f.person(FamilyBuilder::Female));
         f.child(kou, f.person(FamilyBuilder::Male));
     },
     true, false, {1, 2, 3, 4}},
    {"AllTreesSideBySide", [](FamilyBuilder& f) {
         f.couple();
         f.couple();
         f.couple();
     },
     true, false, {1, 2, 3, 4, 5, 6}},
};

INSTANTIATE_TEST_SUITE_P(Fit, FullscreenTest, ::testing::ValuesIn(fitCases),
                         [](const ::testing::TestParamInfo<FitCase>& info) { return info.param.name; });

class FullscreenLayoutTest : public ChartRebuildFixture {};

// The way back puts the window's layout where it was before the view.
TEST_F(FullscreenLayoutTest, RestoredOnTheWayBack)
{
    family.couple();
    drawing::Build_Keizu(0);
    const double frameTop = form.Frame2.top();
    const double viewportWidth = form.Picture2.width();
    const double canvasHeight = form.Picture1.height();

    drawing::Fullscreen_Disp();
    EXPECT_EQ(form.Frame2.top(), 0);
    view->endFullScreen();

    EXPECT_EQ(form.Fullscreen_Flag, 0);
    EXPECT_TRUE(form.filemenu.isVisible());
    EXPECT_EQ(form.Frame2.top(), frameTop);
    EXPECT_EQ(form.Picture2.width(), viewportWidth);
    EXPECT_EQ(form.Picture1.height(), canvasHeight);
}

} // namespace

// Whole families laid out by the layout and drawn tree by tree, checked for what must
// hold of any chart: every person has one visible box in a tree and some tree shows
// everyone, boxes and couple marks never overlap, lines join every child's box to
// its parents' couple mark, the measuring pass finds the drawing pass's extent, and
// the three outputs agree (the drawing lists hold the boxes, marks, captions and
// lines of the canvas; the export picture is the chart's size with ink where the
// boxes are). A drawn family is saved as PNG pictures in test-output/drawing.

#include "ChartDrawFixture.h"
#include "PicturesForALook.h"

#include "forms/Control.h"
#include "forms/ExportCanvas.h"
#include "model/DispStat.h"
#include "model/settings.h"
#include "model/tables.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using drawing_test::ChartDrawFixture;
using drawing_test::Element;
using layouttest::FamilyBuilder;

constexpr long White = 0xFFFFFF;
constexpr double Tolerance = 0.01;

model::marry_data& kou(int k) { return model::tables().kou_buf[static_cast<size_t>(k)]; }

// Three generations: grandparents 1+2 with son 3 and daughter 4; the son and 5 have
// children 6 and 7; the daughter married 8 (her couple starts tree 1) and has 9.
int16_t threeGenerations(FamilyBuilder& f)
{
    for (const int16_t sex : {0, 1, 0, 1, 1, 0, 1, 0, 0})
        f.person(sex);
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 3);
    f.child(m1, 4);
    const int16_t m2 = f.marry(3, 5);
    f.child(m2, 6);
    f.child(m2, 7);
    const int16_t m3 = f.marry(8, 4);
    f.child(m3, 9);
    kou(m1).kou_title = "山田家";
    kou(m2).kou_title = "山田本家";
    kou(m3).kou_title = "鈴木家";
    return m2;
}

// Man 1 married to 2 (son 3) with a relation to 4: a son 5 on his side, a daughter 6
// on hers and an adopted son 7; the son 3 married 8 and has an adopted daughter 9.
int16_t husbandsRelation(FamilyBuilder& f)
{
    for (const int16_t sex : {0, 1, 0, 1, 0, 1, 0, 1, 1})
        f.person(sex);
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 3);
    const int16_t m2 = f.marry(1, 4, 1, 1);
    f.child(m2, 5, 0);
    f.child(m2, 6, 1);
    f.child(m2, 7, 2);
    const int16_t m3 = f.marry(3, 8);
    f.child(m3, 9, 2);
    kou(m1).kou_title = "佐藤家";
    kou(m2).kou_title = "佐藤";
    return m1;
}

// Son 5 of 1+2 married daughter 6 of 3+4 as an adoptive husband; 3+4 adopted
// daughter 8; the young couple has child 7; the grandfather 1 also had a relation
// with the blank partner.
int16_t adoptiveHusband(FamilyBuilder& f)
{
    for (const int16_t sex : {0, 1, 0, 1, 0, 1, 0, 1})
        f.person(sex);
    const int16_t m1 = f.marry(1, 2);
    f.child(m1, 5);
    const int16_t m2 = f.marry(3, 4);
    f.child(m2, 6);
    f.child(m2, 8, 2);
    const int16_t m3 = f.marry(5, 6);
    kou(m3).Yoshi_f = 1;
    f.child(m3, 7);
    f.marry(1, model::BlankPartner, 1, 1);
    kou(m2).kou_title = "高橋家";
    return m3;
}

struct ChartCase {
    const char* name;
    std::function<int16_t(FamilyBuilder&)> build;
    int16_t writeState;
    int16_t icons;
    const char* picture; // PNG file name stem, or null
};

struct Rect {
    double left, top, right, bottom;
};

Rect rectOf(const Element& e) { return Rect{e.left, e.top, e.left + e.width, e.top + e.height}; }

// A name box where the chart has it: the placers hand boxes over 15 twips in.
Rect chartRectOf(const Element& box)
{
    return Rect{box.left - 15, box.top - 15, box.left - 15 + box.width, box.top - 15 + box.height};
}

bool overlap(const Rect& a, const Rect& b)
{
    return a.left < b.right - Tolerance && b.left < a.right - Tolerance && a.top < b.bottom - Tolerance
        && b.top < a.bottom - Tolerance;
}

// Straight line segments joined where an end of one lies on another.
class LineNetwork {
public:
    explicit LineNetwork(const std::vector<Element>& lines) : m_lines(lines), m_parent(lines.size())
    {
        for (size_t i = 0; i < m_parent.size(); ++i)
            m_parent[i] = i;
        for (size_t i = 0; i < lines.size(); ++i) {
            for (size_t j = 0; j < lines.size(); ++j) {
                if (i != j && (touches(lines[j], lines[i].x1, lines[i].y1) || touches(lines[j], lines[i].x2, lines[i].y2)))
                    unite(i, j);
            }
        }
    }

    // True when a line through (x1, y1) and a line through (x2, y2) are joined.
    bool connects(double x1, double y1, double x2, double y2)
    {
        for (size_t i = 0; i < m_lines.size(); ++i) {
            if (!touches(m_lines[i], x1, y1))
                continue;
            for (size_t j = 0; j < m_lines.size(); ++j) {
                if (touches(m_lines[j], x2, y2) && find(i) == find(j))
                    return true;
            }
        }
        return false;
    }

private:
    static bool touches(const Element& l, double x, double y)
    {
        const double minX = std::min(l.x1, l.x2), maxX = std::max(l.x1, l.x2);
        const double minY = std::min(l.y1, l.y2), maxY = std::max(l.y1, l.y2);
        if (x < minX - Tolerance || x > maxX + Tolerance || y < minY - Tolerance || y > maxY + Tolerance)
            return false;
        // Only horizontal and vertical segments join the chart's boxes.
        return std::abs(l.x1 - l.x2) < Tolerance || std::abs(l.y1 - l.y2) < Tolerance;
    }
    size_t find(size_t i) { return m_parent[i] == i ? i : m_parent[i] = find(m_parent[i]); }
    void unite(size_t a, size_t b) { m_parent[find(a)] = find(b); }

    std::vector<Element> m_lines;
    std::vector<size_t> m_parent;
};

bool isChildOf(int16_t person, int16_t marriage)
{
    if (!model::isSlot(marriage))
        return false;
    const auto& children = kou(marriage).kou_kodo;
    return std::find(children.begin(), children.end(), person) != children.end();
}

class ChartInvariants : public ChartDrawFixture, public ::testing::WithParamInterface<ChartCase> {
protected:
    void SetUp() override
    {
        ChartDrawFixture::SetUp();
        model::settings().write_state = GetParam().writeState;
        model::settings().Dispmode_Icon = GetParam().icons;
        const int16_t start = GetParam().build(family);
        for (int16_t p = 1; p <= family.persons(); ++p)
            model::tables().per_buf[static_cast<size_t>(p)].Picture_index = GetParam().icons ? 0 : -1;
        // Boxes are written in the chart's direction, as every chart build arranges.
        model::Apply_DispModes();
        layouttest::layOut(start);
    }

    // The origin the single-tree view draws at.
    static double originX() { return metrics().margin_x; }
    static double originY() { return metrics().label_dy * 1.4 + metrics().margin_y; }

    void checkScreen(int16_t tree, std::map<int16_t, int>& timesShown)
    {
        layout::Unload_ChartCtl();
        drawPass(tree, originX(), originY(), drawing::MeasuringPass);
        const double measuredX = draw().Draw_MaxX;
        const double measuredY = draw().Draw_MaxY;
        layout::Unload_ChartCtl();
        drawPass(tree, originX(), originY(), drawing::DrawingPass);
        EXPECT_EQ(draw().Draw_MaxX, measuredX);
        EXPECT_EQ(draw().Draw_MaxY, measuredY);

        const auto boxes = shown("DPic");
        EXPECT_EQ(static_cast<int>(boxes.size()), layout::chart().counters.Label12_cnt - 1);
        std::set<int16_t> inTree;
        for (const Element& box : boxes) {
            const int16_t person = personOf(box);
            EXPECT_TRUE(inTree.insert(person).second) << "person " << person << " twice in tree " << tree;
            EXPECT_NE(person, model::BlankPartner);
            ++timesShown[person];
            EXPECT_LE(box.left + box.width, draw().Draw_MaxX + 15 + Tolerance);
            EXPECT_LE(box.top + box.height, draw().Draw_MaxY + Tolerance);
        }
        const auto marks = shown("Label11");
        for (size_t i = 0; i < boxes.size(); ++i) {
            for (size_t j = i + 1; j < boxes.size(); ++j)
                EXPECT_FALSE(overlap(chartRectOf(boxes[i]), chartRectOf(boxes[j])))
                    << "boxes " << boxes[i].index << ", " << boxes[j].index;
            for (const Element& mark : marks)
                EXPECT_FALSE(overlap(chartRectOf(boxes[i]), rectOf(mark))) << "box " << boxes[i].index << " and a mark";
        }

        // Each child's box is joined by lines to its parents' couple mark.
        LineNetwork network(shown("Line1"));
        for (const Element& box : boxes) {
            const int16_t person = personOf(box);
            const int16_t parents = draw().Label12_OyaKou[static_cast<size_t>(box.index)];
            if (!isChildOf(person, parents))
                continue;
            for (const Element& mark : marks) {
                if (draw().Label11_Kou[static_cast<size_t>(mark.index)] != parents)
                    continue;
                const double boxTopX = box.left - 15 + metrics().box_w / 2;
                const double boxTopY = box.top - 15;
                EXPECT_TRUE(network.connects(boxTopX, boxTopY, mark.left + mark.width / 2, mark.top + mark.height))
                    << "person " << person << " and marriage " << parents;
            }
        }
    }

    // The drawing lists against the canvas just drawn.
    void checkLists(int16_t tree)
    {
        const auto boxes = shown("DPic");
        const auto marks = shown("Label11");
        const auto captions = shown("Label13");
        const auto solid = shown("Line1");
        const auto dotted = shown("Line7");
        const double maxX = draw().Draw_MaxX;
        recordTree(tree, originX(), originY());
        ASSERT_LT(draw().line_cnt, drawing::MaxListRecords);
        ASSERT_LT(draw().box_cnt, drawing::MaxListRecords);
        ASSERT_LT(draw().text_cnt, drawing::MaxListRecords);

        std::multiset<std::tuple<int, long, long>> recordedNames;
        std::vector<drawing::TextRec> recordedCaptions;
        for (int16_t i = 0; i < draw().text_cnt; ++i) {
            const drawing::TextRec& t = draw().text_buf[static_cast<size_t>(i)];
            if (t.PerIdx != 0)
                recordedNames.emplace(t.PerIdx, std::lround(t.X + 15), std::lround(t.Y + 15));
            else
                recordedCaptions.push_back(t);
        }
        std::multiset<std::tuple<int, long, long>> shownNames;
        for (const Element& box : boxes)
            shownNames.emplace(personOf(box), std::lround(box.left), std::lround(box.top));
        EXPECT_EQ(recordedNames, shownNames);

        std::multiset<std::tuple<long, long, long, long, long>> recordedMarks, shownMarks;
        double recordedRight = 0;
        for (int16_t i = 0; i < draw().box_cnt; ++i) {
            const drawing::BoxRec& b = draw().box_buf[static_cast<size_t>(i)];
            recordedRight = std::max(recordedRight, b.Right);
            if (b.MarkF == -1)
                recordedMarks.emplace(std::lround(b.Left), std::lround(b.Top), std::lround(b.Right),
                                      std::lround(b.Bottom), b.Color);
        }
        for (const Element& m : marks)
            shownMarks.emplace(std::lround(m.left), std::lround(m.top), std::lround(m.left + m.width),
                               std::lround(m.top + m.height), m.colour);
        EXPECT_EQ(recordedMarks, shownMarks);
        EXPECT_LE(recordedRight, maxX + 22.5 + Tolerance); // icons snap up to 22.5 to the right

        ASSERT_EQ(recordedCaptions.size(), captions.size());
        for (size_t i = 0; i < captions.size(); ++i) {
            EXPECT_NEAR(recordedCaptions[i].X + 15, captions[i].left, Tolerance);
            std::string text = captions[i].caption;
            text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
            text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
            EXPECT_EQ(recordedCaptions[i].Text, text);
        }

        // On screen every caption has its frame of four solid lines besides the lines
        // the lists hold.
        int solidRecords = 0;
        int dottedRecords = 0;
        for (int16_t i = 0; i < draw().line_cnt; ++i)
            (draw().line_buf[static_cast<size_t>(i)].Style == 1 ? solidRecords : dottedRecords) += 1;
        EXPECT_EQ(dottedRecords, static_cast<int>(dotted.size()));
        EXPECT_EQ(solidRecords + 4 * static_cast<int>(captions.size()), static_cast<int>(solid.size()));
    }

    // The export picture of the chart's measured size, drawn once.
    void checkExport(int16_t tree)
    {
        drawPass(tree, originX(), originY(), drawing::MeasuringPass);
        const double width = draw().Chart_MaxX + 3 * metrics().margin_x;
        const double height = draw().Chart_MaxY + 3 * metrics().margin_y;
        recordTree(tree, originX(), originY());
        const std::vector<drawing::TextRec> names(draw().text_buf.begin(), draw().text_buf.end() - 1);
        const std::vector<drawing::BoxRec> records(draw().box_buf.begin(), draw().box_buf.end() - 1);

        forms::ExportCanvas canvas;
        canvas.setSize(width, height);
        canvas.cls();
        drawing::setExportCanvas(&canvas);
        draw().Draw_ForOutput = -1;
        drawPass(tree, originX(), originY(), drawing::DrawingPass);
        draw().Draw_ForOutput = 0;
        drawing::setExportCanvas(nullptr);
        EXPECT_EQ(canvas.widthPixels(), forms::twipsToPixels(width));
        EXPECT_EQ(canvas.heightPixels(), forms::twipsToPixels(height));

        // Ink inside every name box, and the couple marks in their colours.
        for (const drawing::TextRec& t : names) {
            if (t.PerIdx == 0)
                continue;
            int ink = 0;
            for (double y = t.Y + 15; y < t.Y + t.BoxH; y += 15) {
                for (double x = t.X + 15; x < t.X + t.BoxW; x += 15)
                    ink += canvas.point(x + 7, y + 7) != White ? 1 : 0;
            }
            EXPECT_GT(ink, 10) << "person " << t.PerIdx;
        }
        for (const drawing::BoxRec& b : records) {
            if (b.MarkF == -1) {
                EXPECT_EQ(canvas.point((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2), b.Color);
            }
        }
        // Nothing is drawn right of the extent.
        for (int px = forms::twipsToPixels(draw().Chart_MaxX + 30); px < canvas.widthPixels(); ++px) {
            for (int py = 0; py < canvas.heightPixels(); ++py)
                ASSERT_EQ(canvas.point(px * 15 + 7, py * 15 + 7), White) << "ink at pixel " << px << "," << py;
        }

        if (GetParam().picture && tree == 0)
            savePictures(canvas, GetParam().picture);
    }

    void savePictures(const forms::ExportCanvas& canvas, const std::string& stem)
    {
        EXPECT_TRUE(drawing_test::keepForALook(drawing_test::pictureOf(canvas), stem));
        // The same tree on the chart canvas, as the screen shows it.
        layout::Unload_ChartCtl();
        drawPass(0, originX(), originY(), drawing::DrawingPass);
        const forms::PixelRect area{0, 0, forms::twipsToPixels(canvas.width()), forms::twipsToPixels(canvas.height())};
        EXPECT_TRUE(drawing_test::keepForALook(drawing_test::pictureOf(form.rendered(area)), stem + "-screen"));
    }
};

TEST_P(ChartInvariants, EveryTreeIsDrawnConsistentlyOnAllThreeOutputs)
{
    const int16_t trees = layout::chart().tree_cnt;
    ASSERT_GE(trees, 1);
    std::map<int16_t, int> timesShown;
    for (int16_t tree = 0; tree < trees; ++tree) {
        SCOPED_TRACE("tree " + std::to_string(tree));
        checkScreen(tree, timesShown);
        checkLists(tree);
        checkExport(tree);
    }
    for (int16_t p = 1; p <= family.persons(); ++p)
        EXPECT_GE(timesShown[p], 1) << "person " << p << " is on no tree";
}

INSTANTIATE_TEST_SUITE_P(
    Families, ChartInvariants,
    ::testing::Values(ChartCase{"ThreeGenerations", threeGenerations, 0, 0, "three-generations"},
                      ChartCase{"ThreeGenerationsVertical", threeGenerations, 1, 0, "three-generations-vertical"},
                      ChartCase{"ThreeGenerationsIcons", threeGenerations, 0, 1, nullptr},
                      ChartCase{"HusbandsRelation", husbandsRelation, 0, 0, "husbands-relation"},
                      ChartCase{"HusbandsRelationIcons", husbandsRelation, 0, 1, nullptr},
                      ChartCase{"AdoptiveHusband", adoptiveHusband, 0, 0, nullptr},
                      ChartCase{"AdoptiveHusbandVertical", adoptiveHusband, 1, 0, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

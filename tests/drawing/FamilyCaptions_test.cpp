// Child lines and family captions: the adoption label in a child's parent line, the
// "へ" caption of a reference cell, the "より" caption of a spouse, and the search of
// the nearby generations that finds them.

#include "ChartDrawFixture.h"

#include "drawing/FamilyCaptions.h"
#include "model/settings.h"
#include "model/tables.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

using drawing_test::ChartDrawFixture;
using drawing_test::Element;

class FamilyCaptionsTest : public ChartDrawFixture {
protected:
    static model::marry_data& kou(int k) { return model::tables().kou_buf[static_cast<size_t>(k)]; }
    static model::personal_data& per(int p) { return model::tables().per_buf[static_cast<size_t>(p)]; }
    static layout::cell_rec& cell(int row, int col)
    {
        return layout::chart().cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
    }

    static std::optional<drawing::TextRec> captionRecord(const std::string& text)
    {
        for (int16_t i = 0; i < draw().text_cnt; ++i) {
            if (draw().text_buf[static_cast<size_t>(i)].Text == text)
                return draw().text_buf[static_cast<size_t>(i)];
        }
        return std::nullopt;
    }

    static bool hasLine(double x1, double y1, double x2, double y2)
    {
        for (int16_t i = 0; i < draw().line_cnt; ++i) {
            const drawing::LineRec& l = draw().line_buf[static_cast<size_t>(i)];
            if (std::abs(l.X1 - x1) < 1e-6 && std::abs(l.Y1 - y1) < 1e-6 && std::abs(l.X2 - x2) < 1e-6
                && std::abs(l.Y2 - y2) < 1e-6)
                return true;
        }
        return false;
    }

    // Grandparents 1+2 (marriage 1) with son 3 and daughter 4; the son married 5
    // (marriage 2); the daughter married 8 (marriage 3) and stands under her parents
    // as a reference, her couple starting tree 1.
    void threeGenerations()
    {
        for (const int16_t sex : {Male, Female, Male, Female, Female, Male, Female, Male, Male})
            family.person(sex);
        const int16_t m1 = family.marry(1, 2);
        family.child(m1, 3);
        family.child(m1, 4);
        const int16_t m2 = family.marry(3, 5);
        family.child(m2, 6);
        family.child(m2, 7);
        const int16_t m3 = family.marry(8, 4);
        family.child(m3, 9);
        kou(m1).kou_title = "山田家";
        kou(m2).kou_title = "山田本家";
        kou(m3).kou_title = "鈴木家";
        layouttest::layOut(m2);
    }
};

struct LabelGeometry {
    const char* name;
    int16_t writeState;
    double labelBelowBar;  // the label's top, below the parents' sibling bar
};

class AdoptionLabelGeometry : public FamilyCaptionsTest, public ::testing::WithParamInterface<LabelGeometry> {};

TEST_P(AdoptionLabelGeometry, LabelSitsInTheParentLineBetweenBarAndBox)
{
    const LabelGeometry& c = GetParam();
    model::settings().write_state = c.writeState;
    const int16_t parents = family.couple();
    family.child(parents, family.person(Male), 2);
    layouttest::layOut(parents);
    const layout::ChartState& m = metrics();

    recordTree(0, 0, 0);
    const auto label = captionRecord("養子");
    ASSERT_TRUE(label.has_value());
    const double childY = m.gen_step;
    const double bar = childY - m.gen_gap_b;
    const double lineX = label->X + m.label_dx / 2;
    EXPECT_NEAR(label->Y, bar + c.labelBelowBar, 1e-9);
    // Bar down to the label, label down to the box, and along the bar to the parents.
    EXPECT_TRUE(hasLine(lineX, bar + c.labelBelowBar, lineX, bar));
    EXPECT_TRUE(hasLine(lineX, bar + c.labelBelowBar + m.label_dy, lineX, childY));
}

INSTANTIATE_TEST_SUITE_P(Directions, AdoptionLabelGeometry,
                         ::testing::Values(LabelGeometry{"Horizontal", 0, 81.6}, LabelGeometry{"Vertical", 1, 91.8}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LabelText {
    const char* name;
    int16_t person;   // 1 son, 2 daughter, 3 child of the relation of 4 and 5, 6 no one's child
    int16_t adopted;
    const char* expected;
};

class AdoptionLabelText : public FamilyCaptionsTest, public ::testing::WithParamInterface<LabelText> {};

TEST_P(AdoptionLabelText, LabelNamesTheAdoptionOrTheRelationsParents)
{
    family.person(Male);
    family.person(Female);
    family.person(Male);
    per(family.person(Male)).Name = "一郎";
    per(family.person(Female)).Name = "花子";
    family.person(Male);
    const int16_t earlier = family.marry(1, 2, 1);
    family.child(earlier, 3);
    const int16_t later = family.marry(4, 5, 1);
    family.child(later, 3);
    draw().Label_Text = "前の見出し";
    drawing::resetDrawingLists();
    draw().Draw_ToBuf = -1;
    draw().Draw_Enable = drawing::DrawingPass;

    drawing::Draw_AdoptLabel(1, 1000, 3000, 500, 2000, GetParam().person, GetParam().adopted);
    ASSERT_EQ(draw().text_cnt, 1);
    EXPECT_EQ(draw().text_buf[0].Text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, AdoptionLabelText,
                         ::testing::Values(LabelText{"AdoptedSon", 1, 1, "養子"}, LabelText{"AdoptedDaughter", 2, 1, "養女"},
                                           LabelText{"AdoptedUnknownPerson", -1, 1, "養子"},
                                           LabelText{"ChildOfTheLastRelation", 3, 0, "一郎と花子の子"},
                                           LabelText{"ChildOfNoRelation", 6, 0, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

class TakenOverChildLabel : public FamilyCaptionsTest, public ::testing::WithParamInterface<layouttest::Mirror> {};

TEST_P(TakenOverChildLabel, ChildTakenOverFromTheHusbandsRelationIsLabelledWithItsParents)
{
    // Man 1 married to 2 with a relation to 4; the relation's child 5 stands under
    // the main marriage (children of all marriages together). The mirrored layout
    // puts the husband on the right and keeps the label.
    for (const int16_t sex : {Male, Female, Male, Female, Male})
        family.person(sex);
    const int16_t main = family.marry(1, 2);
    family.child(main, 3);
    const int16_t relation = family.marry(1, 4, 1, 1);
    family.child(relation, 5, 0);
    layouttest::layOut(main, GetParam());

    recordTree(0, 0, 0);
    EXPECT_TRUE(captionRecord("P1とP4の子").has_value());
}

INSTANTIATE_TEST_SUITE_P(Layouts, TakenOverChildLabel,
                         ::testing::Values(layouttest::Mirror::No, layouttest::Mirror::Yes),
                         [](const auto& info) {
                             return std::string(info.param == layouttest::Mirror::Yes ? "Mirrored" : "Plain");
                         });

TEST_F(FamilyCaptionsTest, SpouseFromAnotherFamilyOfTheChartIsCaptionedWithItAndTheSelectionStays)
{
    threeGenerations();
    model::tables().Sel_ChildKou = 2;
    model::tables().Sel_ChildSlot = 1;

    // Tree 1 holds the daughter's own couple; she came from her parents' family.
    recordTree(1, 0, 0);
    const auto from = captionRecord("山田家より");
    ASSERT_TRUE(from.has_value());
    const drawing::TextRec* wife = nullptr;
    for (const drawing::TextRec& t : draw().text_buf)
        wife = t.PerIdx == 4 ? &t : wife;
    ASSERT_NE(wife, nullptr);
    EXPECT_NEAR(from->X, wife->X + (979.2 - 612) / 2, 1e-9);
    EXPECT_NEAR(from->Y, wife->Y - 81.6 - 163.2, 1e-9);
    // Drawing does not change which child a later delete command acts on.
    EXPECT_EQ(model::tables().Sel_ChildKou, 2);
    EXPECT_EQ(model::tables().Sel_ChildSlot, 1);

    // Under her parents she stands as a reference, captioned with the family she went to.
    recordTree(0, 0, 0);
    EXPECT_TRUE(captionRecord("鈴木家へ").has_value());
}

TEST_F(FamilyCaptionsTest, UnmarriedReferenceGetsAnEmptyFramedCaption)
{
    const int16_t parents = family.couple();
    family.child(parents, family.person(Male));
    layouttest::layOut(parents);
    cell(52, 0).kodo_f = 1;
    showTree(0, 0, 0);
    // The stub below the box and the four lines of the frame, all on the caption's box.
    const double top = 1224 + 489.6 + 81.6;
    std::vector<Element> captions;
    for (const Element& label : shown("Label13")) {
        if (label.top > top)
            captions.push_back(label);
    }
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0].caption, "");
    std::size_t frameLines = 0;
    for (const Element& line : shown("Line1")) {
        const bool inFrame = std::min(line.y1, line.y2) >= top - 1e-6 && std::max(line.y1, line.y2) <= top + 163.2 + 1e-6;
        frameLines += inFrame ? 1 : 0;
    }
    EXPECT_EQ(frameLines, 4u);
}

// The search of the nearby generations, over a grid written by hand: person 7 stands
// in row 10 in a relation cell (marriage 5) and then in a main-marriage cell
// (marriage 3), in row 11 in a later relation cell (marriage 9), and as a reference
// in rows 12 (tree 4) and 13 (tree 6).
class ScanGenRowsTest : public FamilyCaptionsTest {
protected:
    void SetUp() override
    {
        FamilyCaptionsTest::SetUp();
        put(10, 0, 5, 1, -1, 0);
        put(10, 1, 3, 0, -1, 0);
        put(11, 0, 9, 1, -1, 0);
        put(12, 0, -1, 0, 1, 4);
        put(13, 0, -1, 0, 1, 6);
    }

    static void put(int row, int col, int16_t kouNo, int16_t mode, int16_t kodoF, int16_t tree)
    {
        layout::cell_rec& c = cell(row, col);
        c.per_a = 7;
        c.per_b = 8;
        c.kou_no = kouNo;
        c.cell_mode = mode;
        c.kodo_f = kodoF;
        c.tree_no = tree;
        auto& last = layout::chart().cell_last[static_cast<size_t>(row)];
        last = std::max<int16_t>(last, static_cast<int16_t>(col));
    }
};

TEST_F(ScanGenRowsTest, MainMarriageWinsOverALaterRelationAndTheSearchStopsTwoRowsDown)
{
    struct Case {
        int16_t row;
        int16_t person;
        int16_t mode;
        int16_t expected;
    };
    for (const Case& c : {Case{10, 7, 0, 3}, Case{9, 7, 0, 3}, Case{8, 7, 0, 3}, Case{7, 7, 0, -1},
                          Case{10, 7, 1, 4}, Case{11, 7, 1, 6}, Case{10, 9, 1, -1}}) {
        EXPECT_EQ(drawing::Scan_GenRows(c.row, c.person, c.mode), c.expected)
            << "row " << c.row << " person " << c.person << " mode " << c.mode;
    }
    // Without a main marriage the last relation is taken.
    cell(10, 1).cell_mode = 1;
    cell(10, 1).kou_no = 4;
    EXPECT_EQ(drawing::Scan_GenRows(10, 7, 0), 9);
}

} // namespace

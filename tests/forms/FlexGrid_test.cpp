// FlexGrid: cells and row data kept through row changes and sorts, the current
// cell and its event, hidden columns and the Qt table it shows.

#include "forms/FlexGrid.h"
#include "forms/Form.h"

#include "platform/Errors.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <string>
#include <vector>

namespace {

class GridForm : public forms::Form {
public:
    GridForm() : Form("GridForm")
    {
        tb.onRowColChange = [this] { moves.push_back(tb.row() * 100 + tb.col()); };
        tb.onAfterEdit = [this](int row, int col) { edits.push_back(row * 100 + col); };
        tb.onEnterCell = [this] { entered.push_back(tb.row() * 100 + tb.col()); };
        tb.onHideEditor = [this] { ++hides; };
        tb.onBeforeEdit = [this](int row, int col, int& cancel) {
            events.push_back("before " + std::to_string(row * 100 + col));
            cancel = cancelBefore;
            tb.setComboList(list);
        };
        tb.onValidateEdit = [this](int row, int col, int& cancel) {
            events.push_back("validate " + tb.textMatrix(row, col));
            cancel = cancelValidate;
        };
    }

    forms::FlexGrid tb{*this, "tb"};
    std::vector<int> moves;
    std::vector<int> edits;
    std::vector<int> entered;
    std::vector<std::string> events;
    int hides = 0;
    int cancelBefore = 0;
    int cancelValidate = 0;
    std::string list;

protected:
    void design() override
    {
        tb.move(0, 0, 6000, 3000);
        tb.setCols(3);
        tb.setRows(1);
    }
};

class FlexGridTest : public ::testing::Test {
protected:
    void TearDown() override { form.unload(); }

    QTableWidget* table() { return qobject_cast<QTableWidget*>(form.tb.widget()); }

    // Fills rows 1.. with (text of column 1, row data).
    void fill(const std::vector<std::pair<std::string, int>>& rows)
    {
        form.tb.setRows(static_cast<int>(rows.size()) + 1);
        for (size_t i = 0; i < rows.size(); ++i) {
            const int r = static_cast<int>(i) + 1;
            form.tb.setTextMatrix(r, 1, rows[i].first);
            form.tb.setRowData(r, rows[i].second);
        }
    }

    std::vector<std::string> column(int col)
    {
        std::vector<std::string> texts;
        for (int r = 1; r < form.tb.rows(); ++r)
            texts.push_back(form.tb.textMatrix(r, col));
        return texts;
    }

    GridForm form;
};

TEST_F(FlexGridTest, growingAndShrinkingKeepsTheCellsThatRemain)
{
    fill({{"a", 1}, {"b", 2}, {"c", 3}});
    form.tb.setRows(2);
    EXPECT_EQ(form.tb.textMatrix(1, 1), "a");
    EXPECT_EQ(form.tb.rowData(1), 1);
    form.tb.setRows(3);
    EXPECT_EQ(form.tb.textMatrix(2, 1), "") << "a regrown row starts empty";
    EXPECT_EQ(form.tb.rowData(2), 0);
    ASSERT_NE(table(), nullptr);
    EXPECT_EQ(table()->rowCount(), 3);
}

TEST_F(FlexGridTest, cellsOutsideTheGridRaise381)
{
    form.tb.setRows(2);
    for (auto access : std::vector<std::function<void()>>{
             [&] { form.tb.textMatrix(2, 0); }, [&] { form.tb.setRowData(-1, 1); },
             [&] { form.tb.setCol(3); }, [&] { form.tb.rowHeight(5); }}) {
        try {
            access();
            ADD_FAILURE() << "no error raised";
        } catch (const platform::RuntimeError& error) {
            EXPECT_EQ(error.number, 381);
        }
    }
}

TEST_F(FlexGridTest, addItemSplitsAtTabsAndKeepsTheCurrentRow)
{
    fill({{"a", 1}});
    form.tb.setRow(1);
    form.tb.addItem("x\ty\tz\textra");
    EXPECT_EQ(form.tb.rows(), 3);
    EXPECT_EQ(form.tb.textMatrix(2, 0), "x");
    EXPECT_EQ(form.tb.textMatrix(2, 2), "z") << "text past the last column is dropped";
    form.tb.addItem(" ", 1);
    EXPECT_EQ(form.tb.textMatrix(1, 0), " ");
    EXPECT_EQ(form.tb.row(), 2) << "the current row follows its person";
    EXPECT_EQ(form.tb.textMatrix(form.tb.row(), 1), "a");
}

TEST_F(FlexGridTest, removeItemDropsTheRowAndRefusesTheHeader)
{
    fill({{"a", 1}, {"b", 2}, {"c", 3}});
    form.tb.setRow(3);
    form.tb.removeItem(3);
    EXPECT_EQ(column(1), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(form.tb.row(), 2) << "the current row stays inside the grid";
    EXPECT_THROW(form.tb.removeItem(0), platform::RuntimeError);
    EXPECT_EQ(table()->rowCount(), 3);
}

struct SortCase {
    const char* name;
    int code;
    std::vector<std::string> texts;
    std::vector<std::string> sorted;
    friend std::ostream& operator<<(std::ostream& out, const SortCase& c) { return out << c.name; }
};

class FlexGridSortTest : public FlexGridTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(FlexGridSortTest, sortsByTheCurrentColumnCarryingRowData)
{
    const SortCase& c = GetParam();
    std::vector<std::pair<std::string, int>> rows;
    for (size_t i = 0; i < c.texts.size(); ++i)
        rows.push_back({c.texts[i], static_cast<int>(i) + 10});
    fill(rows);
    form.tb.setCol(1);
    form.tb.sort(c.code);
    EXPECT_EQ(column(1), c.sorted);
    EXPECT_EQ(form.tb.textMatrix(0, 1), "") << "the header row never moves";
    // Every row keeps the data it was given with its text.
    for (int r = 1; r < form.tb.rows(); ++r) {
        const int data = form.tb.rowData(r);
        EXPECT_EQ(form.tb.textMatrix(r, 1), c.texts[static_cast<size_t>(data - 10)]);
        EXPECT_EQ(table()->item(r, 1)->text().toStdString(), form.tb.textMatrix(r, 1)) << "the table shows the sorted cells";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FlexGridSortTest,
    ::testing::Values(
        SortCase{"numbersByValue", forms::flexSortGenericAscending, {"10", "9", "100"}, {"9", "10", "100"}},
        SortCase{"numbersBeforeText", forms::flexSortGenericAscending, {"b", "3", "a"}, {"3", "a", "b"}},
        SortCase{"descending", forms::flexSortGenericDescending, {"1985/01/02", "2001/03/04", "1970/05/06"},
                 {"2001/03/04", "1985/01/02", "1970/05/06"}},
        SortCase{"kanaAfterLatin", forms::flexSortGenericAscending, {"やまだ", "Abe", "abc"}, {"abc", "Abe", "やまだ"}},
        SortCase{"noneLeavesTheOrder", forms::flexSortNone, {"c", "a", "b"}, {"c", "a", "b"}}),
    [](const ::testing::TestParamInfo<SortCase>& info) { return std::string(info.param.name); });

TEST_F(FlexGridTest, movingTheCurrentCellRaisesRowColChangeOncePerMove)
{
    fill({{"a", 1}, {"b", 2}});
    form.show();
    form.moves.clear();
    form.tb.setRow(2);
    form.tb.setRow(2);
    form.tb.setCol(1);
    EXPECT_EQ(form.moves, (std::vector<int>{200, 201}));
    EXPECT_EQ(table()->currentRow(), 2);
    EXPECT_EQ(table()->currentColumn(), 1);
}

TEST_F(FlexGridTest, aUserClickMovesTheCurrentCell)
{
    fill({{"a", 1}, {"b", 2}});
    form.show();
    form.moves.clear();
    const QRect cell = table()->visualRect(table()->model()->index(2, 2));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(form.tb.row(), 2);
    EXPECT_EQ(form.tb.col(), 2);
    EXPECT_EQ(form.moves, (std::vector<int>{202}));
}

TEST_F(FlexGridTest, aColumnOfWidthZeroIsHiddenAndComesBackWithItsWidth)
{
    form.tb.setColWidth(1, 0);
    EXPECT_TRUE(table()->isColumnHidden(1));
    form.tb.setColWidth(1, 1500);
    EXPECT_FALSE(table()->isColumnHidden(1));
    EXPECT_EQ(table()->columnWidth(1), 100) << "15 twips per pixel";
    EXPECT_EQ(form.tb.colWidth(1), 1500);
}

TEST_F(FlexGridTest, anInPlaceEditStoresTheTextAndRaisesAfterEdit)
{
    fill({{"a", 1}});
    form.tb.setEditable(forms::flexEDKbdMouse);
    form.show();
    // The table's item changing is what an in-place editor's commit does.
    table()->item(1, 2)->setText(QString::fromUtf8("新"));
    EXPECT_EQ(form.tb.textMatrix(1, 2), "新");
    EXPECT_EQ(form.edits, (std::vector<int>{102}));
    form.tb.setTextMatrix(1, 2, "code");
    EXPECT_EQ(form.edits.size(), 1u) << "a change by code raises no AfterEdit";
}

TEST_F(FlexGridTest, enterCellFollowsEveryMoveOfTheCurrentCell)
{
    fill({{"a", 1}, {"b", 2}});
    form.show();
    form.entered.clear();
    form.tb.setRow(2);
    form.tb.setCol(2);
    EXPECT_EQ(form.entered, (std::vector<int>{200, 202}));
}

TEST_F(FlexGridTest, editCellWithAListOffersItsItemsAndAChoiceRunsValidateThenAfterEdit)
{
    fill({{"男", 1}});
    form.show();
    form.list = "男|女";
    form.tb.setRow(1);
    form.tb.setCol(1);
    form.tb.editCell();
    ASSERT_TRUE(form.tb.isListEditing());

    form.cancelValidate = 1;
    form.tb.chooseListItem(1);
    EXPECT_TRUE(form.tb.isListEditing()) << "a cancelled validation keeps the editor";
    EXPECT_EQ(form.tb.textMatrix(1, 1), "男");
    EXPECT_TRUE(form.edits.empty());

    form.cancelValidate = 0;
    form.tb.chooseListItem(1);
    EXPECT_FALSE(form.tb.isListEditing());
    EXPECT_EQ(form.tb.textMatrix(1, 1), "女");
    EXPECT_EQ(form.events, (std::vector<std::string>{"before 101", "validate 男", "validate 男"}));
    EXPECT_EQ(form.edits, (std::vector<int>{101}));
}

TEST_F(FlexGridTest, aCancelledBeforeEditOpensNoEditorAndTheHeaderIsNeverEdited)
{
    fill({{"a", 1}});
    form.show();
    form.list = "x|y";
    form.cancelBefore = 1;
    form.tb.setRow(1);
    form.tb.editCell();
    EXPECT_FALSE(form.tb.isListEditing());
    form.cancelBefore = 0;
    form.tb.setRow(0);
    form.tb.editCell();
    EXPECT_FALSE(form.tb.isListEditing());
    EXPECT_EQ(form.events, (std::vector<std::string>{"before 100"}));
}

TEST_F(FlexGridTest, movingTheCurrentCellClosesAnOpenListEditorWithoutStoring)
{
    fill({{"a", 1}, {"b", 2}});
    form.show();
    form.list = "x|y";
    form.tb.setRow(1);
    form.tb.setCol(1);
    form.tb.editCell();
    ASSERT_TRUE(form.tb.isListEditing());
    form.tb.setRow(2);
    EXPECT_FALSE(form.tb.isListEditing());
    EXPECT_EQ(form.tb.textMatrix(1, 1), "a");
    EXPECT_TRUE(form.edits.empty());
}

TEST_F(FlexGridTest, theMouseCellAndTheCellRectangleMatchTheTable)
{
    fill({{"a", 1}, {"b", 2}});
    form.tb.setColWidth(0, 600);
    form.tb.setColWidth(1, 1500);
    form.show();
    EXPECT_EQ(form.tb.mouseRow(), -1) << "no mouse event yet";
    const QRect cell = table()->visualRect(table()->model()->index(2, 1));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(form.tb.mouseRow(), 2);
    EXPECT_EQ(form.tb.mouseCol(), 1);
    EXPECT_EQ(form.tb.cellWidth(), 1500);
    const double viewportLeft = table()->viewport()->x() * 15.0;
    EXPECT_GE(viewportLeft, 600) << "the fixed column 0 lies left of the scrolled cells";
    EXPECT_EQ(form.tb.cellLeft(), viewportLeft) << "the cell starts right after column 0";
    EXPECT_EQ(form.tb.cellTop(), (table()->viewport()->y() + table()->rowViewportPosition(2)) * 15.0);
    EXPECT_EQ(form.tb.rightCol(), 2) << "every column fits";
}

class WideGridTest : public FlexGridTest {
protected:
    // Twelve columns of 1500 twips (the grid is 6000 wide) and 60 rows; column 0
    // holds the row marker, row 0 the headers.
    void SetUp() override
    {
        form.tb.setCols(12);
        for (int c = 0; c < 12; ++c) {
            form.tb.setColWidth(c, c == 0 ? 300 : 1500);
            form.tb.setTextMatrix(0, c, "h" + std::to_string(c));
        }
        std::vector<std::pair<std::string, int>> rows;
        for (int i = 0; i < 60; ++i)
            rows.push_back({"r" + std::to_string(i + 1), i + 1});
        fill(rows);
        form.tb.setTextMatrix(40, 0, "*");
        form.show();
    }

    QString header(Qt::Orientation orientation, int section)
    {
        return table()->model()->headerData(section, orientation).toString();
    }
};

TEST_F(WideGridTest, theLeftColumnScrollsByWholeColumnsAndIsReadBack)
{
    form.tb.setLeftCol(5);
    EXPECT_EQ(form.tb.leftCol(), 5);
    EXPECT_EQ(table()->columnViewportPosition(5), 0) << "column 5 starts at the left edge";
    form.tb.setLeftCol(1);
    EXPECT_EQ(form.tb.leftCol(), 1);
    EXPECT_EQ(table()->columnViewportPosition(1), 0);

    // Hidden columns take no place in the count.
    form.tb.setColWidth(2, 0);
    form.tb.setColWidth(3, 0);
    form.tb.setLeftCol(4);
    EXPECT_EQ(form.tb.leftCol(), 4);
    EXPECT_EQ(table()->columnViewportPosition(4), 0);

    // A move of the current cell that scrolls is what leftCol reports next.
    form.tb.setLeftCol(1);
    form.tb.setRow(1);
    form.tb.setCol(11);
    EXPECT_GT(form.tb.leftCol(), 1);
    EXPECT_GE(table()->columnViewportPosition(11), 0);
    EXPECT_LE(table()->columnViewportPosition(11) + table()->columnWidth(11), table()->viewport()->width());
}

TEST_F(WideGridTest, theFixedRowAndColumnStayInPlaceWhileTheCellsScroll)
{
    QHeaderView* top = table()->horizontalHeader();
    QHeaderView* left = table()->verticalHeader();
    form.tb.setTopRow(40);
    form.tb.setLeftCol(6);
    EXPECT_EQ(form.tb.leftCol(), 6);
    ASSERT_TRUE(top->isVisible());
    ASSERT_TRUE(left->isVisible());
    EXPECT_LE(top->geometry().bottom(), table()->viewport()->geometry().top()) << "row 0 lies above the cells";
    EXPECT_LE(left->geometry().right(), table()->viewport()->geometry().left()) << "column 0 lies left of them";
    EXPECT_EQ(top->logicalIndexAt(0), 6);
    EXPECT_EQ(header(Qt::Horizontal, 6), QStringLiteral("h6"));
    EXPECT_EQ(left->logicalIndexAt(0), 40);
    EXPECT_EQ(header(Qt::Vertical, 40), QStringLiteral("*"));
    EXPECT_TRUE(table()->isRowHidden(0) && table()->isColumnHidden(0)) << "not among the scrolled cells as well";

    // A header change shows at once.
    form.tb.setTextMatrix(0, 6, "changed");
    EXPECT_EQ(header(Qt::Horizontal, 6), QStringLiteral("changed"));

    // A click on the fixed row is the grid's click on row 0.
    form.tb.setRow(45);
    form.tb.setCol(6);
    int ups = 0;
    form.tb.onMouseUp = [&](int, int, double, double) { ++ups; };
    const QPoint onColumn7(top->sectionViewportPosition(7) + top->sectionSize(7) / 2, top->height() / 2);
    QTest::mouseClick(top->viewport(), Qt::RightButton, Qt::NoModifier, onColumn7);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(form.tb.mouseRow(), 0);
    EXPECT_EQ(form.tb.mouseCol(), 7);
    const QPoint onRow41(left->width() / 2, left->sectionViewportPosition(41) + left->sectionSize(41) / 2);
    QTest::mouseClick(left->viewport(), Qt::LeftButton, Qt::NoModifier, onRow41);
    EXPECT_EQ(form.tb.mouseRow(), 41);
    EXPECT_EQ(form.tb.mouseCol(), 0);
    EXPECT_EQ(form.tb.row(), 45) << "a click on the fixed cells selects nothing";
    EXPECT_EQ(form.tb.col(), 6);
}

TEST_F(FlexGridTest, onlyAScrollByTheUserRaisesHideEditor)
{
    std::vector<std::pair<std::string, int>> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back({"r" + std::to_string(i), i + 1});
    fill(rows);
    form.show();
    form.tb.setTopRow(30);
    EXPECT_EQ(form.hides, 0) << "a scroll by code hides nothing";
    table()->verticalScrollBar()->setValue(0);
    EXPECT_EQ(form.hides, 1);
}

// The wheel scrolls the rows, Shift+wheel the columns, as over the chart.
TEST_F(FlexGridTest, shiftWheelScrollsAcross)
{
    form.tb.setCols(30);
    std::vector<std::pair<std::string, int>> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back({"r" + std::to_string(i), i + 1});
    fill(rows);
    form.show();
    QWidget* cells = table()->viewport();
    const QPointF middle(cells->width() / 2.0, cells->height() / 2.0);
    auto turn = [&](Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(middle, cells->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(cells, &event);
    };
    turn(Qt::ShiftModifier);
    EXPECT_GT(table()->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(table()->verticalScrollBar()->value(), 0);
    turn(Qt::NoModifier);
    EXPECT_GT(table()->verticalScrollBar()->value(), 0);
}

TEST_F(FlexGridTest, reloadingTheWindowStartsFromTheDesign)
{
    fill({{"a", 1}, {"b", 2}});
    form.unload();
    EXPECT_EQ(form.tb.rows(), 1);
    EXPECT_EQ(form.tb.cols(), 3);
}

} // namespace

// ListView: 1-based items and column headers, sub-items, tags, selection by
// code and by the user, column clicks, sorting and label editing, checked
// against the widget the user sees.

#include "forms/Form.h"
#include "forms/ListView.h"

#include "platform/Errors.h"

#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::RuntimeError& error) {
        return error.number;
    }
    return 0;
}

class ListViewForm : public forms::Form {
public:
    ListViewForm() : Form("ListViewForm")
    {
        lstv.onClick = [this] { log.push_back("Click"); };
        lstv.onItemClick = [this](int item) { log.push_back("ItemClick " + std::to_string(item)); };
        lstv.onColumnClick = [this](int column) { log.push_back("ColumnClick " + std::to_string(column)); };
    }

    forms::ListView lstv{*this, "lstv"};
    std::vector<std::string> log;

    QTreeWidget* tree() const { return static_cast<QTreeWidget*>(lstv.widget()); }

    // Three columns and the rows given as {text, sub-item 1, sub-item 2}.
    void fill(const std::vector<std::vector<std::string>>& rows)
    {
        lstv.setView(forms::lvwReport);
        lstv.columnHeaders().add(0, "", "名前", 1500);
        lstv.columnHeaders().add(0, "", "男", 1500);
        lstv.columnHeaders().add(0, "", "女", 1500);
        for (const auto& row : rows) {
            forms::ListViewItem item = lstv.listItems().add(0, "", row[0]);
            item.setSubItem(1, row[1]);
            item.setSubItem(2, row[2]);
        }
    }

    std::vector<std::string> shownColumn(int column) const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i)
            texts.push_back(tree()->topLevelItem(i)->text(column).toStdString());
        return texts;
    }

protected:
    void design() override
    {
        move(0, 0, 9000, 6000);
        lstv.move(0, 0, 6000, 4000);
    }
};

TEST(ListView, ItemsAndHeadersAreOneBasedAndShownInReportView)
{
    ListViewForm form;
    form.show();
    form.fill({{"a", "x", "y"}, {"b", "p", "q"}});

    EXPECT_EQ(form.lstv.listItems().count(), 2);
    EXPECT_EQ(form.lstv.listItems().item(2).text(), "b");
    EXPECT_EQ(form.lstv.listItems().item(2).subItem(2), "q");
    EXPECT_EQ(form.lstv.columnHeaders().item(1).text(), "名前");
    EXPECT_DOUBLE_EQ(form.lstv.columnHeaders().item(2).width(), 1500);
    EXPECT_EQ(form.tree()->columnWidth(1), 100); // 1500 twips at 15 per pixel
    EXPECT_FALSE(form.tree()->isHeaderHidden());
    EXPECT_EQ(form.shownColumn(1), (std::vector<std::string>{"x", "p"}));

    EXPECT_EQ(errorNumberOf([&] { form.lstv.listItems().item(0); }), 35600);
    EXPECT_EQ(errorNumberOf([&] { form.lstv.listItems().item(3); }), 35600);
    // Sub-items exist for the columns after the first only.
    EXPECT_EQ(errorNumberOf([&] { form.lstv.listItems().item(1).subItem(3); }), 380);
    EXPECT_EQ(errorNumberOf([&] { form.lstv.listItems().add(0, "k", "c"); form.lstv.listItems().add(0, "k", "d"); }),
              35602);
}

TEST(ListView, ClearingHeadersLeavesNoColumnsAndHidesTheHeader)
{
    ListViewForm form;
    form.show();
    form.fill({{"a", "x", "y"}});
    form.lstv.columnHeaders().clear();
    form.lstv.listItems().clear();
    EXPECT_EQ(form.lstv.columnHeaders().count(), 0);
    EXPECT_EQ(form.lstv.listItems().count(), 0);
    EXPECT_TRUE(form.tree()->isHeaderHidden());
    EXPECT_EQ(form.lstv.selectedIndex(), 0);
    EXPECT_EQ(errorNumberOf([&] { form.lstv.selectedItem(); }), 91);
}

TEST(ListView, SelectingByCodeRaisesNothingAndFollowsRemovals)
{
    ListViewForm form;
    form.show();
    form.fill({{"a", "", ""}, {"b", "", ""}, {"c", "", ""}});
    form.lstv.listItems().item(3).setSelected(true);
    EXPECT_EQ(form.lstv.selectedIndex(), 3);
    EXPECT_EQ(form.tree()->currentItem(), form.tree()->topLevelItem(2));
    EXPECT_TRUE(form.log.empty());

    form.lstv.listItems().remove(1);
    EXPECT_EQ(form.lstv.selectedIndex(), 2);
    EXPECT_EQ(form.lstv.selectedItem().text(), "c");
    form.lstv.listItems().remove(2);
    EXPECT_EQ(form.lstv.selectedIndex(), 0);
    EXPECT_EQ(form.tree()->currentItem(), nullptr);
}

TEST(ListView, TagsStayWithTheirItems)
{
    ListViewForm form;
    form.show();
    form.fill({{"a", "", ""}, {"b", "", ""}});
    form.lstv.listItems().item(1).setTag("7");
    form.lstv.listItems().item(2).setTag("12");
    form.lstv.listItems().add(1, "", "z");
    EXPECT_EQ(form.lstv.listItems().item(2).tag(), "7");
    EXPECT_EQ(form.lstv.listItems().item(3).tag(), "12");
}

TEST(ListView, UserPickingAnItemSelectsItThenRaisesItemClickAndClick)
{
    ListViewForm form;
    form.show();
    form.fill({{"a", "", ""}, {"b", "", ""}});
    QTreeWidget* tree = form.tree();
    const QPoint second = tree->visualItemRect(tree->topLevelItem(1)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, second);
    EXPECT_EQ(form.lstv.selectedIndex(), 2);
    EXPECT_EQ(form.log, (std::vector<std::string>{"ItemClick 2", "Click"}));
}

TEST(ListView, HeaderPressRaisesColumnClickWithItsIndex)
{
    ListViewForm form;
    form.show();
    form.fill({{"a", "", ""}});
    QHeaderView* header = form.tree()->header();
    const QPoint third(header->sectionViewportPosition(2) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, third);
    EXPECT_EQ(form.log, (std::vector<std::string>{"ColumnClick 3"}));
}

TEST(ListView, SortingBySubItemReordersItemsAndKeepsTheSelection)
{
    ListViewForm form;
    form.show();
    form.fill({{"1", "山田", "b"}, {"2", "*", "c"}, {"3", "Abe", "a"}, {"4", "abe", "d"}});
    form.lstv.listItems().item(1).setSelected(true);

    form.lstv.setSortKey(1);
    form.lstv.setSorted(true);
    // "*" before letters (case folded, equal ones keep their order), letters before Japanese.
    EXPECT_EQ(form.shownColumn(0), (std::vector<std::string>{"2", "3", "4", "1"}));
    EXPECT_EQ(form.lstv.listItems().item(4).text(), "1");
    EXPECT_EQ(form.lstv.selectedIndex(), 4);
}

TEST(ListView, AddWhileSortedByTextInsertsInOrder)
{
    ListViewForm form;
    form.show();
    form.lstv.setSorted(true);
    for (const char* text : {"c", "a", "b"})
        form.lstv.listItems().add(0, "", text);
    EXPECT_EQ(form.lstv.listItems().item(1).text(), "a");
    EXPECT_EQ(form.lstv.listItems().item(3).text(), "c");
}

TEST(ListView, ManualLabelEditKeepsTheUserFromEditingTexts)
{
    ListViewForm form;
    form.show();
    form.fill({{"a", "", ""}});
    EXPECT_NE(form.tree()->editTriggers(), QAbstractItemView::NoEditTriggers);
    form.lstv.setLabelEdit(forms::lvwManual);
    EXPECT_EQ(form.tree()->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(errorNumberOf([&] { form.lstv.setLabelEdit(2); }), 380);
}

TEST(ListView, ContentSurvivesBeforeTheWindowIsShownAndAfterReload)
{
    ListViewForm form;
    form.fill({{"a", "x", "y"}}); // loads the window hidden
    form.show();
    EXPECT_EQ(form.shownColumn(2), (std::vector<std::string>{"y"}));
    form.unload();
    // A new load starts from the design state: no columns, no items.
    EXPECT_EQ(form.lstv.listItems().count(), 0);
    EXPECT_EQ(form.lstv.columnHeaders().count(), 0);
}

} // namespace

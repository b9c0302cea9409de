// Controls: list order and indexes, combo text, text box line breaks and
// selection, tab strip index rules, menus and popups, timers, scroll bars,
// labels and frames.

#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/ListOrder.h"
#include "forms/Menu.h"
#include "forms/Picture_p.h"
#include "forms/ScrollBar.h"
#include "forms/TabStrip.h"
#include "forms/Testing.h"
#include "forms/TextBox.h"
#include "forms/Timer.h"

#include "platform/Errors.h"

#include "ParamNames.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
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

class ControlsForm : public forms::Form {
public:
    ControlsForm() : Form("ControlsForm")
    {
        TabStrip1.onClick = [this] { log.push_back("TabStrip1_Click " + std::to_string(TabStrip1.selectedIndex())); };
        sortitem.onClick = [this](int index) {
            log.push_back("sortitem_Click " + std::to_string(index) + (sortitem[index].isChecked() ? " checked" : ""));
        };
        Timer1.onTimer = [this] {
            log.push_back("Timer1_Timer");
            if (nestTick)
                Timer1.tick(); // never overlaps itself
        };
        List1.onClick = [this] { log.push_back("List1_Click"); };
    }

    forms::ListBox List1{*this, "List1"};
    forms::ComboBox Combo1{*this, "Combo1"};
    forms::ComboBox Combo2{*this, "Combo2"};
    forms::TextBox Text1{*this, "Text1"};
    forms::TextBox Text2{*this, "Text2"};
    forms::TabStrip TabStrip1{*this, "TabStrip1"};
    forms::Menu sort{*this, "sort"};
    forms::ControlArray<forms::Menu> sortitem{sort, "sortitem", {0, 1, 2, 3}};
    forms::Menu submenu{sort, "submenu"};
    forms::Menu subitem{submenu, "subitem"};
    forms::Timer Timer1{*this, "Timer1"};
    forms::HScrollBar HScroll1{*this, "HScroll1"};
    forms::Label Label1{*this, "Label1"};
    forms::ControlArray<forms::Frame> frm1{*this, "frm1", {0, 1}};
    forms::CommandButton Command1{*this, "Command1"};
    std::vector<std::string> log;
    bool nestTick = false;

protected:
    void design() override
    {
        move(0, 0, 9000, 9000);
        List1.move(0, 0, 3000, 3000);
        Combo2.setStyle(forms::vbComboDropdownList);
        Text2.setMultiLine(true);
        sort.setCaption("並べ替え");
        sort.setVisible(false);
        sortitem[0].setCaption("名前順");
        sortitem[1].setCaption("-");
        sortitem[2].setCaption("年齢順");
        sortitem[2].setChecked(true);
        sortitem[3].setCaption("隠し");
        sortitem[3].setVisible(false);
        submenu.setCaption("その他");
        subitem.setCaption("詳細");
        Timer1.setInterval(30);
        Label1.move(0, 3000, 1500, 600);
        for (int i = 0; i < 2; ++i) {
            frm1[i].move(3000, 0, 3000, 3000);
            frm1[i].setCaption("page " + std::to_string(i));
        }
    }
};

// ---------------------------------------------------------------- list order

struct OrderCase {
    const char* name;
    std::vector<std::string> added;
    std::vector<std::string> expected;
};

void PrintTo(const OrderCase& c, std::ostream* out) { *out << c.name; }

class SortedList : public ::testing::TestWithParam<OrderCase> {};

TEST_P(SortedList, KeepsCp932OrderWithAsciiCaseFolded)
{
    ControlsForm form;
    form.List1.setSorted(true);
    for (const std::string& text : GetParam().added)
        form.List1.addItem(text);
    std::vector<std::string> items;
    for (int i = 0; i < form.List1.listCount(); ++i)
        items.push_back(form.List1.list(i));
    EXPECT_EQ(items, GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Orders, SortedList,
    ::testing::Values(
        OrderCase{"symbols digits letters Japanese",
                  {"山田", "b", "1", "*", "A", "ｱ", "あ"},
                  {"*", "1", "A", "b", "あ", "山田", "ｱ"}}, // half-width kana 0xB1 after lead bytes 0x82..
        OrderCase{"letters ignore case", {"beta", "Alpha", "ALPHA2", "alpha1"}, {"Alpha", "alpha1", "ALPHA2", "beta"}},
        OrderCase{"trail bytes are no letters", {"ア", "Z", "ソ"}, {"Z", "ア", "ソ"}},
        OrderCase{"underscore before letters", {"a", "_x", "Z"}, {"_x", "a", "Z"}},
        OrderCase{"kana order", {"う", "い", "あ"}, {"あ", "い", "う"}}),
    [](const ::testing::TestParamInfo<OrderCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST(ListOrder, EqualTextsCompareEqualWhateverTheirCase)
{
    EXPECT_EQ(forms::compareListText("abc", "ABC"), 0);
    EXPECT_LT(forms::compareListText("ab", "abc"), 0);
    EXPECT_GT(forms::compareListText("あ", "z"), 0);
}

TEST(ListBox, NewItemGoesAfterItsEqualsAndNewIndexSaysWhere)
{
    ControlsForm form;
    form.List1.setSorted(true);
    form.List1.addItem("b");
    form.List1.addItem("B");
    form.List1.setItemData(form.List1.newIndex(), 2);
    form.List1.addItem("a");
    EXPECT_EQ(form.List1.newIndex(), 0);
    form.List1.addItem("b");
    EXPECT_EQ(form.List1.newIndex(), 3);
    EXPECT_EQ(form.List1.list(2), "B");
    EXPECT_EQ(form.List1.itemData(2), 2);
}

TEST(ListBox, SelectionFollowsItsItemAndGoesWithIt)
{
    ControlsForm form;
    form.show();
    for (const char* text : {"a", "b", "c"})
        form.List1.addItem(text);
    form.List1.setListIndex(1);
    form.log.clear();
    form.List1.addItem("z", 0); // inserted above the selection
    EXPECT_EQ(form.List1.listIndex(), 2);
    EXPECT_EQ(form.List1.text(), "b");
    form.List1.removeItem(2); // the selected line
    EXPECT_EQ(form.List1.listIndex(), -1);
    EXPECT_EQ(form.List1.text(), "");
    auto* list = static_cast<QListWidget*>(form.List1.widget());
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_TRUE(form.log.empty());
}

TEST(ListBox, IndexErrors)
{
    ControlsForm form;
    form.List1.addItem("only");
    EXPECT_EQ(errorNumberOf([&] { form.List1.setListIndex(1); }), platform::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { form.List1.setListIndex(-2); }), platform::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { form.List1.itemData(1); }), 381);
    EXPECT_EQ(errorNumberOf([&] { form.List1.removeItem(3); }), platform::err::InvalidCall);
    EXPECT_EQ(errorNumberOf([&] { form.List1.addItem("x", 5); }), platform::err::InvalidCall);
    EXPECT_EQ(form.List1.list(7), "");
}

TEST(ListBox, UserPressOnTheSelectedLineClicksAgain)
{
    ControlsForm form;
    form.show();
    form.List1.addItem("a");
    form.List1.addItem("b");
    form.log.clear();
    auto* list = static_cast<QListWidget*>(form.List1.widget());
    const QPoint first = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    EXPECT_EQ(form.log, (std::vector<std::string>{"List1_Click", "List1_Click"}));
    EXPECT_EQ(form.List1.listIndex(), 0);
}

TEST(ListBox, UserTickingACheckBoxRaisesItemCheck)
{
    ControlsForm form;
    form.List1.setStyle(forms::vbListBoxCheckbox);
    form.List1.addItem("a");
    form.List1.addItem("b");
    form.show();
    std::vector<std::string> seen;
    form.List1.onItemCheck = [&](int item) {
        seen.push_back(std::to_string(item) + (form.List1.selected(item) ? " on" : " off"));
    };
    auto* list = static_cast<QListWidget*>(form.List1.widget());
    list->item(1)->setCheckState(Qt::Checked); // what the user's tick does inside the widget
    list->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(seen, (std::vector<std::string>{"1 on", "1 off"}));
}

TEST(ListBox, ItemHeightIsThePixelHeightOfALine)
{
    ControlsForm form;
    form.List1.addItem("行");
    const int height = form.List1.itemHeightPixels();
    EXPECT_GE(height, 10);
    EXPECT_LE(height, 40);
}

// ---------------------------------------------------------------- combo box

TEST(ComboBox, DropDownListTextMustBeAnItem)
{
    ControlsForm form;
    form.Combo2.addItem("通常");
    form.Combo2.addItem("死別");
    form.Combo2.setText("死別");
    EXPECT_EQ(form.Combo2.listIndex(), 1);
    EXPECT_EQ(errorNumberOf([&] { form.Combo2.setText("離婚"); }), 383);
    EXPECT_EQ(form.Combo2.text(), "死別");
}

TEST(ComboBox, RenamingTheChosenLineOfADropDownListRenamesText)
{
    ControlsForm form;
    form.Combo2.addItem("通常");
    form.Combo2.addItem("死別");
    form.Combo2.setListIndex(1);
    form.Combo2.setList(0, "正室"); // another line: Text stays
    EXPECT_EQ(form.Combo2.text(), "死別");
    form.Combo2.setList(1, "離婚");
    EXPECT_EQ(form.Combo2.text(), "離婚");
    EXPECT_EQ(form.Combo2.listIndex(), 1);
}

TEST(ComboBox, UserPickRaisesClickAndSetsText)
{
    ControlsForm form;
    form.Combo2.addItem("通常");
    form.Combo2.addItem("死別");
    form.show();
    form.Combo2.setListIndex(0);
    std::vector<std::string> clicks;
    form.Combo2.onClick = [&] { clicks.push_back(form.Combo2.text()); };
    QTest::keyClick(form.Combo2.widget(), Qt::Key_Down);
    QTest::keyClick(form.Combo2.widget(), Qt::Key_Down); // already the last: no change
    EXPECT_EQ(clicks, (std::vector<std::string>{"死別"})); // the picked item, inside Click
    EXPECT_EQ(form.Combo2.listIndex(), 1);
}

TEST(ComboBox, EditableTextIsFreeAndMatchesAnItemWhenEqual)
{
    ControlsForm form;
    form.Combo1.addItem("グループA");
    form.Combo1.setText("新しいグループ");
    EXPECT_EQ(form.Combo1.text(), "新しいグループ");
    EXPECT_EQ(form.Combo1.listIndex(), -1);
    form.Combo1.setText("グループA");
    EXPECT_EQ(form.Combo1.listIndex(), 0);
    EXPECT_EQ(errorNumberOf([&] { form.Combo1.setListIndex(2); }), platform::err::InvalidPropertyValue);
}

// ---------------------------------------------------------------- text box

TEST(TextBox, LineBreaksReadAsCrLf)
{
    ControlsForm form;
    form.Text2.setText("一行目\r\n二行目");
    EXPECT_EQ(form.Text2.text(), "一行目\r\n二行目");
    auto* edit = static_cast<QPlainTextEdit*>(form.Text2.widget());
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("一行目\n二行目"));
    // Edited by the user, the text still reads with CR LF.
    edit->appendPlainText(QStringLiteral("三行目"));
    EXPECT_EQ(form.Text2.text(), "一行目\r\n二行目\r\n三行目");
}

TEST(TextBox, TextSetByCodeReadsBackUnchanged)
{
    ControlsForm form;
    form.Text1.setText("a\rb\nc");
    EXPECT_EQ(form.Text1.text(), "a\rb\nc");
}

struct SelectionCase {
    const char* name;
    std::string text;
    int start;
    int length;
    int expectedStart;
    int expectedLength;
};

void PrintTo(const SelectionCase& c, std::ostream* out) { *out << c.name; }

class TextSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(TextSelection, IsClampedAndCountsCrLfAsTwo)
{
    const SelectionCase& c = GetParam();
    ControlsForm form;
    form.Text2.setText(c.text);
    form.Text2.setSelStart(c.start);
    form.Text2.setSelLength(c.length);
    EXPECT_EQ(form.Text2.selStart(), c.expectedStart) << c.name;
    EXPECT_EQ(form.Text2.selLength(), c.expectedLength) << c.name;
    form.Text1.setText(c.text);
    form.Text1.setSelStart(0);
    form.Text1.setSelLength(99);
    EXPECT_EQ(form.Text1.selLength(), static_cast<int>(QString::fromStdString(c.text).size())) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Ranges, TextSelection,
                         ::testing::Values(SelectionCase{"all with 99", "山田太郎", 0, 99, 0, 4},
                                           SelectionCase{"start past the end", "abc", 10, 2, 3, 0},
                                           SelectionCase{"after a line break", "ab\r\ncd", 4, 2, 4, 2},
                                           SelectionCase{"over a line break", "ab\r\ncd", 1, 4, 1, 4}),
                         forms_test::CaseName());

TEST(TextBox, ChangeFollowsCodeAndUserAlike)
{
    ControlsForm form;
    form.show();
    int changes = 0;
    form.Text1.onChange = [&] { ++changes; };
    form.Text1.setText("x");
    form.Text1.setText("x");
    form.Text1.setFocus();
    QTest::keyClick(form.Text1.widget(), Qt::Key_Y);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(form.Text1.text(), "xy");
}

TEST(TextBox, LockedBoxRefusesTypingButKeepsItsText)
{
    ControlsForm form;
    form.show();
    form.Text1.setText("固定");
    form.Text1.setLocked(true);
    form.Text1.setFocus();
    QTest::keyClick(form.Text1.widget(), Qt::Key_X);
    EXPECT_EQ(form.Text1.text(), "固定");
    EXPECT_TRUE(static_cast<QLineEdit*>(form.Text1.widget())->isReadOnly());
}

// The widget's answers to the input method: whether it composes, and its hints.
std::pair<bool, Qt::InputMethodHints> inputMethodAnswers(QWidget* widget)
{
    QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImHints);
    QCoreApplication::sendEvent(widget, &query);
    return {query.value(Qt::ImEnabled).toBool(), Qt::InputMethodHints(query.value(Qt::ImHints).toInt())};
}

// What a control answers the input method, by its IMEMode: whether it composes
// and what it prefers to be typed. The modes that take keys as they are say no
// whatever the widget would say; the others leave the widget's own answer.
TEST(TextBox, ImeModeAnswersTheInputMethodInEveryTypingControl)
{
    struct Answer {
        int mode;
        bool composes;
        Qt::InputMethodHints hints;
    };
    const Answer answers[] = {{forms::vbIMENoOp, true, {}},
                              {forms::vbIMEOn, true, {}},
                              {forms::vbIMEOff, false, Qt::ImhLatinOnly},
                              {forms::vbIMEDisable, false, Qt::ImhLatinOnly},
                              {forms::vbIMEHiragana, true, {}},
                              {forms::vbIMEAlphaFull, true, Qt::ImhPreferLatin},
                              {forms::vbIMEAlpha, false, Qt::ImhLatinOnly}};
    ControlsForm form;
    form.Text2.setMultiLine(true);
    for (const Answer& expected : answers) {
        form.Text1.setIMEMode(expected.mode);
        form.Text2.setIMEMode(expected.mode);
        form.Combo1.setIMEMode(expected.mode);
        for (const forms::Control* control : std::vector<const forms::Control*>{&form.Text1, &form.Text2, &form.Combo1}) {
            const auto [composes, hints] = inputMethodAnswers(control->widget());
            EXPECT_EQ(composes, expected.composes) << control->name() << " " << expected.mode;
            EXPECT_EQ(hints & (Qt::ImhLatinOnly | Qt::ImhPreferLatin), expected.hints)
                << control->name() << " " << expected.mode;
        }
    }
}

TEST(TextBox, MultiLineSurvivesReloadAsDesigned)
{
    ControlsForm form;
    form.Text2.setText("memo");
    form.unload();
    EXPECT_TRUE(form.Text2.multiLine());
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(form.Text2.widget()), nullptr);
    EXPECT_EQ(form.Text2.text(), "");
}

// ---------------------------------------------------------------- tab strip

TEST(TabStrip, AddAndRemoveKeepTheSelectedNumberWithoutClick)
{
    ControlsForm form;
    form.show();
    auto& tabs = form.TabStrip1.tabs();
    for (const char* caption : {"A", "B", "C"})
        tabs.add(0, "", caption);
    EXPECT_EQ(form.TabStrip1.selectedIndex(), 1);
    tabs.item(3).setSelected(true);
    form.log.clear();

    tabs.remove(1); // the selected tab moves down, the number stays (clamped)
    EXPECT_EQ(form.TabStrip1.selectedIndex(), 2);
    tabs.add(1, "", "new first");
    EXPECT_EQ(form.TabStrip1.selectedIndex(), 2);
    tabs.remove(3);
    tabs.remove(2);
    EXPECT_EQ(form.TabStrip1.selectedIndex(), 1);
    EXPECT_TRUE(form.log.empty());
    auto* bar = static_cast<QTabBar*>(form.TabStrip1.widget());
    EXPECT_EQ(bar->currentIndex(), 0);
    EXPECT_EQ(tabs.count(), 1);
    EXPECT_EQ(tabs.item(1).caption(), "new first");
}

// A run of tabs replaced at once ends as the same removals and additions one by
// one would leave the strip, its selection and its tab bar, without a click.
TEST(TabStrip, ReplacingARunOfTabsEndsAsRemovingAndAddingThemOneByOne)
{
    struct Case {
        std::vector<std::string> before;
        int selected;
        int first;
        int removed;
        std::vector<std::string> captions;
    };
    const std::vector<Case> cases = {
        {{"A", "B", "C", "", "all"}, 5, 1, 3, {"A", "X", "C"}},      // same count, one caption changes
        {{"A", "B", "C", "", "all"}, 4, 1, 3, {"A"}},                // fewer
        {{"A", "", "all"}, 3, 1, 1, {"A", "B", "C", "D"}},           // more
        {{"", "all"}, 2, 1, 0, {"A", "B"}},                          // none before
        {{"A", "B", "", "all"}, 1, 2, 1, {}},                        // removal only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before.size() * 100 + c.captions.size());
        ControlsForm stepwise;
        ControlsForm atOnce;
        for (ControlsForm* form : {&stepwise, &atOnce}) {
            form->show();
            for (const std::string& caption : c.before)
                form->TabStrip1.tabs().add(0, "", caption);
            form->TabStrip1.tabs().item(c.selected).setSelected(true);
            form->log.clear();
        }
        for (int i = 0; i < c.removed; ++i)
            stepwise.TabStrip1.tabs().remove(c.first);
        for (size_t i = 0; i < c.captions.size(); ++i)
            stepwise.TabStrip1.tabs().add(c.first + static_cast<int>(i), "", c.captions[i]);
        atOnce.TabStrip1.tabs().replace(c.first, c.removed, c.captions);

        auto& tabs = atOnce.TabStrip1.tabs();
        ASSERT_EQ(tabs.count(), stepwise.TabStrip1.tabs().count());
        EXPECT_EQ(atOnce.TabStrip1.selectedIndex(), stepwise.TabStrip1.selectedIndex());
        auto* bar = static_cast<QTabBar*>(atOnce.TabStrip1.widget());
        auto* stepBar = static_cast<QTabBar*>(stepwise.TabStrip1.widget());
        ASSERT_EQ(bar->count(), tabs.count());
        EXPECT_EQ(bar->currentIndex(), stepBar->currentIndex());
        for (int i = 1; i <= tabs.count(); ++i) {
            EXPECT_EQ(tabs.item(i).caption(), stepwise.TabStrip1.tabs().item(i).caption()) << "tab " << i;
            EXPECT_EQ(bar->tabText(i - 1), stepBar->tabText(i - 1)) << "tab " << i;
        }
        EXPECT_TRUE(atOnce.log.empty());
    }
    ControlsForm form;
    form.TabStrip1.tabs().add(0, "", "A");
    EXPECT_EQ(errorNumberOf([&] { form.TabStrip1.tabs().replace(1, 2, {}); }), 35600);
}

TEST(TabStrip, KeysAreUniqueAndIndexesChecked)
{
    ControlsForm form;
    auto& tabs = form.TabStrip1.tabs();
    tabs.add(0, "card", "カード");
    tabs.add(0, "", "");
    tabs.add(0, "", "");
    tabs.add(0, "table", "一覧");
    EXPECT_EQ(errorNumberOf([&] { tabs.add(0, "card", "x"); }), 35602);
    EXPECT_EQ(errorNumberOf([&] { tabs.item(5); }), 35600);
    EXPECT_EQ(errorNumberOf([&] { tabs.add(7, "", "x"); }), 35600);
    EXPECT_EQ(tabs.item("table").index(), 4);
    tabs.item(2).setCaption("二");
    EXPECT_EQ(tabs.item(2).caption(), "二");
    tabs.clear();
    EXPECT_EQ(errorNumberOf([&] { form.TabStrip1.selectedItem(); }), 91);
}

TEST(TabStrip, UserSelectionClicksOncePerChange)
{
    ControlsForm form;
    form.show();
    for (const char* caption : {"A", "B"})
        form.TabStrip1.tabs().add(0, "", caption);
    form.log.clear();
    auto* bar = static_cast<QTabBar*>(form.TabStrip1.widget());
    const QPoint second = bar->tabRect(1).center();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, second);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, second);
    EXPECT_EQ(form.log, (std::vector<std::string>{"TabStrip1_Click 2"}));
}

// ---------------------------------------------------------------- menus

TEST(Menus, PopupRunsTheChosenItemsClickBeforeReturning)
{
    ControlsForm form;
    form.show();
    std::vector<std::string> offered;
    forms::setPopupResponder([&](forms::Menu& popup) -> forms::Menu* {
        for (forms::Menu* item : popup.items()) {
            if (item->isVisible())
                offered.push_back(item->isSeparator() ? "---" : item->caption() + (item->isChecked() ? " *" : ""));
        }
        return &form.sortitem[2];
    });
    form.popupMenu(form.sort, forms::vbPopupMenuRightButton);
    form.log.push_back("PopupMenu returned");
    EXPECT_EQ(offered, (std::vector<std::string>{"名前順", "---", "年齢順 *", "その他"}));
    // Choosing does not toggle the check mark; the handler decides.
    EXPECT_EQ(form.log, (std::vector<std::string>{"sortitem_Click 2 checked", "PopupMenu returned"}));
}

TEST(Menus, QtMenuMirrorsCaptionsSeparatorsAndChecks)
{
    ControlsForm form;
    form.load();
    QMenu* menu = form.sort.subMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("名前順"));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_TRUE(actions[2]->isChecked());
    EXPECT_FALSE(actions[3]->isVisible());
    EXPECT_EQ(actions[4]->menu(), form.submenu.subMenu());
    form.sortitem[0].setEnabled(false);
    EXPECT_FALSE(actions[0]->isEnabled());
    form.sortitem[0].choose(); // a disabled item cannot be chosen
    EXPECT_TRUE(form.log.empty());
}

TEST(Menus, ATopLevelMenuWithoutItemsIsACommand)
{
    class Bar : public forms::Form {
    public:
        Bar() : Form("Bar") { undo.onClick = [this] { ++clicks; }; }
        forms::Menu undo{*this, "undo"};
        int clicks = 0;

    protected:
        void design() override
        {
            undo.setCaption("元に戻す");
            undo.setShortcut("Ctrl+Z");
        }
    } form;
    form.load();
    ASSERT_NE(form.undo.action(), nullptr);
    EXPECT_EQ(form.undo.subMenu(), nullptr);
    EXPECT_EQ(form.undo.action()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    form.undo.choose();
    EXPECT_EQ(form.clicks, 1);
}

// ---------------------------------------------------------------- timer

TEST(Timer, TicksOnlyWhileRunningAndNeverOverlaps)
{
    ControlsForm form;
    form.nestTick = true;
    EXPECT_TRUE(form.Timer1.tick());
    EXPECT_EQ(form.log, (std::vector<std::string>{"Timer1_Timer"}));
    form.Timer1.setEnabled(false);
    EXPECT_FALSE(form.Timer1.tick());
    form.Timer1.setEnabled(true);
    form.Timer1.setInterval(0);
    EXPECT_FALSE(form.Timer1.tick());
    EXPECT_EQ(form.log.size(), 1u);
    EXPECT_EQ(errorNumberOf([&] { form.Timer1.setInterval(-5); }), platform::err::InvalidPropertyValue);
}

TEST(Timer, RealTicksComeFromTheEventLoop)
{
    ControlsForm form;
    forms::setTimersManual(false);
    form.Timer1.setInterval(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.log.size() >= 2; }, 20000));
    forms::setTimersManual(true);
    EXPECT_GE(form.log.size(), 2u);
}

// ---------------------------------------------------------------- others

TEST(ScrollBar, RangeAndValueErrors)
{
    ControlsForm form;
    EXPECT_EQ(errorNumberOf([&] { form.HScroll1.setMax(40000); }), platform::err::InvalidPropertyValue);
    form.HScroll1.setMax(100);
    EXPECT_EQ(errorNumberOf([&] { form.HScroll1.setValue(101); }), platform::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { form.HScroll1.setLargeChange(0); }), platform::err::InvalidPropertyValue);
}

TEST(ScrollBar, MinAboveMaxTurnsTheDirectionRound)
{
    ControlsForm form;
    form.HScroll1.setMax(0);
    form.HScroll1.setMin(100);
    EXPECT_EQ(form.HScroll1.value(), 0);
    form.HScroll1.setValue(70);
    auto* bar = static_cast<QScrollBar*>(form.HScroll1.widget());
    EXPECT_TRUE(bar->invertedAppearance());
    EXPECT_EQ(bar->value(), 70);
    EXPECT_EQ(errorNumberOf([&] { form.HScroll1.setValue(101); }), platform::err::InvalidPropertyValue);
}

TEST(ScrollBar, UserStepRaisesChange)
{
    ControlsForm form;
    form.show();
    form.HScroll1.move(0, 6000, 3000, 255);
    form.HScroll1.setMax(10);
    std::vector<int> changes;
    form.HScroll1.onChange = [&] { changes.push_back(form.HScroll1.value()); };
    form.HScroll1.widget()->setFocus();
    QTest::keyClick(form.HScroll1.widget(), Qt::Key_Right);
    QTest::keyClick(form.HScroll1.widget(), Qt::Key_Right);
    EXPECT_EQ(changes, (std::vector<int>{1, 2}));
}

TEST(Label, CaptionLineBreaksAndSystemColours)
{
    ControlsForm form;
    form.Label1.setCaption("一行目\r\n二行目");
    form.Label1.setBackColor(static_cast<long>(0x80000001L));
    auto* label = static_cast<QLabel*>(form.Label1.widget());
    EXPECT_EQ(label->text(), QStringLiteral("一行目\n二行目"));
    EXPECT_EQ(form.Label1.backColor(), static_cast<long>(0x80000001L));
    EXPECT_EQ(form.Label1.caption(), "一行目\r\n二行目");
}

// A label paints the colours it has when it is painted: each change of its back
// colour, its text colour or its back style shows at the next paint.
TEST(Label, PaintsTheColoursItHasWhenPainted)
{
    ControlsForm form;
    form.setBackColor(0x00FFFFFFL);
    form.Label1.setCaption("");
    form.Label1.setBackStyle(1);
    form.Label1.setBackColor(0x000000FFL);
    form.show();
    QWidget* label = form.Label1.widget();
    const auto colourAt = [&] {
        const QRect place = label->geometry();
        return label->parentWidget()->grab(place).toImage().pixelColor(place.width() / 2, place.height() / 2);
    };
    EXPECT_EQ(colourAt(), QColor(255, 0, 0));
    form.Label1.setBackColor(0x00FF0000L);
    EXPECT_EQ(colourAt(), QColor(0, 0, 255));
    form.Label1.setBackStyle(0);
    EXPECT_EQ(colourAt(), QColor(255, 255, 255)) << "a transparent label shows its container";
    form.Label1.setBackStyle(1);
    form.Label1.setForeColor(0x0000FF00L);
    form.Label1.setCaption("■■■■■■■■■■■■■■■■");
    form.Label1.setFontSize(28);
    form.Label1.setBackColor(0x00FFFFFFL);
    const QImage text = label->grab().toImage();
    int green = 0;
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x)
            green += text.pixelColor(x, y) == QColor(0, 255, 0) ? 1 : 0;
    EXPECT_GT(green, 0) << "the caption is painted in the text colour";
}

TEST(Label, StaysBelowWindowedSiblingsEvenWhenBroughtForward)
{
    ControlsForm form;
    form.Label1.zOrder(0);
    QWidget* parent = form.Label1.widget()->parentWidget();
    const QObjectList children = parent->children();
    const auto labelAt = children.indexOf(form.Label1.widget());
    const auto buttonAt = children.indexOf(form.Command1.widget());
    EXPECT_LT(labelAt, buttonAt); // lower in the stack
}

TEST(Label, LaterLabelsLieOverEarlierOnes)
{
    class Stack : public forms::Form {
    public:
        Stack() : Form("Stack") {}
        forms::CommandButton Command1{*this, "Command1"};
        forms::Label First{*this, "First"};
        forms::Label Second{*this, "Second"};
    } form;
    form.load();
    const QObjectList children = form.First.widget()->parentWidget()->children();
    const auto first = children.indexOf(form.First.widget());
    const auto second = children.indexOf(form.Second.widget());
    const auto button = children.indexOf(form.Command1.widget());
    EXPECT_LT(first, second);
    EXPECT_LT(second, button);
    form.First.zOrder(0);
    const QObjectList after = form.First.widget()->parentWidget()->children();
    EXPECT_GT(after.indexOf(form.First.widget()), after.indexOf(form.Second.widget()));
    EXPECT_LT(after.indexOf(form.First.widget()), after.indexOf(form.Command1.widget()));
}

TEST(Frame, ZOrderRaisesOneOfStackedPages)
{
    ControlsForm form;
    form.show();
    form.frm1[0].zOrder(0);
    QWidget* page0 = form.frm1[0].widget();
    QWidget* page1 = form.frm1[1].widget();
    QWidget* parent = page0->parentWidget();
    EXPECT_EQ(parent->childAt(page0->geometry().center()), page0);
    form.frm1[1].zOrder(0);
    EXPECT_EQ(parent->childAt(page1->geometry().center()), page1);
}

TEST(Frame, TheFrameInFrontHidesWhatTheFramesBehindItHold)
{
    class Pages : public forms::Form {
    public:
        Pages() : Form("Pages") {}
        forms::ControlArray<forms::Frame> frm1{*this, "frm1", {0, 1}};
        forms::Label Behind{frm1[1], "Behind"};

    protected:
        void design() override
        {
            move(0, 0, 6000, 6000);
            for (int i = 0; i <= 1; ++i) {
                frm1[i].move(0, 0, 4500, 4500);
                frm1[i].setBorderStyle(0);
            }
            Behind.move(0, 0, 4500, 4500);
            Behind.setBackColor(0x0000FFL);
        }
    } form;
    form.show();
    // The grab may round colours a little: the label's red is any strong red.
    auto redAt = [&](const QPoint& point) {
        const QColor colour = form.frm1[0].widget()->parentWidget()->grab().toImage().pixelColor(point);
        return colour.red() > 200 && colour.green() < 60 && colour.blue() < 60;
    };
    const QPoint middle = form.frm1[0].widget()->geometry().center();
    form.frm1[0].zOrder(0);
    EXPECT_FALSE(redAt(middle)) << "the hidden page paints through the front one";
    form.frm1[1].zOrder(0);
    EXPECT_TRUE(redAt(middle));
}

TEST(CommandButton, PictureShowsOnlyInTheGraphicalStyle)
{
    ControlsForm form;
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red);
    form.Command1.setPicture(forms::pictureFromImage(image));
    form.Command1.setToolTipText("UNDO 登録");
    auto* button = static_cast<QPushButton*>(form.Command1.widget());
    EXPECT_TRUE(button->icon().isNull()); // standard style: caption only
    form.Command1.setStyle(forms::vbButtonGraphical);
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(button->iconSize(), QSize(32, 32));
    EXPECT_EQ(button->toolTip(), QStringLiteral("UNDO 登録"));
    EXPECT_EQ(errorNumberOf([&] { form.Command1.setStyle(2); }), platform::err::InvalidPropertyValue);
}

TEST(CommonProperties, FontNameIsKeptWhileTheWidgetUsesTheSubstitute)
{
    ControlsForm form;
    form.Label1.setFontName("ＭＳ 明朝");
    form.Label1.setFontSize(12);
    form.Label1.setFontBold(true);
    EXPECT_EQ(form.Label1.fontName(), "ＭＳ 明朝");
    const QFont font = form.Label1.widget()->font();
    EXPECT_EQ(font.family(), QStringLiteral("IPAMincho"));
    EXPECT_TRUE(font.bold());
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 12);
}

TEST(CommonProperties, TabStopAndTabIndexOrderTheFocusChain)
{
    ControlsForm form;
    form.show();
    form.Text1.setTabIndex(2);
    form.Text2.setTabIndex(1);
    form.Command1.setTabIndex(3);
    form.List1.setTabStop(false);
    EXPECT_EQ(form.List1.widget()->focusPolicy(), Qt::ClickFocus);
    QApplication::setActiveWindow(form.Text2.widget()->window());
    form.Text2.setFocus();
    QTest::keyClick(form.Text2.widget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.Text1.widget());
    QTest::keyClick(form.Text1.widget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.Command1.widget());
}

// Without TabIndex, Tab follows the place of each control: down the left
// column, down the right column (a frame's controls after the frame), then along
// the row of buttons below, whatever order the window declares them in.
TEST(CommonProperties, WithoutTabIndexTabFollowsThePlaceOfEachControl)
{
    class CardForm : public forms::Form {
    public:
        CardForm() : Form("CardForm") {}
        forms::CommandButton ok{*this, "ok"};
        forms::CommandButton cancel{*this, "cancel"};
        forms::Frame right{*this, "right"};
        forms::TextBox address{right, "address"};
        forms::TextBox phone{right, "phone"};
        forms::TextBox given{*this, "given"};
        forms::TextBox family{*this, "family"};
        forms::CheckBox male{*this, "male"};
        forms::CheckBox female{*this, "female"};
        forms::TextBox born{*this, "born"};

    protected:
        void design() override
        {
            move(0, 0, 9000, 6000);
            family.move(1200, 120, 2400, 300);
            given.move(1200, 540, 2400, 300);
            // Side by side, the second a little lower: still one row.
            male.move(1200, 960, 1000, 300);
            female.move(2400, 1000, 1000, 300);
            born.move(1200, 1380, 2400, 300);
            right.move(4200, 0, 4200, 2400);
            address.move(1200, 120, 2400, 300);
            phone.move(1200, 540, 2400, 300);
            cancel.move(5400, 3000, 1200, 420);
            ok.move(4000, 3030, 1200, 420);
        }
    } form;
    form.show();
    QApplication::setActiveWindow(forms::formWidget(form));
    form.family.setFocus();
    std::vector<std::string> visited;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const forms::Control* found = nullptr;
        for (const forms::Control* control : form.controls()) {
            if (control->widget() == QApplication::focusWidget())
                found = control;
        }
        visited.push_back(found ? found->name() : "?");
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"given", "male", "female", "born", "address", "phone", "ok", "cancel",
                                                 "family"}));
}

// Elements loaded while the window is shown, a whole row of them in one command,
// take the place they stand at in the tab order by the next Tab.
TEST(CommonProperties, ElementsLoadedWhileShownTakeTheirPlaceInTheTabOrder)
{
    class RowsForm : public forms::Form {
    public:
        RowsForm() : Form("RowsForm") {}
        forms::ControlArray<forms::TextBox> field{*this, "field", {0}};
        forms::CommandButton close{*this, "close"};

    protected:
        void design() override
        {
            move(0, 0, 6000, 6000);
            field[0].move(120, 120, 2400, 300);
            close.move(120, 4000, 1200, 420);
        }
    } form;
    form.show();
    // Loaded in reverse order, so that neither load order nor creation order is
    // the order of their places.
    for (int i = 3; i >= 1; --i) {
        form.field.load(i);
        form.field[i].setTop(120 + i * 420);
        form.field[i].setVisible(true);
    }
    QApplication::setActiveWindow(forms::formWidget(form));
    form.field[0].setFocus();
    std::vector<const QWidget*> visited;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(visited, (std::vector<const QWidget*>{form.field[1].widget(), form.field[2].widget(),
                                                    form.field[3].widget(), form.close.widget(),
                                                    form.field[0].widget()}));
}

} // namespace

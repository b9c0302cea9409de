// Typing with a Japanese input method on, through the program's real windows:
// the fields that take digits, a western date or a mail address get the keys as
// typed while the input method stays on for names, addresses and titles; typing
// on a cell of the person editor's table composes in the cell editor from the
// first key; text pasted into a field that takes keys as typed is kept
// half-width. The program types through the tests' own input method
// (support/qt/KanaInputMethod.cpp), which composes as Mozc under fcitx5 does.

#include "drawing/DspOp.h"
#include "entry/EntryForm.h"
#include "layout/chart_state.h"
#include "mainwindow/MainForm.h"
#include "model/GroupLists.h"
#include "model/era/EraDates.h"
#include "model/settings.h"
#include "platform/Conversions.h"
#include "printing/PrePrint.h"
#include "relations/CtrlForm.h"
#include "relations/KakeGrpStatForm.h"
#include "reports/yeartb.h"

#include "EditorsFixture.h"
#include "support/qt/KanaInputMethod.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLocale>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

namespace {

// Set before the test program makes its QApplication.
const bool typesThroughKana = support::typeThroughKanaInputMethod();

using app_test::kou;
using app_test::per;

class JapaneseInputTest : public app_test::EditorsFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(typesThroughKana);
        EditorsFixture::SetUp();
    }

    // The window of the control active, and the control the focus: where the
    // user's keys go.
    static void focus(forms::Control& control)
    {
        ASSERT_NE(control.widget(), nullptr) << control.name();
        QWidget* window = control.widget()->window();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window->windowHandle(); }));
        control.setFocus();
        ASSERT_EQ(QGuiApplication::focusObject(), control.widget()) << control.name();
    }

    // Keys typed as on a keyboard, each to the widget that has the focus then:
    // " " is the space bar, "\n" Enter.
    static void type(const std::string& keys)
    {
        for (const char key : keys) {
            QWidget* focused = QApplication::focusWidget();
            ASSERT_NE(focused, nullptr);
            if (key == ' ')
                QTest::keyClick(focused, Qt::Key_Space);
            else if (key == '\n')
                QTest::keyClick(focused, Qt::Key_Return);
            else
                QTest::keyClick(focused, key);
        }
    }

    static bool inputMethodOn() { return QGuiApplication::inputMethod()->locale().language() == QLocale::Japanese; }

    // The input method on, as the user turns it on: 半角/全角 in a field where it
    // composes.
    static void turnInputMethodOn(forms::Control& composing)
    {
        if (inputMethodOn())
            return;
        focus(composing);
        // QTest knows no text for the key: it is sent as the keyboard sends it.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Zenkaku_Hankaku, Qt::NoModifier);
        QCoreApplication::sendEvent(composing.widget(), &press);
        ASSERT_TRUE(inputMethodOn());
    }

    // 入力画面 on a person, on the card, with the input method on.
    void openCard(int person)
    {
        model::runState().Cur_PerIdx = static_cast<int16_t>(person);
        main_form().scritem[2].choose();
        ASSERT_TRUE(entry_form().isLoaded());
        turnInputMethodOn(entry_form().Text1[0]);
    }

    // The table's row of a person.
    static int rowOf(int person)
    {
        const forms::FlexGrid& tb = entry_form().tb;
        for (int row = 1; row < tb.rows(); ++row) {
            if (tb.rowData(row) == person)
                return row;
        }
        ADD_FAILURE() << "person " << person << " has no row";
        return -1;
    }

    // Types on a cell of the table, as the user does on a selected cell.
    void typeOnCell(int person, int col, const std::string& keys)
    {
        forms::FlexGrid& tb = entry_form().tb;
        tb.setRow(rowOf(person));
        tb.setCol(col);
        ASSERT_NO_FATAL_FAILURE(focus(tb));
        type(keys);
    }
};

TEST_F(JapaneseInputTest, theCardTakesNumbersDatesAndTheMailAddressAsTypedAndComposesNames)
{
    model::settings().Dispmode_Nengo = 0;
    openCard(ai);
    EntryForm& entry = entry_form();

    // Each field in the order the user goes through the card; the input method
    // stays on all along.
    const std::vector<std::pair<int, std::string>> typing = {
        {0, "yamada \n"},        // 名字: selected on focus, replaced by the converted name
        {7, "toukyou\n"},        // 住所1
        {9, "0312345678"},       // 電話番号
        {12, "taro@example.jp"}, // E_mail
        {6, "123-4567"},         // 郵便番号
        {8, "minato\n"},         // 住所2, composing again after the fields above
        {3, "1990/03/15"},       // 生年月日, western
        {11, "090-1234-5678"},   // 携帯番号
    };
    for (const auto& [field, keys] : typing) {
        ASSERT_NO_FATAL_FAILURE(focus(entry.Text1[field]));
        type(keys);
    }
    focus(entry.Text1[13]);
    entry.CMDFUNC[1].click(); // 登録

    EXPECT_TRUE(answers.shown().empty()) << answers.shownTexts().front();
    const model::personal_data& stored = per(ai);
    EXPECT_EQ(stored.F_name, "山田");
    EXPECT_EQ(stored.Addr1, "とうきょう");
    EXPECT_EQ(stored.TelNo, "0312345678");
    EXPECT_EQ(stored.E_mail, "taro@example.jp");
    EXPECT_EQ(stored.YubinNo, "123-4567");
    EXPECT_EQ(stored.Addr2, "みなと");
    EXPECT_EQ(stored.B_day, "1990/03/15");
    EXPECT_EQ(stored.KeiNo, "090-1234-5678");
}

// In an era form the date boxes compose, so that era names can be typed; a
// western date typed there comes as the input method writes it in kana.
TEST_F(JapaneseInputTest, aWesternDateComposedInAnEraFormIsRead)
{
    model::settings().Dispmode_Nengo = 1;
    openCard(ai);
    std::string expected;
    ASSERT_EQ(model::Conv_InputDate("1990/03/15", expected), 0);
    focus(entry_form().Text1[3]);
    type("1990/03/15");
    focus(entry_form().Text1[4]); // the composition is committed, and the date read
    EXPECT_EQ(entry_form().Text1[3].text(), expected);
    EXPECT_TRUE(answers.shown().empty());
    entry_form().CMDFUNC[1].click(); // 登録
    EXPECT_EQ(per(ai).B_day, expected);
}

TEST_F(JapaneseInputTest, typingOnATableCellComposesInItsEditorFromTheFirstKey)
{
    for (size_t col = 1; col < model::settings().DispFactor.size(); ++col)
        model::settings().DispFactor[col] = true; // every column shown
    openCard(ai);
    entry_form().scritem[1].choose(); // 表
    ASSERT_EQ(entry_form().Entry_CardView, 0);

    // 名前: "yama", space, "kawa", Enter commits the reading, Enter ends the edit.
    typeOnCell(ai, 2, "yama kawa\n\n");
    EXPECT_EQ(per(ai).Name, "山かわ");
    // 電話番号 and E_mail: the keys as typed, Enter ends the edit.
    typeOnCell(ai, 8, "0312345678\n");
    EXPECT_EQ(per(ai).TelNo, "0312345678");
    typeOnCell(ai, 14, "taro@example.jp\n");
    EXPECT_EQ(per(ai).E_mail, "taro@example.jp");
    // 住所1 composes again.
    typeOnCell(ai, 11, "toukyou\n\n");
    EXPECT_EQ(per(ai).Addr1, "とうきょう");
    EXPECT_TRUE(answers.shown().empty());
}

// The number boxes of the other windows: each opened as the user opens it, the
// input method on, a number typed, and what the window made of it.
struct NumberBox {
    const char* name;
    std::function<forms::TextBox&()> open;
    const char* keys;
    std::function<std::string()> taken;
    const char* expected;
};

TEST_F(JapaneseInputTest, theNumberBoxesOfTheOtherWindowsTakeTheKeysAsTyped)
{
    // A lineage group to set the offset of, and a marriage whose order can be set.
    model::Add_GrpTitle();
    model::tables().GrpTitleList.back().TitleName = "山田家";
    model::tables().GrpTitleList.back().Leader = static_cast<int16_t>(ken);
    kou(couple).kou_state = "離婚";
    kou(couple).kou_mode = 1;
    ctrl_form().List1[2].setListIndex(-1);
    chooseMarriage(couple);
    ASSERT_TRUE(ctrl_form().Text1[1].isEnabled());
    turnInputMethodOn(ctrl_form().Text1[0]);

    const int marriage = couple;
    const std::vector<NumberBox> boxes = {
        {"the zoom box",
         []() -> forms::TextBox& {
             main_form().Text1.setText("");
             return main_form().Text1;
         },
         "150\n",
         [] { return platform::CStrDouble(layout::chart().Zoom_Ratio * 100); },
         "150"},
        {"履歴表示順序",
         []() -> forms::TextBox& {
             ctrl_form().Text1[1].setText("");
             return ctrl_form().Text1[1];
         },
         "2",
         [marriage] {
             ctrl_form().CMDFUNC[1].click(); // 登録
             return std::to_string(kou(marriage).sort_lev);
         },
         "2"},
        {"上下調整",
         [this]() -> forms::TextBox& {
             mainwindow::otherWindows().showLineageGroups();
             kakegrpstat_form().GrpList.setListIndex(0);
             kakegrpstat_form().txtOffset.setText("");
             answers.answerNext(platform::vbOK); // "山田家の上下調整を2世代に設定しました"
             return kakegrpstat_form().txtOffset;
         },
         "2\n",
         [] { return platform::CStrDouble(model::tables().GrpTitleList.back().Offset); },
         "2"},
        {"枠表示倍率",
         [this]() -> forms::TextBox& {
             dspop_form().showForPerson(ken); // as 表示オプション opens it on the chart's person
             dspop_form().txtBai.setText("");
             return dspop_form().txtBai;
         },
         "200\n",
         [] { return main_form().Text1.text() + " " + platform::CStrDouble(layout::chart().Zoom_Ratio * 100); },
         "200 200"},
        {"年毎に目盛",
         []() -> forms::TextBox& {
             mainwindow::otherWindows().showChronology();
             yeartb_form().Text2.setText("");
             return yeartb_form().Text2;
         },
         "20",
         [] { return yeartb_form().Text2.text(); },
         "20"},
    };
    for (const NumberBox& box : boxes) {
        forms::TextBox& field = box.open();
        ASSERT_NO_FATAL_FAILURE(focus(field)) << box.name;
        ASSERT_TRUE(inputMethodOn()) << box.name;
        type(box.keys);
        EXPECT_EQ(box.taken(), box.expected) << box.name;
    }
}

// The print preview's scale and start position, in its own modal loop.
TEST_F(JapaneseInputTest, thePrintPreviewTakesItsNumbersAsTyped)
{
    turnInputMethodOn(ctrl_form().Text1[0]);
    std::string scale;
    std::string across;
    forms::onShown("PrePrint", [&](forms::Form& form) {
        auto& preview = static_cast<printing::PrePrintForm&>(form);
        focus(preview.Text1);
        preview.Text1.setText("");
        type("150\n");
        scale = platform::CStrDouble(model::settings().Print_Scale * 100);
        focus(preview.Text2[0]);
        preview.Text2[0].setText("");
        type("30");
        across = preview.Text2[0].text();
        preview.unload();
    });
    main_form().Command2[3].click(); // 印刷プレビュー
    EXPECT_EQ(scale, "150");
    EXPECT_EQ(across, "30");
}

// Text that comes another way than by keys (pasted here) is kept half-width in
// a field that takes the keys as typed, and as it is in one that composes.
TEST_F(JapaneseInputTest, pastedFullWidthDigitsAreTakenHalfWidthWhereKeysAreTakenAsTyped)
{
    openCard(ai);
    EntryForm& entry = entry_form();
    const std::vector<std::pair<int, std::string>> pastes = {
        {9, "０３－１２３４－５６７８"}, // 電話番号
        {12, "ｔａｒｏ＠ｅｘａｍｐｌｅ．ｊｐ"}, // E_mail
        {7, "東京都１－２"}, // 住所1: as it is
    };
    for (const auto& [field, text] : pastes) {
        focus(entry.Text1[field]);
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
        QTest::keyClick(entry.Text1[field].widget(), Qt::Key_V, Qt::ControlModifier);
    }
    focus(entry.Text1[13]);
    entry.CMDFUNC[1].click(); // 登録
    EXPECT_EQ(per(ai).TelNo, "03-1234-5678");
    EXPECT_EQ(per(ai).E_mail, "taro@example.jp");
    EXPECT_EQ(per(ai).Addr1, "東京都１－２");
}

} // namespace

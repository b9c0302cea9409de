// Keyboard events: virtual-key codes and Shift in KeyDown, KeyPreview, and the
// signed 16-bit KeyAscii of KeyPress with its insertion rules; focus events.

#include "forms/CommandButton.h"
#include "forms/ComboBox.h"
#include "forms/Form.h"
#include "forms/Keys.h"
#include "forms/Menu.h"
#include "forms/Testing.h"
#include "forms/TextBox.h"

#include "platform/Hooks.h"

#include "support/ScriptedResponder.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct KeyAsciiCase {
    const char* name;
    char32_t character;
    int16_t keyAscii;
};

void PrintTo(const KeyAsciiCase& c, std::ostream* out) { *out << c.name; }

class KeyAsciiCodes : public ::testing::TestWithParam<KeyAsciiCase> {};

TEST_P(KeyAsciiCodes, FollowCp932)
{
    const KeyAsciiCase& c = GetParam();
    EXPECT_EQ(forms::keyAsciiOf(c.character), c.keyAscii) << c.name;
    if (c.keyAscii != 63 || c.character == '?') {
        // Every code that stands for a character turns back into it.
        const std::u32string one(1, c.character);
        const QString expected = QString::fromUcs4(one.data(), 1);
        EXPECT_EQ(QString::fromStdString(forms::textOfKeyAscii(c.keyAscii)), expected) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Characters, KeyAsciiCodes,
    ::testing::Values(KeyAsciiCase{"letter", U'A', 65}, KeyAsciiCase{"digit", U'7', 55},
                      KeyAsciiCase{"Enter", U'\r', 13}, KeyAsciiCase{"backspace", U'\b', 8},
                      KeyAsciiCase{"half-width katakana first", U'\uFF61', 161},
                      KeyAsciiCase{"half-width katakana a", U'\uFF71', 177},
                      KeyAsciiCase{"half-width katakana last", U'\uFF9F', 223},
                      KeyAsciiCase{"hiragana a", U'\u3042', static_cast<int16_t>(0x82A0)},
                      KeyAsciiCase{"kanji", U'\u6F22', static_cast<int16_t>(0x8ABF)},
                      KeyAsciiCase{"full-width tilde", U'\uFF5E', static_cast<int16_t>(0x8160)},
                      KeyAsciiCase{"full-width minus", U'\uFF0D', static_cast<int16_t>(0x817C)},
                      KeyAsciiCase{"ideographic space", U'\u3000', static_cast<int16_t>(0x8140)},
                      KeyAsciiCase{"outside cp932", U'\U0001F600', 63},
                      KeyAsciiCase{"hangul", U'\uAC00', 63}),
    [](const ::testing::TestParamInfo<KeyAsciiCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ' || c == '-')
                c = '_';
        return name;
    });

TEST(KeyAscii, DoubleByteCodesAreNegative)
{
    EXPECT_EQ(forms::keyAsciiOf(U'\u3042'), -32096);
    EXPECT_TRUE(forms::keyAsciiInsertsNothing(0));
    EXPECT_TRUE(forms::keyAsciiInsertsNothing(14));
    EXPECT_FALSE(forms::keyAsciiInsertsNothing(32));
    EXPECT_FALSE(forms::keyAsciiInsertsNothing(-32096));
}

struct VirtualKeyCase {
    int qtKey;
    bool keypad;
    int code;
};

TEST(VirtualKeys, MapQtKeysToWindowsCodes)
{
    const VirtualKeyCase cases[] = {
        {Qt::Key_Tab, false, 9},       {Qt::Key_Return, false, 13}, {Qt::Key_Enter, true, 13},
        {Qt::Key_Escape, false, 27},   {Qt::Key_Up, false, 38},     {Qt::Key_Down, false, 40},
        {Qt::Key_Insert, false, 45},   {Qt::Key_Delete, false, 46}, {Qt::Key_F2, false, 113},
        {Qt::Key_F3, false, 114},      {Qt::Key_F12, false, 123},   {Qt::Key_A, false, 65},
        {Qt::Key_Z, false, 90},        {Qt::Key_0, false, 48},      {Qt::Key_5, true, 101},
        {Qt::Key_Backspace, false, 8}, {Qt::Key_Space, false, 32},  {Qt::Key_Home, false, 36},
    };
    for (const VirtualKeyCase& c : cases)
        EXPECT_EQ(forms::virtualKeyCode(c.qtKey, c.keypad), c.code) << "Qt key " << c.qtKey;
}

class KeyForm : public forms::Form {
public:
    KeyForm() : Form("KeyForm")
    {
        Text1.onKeyDown = [this](int& keyCode, int shift) {
            log.push_back("Text1_KeyDown " + std::to_string(keyCode) + " " + std::to_string(shift));
            if (swallowKeyDown)
                keyCode = 0;
        };
        Text1.onKeyPress = [this](int16_t& keyAscii) {
            log.push_back("Text1_KeyPress " + std::to_string(keyAscii));
            if (replaceWith >= 0)
                keyAscii = static_cast<int16_t>(replaceWith);
        };
        Text1.onGotFocus = [this] { log.push_back("Text1_GotFocus"); };
        Text1.onLostFocus = [this] {
            log.push_back("Text1_LostFocus");
            if (boxOnLostFocus)
                platform::MsgBox("入力してください", platform::vbExclamation);
        };
        Text2.onGotFocus = [this] { log.push_back("Text2_GotFocus"); };
        Text2.onLostFocus = [this] { log.push_back("Text2_LostFocus"); };
    }

    forms::TextBox Text1{*this, "Text1"};
    forms::TextBox Text2{*this, "Text2"};
    forms::CommandButton Command1{*this, "Command1"};
    std::vector<std::string> log;
    bool swallowKeyDown = false;
    bool swallowFormKeyDown = false;
    bool boxOnLostFocus = false;
    int replaceWith = -1;

    void Form_KeyDown(int& KeyCode, int Shift) override
    {
        log.push_back("Form_KeyDown " + std::to_string(KeyCode) + " " + std::to_string(Shift));
        if (swallowFormKeyDown)
            KeyCode = 0;
    }
    void Form_KeyPress(int16_t& KeyAscii) override { log.push_back("Form_KeyPress " + std::to_string(KeyAscii)); }

protected:
    void design() override
    {
        Text1.move(0, 0, 3000, 400);
        Text2.move(0, 600, 3000, 1200);
        Text2.setMultiLine(true);
        Command1.move(0, 2000, 1200, 400);
    }
};

TEST(Keyboard, KeyDownThenKeyPressAndTheCharacterGoesIn)
{
    KeyForm form;
    form.show();
    form.Text1.setFocus();
    form.log.clear();
    QTest::keyClick(form.Text1.widget(), 'A', Qt::ShiftModifier);
    // The Shift key itself comes down first, as it does on the keyboard.
    EXPECT_EQ(form.log, (std::vector<std::string>{"Text1_KeyDown 16 1", "Text1_KeyDown 65 1", "Text1_KeyPress 65"}));
    EXPECT_EQ(form.Text1.text(), "A");
}

TEST(Keyboard, KeyPreviewDeliversTheWindowsKeyDownFirst)
{
    KeyForm form;
    form.setKeyPreview(true);
    form.show();
    form.Text1.setFocus();
    form.log.clear();
    QTest::keyClick(form.Text1.widget(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(form.log, (std::vector<std::string>{"Form_KeyDown 16 1", "Text1_KeyDown 16 1", "Form_KeyDown 114 1",
                                                  "Text1_KeyDown 114 1"}));
    form.log.clear();
    form.swallowFormKeyDown = true;
    QTest::keyClick(form.Text1.widget(), Qt::Key_Delete);
    EXPECT_EQ(form.log, (std::vector<std::string>{"Form_KeyDown 46 0"}));
}

TEST(Keyboard, WithoutKeyPreviewTheWindowHearsNothing)
{
    KeyForm form;
    form.show();
    form.Text1.setFocus();
    form.log.clear();
    QTest::keyClick(form.Text1.widget(), Qt::Key_Escape);
    EXPECT_EQ(form.log, (std::vector<std::string>{"Text1_KeyDown 27 0", "Text1_KeyPress 27"}));
}

constexpr int NoChange = -100000; // the handler leaves KeyAscii alone

struct PressCase {
    const char* name;
    bool multiLine;
    Qt::Key key;
    int replaceWith;
    std::string expectedText;
};

void PrintTo(const PressCase& c, std::ostream* out) { *out << c.name; }

class KeyPressRules : public ::testing::TestWithParam<PressCase> {};

TEST_P(KeyPressRules, DecideWhatIsInserted)
{
    const PressCase& c = GetParam();
    KeyForm form;
    form.show();
    forms::TextBox& box = c.multiLine ? form.Text2 : form.Text1;
    box.setText("ab");
    box.setSelStart(2);
    box.setFocus();
    box.onKeyPress = [&](int16_t& keyAscii) {
        if (c.replaceWith != NoChange)
            keyAscii = static_cast<int16_t>(c.replaceWith);
    };
    QTest::keyClick(box.widget(), c.key);
    EXPECT_EQ(box.text(), c.expectedText) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, KeyPressRules,
    ::testing::Values(PressCase{"unchanged", false, Qt::Key_C, NoChange, "abc"},
                      PressCase{"set to 0", false, Qt::Key_C, 0, "ab"},
                      PressCase{"set to 14", false, Qt::Key_C, 14, "ab"},
                      PressCase{"replaced by another letter", false, Qt::Key_C, 'X', "abX"},
                      PressCase{"replaced by kana", false, Qt::Key_C, static_cast<int16_t>(0x82A0), "abあ"},
                      PressCase{"Enter in a single line", false, Qt::Key_Return, NoChange, "ab"},
                      PressCase{"Enter in a multi-line box", true, Qt::Key_Return, NoChange, "ab\r\n"},
                      PressCase{"Enter suppressed in a multi-line box", true, Qt::Key_Return, 0, "ab"},
                      PressCase{"backspace unchanged", false, Qt::Key_Backspace, NoChange, "a"},
                      PressCase{"backspace suppressed", false, Qt::Key_Backspace, 0, "ab"}),
    [](const ::testing::TestParamInfo<PressCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ' || c == '-')
                c = '_';
        return name;
    });

TEST(Keyboard, SwallowedKeyDownRaisesNoKeyPress)
{
    KeyForm form;
    form.show();
    form.Text1.setFocus();
    form.swallowKeyDown = true;
    form.log.clear();
    QTest::keyClick(form.Text1.widget(), Qt::Key_Q);
    EXPECT_EQ(form.log, (std::vector<std::string>{"Text1_KeyDown 81 0"}));
    EXPECT_EQ(form.Text1.text(), "");
}

TEST(Keyboard, EachCommittedInputMethodCharacterGetsItsKeyPress)
{
    KeyForm form;
    form.show();
    form.Text1.setFocus();
    form.log.clear();
    form.Text1.onKeyPress = [&](int16_t& keyAscii) {
        form.log.push_back("KeyPress " + std::to_string(keyAscii));
        if (keyAscii == static_cast<int16_t>(0x82A2)) // い is refused
            keyAscii = 0;
    };
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("あいう"));
    QCoreApplication::sendEvent(form.Text1.widget(), &commit);
    EXPECT_EQ(form.log, (std::vector<std::string>{"KeyPress " + std::to_string(static_cast<int16_t>(0x82A0)),
                                                  "KeyPress " + std::to_string(static_cast<int16_t>(0x82A2)),
                                                  "KeyPress " + std::to_string(static_cast<int16_t>(0x82A4))}));
    EXPECT_EQ(form.Text1.text(), "あう");
}

TEST(Keyboard, PastedTextBypassesKeyPress)
{
    KeyForm form;
    form.show();
    form.Text1.setFocus();
    form.log.clear();
    auto* edit = static_cast<QLineEdit*>(form.Text1.widget());
    edit->insert(QStringLiteral("貼り付け")); // what a paste does inside the widget
    for (const std::string& entry : form.log)
        EXPECT_EQ(entry.find("KeyPress"), std::string::npos);
    EXPECT_EQ(form.Text1.text(), "貼り付け");
}

// A key held with Alt or Ctrl types nothing, in a line or a multi-line box: its
// KeyDown comes with the Alt or Ctrl mask, no KeyPress follows. A menu item's
// shortcut still runs, and the box's own Ctrl keys still work.
TEST(Keyboard, KeysWithAltOrCtrlTypeNothing)
{
    class ShortcutForm : public KeyForm {
    public:
        forms::Menu filemenu{*this, "filemenu"};
        forms::Menu saveitem{filemenu, "saveitem"};
        int saves = 0;
        ShortcutForm() { saveitem.onClick = [this] { ++saves; }; }

    protected:
        void design() override
        {
            KeyForm::design();
            filemenu.setCaption("ファイル");
            saveitem.setCaption("保存");
            saveitem.setShortcut("Alt+S");
        }
    } form;
    form.show();
    QApplication::setActiveWindow(forms::formWidget(form));
    form.Text1.setFocus();
    form.Text1.setText("100");
    form.log.clear();
    QTest::keyClick(form.Text1.widget(), Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(form.Text1.widget(), Qt::Key_G, Qt::ControlModifier);
    QTest::keyClick(form.Text1.widget(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(form.Text1.text(), "100");
    EXPECT_EQ(form.saves, 1);
    EXPECT_EQ(form.log, (std::vector<std::string>{"Text1_KeyDown 18 4", "Text1_KeyDown 70 4", "Text1_KeyDown 17 2",
                                                  "Text1_KeyDown 71 2", "Text1_KeyDown 18 4"}));

    form.Text2.setFocus();
    QTest::keyClick(form.Text2.widget(), Qt::Key_X, Qt::AltModifier);
    QTest::keyClick(form.Text2.widget(), Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form.Text2.text(), "");

    // Select all and cut are the box's own Ctrl keys.
    form.Text1.setFocus();
    QTest::keyClick(form.Text1.widget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form.Text1.widget(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(form.Text1.text(), "");
    QTest::keyClick(form.Text1.widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.Text1.text(), "100");
}

// F10 opens the first menu the window shows, wherever the focus is.
TEST(Keyboard, F10OpensTheFirstMenuOfTheWindow)
{
    class MenuForm : public KeyForm {
    public:
        forms::Menu hiddenmenu{*this, "hiddenmenu"};
        forms::Menu hiddenitem{hiddenmenu, "hiddenitem"};
        forms::Menu viewmenu{*this, "viewmenu"};
        forms::Menu viewitem{viewmenu, "viewitem"};

    protected:
        void design() override
        {
            KeyForm::design();
            hiddenmenu.setCaption("popup");
            hiddenitem.setCaption("item");
            hiddenmenu.setVisible(false);
            viewmenu.setCaption("表示");
            viewitem.setCaption("戻る");
        }
    } form;
    form.show();
    QApplication::setActiveWindow(forms::formWidget(form));
    form.Text1.setFocus();
    form.log.clear();
    QTest::keyClick(form.Text1.widget(), Qt::Key_F10);
    auto* bar = forms::formWidget(form)->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->activeAction(), form.viewmenu.action());
    EXPECT_TRUE(form.viewmenu.subMenu()->isVisible());
    EXPECT_EQ(form.Text1.text(), "");
    form.viewmenu.subMenu()->close();
}

TEST(Focus, SetFocusRaisesLostFocusThenGotFocus)
{
    KeyForm form;
    form.show();
    form.Text1.setFocus();
    form.Text2.setFocus();
    form.Text2.setFocus();
    EXPECT_EQ(form.log, (std::vector<std::string>{"Text1_GotFocus", "Text1_LostFocus", "Text2_GotFocus"}));
    EXPECT_EQ(form.activeControl(), &form.Text2);
}

TEST(Focus, SetFocusOnAControlThatCannotTakeItIsIgnored)
{
    KeyForm form;
    form.load(); // hidden window
    form.Text1.setFocus();
    EXPECT_TRUE(form.log.empty());
    form.show();
    form.Text2.setEnabled(false);
    form.Text2.setFocus();
    form.Text1.setVisible(false);
    form.Text1.setFocus();
    EXPECT_TRUE(form.log.empty());
    EXPECT_EQ(form.activeControl(), nullptr);
}

TEST(Focus, AMessageBoxInLostFocusCausesNoSecondLostFocus)
{
    ScriptedResponder answers;
    answers.answerNext(platform::vbOK);
    KeyForm form;
    form.show();
    form.Text1.setFocus();
    form.boxOnLostFocus = true;
    form.log.clear();
    form.Text2.setFocus();
    form.boxOnLostFocus = false;
    QCoreApplication::processEvents();
    EXPECT_EQ(form.log, (std::vector<std::string>{"Text1_LostFocus", "Text2_GotFocus"}));
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{"入力してください"}));
}

TEST(Focus, ActivationChangesRaiseNothing)
{
    KeyForm form;
    KeyForm other;
    form.show();
    form.Text1.setFocus();
    other.show();
    QApplication::setActiveWindow(other.Text1.widget()->window());
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(form.Text1.widget()->window());
    QCoreApplication::processEvents();
    EXPECT_EQ(form.log, (std::vector<std::string>{"Text1_GotFocus"}));
}

} // namespace

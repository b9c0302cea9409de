#include "entry/InputNameOne.h"

#include "entry/EntryForm.h"
#include "entry/entry_state.h"

#include "model/SavableText.h"
#include "document/Snapshots.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <array>

namespace {

struct Flag {
    const char* caption;
    const char* toolTip;
    double top, width;
    int16_t set, unset;
};

constexpr std::array<Flag, 4> Flags = {{
    {"この情報をｶﾃｺﾞﾘとして扱う",
     "知人関係等のまとめに利用します。チェックすると家系図上でこの人にドラックした場合、子供として追加されます。", 540,
     2385, 1, -1},
    {"死亡枠を表示する", "死亡年月日を入力しなくとも、強制的に死亡枠を表示させます", 810, 2310, 1, 0},
    {"枠を表示する", "家系図上の個人表示に枠を表示します", 1080, 1545, 1, 0},
    {"CSV出力フラグ", "CSVﾌｧｲﾙに個人情報を出力するかどうかを設定します", 1350, 1590, 1, -1},
}};

// Typing replaces the name: the box's first 99 characters are selected.
void selectName(forms::TextBox& box)
{
    box.setSelStart(0);
    box.setSelLength(99);
}

} // namespace

InputNameOne::InputNameOne() : Form("InputNameOne")
{
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Text1.onGotFocus = [this] { Text1_GotFocus(); };
    Text2.onGotFocus = [this] { Text2_GotFocus(); };
}

InputNameOne& inputnameone_form()
{
    static InputNameOne instance;
    return instance;
}

void InputNameOne::design()
{
    setCaption(entry::InputNameCaption);
    setBorderStyle(forms::vbFixedDialog);
    move(3000, 3000, 5100, 2100);
    Text1.move(30, 45, 2370, 375);
    Text1.setTabIndex(0);
    Text2.move(2460, 45, 2370, 375);
    Text2.setTabIndex(1);
    Command1.move(3060, 915, 840, 615);
    Command1.setCaption("決定");
    Command1.setTabIndex(2);
    Command2.move(3945, 915, 840, 615);
    Command2.setCaption("ｷｬﾝｾﾙ");
    Command2.setTabIndex(3);
    for (int i = 0; i < 4; ++i) {
        const Flag& flag = Flags[static_cast<size_t>(i)];
        chkINNO[i].move(60, flag.top, flag.width, 255);
        chkINNO[i].setCaption(flag.caption);
        chkINNO[i].setToolTipText(flag.toolTip);
        chkINNO[i].setTabIndex(4 + i);
    }
}

bool InputNameOne::ask(const std::string& familyName, const std::string& givenName, const std::array<bool, 4>& marks)
{
    entry::EntryState& state = entry::entryState();
    state.INNO_Result = 0;
    load();
    Text1.setText(familyName);
    Text2.setText(givenName);
    for (int i = 0; i < 4; ++i)
        chkINNO[i].setValue(marks[static_cast<size_t>(i)] ? forms::vbChecked : forms::vbUnchecked);
    show(forms::ShowMode::Modal);
    return state.INNO_Result == 1;
}

void InputNameOne::Command1_Click()
{
    if (platform::Trim(Text1.text()).empty() || platform::Trim(Text2.text()).empty()) {
        platform::MsgBox(entry::NameRequiredMessage, platform::vbOKOnly);
        return;
    }
    // A name the family file cannot hold is refused before anything changes.
    for (forms::TextBox* box : {&Text1, &Text2}) {
        if (!model::acceptSavableText(box->text())) {
            box->setFocus();
            return;
        }
    }
    model::Save_Undo();
    entry::EntryState& state = entry::entryState();
    state.INNO_Result = 1;
    state.INNO_FName = Text1.text();
    state.INNO_Name = Text2.text();
    for (int i = 0; i < 4; ++i) {
        const Flag& flag = Flags[static_cast<size_t>(i)];
        state.INNO_Opt[static_cast<size_t>(i)] = chkINNO[i].value() == forms::vbChecked ? flag.set : flag.unset;
    }
    model::tables().Data_Changed = 1;
    unload();
}

void InputNameOne::Command2_Click()
{
    entry::entryState().INNO_Result = 0;
    unload();
}

void InputNameOne::Text1_GotFocus()
{
    selectName(Text1);
}

void InputNameOne::Text2_GotFocus()
{
    selectName(Text2);
}

#include "entry/CelSet.h"

#include "entry/EntryForm.h"

#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Hooks.h"

#include <array>
#include <utility>
#include <vector>

namespace {

struct Group {
    const char* caption;
    std::vector<std::pair<int, const char*>> boxes; // grid column, caption; top to bottom
};

const std::array<Group, 4>& groups()
{
    static const std::array<Group, 4> list = {{
        {"基本情報", {{1, "名字"}, {2, "名前"}, {3, "旧姓"}, {4, "男女"}, {15, "続柄"}, {16, "戒名"}}},
        {"住所情報",
         {{11, "住所１"}, {12, "住所２"}, {8, "電話番号"}, {13, "郵便番号"}, {10, "FAX"}, {9, "携帯電話"}, {14, "E_mail"}}},
        {"生没情報", {{5, "生年月日"}, {6, "死亡年月日"}, {7, "年齢"}}},
        {"その他設定", {{17, "枠表示"}, {18, "死亡枠表示"}, {19, "カテゴリ設定"}, {20, "CSV出力フラグ"}}},
    }};
    return list;
}

constexpr int FirstColumn = 1;
constexpr int LastColumn = 20;

} // namespace

CelSet::CelSet() : Form("CelSet")
{
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

CelSet& celset_form()
{
    static CelSet instance;
    return instance;
}

void CelSet::design()
{
    setCaption(entry::CelSetCaption);
    setBorderStyle(forms::vbFixedDialog);
    move(2000, 1500, 7800, 3900);
    // Four groups side by side, each a caption over its boxes.
    double left = 120;
    for (size_t g = 0; g < groups().size(); ++g) {
        const Group& group = groups()[g];
        Label1[static_cast<int>(g)].move(left, 120, 1800, 255);
        Label1[static_cast<int>(g)].setCaption(group.caption);
        double top = 420;
        for (const auto& [column, caption] : group.boxes) {
            Check2[column].move(left, top, 1800, 300);
            Check2[column].setCaption(caption);
            top += 330;
        }
        left += 1860;
    }
    Command1.move(4560, 2880, 1335, 420);
    Command1.setCaption("クリア");
    Command2.move(6000, 2880, 1335, 420);
    Command2.setCaption("決定");
}

void CelSet::Form_Load()
{
    model::runState().CelSet_Open = 1;
    const model::Settings& s = model::settings();
    for (int i = FirstColumn; i <= LastColumn; ++i)
        Check2[i].setValue(s.DispFactor[static_cast<size_t>(i)] ? forms::vbChecked : forms::vbUnchecked);
}

void CelSet::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    (void)Cancel;
    (void)UnloadMode;
    // Closed by its frame or by the person editor: nothing is stored.
    model::runState().CelSet_Open = 0;
}

void CelSet::cels()
{
    // The grid belongs to the person editor; a closed editor applies the flags when it loads.
    if (entry_form().isLoaded())
        entry_form().cels();
}

void CelSet::Command1_Click()
{
    for (int i = 3; i <= LastColumn; ++i)
        Check2[i].setValue(forms::vbUnchecked);
}

void CelSet::Command2_Click()
{
    if (Check2[1].value() != forms::vbChecked || Check2[2].value() != forms::vbChecked) {
        platform::MsgBox(entry::NamesMustShowMessage, platform::vbOKOnly);
        return;
    }
    model::Settings& s = model::settings();
    for (int i = FirstColumn; i <= LastColumn; ++i)
        s.DispFactor[static_cast<size_t>(i)] = Check2[i].value() == forms::vbChecked;
    cels();
    model::runState().CelSet_Open = 0;
    unload();
    if (entry_form().isLoaded())
        entry_form().tb.setFocus();
}

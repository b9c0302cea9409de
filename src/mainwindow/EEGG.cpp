#include "mainwindow/EEGG.h"

#include "mainwindow/OtherWindows.h"
#include "platform/Hooks.h"

#include <string>

namespace {

// The credit lines, one per label.
constexpr std::array<const char*, EEGGForm::LabelCount> Credits{
    "Tevora",       "家系図作成ソフト", "",           "企画",   "Tevora 開発チーム",
    "設計",         "Tevora 開発チーム", "プログラム", "Tevora 開発チーム", "",
    "メッセージ",   "テスト",           "Tevora 開発チーム", "",  "Thank you!"};

} // namespace

EEGGForm::EEGGForm() : Form("EEGG")
{
    for (int i = 0; i < LabelCount; ++i)
        m_labels[static_cast<size_t>(i)] = std::make_unique<forms::Label>(*this, "Label" + std::to_string(i + 1));
    Command1.onClick = [this] { Command1_Click(); };
    Label(11).onClick = [this] { Label11_Click(); };
}

EEGGForm::~EEGGForm() = default;

void EEGGForm::design()
{
    setCaption("Form1");
    setBorderStyle(forms::vbFixedDialog);
    move(3000, 1500, 4800, 6600);
    Image1.move(120, 120, 960, 960);
    for (int i = 0; i < LabelCount; ++i) {
        forms::Label& label = *m_labels[static_cast<size_t>(i)];
        label.move(1200, 120 + i * 330, 3360, 300);
        label.setCaption(Credits[static_cast<size_t>(i)]);
    }
    Command1.move(3360, 5580, 1215, 420);
    Command1.setCaption("Close");
}

void EEGGForm::Form_Load()
{
    zOrder(0);
}

void EEGGForm::Command1_Click()
{
    hide();
}

void EEGGForm::Label11_Click()
{
    platform::MsgBox(Note, platform::vbOKOnly);
}

EEGGForm& eegg_form()
{
    static EEGGForm instance;
    return instance;
}

namespace mainwindow {

void OtherWindows::showMessageScreen()
{
    eegg_form().show(forms::ShowMode::Modal);
}

} // namespace mainwindow

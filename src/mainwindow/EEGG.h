#pragma once
// The hidden message screen `EEGG`: a small window with a picture and credit
// labels, opened by Shift+F12 on the main window. "Close" only hides it, so the
// next Shift+F12 shows it again; a click on Label11 shows a fixed note.

#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Image.h"
#include "forms/Label.h"

#include <array>
#include <memory>

class EEGGForm : public forms::Form {
public:
    static constexpr int LabelCount = 15;
    static constexpr const char* Note = "この画面は開発者からのメッセージです。\r\n"
                                        "Tevora をご利用いただきありがとうございます。\r\n"
                                        "家系図づくりをお楽しみください。";

    EEGGForm();
    ~EEGGForm() override;

    forms::CommandButton Command1{*this, "Command1"}; // "Close"
    forms::Image Image1{*this, "Image1"};

    // Label1 .. Label15 (Label(1) is Label1).
    forms::Label& Label(int number) { return *m_labels.at(static_cast<size_t>(number - 1)); }

    void Form_Load() override;
    void Command1_Click();
    void Label11_Click();

protected:
    void design() override;

private:
    std::array<std::unique_ptr<forms::Label>, LabelCount> m_labels;
};

// The one instance of the window.
EEGGForm& eegg_form();

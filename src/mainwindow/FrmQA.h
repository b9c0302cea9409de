#pragma once
// The hints window `FrmQA` ("使い方のヒント"): numbered usage hints, each a text
// with a picture, read from "qa\qatext.txt" in the program folder on every load.
// Its check box decides whether the window opens at start-up: closing the
// window, by any way, rewrites "tvora.ini" with "QAMODE,1" or "QAMODE,0"; a file
// that cannot be written is named with why, and the window closes all the same.
//
// The hints file: a line starting "@L" starts hint n (the number after the
// marker, 0..100); a line starting "@P" names the current hint's picture in the
// folder "QA"; every other line belongs to the current hint's text, followed by
// CR LF. Markers are recognised in exactly this case.

#include "forms/CheckBox.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Image.h"
#include "forms/Label.h"

#include <array>
#include <string>

class FrmQAForm : public forms::Form {
public:
    static constexpr int LastHintIndex = 100;

    FrmQAForm();

    forms::Label Label1{*this, "Label1"};           // the hint text
    forms::Image Image1{*this, "Image1"};           // the hint picture
    forms::CommandButton Command1{*this, "Command1"}; // "次へ"
    forms::CommandButton Command2{*this, "Command2"}; // "戻る"
    forms::CommandButton Command3{*this, "Command3"}; // "閉じる"
    forms::CheckBox Check1{*this, "Check1"};        // "起動時にこの画面を表示する"

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // Shows the current hint: its text and its picture.
    void DispQA();

    // The hints as read (texts end every line with CR LF).
    const std::string& hintText(int number) const { return m_texts.at(static_cast<size_t>(number)); }
    const std::string& hintPicture(int number) const { return m_pictures.at(static_cast<size_t>(number)); }
    int lastHint() const { return m_lastHint; }
    int currentHint() const { return m_current; }

protected:
    void design() override;

private:
    void readHints(const std::string& path);

    std::array<std::string, LastHintIndex + 1> m_texts;
    std::array<std::string, LastHintIndex + 1> m_pictures;
    int m_lastHint = -1;
    int m_current = 0;
};

// The one instance of the window.
FrmQAForm& frmqa_form();

#include "mainwindow/FrmQA.h"

#include "forms/Picture.h"
#include "forms/WindowFunctions.h"
#include "mainwindow/OtherWindows.h"
#include "model/Utilities.h"
#include "model/filestore/FamilyFile.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/TextFile.h"

namespace {

constexpr const char* HintsFile = "\\qa\\qatext.txt";
constexpr const char* PictureFolder = "\\QA\\";
constexpr const char* SettingsFile = "\\tvora.ini";
constexpr const char* HintsMissingMessage = "ヒントファイルが見つかりません";
// A marker's argument: the characters 3..101 of its line.
constexpr long MarkerArgumentLength = 99;

// The hint's area: the picture on its left, the text beside it; a hint without a
// picture gives the text the whole width.
constexpr double HintTop = 120;
constexpr double HintHeight = 4200;
constexpr double PictureLeft = 120;
constexpr double PictureWidth = 4200;
constexpr double TextBesidePictureLeft = 4440;
constexpr double HintRight = 8160;

} // namespace

FrmQAForm::FrmQAForm() : Form("FrmQA")
{
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
}

void FrmQAForm::design()
{
    setCaption("使い方のヒント");
    setBorderStyle(forms::vbFixedDialog);
    move(3000, 2000, 8400, 6300);
    Image1.move(PictureLeft, HintTop, PictureWidth, HintHeight);
    Label1.move(TextBesidePictureLeft, HintTop, HintRight - TextBesidePictureLeft, HintHeight);
    Label1.setCaption("");
    Check1.move(120, 4500, 4200, 300);
    Check1.setCaption("起動時にこの画面を表示する");
    Command2.move(4440, 5160, 1155, 420);
    Command2.setCaption("戻る");
    Command1.move(5700, 5160, 1155, 420);
    Command1.setCaption("次へ");
    Command3.move(6960, 5160, 1155, 420);
    Command3.setCaption("閉じる");
}

void FrmQAForm::Form_Load()
{
    forms::SetTopMost(*this, 1);
    Check1.setValue(model::Get_QAMode() == 1 ? forms::vbChecked : forms::vbUnchecked);
    m_texts.fill("");
    m_pictures.fill("");
    m_lastHint = -1;
    m_current = 0;

    const std::string path = platform::appFile(HintsFile);
    if (!platform::fileExists(path)) {
        platform::MsgBox(HintsMissingMessage, platform::vbOKOnly);
        unload();
        return;
    }
    readHints(path);

    m_current = 0;
    Command1.setEnabled(true);
    Command2.setEnabled(false);
    DispQA();
}

void FrmQAForm::readHints(const std::string& path)
{
    platform::TextInputFile file(path);
    // Lines before the first "@L", and the lines of a hint numbered outside
    // 0..100, belong to no hint and are skipped.
    int hint = -1;
    std::string line;
    while (file.readLine(line)) {
        const std::string marker = platform::Left(line, 2);
        if (marker == "@L") {
            const double number = platform::Val(platform::Mid(line, 3, MarkerArgumentLength));
            hint = number >= 0 && number <= LastHintIndex ? static_cast<int>(number) : -1;
            if (hint >= 0)
                m_lastHint = hint;
        } else if (marker == "@P") {
            if (hint >= 0)
                m_pictures[static_cast<size_t>(hint)] = platform::Trim(platform::Mid(line, 3, MarkerArgumentLength));
        } else if (hint >= 0) {
            m_texts[static_cast<size_t>(hint)] += line + "\r\n";
        }
    }
    file.close();
}

void FrmQAForm::DispQA()
{
    Label1.setCaption(m_texts[static_cast<size_t>(m_current)]);
    // A hint without a picture, or whose picture file is missing or unreadable,
    // shows its text alone rather than ending the window.
    forms::Picture picture;
    const std::string& name = m_pictures[static_cast<size_t>(m_current)];
    if (!name.empty()) {
        try {
            picture = forms::LoadPicture(platform::appFile(PictureFolder + name));
        } catch (const platform::RuntimeError&) {
            picture = forms::Picture();
        }
    }
    Image1.setPicture(picture);
    Image1.setVisible(!picture.isEmpty());
    const double textLeft = picture.isEmpty() ? PictureLeft : TextBesidePictureLeft;
    Label1.move(textLeft, HintTop, HintRight - textLeft, HintHeight);
}

void FrmQAForm::Command1_Click()
{
    Command2.setEnabled(true);
    if (m_current < m_lastHint)
        ++m_current;
    if (m_current == m_lastHint)
        Command1.setEnabled(false);
    DispQA();
}

void FrmQAForm::Command2_Click()
{
    Command1.setEnabled(true);
    if (m_current > 0)
        --m_current;
    if (m_current == 0)
        Command2.setEnabled(false);
    DispQA();
}

void FrmQAForm::Command3_Click()
{
    unload();
}

void FrmQAForm::Form_Unload(int& Cancel)
{
    (void)Cancel;
    const std::string line = std::string("QAMODE,") + (Check1.value() == forms::vbChecked ? "1" : "0") + "\r\n";
    const std::string path = platform::appFile(SettingsFile);
    try {
        platform::writeFileAtomically(path, line);
    } catch (const platform::RuntimeError& e) {
        // The settings file stays as it was, and the user is told that the choice
        // was not kept; the window closes all the same.
        platform::MsgBox(platform::failedFileMessage(model::SaveFailedMessage, e, path), platform::vbOKOnly);
    }
}

FrmQAForm& frmqa_form()
{
    static FrmQAForm instance;
    return instance;
}

namespace mainwindow {

void OtherWindows::showHints()
{
    frmqa_form().show();
}

} // namespace mainwindow

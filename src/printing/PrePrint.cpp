#include "printing/PrePrint.h"

#include "platform/Conversions.h"
#include "platform/Hooks.h"

namespace printing {

PrePrintForm::PrePrintForm() : PagePreviewForm("PrePrint", {1})
{
    Text2.onKeyPress = [this](int Index, int16_t& KeyAscii) { Text2_KeyPress(Index, KeyAscii); };
    Text2.onLostFocus = [this](int Index) { Text2_LostFocus(Index); };
}

void PrePrintForm::design()
{
    PagePreviewForm::design();
    setCaption(PrePrintCaption);
    Label3.move(120, 1200, 1900, 255);
    Label3.setCaption("印刷開始位置");
    Label3.setToolTipText("印刷開始位置を、用紙の左上から、縦横何%の位置から開始するか指定します");
    Label4.move(120, 1560, 300, 255);
    Label4.setCaption("横");
    Text2[0].move(480, 1500, 1000, 330);
    Text2[0].setText("0");
    // The start position takes digits, typed half-width.
    Text2[0].setIMEMode(forms::vbIMEOff);
    Label6.move(1520, 1560, 300, 255);
    Label6.setCaption("%");
    Label5.move(120, 1980, 300, 255);
    Label5.setCaption("縦");
    Text2[1].move(480, 1920, 1000, 330);
    Text2[1].setText("0");
    Text2[1].setIMEMode(forms::vbIMEOff);
    Label7.move(1520, 1980, 300, 255);
    Label7.setCaption("%");
}

StartPosition PrePrintForm::startPosition() const
{
    return {boxValue(Text2[0].text()), boxValue(Text2[1].text())};
}

void PrePrintForm::clampStartBox(int Index)
{
    const double value = platform::Val(Text2[Index].text());
    if (value > 100)
        Text2[Index].setText("100");
    else if (value < 0)
        Text2[Index].setText("0");
}

void PrePrintForm::Text2_KeyPress(int Index, int16_t& KeyAscii)
{
    if (KeyAscii != 13)
        return;
    const std::string text = Text2[Index].text();
    if (!platform::IsNumeric(text)) {
        platform::MsgBox(StartPositionMessage, platform::vbOKOnly);
        Text2[Index].setSelStart(0);
        Text2[Index].setSelLength(static_cast<int>(platform::Len(text)));
        return;
    }
    clampStartBox(Index);
    refuse(BuildPreview());
}

void PrePrintForm::Text2_LostFocus(int Index)
{
    clampStartBox(Index);
}

PrePrintForm& preprint_form()
{
    static PrePrintForm form;
    return form;
}

} // namespace printing

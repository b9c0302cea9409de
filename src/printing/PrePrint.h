#pragma once
// The print preview window `PrePrint` ("印刷プレビュー画面"): the recorded chart
// cut into printer pages, with the print scale, the start position on the
// paper, the printer choice and printing. It works from the drawing lists alone.
//
// The main window's print command opens it, modally, right after recording the
// chart of the selected tab:
//
//     drawing::resetDrawingLists();                 // counts 0
//     drawing::drawState().Draw_ToBuf = 1;
//     ... Draw_Keizu of the selected tab (every tree side by side for all trees) ...
//     drawing::drawState().Draw_ToBuf = 0;
//     printing::preprint_form().show(forms::ShowMode::Modal, &main_form());
//
// With no printer installed the window says so and closes at once, leaving the
// tables untouched.

#include "forms/ControlArray.h"
#include "forms/Label.h"
#include "forms/TextBox.h"
#include "printing/PagePreviewForm.h"

namespace printing {

class PrePrintForm : public PagePreviewForm {
public:
    PrePrintForm();

    forms::Label Label3{*this, "Label3"};
    forms::Label Label4{*this, "Label4"};
    forms::Label Label5{*this, "Label5"};
    forms::ControlArray<forms::TextBox> Text2{*this, "Text2", {0, 1}};
    forms::Label Label6{*this, "Label6"};
    forms::Label Label7{*this, "Label7"};

    void Text2_KeyPress(int Index, int16_t& KeyAscii);
    void Text2_LostFocus(int Index);

protected:
    void design() override;
    StartPosition startPosition() const override;

private:
    // "100" above 100, "0" below 0; false (and the message) for a text that is no number.
    void clampStartBox(int Index);
};

PrePrintForm& preprint_form();

} // namespace printing

#pragma once
// The chart display window `DispKeizu` ("家系図表示画面"): the recorded chart as a
// grid of page pictures, printed as the print preview prints it, but without a
// start position: page (1, 1) always begins at the top-left corner of the
// chart. It shares the print scale (Print_Scale) with the print preview and has
// its own page grid.
//
// No command of the program opens it. A caller that wants it records the chart
// into the drawing lists exactly as the print command does before opening the
// print preview (see PrePrint.h), then
//
//     printing::dispkeizu_form().show(forms::ShowMode::Modal, &main_form());

#include "forms/CommonDialog.h"
#include "forms/PictureBox.h"
#include "printing/PagePreviewForm.h"

namespace printing {

class DispKeizuForm : public PagePreviewForm {
public:
    DispKeizuForm();

    forms::PictureBox Picture4{*this, "Picture4"};          // on the window; nothing draws on it
    forms::CommonDialog CommonDialog1{*this, "CommonDialog1"};

protected:
    void design() override;
};

DispKeizuForm& dispkeizu_form();

} // namespace printing

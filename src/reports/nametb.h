#pragma once
// The name list window `nametb` ("名簿画面"): the persons on the chart of the
// selected tab as a ruled table of name, sex, birth date and death date, with a
// print button. The table is drawn once, when the window loads, and does not follow
// later edits; the window only reads the family and the chart layout.
//
// The main window shows it not modal (toolbar button "名簿", menu "名簿画面"):
//
//     nametb_form().show();
//
// and unloads it from its File menu handler with nametb_form().unload().

#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "forms/ScrollBar.h"
#include "reports/NameList.h"

class NametbForm : public forms::Form {
public:
    NametbForm();

    // --- Controls ---

    // A fixed frame that clips the list; Picture2 inside it is the drawing surface,
    // moved up and down by VScroll1.
    forms::PictureBox Picture1{*this, "Picture1"};
    forms::PictureBox Picture2{Picture1, "Picture2"};
    forms::VScrollBar VScroll1{*this, "VScroll1"};
    forms::ControlArray<forms::CommandButton> CMDFUNC{*this, "CMDFUNC", {4}};   // (4) "印刷"
    forms::CommandButton CMDEND{*this, "CMDEND"};                               // "戻る"

    // --- Operations ---

    // Draws the table into Picture2 and sets up the scroll bar.
    void DispNameList();
    // Prints the table on the current printer (A4, portrait) as one job
    // (forms::printDocument: on the PDF printer "<family>_名簿.pdf" is offered);
    // the printer's own paper size and orientation come back afterwards.
    void PrintNameList();

    // --- Window state, kept from DispNameList until the window unloads ---

    reports::NameListGeometry geometry;   // the screen table's column edges and top
    double rowBottom = 0;                 // bottom of the last row drawn
    double scrollStep = 1;                // twips of Picture2 per scroll unit

    // --- Event handlers ---

    void Form_Load() override;
    void CMDFUNC_Click(int Index);
    void CMDEND_Click();
    void VScroll1_Change();

protected:
    void design() override;
};

// The one instance of the window.
NametbForm& nametb_form();

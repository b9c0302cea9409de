#pragma once
// The chronology table window `yeartb` ("年表画面"): the persons of the family as
// life bars on a time axis of years. Two presentations share the sheet Picture2:
//
// - the tree layout, built when the window loads and by "再表示": the persons of
//   the selected tab's tree (or of every tree), grouped by tree, with as many bars
//   on one line as follow each other in time, under a grid of years;
// - the line lists, painted by the order button: one line per person, in
//   birth-year order or in the chart's family order, with a name label each.
//
// "印刷" always prints the tree layout (kept as data by YDisp_CTL), whichever
// presentation is on screen. The window reads the family and the chart layout;
// it writes only Nenpyo_SortMode, PerCount, the person card's open flag (through
// the installed ChronologyWindows) and YTbl_Open.
//
// The main window shows it not modal:
//
//     yeartb_form().show();
//
// and editing windows unload it while YTbl_Open is -1, so it is built afresh from
// the current family the next time it opens.

#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/LineControl.h"
#include "forms/PictureBox.h"
#include "forms/ScrollBar.h"
#include "forms/TextBox.h"
#include "reports/Chronology.h"

#include <cstdint>
#include <vector>

namespace reports {
inline constexpr const char* YeartbCaption = "年表画面";
inline constexpr const char* NotAFamilyMessage = "家族ではありません";
inline constexpr const char* FamilyOrderCaption = "家系順";
inline constexpr const char* BirthOrderCaption = "生年順";
} // namespace reports

class YeartbForm : public forms::Form {
public:
    YeartbForm();

    // --- Controls ---

    forms::PictureBox Picture1{*this, "Picture1"};     // viewport
    forms::PictureBox Picture2{Picture1, "Picture2"};  // the scrolling sheet
    forms::VScrollBar vsc{*this, "vsc"};
    // Bars: elements 1 and 2 serve the line lists; the tree layout places its
    // bars from 3 up, the line lists their lines from 3 up. An element from 3 up
    // stays loaded when the sheet changes presentation and is placed anew.
    forms::ControlArray<forms::Label> Label3{Picture2, "Label3", {1, 2}};
    forms::ControlArray<forms::Label> Label2{Picture2, "Label2", {1, 2}};   // name labels of the line lists
    // Names beside the tree layout's bars that are too narrow to show them, from 1 up.
    forms::ControlArray<forms::Label> BarName{Picture2, "BarName", {0}};
    forms::ControlArray<forms::Label> Label1{*this, "Label1", {0, 1, 2}};   // year labels above the viewport
    forms::ControlArray<forms::LineControl> Line1{Picture2, "Line1", {0, 1}};   // year grid
    forms::Label Label5{*this, "Label5"};   // heading
    forms::Label Label4{*this, "Label4"};   // "年毎に目盛"
    forms::TextBox Text2{*this, "Text2"};   // year step of the grid
    forms::CommandButton Command1{*this, "Command1"};   // "再表示"
    forms::ControlArray<forms::CommandButton> CMDFUNC{*this, "CMDFUNC", {1, 2, 3, 4}};
    forms::CommandButton CMDEND{*this, "CMDEND"};   // "戻る"
    forms::TextBox Text1{*this, "Text1"};           // keyboard focus holder

    // --- Tree layout ---

    void YDisp_CTL();
    void Load_YTbl();
    void LoadYTblSub(int tree);
    void Disp_YTbl_Ctl();
    // Places the bar of row; pos (the last bar element created) and cur (the year
    // up to which the line is taken) are the caller's.
    void Disp_YTbl_Ex(int row, int& pos, int line, int& cur);
    // Where the bar of row stands, its name beside it when the bar is too narrow.
    reports::BarGeometry barGeometry(int row, int line);
    // The room the caption of person's bar needs, twips, frame included.
    double captionWidth(int person);
    void SetVscParam();
    void Make_NenLabel();

    // --- Line lists ---

    void ypaint();
    void displab(int line);

    // --- Printing ---

    // Prints the tree layout on the current printer as one job. No printer: the
    // message of "プリンタ設定"; otherwise forms::printDocument (on the PDF printer
    // "<family>_年表.pdf" is offered; a failure says so once).
    void YPrint();

    // --- State of the tree layout ---

    reports::ChronologyRows table;
    reports::YearExtent extent;
    int YAreaW = 0;
    int YAreaH = 0;
    int YAxisW = 0;
    double YScrollSpan = 0;
    double YPicTop = 0;
    int lastBar = 2;                       // highest bar element of the tree layout
    int lastBarName = 0;                   // highest name element of the tree layout
    std::vector<int16_t> barPersons;       // person of each bar element, from element 3 on
    int selectedBar = 0;                   // the bar clicked last; 0 none
    reports::ChronologyPrintout printout;  // what YPrint prints
    std::vector<double> captionWidths;    // by person slot, measured on demand; -1 not yet
    reports::ChronologyYears years;       // the years of the dates read while the window is loaded

    // --- State of the line lists ---

    reports::ChronologyLines lists;
    int16_t YOrderFlag = 0;   // 0 family order, -1 birth-year order
    int YFamilyCount = 0;
    int YCurLine = 0;
    reports::PainterAxis axis;

    // --- Event handlers ---

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Command1_Click();
    void CMDFUNC_Click(int Index);
    void CMDEND_Click();
    void vsc_Change();
    void vsc_GotFocus();
    void Picture_Click();
    void Label3_Click(int Index);

protected:
    void design() override;

private:
    // The entry of line (1-based) of the list on screen.
    const reports::YLineRec& shownLine(int line) const;
    int shownLineCount() const;
    // The wheel step of vsc for lines of the given pitch.
    void setWheelLines(double pitch);
    // Removes what only one presentation puts on the sheet before the other is
    // built; the bars (Label3 from 3 on) stay for the other to take.
    void clearLineLists();
    void clearTreeLayout();
    void forgetTreeLayout();
    void hideFirstLines();
    // Selects a bar of the tree layout, marking it in the current line's colour and
    // giving the bar selected before its own colour back; 0 selects none.
    void selectBar(int bar);
    bool showsTreeLayout() const { return lastBar > 2; }

    // The tree layout's bars and names in the order they were placed.
    std::vector<forms::Control*> treeStack;
};

// The one instance of the window.
YeartbForm& yeartb_form();

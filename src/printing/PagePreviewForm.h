#pragma once
// What the two page-preview windows share: the print preview `PrePrint` and the
// chart display `DispKeizu` show the chart recorded in the drawing lists as a
// grid of preview pages, one eighth of the printed size, and print it page by
// page on the current printer. Each procedure here has the body both windows
// use; a window adds its own controls and says where the chart starts on the
// paper (startPosition).
//
// Opening: the caller records the chart into the drawing lists first (see
// PrePrint.h) and then shows the window modally. While it is open the person
// tables are in their pre-draw state (copies for several marriages, hidden
// branches); closing the window puts them back, and only then.

#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Printers.h"
#include "forms/ScrollBar.h"
#include "forms/TextBox.h"
#include "printing/PageRenderer.h"
#include "printing/printing_state.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace printing {

// The start of the chart on the paper, in percent of the page.
struct StartPosition {
    double x = 0;
    double y = 0;
};

class PagePreviewForm : public forms::Form {
public:
    // --- Public operation ---
    // CvR: a printer coordinate clamped for the current page set-up.
    double CvR(double v) const;

    // --- Form variables ---
    PageGrid grid;
    FaceIconHolder icon;     // the state of Image1 as the renderer uses it
    // True while the tables are in the pre-draw state this window put them in.
    bool isHoldingTransforms() const { return m_transformed; }

    // --- Controls ---
    forms::PictureBox Picture1{*this, "Picture1"};
    forms::PictureBox Picture2{Picture1, "Picture2"};
    forms::ControlArray<forms::PictureBox> Picture3;
    forms::HScrollBar HScroll1{*this, "HScroll1"};
    forms::VScrollBar VScroll1{*this, "VScroll1"};
    forms::Label Label1{*this, "Label1"};
    forms::TextBox Text1{*this, "Text1"};
    forms::Label Label2{*this, "Label2"};
    forms::ControlArray<forms::CommandButton> CMDFUNC{*this, "CMDFUNC", {0, 1}};
    forms::CommandButton CMDEND{*this, "CMDEND"};
    forms::Image Image1{*this, "Image1"};

    // --- Event handlers ---
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;
    void HScroll1_Change();
    void VScroll1_Change();
    void Text1_KeyPress(int16_t& KeyAscii);
    void Text1_LostFocus();
    void CMDFUNC_Click(int Index);
    void CMDEND_Click();

protected:
    PagePreviewForm(std::string name, std::initializer_list<int> pageDesignIndexes);

    void design() override;
    // The start position the page set-up applies; none by default.
    virtual StartPosition startPosition() const { return {}; }

    // After a change of scale, start position or printer: the page set-up, then
    // the pages composed anew. A refused set-up changes nothing and is returned.
    PageSetupVerdict BuildPreview();
    // The grid and the face-icon size for the current printer, scale and start
    // position; a refused set-up changes nothing.
    PageSetupVerdict SetupPages();
    void LoadPagePictures();
    // Places, clears and shows every page picture; none is drawn yet.
    void ComposePreview();
    // What a refused set-up says: too many pages, or a printer without a
    // printable area, which closes the window as no printer would.
    void refuse(PageSetupVerdict verdict);
    // The printing loop of "印刷", one job through the program's print routine
    // (the PDF file asked first; a failure said once and the job discarded).
    void printAllPages();

private:
    void applyScaleBox();
    void setIconSize(double divisor);
    // The set-up of setUp at the current scale, or at 100 % when the current one
    // gives too many pages (after the message). False when no set-up can be made:
    // the window has said why and closed.
    bool setUpOrClose(const std::function<PageSetupVerdict()>& setUp);
    // The please-wait text on the viewport while the page pictures are loaded,
    // placed and laid out and the pages in view are drawn.
    void composePages();
    // The Resize layout of the controls.
    void layOut();
    // Draws the pages that lie in the viewport and were not drawn since the last
    // composition: a page picture is made when it comes into view.
    void drawPagesInView();
    // The pages set up anew when the current printer's page is not the one they
    // were set up for: the desktop's default printer became known after the window
    // opened on the page of the printer that stood in for it.
    void followPrinter();

    bool m_transformed = false;
    bool m_composePending = false;      // loaded, the pages not composed yet
    std::vector<bool> m_pageDrawn;      // by page index, 1-based
    PageElements m_pageElements;        // the records as the preview pages draw them
    // The printer list changed: the current printer may be another one now.
    forms::PrinterListFollower m_printerList{[this] {
        if (isLoaded())
            followPrinter();
    }};
};

} // namespace printing

#include "reports/nametb.h"

#include "forms/Printer.h"
#include "forms/Printers.h"
#include "model/Utilities.h"
#include "model/tables.h"
#include "platform/Errors.h"
#include "platform/Hooks.h"
#include "reports/reports_state.h"

#include <algorithm>

namespace {

constexpr double FrameWidth = 6375;
constexpr double FrameHeight = 6405;
constexpr int ScrollLimit = 32767;
constexpr const char* ScreenTitle = "名            簿";
constexpr long White = 0xFFFFFF;

} // namespace

NametbForm::NametbForm() : Form("nametb")
{
    CMDFUNC.onClick = [this](int index) { CMDFUNC_Click(index); };
    CMDEND.onClick = [this] { CMDEND_Click(); };
    VScroll1.onChange = [this] { VScroll1_Change(); };
    VScroll1.setWheelArea(&Picture1);
}

void NametbForm::design()
{
    setCaption("名簿画面");
    setBorderStyle(forms::vbFixedSingle);
    move(1200, 900, 7080, 7560);

    Picture1.move(120, 120, FrameWidth, FrameHeight);
    Picture1.setBorderStyle(0);
    Picture2.move(0, 0, FrameWidth, FrameHeight);
    Picture2.setBorderStyle(0);
    Picture2.setBackColor(White);
    VScroll1.move(120 + FrameWidth, 120, 255, FrameHeight);
    VScroll1.setEnabled(false);

    CMDFUNC[4].move(3600, 6660, 1335, 375);
    CMDFUNC[4].setCaption("印刷");
    CMDEND.move(5160, 6660, 1335, 375);
    CMDEND.setCaption("戻る");
}

void NametbForm::Form_Load()
{
    DispNameList();
    if (forms::Printers().count() == 0) {
        platform::MsgBox(reports::PrinterMissingMessage, platform::vbOKOnly);
        CMDFUNC[4].setEnabled(false);
    } else {
        CMDFUNC[4].setEnabled(true);
    }
}

void NametbForm::DispNameList()
{
    const reports::NameListStyle& style = reports::ScreenNameList;
    const double width = Picture1.width();
    const double height = Picture1.height();

    // The first height counts every person of the family, listed or not.
    int persons = 0;
    for (int slot = 1; slot <= model::LastSlot; ++slot) {
        if (model::isTakenPerson(slot))
            ++persons;
    }
    Picture2.move(0, 0, width, (persons + 2) * style.rowHeight + height / 10);
    Picture2.cls();

    Picture2.setCurrentX(3 * width / 8);
    Picture2.setCurrentY(height / 18);
    Picture2.print(ScreenTitle);

    geometry = reports::nameListGeometry(width, height);
    rowBottom = reports::drawNameListHeading(Picture2, geometry, geometry.top, style);
    for (int slot = 1; slot <= style.lastSlot; ++slot) {
        if (reports::isOnNameList(slot))
            rowBottom = reports::drawNameListRow(Picture2, geometry, rowBottom, style, slot);
    }
    reports::closeNameList(Picture2, geometry, rowBottom);

    const double contentHeight = rowBottom + height / 18;
    scrollStep = 1;
    if (height >= contentHeight) {
        VScroll1.setEnabled(false);
        return;
    }
    VScroll1.setEnabled(true);
    Picture2.setHeight(contentHeight);
    VScroll1.setMin(0);
    const double excess = Picture2.height() - height;
    if (excess < ScrollLimit) {
        VScroll1.setMax(static_cast<int>(excess));
    } else {
        // Past the scroll bar's range one unit moves more than a twip, so the
        // last row can still be reached.
        VScroll1.setMax(ScrollLimit);
        scrollStep = excess / ScrollLimit;
    }
    VScroll1.setSmallChange(100);
    VScroll1.setLargeChange(500);
    // A wheel notch moves the list three rows.
    VScroll1.setWheelStep(std::max(1, static_cast<int>(3 * style.rowHeight / scrollStep)));
}

void NametbForm::VScroll1_Change()
{
    Picture2.setTop(-(VScroll1.value() * scrollStep));
}

void NametbForm::PrintNameList()
{
    // The list is laid out for A4 portrait; the printer's own page set-up comes
    // back afterwards, so the charts printed later keep theirs. The printer is
    // the one the print goes to before it is set up.
    if (!forms::settleCurrentPrinter())
        return;
    forms::Printer& printer = forms::printer();
    const int paperSize = printer.paperSize();
    const int orientation = printer.orientation();
    printer.setPaperSize(forms::vbPRPSA4);
    printer.setOrientation(forms::vbPRORPortrait);
    // One job with a new sheet per page: pages sent as separate jobs would each
    // replace the last one where the printer writes a file.
    forms::printDocument(*this, model::pdfPathForReport(reports::NameListReportName), [](forms::Printer& page) {
        reports::printNameListPages(page, [&page] { page.newPage(); });
    });
    printer.setPaperSize(paperSize);
    printer.setOrientation(orientation);
}

void NametbForm::CMDFUNC_Click(int Index)
{
    if (Index == 4)
        PrintNameList();
}

void NametbForm::CMDEND_Click()
{
    unload();
}

NametbForm& nametb_form()
{
    static NametbForm instance;
    return instance;
}

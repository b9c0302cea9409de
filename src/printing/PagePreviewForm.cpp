#include "printing/PagePreviewForm.h"

#include "drawing/draw_state.h"
#include "forms/BusyPointer.h"
#include "forms/Printer.h"
#include "forms/Printers.h"
#include "forms/Screen.h"
#include "layout/chart_state.h"
#include "layout/predraw/PreDraw.h"
#include "model/DispStat.h"
#include "model/settings.h"
#include "model/Utilities.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Hooks.h"
#include "printing/FrmPrnSet.h"

#include <algorithm>

namespace printing {

namespace {

constexpr long White = 0xFFFFFF;
constexpr double DesignPicture1Left = 2190;
constexpr double DesignPicture1Top = 120;
constexpr double MinLayoutWidth = 8000;
constexpr double MinLayoutHeight = 6000;

} // namespace

PagePreviewForm::PagePreviewForm(std::string name, std::initializer_list<int> pageDesignIndexes)
    : Form(std::move(name)), Picture3(Picture2, "Picture3", pageDesignIndexes)
{
    HScroll1.onChange = [this] { HScroll1_Change(); };
    VScroll1.onChange = [this] { VScroll1_Change(); };
    Text1.onKeyPress = [this](int16_t& KeyAscii) { Text1_KeyPress(KeyAscii); };
    Text1.onLostFocus = [this] { Text1_LostFocus(); };
    CMDFUNC.onClick = [this](int Index) { CMDFUNC_Click(Index); };
    CMDEND.onClick = [this] { CMDEND_Click(); };
}

void PagePreviewForm::design()
{
    move(0, 0, 12000, 9000);
    Picture1.move(DesignPicture1Left, DesignPicture1Top, 9000, 7000);
    Picture1.setBackColor(0x808080);
    Picture2.move(0, 0, 8000, 6000);
    Picture2.setBorderStyle(0);
    Picture2.setBackColor(0x808080);
    Picture3[Picture3.lBound()].move(150, 100, 1000, 1400);
    Picture3[Picture3.lBound()].setBackColor(White);
    Picture3[Picture3.lBound()].setBorderStyle(0);
    if (Picture3.exists(1)) {
        Picture3[1].move(150, 100, 1000, 1400);
        Picture3[1].setBackColor(White);
        Picture3[1].setBorderStyle(0);
    }
    HScroll1.move(DesignPicture1Left, 7200, 9000, 255);
    VScroll1.move(11200, DesignPicture1Top, 255, 7000);
    Label1.move(120, 240, 1000, 255);
    Label1.setCaption("印刷倍率");
    Text1.move(120, 540, 1100, 330);
    // The scale takes digits, typed half-width.
    Text1.setIMEMode(forms::vbIMEOff);
    Label2.move(1260, 600, 300, 255);
    Label2.setCaption("％");
    // The two command buttons share one row (the layout moves them together).
    CMDFUNC[0].move(60, 6000, 1170, 495);
    CMDFUNC[0].setCaption("プリンタ設定");
    CMDFUNC[1].move(1290, 6000, 840, 495);
    CMDFUNC[1].setCaption("印刷");
    CMDEND.move(120, 7200, 1900, 495);
    CMDEND.setCaption("戻る");
    Image1.setVisible(false);
}

double PagePreviewForm::CvR(double v) const
{
    return printing::CvR(grid, v);
}

void PagePreviewForm::Form_Load()
{
    m_transformed = false;
    m_composePending = false;
    if (forms::Printers().count() == 0) {
        platform::MsgBox(NoPrinterMessage, platform::vbOKOnly);
        unload();
        return;
    }

    model::Settings& settings = model::settings();
    if (!(settings.Print_Scale > 0 && settings.Print_Scale <= MaxStoredScale))
        settings.Print_Scale = 1.0f;
    Text1.setText(platform::CStr(nearestInt(static_cast<double>(settings.Print_Scale) * 100)));
    settings.Print_TateYoko = 0;
    grid = PageGrid();
    icon = FaceIconHolder();
    // The page set-up comes before the tables are touched: a printer that cannot
    // take the chart closes the window with the family as it was.
    if (!setUpOrClose([this] { return SetupPages(); }))
        return;

    model::Apply_DispModes();
    layout::Backup_Bufs();
    layout::Hide_Branches();
    m_transformed = true;
    // The pages show what the chart shows: a further marriage the person table has no
    // slot for is left out of both, and the chart's rebuild has said which.
    (void)layout::Expand_MultiMarry();
    CMDFUNC[1].setEnabled(true);
    // The pages are composed when the window is first laid out, on screen, so the
    // please-wait text shows from the first opening on.
    m_composePending = true;
}

bool PagePreviewForm::setUpOrClose(const std::function<PageSetupVerdict()>& setUp)
{
    PageSetupVerdict verdict = setUp();
    if (verdict == PageSetupVerdict::TooManyPages) {
        platform::MsgBox(TooManyPagesMessage, platform::vbOKOnly);
        model::Settings& settings = model::settings();
        if (settings.Print_Scale != 1.0f) {
            settings.Print_Scale = 1.0f;
            Text1.setText("100");
            verdict = setUp();
        }
    }
    if (verdict == PageSetupVerdict::NoPrintableArea)
        platform::MsgBox(NoPrinterMessage, platform::vbOKOnly);
    if (verdict == PageSetupVerdict::Made)
        return true;
    unload();
    return false;
}

void PagePreviewForm::Form_Unload(int&)
{
    // Only the transforms this window applied are undone: a window that closed at
    // once for want of a printer must not copy a stale backup over the family.
    if (m_transformed) {
        layout::Restore_Bufs();
        m_transformed = false;
    }
}

void PagePreviewForm::setIconSize(double divisor)
{
    const double scale = static_cast<double>(model::settings().Print_Scale);
    const layout::ChartState& chart = layout::chart();
    icon.Width = scale * chart.icon_w / divisor;
    icon.Height = scale * chart.icon_h / divisor;
    Image1.setWidth(icon.Width);
    Image1.setHeight(icon.Height);
}

PageSetupVerdict PagePreviewForm::SetupPages()
{
    forms::Printer& printer = forms::printer();
    const drawing::DrawState& draw = drawing::drawState();
    PageSetupInput input;
    input.pageWidth = printer.scaleWidth();
    input.pageHeight = printer.scaleHeight();
    input.printerTwipsPerPixelX = printer.twipsPerPixelX();
    input.printerTwipsPerPixelY = printer.twipsPerPixelY();
    input.screenTwipsPerPixel = forms::screen().twipsPerPixelX();
    input.scale = static_cast<double>(model::settings().Print_Scale);
    input.boxCount = draw.box_cnt;
    input.extent = chartExtent(draw.box_buf, draw.box_cnt);
    const StartPosition start = startPosition();
    input.startXPercent = start.x;
    input.startYPercent = start.y;
    const PageSetupVerdict verdict = setupPageGrid(grid, input);
    if (verdict == PageSetupVerdict::Made)
        setIconSize(PreviewDivisor);
    return verdict;
}

void PagePreviewForm::LoadPagePictures()
{
    const int n = grid.pageCount();
    const int old = grid.OldPagesX * grid.OldPagesY;
    if (n > old) {
        for (int i = old + 1; i <= n; ++i) {
            if (!Picture3.exists(i))
                Picture3.load(i);
        }
    } else if (n < old) {
        for (int i = n + 1; i <= old; ++i) {
            if (Picture3.exists(i) && !Picture3.isDesignElement(i)) {
                Picture3[i].setVisible(false);
                Picture3.unload(i);
            }
        }
    }
}

void PagePreviewForm::ComposePreview()
{
    Picture3[1].setVisible(false);
    double runningLeft = grid.PageGapX;
    double runningTop = grid.PageGapY;
    for (int row = 1; row <= grid.PagesY; ++row) {
        for (int col = 1; col <= grid.PagesX; ++col) {
            const int index = (row - 1) * grid.PagesX + col;
            forms::PictureBox& page = Picture3[index];
            page.move(runningLeft, runningTop, grid.PrevPageW, grid.PrevPageH);
            page.setAutoRedraw(true);
            page.cls();
            if (index != 1)
                page.setVisible(false);
            page.setClipRect(grid.PrevRgn);
            runningLeft = page.left() + grid.PrevPageW + grid.PageGapX;
        }
        runningLeft = grid.PageGapX;
        runningTop += grid.PrevPageH + grid.PageGapY;
    }
    for (int index = 1; index <= grid.pageCount(); ++index)
        Picture3[index].setVisible(true);
    // Each page is drawn when it first comes into view (drawPagesInView), with
    // only the records that touch it.
    m_pageElements = PageElements::forPreview(grid, icon, Picture3[1]);
    m_pageDrawn.assign(static_cast<size_t>(grid.pageCount()) + 1, false);
}

void PagePreviewForm::drawPagesInView()
{
    if (m_pageDrawn.size() != static_cast<size_t>(grid.pageCount()) + 1)
        return;
    const auto inView = [](double start, double extent, double viewport) {
        return start < viewport && start + extent > 0;
    };
    for (int row = 1; row <= grid.PagesY; ++row) {
        if (!inView(Picture2.top() + pageTop(grid, row), grid.PrevPageH, Picture1.height()))
            continue;
        for (int col = 1; col <= grid.PagesX; ++col) {
            const int index = (row - 1) * grid.PagesX + col;
            if (m_pageDrawn[static_cast<size_t>(index)]
                || !inView(Picture2.left() + pageLeft(grid, col), grid.PrevPageW, Picture1.width()))
                continue;
            m_pageDrawn[static_cast<size_t>(index)] = true;
            DrawPagePreview(Picture3[index], grid, row, col, icon, m_pageElements);
        }
    }
}

void PagePreviewForm::Form_Resize()
{
    if (m_composePending) {
        composePages();
        return;
    }
    layOut();
    drawPagesInView();
}

void PagePreviewForm::layOut()
{
    const double w = std::max(width(), MinLayoutWidth);
    const double h = std::max(height(), MinLayoutHeight);
    Picture1.setWidth(std::max(0.0, w - Picture1.left() - VScroll1.width() - 250));
    Picture1.setHeight(std::max(0.0, h - 400 - Picture1.top() - HScroll1.height() - 250));
    if (height() > MinLayoutHeight) {
        CMDFUNC[0].setTop(h - 3000);
        CMDFUNC[1].setTop(h - 3000);
        CMDEND.setTop(h - 1800);
    }
    Picture2.setWidth(grid.PageGapX + grid.PagesX * (grid.PrevPageW + grid.PageGapX));
    Picture2.setHeight(grid.PageGapY + grid.PagesY * (grid.PrevPageH + grid.PageGapY));

    if (Picture2.width() > Picture1.width()) {
        Picture2.setLeft(0);
        HScroll1.setMin(0);
        HScroll1.setMax(scrollMax(Picture2.width(), Picture1.width()));
        HScroll1.setValue(0);
        HScroll1.move(Picture1.left(), Picture1.top() + Picture1.height() + 1, Picture1.width(), HScroll1.height());
        HScroll1.setSmallChange(1);
        HScroll1.setLargeChange(10);
        HScroll1.setVisible(true);
    } else {
        Picture2.setLeft((Picture1.width() - Picture2.width()) / 2);
        HScroll1.setVisible(false);
    }
    if (Picture2.height() > Picture1.height()) {
        Picture2.setTop(0);
        VScroll1.setMin(0);
        VScroll1.setMax(scrollMax(Picture2.height(), Picture1.height()));
        VScroll1.setValue(0);
        VScroll1.move(Picture1.left() + Picture1.width() + 1, Picture1.top(), VScroll1.width(), Picture1.height());
        VScroll1.setSmallChange(1);
        VScroll1.setLargeChange(10);
        VScroll1.setVisible(true);
    } else {
        Picture2.setTop((Picture1.height() - Picture2.height()) / 2);
        VScroll1.setVisible(false);
    }
}

PageSetupVerdict PagePreviewForm::BuildPreview()
{
    const PageSetupVerdict verdict = SetupPages();
    if (verdict == PageSetupVerdict::Made)
        composePages();
    return verdict;
}

void PagePreviewForm::composePages()
{
    m_composePending = false;
    const forms::BusyPointer busy;
    Picture2.setVisible(false);
    Picture1.setCurrentX((Picture1.width() - Picture1.textWidth(PleaseWaitText)) / 2);
    Picture1.setCurrentY((Picture1.height() - Picture1.textHeight("A")) / 2);
    Picture1.print(PleaseWaitText);
    refresh();
    LoadPagePictures();
    ComposePreview();
    layOut();
    drawPagesInView();
    Picture1.cls();
    Picture2.setVisible(true);
    refresh();
}

void PagePreviewForm::refuse(PageSetupVerdict verdict)
{
    if (verdict == PageSetupVerdict::TooManyPages) {
        platform::MsgBox(TooManyPagesMessage, platform::vbOKOnly);
    } else if (verdict == PageSetupVerdict::NoPrintableArea) {
        platform::MsgBox(NoPrinterMessage, platform::vbOKOnly);
        unload();
    }
}

void PagePreviewForm::HScroll1_Change()
{
    Picture2.setLeft(-ScrollStep * HScroll1.value());
    drawPagesInView();
}

void PagePreviewForm::VScroll1_Change()
{
    Picture2.setTop(-ScrollStep * VScroll1.value());
    drawPagesInView();
}

void PagePreviewForm::applyScaleBox()
{
    const std::string text = Text1.text();
    if (!platform::IsNumeric(text)) {
        platform::MsgBox(ScaleMessage, platform::vbOKOnly);
        Text1.setSelStart(0);
        Text1.setSelLength(static_cast<int>(platform::Len(text)));
        return;
    }
    const double value = platform::Val(text);
    if (value > MaxScalePercent)
        Text1.setText("500");
    else if (value < MinScalePercent)
        Text1.setText("25");
    const float percent = static_cast<float>(platform::Val(Text1.text()));
    model::Settings& settings = model::settings();
    if (percent != static_cast<float>(settings.Print_Scale * 100.0f)) {
        const float before = settings.Print_Scale;
        settings.Print_Scale = percent / 100.0f;
        const PageSetupVerdict verdict = BuildPreview();
        if (verdict == PageSetupVerdict::TooManyPages) {
            // The scale typed is not taken: the preview stays as it was.
            settings.Print_Scale = before;
            Text1.setText(platform::CStr(nearestInt(static_cast<double>(before) * 100)));
        }
        refuse(verdict);
    }
}

void PagePreviewForm::Text1_KeyPress(int16_t& KeyAscii)
{
    if (KeyAscii == 13)
        applyScaleBox();
}

void PagePreviewForm::Text1_LostFocus()
{
    applyScaleBox();
}

void PagePreviewForm::CMDFUNC_Click(int Index)
{
    if (Index == 0) {
        frmprnset_form().show(forms::ShowMode::Modal, this);
        setUpOrClose([this] { return BuildPreview(); });
    } else if (Index == 1) {
        printAllPages();
    }
}

void PagePreviewForm::CMDEND_Click()
{
    unload();
}

void PagePreviewForm::followPrinter()
{
    const forms::Printer& printer = forms::printer();
    if (printer.scaleWidth() == grid.PageW && printer.scaleHeight() == grid.PageH)
        return;
    // Pages not composed yet are composed from the new set-up when the window is
    // first laid out.
    setUpOrClose([this] { return m_composePending ? SetupPages() : BuildPreview(); });
}

namespace {

// The printer refused the job, or the print service has not said which printer
// is the default one: asked with the default pointer, and on yes the step is
// tried again under the hourglass.
bool goOnAfterPrinterFailure(const std::string& detail)
{
    forms::screen().setMousePointer(forms::vbDefault);
    const bool goOn = platform::MsgBox(std::string(PrinterFailureQuestion) + "\r\n" + detail, platform::vbYesNo,
                                       PrinterFailureTitle) == platform::vbYes;
    if (goOn)
        forms::screen().setMousePointer(forms::vbHourglass);
    return goOn;
}

} // namespace

void PagePreviewForm::printAllPages()
{
    const forms::BusyPointer busy;
    // The pages follow the printer the print goes to (the desktop's default one
    // may become known only now) before they are printed; the window closes
    // where the new page cannot take them.
    if (!forms::settleCurrentPrinter(goOnAfterPrinterFailure) || !isLoaded())
        return;
    followPrinter();
    if (!isLoaded())
        return;
    setIconSize(1.0);
    forms::printDocument(
        *this, model::pdfPathForReport(""),
        [this](forms::Printer& printer) {
            const PageElements elements = PageElements::forPrinter(grid, icon, printer);
            for (int row = 1; row <= grid.PagesY; ++row) {
                for (int col = 1; col <= grid.PagesX; ++col) {
                    if (row != 1 || col != 1)
                        printer.newPage();
                    printer.hDC().setClipRect(grid.PageRgn);
                    PrintPage(printer, grid, row, col, icon, elements);
                }
            }
        },
        grid.pageCount(), goOnAfterPrinterFailure);
    setIconSize(PreviewDivisor);
}

} // namespace printing

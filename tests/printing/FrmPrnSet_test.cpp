// The printer choice window driven headless: the list and the current printer it
// shows, a pick that makes a printer current at once, the properties button and
// closing.

#include "PrintingFixture.h"

#include "printing/FrmPrnSet.h"
#include "printing/printing_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using printing::FrmPrnSetForm;
using printing::frmprnset_form;
using printing_test::PrintingFixture;

class FrmPrnSetTest : public PrintingFixture {
protected:
    void SetUp() override
    {
        PrintingFixture::SetUp();
        forms::setPrinterList({forms::PdfPrinterName, "Office", "Laser"});
    }

    static std::vector<std::string> listed(const FrmPrnSetForm& form)
    {
        std::vector<std::string> names;
        for (int i = 0; i < form.Combo1.listCount(); ++i)
            names.push_back(form.Combo1.list(i));
        return names;
    }
};

TEST_F(FrmPrnSetTest, ListsThePrintersAndShowsTheCurrentOneBeforeAnyClick)
{
    forms::setCurrentPrinter("Laser");
    forms::printer().setOrientation(forms::vbPRORLandscape);
    FrmPrnSetForm& form = frmprnset_form();
    form.show();
    EXPECT_EQ(form.caption(), printing::PrnSetCaption);
    EXPECT_EQ(listed(form), (std::vector<std::string>{forms::PdfPrinterName, "Office", "Laser"}));
    EXPECT_EQ(form.Combo1.text(), "Laser");
    // Showing the current printer is no choice: the printer object is kept as it was.
    EXPECT_EQ(forms::printer().orientation(), forms::vbPRORLandscape);
    EXPECT_EQ(form.Command1.caption(), "詳細設定");
    EXPECT_EQ(form.Command1.toolTipText(), "用紙方向や用紙サイズを設定します");
    EXPECT_EQ(form.Command2.caption(), "決定");
    EXPECT_EQ(form.Command2.toolTipText(), "利用するプリンタを決定します");
}

// A current printer the list no longer holds stays current and is shown after the
// list, named as gone; 詳細設定 opens its dialog, and a pick of another printer
// makes that one current as usual.
TEST_F(FrmPrnSetTest, ACurrentPrinterThatHasGoneIsShownNamedAsGone)
{
    forms::setCurrentPrinter("Laser");
    forms::setPrinterList({forms::PdfPrinterName, "Office"});
    std::vector<std::string> opened;
    forms::setPropertiesDialogHandler([&](forms::Printer& printer) { opened.push_back(printer.deviceName()); });
    FrmPrnSetForm& form = frmprnset_form();
    form.show();
    const std::string gone = "Laser（プリンタが見つかりません）";
    EXPECT_EQ(listed(form), (std::vector<std::string>{forms::PdfPrinterName, "Office", gone}));
    EXPECT_EQ(form.Combo1.text(), gone);
    EXPECT_EQ(forms::printer().deviceName(), "Laser");
    form.Command1.click();
    EXPECT_EQ(opened, (std::vector<std::string>{"Laser"}));

    form.Combo1.setListIndex(1);
    EXPECT_EQ(forms::printer().deviceName(), "Office");
    form.Command2.click();
    form.show();
    EXPECT_EQ(listed(form), (std::vector<std::string>{forms::PdfPrinterName, "Office"}));
    EXPECT_EQ(form.Combo1.text(), "Office");
    form.Command2.click();
}

TEST_F(FrmPrnSetTest, APickMakesThePrinterCurrentAtOnce)
{
    FrmPrnSetForm& form = frmprnset_form();
    form.show();
    form.Combo1.setListIndex(1);
    EXPECT_EQ(forms::printer().deviceName(), "Office");
    form.Command2.click();
    EXPECT_FALSE(form.isLoaded());
    EXPECT_EQ(forms::printer().deviceName(), "Office");
}

TEST_F(FrmPrnSetTest, EqualNamesAreListedEachAndPickedByName)
{
    forms::setPrinterList({"Office", forms::PdfPrinterName, "Office"});
    FrmPrnSetForm& form = frmprnset_form();
    form.show();
    EXPECT_EQ(listed(form), (std::vector<std::string>{"Office", forms::PdfPrinterName, "Office"}));
    form.Combo1.setListIndex(2);
    EXPECT_EQ(forms::printer().deviceName(), "Office");
}

TEST_F(FrmPrnSetTest, PropertiesButtonOpensTheDialogOfTheListedPrinter)
{
    std::vector<std::string> opened;
    forms::setPropertiesDialogHandler([&](forms::Printer& printer) {
        opened.push_back(printer.deviceName());
        printer.setPaperSize(forms::vbPRPSA3);
    });
    FrmPrnSetForm& form = frmprnset_form();
    form.show();
    form.Combo1.setListIndex(2);
    form.Command1.click();
    EXPECT_EQ(opened, (std::vector<std::string>{"Laser"}));
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSA3);
}

TEST_F(FrmPrnSetTest, ShownModallyItWaitsForTheChoice)
{
    forms::onShown("frmPrnSet", [](forms::Form& shown) {
        auto& form = static_cast<FrmPrnSetForm&>(shown);
        form.Combo1.setListIndex(2);
        form.Command2.click();
    });
    frmprnset_form().show(forms::ShowMode::Modal);
    EXPECT_EQ(forms::printer().deviceName(), "Laser");
    EXPECT_FALSE(frmprnset_form().isLoaded());
}

} // namespace

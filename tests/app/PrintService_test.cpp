// The program with a print service that hangs (it takes connections and answers
// nothing), the service being one the test starts itself: the start-up neither
// waits on it nor learns anything from it, so once the service answers again the
// first print goes to the desktop's default printer.

#include "forms/Form.h"
#include "forms/Printer.h"
#include "forms/Printers.h"
#include "mainwindow/MainForm.h"
#include "printing/PrePrint.h"

#include "ProgramFixture.h"
#include "support/PrivateCups.h"
#include "support/qt/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using support::PrivateCups;

class PrintService : public app_test::ProgramFixture<> {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        cups = std::make_unique<PrivateCups>(std::vector<PrivateCups::Queue>{{"office"}}, "office");
        // The system's printers, learnt afresh, and no printer chosen yet.
        forms::resetPrinterList();
        forms::resetCurrentPrinter();
    }

    void TearDown() override
    {
        ProgramFixture::TearDown();
        forms::resetCurrentPrinter();
        cups.reset();
    }

    std::unique_ptr<PrivateCups> cups;
    ScriptedDialogs dialogs;
};

TEST_F(PrintService, TheStartUpLeavesAHungServiceAloneAndTheFirstPrintGoesToTheDefaultPrinter)
{
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    cups->pause();
    MainForm& main = main_form();
    main.show();
    ASSERT_TRUE(main.isVisible());
    // The PDF printer is there without the service: the print commands are on.
    EXPECT_TRUE(main.Command2[3].isEnabled());
    EXPECT_TRUE(main.fileitem[11].isEnabled());

    cups->resume();
    bool previewShown = false;
    forms::onShown("PrePrint", [&previewShown](forms::Form& form) {
        previewShown = true;
        auto& preview = static_cast<printing::PrePrintForm&>(form);
        preview.CMDFUNC[1].click();   // 印刷
        preview.CMDEND.click();
    });
    main.fileitem[11].choose();
    EXPECT_TRUE(previewShown);
    EXPECT_EQ(forms::printer().deviceName(), "office");
    EXPECT_EQ(cups->storedJobs(1).size(), 1u);
    EXPECT_EQ(cups->jobCount("office"), 1);
    EXPECT_TRUE(dialogs.requests().empty()) << "the print asked for a PDF file";
    EXPECT_TRUE(answers.shown().empty());
}

} // namespace

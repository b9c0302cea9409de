// The program with a print service that hangs (it takes connections and answers
// nothing), the service being one the test starts itself: the start-up neither
// waits on it nor learns anything from it, so once the service answers again the
// first print goes to the desktop's default printer. The print preview opens at
// once on a service that hangs, on the page known so far, and follows the
// default printer's paper once the service answers again, also when the printer
// choice was opened and closed by its close box meanwhile; its print then goes to
// that printer.

#include "forms/Form.h"
#include "forms/Printer.h"
#include "forms/Printers.h"
#include "forms/Testing.h"
#include "mainwindow/MainForm.h"
#include "printing/PrePrint.h"

#include "ProgramFixture.h"
#include "support/PrivateCups.h"
#include "support/qt/ScriptedDialogs.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using support::PrivateCups;

template <typename Base = ::testing::Test>
class PrintServiceFixture : public app_test::ProgramFixture<Base> {
protected:
    void SetUp() override
    {
        app_test::ProgramFixture<Base>::SetUp();
        cups = std::make_unique<PrivateCups>(std::vector<PrivateCups::Queue>{{"office", "Letter"}}, "office");
        // The system's printers, learnt afresh, and no printer chosen yet.
        forms::resetPrinterList();
        forms::resetCurrentPrinter();
    }

    void TearDown() override
    {
        app_test::ProgramFixture<Base>::TearDown();
        forms::resetCurrentPrinter();
        cups.reset();
    }

    std::unique_ptr<PrivateCups> cups;
    ScriptedDialogs dialogs;
};

using PrintService = PrintServiceFixture<>;

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

// What the user does in the preview while the service hangs.
enum class DuringTheHang { Nothing, PrinterChoiceClosedByItsCloseBox };

void PrintTo(DuringTheHang what, std::ostream* os)
{
    *os << (what == DuringTheHang::Nothing ? "nothing" : "the printer choice closed by its close box");
}

class PrintPreviewOnAHungService : public PrintServiceFixture<::testing::TestWithParam<DuringTheHang>> {};

// The longest the program may take to give up on a silent service, or to learn
// the printers once it answers again: a few seconds.
constexpr int ServiceCeilingMs = 15000;

// The preview (印 on the toolbar) opens while the service hangs, before the
// program has given up on it, on the page of the printer known so far; once the
// program has given up and the service answers again, the preview follows the
// default printer's Letter paper without a command of the user's, and 印刷 sends
// the chart there, with no PDF file asked for and no message.
TEST_P(PrintPreviewOnAHungService, OpensAtOnceAndFollowsTheDefaultPrinterOnceTheServiceAnswers)
{
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    cups->pause();
    MainForm& main = main_form();
    main.show();
    const std::string silent = "印刷システムが応答しません";
    bool shownBeforeGivingUp = false;
    bool gaveUp = false;
    bool followed = false;
    forms::onShown("PrePrint", [&](forms::Form& form) {
        auto& preview = static_cast<printing::PrePrintForm&>(form);
        shownBeforeGivingUp = forms::Printers().whyNotListed("office").empty();
        const double pageKnownSoFar = preview.grid.PageW;
        if (GetParam() == DuringTheHang::PrinterChoiceClosedByItsCloseBox) {
            forms::onShown("frmPrnSet", [](forms::Form& choice) { forms::formWidget(choice)->close(); });
            preview.CMDFUNC[0].click();   // プリンタ設定
        }
        gaveUp = QTest::qWaitFor([&] { return forms::Printers().whyNotListed("office") == silent; },
                                 ServiceCeilingMs);
        cups->resume();
        followed = QTest::qWaitFor([&] { return preview.grid.PageW != pageKnownSoFar; }, ServiceCeilingMs);
        preview.CMDFUNC[1].click();   // 印刷
        preview.CMDEND.click();
    });
    main.Command2[3].click();   // 印
    EXPECT_TRUE(shownBeforeGivingUp) << "the preview waited for the print service";
    ASSERT_TRUE(gaveUp);
    EXPECT_TRUE(followed) << "the preview stayed on the page known before the service answered";
    EXPECT_EQ(forms::printer().deviceName(), "office");
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSLetter);
    const auto jobs = cups->storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_NE(jobs[0].options.find("media=Letter"), std::string::npos) << jobs[0].options;
    EXPECT_EQ(cups->jobCount("office"), 1);
    EXPECT_TRUE(dialogs.requests().empty()) << "the print asked for a PDF file";
    EXPECT_TRUE(answers.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Hang, PrintPreviewOnAHungService,
                         ::testing::Values(DuringTheHang::Nothing, DuringTheHang::PrinterChoiceClosedByItsCloseBox),
                         [](const auto& info) {
                             return std::string(info.param == DuringTheHang::Nothing ? "UserWaits"
                                                                                      : "PrinterChoiceClosed");
                         });

} // namespace

// Runs a test program's GoogleTest cases inside a headless QApplication (or, run
// again in a Wayland session of a test's own, on the platform the program
// chooses there).
// A test unloads the windows it loaded through the program's own path (its
// fixture's TearDown at the latest); a window still loaded after that fails the
// test. Every window is then unloaded without events all the same, so one
// test's windows never leak into the next. A window shown modally with no
// onShown callback queued fails the test instead of waiting for a user who
// never comes. The machine's own print service is out of reach.

#include "forms/Form.h"
#include "forms/SessionPlatform.h"
#include "forms/Testing.h"
#include "forms/Timer.h"
#include "support/qt/WindowManager.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class FormsResetListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override
    {
        forms::setTimersManual(true);
        forms::setUnexpectedModalHandler([](forms::Form& form) {
            ADD_FAILURE() << "window '" << form.name() << "' shown modally with no onShown callback queued";
        });
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        for (forms::Form* form : forms::loadedForms())
            ADD_FAILURE() << "window '" << form->name() << "' is still loaded after the test's TearDown";
        forms::resetFormsForTesting();
        forms::setUnexpectedModalHandler(nullptr);
    }
};

} // namespace

// The address sanitizer's settings of the Qt test programs, whatever the
// environment. intercept_tls_get_addr=0: the leak check would follow the
// thread-local blocks glibc allocates for a library Qt loads at run time (libjpeg,
// behind the JPEG image plugin) by guessing their bounds from the bytes before the
// block; a block that happens to start 16 bytes past a page boundary is misread,
// and the check itself crashes when the program ends. No memory of the program
// lives in those blocks.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}

int main(int argc, char** argv)
{
    // Headless, unless run again in a Wayland session of a test's own: there it
    // chooses its platform as the program does.
    if (!std::getenv("QT_QPA_PLATFORM") && !support::inWaylandSession())
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // No test reaches the machine's own print service (its printers, its default
    // printer): a test that prints on a printer queue starts a print service of
    // its own (support/PrivateCups.h), and every other one sees none.
    setenv("CUPS_SERVER", "/nonexistent/tevora-test-print-service", 1);
    std::vector<char*> arguments = forms::applicationArguments(argc, argv);
    int count = static_cast<int>(arguments.size()) - 1;
    QApplication app(count, arguments.data());
    ::testing::InitGoogleTest(&count, arguments.data());
    ::testing::UnitTest::GetInstance()->listeners().Append(new FormsResetListener);
    const int result = RUN_ALL_TESTS();
    forms::resetFormsForTesting();
    return result;
}

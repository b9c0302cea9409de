// Runs a test program's GoogleTest cases inside a headless QApplication (or, run
// again in a Wayland session of a test's own, on the platform the program
// chooses there).
// A test unloads the windows it loaded through the program's own path (its
// fixture's TearDown at the latest); a window still loaded after that fails the
// test. Every window is then unloaded without events all the same, so one
// test's windows never leak into the next. A window shown modally with no
// onShown callback queued fails the test instead of waiting for a user who
// never comes. The machine's own print service is out of reach, and the
// program has a home of its own, so that a test run leaves the user's as it was.

#include "forms/Form.h"
#include "forms/SessionPlatform.h"
#include "forms/Testing.h"
#include "forms/Timer.h"
#include "platform/FileSystem.h"
#include "support/TemporaryFolder.h"
#include "support/qt/WindowManager.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A home of the test program's own in the temporary folder, removed when the
// program ends: what Qt and the programs the tests start keep in a user's home
// goes there (Qt's file dialog history in QtProject.conf, a sound client's
// cookie, a window manager's cache, run-time sockets), never into the home of
// the user who runs the tests.
class OwnHome {
public:
    OwnHome()
    {
        m_path = support::makeTemporaryFolder("tevora-user-home");
        if (m_path.empty())
            return;
        const std::string runtime = m_path + "/runtime";
        ::mkdir(runtime.c_str(), 0700);
        ::setenv("HOME", m_path.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_path + "/.config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (m_path + "/.cache").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_path + "/.local/share").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (m_path + "/.local/state").c_str(), 1);
        // A test run again in a Wayland session of a test's own finds the
        // session's socket in the run-time folder the session gave it.
        if (!support::inWaylandSession())
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    ~OwnHome()
    {
        if (m_path.empty())
            return;
        try {
            platform::removeTree(m_path);
        } catch (...) {
            // A folder left in the temporary folder harms nothing.
        }
    }
    OwnHome(const OwnHome&) = delete;
    OwnHome& operator=(const OwnHome&) = delete;

private:
    std::string m_path;
};

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
    const OwnHome home;
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

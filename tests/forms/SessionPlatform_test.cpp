// The platform the program asks Qt for, from the session it starts in: X11
// through XWayland in a Wayland session that offers it, with Wayland after it;
// Qt's own choice elsewhere, and always when the user chose a platform.

#include "forms/SessionPlatform.h"

#include "ParamNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The session's variables for the length of a test; each is put back after.
class SessionVariables {
public:
    explicit SessionVariables(const std::vector<std::pair<const char*, const char*>>& values)
    {
        for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DISPLAY"}) {
            const char* old = std::getenv(name);
            m_saved.push_back({name, old ? old : "", old != nullptr});
            ::unsetenv(name);
        }
        for (const auto& [name, value] : values)
            ::setenv(name, value, 1);
    }
    ~SessionVariables()
    {
        for (const Saved& saved : m_saved) {
            if (saved.wasSet)
                ::setenv(saved.name, saved.value.c_str(), 1);
            else
                ::unsetenv(saved.name);
        }
    }
    SessionVariables(const SessionVariables&) = delete;
    SessionVariables& operator=(const SessionVariables&) = delete;

private:
    struct Saved {
        const char* name;
        std::string value;
        bool wasSet;
    };
    std::vector<Saved> m_saved;
};

struct SessionCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> variables;
    std::vector<const char*> commandLine;
    const char* platform;
};

void PrintTo(const SessionCase& c, std::ostream* os) { *os << c.name; }

class SessionPlatform : public ::testing::TestWithParam<SessionCase> {};

TEST_P(SessionPlatform, IsX11ThroughXWaylandOnlyInAWaylandSessionThatOffersItAndWhereTheUserChoseNone)
{
    const SessionVariables session(GetParam().variables);
    std::vector<char*> argv{const_cast<char*>("tevora")};
    for (const char* argument : GetParam().commandLine)
        argv.push_back(const_cast<char*>(argument));
    const int argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);
    EXPECT_EQ(forms::sessionPlatform(argc, argv.data()), GetParam().platform);

    // QApplication is made with the program's own arguments, and the platform
    // asked for after them.
    const std::vector<char*> arguments = forms::applicationArguments(argc, argv.data());
    std::vector<std::string> texts;
    for (char* argument : arguments) {
        if (argument)
            texts.emplace_back(argument);
    }
    std::vector<std::string> expected(argv.begin(), argv.end() - 1);
    if (*GetParam().platform) {
        expected.emplace_back("-platform");
        expected.emplace_back(GetParam().platform);
    }
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(arguments.back(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SessionPlatform,
    ::testing::Values(
        SessionCase{"X11Desktop", {{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}, {}, ""},
        SessionCase{"WaylandWithXWayland",
                    {{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}},
                    {"family.kez"},
                    "xcb;wayland"},
        SessionCase{"WaylandCompositorWithoutSessionType", {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":1"}}, {}, "xcb;wayland"},
        SessionCase{"WaylandSessionTypeOnly", {{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}}, {}, "xcb;wayland"},
        SessionCase{"WaylandWithoutXServer", {{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}}, {}, ""},
        SessionCase{"WaylandWithEmptyDisplay",
                    {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}}, {}, ""},
        SessionCase{"UserChoseWaylandByVariable",
                    {{"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, {}, ""},
        SessionCase{"EmptyPlatformVariableIsNoChoice",
                    {{"QT_QPA_PLATFORM", ""}, {"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, {}, "xcb;wayland"},
        SessionCase{"UserChoseWaylandOnTheCommandLine",
                    {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, {"-platform", "wayland"}, ""},
        SessionCase{"UserChoseWithTwoDashes",
                    {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, {"family.kez", "--platform", "wayland"}, ""}),
    forms_test::CaseName());

} // namespace

#include "forms/SessionPlatform.h"

#include <cstdlib>
#include <cstring>

namespace forms {

namespace {

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

bool platformOnCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

bool waylandSession()
{
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return isSet("WAYLAND_DISPLAY") || (type && std::strcmp(type, "wayland") == 0);
}

} // namespace

std::string sessionPlatform(int argc, char** argv)
{
    if (isSet("QT_QPA_PLATFORM") || platformOnCommandLine(argc, argv))
        return {};
    if (!waylandSession() || !isSet("DISPLAY"))
        return {};
    return "xcb;wayland";
}

std::vector<char*> applicationArguments(int argc, char** argv)
{
    std::vector<char*> arguments(argv, argv + argc);
    static std::string chosen;
    chosen = sessionPlatform(argc, argv);
    if (!chosen.empty()) {
        static char option[] = "-platform";
        arguments.push_back(option);
        arguments.push_back(chosen.data());
    }
    arguments.push_back(nullptr);
    return arguments;
}

} // namespace forms

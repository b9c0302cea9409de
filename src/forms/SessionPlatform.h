#pragma once
// The platform the program runs on. Wayland lets no program place its windows,
// read where they are or where the pointer is on the screen, and stacks a
// window without an owner like any other; the program places its windows, has
// a marker follow the pointer and finds a drop's target from screen positions.
// So in a Wayland session that also offers an X server (XWayland, which every
// common Wayland desktop runs or starts on demand) the program runs on X11
// there, as on an X11 desktop; where that X server cannot be reached it runs on
// Wayland after all. A platform the user chose is kept.
//
//     std::vector<char*> arguments = forms::applicationArguments(argc, argv);
//     int count = static_cast<int>(arguments.size()) - 1;
//     QApplication app(count, arguments.data());

#include <string>
#include <vector>

namespace forms {

// The platforms Qt is asked for, in Qt's notation ("xcb;wayland": X11 first,
// else Wayland), when the session is a Wayland session (WAYLAND_DISPLAY names a
// compositor, or XDG_SESSION_TYPE is "wayland") that names an X server
// (DISPLAY) and the user chose no platform (QT_QPA_PLATFORM, or -platform on
// the command line); else "", Qt's own choice.
std::string sessionPlatform(int argc, char** argv);

// The command line to make QApplication with: argv (argc strings), followed by
// "-platform" and sessionPlatform() when that is not "", and a null. The
// strings live as long as argv and the program.
std::vector<char*> applicationArguments(int argc, char** argv);

} // namespace forms

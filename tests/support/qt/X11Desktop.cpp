#include "support/qt/X11Desktop.h"

#include <QApplication>
#include <QGuiApplication>
#include <QRegion>
#include <QWidget>
#include <QWindow>

#ifdef TEVORA_HAVE_XCB
#include <xcb/xcb.h>
#include <xcb/xtest.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace support {

#ifdef TEVORA_HAVE_XCB

namespace {

// A connection of the test's own to an X display.
class Connection {
public:
    explicit Connection(const char* display) : m_connection(xcb_connect(display, &m_screenNumber)) {}
    ~Connection() { xcb_disconnect(m_connection); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool usable() const { return xcb_connection_has_error(m_connection) == 0; }
    xcb_connection_t* get() const { return m_connection; }

    xcb_window_t root() const
    {
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < m_screenNumber && screens.rem > 0; ++i)
            xcb_screen_next(&screens);
        return screens.data->root;
    }

    xcb_atom_t atom(const char* name) const
    {
        const auto cookie = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    // The 32-bit numbers (windows, atoms, cardinals) a property of the window holds.
    std::vector<uint32_t> numbersOf(xcb_window_t window, const char* property, xcb_atom_t type) const
    {
        const auto cookie = xcb_get_property(m_connection, 0, window, atom(property), type, 0, 4096);
        const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
        if (!reply || reply->format != 32)
            return {};
        const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
        return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }

    // Waits until the server has taken in what was sent so far.
    void sync() const { std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }

    // Sends a fake input event and waits until the server has taken it in.
    void fake(uint8_t type, uint8_t detail, QPoint place) const
    {
        xcb_test_fake_input(m_connection, type, detail, XCB_CURRENT_TIME, root(), static_cast<int16_t>(place.x()),
                            static_cast<int16_t>(place.y()), 0);
        sync();
    }

private:
    int m_screenNumber = 0;
    xcb_connection_t* m_connection;
};

const Connection& display()
{
    static Connection connection(nullptr);
    return connection;
}

QWidget* widgetOf(xcb_window_t window)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->internalWinId() == window)
            return widget;
    }
    return nullptr;
}

QRect frameOf(const QWidget& window)
{
    return window.windowHandle() ? window.windowHandle()->frameGeometry() : window.frameGeometry();
}

} // namespace

bool desktopAvailable()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") && display().usable();
}

bool windowManagerManages(const std::string& displayName)
{
    const Connection connection(displayName.c_str());
    return connection.usable()
           && !connection.numbersOf(connection.root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty();
}

std::vector<QWidget*> stackedWindows()
{
    std::vector<QWidget*> windows;
    for (const xcb_window_t window : display().numbersOf(display().root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW)) {
        if (QWidget* widget = widgetOf(window))
            windows.push_back(widget);
    }
    return windows;
}

double shareInSight(const QWidget& window)
{
    const std::vector<QWidget*> stacked = stackedWindows();
    const auto at = std::find(stacked.begin(), stacked.end(), &window);
    if (at == stacked.end())
        return 0;
    const QRect frame = frameOf(window);
    QRegion inSight(frame);
    for (auto above = at + 1; above != stacked.end(); ++above)
        inSight -= frameOf(**above);
    long long seen = 0;
    for (const QRect& part : inSight)
        seen += static_cast<long long>(part.width()) * part.height();
    return frame.isEmpty() ? 0 : static_cast<double>(seen) / (static_cast<double>(frame.width()) * frame.height());
}

QWidget* activeWindowOfDesktop()
{
    const std::vector<xcb_window_t> active = display().numbersOf(display().root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
    return active.empty() ? nullptr : widgetOf(active.front());
}

QRect clientOnDisplay(const QWidget& window)
{
    const xcb_window_t id = static_cast<xcb_window_t>(window.internalWinId());
    xcb_connection_t* connection = display().get();
    const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
    const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> place(
        xcb_translate_coordinates_reply(connection, xcb_translate_coordinates(connection, id, display().root(), 0, 0),
                                        nullptr),
        &std::free);
    if (!geometry || !place)
        return {};
    return QRect(place->dst_x, place->dst_y, geometry->width, geometry->height);
}

QRect frameOnDisplay(const QWidget& window)
{
    QRect frame = clientOnDisplay(window);
    const std::vector<uint32_t> extents =
        display().numbersOf(static_cast<xcb_window_t>(window.internalWinId()), "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    if (extents.size() == 4) // left, right, top, bottom
        frame.adjust(-static_cast<int>(extents[0]), -static_cast<int>(extents[2]), static_cast<int>(extents[1]),
                     static_cast<int>(extents[3]));
    return frame;
}

bool hasStateOnDisplay(const QWidget& window, const char* state)
{
    const std::vector<uint32_t> states = display().numbersOf(static_cast<xcb_window_t>(window.internalWinId()),
                                                             "_NET_WM_STATE", XCB_ATOM_ATOM);
    return std::find(states.begin(), states.end(), display().atom(state)) != states.end();
}

void askWindowManager(const QWidget& window, bool add, const char* state, const char* secondState)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window.internalWinId());
    message.type = display().atom("_NET_WM_STATE");
    message.data.data32[0] = add ? 1 : 0;
    message.data.data32[1] = display().atom(state);
    message.data.data32[2] = secondState ? display().atom(secondState) : 0;
    message.data.data32[3] = 2; // a pager's request: the user's own
    xcb_send_event(display().get(), 0, display().root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    display().sync();
}

void askWindowManagerToMove(const QWidget& window, QPoint frameTopLeft)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window.internalWinId());
    message.type = display().atom("_NET_MOVERESIZE_WINDOW");
    // North-west gravity (the frame's top-left is the place), x and y given, a
    // pager's request.
    message.data.data32[0] = XCB_GRAVITY_NORTH_WEST | (1u << 8) | (1u << 9) | (2u << 12);
    message.data.data32[1] = static_cast<uint32_t>(frameTopLeft.x());
    message.data.data32[2] = static_cast<uint32_t>(frameTopLeft.y());
    xcb_send_event(display().get(), 0, display().root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    display().sync();
}

void moveMouseTo(QPoint place)
{
    display().fake(XCB_MOTION_NOTIFY, 0, place);
}

void pressMouseAt(QPoint place)
{
    moveMouseTo(place);
    display().fake(XCB_BUTTON_PRESS, 1, place);
}

void releaseMouseAt(QPoint place)
{
    moveMouseTo(place);
    display().fake(XCB_BUTTON_RELEASE, 1, place);
}

void clickAt(QPoint place)
{
    pressMouseAt(place);
    releaseMouseAt(place);
}

#else

bool desktopAvailable()
{
    return false;
}

bool windowManagerManages(const std::string&)
{
    return false;
}

std::vector<QWidget*> stackedWindows()
{
    return {};
}

double shareInSight(const QWidget&)
{
    return 0;
}

QWidget* activeWindowOfDesktop()
{
    return nullptr;
}

QRect clientOnDisplay(const QWidget&)
{
    return {};
}

QRect frameOnDisplay(const QWidget&)
{
    return {};
}

bool hasStateOnDisplay(const QWidget&, const char*)
{
    return false;
}

void askWindowManager(const QWidget&, bool, const char*, const char*) {}

void askWindowManagerToMove(const QWidget&, QPoint) {}

void moveMouseTo(QPoint) {}
void pressMouseAt(QPoint) {}
void releaseMouseAt(QPoint) {}
void clickAt(QPoint) {}

#endif

} // namespace support

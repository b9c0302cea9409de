#include "support/qt/ScreenSize.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QScreen>
#include <qpa/qplatformnativeinterface.h>

#include <gtest/gtest.h>

namespace support {

namespace {

// The offscreen platform reads and takes its screens as a JSON configuration
// through its native interface.
using ReadConfiguration = QJsonObject (*)(QPlatformNativeInterface*);
using TakeConfiguration = void (*)(const QJsonObject&, QPlatformNativeInterface*);

// Sets the size of the first screen; false on a platform that cannot.
bool resizeFirstScreen(int width, int height)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native || QGuiApplication::platformName() != QLatin1String("offscreen"))
        return false;
    const auto read = reinterpret_cast<ReadConfiguration>(native->nativeResourceForIntegration("configuration"));
    const auto take = reinterpret_cast<TakeConfiguration>(native->nativeResourceForIntegration("setConfiguration"));
    if (!read || !take)
        return false;
    QJsonObject configuration = read(native);
    QJsonArray screens = configuration[QLatin1String("screens")].toArray();
    if (screens.isEmpty())
        return false;
    QJsonObject first = screens[0].toObject();
    first[QLatin1String("width")] = width;
    first[QLatin1String("height")] = height;
    screens[0] = first;
    configuration[QLatin1String("screens")] = screens;
    take(configuration, native);
    // The platform reports the new geometry as a window-system event.
    QCoreApplication::processEvents();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->geometry().size() == QSize(width, height);
}

} // namespace

ScreenSize::ScreenSize(int width, int height)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        m_oldWidth = screen->geometry().width();
        m_oldHeight = screen->geometry().height();
    }
    if (!resizeFirstScreen(width, height))
        ADD_FAILURE() << "the screen could not be given the size " << width << " x " << height;
}

ScreenSize::~ScreenSize()
{
    if (m_oldWidth > 0 && m_oldHeight > 0)
        resizeFirstScreen(m_oldWidth, m_oldHeight);
}

} // namespace support

#include "forms/DeviceWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <thread>

namespace forms {

bool onWindowThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

bool waitForDevice(const std::function<bool()>& done, int pollMs, int timeoutMs)
{
    if (done())
        return true;
    QElapsedTimer clock;
    clock.start();
    const auto timedOut = [&] { return timeoutMs != NoTimeLimit && clock.elapsed() >= timeoutMs; };
    if (!onWindowThread()) {
        while (!timedOut()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
            if (done())
                return true;
        }
        return false;
    }
    bool held = false;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            held = true;
            loop.quit();
        } else if (timedOut()) {
            loop.quit();
        }
    });
    poll.start(pollMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return held;
}

} // namespace forms

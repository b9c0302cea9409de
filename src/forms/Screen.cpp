#include "forms/Screen.h"

#include "forms/Bridge_p.h"
#include "forms/Form.h"

#include <QGuiApplication>
#include <QScreen>

namespace forms {

namespace {

std::vector<MousePointerChange>& changes()
{
    static std::vector<MousePointerChange> list;
    return list;
}

} // namespace

Qt::CursorShape cursorShapeFor(int mousePointer)
{
    switch (mousePointer) {
    case 1: return Qt::ArrowCursor;
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case vbHourglass: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 15: return Qt::SizeAllCursor;
    case 99: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
    }
}

double Screen::width() const
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().width() * twipsPerPixelX() : 0.0;
}

double Screen::height() const
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().height() * twipsPerPixelY() : 0.0;
}

void Screen::setMousePointer(int pointer)
{
    m_mousePointer = pointer;
    recordMousePointer("Screen", pointer);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    // Set semantics, not a stack: the new value replaces every earlier one.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (pointer != vbDefault)
        QGuiApplication::setOverrideCursor(QCursor(cursorShapeFor(pointer)));
}

Screen& screen()
{
    static Screen instance;
    return instance;
}

const std::vector<MousePointerChange>& mousePointerChanges()
{
    return changes();
}

void clearMousePointerChanges()
{
    changes().clear();
}

void recordMousePointer(const std::string& target, int pointer)
{
    changes().push_back({target, pointer});
}

} // namespace forms

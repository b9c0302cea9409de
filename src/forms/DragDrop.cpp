#include "forms/DragDrop.h"

#include "forms/Bridge_p.h"
#include "forms/Control.h"
#include "forms/Form.h"
#include "forms/FormWindow_p.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainterPath>
#include <QRegion>

#include <cmath>
#include <memory>

namespace forms {

std::string DataObject::getData(int format) const
{
    const auto found = m_data.find(format);
    return found == m_data.end() ? std::string() : found->second;
}

namespace {

// The drag in progress. Targets are remembered with the life of their control,
// so a target a handler unloaded meanwhile is never called again.
class DragSession : public QObject {
public:
    explicit DragSession(DragSource& source)
        : m_source(source), m_sourceLife(source.dragControl().life())
    {
    }

    DataObject data;
    int allowed = vbDropEffectNone;

    // The pointer is over target at (x, y), or over nothing (target null).
    void moveTo(DropTarget* target, double x, double y, int buttons, int shift)
    {
        const void* site = target && targetAlive(*target) ? target->dropSiteAt(x, y) : nullptr;
        if (!site)
            target = nullptr;
        if (m_target && (m_target != target || m_site != site))
            leaveCurrent(buttons, shift);
        int effect = vbDropEffectNone;
        if (target && accepts(*target, x, y)) {
            const int state = m_target == target && m_site == site ? vbOver : vbEnter;
            effect = defaultEffect();
            const ControlLife life = target->dropControl().life();
            runGuarded([&] { target->raiseDragOver(data, effect, buttons, shift, x, y, state); });
            effect &= allowed;
            if (!life) {
                target = nullptr;
                effect = vbDropEffectNone;
            }
        }
        if (target) {
            m_target = target;
            m_targetLife = target->dropControl().life();
            m_site = site;
            m_x = x;
            m_y = y;
        }
        m_effect = effect;
        giveFeedback();
    }

    // The button is released over target at (x, y), or over nothing. Returns the
    // final effect; the session has ended when it returns.
    int release(DropTarget* target, double x, double y, int button, int shift);

    void cancel()
    {
        if (m_target)
            leaveCurrent(0, 0);
        finish(vbDropEffectNone);
    }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool targetAlive(DropTarget& target) const
    {
        return static_cast<bool>(target.dropControl().life()) && target.dropControl().isEnabled();
    }

    bool accepts(DropTarget& target, double x, double y) const
    {
        return target.dropModeAt(x, y) == 1;
    }

    // The effect offered to a target that takes drops: copy when allowed, else move.
    int defaultEffect() const
    {
        if (allowed & vbDropEffectCopy)
            return vbDropEffectCopy;
        return allowed & vbDropEffectMove;
    }

    void leaveCurrent(int buttons, int shift)
    {
        DropTarget* old = m_target;
        const bool alive = static_cast<bool>(m_targetLife);
        m_target = nullptr;
        m_site = nullptr;
        if (!alive || !accepts(*old, m_x, m_y))
            return;
        int effect = vbDropEffectNone;
        runGuarded([&] { old->raiseDragOver(data, effect, buttons, shift, m_x, m_y, vbLeave); });
    }

    void giveFeedback()
    {
        if (!m_sourceLife)
            return;
        int effect = m_effect;
        bool defaultCursors = true;
        runGuarded([&] { m_source.raiseGiveFeedback(effect, defaultCursors); });
        QApplication::changeOverrideCursor(QCursor(m_effect == vbDropEffectNone ? Qt::ForbiddenCursor
                                                                                 : Qt::DragCopyCursor));
    }

    void finish(int effect);

    DropTarget* targetUnder(const QPointF& global, double& x, double& y) const;

    DragSource& m_source;
    ControlLife m_sourceLife;
    DropTarget* m_target = nullptr;
    ControlLife m_targetLife;
    const void* m_site = nullptr;
    double m_x = 0;
    double m_y = 0;
    int m_effect = vbDropEffectNone;
};

std::unique_ptr<DragSession> g_session;

int DragSession::release(DropTarget* target, double x, double y, int button, int shift)
{
    // The last move decides, as with the mouse: a release elsewhere moves there first.
    moveTo(target, x, y, button, shift);
    int effect = m_effect;
    if (m_target && effect != vbDropEffectNone) {
        DropTarget* dropped = m_target;
        runGuarded([&] { dropped->raiseDragDrop(data, effect, button, shift, x, y); });
        effect &= allowed;
    } else {
        effect = vbDropEffectNone;
        if (m_target)
            leaveCurrent(0, shift);
    }
    finish(effect);
    return effect;
}

void DragSession::finish(int effect)
{
    // The session ends before OLECompleteDrag: its handler may run events of its
    // own (a marker flying back) and may start the next drag.
    std::unique_ptr<DragSession> self = std::move(g_session);
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    if (m_sourceLife) {
        int final = effect;
        runGuarded([&] { m_source.raiseCompleteDrag(final); });
    }
}

DropTarget* DragSession::targetUnder(const QPointF& global, double& x, double& y) const
{
    QWidget* widget = QApplication::widgetAt(global.toPoint());
    for (; widget; widget = widget->parentWidget()) {
        auto* binding = dynamic_cast<WidgetBinding*>(widget);
        if (!binding || !binding->boundControl)
            continue;
        // The first control under the pointer decides: one that takes no drops
        // refuses them for whatever lies behind it.
        auto* target = dynamic_cast<DropTarget*>(binding->boundControl);
        if (!target)
            return nullptr;
        QWidget* own = target->dropControl().widget();
        if (!own)
            return nullptr;
        const QPointF local = own->mapFromGlobal(global);
        x = (local.x() - target->dropInsetPixels()) * TwipsPerPixel;
        y = (local.y() - target->dropInsetPixels()) * TwipsPerPixel;
        return target;
    }
    return nullptr;
}

bool DragSession::eventFilter(QObject* watched, QEvent* event)
{
    // The drop runs before the event reaches the object it was sent to: a handler
    // that unloads that object leaves it to the event loop.
    const WidgetEventScope inEvent(watched);
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        double x = 0, y = 0;
        DropTarget* target = targetUnder(mouse->globalPosition(), x, y);
        moveTo(target, x, y, buttonMask(mouse->buttons()), shiftCode(mouse->modifiers()));
        return true;   // the source gets no mouse moves while it drags
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        double x = 0, y = 0;
        DropTarget* target = targetUnder(mouse->globalPosition(), x, y);
        release(target, x, y, buttonCode(mouse->button()), shiftCode(mouse->modifiers()));
        // The release still reaches the source, which pressed the button: its
        // press state ends with it.
        return false;
    }
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            cancel();
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace

void beginDrag(DragSource& source)
{
    if (g_session || !source.dragControl().life())
        return;
    g_session = std::make_unique<DragSession>(source);
    DragSession& session = *g_session;
    int allowed = vbDropEffectCopy | vbDropEffectMove;
    runGuarded([&] { source.raiseStartDrag(session.data, allowed); });
    session.allowed = allowed & (vbDropEffectCopy | vbDropEffectMove);
    QApplication::setOverrideCursor(QCursor(Qt::ForbiddenCursor));
    qApp->installEventFilter(&session);
    if (session.allowed == vbDropEffectNone)
        session.cancel();
}

bool isDragInProgress()
{
    return g_session != nullptr;
}

// ---------------------------------------------------------------------------
// The pointer and windows that follow it

void cursorPosition(int& x, int& y)
{
    const QPoint position = QCursor::pos();
    x = position.x();
    y = position.y();
}

void setCursorPosition(int x, int y)
{
    QCursor::setPos(x, y);
}

void clientToScreen(const Control& control, int& x, int& y)
{
    QWidget* widget = control.widget();
    if (!widget)
        return;
    const QPoint global = widget->mapToGlobal(QPoint(x, y));
    x = global.x();
    y = global.y();
}

void screenToClient(const Control& control, int& x, int& y)
{
    QWidget* widget = control.widget();
    if (!widget)
        return;
    const QPoint local = widget->mapFromGlobal(QPoint(x, y));
    x = local.x();
    y = local.y();
}

void placeWindowOnTop(Form& window, int x, int y)
{
    keepInFront(window, InFront::OfEveryWindow);
    FormWindow* w = window.window();
    if (!w)
        return;
    w->move(x, y);
    if (!w->isVisible())
        window.show();
}

void windowPosition(const Form& window, int& x, int& y)
{
    const FormWindow* w = window.window();
    if (!w) {
        x = y = 0;
        return;
    }
    x = w->x();
    y = w->y();
}

namespace {

QRegion textRegion(const QWidget& widget, const std::string& text)
{
    if (text.empty())
        return QRegion();
    QPainterPath path;
    const QFontMetrics metrics(widget.font());
    path.addText(0, metrics.ascent(), widget.font(), qs(text));
    QRegion region;
    for (const QPolygonF& polygon : path.toFillPolygons())
        region = region.united(QRegion(polygon.toPolygon(), Qt::OddEvenFill));
    return region;
}

} // namespace

int shapeWindowToText(Form& window, const std::string& text, int holeX, int holeY, int holeSize)
{
    FormWindow* w = window.window();
    if (!w)
        return 0;
    const int half = holeSize / 2;
    const QRegion hole(holeX - half, holeY - half, holeSize, holeSize);
    const QRegion shape = textRegion(*w, text).subtracted(hole);
    w->setMask(shape);
    int pixels = 0;
    for (const QRect& rect : shape)
        pixels += rect.width() * rect.height();
    return pixels;
}

bool windowShapeContains(const Form& window, int x, int y)
{
    const FormWindow* w = window.window();
    return w && w->mask().contains(QPoint(x, y));
}

// ---------------------------------------------------------------------------
// Headless drags

void dragOver(DropTarget& target, double x, double y, int shift)
{
    if (g_session)
        g_session->moveTo(&target, x, y, vbLeftButton, shift);
}

void dropOn(DropTarget& target, double x, double y, int shift)
{
    if (g_session)
        g_session->release(&target, x, y, vbLeftButton, shift);
}

void releaseOverNothing()
{
    if (g_session)
        g_session->release(nullptr, 0, 0, vbLeftButton, 0);
}

void cancelDrag()
{
    if (g_session)
        g_session->cancel();
}

} // namespace forms

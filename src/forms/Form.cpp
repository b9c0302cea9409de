#include "forms/Form.h"

#include "forms/Bridge_p.h"
#include "forms/Colors_p.h"
#include "forms/ControlArray.h"
#include "forms/Fonts.h"
#include "forms/FormWindow_p.h"
#include "forms/Keys.h"
#include "forms/Screen.h"
#include "forms/ScrollBar.h"
#include "forms/WindowPlacement_p.h"

#include "platform/Errors.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QResizeEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <deque>
#include <map>

Q_LOGGING_CATEGORY(formsLog, "tevora.forms")

namespace forms {

namespace {

struct Registry {
    std::vector<Form*> all;
    std::vector<Form*> loaded; // load order
    std::map<std::string, std::deque<std::function<void(Form&)>>> shownCallbacks;
    std::function<void(Form&)> unexpectedModal;
    Form* lastActivated = nullptr;
    bool programEnding = false;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

// The client area: mouse events that reach no control are the window's own.
class ClientArea : public QWidget {
public:
    ClientArea(FormWindow& window) : QWidget(&window), m_window(window) {}

protected:
    void mousePressEvent(QMouseEvent* event) override { dispatch(event, Press); }
    void mouseReleaseEvent(QMouseEvent* event) override { dispatch(event, Release); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { dispatch(event, Double); }
    void mouseMoveEvent(QMouseEvent* event) override { dispatch(event, Move); }

private:
    enum Kind { Press, Release, Double, Move };

    void dispatch(QMouseEvent* event, Kind kind)
    {
        Form* form = m_window.form;
        if (!form)
            return;
        const int shift = shiftCode(event->modifiers());
        const double x = event->position().x() * TwipsPerPixel;
        const double y = event->position().y() * TwipsPerPixel;
        const int button = buttonCode(event->button());
        runGuarded([&] {
            switch (kind) {
            case Press:
                m_leftDown = button == vbLeftButton;
                form->Form_MouseDown(button, shift, x, y);
                break;
            case Double:
                if (button == vbLeftButton) {
                    m_leftDown = false;
                    form->Form_DblClick();
                } else {
                    form->Form_MouseDown(button, shift, x, y);
                }
                break;
            case Release: {
                const bool click = button == vbLeftButton && m_leftDown && rect().contains(event->position().toPoint());
                m_leftDown = false;
                form->Form_MouseUp(button, shift, x, y);
                if (click && form->isLoaded())
                    form->Form_Click();
                break;
            }
            case Move:
                form->Form_MouseMove(buttonMask(event->buttons()), shift, x, y);
                break;
            }
        });
    }

    FormWindow& m_window;
    bool m_leftDown = false;
};

// The window a modal window shown without an owner opens for: the one the user
// last worked in.
Form* modalOwner()
{
    Form* active = registry().lastActivated;
    if (active && active->window() && active->window()->isVisible())
        return active;
    return mainWindowForm();
}

// Raises a top-level window; the offscreen platform has no stacking to change.
void raiseWindow(QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        window->raise();
}

QSize clientSizeOf(const FormWindow& window)
{
    return QSize(window.width(), std::max(0, window.height() - window.menuBarHeight()));
}

// The first menu of the window's menu bar that can be opened, or null.
QAction* firstMenuOf(const FormWindow& window)
{
    QMenuBar* bar = window.menuBar();
    if (!bar || bar->isHidden())
        return nullptr;
    for (QAction* action : bar->actions()) {
        if (action->isVisible() && action->isEnabled() && action->menu())
            return action;
    }
    return nullptr;
}

// Keyboard rules of every window, as on the desktop:
// - A key held with Alt or Ctrl types no character: it reaches the controls
//   and the window without its text, so menu shortcuts and a control's own
//   Ctrl keys (copy, paste, undo) still see it, but no text box inserts it
//   and no KeyPress is raised for it.
// - F10 opens the first menu of the window's menu bar.
class KeyboardRules : public QObject {
public:
    using QObject::QObject;

    static void installOnce()
    {
        static QPointer<KeyboardRules> installed;
        if (installed || !QCoreApplication::instance())
            return;
        installed = new KeyboardRules(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(installed);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        // Popups (menus, drop-down lists) keep the keys as Qt handles them.
        if (widget->window()->windowType() == Qt::Popup)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            auto* window = dynamic_cast<FormWindow*>(widget->window());
            if (QAction* first = window ? firstMenuOf(*window) : nullptr) {
                window->menuBar()->setActiveAction(first);
                return true;
            }
            return false;
        }
        if (!(key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) || !typesText(key->text()))
            return false;
        QKeyEvent withoutText(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                              key->nativeVirtualKey(), key->nativeModifiers(), QString(), key->isAutoRepeat(),
                              key->count(), key->device());
        QCoreApplication::sendEvent(watched, &withoutText);
        // The copy travelled up the parents already; the key goes no further.
        event->accept();
        return true;
    }

private:
    static bool typesText(const QString& text)
    {
        for (QChar character : text) {
            if (character.isPrint())
                return true;
        }
        return false;
    }
};

} // namespace

// A wheel turn that no control took (text boxes, lists and grids scroll by
// themselves): the scroll bar whose wheel area lies under the pointer moves.
bool turnWheelOfArea(Form& form, const QWheelEvent& event)
{
    const QPoint delta = event.angleDelta();
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    if (amount == 0)
        return false;
    const bool sideways = event.modifiers().testFlag(Qt::ShiftModifier) || delta.y() == 0;
    const auto wanted = sideways ? ScrollBar::Orientation::Horizontal : ScrollBar::Orientation::Vertical;
    const QPoint global = event.globalPosition().toPoint();
    for (Control* control : form.controls()) {
        auto* bar = dynamic_cast<ScrollBar*>(control);
        if (!bar || bar->orientation() != wanted || !bar->wheelArea() || !bar->isVisible() || !bar->isEnabled())
            continue;
        QWidget* area = bar->wheelArea()->widget();
        if (!area || !area->isVisible() || !area->rect().contains(area->mapFromGlobal(global)))
            continue;
        runGuarded([bar, amount] { bar->turnWheel(amount / 120.0); });
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- FormWindow

FormWindow::FormWindow(Form& owner) : QWidget(nullptr, Qt::Window), form(&owner)
{
    client = new ClientArea(*this);
    client->setAutoFillBackground(true);
    // The window object decides when the process ends, not Qt.
    setAttribute(Qt::WA_QuitOnClose, false);
    // The window takes the keys when no control has the focus, but Tab passes
    // from the last control to the first, not to the window.
    setFocusPolicy(Qt::ClickFocus);
    KeyboardRules::installOnce();
    installDialogPlacement();
}

QMenuBar* FormWindow::ensureMenuBar()
{
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(this);
        m_menuBar->setNativeMenuBar(false);
        m_menuBar->setVisible(false);
    }
    return m_menuBar;
}

int FormWindow::menuBarHeight() const
{
    if (!m_menuBar || m_menuBar->isHidden())
        return 0;
    return m_menuBar->sizeHint().height();
}

void FormWindow::layoutChildren()
{
    const int bar = menuBarHeight();
    if (m_menuBar && !m_menuBar->isHidden())
        m_menuBar->setGeometry(0, 0, width(), bar);
    client->setGeometry(0, bar, width(), std::max(0, height() - bar));
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // The window decides in QueryUnload and Unload; Qt must not close it itself.
    event->ignore();
    if (Form* owner = form)
        runGuarded([owner] { owner->unloadWithMode(vbFormControlMenu); });
}

void FormWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
    if (applyingGeometry || !form)
        return;
    const QSize clientSize = clientSizeOf(*this);
    Form* owner = form;
    runGuarded([owner, clientSize] {
        // A new frame places the window again; the client size follows from it.
        if (!owner->frameReportedByPlatform() && owner->isLoaded())
            owner->clientResizedByPlatform(clientSize.width(), clientSize.height());
    });
}

void FormWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (applyingGeometry || !form)
        return;
    Form* owner = form;
    runGuarded([owner] {
        if (!owner->frameReportedByPlatform())
            owner->movedByPlatform();
    });
}

bool FormWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && form) {
        const Qt::WindowStates states = windowState();
        if (!states.testFlag(Qt::WindowFullScreen)) {
            const int state = states.testFlag(Qt::WindowMinimized)   ? vbMinimized
                              : states.testFlag(Qt::WindowMaximized) ? vbMaximized
                                                                     : vbNormal;
            form->stateChangedByPlatform(state);
        }
    }
    if (event->type() == QEvent::Wheel && form && turnWheelOfArea(*form, static_cast<QWheelEvent&>(*event)))
        return true;
    if (event->type() == QEvent::WindowActivate && form) {
        Form* owner = form;
        // A window manager may frame a window without moving it (one placed well
        // inside the screen): no move reports the frame then, and by the time the
        // window is active its frame is known and places it.
        runGuarded([owner] {
            owner->frameReportedByPlatform();
            if (owner->isLoaded())
                owner->activatedByPlatform();
        });
    }
    return QWidget::event(event);
}

bool FormWindow::keyIsOwn() const
{
    // Keys a control left unhandled travel up to the window; they are not its own.
    QWidget* focus = focusWidget();
    return !(focus && focus != this);
}

void FormWindow::keyPressEvent(QKeyEvent* event)
{
    Form* owner = form;
    if (!owner || !keyIsOwn())
        return QWidget::keyPressEvent(event);
    int keyCode = virtualKeyCode(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
    const int shift = shiftCode(event->modifiers());
    const QString text = event->text();
    runGuarded([&] {
        if (keyCode != 0)
            owner->Form_KeyDown(keyCode, shift);
        if (keyCode == 0 && event->key() != 0)
            return;
        for (char32_t character : text.toUcs4()) {
            if (character == 0x7F)
                continue;
            int16_t keyAscii = keyAsciiOf(character);
            if (owner->isLoaded())
                owner->Form_KeyPress(keyAscii);
        }
    });
}

void FormWindow::keyReleaseEvent(QKeyEvent* event)
{
    Form* owner = form;
    if (!owner || !keyIsOwn())
        return QWidget::keyReleaseEvent(event);
    int keyCode = virtualKeyCode(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
    const int shift = shiftCode(event->modifiers());
    if (keyCode != 0)
        runGuarded([&] { owner->Form_KeyUp(keyCode, shift); });
}

bool FormWindow::focusNextPrevChild(bool next)
{
    if (form)
        form->applyPendingTabOrder();
    return QWidget::focusNextPrevChild(next);
}

// ---------------------------------------------------------------- Form

struct Form::Private {
    enum class State { Unloaded, Loading, Loaded };

    struct Properties {
        std::string caption;
        double left = 0;
        double top = 0;
        double width = 4800;
        double height = 3600;
        bool visible = false;
        bool keyPreview = false;
        int windowState = vbNormal;
        int mousePointer = vbDefault;
        int borderStyle = vbSizable;
        long backColor = vbButtonFace;
        std::string fontName = DefaultFontName;
        double fontSize = DefaultFontSize;
        bool fontBold = false;
        bool fontItalic = false;
    };

    State state = State::Unloaded;
    bool designing = false;
    // Inside show, until its Resize.
    bool showing = false;
    bool unloading = false;
    bool unloadAfterLoad = false;
    bool everUnloaded = false;
    bool shownOnce = false;
    // The controls changed since the tab order was last worked out.
    bool tabOrderPending = false;
    QPointer<FormWindow> window;
    std::vector<Control*> controls;
    std::vector<ControlArrayBase*> arrays;
    Properties props;
    // The client size the window's geometry gives, and the one Resize last saw.
    QSize clientPx;
    QSize reportedClient{-1, -1};
    QMargins frame;
    // The window was shown (or given another border) where the program put it,
    // and the platform has yet to frame it: its frame, once reported, places it
    // again so that the outer frame has the geometry set.
    bool awaitingFrame = false;
    // Where the frame's top-left is: where the window put it, or where the
    // platform last reported it moved to.
    QPoint placeOnScreen;
    // The full-screen view, and the place and client size it comes back to.
    bool fullScreen = false;
    Properties beforeFullScreen;
    QSize clientBeforeFullScreen;
    double minWidth = 0;
    double minHeight = 0;
    Control* focus = nullptr;
    ControlLife focusLife;
    QEventLoop* modalLoop = nullptr;
};

Form::Form(std::string name) : m_name(std::move(name)), d(std::make_unique<Private>())
{
    d->props.caption = m_name;
    registry().all.push_back(this);
}

Form::~Form()
{
    if (d->state != Private::State::Unloaded && QCoreApplication::instance())
        teardown();
    auto& all = registry().all;
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    auto& loaded = registry().loaded;
    loaded.erase(std::remove(loaded.begin(), loaded.end(), this), loaded.end());
    if (registry().lastActivated == this)
        registry().lastActivated = nullptr;
    if (mainWindowForm() == this)
        setMainWindow(nullptr);
}

QWidget* Form::containerWidget()
{
    return d->window ? d->window->client : nullptr;
}

FormWindow* Form::window() const
{
    return d->window;
}

void Form::registerControl(Control* control)
{
    d->controls.push_back(control);
}

void Form::unregisterControl(Control* control)
{
    auto& list = d->controls;
    list.erase(std::remove(list.begin(), list.end(), control), list.end());
    if (d->focus == control) {
        d->focus = nullptr;
        d->focusLife = ControlLife();
    }
}

void Form::registerArray(ControlArrayBase* array)
{
    d->arrays.push_back(array);
}

void Form::unregisterArray(ControlArrayBase* array)
{
    auto& list = d->arrays;
    list.erase(std::remove(list.begin(), list.end(), array), list.end());
}

bool Form::isLoaded() const
{
    return d->state != Private::State::Unloaded;
}

bool Form::isDesigning() const
{
    return d->designing;
}

bool Form::isShownModal() const
{
    return d->modalLoop != nullptr;
}

void Form::load()
{
    if (d->state == Private::State::Unloaded)
        loadNow();
}

void Form::loadNow()
{
#ifndef NDEBUG
    if (d->everUnloaded)
        qCDebug(formsLog) << "window" << qs(m_name) << "loaded again after Unload";
#endif
    d->state = Private::State::Loading;
    d->unloadAfterLoad = false;
    d->shownOnce = false;
    d->focus = nullptr;
    d->focusLife = ControlLife();
    d->props = Private::Properties();
    d->props.caption = m_name;
    d->fullScreen = false;
    d->minWidth = 0;
    d->minHeight = 0;
    registry().loaded.push_back(this);

    d->window = new FormWindow(*this);
    FormWindow* w = d->window;
    w->setWindowTitle(qs(d->props.caption));
    w->setFont(makeFont(d->props.fontName, d->props.fontSize, d->props.fontBold, d->props.fontItalic));
    QPalette palette = w->client->palette();
    palette.setColor(QPalette::Window, toQColor(d->props.backColor));
    w->client->setPalette(palette);
    applyGeometry(false);

    // Design: every control back to its class defaults, then the window's
    // design-time properties, with no event raised.
    d->designing = true;
    try {
        const std::vector<Control*> controls = d->controls;
        for (Control* control : controls)
            control->attach();
        design();
    } catch (...) {
        d->designing = false;
        d->state = Private::State::Loaded;
        throw;
    }
    d->designing = false;
    d->tabOrderPending = true;
    d->reportedClient = d->clientPx;

    try {
        Form_Load();
    } catch (...) {
        if (d->state == Private::State::Loading)
            d->state = Private::State::Loaded;
        throw;
    }
    if (d->state != Private::State::Loading)
        return; // ended meanwhile (program end inside Form_Load)
    d->state = Private::State::Loaded;
    if (d->unloadAfterLoad)
        teardown();
}

namespace {

struct Place {
    Control* control;
    double left;
    double top;
    double right;
    double bottom;
    double middle() const { return (top + bottom) / 2; }
};

// The places of one container's items in the order the header describes.
void orderByPlace(std::vector<Place>& places)
{
    std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return a.left < b.left; });
    std::vector<Place> ordered;
    ordered.reserve(places.size());
    size_t first = 0;
    while (first < places.size()) {
        // One column: the items whose horizontal extents overlap in a chain.
        size_t end = first + 1;
        double right = places[first].right;
        while (end < places.size() && places[end].left < right) {
            right = std::max(right, places[end].right);
            ++end;
        }
        std::vector<Place> column(places.begin() + static_cast<std::ptrdiff_t>(first),
                                  places.begin() + static_cast<std::ptrdiff_t>(end));
        std::stable_sort(column.begin(), column.end(), [](const Place& a, const Place& b) {
            return a.top != b.top ? a.top < b.top : a.left < b.left;
        });
        size_t rowStart = 0;
        while (rowStart < column.size()) {
            const Place& anchor = column[rowStart];
            size_t rowEnd = rowStart + 1;
            // A row: the items whose top lies above the middle of its first item.
            while (rowEnd < column.size() && column[rowEnd].top < anchor.middle())
                ++rowEnd;
            std::stable_sort(column.begin() + static_cast<std::ptrdiff_t>(rowStart),
                             column.begin() + static_cast<std::ptrdiff_t>(rowEnd),
                             [](const Place& a, const Place& b) { return a.left < b.left; });
            rowStart = rowEnd;
        }
        ordered.insert(ordered.end(), column.begin(), column.end());
        first = end;
    }
    places = std::move(ordered);
}

bool takesFocus(const Control* control)
{
    const QWidget* w = control->widget();
    return w && w->focusPolicy() != Qt::NoFocus;
}

} // namespace

void Form::applyTabOrder()
{
    d->tabOrderPending = false;
    if (!d->window)
        return;
    // The items of each container: controls that take the focus and containers
    // with a widget (their controls follow them).
    std::map<const Container*, std::vector<Place>> itemsOf;
    for (Control* control : d->controls) {
        const bool container = dynamic_cast<Container*>(control) != nullptr;
        if (!takesFocus(control) && !(container && control->widget()))
            continue;
        const Control::Common& c = control->m_common;
        itemsOf[&control->container()].push_back(
            Place{control, c.left, c.top, c.left + c.width, c.top + c.height});
    }
    std::vector<Control*> order;
    std::function<void(const Container*)> visit = [&](const Container* container) {
        auto found = itemsOf.find(container);
        if (found == itemsOf.end())
            return;
        std::vector<Place> places = std::move(found->second);
        itemsOf.erase(found);
        orderByPlace(places);
        for (const Place& place : places) {
            if (takesFocus(place.control))
                order.push_back(place.control);
            if (auto* inner = dynamic_cast<Container*>(place.control))
                visit(inner);
        }
    };
    visit(this);
    // Controls of a container no item led to (none today) still take part.
    while (!itemsOf.empty())
        visit(itemsOf.begin()->first);
    std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) {
        const int first = a->m_common.tabIndexSet ? a->m_common.tabIndex : std::numeric_limits<int>::max();
        const int second = b->m_common.tabIndexSet ? b->m_common.tabIndex : std::numeric_limits<int>::max();
        return first < second;
    });
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->widget(), order[i]->widget());
}

// A window loading many controls (a chart, a preview's pages) works the order out
// once, not once per control: when it is next shown or the focus next follows it,
// and, for a window on screen, once the command that changed it returns.
void Form::tabOrderChanged()
{
    if (d->tabOrderPending)
        return;
    d->tabOrderPending = true;
    if (d->window && d->window->isVisible())
        QTimer::singleShot(0, d->window, [this] { applyPendingTabOrder(); });
}

void Form::applyPendingTabOrder()
{
    if (d->tabOrderPending)
        applyTabOrder();
}

void Form::show(ShowMode mode, Form* owner)
{
    load();
    if (d->state != Private::State::Loaded || !d->window)
        return; // unloaded inside its own Form_Load: nothing to show
    applyPendingTabOrder();
    FormWindow* w = d->window;
    if (mode == ShowMode::Modal && d->modalLoop) {
        raiseWindow(w);
        return;
    }
    if (mode == ShowMode::Modal && w->isVisible())
        hide(); // Qt applies a modality change only to a hidden window
    if (!owner)
        owner = mode == ShowMode::Modal ? modalOwner() : mainWindowForm();
    if (!w->isVisible()) {
        w->setWindowModality(mode == ShowMode::Modal ? Qt::ApplicationModal : Qt::NonModal);
        // Placed, and kept in front, before the window shows: a move of a
        // platform window not yet shown would be undone when it shows, and its
        // flags and owner change only while it is hidden.
        applyWindowFlags();
        // A window the window manager has yet to frame is sized for the frame it
        // likely gets: where that is the frame it gets, nothing changes once the
        // window manager reports it (a change just then may be lost to it).
        if (d->frame.isNull() && d->props.borderStyle != vbBSNone) {
            d->frame = likelyFrame(*w);
            if (!d->frame.isNull())
                applyGeometry(false);
        }
        placeOnShowing(*this, owner, mode == ShowMode::Modal);
        d->awaitingFrame = true;
    }
    const bool firstShow = !d->shownOnce;
    d->shownOnce = true;
    d->props.visible = true;
    d->showing = true;
    switch (d->fullScreen ? -1 : d->props.windowState) {
    case -1:
        w->showFullScreen();
        break;
    case vbMinimized:
        w->showMinimized();
        break;
    case vbMaximized:
        w->showMaximized();
        break;
    default:
        w->show();
        break;
    }
    // The platform may know the frame now (it may also report it later).
    frameReportedByPlatform();
    d->showing = false;
    if (!firstShow)
        raiseResizeIfChanged();
    raiseWindow(w);
    w->activateWindow();

    if (firstShow) {
        d->reportedClient = d->clientPx;
        Form_Resize();
    }
    if (d->state == Private::State::Loaded && d->props.visible)
        activatedByPlatform();
    if (d->state != Private::State::Loaded || !d->props.visible)
        return;

    std::function<void(Form&)> callback;
    auto found = registry().shownCallbacks.find(m_name);
    if (found != registry().shownCallbacks.end() && !found->second.empty()) {
        callback = std::move(found->second.front());
        found->second.pop_front();
    }
    if (mode == ShowMode::Modeless) {
        if (callback)
            callback(*this);
        return;
    }
    if (callback) {
        QTimer::singleShot(0, w, [this, callback] { runGuarded([&] { callback(*this); }); });
    } else if (registry().unexpectedModal) {
        registry().unexpectedModal(*this);
        if (isLoaded())
            hide();
    }
    runModalLoop();
    if (d->window)
        d->window->setWindowModality(Qt::NonModal);
    if (registry().programEnding)
        throw platform::ProgramEnd{};
}

void Form::runModalLoop()
{
    if (!d->window || !d->props.visible)
        return;
    QEventLoop loop;
    d->modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    d->modalLoop = nullptr;
}

void Form::hide()
{
    load();
    if (d->window && d->window->isVisible())
        rememberPlace(*this, d->placeOnScreen);
    d->props.visible = false;
    if (d->window)
        d->window->hide();
    if (d->modalLoop)
        d->modalLoop->exit();
}

bool Form::unload()
{
    return unloadWithMode(vbFormCode);
}

bool Form::unloadWithMode(int unloadMode)
{
    if (d->state == Private::State::Unloaded || d->unloading)
        return d->state == Private::State::Unloaded;
    d->unloading = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{d->unloading};

    int cancel = 0;
    Form_QueryUnload(cancel, unloadMode);
    if (cancel != 0 || d->state == Private::State::Unloaded)
        return d->state == Private::State::Unloaded;
    Form_Unload(cancel);
    if (cancel != 0 || d->state == Private::State::Unloaded)
        return d->state == Private::State::Unloaded;
    if (d->state == Private::State::Loading) {
        // Unload inside Form_Load: the window goes once Form_Load returns.
        d->unloadAfterLoad = true;
        return true;
    }
    teardown();
    return true;
}

void Form::destroySilently()
{
    if (d->state != Private::State::Unloaded)
        teardown();
}

void Form::teardown()
{
    if (d->modalLoop)
        d->modalLoop->exit();
    d->focus = nullptr;
    d->focusLife = ControlLife();
    const std::vector<ControlArrayBase*> arrays = d->arrays;
    for (ControlArrayBase* array : arrays)
        array->destroyRuntimeElements();
    const std::vector<Control*> controls = d->controls;
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        (*it)->detach(false);
    FormWindow* w = d->window;
    if (w && w->isVisible())
        rememberPlace(*this, d->placeOnScreen);
    d->window = nullptr;
    if (w) {
        w->form = nullptr;
        disposeObject(w);
    }
    auto& loaded = registry().loaded;
    loaded.erase(std::remove(loaded.begin(), loaded.end(), this), loaded.end());
    if (registry().lastActivated == this)
        registry().lastActivated = nullptr;
    d->state = Private::State::Unloaded;
    d->props.visible = false;
    d->shownOnce = false;
    d->everUnloaded = true;
    d->reportedClient = QSize(-1, -1);
    // The next load makes a new platform window, whose frame the window manager
    // has yet to report: kept, the old frame would keep the report from placing
    // the new one, and it would open off its place by the frame's size.
    d->frame = QMargins();
    lastWindowUnloaded();
}

// ---------------------------------------------------------------- geometry

void Form::applyGeometry(bool raiseResize)
{
    FormWindow* w = d->window;
    if (!w)
        return;
    if (d->fullScreen) {
        // The desktop sizes a full-screen window; the menu bar may come or go.
        w->layoutChildren();
        d->clientPx = QSize(twipsToPixels(d->props.width),
                            std::max(0, twipsToPixels(d->props.height) - w->menuBarHeight()));
        if (raiseResize)
            raiseResizeIfChanged();
        return;
    }
    const bool fixed = d->props.borderStyle == vbFixedSingle || d->props.borderStyle == vbFixedDialog;
    if (!fixed) {
        d->props.width = std::max(d->props.width, d->minWidth);
        d->props.height = std::max(d->props.height, d->minHeight);
    }
    const int outerWidth = twipsToPixels(d->props.width);
    const int outerHeight = twipsToPixels(d->props.height);
    const int innerWidth = std::max(1, outerWidth - d->frame.left() - d->frame.right());
    const int innerHeight = std::max(1, outerHeight - d->frame.top() - d->frame.bottom());
    const QPoint frameTopLeft(twipsToPixels(d->props.left), twipsToPixels(d->props.top));
    d->placeOnScreen = frameTopLeft;
    w->applyingGeometry = true;
    if (fixed) {
        w->setFixedSize(innerWidth, innerHeight);
    } else {
        // The window manager keeps the user's drag above the smallest size.
        const int minWidth = twipsToPixels(d->minWidth) - d->frame.left() - d->frame.right();
        const int minHeight = twipsToPixels(d->minHeight) - d->frame.top() - d->frame.bottom();
        w->setMinimumSize(std::max(0, minWidth), std::max(0, minHeight));
        w->resize(innerWidth, innerHeight);
    }
    // Before the platform window exists Qt takes a window's position as its
    // frame's; afterwards only the platform window's frame position is sure to
    // be the frame's, whatever the window manager reported so far. It comes
    // after the size: a resize places the window by its client area.
    if (QWindow* handle = w->windowHandle(); handle && w->testAttribute(Qt::WA_WState_Created))
        handle->setFramePosition(frameTopLeft);
    else
        w->move(frameTopLeft);
    w->applyingGeometry = false;
    w->layoutChildren();
    d->clientPx = QSize(innerWidth, std::max(0, innerHeight - w->menuBarHeight()));
    if (raiseResize)
        raiseResizeIfChanged();
}

bool Form::frameReportedByPlatform()
{
    FormWindow* w = d->window;
    if (!w || !w->isVisible() || d->designing)
        return false;
    QWindow* handle = w->windowHandle();
    if (!handle)
        return false;
    // A maximised, minimised or full-screen window has no frame of its own size,
    // and the platform gives it its place and size.
    if (w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        d->awaitingFrame = false;
        return false;
    }
    const QMargins margins = handle->frameMargins();
    // A window with a border the window manager has not framed (yet, or again
    // after the full-screen view) has no frame to go by.
    if (margins.isNull() && d->props.borderStyle != vbBSNone)
        return false;
    const bool changed = margins != d->frame;
    d->frame = margins;
    frameGiven(*w, margins);
    // Once framed, the window has the place and size the platform gives it (the
    // user's drag, a maximise whose state the window manager reports only after
    // the new size): the geometry follows the platform's.
    const bool placeAgain = changed && d->awaitingFrame;
    if (!margins.isNull())
        d->awaitingFrame = false;
    if (!placeAgain)
        return false;
    // While show runs, show itself raises the Resize that follows.
    applyGeometry(!d->showing);
    return true;
}

void Form::movedByPlatform()
{
    const FormWindow* w = d->window;
    // Qt takes the frame from the platform's client position and frame margins
    // as both stood when it reported the move. Until the window manager has
    // framed the window it reports the client's place alone, which is no place
    // of the frame.
    const Qt::WindowStates notNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    if (w && w->isVisible() && !d->designing && !(w->windowState() & notNormal) && w->windowHandle()
        && (d->props.borderStyle == vbBSNone || !w->windowHandle()->frameMargins().isNull()))
        d->placeOnScreen = frameOnScreen(*w).topLeft();
}

void Form::raiseResizeIfChanged()
{
    if (d->designing || d->state == Private::State::Unloaded)
        return;
    if (d->clientPx == d->reportedClient)
        return;
    d->reportedClient = d->clientPx;
    Form_Resize();
}

void Form::clientResizedByPlatform(int widthPx, int heightPx)
{
    const QSize size(widthPx, heightPx);
    if (!d->window || size == d->clientPx)
        return;
    d->clientPx = size;
    // A full-screen window has no frame.
    const QMargins frame = d->fullScreen ? QMargins() : d->frame;
    const int outerWidth = widthPx + frame.left() + frame.right();
    const int outerHeight = heightPx + d->window->menuBarHeight() + frame.top() + frame.bottom();
    if (outerWidth != twipsToPixels(d->props.width))
        d->props.width = outerWidth * TwipsPerPixel;
    if (outerHeight != twipsToPixels(d->props.height))
        d->props.height = outerHeight * TwipsPerPixel;
    raiseResizeIfChanged();
}

void Form::stateChangedByPlatform(int state)
{
    if (!d->fullScreen)
        d->props.windowState = state;
}

void Form::menuBarChanged()
{
    FormWindow* w = d->window;
    if (!w || !w->menuBar())
        return;
    bool anyVisible = false;
    for (QAction* action : w->menuBar()->actions())
        anyVisible = anyVisible || action->isVisible();
    if (anyVisible == !w->menuBar()->isHidden())
        return;
    w->menuBar()->setVisible(anyVisible);
    applyGeometry(true);
}

double Form::left() const
{
    const_cast<Form*>(this)->load();
    return d->props.left;
}

double Form::top() const
{
    const_cast<Form*>(this)->load();
    return d->props.top;
}

double Form::width() const
{
    const_cast<Form*>(this)->load();
    return d->props.width;
}

double Form::height() const
{
    const_cast<Form*>(this)->load();
    return d->props.height;
}

void Form::setLeft(double twips)
{
    move(twips, top(), width(), height());
}

void Form::setTop(double twips)
{
    move(left(), twips, width(), height());
}

void Form::setWidth(double twips)
{
    move(left(), top(), twips, height());
}

void Form::setHeight(double twips)
{
    move(left(), top(), width(), twips);
}

void Form::move(double left, double top)
{
    move(left, top, width(), height());
}

void Form::move(double left, double top, double width, double height)
{
    load();
    if (width < 0 || height < 0)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    d->props.left = left;
    d->props.top = top;
    d->props.width = width;
    d->props.height = height;
    applyGeometry(true);
}

double Form::scaleWidth() const
{
    const_cast<Form*>(this)->load();
    return d->clientPx.width() * TwipsPerPixel;
}

double Form::scaleHeight() const
{
    const_cast<Form*>(this)->load();
    return d->clientPx.height() * TwipsPerPixel;
}

// ---------------------------------------------------------------- properties

const std::string& Form::caption() const
{
    const_cast<Form*>(this)->load();
    return d->props.caption;
}

void Form::setCaption(const std::string& caption)
{
    load();
    d->props.caption = caption;
    if (d->window)
        d->window->setWindowTitle(qs(caption));
}

bool Form::isVisible() const
{
    const_cast<Form*>(this)->load();
    return d->props.visible;
}

void Form::setVisible(bool visible)
{
    if (visible)
        show();
    else
        hide();
}

bool Form::keyPreview() const
{
    const_cast<Form*>(this)->load();
    return d->props.keyPreview;
}

void Form::setKeyPreview(bool preview)
{
    load();
    d->props.keyPreview = preview;
}

int Form::windowState() const
{
    const_cast<Form*>(this)->load();
    return d->props.windowState;
}

void Form::setWindowState(int state)
{
    load();
    if (state < vbNormal || state > vbMaximized)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    if (state == d->props.windowState)
        return;
    d->props.windowState = state;
    FormWindow* w = d->window;
    // The full-screen view comes back to the new state when it ends.
    if (!w || !d->props.visible || d->fullScreen)
        return;
    switch (state) {
    case vbMinimized:
        w->showMinimized();
        break;
    case vbMaximized:
        w->showMaximized();
        break;
    default:
        w->showNormal();
        break;
    }
}

bool Form::isFullScreen() const
{
    return d->fullScreen;
}

void Form::setFullScreen(bool fullScreen)
{
    load();
    FormWindow* w = d->window;
    if (fullScreen == d->fullScreen || !w)
        return;
    if (fullScreen) {
        d->beforeFullScreen = d->props;
        // A normal window comes back to the place and size it has now, where
        // the user may have moved or sized it since they were set.
        if (w->isVisible() && !(w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
            Private::Properties& before = d->beforeFullScreen;
            const QRect frame = frameOnScreen(*w);
            if (frame.x() != twipsToPixels(before.left))
                before.left = frame.x() * TwipsPerPixel;
            if (frame.y() != twipsToPixels(before.top))
                before.top = frame.y() * TwipsPerPixel;
            if (frame.width() != twipsToPixels(before.width))
                before.width = frame.width() * TwipsPerPixel;
            if (frame.height() != twipsToPixels(before.height))
                before.height = frame.height() * TwipsPerPixel;
        }
        // The menu bar is counted with the client: it may show or hide meanwhile.
        d->clientBeforeFullScreen = QSize(d->clientPx.width(), d->clientPx.height() + w->menuBarHeight());
        d->fullScreen = true;
        const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->geometry() : QRect(0, 0, w->width(), w->height());
        d->props.left = area.left() * TwipsPerPixel;
        d->props.top = area.top() * TwipsPerPixel;
        d->props.width = area.width() * TwipsPerPixel;
        d->props.height = area.height() * TwipsPerPixel;
        d->clientPx = QSize(area.width(), std::max(0, area.height() - w->menuBarHeight()));
        if (d->props.visible)
            w->showFullScreen();
    } else {
        d->fullScreen = false;
        const Private::Properties& before = d->beforeFullScreen;
        d->props.left = before.left;
        d->props.top = before.top;
        d->props.width = before.width;
        d->props.height = before.height;
        // The place and size come back inside the screen the window is on.
        bool pulledInside = false;
        const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->availableGeometry();
            const QRect frame(twipsToPixels(d->props.left), twipsToPixels(d->props.top),
                              twipsToPixels(d->props.width), twipsToPixels(d->props.height));
            QRect inside(frame.topLeft(), frame.size().boundedTo(area.size()));
            inside.moveLeft(std::clamp(inside.left(), area.left(), area.right() + 1 - inside.width()));
            inside.moveTop(std::clamp(inside.top(), area.top(), area.bottom() + 1 - inside.height()));
            if (inside.left() != frame.left())
                d->props.left = inside.left() * TwipsPerPixel;
            if (inside.top() != frame.top())
                d->props.top = inside.top() * TwipsPerPixel;
            if (inside.width() != frame.width())
                d->props.width = inside.width() * TwipsPerPixel;
            if (inside.height() != frame.height())
                d->props.height = inside.height() * TwipsPerPixel;
            pulledInside = inside != frame;
        }
        d->clientPx = QSize(d->clientBeforeFullScreen.width(),
                            std::max(0, d->clientBeforeFullScreen.height() - w->menuBarHeight()));
        if (d->props.visible) {
            if (d->props.windowState == vbMaximized) {
                w->showMaximized();
            } else if (d->props.windowState == vbMinimized) {
                w->showMinimized();
            } else {
                // The window manager puts the frame back where it was, as it does
                // any window's. Where that lay partly off the screen, the frame
                // goes inside it once the window manager has framed the window
                // again: until then a place set would be taken for the client's,
                // without the title bar.
                w->showNormal();
                if (pulledInside) {
                    d->frame = QMargins();
                    d->awaitingFrame = true;
                    frameReportedByPlatform();
                }
            }
        } else if (d->props.windowState == vbNormal) {
            applyGeometry(false);
        }
    }
    raiseResizeIfChanged();
}

void Form::setMinimumSize(double widthTwips, double heightTwips)
{
    load();
    d->minWidth = std::max(0.0, widthTwips);
    d->minHeight = std::max(0.0, heightTwips);
    applyGeometry(true);
}

int Form::mousePointer() const
{
    const_cast<Form*>(this)->load();
    return d->props.mousePointer;
}

void Form::setMousePointer(int pointer)
{
    load();
    d->props.mousePointer = pointer;
    recordMousePointer(m_name, pointer);
    if (FormWindow* w = d->window) {
        if (pointer == vbDefault)
            w->unsetCursor();
        else
            w->setCursor(cursorShapeFor(pointer));
    }
}

int Form::borderStyle() const
{
    const_cast<Form*>(this)->load();
    return d->props.borderStyle;
}

void Form::setBorderStyle(int style)
{
    load();
    if (style < vbBSNone || style > 5)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    d->props.borderStyle = style;
    FormWindow* w = d->window;
    if (!w)
        return;
    const bool wasVisible = w->isVisible();
    if (style != vbFixedSingle && style != vbFixedDialog) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    applyWindowFlags();
    applyGeometry(false);
    if (wasVisible) {
        // The new border may have a frame of another size.
        d->awaitingFrame = true;
        w->show();
        frameReportedByPlatform();
    }
}

void Form::applyWindowFlags()
{
    FormWindow* w = d->window;
    if (!w)
        return;
    const int style = d->props.borderStyle;
    // The type and the stay-on-top hint are how the window is kept in front
    // (WindowPlacement.cpp).
    const Qt::WindowFlags inFront = Qt::WindowType_Mask | Qt::WindowStaysOnTopHint;
    Qt::WindowFlags flags = w->windowFlags() & inFront;
    if (style == vbBSNone)
        flags |= Qt::FramelessWindowHint;
    else if (style == vbFixedDialog)
        flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    else if (style == vbFixedSingle)
        // A window of fixed size offers no maximise button.
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                 | Qt::WindowCloseButtonHint;
    else
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                 | Qt::WindowCloseButtonHint;
    if (flags != w->windowFlags())
        w->setWindowFlags(flags);
}

long Form::backColor() const
{
    const_cast<Form*>(this)->load();
    return d->props.backColor;
}

void Form::setBackColor(long colour)
{
    load();
    d->props.backColor = colour;
    if (FormWindow* w = d->window) {
        QPalette palette = w->client->palette();
        palette.setColor(QPalette::Window, toQColor(colour));
        w->client->setPalette(palette);
    }
}

const std::string& Form::fontName() const
{
    const_cast<Form*>(this)->load();
    return d->props.fontName;
}

double Form::fontSize() const
{
    const_cast<Form*>(this)->load();
    return d->props.fontSize;
}

bool Form::fontBold() const
{
    const_cast<Form*>(this)->load();
    return d->props.fontBold;
}

bool Form::fontItalic() const
{
    const_cast<Form*>(this)->load();
    return d->props.fontItalic;
}

void Form::setFontName(const std::string& name)
{
    load();
    d->props.fontName = name;
    applyFont();
}

void Form::setFontSize(double points)
{
    load();
    d->props.fontSize = points;
    applyFont();
}

void Form::setFontBold(bool bold)
{
    load();
    d->props.fontBold = bold;
    applyFont();
}

void Form::setFontItalic(bool italic)
{
    load();
    d->props.fontItalic = italic;
    applyFont();
}

void Form::applyFont()
{
    if (d->window)
        d->window->setFont(makeFont(d->props.fontName, d->props.fontSize, d->props.fontBold, d->props.fontItalic));
}

WindowHandle Form::hWnd() const
{
    const_cast<Form*>(this)->load();
    return reinterpret_cast<WindowHandle>(this);
}

// ---------------------------------------------------------------- methods

void Form::zOrder(int position)
{
    load();
    FormWindow* w = d->window;
    if (!w)
        return;
    if (position == 0) {
        raiseWindow(w);
        if (w->isVisible())
            w->activateWindow();
    } else {
        w->lower();
    }
}

void Form::refresh()
{
    load();
    if (d->window && d->window->isVisible())
        d->window->repaint();
}

void Form::setFocus()
{
    load();
    if (d->window && d->props.visible)
        d->window->activateWindow();
    else
        qCInfo(formsLog) << "SetFocus ignored: window" << qs(m_name) << "is hidden";
}

Control* Form::activeControl() const
{
    return d->focusLife ? d->focus : nullptr;
}

void Form::focusMovedTo(Control* control)
{
    Control* previous = d->focusLife ? d->focus : nullptr;
    if (previous == control)
        return;
    // The new focus control is recorded first: a LostFocus handler that waits
    // in a message box sees the focus come back to the same control, which is
    // no new move.
    d->focus = control;
    d->focusLife = control ? control->life() : ControlLife();
    if (previous)
        previous->raiseLostFocus();
    if (control && d->focus == control && d->focusLife)
        control->raiseGotFocus();
}

void Form::activatedByPlatform()
{
    // An activation the platform reports late, after the window was hidden, is
    // no activation of the window any more.
    if (d->state == Private::State::Unloaded || d->designing || !d->props.visible)
        return;
    if (registry().lastActivated == this)
        return;
    registry().lastActivated = this;
    Form_Activate();
}

// Default handlers: nothing happens, the window unloads.
void Form::Form_QueryUnload(int&, int) {}
void Form::Form_Unload(int&) {}
void Form::Form_KeyDown(int&, int) {}
void Form::Form_KeyUp(int&, int) {}
void Form::Form_KeyPress(int16_t&) {}
void Form::Form_MouseDown(int, int, double, double) {}
void Form::Form_MouseMove(int, int, double, double) {}
void Form::Form_MouseUp(int, int, double, double) {}

// ---------------------------------------------------------------- collection

std::vector<Form*> loadedForms()
{
    return registry().loaded;
}

Form* findLoadedForm(const std::string& name)
{
    for (Form* form : registry().loaded) {
        if (form->name() == name)
            return form;
    }
    return nullptr;
}

Form* findForm(const std::string& name)
{
    for (Form* form : registry().all) {
        if (form->name() == name)
            return form;
    }
    return nullptr;
}

Form* formFromHandle(WindowHandle handle)
{
    for (Form* form : registry().all) {
        if (reinterpret_cast<WindowHandle>(form) == handle)
            return form;
    }
    return nullptr;
}

void onShown(const std::string& windowName, std::function<void(Form&)> callback)
{
    registry().shownCallbacks[windowName].push_back(std::move(callback));
}

void clearOnShown()
{
    registry().shownCallbacks.clear();
}

void setUnexpectedModalHandler(std::function<void(Form&)> handler)
{
    registry().unexpectedModal = std::move(handler);
}

void endProgramNow()
{
    registry().programEnding = true;
    const std::vector<Form*> loaded = registry().loaded;
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it)
        (*it)->destroySilently();
    if (isMainLoopRunning())
        QCoreApplication::exit(0);
}

bool isProgramEnding()
{
    return registry().programEnding;
}

void resetProgramEnd()
{
    registry().programEnding = false;
}

} // namespace forms

namespace forms {

const std::vector<Control*>& Form::controls() const
{
    return d->controls;
}

} // namespace forms

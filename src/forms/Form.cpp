#include "forms/Form.h"

#include "forms/Bridge_p.h"
#include "forms/Colors_p.h"
#include "forms/ControlArray.h"
#include "forms/Fonts.h"
#include "forms/FormWindow_p.h"
#include "forms/Keys.h"
#include "forms/Screen.h"
#include "forms/ScrollBar.h"

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
#include <cstdlib>
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
    Form* mainWindow = nullptr;
    double mainToolbarHeight = 0;
    // Where the user left each window the last time it closed (frame top-left in
    // pixels, by window name): it opens there again during the run.
    std::map<std::string, QPoint> movedPlaces;
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

// Raises a top-level window; the offscreen platform has no stacking to change.
void raiseWindow(QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        window->raise();
}

// The step between windows that open in a cascade: about a title bar.
constexpr int CascadeStep = 30;

QRect frameOf(const Form& form)
{
    return QRect(twipsToPixels(form.left()), twipsToPixels(form.top()), twipsToPixels(form.width()),
                 twipsToPixels(form.height()));
}

// The frame moved by as little as it takes to lie wholly inside area (its size
// bounded to the area's); its title bar is on the screen.
QRect fittedInto(QRect frame, const QRect& area)
{
    frame.setSize(frame.size().boundedTo(area.size()));
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));
    return frame;
}

// The frames of the other open windows a window opening now may not lie exactly over.
std::vector<QRect> otherOpenFrames(const Form& form)
{
    std::vector<QRect> frames;
    for (Form* other : registry().loaded) {
        const FormWindow* w = other->window();
        if (other == &form || other == registry().mainWindow || !w || !w->isVisible() || w->isMinimized())
            continue;
        frames.push_back(w->frameGeometry());
    }
    return frames;
}

// The strip of a frame that holds its title bar.
QRect titleBarOf(const QRect& frame)
{
    return QRect(frame.left(), frame.top(), frame.width(), CascadeStep);
}

// True when either window would hide the other's title bar: the user could not
// take hold of the one behind.
bool hidesTitleBar(const QRect& frame, const QRect& other)
{
    return frame.intersects(titleBarOf(other)) || other.intersects(titleBarOf(frame));
}

// True when the frame would lie exactly over another: their top-left corners
// within a title bar of each other.
bool liesOver(const QRect& frame, const QRect& other)
{
    return std::abs(frame.left() - other.left()) < CascadeStep && std::abs(frame.top() - other.top()) < CascadeStep;
}

template <typename Test>
bool anyOf(const QRect& frame, const std::vector<QRect>& others, Test test)
{
    return std::any_of(others.begin(), others.end(), [&](const QRect& other) { return test(frame, other); });
}

// A place inside area for frame among the other open windows that keeps what the
// frame gained against the main window's bars (clear of them, or as low as it
// fits and covering no more of them when it could not be): the frame itself when
// it hides no title bar, else the nearest place beside one of the windows (right
// or left of it) that hides none, else a cascade step or more from the window
// whose title bar it meets, where no window lies exactly over another.
QRect clearOfOtherWindows(const QRect& frame, const QRect& area, const QRect& bars, const std::vector<QRect>& others)
{
    if (!anyOf(frame, others, hidesTitleBar))
        return frame;
    // A window that could not open clear of the bars stays as low as it is and
    // covers no more of them.
    const bool coversBars = frame.intersects(bars);
    const auto coveredBars = [&bars](const QRect& candidate) { return (candidate & bars).width(); };
    const auto inside = [&](const QRect& candidate) {
        if (!area.contains(candidate))
            return false;
        if (!coversBars)
            return !candidate.intersects(bars);
        return candidate.top() == frame.top() && coveredBars(candidate) <= coveredBars(frame);
    };
    std::vector<QRect> besides;
    for (const QRect& other : others) {
        for (const int left : {other.right() + 1, other.left() - frame.width()})
            besides.emplace_back(QPoint(left, frame.top()), frame.size());
    }
    std::stable_sort(besides.begin(), besides.end(), [&frame](const QRect& a, const QRect& b) {
        return std::abs(a.left() - frame.left()) < std::abs(b.left() - frame.left());
    });
    for (const QRect& beside : besides) {
        if (inside(beside) && !anyOf(beside, others, hidesTitleBar))
            return beside;
    }
    const auto met = std::find_if(others.begin(), others.end(),
                                  [&frame](const QRect& other) { return hidesTitleBar(frame, other); });
    // In a cascade the window opening lies in front: first a place where it hides
    // no other title bar, else one where at least it lies exactly over none.
    const auto coversTitleBar = [](const QRect& candidate, const QRect& other) {
        return candidate.intersects(titleBarOf(other));
    };
    for (const bool titleBarsShow : {true, false}) {
        for (int step = 1; step <= 8; ++step) {
            const int d = step * CascadeStep;
            // A window as low as it fits moves sideways only.
            const std::vector<QPoint> places =
                coversBars ? std::vector<QPoint>{frame.topLeft() + QPoint(d, 0), frame.topLeft() + QPoint(-d, 0)}
                           : std::vector<QPoint>{met->topLeft() + QPoint(d, d), met->topLeft() + QPoint(-d, d),
                                                 met->topLeft() + QPoint(d, -d), met->topLeft() + QPoint(-d, -d)};
            for (const QPoint& place : places) {
                const QRect cascaded = fittedInto(QRect(place, frame.size()), area);
                if (inside(cascaded) && !anyOf(cascaded, others, liesOver)
                    && (!titleBarsShow || !anyOf(cascaded, others, coversTitleBar)))
                    return cascaded;
            }
        }
    }
    return frame;
}

// Where a window opens the first time it shows in its normal state:
// - where the user left it when it last closed during this run, kept on the screen;
// - else, in front of the shown main window: at its own place, fitted wholly into
//   the screen's available area, clear of the main window's menu bar and toolbar
//   (the top toolbarHeight twips of its client area): just below them where there
//   is room, else beside the main window, else as low as fits. A window of the
//   main window's own (not a dialog of another window) also keeps clear of the
//   other open windows' title bars: beside the window it would meet where there
//   is room, else cascaded from it.
void placeOnOpening(Form& form, bool ownedByMainWindow)
{
    const QRect frame = frameOf(form);
    QRect place = frame;
    Form* main = registry().mainWindow;
    FormWindow* mainWindow = main && main != &form ? main->window() : nullptr;
    const auto moved = registry().movedPlaces.find(form.name());
    if (moved != registry().movedPlaces.end()) {
        place.moveTopLeft(moved->second);
        const QScreen* screen = QGuiApplication::screenAt(moved->second);
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen)
            place = fittedInto(place, screen->availableGeometry());
    } else {
        if (!mainWindow || !mainWindow->isVisible() || mainWindow->isMinimized())
            return;
        const QScreen* screen = mainWindow->screen() ? mainWindow->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QRect area = screen->availableGeometry();
        const QRect mainFrame = mainWindow->frameGeometry();
        const int barsBottom =
            mainWindow->client->mapToGlobal(QPoint(0, 0)).y() + twipsToPixels(registry().mainToolbarHeight);
        const QRect bars(mainFrame.left(), mainFrame.top(), mainFrame.width(), barsBottom - mainFrame.top());
        place = fittedInto(place, area);
        if (place.intersects(bars)) {
            const QRect below = fittedInto(QRect(QPoint(place.left(), barsBottom), place.size()), area);
            const QRect right = fittedInto(QRect(QPoint(mainFrame.right() + 1, place.top()), place.size()), area);
            const QRect left = fittedInto(QRect(QPoint(mainFrame.left() - place.width(), place.top()), place.size()), area);
            if (!below.intersects(bars))
                place = below;
            else if (!right.intersects(mainFrame))
                place = right;
            else if (!left.intersects(mainFrame))
                place = left;
            else
                place.moveBottom(area.bottom()); // as low as fits
        }
        if (ownedByMainWindow)
            place = clearOfOtherWindows(place, area, bars, otherOpenFrames(form));
    }
    if (place.size() != frame.size())
        form.move(place.x() * TwipsPerPixel, place.y() * TwipsPerPixel, place.width() * TwipsPerPixel,
                  place.height() * TwipsPerPixel);
    else if (place.topLeft() != frame.topLeft())
        form.move(place.x() * TwipsPerPixel, place.y() * TwipsPerPixel);
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
    runGuarded([owner] { owner->frameReportedByPlatform(); });
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
    // Shown with an owner: the window is a dialog of the owner's.
    bool owned = false;
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
    if (registry().mainWindow == this)
        registry().mainWindow = nullptr;
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
    d->owned = false;
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
    // Placed before the owner below makes the platform window: a move of a
    // platform window not yet shown would be undone when it shows.
    if (!d->shownOnce && !d->fullScreen && d->props.windowState == vbNormal)
        placeOnOpening(*this, !owner || owner == registry().mainWindow);
    if (mode == ShowMode::Modal) {
        // Qt applies a modality change only to a hidden window.
        if (w->isVisible())
            w->hide();
        w->setWindowModality(Qt::ApplicationModal);
    }
    if (!owner && mode == ShowMode::Modeless)
        owner = registry().mainWindow;
    if (owner && owner != this && owner->d->window) {
        // Window managers keep a dialog in front of the window it is transient
        // for; a plain window's owner is not passed on to them. The type
        // changes only while the window is hidden, as Qt requires.
        if (!d->owned && !w->isVisible()) {
            d->owned = true;
            applyWindowFlags();
        }
        w->winId();
        owner->d->window->winId();
        w->windowHandle()->setTransientParent(owner->d->window->windowHandle());
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
    if (w && d->shownOnce)
        rememberPlaceLeftByUser();
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

// A window whose frame is not where the window put it was moved by the user (or
// placed by the window manager): it opens there again the next time during the run.
void Form::rememberPlaceLeftByUser()
{
    const FormWindow* w = d->window;
    if (!w || d->fullScreen || d->props.windowState != vbNormal || this == registry().mainWindow)
        return;
    const QPoint placed(twipsToPixels(d->props.left), twipsToPixels(d->props.top));
    const QPoint left = w->frameGeometry().topLeft();
    if (left != placed)
        registry().movedPlaces[m_name] = left;
}

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
    // A maximised, minimised or full-screen window has no frame of its own size.
    if (w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return false;
    QWindow* handle = w->windowHandle();
    if (!handle)
        return false;
    const QMargins margins = handle->frameMargins();
    if (margins == d->frame)
        return false;
    d->frame = margins;
    // While show runs, show itself raises the Resize that follows.
    applyGeometry(!d->showing);
    return true;
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
            const QRect frame = w->frameGeometry();
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
        }
        d->clientPx = QSize(d->clientBeforeFullScreen.width(),
                            std::max(0, d->clientBeforeFullScreen.height() - w->menuBarHeight()));
        if (d->props.visible) {
            if (d->props.windowState == vbMaximized) {
                w->showMaximized();
            } else if (d->props.windowState == vbMinimized) {
                w->showMinimized();
            } else {
                // The frame goes where the window was, not where the window
                // manager remembers it from before the full-screen view.
                w->showNormal();
                applyGeometry(false);
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
        w->show();
        // The new border may have a frame of another size.
        frameReportedByPlatform();
    }
}

void Form::applyWindowFlags()
{
    FormWindow* w = d->window;
    if (!w)
        return;
    const int style = d->props.borderStyle;
    Qt::WindowFlags flags = d->owned || style == vbFixedDialog ? Qt::Dialog : Qt::Window;
    if (style == vbBSNone)
        flags |= Qt::FramelessWindowHint;
    else if (style == vbFixedDialog)
        flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    else if (style == vbFixedSingle)
        // A window of fixed size offers no maximise button.
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                 | Qt::WindowCloseButtonHint;
    else if (d->owned)
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                 | Qt::WindowCloseButtonHint;
    if (w->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        flags |= Qt::WindowStaysOnTopHint;
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

void setMainWindow(Form* form, double toolbarHeight)
{
    registry().mainWindow = form;
    registry().mainToolbarHeight = toolbarHeight;
}

void forgetWindowPlaces()
{
    registry().movedPlaces.clear();
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

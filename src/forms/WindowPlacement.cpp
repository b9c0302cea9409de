#include "forms/WindowPlacement_p.h"

#include "forms/Form.h"
#include "forms/FormWindow_p.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <tuple>

namespace forms {

namespace {

// A title bar's height with room to take hold of it: no window opens over this
// strip of a window behind it, and windows cascade by it.
constexpr int TitleBarHeight = 30;
// How far a cascade reaches from the window it starts at, in title bars.
constexpr int CascadeSteps = 8;

struct RememberedPlace {
    QPoint frameTopLeft;
    bool moved = false;
};

struct Anchor {
    Form* mainWindow = nullptr;
    double toolbarHeight = 0;
    // Where each window was when it last closed during the run, by window name.
    std::map<std::string, RememberedPlace> places;
};

Anchor& anchor()
{
    static Anchor instance;
    return instance;
}

QRect titleBarOf(const QRect& frame)
{
    return QRect(frame.left(), frame.top(), frame.width(), TitleBarHeight);
}

// True when the top-left corners of the two frames lie within a title bar's
// height of each other: the one in front hides the other's title bar and corner.
bool cornersMeet(const QRect& frame, const QRect& other)
{
    return std::abs(frame.left() - other.left()) < TitleBarHeight
           && std::abs(frame.top() - other.top()) < TitleBarHeight;
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

bool toolbarRuleApplies(const Surroundings& around)
{
    return !around.mainFrame.isNull();
}

// A frame over the main window's bars goes just below them where there is room,
// else beside the main window, else as low as it fits.
QRect clearOfBars(QRect place, const Surroundings& around)
{
    if (!toolbarRuleApplies(around) || !place.intersects(around.bars))
        return place;
    const QRect& area = around.area;
    const QRect& main = around.mainFrame;
    const QRect below = fittedInto(QRect(QPoint(place.left(), around.bars.bottom() + 1), place.size()), area);
    const QRect right = fittedInto(QRect(QPoint(main.right() + 1, place.top()), place.size()), area);
    const QRect left = fittedInto(QRect(QPoint(main.left() - place.width(), place.top()), place.size()), area);
    if (!below.intersects(around.bars))
        return below;
    if (!right.intersects(main))
        return right;
    if (!left.intersects(main))
        return left;
    place.moveBottom(area.bottom());
    return place;
}

// What a place must keep clear of.
struct Rules {
    // How many of the owner's parts: its title bar comes first.
    size_t ownerParts = 0;
    // True: overlaps no window behind at all; false: hides none of their title
    // bars.
    bool besideAll = false;
};

// The places a window may open at, nearest to its first place first.
class Search {
public:
    Search(const QRect& first, const Surroundings& around)
        : m_first(first), m_around(around),
          m_firstCoversBars(toolbarRuleApplies(around) && first.intersects(around.bars))
    {
    }

    bool fits(const QRect& place, const Rules& rules, const std::vector<QRect>& inFront,
              const std::vector<QRect>& behind) const
    {
        if (!onScreenClearOfBars(place))
            return false;
        const auto meets = [&place](const QRect& thing) { return place.intersects(thing); };
        if (std::any_of(inFront.begin(), inFront.end(), meets))
            return false;
        const auto parts = m_around.ownerParts.begin();
        if (std::any_of(parts, parts + static_cast<std::ptrdiff_t>(rules.ownerParts), meets))
            return false;
        return std::none_of(behind.begin(), behind.end(), [&](const QRect& other) {
            return place.intersects(rules.besideAll ? other : titleBarOf(other));
        });
    }

    std::optional<QRect> nearest(const Rules& rules, const std::vector<QRect>& inFront,
                                 const std::vector<QRect>& behind) const
    {
        for (const QPoint& topLeft : places()) {
            const QRect place(topLeft, m_first.size());
            if (fits(place, rules, inFront, behind))
                return place;
        }
        return std::nullopt;
    }

    // The nearest of the places that hide the least of the others: of their
    // title bars and the owner's first, then of the owner's controls, then of the
    // windows kept in front. No corner lies on another window's.
    QRect leastHiding(const std::vector<QRect>& others, const std::vector<QRect>& inFront) const
    {
        const auto covered = [](const QRect& place, const QRect& thing) {
            const QRect part = place & thing;
            return static_cast<long long>(part.width()) * part.height();
        };
        using Cost = std::tuple<long long, long long, long long>;
        std::optional<Cost> least;
        QRect best = m_first;
        for (const QPoint& topLeft : places()) {
            const QRect place(topLeft, m_first.size());
            if (!onScreenClearOfBars(place)
                || std::any_of(others.begin(), others.end(),
                               [&place](const QRect& other) { return cornersMeet(place, other); }))
                continue;
            Cost cost{0, 0, 0};
            for (const QRect& other : others)
                std::get<0>(cost) += covered(place, titleBarOf(other));
            const std::vector<QRect>& parts = m_around.ownerParts;
            for (size_t i = 0; i < parts.size(); ++i)
                (i == 0 ? std::get<0>(cost) : std::get<1>(cost)) += covered(place, parts[i]);
            for (const QRect& window : inFront)
                std::get<2>(cost) += covered(place, window);
            if (!least || cost < *least) {
                least = cost;
                best = place;
            }
        }
        return best;
    }

private:
    // Worked out when the first place does not do: beside each thing in the way
    // (touching it on either side) and cascaded whole title bars' heights from
    // each open window, on the screen, nearest to the first place first.
    const std::vector<QPoint>& places() const
    {
        if (m_placesMade)
            return m_places;
        m_placesMade = true;
        const int width = m_first.width();
        const int height = m_first.height();
        const QRect& area = m_around.area;
        const auto across = [&](int x) { return x >= area.left() && x + width <= area.right() + 1; };
        // A window as low as it fits moves sideways only.
        const auto down = [&](int y) {
            return y >= area.top() && y + height <= area.bottom() + 1 && (!m_firstCoversBars || y == m_first.top());
        };
        std::vector<int> xs{m_first.left(), area.left(), area.right() + 1 - width};
        std::vector<int> ys{m_first.top(), area.top(), area.bottom() + 1 - height};
        const auto besideOf = [&](const QRect& thing) {
            xs.insert(xs.end(), {thing.left() - width, thing.right() + 1});
            ys.insert(ys.end(), {thing.top() - height, thing.bottom() + 1});
        };
        for (const std::vector<QRect>* list : {&m_around.inFront, &m_around.behind, &m_around.ownerParts}) {
            for (const QRect& thing : *list)
                besideOf(thing);
        }
        if (toolbarRuleApplies(m_around))
            besideOf(m_around.bars);
        const auto keep = [](std::vector<int>& values, const auto& wanted) {
            values.erase(std::remove_if(values.begin(), values.end(), [&](int v) { return !wanted(v); }),
                         values.end());
            std::sort(values.begin(), values.end());
            values.erase(std::unique(values.begin(), values.end()), values.end());
        };
        keep(xs, across);
        keep(ys, down);
        for (const int x : xs) {
            for (const int y : ys)
                m_places.emplace_back(x, y);
        }
        for (const std::vector<QRect>* list : {&m_around.inFront, &m_around.behind}) {
            for (const QRect& other : *list) {
                for (int right = -CascadeSteps; right <= CascadeSteps; ++right) {
                    for (int lower = -CascadeSteps; lower <= CascadeSteps; ++lower) {
                        const QPoint place = other.topLeft() + QPoint(right, lower) * TitleBarHeight;
                        if (across(place.x()) && down(place.y()))
                            m_places.push_back(place);
                    }
                }
            }
        }
        const QPoint from = m_first.topLeft();
        const auto key = [from](const QPoint& place) {
            return std::make_tuple((place - from).manhattanLength(), place.y(), place.x());
        };
        std::sort(m_places.begin(), m_places.end(),
                  [&key](const QPoint& a, const QPoint& b) { return key(a) < key(b); });
        m_places.erase(std::unique(m_places.begin(), m_places.end()), m_places.end());
        return m_places;
    }

    // Wholly on the screen, and clear of the main window's bars, or, for a
    // window as low as it fits, at its height and covering no more of them.
    bool onScreenClearOfBars(const QRect& place) const
    {
        if (!m_around.area.contains(place))
            return false;
        if (!toolbarRuleApplies(m_around))
            return true;
        const auto covered = [this](const QRect& frame) { return (frame & m_around.bars).width(); };
        if (!m_firstCoversBars)
            return !place.intersects(m_around.bars);
        return place.top() == m_first.top() && covered(place) <= covered(m_first);
    }

    QRect m_first;
    const Surroundings& m_around;
    bool m_firstCoversBars = false;
    mutable bool m_placesMade = false;
    mutable std::vector<QPoint> m_places;
};

QScreen* screenOf(const QWidget* window, QPoint place)
{
    QScreen* screen = window ? window->screen() : QGuiApplication::screenAt(place);
    return screen ? screen : QGuiApplication::primaryScreen();
}

// The title bar of the window, then the controls of it a user works with (not
// its picture boxes and frames: a dialog may lie over what they show).
std::vector<QRect> partsOf(const QWidget& window)
{
    std::vector<QRect> parts{titleBarOf(frameOnScreen(window))};
    const QRect inside(window.mapToGlobal(QPoint(0, 0)), window.size());
    const auto add = [&](const QWidget* widget) {
        if (!widget || widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(&window))
            return;
        const QRect place = QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()) & inside;
        if (!place.isEmpty())
            parts.push_back(place);
    };
    if (const auto* formWindow = dynamic_cast<const FormWindow*>(&window); formWindow && formWindow->form) {
        for (const Control* control : formWindow->form->controls()) {
            if (!dynamic_cast<const Container*>(control))
                add(control->widget());
        }
        return parts;
    }
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        // A list's inside scrolls; the list as a whole is the control.
        if (!qobject_cast<const QAbstractScrollArea*>(widget->parentWidget()))
            add(widget);
    }
    return parts;
}

bool shownNormal(const QWidget* window)
{
    return window && window->isVisible() && !window->isMinimized();
}

// The frame the platform put around the window; null until it has framed it.
QMargins frameMarginsOf(const QWidget& window)
{
    return window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
}

// The frame a window manager gives the window, as far as it is known before it
// frames it: the frame of a window of the program of its kind (of a fixed size or
// not) that it framed, its owner's first.
QMargins likelyFrame(const QWidget& window, const QWidget& owner)
{
    const auto fixedSize = [](const QWidget& widget) { return widget.minimumSize() == widget.maximumSize(); };
    std::vector<const QWidget*> windows{&owner};
    const QWidgetList all = QApplication::topLevelWidgets();
    windows.insert(windows.end(), all.begin(), all.end());
    for (const QWidget* other : windows) {
        if (other != &window && shownNormal(other) && !other->isMaximized() && !other->isFullScreen()
            && fixedSize(*other) == fixedSize(window) && !frameMarginsOf(*other).isNull())
            return frameMarginsOf(*other);
    }
    return frameMarginsOf(owner);
}

// Qt's dialogs are kept in front and placed clear of their owner as they show;
// each first sizes and centres itself in its own Show. A dialog the window
// manager has yet to frame is placed with the frame it likely gets, and, should
// the frame it gets differ, placed again from there once the window manager
// reports it.
class DialogPlacement : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Move || type == QEvent::WindowActivate || type == QEvent::Hide) {
            frameReported(watched, type == QEvent::Hide);
            return false;
        }
        if (type != QEvent::Show || event->spontaneous() || m_placing)
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!dialog || !dialog->isWindow())
            return false;
        m_placing = true;
        static_cast<QObject*>(dialog)->event(event);
        m_placing = false;
        if (const std::optional<Guess> guess = place(*dialog, std::nullopt))
            m_guesses.push_back({dialog, *guess});
        return true;
    }

private:
    // The frame a dialog was placed with before the window manager framed it,
    // and its place.
    struct Guess {
        QMargins margins;
        QPoint frameTopLeft;
    };

    // Places the dialog, centred on its owner or from the place it was given
    // before; returns the guess it was placed with, if its frame was not known.
    static std::optional<Guess> place(QDialog& dialog, std::optional<QPoint> from)
    {
        if (!isKeptInFront(dialog)) {
            // The dialog's platform window exists and is not on screen yet.
            const Qt::WindowFlags flags = dialog.windowFlags() | Qt::WindowStaysOnTopHint;
            dialog.overrideWindowFlags(flags);
            if (QWindow* handle = dialog.windowHandle())
                handle->setFlags(flags);
        }
        const QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
        if (!shownNormal(owner))
            return std::nullopt;
        QMargins margins = frameMarginsOf(dialog);
        const bool guessed = margins.isNull();
        if (guessed)
            margins = likelyFrame(dialog, *owner);
        QRect wanted(QPoint(), dialog.size().grownBy(margins));
        if (from)
            wanted.moveTopLeft(*from);
        else
            wanted.moveCenter(frameOnScreen(*owner).center());
        Surroundings around;
        around.area = screenOf(owner, wanted.center())->availableGeometry();
        around.ownerParts = partsOf(*owner);
        const QRect frame = placeAmong(wanted, around).frame;
        dialog.setGeometry(QRect(frame.topLeft() + QPoint(margins.left(), margins.top()), dialog.size()));
        if (!guessed)
            return std::nullopt;
        return Guess{margins, frame.topLeft()};
    }

    void frameReported(QObject* watched, bool hidden)
    {
        const auto found = std::find_if(m_guesses.begin(), m_guesses.end(),
                                        [watched](const auto& entry) { return entry.first == watched; });
        if (found == m_guesses.end())
            return;
        QDialog* dialog = found->first;
        const Guess guess = found->second;
        const QMargins own = hidden ? QMargins() : frameMarginsOf(*dialog);
        if (!hidden && own.isNull())
            return;
        m_guesses.erase(found);
        m_guesses.erase(std::remove_if(m_guesses.begin(), m_guesses.end(),
                                       [](const auto& entry) { return entry.first.isNull(); }),
                        m_guesses.end());
        if (!hidden && own != guess.margins)
            place(*dialog, guess.frameTopLeft);
    }

    std::vector<std::pair<QPointer<QDialog>, Guess>> m_guesses;
    bool m_placing = false;
};

} // namespace

Placement placeAmong(const QRect& wanted, const Surroundings& around)
{
    const QRect first = clearOfBars(fittedInto(wanted, around.area), around);
    const Search search(first, around);
    const size_t allParts = around.ownerParts.size();
    const size_t titleBarOnly = std::min<size_t>(allParts, 1);
    // Clear of the owner's controls where there is room, else of its title bar.
    for (const size_t parts : {allParts, titleBarOnly}) {
        if (search.fits(first, Rules{parts, false}, around.inFront, around.behind))
            return {first, false};
        for (const bool besideAll : {true, false}) {
            if (const auto found = search.nearest(Rules{parts, besideAll}, around.inFront, around.behind))
                return {*found, false};
        }
        // No controls to keep clear of: the round for the title bar alone would
        // be this one again.
        if (allParts == titleBarOnly)
            break;
    }
    // No place is in sight of every window kept in front and shows what it
    // should: the window is kept in front as well, where it hides the least; a
    // window coming back keeps its place where it hides no title bar.
    std::vector<QRect> all = around.behind;
    all.insert(all.end(), around.inFront.begin(), around.inFront.end());
    const bool keptInFront = !around.inFront.empty();
    if (around.reopening && keptInFront && search.fits(first, Rules{titleBarOnly, false}, {}, all))
        return {first, true};
    return {search.leastHiding(all, around.inFront), keptInFront};
}

bool placeOnOpening(Form& form, const Form* owner, bool modal)
{
    FormWindow* window = form.window();
    if (!window)
        return false;
    const QRect frame(twipsToPixels(form.left()), twipsToPixels(form.top()), twipsToPixels(form.width()),
                      twipsToPixels(form.height()));
    Form* main = anchor().mainWindow;
    const FormWindow* mainWindow = main && main != &form ? main->window() : nullptr;
    const bool mainShown = shownNormal(mainWindow);
    const auto remembered = anchor().places.find(form.name());
    const bool reopening = remembered != anchor().places.end();
    if (!reopening && !mainShown)
        return false;
    QRect wanted = frame;
    if (reopening)
        wanted.moveTopLeft(remembered->second.frameTopLeft);
    Surroundings around;
    around.area = screenOf(reopening ? nullptr : mainWindow, wanted.topLeft())->availableGeometry();
    // A place the user chose may lie over the toolbar.
    if (mainShown && !(reopening && remembered->second.moved)) {
        around.mainFrame = frameOnScreen(*mainWindow);
        const int barsBottom =
            mainWindow->client->mapToGlobal(QPoint(0, 0)).y() + twipsToPixels(anchor().toolbarHeight);
        around.bars = QRect(around.mainFrame.topLeft(), QPoint(around.mainFrame.right(), barsBottom - 1));
    }
    if (modal) {
        // In front of every window: only its owner is in its way.
        if (owner && owner != &form && shownNormal(owner->window()))
            around.ownerParts = partsOf(*owner->window());
    } else {
        const bool inFrontAlready = isKeptInFront(*window);
        around.reopening = reopening;
        for (Form* other : loadedForms()) {
            const FormWindow* otherWindow = other->window();
            if (other == &form || other == main || !shownNormal(otherWindow))
                continue;
            // A window coming back to its place may lie over the title bar of one
            // opened meanwhile.
            if (isKeptInFront(*otherWindow) && !inFrontAlready)
                around.inFront.push_back(frameOnScreen(*otherWindow));
            else if (!reopening)
                around.behind.push_back(frameOnScreen(*otherWindow));
        }
    }
    const Placement placement = placeAmong(wanted, around);
    const QRect& place = placement.frame;
    if (place.size() != frame.size())
        form.move(place.x() * TwipsPerPixel, place.y() * TwipsPerPixel, place.width() * TwipsPerPixel,
                  place.height() * TwipsPerPixel);
    else if (place.topLeft() != frame.topLeft())
        form.move(place.x() * TwipsPerPixel, place.y() * TwipsPerPixel);
    return placement.keptInFront;
}

QRect frameOnScreen(const QWidget& window)
{
    if (const QWindow* handle = window.windowHandle(); handle && window.testAttribute(Qt::WA_WState_Created))
        return handle->frameGeometry();
    return window.frameGeometry();
}

void keepInFront(QWidget& window)
{
    if (!isKeptInFront(window))
        window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

bool isKeptInFront(const QWidget& window)
{
    return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void rememberPlace(const std::string& windowName, QPoint frameTopLeft, bool moved)
{
    anchor().places[windowName] = RememberedPlace{frameTopLeft, moved};
}

Form* mainWindowForm()
{
    return anchor().mainWindow;
}

void installDialogPlacement()
{
    static QPointer<DialogPlacement> installed;
    if (installed || !QCoreApplication::instance())
        return;
    installed = new DialogPlacement(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(installed);
}

void setMainWindow(Form* form, double toolbarHeight)
{
    anchor().mainWindow = form;
    anchor().toolbarHeight = toolbarHeight;
}

void forgetWindowPlaces()
{
    anchor().places.clear();
}

} // namespace forms

#include "forms/WindowPlacement_p.h"

#include "forms/DragDrop.h"
#include "forms/Form.h"
#include "forms/FormWindow_p.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <tuple>

namespace forms {

namespace {

// The least height of a title bar: room to take hold of it, also where the
// platform draws a thinner one or none (the headless platform).
constexpr int TitleBarHeight = 30;

struct RememberedPlace {
    QPoint frameTopLeft;
    bool moved = false;
    // How many title bars of the windows open it lay over or had its own under.
    int titleBarsMet = 0;
};

struct Anchor {
    Form* mainWindow = nullptr;
    // The frame the window manager last gave a window in its normal state, of a
    // size the user may change and of a fixed size.
    QMargins framed[2];
    std::function<std::vector<Control*>()> commands;
    // Where each window was when it was last hidden during the run, by window name.
    std::map<std::string, RememberedPlace> places;
};

Anchor& anchor()
{
    static Anchor instance;
    return instance;
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

// What a place covers, in the order it weighs: the top-left corners of the
// windows open (it would lie exactly over one), the main window's commands, the
// title bars of the windows open, their controls, its own title bar and its own
// controls under one of them (any of them comes to the front at a click), and
// the windows it overlaps.
enum Weight { Corners, Commands, TitleBars, Controls, OwnTitleBar, OwnControls, Windows, Weights };
using Covered = std::array<int, Weights>;

// The place of the size that covers the least, nearest to the first place.
//
// Whether a place covers a thing depends on where its top-left lies: inside a
// rectangle of top-left corners, the thing's zone. Along a row of places, what a
// place covers changes only where it enters a zone or leaves one; a place just
// short of a zone or just past one (or at the screen's edge) covers no more than
// any between: those, in both directions, are the places tried. Each row is
// swept once through the zones, sorted by where they begin.
class Search {
public:
    Search(const QRect& first, const Surroundings& around) : m_first(first)
    {
        const QSize size = first.size();
        const int step = std::max(around.titleBarHeight, TitleBarHeight);
        const bool beside = !around.ownParts.empty();
        for (const OpenWindow& window : around.windows) {
            // Top-left within a title bar's height of the window's.
            m_zones.push_back(
                {QRect(window.frame.topLeft() - QPoint(step - 1, step - 1), QSize(2 * step - 1, 2 * step - 1)),
                 Corners, true});
            for (size_t i = 0; i < window.parts.size(); ++i)
                add(window.parts[i], QRect(QPoint(), size), i == 0 ? TitleBars : Controls, true);
            for (size_t i = 0; i < around.ownParts.size(); ++i)
                add(window.frame, around.ownParts[i], i == 0 ? OwnTitleBar : OwnControls, i == 0);
            // A window kept in front of every other may lie over its owner.
            if (beside)
                add(window.frame, QRect(QPoint(), size), Windows, true);
        }
        for (const QRect& command : around.commands)
            add(command, QRect(QPoint(), size), Commands, true);
        m_corners = QRect(around.area.topLeft(), around.area.size() - size + QSize(1, 1));
    }

    QRect best() const
    {
        if (m_corners.isEmpty())
            return m_first;
        const std::vector<int> xs = stops(m_first.left(), m_corners.left(), m_corners.right(),
                                          [](const QRect& zone) { return std::pair(zone.left(), zone.right()); });
        const std::vector<int> ys = stops(m_first.top(), m_corners.top(), m_corners.bottom(),
                                          [](const QRect& zone) { return std::pair(zone.top(), zone.bottom()); });
        // Where, along a row, places enter and leave each zone.
        struct Edge {
            int x;
            int change;
            const Zone* zone;
        };
        std::vector<Edge> edges;
        edges.reserve(2 * m_zones.size());
        for (const Zone& zone : m_zones) {
            edges.push_back({zone.corners.left(), 1, &zone});
            edges.push_back({zone.corners.right() + 1, -1, &zone});
        }
        std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.x < b.x; });

        const QPoint from = m_first.topLeft();
        const auto distance = [from](const QPoint& place) {
            return std::make_tuple((place - from).manhattanLength(), place.y(), place.x());
        };
        std::optional<std::pair<Covered, std::tuple<int, int, int>>> least;
        QPoint best = m_first.topLeft();
        for (const int y : ys) {
            Covered covered{};
            auto edge = edges.begin();
            for (const int x : xs) {
                for (; edge != edges.end() && edge->x <= x; ++edge) {
                    const QRect& corners = edge->zone->corners;
                    if (corners.top() <= y && y <= corners.bottom())
                        covered[edge->zone->weight] += edge->change;
                }
                const QPoint place(x, y);
                const auto key = std::pair(covered, distance(place));
                if (!least || key < *least) {
                    least = key;
                    best = place;
                }
            }
        }
        return QRect(best, m_first.size());
    }

    // What the place at the top-left covers.
    Covered covered(QPoint topLeft) const
    {
        Covered covered{};
        for (const Zone& zone : m_zones)
            covered[zone.weight] += zone.corners.contains(topLeft) ? 1 : 0;
        return covered;
    }

private:
    struct Zone {
        QRect corners; // the top-left corners of the places that cover the thing
        Weight weight;
        bool tried;    // the places just short of it and just past it are tried
    };

    // The zone where `part` of a place (from its top-left) meets `thing`.
    void add(const QRect& thing, const QRect& part, Weight weight, bool tried)
    {
        m_zones.push_back({QRect(QPoint(thing.left() - part.right(), thing.top() - part.bottom()),
                                 QPoint(thing.right() - part.left(), thing.bottom() - part.top())),
                           weight, tried});
    }

    // The coordinates tried along one direction: the first place's, the screen's
    // edges, and just short of and just past each zone tried, within [low, high].
    template <typename Span>
    std::vector<int> stops(int first, int low, int high, const Span& span) const
    {
        std::vector<int> values{std::clamp(first, low, high), low, high};
        for (const Zone& zone : m_zones) {
            if (!zone.tried)
                continue;
            const auto [begin, end] = span(zone.corners);
            for (const int value : {begin - 1, end + 1}) {
                if (low <= value && value <= high)
                    values.push_back(value);
            }
        }
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
        return values;
    }

    QRect m_first;
    std::vector<Zone> m_zones;
    // The top-left corners of the places wholly on the screen.
    QRect m_corners;
};

QScreen* screenOf(const QWidget* window, QPoint place)
{
    QScreen* screen = window ? window->screen() : QGuiApplication::screenAt(place);
    return screen ? screen : QGuiApplication::primaryScreen();
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

// The height of a title bar on a frame with these margins.
int titleBarHeightOf(const QMargins& margins)
{
    return std::max(margins.top(), TitleBarHeight);
}

QRect titleBarOf(const QRect& frame, const QMargins& margins)
{
    return QRect(frame.left(), frame.top(), frame.width(), titleBarHeightOf(margins));
}

// The place of the widget on the screen, within the window's client area.
QRect placeOf(const QWidget& widget, const QRect& inside)
{
    return QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size()) & inside;
}

// The controls of the window a user works with (not its picture boxes and
// frames: a window may lie over what they show): those that take keys or drops,
// each as `add` takes it.
template <typename Add>
void forEachControl(const QWidget& window, const Add& add)
{
    const auto take = [&](const QWidget* widget, bool takesDrops) {
        if (widget && (takesDrops || widget->focusPolicy() != Qt::NoFocus) && widget->isVisibleTo(&window))
            add(*widget);
    };
    if (const auto* formWindow = dynamic_cast<const FormWindow*>(&window); formWindow && formWindow->form) {
        for (const Control* control : formWindow->form->controls()) {
            // A box a drag ends on is a control too, if it takes no keys.
            const auto* target = dynamic_cast<const DropTarget*>(control);
            if (!dynamic_cast<const Container*>(control))
                take(control->widget(), target && target->dropModeAt(0, 0) != 0);
        }
        return;
    }
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        // A list's inside scrolls; the list as a whole is the control.
        if (!qobject_cast<const QAbstractScrollArea*>(widget->parentWidget()))
            take(widget, false);
    }
}

// The window on the screen: its title bar, then its controls.
OpenWindow openWindowOf(const QWidget& window)
{
    OpenWindow open{frameOnScreen(window), {}};
    open.parts.push_back(titleBarOf(open.frame, frameMarginsOf(window)));
    const QRect inside(window.mapToGlobal(QPoint(0, 0)), window.size());
    forEachControl(window, [&](const QWidget& widget) {
        if (const QRect place = placeOf(widget, inside); !place.isEmpty())
            open.parts.push_back(place);
    });
    return open;
}

// The window's own title bar and controls from the top-left of a frame with
// these margins, as it will show.
std::vector<QRect> ownPartsOf(const QWidget& window, const QMargins& margins, int frameWidth)
{
    std::vector<QRect> parts{QRect(0, 0, frameWidth, titleBarHeightOf(margins))};
    const QRect inside(QPoint(), window.size());
    const QPoint clientTopLeft(margins.left(), margins.top());
    forEachControl(window, [&](const QWidget& widget) {
        const QRect place = QRect(widget.mapTo(&window, QPoint(0, 0)), widget.size()) & inside;
        if (!place.isEmpty())
            parts.push_back(place.translated(clientTopLeft));
    });
    return parts;
}

// The main window's commands: its title bar, its menus and the controls it
// names as its commands (setMainWindow).
std::vector<QRect> commandsOf(const FormWindow& main)
{
    const QRect frame = frameOnScreen(main);
    std::vector<QRect> commands{titleBarOf(frame, frameMarginsOf(main))};
    const QRect inside(main.mapToGlobal(QPoint(0, 0)), main.size());
    if (const QMenuBar* bar = main.menuBar(); bar && bar->isVisible()) {
        for (QAction* action : bar->actions()) {
            const QRect title = bar->actionGeometry(action);
            if (action->isVisible() && !title.isEmpty())
                commands.push_back(QRect(bar->mapToGlobal(title.topLeft()), title.size()) & inside);
        }
    }
    if (anchor().commands) {
        for (const Control* control : anchor().commands()) {
            const QWidget* widget = control->widget();
            if (widget && widget->isVisibleTo(&main)) {
                if (const QRect place = placeOf(*widget, inside); !place.isEmpty())
                    commands.push_back(place);
            }
        }
    }
    return commands;
}

bool fixedSize(const QWidget& window)
{
    return window.minimumSize() == window.maximumSize();
}

// The windows open around the form (not the main window, nor one without a
// border), and its own parts on a frame with the margins.
void addOpenWindows(Surroundings& around, const Form& form, const QMargins& margins, int frameWidth)
{
    for (Form* other : loadedForms()) {
        const FormWindow* otherWindow = other->window();
        if (other != &form && other != anchor().mainWindow && shownNormal(otherWindow)
            && other->borderStyle() != vbBSNone)
            around.windows.push_back(openWindowOf(*otherWindow));
    }
    if (const FormWindow* window = form.window())
        around.ownParts = ownPartsOf(*window, margins, frameWidth);
}

// Sets the platform's side of how the window is kept in front: a window in
// front of its owner is its dialog (window managers keep a dialog in front of
// the window it is transient for); one in front of every window stays on top.
// Flags and owner change only while the window is hidden, as Qt requires.
void applyInFront(QWidget& window, InFront how, QWidget* owner)
{
    Qt::WindowFlags flags = window.windowFlags() & ~Qt::WindowStaysOnTopHint;
    if (how == InFront::OfEveryWindow)
        flags |= Qt::WindowStaysOnTopHint;
    if (qobject_cast<QDialog*>(&window)) {
        // A dialog of Qt's is asked as it shows, its platform window made and not
        // on screen yet: the flag goes to both without hiding it.
        window.overrideWindowFlags(flags);
        if (QWindow* handle = window.windowHandle())
            handle->setFlags(flags);
        return;
    }
    // A dialog without an owner stays in front of every window of the program on
    // X11: a window kept in front of none is a plain one.
    const bool owned = owner && how != InFront::No;
    flags = (flags & ~Qt::WindowType_Mask) | (owned ? Qt::Dialog : Qt::Window);
    if (flags != window.windowFlags())
        window.setWindowFlags(flags);
    QWindow* ownerHandle = nullptr;
    if (owned) {
        owner->winId();
        ownerHandle = owner->windowHandle();
        window.winId();
    }
    if (QWindow* handle = window.windowHandle())
        handle->setTransientParent(ownerHandle);
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
        if (!dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            applyInFront(dialog, InFront::OfEveryWindow, nullptr);
        const QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
        if (!shownNormal(owner))
            return std::nullopt;
        const bool guessed = frameMarginsOf(dialog).isNull();
        const QMargins margins = likelyFrame(dialog);
        QRect wanted(QPoint(), dialog.size().grownBy(margins));
        if (from)
            wanted.moveTopLeft(*from);
        else
            wanted.moveCenter(frameOnScreen(*owner).center());
        Surroundings around;
        around.area = screenOf(owner, wanted.center())->availableGeometry();
        around.windows.push_back(openWindowOf(*owner));
        around.titleBarHeight = margins.top();
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
        frameGiven(*dialog, own);
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

int titleBarsMet(const QRect& frame, const Surroundings& around)
{
    const Covered covered = Search(frame, around).covered(frame.topLeft());
    return covered[TitleBars] + covered[OwnTitleBar];
}

Placement placeAmong(const QRect& wanted, const Surroundings& around)
{
    const QRect first = fittedInto(wanted, around.area);
    const Search search(first, around);
    const QRect best = search.best();
    const Covered atBest = search.covered(best.topLeft());
    if (around.comingBack) {
        const Covered atFirst = search.covered(first.topLeft());
        if (atFirst[Corners] == 0 && atFirst[Commands] <= atBest[Commands]
            && atFirst[TitleBars] + atFirst[OwnTitleBar] <= around.titleBarsBefore)
            return {first, atFirst[Commands]};
    }
    return {best, atBest[Commands]};
}

void placeOnShowing(Form& form, const Form* owner, bool modal)
{
    FormWindow* window = form.window();
    if (!window)
        return;
    Form* main = anchor().mainWindow;
    const FormWindow* mainWindow = main && main != &form ? main->window() : nullptr;
    const bool mainShown = shownNormal(mainWindow);
    const FormWindow* ownerWindow = owner && owner != &form ? owner->window() : nullptr;
    const auto remembered = anchor().places.find(form.name());
    const bool reopening = remembered != anchor().places.end();
    // Where the user put the window, it comes back exactly.
    const bool userPlace = reopening && remembered->second.moved;
    // A window without a border is put where it shows by the program itself; a
    // maximised or full-screen one fills the screen.
    const bool placed = form.borderStyle() != vbBSNone && !form.isFullScreen() && form.windowState() == vbNormal
                        && (reopening || mainShown);
    int commandsCovered = 0;
    if (placed) {
        const QRect frame(twipsToPixels(form.left()), twipsToPixels(form.top()), twipsToPixels(form.width()),
                          twipsToPixels(form.height()));
        QRect wanted = frame;
        if (reopening)
            wanted.moveTopLeft(remembered->second.frameTopLeft);
        const QMargins margins = likelyFrame(*window);
        Surroundings around;
        around.area = screenOf(reopening ? nullptr : mainWindow, wanted.topLeft())->availableGeometry();
        around.titleBarHeight = margins.top();
        around.comingBack = reopening;
        if (mainShown && !userPlace)
            around.commands = commandsOf(*mainWindow);
        if (modal) {
            // In front of every window: only its owner is in its way.
            if (shownNormal(ownerWindow))
                around.windows.push_back(openWindowOf(*ownerWindow));
        } else if (!userPlace) {
            addOpenWindows(around, form, margins, frame.width());
            if (reopening)
                around.titleBarsBefore = remembered->second.titleBarsMet;
        }
        const Placement placement = placeAmong(wanted, around);
        commandsCovered = placement.commandsCovered;
        const QRect& place = placement.frame;
        if (place.size() != frame.size())
            form.move(place.x() * TwipsPerPixel, place.y() * TwipsPerPixel, place.width() * TwipsPerPixel,
                      place.height() * TwipsPerPixel);
        else if (place.topLeft() != frame.topLeft())
            form.move(place.x() * TwipsPerPixel, place.y() * TwipsPerPixel);
    }
    InFront how = modal ? InFront::OfEveryWindow : window->inFront;
    // Kept in front of the main window over its commands, the window would leave
    // the user no way to them.
    if (how == InFront::OfOwner && ownerWindow == mainWindow && commandsCovered > 0)
        how = InFront::No;
    applyInFront(*window, how, ownerWindow ? const_cast<FormWindow*>(ownerWindow) : nullptr);
}

void rememberPlace(const Form& form, QPoint frameTopLeft)
{
    const FormWindow* window = form.window();
    // A maximised or full-screen window has no place of its own; the main window
    // places itself.
    if (!window || &form == anchor().mainWindow || form.isFullScreen() || form.windowState() != vbNormal)
        return;
    Surroundings around;
    const QRect frame(frameTopLeft, frameOnScreen(*window).size());
    around.area = frame;
    addOpenWindows(around, form, frameMarginsOf(*window), frame.width());
    // Not where the program put it: the user or the window manager moved it.
    const bool moved = frameTopLeft != QPoint(twipsToPixels(form.left()), twipsToPixels(form.top()));
    anchor().places[form.name()] = RememberedPlace{frameTopLeft, moved, titleBarsMet(frame, around)};
}

void frameGiven(const QWidget& window, const QMargins& margins)
{
    if (!margins.isNull() && !(window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        anchor().framed[fixedSize(window) ? 1 : 0] = margins;
}

QMargins likelyFrame(const QWidget& window)
{
    if (const QMargins own = frameMarginsOf(window); !own.isNull())
        return own;
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint))
        return QMargins();
    return anchor().framed[fixedSize(window) ? 1 : 0];
}

QRect frameOnScreen(const QWidget& window)
{
    if (const QWindow* handle = window.windowHandle(); handle && window.testAttribute(Qt::WA_WState_Created))
        return handle->frameGeometry();
    return window.frameGeometry();
}

void keepInFront(Form& form, InFront how)
{
    form.load();
    if (FormWindow* window = form.window())
        window->inFront = how;
}

InFront keptInFront(const Form& form)
{
    const FormWindow* window = form.window();
    return window ? window->inFront : InFront::OfOwner;
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

void setMainWindow(Form* form, std::function<std::vector<Control*>()> commands)
{
    anchor().mainWindow = form;
    anchor().commands = std::move(commands);
}

void forgetWindowPlaces()
{
    anchor().places.clear();
}

} // namespace forms

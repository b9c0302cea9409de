#pragma once
// OLE-style drag and drop between the program's own controls.
//
// A source control (a list box) starts a drag with oleDrag(): it raises
// OLEStartDrag, where the handler puts text into the DataObject and sets the
// allowed effects. From then on the mouse drives the drag: every move finds the
// control under the pointer, asks it whether its drop mode (OLEDropMode 1,
// manual) takes the drop there, raises OLEDragOver on it and OLEGiveFeedback on
// the source with the effect; releasing the button raises OLEDragDrop on the
// target that takes it, then OLECompleteDrag on the source with the final
// effect. Escape cancels (OLECompleteDrag with no effect).
//
// Why an in-process drag rather than QDrag: every source and target is one of
// our own controls, and most chart targets are windowless canvas elements that
// Qt cannot see; QDrag::exec runs a platform loop that does nothing under the
// offscreen platform the tests use. Driving the drag from the mouse events of
// the application keeps one path for the mouse and for the tests.
//
// oleDrag() returns once the drag has started; OLECompleteDrag comes later,
// from the release of the button (the forms layer never blocks in a loop of its
// own). The testing helpers at the end perform the same steps the mouse would,
// aimed at a target given directly.

#include <map>
#include <string>

namespace forms {

class Control;
class Form;

// Clipboard format of plain text.
constexpr int vbCFText = 1;

// Drop effects (also allowed effects, a mask).
constexpr int vbDropEffectNone = 0;
constexpr int vbDropEffectCopy = 1;
constexpr int vbDropEffectMove = 2;

// State of OLEDragOver.
constexpr int vbEnter = 0;
constexpr int vbLeave = 1;
constexpr int vbOver = 2;

// The data a drag carries, by clipboard format.
class DataObject {
public:
    void clear() { m_data.clear(); }
    void setData(const std::string& value, int format = vbCFText) { m_data[format] = value; }
    // The data of the format; "" when the drag carries none of it.
    std::string getData(int format = vbCFText) const;
    bool getFormat(int format) const { return m_data.count(format) != 0; }

private:
    std::map<int, std::string> m_data;
};

// Events of a drop target: Data, Effect (the handler may change it), Button,
// Shift, X and Y in twips of the target, and for OLEDragOver the State.
template <template <typename...> class H>
struct DropEvents {
    H<DataObject&, int&, int, int, double, double, int> onOLEDragOver;
    H<DataObject&, int&, int, int, double, double> onOLEDragDrop;

    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onOLEDragOver, b.onOLEDragOver);
        f(a.onOLEDragDrop, b.onOLEDragDrop);
    }
};

// Events of a drag source: OLEStartDrag (Data, AllowedEffects), OLEGiveFeedback
// (Effect, DefaultCursors) and OLECompleteDrag (Effect).
template <template <typename...> class H>
struct DragSourceEvents {
    H<DataObject&, int&> onOLEStartDrag;
    H<int&, bool&> onOLEGiveFeedback;
    H<int&> onOLECompleteDrag;

    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onOLEStartDrag, b.onOLEStartDrag);
        f(a.onOLEGiveFeedback, b.onOLEGiveFeedback);
        f(a.onOLECompleteDrag, b.onOLECompleteDrag);
    }
};

// A control that drops can land on.
class DropTarget {
public:
    virtual ~DropTarget() = default;

    // The control itself (its widget maps screen points, its life guards the drag).
    virtual Control& dropControl() = 0;
    // The drop mode in effect at (x, y) twips of the control's client area:
    // 0 none, 1 manual (takes drops).
    virtual int dropModeAt(double x, double y) const = 0;
    // What is hit at (x, y): a change of it is a leave and an enter.
    virtual const void* dropSiteAt(double x, double y) const
    {
        (void)x;
        (void)y;
        return this;
    }
    // Raise the events on whatever takes the drop at (x, y).
    virtual void raiseDragOver(DataObject& data, int& effect, int button, int shift, double x, double y,
                               int state) = 0;
    virtual void raiseDragDrop(DataObject& data, int& effect, int button, int shift, double x, double y) = 0;
    // Where the client area begins inside the control's widget, in pixels.
    virtual int dropInsetPixels() const { return 0; }
};

// A control drags can start from.
class DragSource {
public:
    virtual ~DragSource() = default;

    virtual Control& dragControl() = 0;
    virtual void raiseStartDrag(DataObject& data, int& allowedEffects) = 0;
    virtual void raiseGiveFeedback(int& effect, bool& defaultCursors) = 0;
    virtual void raiseCompleteDrag(int& effect) = 0;
};

// Starts a drag from source (OLEDrag). Nothing happens while another drag is
// in progress. A start handler that allows no effect ends the drag at once with
// OLECompleteDrag and no effect.
void beginDrag(DragSource& source);
// True from beginDrag until OLECompleteDrag has been raised.
bool isDragInProgress();

// --- The mouse pointer and windows that follow it ---

// The mouse pointer's position in screen pixels (GetCursorPos).
void cursorPosition(int& x, int& y);
// Moves the pointer (tests place it before a drag step).
void setCursorPosition(int x, int y);
// Screen pixels of a point given in pixels of the control's client area, and back
// (ClientToScreen, ScreenToClient).
void clientToScreen(const Control& control, int& x, int& y);
void screenToClient(const Control& control, int& x, int& y);
// Places a window's outer top-left corner at screen pixels (x, y) without
// resizing it, keeps it on top of the other windows and shows it.
void placeWindowOnTop(Form& window, int x, int y);
// The window's outer top-left corner in screen pixels.
void windowPosition(const Form& window, int& x, int& y);
// Shapes a window to the outline of text written at its top-left corner in the
// window's font, less a holeSize-pixel square centred on (holeX, holeY), so the
// mouse there reaches the window below. An empty text leaves only the hole out
// of an empty shape. Returns the number of pixels the shape covers.
int shapeWindowToText(Form& window, const std::string& text, int holeX, int holeY, int holeSize);
// True when the window's shape includes the pixel (x, y) of its client area.
bool windowShapeContains(const Form& window, int x, int y);

// --- Headless drags: the steps the mouse takes, aimed at a target directly ---

// The pointer moves over target at (x, y) twips of its client area.
void dragOver(DropTarget& target, double x, double y, int shift = 0);
// The button is released over target at (x, y) (OLEDragDrop when it takes the
// drop, then OLECompleteDrag).
void dropOn(DropTarget& target, double x, double y, int shift = 0);
// The button is released over nothing (OLECompleteDrag with no effect).
void releaseOverNothing();
// Escape: the drag ends without a drop.
void cancelDrag();

} // namespace forms

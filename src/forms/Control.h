#pragma once
// The base of every control. A control object lives as long as its window
// object; its Qt widget exists only while the window is loaded. Loading a
// window resets each control to its class defaults, creates its widget and
// then runs the window's design(), so every load starts from the design state.
//
// Units: Left, Top, Width and Height are twips held as Doubles and read back
// exactly as set; the widget is placed at round(twips / 15) pixels.
//
// Events are std::function members named after the events the windows handle
// (onClick, onMouseDown, ...). A window connects them to its handlers:
//     Command1.onClick = [this] { Command1_Click(); };
// In a ControlArray the same members carry the element's Index first.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QEvent;
class QString;
class QWidget;

namespace forms {

class Form;
class Control;
class ControlArrayBase;
template <class T> class ControlArray;

// Handler of a single control's event, and of a control array's (Index first).
template <typename... Args> using Handler = std::function<void(Args...)>;
template <typename... Args> using IndexedHandler = std::function<void(int, Args...)>;

// Mouse buttons and shift states of the mouse and keyboard events.
constexpr int vbLeftButton = 1;
constexpr int vbRightButton = 2;
constexpr int vbMiddleButton = 4;
constexpr int vbShiftMask = 1;
constexpr int vbCtrlMask = 2;
constexpr int vbAltMask = 4;

// IMEMode values: how the input method takes the user's typing in a control.
constexpr int vbIMENoOp = 0;
constexpr int vbIMEOn = 1;
constexpr int vbIMEOff = 2;
constexpr int vbIMEDisable = 3;
constexpr int vbIMEHiragana = 4;
constexpr int vbIMEAlphaFull = 7;
constexpr int vbIMEAlpha = 8;

// Screen twips per pixel, whatever the real resolution.
constexpr double TwipsPerPixel = 15.0;
// The pixel a twips coordinate lands on: round(twips / 15).
int twipsToPixels(double twips);

// Something controls are placed in: a window's client area, a frame, a picture
// box. Option buttons form one group per container.
class Container {
public:
    virtual ~Container() = default;
    virtual Form& form() = 0;
    // The widget child widgets are created in; null while the window is unloaded.
    virtual QWidget* containerWidget() = 0;
};

// The events every control can raise. Button is vbLeftButton.., Shift a mask of
// vbShiftMask.., X and Y are twips relative to the control. KeyCode is a
// Windows virtual-key code; a KeyDown handler that sets it to 0 swallows the key.
// KeyAscii is the signed 16-bit character code (see Keys.h); a KeyPress handler
// that sets it to 0 or a control code inserts nothing.
template <template <typename...> class H>
struct ControlEvents {
    H<> onClick;
    H<> onDblClick;
    H<int, int, double, double> onMouseDown;
    H<int, int, double, double> onMouseMove;
    H<int, int, double, double> onMouseUp;
    H<int&, int> onKeyDown;
    H<int&, int> onKeyUp;
    H<int16_t&> onKeyPress;
    H<> onGotFocus;
    H<> onLostFocus;

    // Calls f(a.member, b.member) for every event; lets a control array bind
    // its elements' plain handlers to its own indexed ones.
    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onClick, b.onClick);
        f(a.onDblClick, b.onDblClick);
        f(a.onMouseDown, b.onMouseDown);
        f(a.onMouseMove, b.onMouseMove);
        f(a.onMouseUp, b.onMouseUp);
        f(a.onKeyDown, b.onKeyDown);
        f(a.onKeyUp, b.onKeyUp);
        f(a.onKeyPress, b.onKeyPress);
        f(a.onGotFocus, b.onGotFocus);
        f(a.onLostFocus, b.onLostFocus);
    }
};

// Controls without events of their own beyond ControlEvents use this.
template <template <typename...> class H>
struct NoExtraEvents {
    template <class A, class B, class F>
    static void pairEvents(A&, B&, F&&)
    {
    }
};

// Is true while the control it was taken from is the same loaded element; an
// event sequence checks it after each handler, because a handler may unload
// (or unload and reload) the element it was raised on.
class ControlLife {
public:
    ControlLife() = default;
    explicit ControlLife(std::shared_ptr<const uint64_t> token, uint64_t generation)
        : m_token(std::move(token)), m_generation(generation)
    {
    }
    explicit operator bool() const { return m_token && *m_token == m_generation; }

private:
    std::shared_ptr<const uint64_t> m_token;
    uint64_t m_generation = 0;
};

class Control : public ControlEvents<Handler> {
public:
    // Extra events of a control class; a class with events of its own
    // (Change, ItemCheck, Timer, ...) declares its own ExtraEvents template.
    template <template <typename...> class H> using ExtraEvents = NoExtraEvents<H>;

    Control(Container& container, std::string name);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return m_name; }
    // The element's index in its control array, -1 for a single control.
    int index() const { return m_index; }
    bool isArrayElement() const { return m_index >= 0; }
    Form& form() const;
    Container& container() const { return m_container; }

    // Common properties. Every getter and setter loads the window when it is
    // not loaded: touching a control is touching its window.
    const std::string& tag() const;
    void setTag(const std::string& tag);
    const std::string& toolTipText() const;
    void setToolTipText(const std::string& text);
    bool isEnabled() const;
    void setEnabled(bool enabled);
    // The property, not the effective visibility: a visible control on a hidden
    // window reads True.
    bool isVisible() const;
    void setVisible(bool visible);

    double left() const;
    void setLeft(double twips);
    double top() const;
    void setTop(double twips);
    double width() const;
    void setWidth(double twips);
    double height() const;
    void setHeight(double twips);
    void move(double left, double top);
    void move(double left, double top, double width, double height);

    // ZOrder 0 brings the control to the front of its siblings, 1 sends it back.
    void zOrder(int position = 0);
    // Sends the controls (each once, all placed in one container) to the back of its
    // stack in one step, the first bottom-most: the stacking zOrder(1) on each from the last
    // to the first gives. A control that already stands where it goes is not moved,
    // so a window that restacks a thousand controls standing as they should pays
    // one pass over them.
    static void sendToBack(const std::vector<Control*>& controls);
    bool tabStop() const;
    void setTabStop(bool tabStop);
    // The Tab key visits the controls whose TabIndex the window set in that
    // order, then every other control in the order of its place (Form.h).
    int tabIndex() const;
    void setTabIndex(int tabIndex);

    // Font.Name / Size / Bold / Italic (also FontName, FontSize, ...). The name
    // is kept as given; see Fonts.h for what is drawn.
    const std::string& fontName() const;
    void setFontName(const std::string& name);
    double fontSize() const;
    void setFontSize(double points);
    bool fontBold() const;
    void setFontBold(bool bold);
    bool fontItalic() const;
    void setFontItalic(bool italic);

    // Gives the control the focus within its window, raising LostFocus on the
    // window's previous focus control and GotFocus here before returning. A
    // control that cannot take the focus (hidden, disabled, or on a hidden
    // window) is left alone; the attempt is logged, not raised as an error.
    void setFocus();
    bool canTakeFocus() const;

    // The widget while the window is loaded (null for windowless controls and
    // while unloaded). For the forms layer and tests; windows use properties.
    QWidget* widget() const { return m_widget; }

    // A token that stays true while this element remains the same loaded element.
    ControlLife life() const;

    // Runs the control-level part of a Qt event of the widget (mouse, keys,
    // focus) and, where appropriate, the widget's own handling `base`.
    // Returns what `base` returned, or true when the event was consumed.
    // Called by the widget classes of the forms layer.
    bool dispatchWidgetEvent(QEvent* event, const std::function<bool()>& base);

protected:
    // Creates the widget inside parent (the container's widget). Windowless
    // controls return nullptr and override the apply functions below.
    virtual QWidget* createWidget(QWidget* parent) = 0;
    // Back to the class defaults of the control's own properties; runs before
    // the widget is created at every load.
    virtual void resetProperties() {}
    // Copies the control's own properties from the lowest element of its array
    // (Load of a new element); `source` has the same dynamic type.
    virtual void copyPropertiesFrom(const Control& source);
    // Writes every stored property of the control's own to the fresh widget.
    virtual void applyProperties() {}
    // Called just before the widget is destroyed: forget typed widget pointers.
    virtual void widgetDestroying() {}

    // How the common properties reach the widget; windowless controls override.
    virtual void applyGeometry();
    virtual void applyVisible();
    virtual void applyEnabled();
    virtual void applyToolTip();
    virtual void applyFont();
    virtual void applyZOrder(int position);
    virtual void applyTabStop();

    // Replaces the widget by a new one from createWidget (a design-time
    // property such as MultiLine or Style changed the widget class).
    void recreateWidget();

    // Where the client area begins inside the control's widget, in pixels from
    // its outer corner. Mouse X and Y are measured from there, and so are Left
    // and Top of the controls it contains. A picture box with a border insets
    // its client area by the border; other controls have none.
    virtual int clientInsetPixels() const { return 0; }
    // The client inset of the container this control is placed in.
    int containerInsetPixels() const;
    // Places the controls contained in this one again (its client inset changed).
    void placeContainedControls();

    // Event shaping per control class.
    // True when the widget reports Click itself (buttons, lists); otherwise a
    // left press and release on the control raise it here.
    virtual bool widgetRaisesClick() const { return false; }
    // True when the control has a DblClick event; otherwise a double-click is a
    // second press (command buttons click twice).
    virtual bool hasDblClick() const { return true; }
    // When true, MouseDown follows the widget's own handling of the press (a
    // list selects the pressed item, raising Click, before MouseDown).
    virtual bool mouseDownAfterWidget() const { return false; }
    // When true, MouseUp follows the widget's own handling of the release (an
    // option button changes and raises Click before MouseUp).
    virtual bool mouseUpAfterWidget() const { return false; }
    // True when Tab reaches KeyDown instead of moving the focus.
    virtual bool wantsTabKey() const { return false; }
    // Inserts typed text where the user typed (text boxes, editable combos);
    // used when a KeyPress handler replaced the character.
    virtual void insertTypedText(const std::string& text);
    // True when Enter inserts a line break (multi-line text boxes).
    virtual bool insertsLineBreakOnEnter() const { return false; }
    // IMEMode, for the controls that show it (text boxes, combo boxes). Off,
    // Disable and the half-width alphanumeric mode take typed keys as they are,
    // whatever state the input method is in (and a single-line text box keeps
    // the full-width letters, digits and signs that arrive all the same, pasted,
    // as their half-width forms); the other modes let the input method compose,
    // the full-width alphanumeric one preferring Latin letters (NoOp leaves the
    // widget's own answer). A change reaches a focused control's input method at
    // once. Out of range (0..10) raises 380.
    int imeMode() const;
    void setIMEMode(int mode);
    // The mode the control's typing follows: its IMEMode, unless the control
    // class decides otherwise.
    virtual int inputMethodMode() const { return m_common.imeMode; }

    // True when a character that the KeyPress handler left as it was goes on to
    // the control the handler gave the focus to, as typed there (through that
    // control's KeyPress): a grid whose handler opened the window's own cell
    // editor hands it the key, or the input method's text, that started the edit.
    virtual bool passesTypingToNewFocus() const { return false; }

    // True when events may be raised now: the window is loaded and not in its
    // design step, and the control is attached.
    bool canRaiseEvents() const;
    // Loads the window when it is not loaded; every property access calls it.
    void touch() const;
    // True while a setter writes to the widget: signals the widget emits then are
    // the program's own change, already raised (or not) by the setter itself.
    bool isApplying() const { return m_applying > 0; }
    class ApplyScope {
    public:
        explicit ApplyScope(Control& control) : m_control(control) { ++m_control.m_applying; }
        ~ApplyScope() { --m_control.m_applying; }
        ApplyScope(const ApplyScope&) = delete;
        ApplyScope& operator=(const ApplyScope&) = delete;

    private:
        Control& m_control;
    };

    // Raises a user-originated event from a Qt signal or event: exceptions
    // stop at this boundary (ProgramEnd ends the program, other errors are
    // reported), so that one failed handler never takes the event loop down.
    void raiseFromWidget(const std::function<void()>& raise);

    // Common event raisers that honour canRaiseEvents().
    void raiseClick();
    void raiseDblClick();
    void raiseMouseDown(int button, int shift, double x, double y);
    void raiseMouseMove(int button, int shift, double x, double y);
    void raiseMouseUp(int button, int shift, double x, double y);
    void raiseGotFocus();
    void raiseLostFocus();

    // The window's design step, when properties set do not raise events.
    bool isDesigning() const;

private:
    friend class Form;
    friend class ControlArrayBase;
    template <class T> friend class ControlArray;
    class Bridge;

    // Called by the window at load, by a control array when it loads an element:
    // the widget is made with the design state, or with the properties of copyOf;
    // hidden when asked.
    void attach(const Control* copyOf = nullptr, bool hidden = false);
    // Lets go of the widget (destroying it when destroyWidget; otherwise the
    // window's widget takes it along); events still queued for it find no control.
    void detach(bool destroyWidget);
    void applyCommon();
    void bindWidget();
    void setIndex(int index, ControlArrayBase* array)
    {
        m_index = index;
        m_array = array;
    }

    bool handleMouse(QEvent* event, const std::function<bool()>& base);
    bool handleKey(QEvent* event, const std::function<bool()>& base);
    bool handleInputMethod(QEvent* event, const std::function<bool()>& base);
    void handleFocusIn(QEvent* event);
    // Raises the window's preview (unless preview is false) and this control's
    // KeyPress for one typed character and adds to typed what it inserts: the
    // character itself, its replacement, or nothing; changed tells a handler's
    // change. False when the control went away meanwhile.
    bool pressCharacter(char32_t character, QString& typed, bool& changed, bool preview = true);
    // The control of this window that a KeyPress handler just gave the focus to,
    // when this control passes typing on to it; null otherwise.
    Control* typingTarget() const;
    // The user's typing that another control passed on: each character through
    // this control's KeyPress, inserted where the user types.
    void typePassedText(const QString& text);
    // What the KeyPress handlers made of typed characters: the text this control
    // inserts, whether a handler changed any character, whether the control went
    // away (stopped), and the control a handler passed the typing on to, with the
    // characters from that one on.
    struct TypedCharacters;
    TypedCharacters pressCharacters(const QString& text);

    struct Common {
        std::string tag;
        std::string toolTipText;
        bool enabled = true;
        bool visible = true;
        double left = 0;
        double top = 0;
        double width = 1215;
        double height = 375;
        bool tabStop = true;
        int tabIndex = 0;
        bool tabIndexSet = false;
        std::string fontName;
        double fontSize = 0;
        bool fontBold = false;
        bool fontItalic = false;
        int imeMode = vbIMENoOp;
    };

    Container& m_container;
    Form& m_form;
    std::string m_name;
    int m_index = -1;
    ControlArrayBase* m_array = nullptr;
    Common m_common;
    QWidget* m_widget = nullptr;
    bool m_attached = false;
    int m_applying = 0;
    // The focus policy the widget class chose; TabStop False narrows it to clicks.
    int m_baseFocusPolicy = 0;
    // The element's generation: raised on every attach and detach, so a
    // ControlLife taken before an unload (or an unload and reload) is false.
    std::shared_ptr<uint64_t> m_lifeToken;
    // Mouse state between press and release, for Click and the MouseUp that
    // follows a DblClick.
    int m_pressedButtons = 0;
    bool m_leftPressedInside = false;
    bool m_afterDblClick = false;
};

} // namespace forms

#pragma once
// Windows. Each window class derives from Form, declares its controls as
// members, sets their design-time properties in design() and overrides the
// event handlers it needs under their usual names (Form_Load, Command1_Click):
//
//     class DspOpForm : public forms::Form {
//     public:
//         DspOpForm() : Form("DspOp")
//         {
//             Command1.onClick = [this] { Command1_Click(); };
//         }
//         forms::CommandButton Command1{*this, "Command1"};
//         void Command1_Click() { unload(); }
//     protected:
//         void design() override
//         {
//             setCaption("表示設定");
//             Command1.move(120, 120, 1215, 375);
//             Command1.setCaption("閉じる");
//         }
//         void Form_Load() override { ... }
//     };
//
// Lifecycle:
// - The first touch (a property, a control, a public operation, show) loads
//   the window hidden: every control is reset and recreated, design() runs with
//   events held back, then Form_Load runs once.
// - show(Modal) runs a nested event loop until the window is hidden or unloaded.
// - unload() runs Form_QueryUnload(Cancel, 1) and Form_Unload(Cancel); either
//   may cancel. The close box does the same with UnloadMode 0. Controls are
//   destroyed; the next load starts them from their design state again.
// - unload() inside Form_Load makes the pending show return without showing.
//
// Tab order: the controls whose TabIndex the window set come first, in that
// order; every other control follows the order of its place, container by
// container (a frame's controls right after the frame): columns from left to
// right, where controls whose widths overlap (directly or through others)
// share a column; in a column, rows from top to bottom, where a row holds the
// controls whose top lies above the middle of its topmost control; in a row,
// from left to right. So a card of fields in two columns with a row
// of buttons below is visited down the first column, down the second, then
// along the buttons.

#include "forms/Control.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace forms {

class Menu;
class ControlArrayBase;
class FormWindow;

enum class ShowMode { Modeless, Modal };

// UnloadMode values of Form_QueryUnload.
constexpr int vbFormControlMenu = 0;
constexpr int vbFormCode = 1;
constexpr int vbAppWindows = 2;
constexpr int vbAppTaskManager = 3;

// WindowState values.
constexpr int vbNormal = 0;
constexpr int vbMinimized = 1;
constexpr int vbMaximized = 2;

// MousePointer values (window, control and Screen).
constexpr int vbDefault = 0;
constexpr int vbArrow = 1;
constexpr int vbHourglass = 11;

// BorderStyle values of a window.
constexpr int vbBSNone = 0;
constexpr int vbFixedSingle = 1;
constexpr int vbSizable = 2;
constexpr int vbFixedDialog = 3;

// PopupMenu flags.
constexpr int vbPopupMenuRightButton = 2;
constexpr int vbPopupMenuRightAlign = 8;

// An opaque window handle (hWnd) for dialogs and the shell.
using WindowHandle = std::intptr_t;

class Form : public Container {
public:
    explicit Form(std::string name);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // The name in the Forms collection ("main", "entry", ...).
    const std::string& name() const { return m_name; }

    // Container
    Form& form() override { return *this; }
    QWidget* containerWidget() override;

    // Lifecycle
    // Load statement: loads the window hidden (running Form_Load) if needed.
    void load();
    bool isLoaded() const;
    // A window with an owner stays in front of it; a modeless window shown
    // without one is owned by the main window (setMainWindow), a modal one by
    // the window the user last worked in. Every showing from hidden places the
    // window (the rules: WindowPlacement.cpp).
    void show(ShowMode mode = ShowMode::Modeless, Form* owner = nullptr);
    void hide();
    // Unload from code (UnloadMode 1). False when a handler cancelled it.
    bool unload();
    // True while show(Modal) waits for this window.
    bool isShownModal() const;

    // Properties
    const std::string& caption() const;
    void setCaption(const std::string& caption);
    // Outer geometry in twips, read back as set.
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
    // Left, Top, Width and Height are the outer frame the window manager draws
    // (title bar and border included): a window at Top 0 shows its title bar
    // at the top of the screen. The client size follows from the frame the
    // platform reports, also when it reports it only after the window shows.
    // Client area in twips: client pixels x 15 (below the menu bar).
    double scaleWidth() const;
    double scaleHeight() const;
    bool isVisible() const;
    // True shows the window modeless, False hides it.
    void setVisible(bool visible);
    bool keyPreview() const;
    void setKeyPreview(bool preview);
    int windowState() const;
    void setWindowState(int state);
    // The desktop's full-screen view: the window covers its screen with no frame;
    // WindowState keeps the state it comes back to. Leaving gives the window back
    // the state (normal or maximised) and the place and size it had. The client
    // size is known at once (Resize runs before the call returns), whenever the
    // window manager carries the change out.
    bool isFullScreen() const;
    void setFullScreen(bool fullScreen);
    // The smallest outer size the user may make the window (0: no limit), given
    // to the window manager as a hint; a smaller size set by code becomes this one.
    void setMinimumSize(double widthTwips, double heightTwips);
    int mousePointer() const;
    void setMousePointer(int pointer);
    int borderStyle() const;
    void setBorderStyle(int style);
    long backColor() const;
    void setBackColor(long colour);
    const std::string& fontName() const;
    void setFontName(const std::string& name);
    double fontSize() const;
    void setFontSize(double points);
    bool fontBold() const;
    void setFontBold(bool bold);
    bool fontItalic() const;
    void setFontItalic(bool italic);
    WindowHandle hWnd() const;

    // Methods
    // ZOrder 0 brings the window to the front (and activates it); 1 sends it back.
    void zOrder(int position = 0);
    // Paints the window now.
    void refresh();
    void setFocus();
    // The control holding the window's focus, or null.
    Control* activeControl() const;
    // Every control of the window in declaration order, run-time elements last
    // (the Controls collection).
    const std::vector<Control*>& controls() const;
    // Shows menu as a popup and runs the chosen item's Click before returning.
    // x and y are client twips; NaN means the mouse pointer.
    void popupMenu(Menu& menu, int flags = 0,
                   double x = std::numeric_limits<double>::quiet_NaN(),
                   double y = std::numeric_limits<double>::quiet_NaN());

    // Event handlers of the window's life; windows override what they use.
    // Other windows may call them too (main's Form_QueryUnload, for one).
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_QueryUnload(int& Cancel, int UnloadMode);
    virtual void Form_Unload(int& Cancel);
    virtual void Form_KeyDown(int& KeyCode, int Shift);
    virtual void Form_KeyUp(int& KeyCode, int Shift);
    virtual void Form_KeyPress(int16_t& KeyAscii);
    virtual void Form_Click() {}
    virtual void Form_DblClick() {}
    virtual void Form_MouseDown(int Button, int Shift, double X, double Y);
    virtual void Form_MouseMove(int Button, int Shift, double X, double Y);
    virtual void Form_MouseUp(int Button, int Shift, double X, double Y);

    // Layer internals (controls, menus, the event bridge).
    bool isDesigning() const;
    FormWindow* window() const;
    // Per-window focus: raises LostFocus on the previous focus control and
    // GotFocus on control (which may be null).
    void focusMovedTo(Control* control);
    // The close box or the session: runs the unload events with mode.
    bool unloadWithMode(int unloadMode);
    // A platform resize finished with the given client size in pixels.
    void clientResizedByPlatform(int widthPx, int heightPx);
    // The platform moved the window or reported its frame: a frame of another
    // size places the window again so that its outer frame has the geometry
    // set. True when it did.
    bool frameReportedByPlatform();
    // The platform reported the window at another place (the user or the window
    // manager moved it): it opens there again when it closes now.
    void movedByPlatform();
    // The window manager maximised, minimised or restored the window (WindowState
    // values); the full-screen view keeps the state it comes back to.
    void stateChangedByPlatform(int state);
    // The window became the active window of the program.
    void activatedByPlatform();
    // The menu bar gained or lost items: the client area may have changed.
    void menuBarChanged();
    // Tears the window down without any event (program end, test cleanup).
    void destroySilently();
    // Works the tab order out again if the window's controls changed since it
    // last was: before the window is shown and before the focus follows it.
    void applyPendingTabOrder();

protected:
    // Sets the design-time properties of the window and its controls. Runs at
    // every load, after the controls were reset, before Form_Load; events are
    // not raised while it runs.
    virtual void design() {}

private:
    friend class Control;
    friend class ControlArrayBase;
    struct Private;

    void registerControl(Control* control);
    void unregisterControl(Control* control);
    void registerArray(ControlArrayBase* array);
    void unregisterArray(ControlArrayBase* array);
    void loadNow();
    void teardown();
    void applyGeometry(bool raiseResize);
    void applyWindowFlags();
    void applyTabOrder();
    void tabOrderChanged();
    void applyFont();
    void raiseResizeIfChanged();
    void runModalLoop();

    std::string m_name;
    std::unique_ptr<Private> d;
};

// The Forms collection: loaded windows in load order.
std::vector<Form*> loadedForms();
// The loaded window with exactly this name (case-sensitive), or null.
Form* findLoadedForm(const std::string& name);
// Every window object, loaded or not, with this name, or null.
Form* findForm(const std::string& name);
// The window behind a handle from hWnd(), or null.
Form* formFromHandle(WindowHandle handle);

// The program's main window and its commands: the controls of its toolbar and
// side buttons (its title bar and menu bar are commands too). A window shown
// modeless without an owner is owned by it: it stays in front of the main
// window, as tool windows do on the desktop, without being modal. Null: windows
// have no owner unless given one. Every other window opens wholly on the
// screen, clear of the main window's commands where there is room, and opens
// again where it was when it was hidden (the rules: WindowPlacement.cpp).
void setMainWindow(Form* form, std::function<std::vector<Control*>()> commands = {});
// Forgets where the windows were when they closed (tests).
void forgetWindowPlaces();

// Runs callback once, the next time the window named windowName is shown; for a
// modal window it runs inside the window's modal loop, so tests can drive it.
// Callbacks queue in order per window.
void onShown(const std::string& windowName, std::function<void(Form&)> callback);
// Drops every queued onShown callback.
void clearOnShown();
// Called instead of blocking when a window is shown modally with no onShown
// callback queued (tests install a handler that fails the test); the window is
// then hidden so that show returns. Empty handler: modal loops run normally.
void setUnexpectedModalHandler(std::function<void(Form&)> handler);

// Program end: unloads every window without events, leaves every modal loop and
// the main event loop. Called where ProgramEnd is caught.
void endProgramNow();
// True after endProgramNow until resetProgramEnd (tests).
bool isProgramEnding();
void resetProgramEnd();

} // namespace forms

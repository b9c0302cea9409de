#pragma once
// The points where the Qt-free code reaches the user or the outside world:
// message and input boxes, opening a document or web address, the clock, the
// bell and program end. The forms layer installs the real implementations;
// tests install a scripted responder; without either a headless default runs.

#include "platform/Errors.h"

#include <functional>
#include <string>

namespace platform {

// Message-box styles (add one button set, one icon and default-button flags).
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbAbortRetryIgnore = 2;
constexpr int vbYesNoCancel = 3;
constexpr int vbYesNo = 4;
constexpr int vbRetryCancel = 5;
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
constexpr int vbDefaultButton1 = 0;
constexpr int vbDefaultButton2 = 256;
constexpr int vbDefaultButton3 = 512;
constexpr int vbApplicationModal = 0;
constexpr int vbSystemModal = 4096;

// Message-box answers.
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbAbort = 3;
constexpr int vbRetry = 4;
constexpr int vbIgnore = 5;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

inline constexpr const char* AppTitle = "Tevora";

// The answer pressing Enter gives: the style's default button.
int defaultAnswer(int style);
// The answer closing the box without a choice gives: Cancel where the box has
// it, else No, else Abort, else OK.
int cancelAnswer(int style);
// True when answer is one of the buttons of the style's button set.
bool isAnswerOfStyle(int answer, int style);

class Hooks {
public:
    virtual ~Hooks() = default;

    // Shows a message box and returns the button pressed. The headless
    // default prints the box to stderr and returns defaultAnswer(style).
    virtual int msgBox(const std::string& text, int style, const std::string& title);
    // Asks for a line of text; "" when cancelled. Headless: returns defaultText.
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText);
    // Opens a file with its associated program, or a web address in the
    // browser, without waiting for the program that shows it. failed (when
    // given) runs once the desktop has said it could not show the target: at
    // once, or later from the event loop as a command of its own. Headless:
    // prints the target to stderr.
    virtual void shellOpen(const std::string& target, const std::function<void()>& failed);
    // The local date and time as a serial (day 0 = 1899-12-30).
    virtual double now();
    virtual void beep();
    // Runs before ProgramEnd is thrown: the forms layer unloads the main window.
    virtual void endProgram();
    // Lets pending events run; nothing to do headless.
    virtual void doEvents();
};

// Installs hooks (not owned); nullptr restores the headless default.
void setHooks(Hooks* hooks);
Hooks& hooks();
// The hooks installed by setHooks, nullptr while the headless default runs.
Hooks* installedHooks();

// The local date and time from the system clock as a serial.
double systemNow();

// An empty title becomes AppTitle.
int MsgBox(const std::string& text, int style = vbOKOnly, const std::string& title = "");
std::string InputBox(const std::string& prompt, const std::string& title = "",
                     const std::string& defaultText = "");
// failed runs when the desktop could not show the target (see Hooks::shellOpen).
void ShellOpen(const std::string& target, const std::function<void()>& failed = {});
double Now();
double Date(); // today, without the time
void Beep();
void DoEvents();
// Calls the hook, then throws ProgramEnd.
[[noreturn]] void EndProgram();

} // namespace platform

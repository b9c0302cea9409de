#pragma once
// The user's commands as the event loop delivers them. The forms layer runs every call
// from the event loop into the program (an event, a signal, a timer) inside a
// CommandScope; calls made while one runs (a modal window's events, DoEvents) are part
// of that command. The work installed with setEndOfCommandWork runs once when the
// outermost scope has finished the command (also one ended by an error the user was
// shown), not when the program is ending.

#include <functional>

namespace platform {

// Installs the work that follows every command; an empty function removes it.
void setEndOfCommandWork(std::function<void()> work);

// True while a command runs whose end will run the installed work: what must follow
// the command may wait for its end. False outside commands, with no work installed,
// and while the work itself runs.
bool commandRunning();

class CommandScope {
public:
    CommandScope();
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

    // Called by the outermost scope once its command has finished normally: runs the
    // installed work (its errors are the caller's to report).
    void finish();

private:
    bool m_outermost;
};

} // namespace platform

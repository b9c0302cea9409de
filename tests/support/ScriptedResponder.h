#pragma once
// Stands in for the user in tests: answers message and input boxes from a
// script, records every other hook call, and fails the running test when a
// box appears that the test did not expect.

#include "platform/Hooks.h"

#include <deque>
#include <string>
#include <vector>

namespace support {

class ScriptedResponder : public platform::Hooks {
public:
    struct Shown {
        std::string text;
        int style = 0;
        std::string title;
    };

    // Installs itself as the platform hooks; the destructor puts back the
    // hooks that were installed before and fails the test when scripted
    // answers were left unused (unless allowUnusedAnswers() was called).
    ScriptedResponder();
    ~ScriptedResponder() override;
    ScriptedResponder(const ScriptedResponder&) = delete;
    ScriptedResponder& operator=(const ScriptedResponder&) = delete;

    // Queues the answer for the next message box (vbYes, vbOK, ...). An answer
    // that is not a button of the box fails the test.
    void answerNext(int answer);
    // Queues the text the next input box returns ("" = cancelled).
    void answerNextInput(const std::string& text);
    void allowUnusedAnswers() { m_allowUnused = true; }
    size_t pendingAnswers() const { return m_answers.size() + m_inputs.size(); }

    const std::vector<Shown>& shown() const { return m_shown; }
    // The texts of the boxes shown, for compact expectations.
    std::vector<std::string> shownTexts() const;
    const std::vector<Shown>& inputPrompts() const { return m_inputPrompts; }
    const std::vector<std::string>& shellOpens() const { return m_shellOpens; }
    // What the shell answers to an open (true until set): false plays a desktop
    // that has no program for the target, and says so at once.
    void setShellOpenResult(bool opened) { m_shellOpenResult = opened; }
    int beepCount() const { return m_beeps; }
    bool programEnded() const { return m_programEnds > 0; }
    int programEndCount() const { return m_programEnds; }
    int doEventsCount() const { return m_doEvents; }

    // Fixes the clock at a date serial; until called, the system clock runs.
    void setNow(double serial);
    void useSystemClock() { m_clockSet = false; }

    // Forgets what was recorded (not the queued answers).
    void clearRecords();

    int msgBox(const std::string& text, int style, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void shellOpen(const std::string& target, const std::function<void()>& failed) override;
    double now() override;
    void beep() override;
    void endProgram() override;
    void doEvents() override;

private:
    platform::Hooks* m_previous = nullptr;
    std::deque<int> m_answers;
    std::deque<std::string> m_inputs;
    std::vector<Shown> m_shown;
    std::vector<Shown> m_inputPrompts;
    std::vector<std::string> m_shellOpens;
    bool m_shellOpenResult = true;
    int m_beeps = 0;
    int m_programEnds = 0;
    int m_doEvents = 0;
    double m_now = 0;
    bool m_clockSet = false;
    bool m_allowUnused = false;
};

} // namespace support

using support::ScriptedResponder;

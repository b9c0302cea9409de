#include "platform/Hooks.h"

#include "platform/Conversions.h"

#include <ctime>
#include <iostream>
#include <vector>

namespace platform {

namespace {

std::vector<int> buttonsOf(int style)
{
    switch (style & 7) {
    case vbOKCancel:
        return {vbOK, vbCancel};
    case vbAbortRetryIgnore:
        return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel:
        return {vbYes, vbNo, vbCancel};
    case vbYesNo:
        return {vbYes, vbNo};
    case vbRetryCancel:
        return {vbRetry, vbCancel};
    default:
        return {vbOK};
    }
}

bool contains(const std::vector<int>& buttons, int answer)
{
    for (const int b : buttons)
        if (b == answer)
            return true;
    return false;
}

Hooks& defaultHooks()
{
    static Hooks headless;
    return headless;
}

Hooks* g_hooks = nullptr;

} // namespace

int defaultAnswer(int style)
{
    const std::vector<int> buttons = buttonsOf(style);
    const size_t index = static_cast<size_t>((style >> 8) & 3);
    return index < buttons.size() ? buttons[index] : buttons.front();
}

int cancelAnswer(int style)
{
    const std::vector<int> buttons = buttonsOf(style);
    for (const int answer : {vbCancel, vbNo, vbAbort})
        if (contains(buttons, answer))
            return answer;
    return vbOK;
}

bool isAnswerOfStyle(int answer, int style)
{
    return contains(buttonsOf(style), answer);
}

double systemNow()
{
    const std::time_t t = std::time(nullptr);
    std::tm local {};
    localtime_r(&t, &local);
    const double day = DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + (local.tm_sec > 59 ? 59 : local.tm_sec);
    return day + seconds / 86400.0;
}

// --- the headless default ---------------------------------------------------

int Hooks::msgBox(const std::string& text, int style, const std::string& title)
{
    const int answer = defaultAnswer(style);
    std::cerr << "[" << title << "] " << text << " -> " << answer << std::endl;
    return answer;
}

std::string Hooks::inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText)
{
    std::cerr << "[" << title << "] " << prompt << " -> " << defaultText << std::endl;
    return defaultText;
}

void Hooks::shellOpen(const std::string& target, const std::function<void()>&)
{
    std::cerr << "open: " << target << std::endl;
}

double Hooks::now()
{
    return systemNow();
}

void Hooks::beep()
{
    std::cerr << '\a' << std::flush;
}

void Hooks::endProgram() {}

void Hooks::doEvents() {}

// --- installation and the free functions ----------------------------------

void setHooks(Hooks* hooks)
{
    g_hooks = hooks;
}

Hooks& hooks()
{
    return g_hooks ? *g_hooks : defaultHooks();
}

Hooks* installedHooks()
{
    return g_hooks;
}

int MsgBox(const std::string& text, int style, const std::string& title)
{
    return hooks().msgBox(text, style, title.empty() ? std::string(AppTitle) : title);
}

std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText)
{
    return hooks().inputBox(prompt, title.empty() ? std::string(AppTitle) : title, defaultText);
}

void ShellOpen(const std::string& target, const std::function<void()>& failed)
{
    hooks().shellOpen(target, failed);
}

double Now()
{
    return hooks().now();
}

double Date()
{
    return Int(Now());
}

void Beep()
{
    hooks().beep();
}

void DoEvents()
{
    hooks().doEvents();
}

void EndProgram()
{
    hooks().endProgram();
    throw ProgramEnd{};
}

} // namespace platform

#pragma once
// The Qt implementations of the platform hooks, for use inside src/forms/*.cpp.

#include "platform/Hooks.h"

namespace forms {

class QtHooks : public platform::Hooks {
public:
    int msgBox(const std::string& text, int style, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override;
    void shellOpen(const std::string& target, const std::function<void()>& failed) override;
    double now() override;
    void beep() override;
    void endProgram() override;
    void doEvents() override;
};

} // namespace forms

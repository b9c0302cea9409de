#pragma once
// A scratch program folder with the work folders "voice" and "face" for the fuzz
// targets and the seed tool, and message boxes that only count.

#include "platform/Hooks.h"

#include <string>

class FuzzHome : public platform::Hooks {
public:
    FuzzHome();
    ~FuzzHome() override;
    FuzzHome(const FuzzHome&) = delete;
    FuzzHome& operator=(const FuzzHome&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const;

    int msgBox(const std::string& text, int style, const std::string& title) override;
    int messages = 0;

private:
    std::string m_path;
};

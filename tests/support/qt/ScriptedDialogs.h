#pragma once
// Stands in for the user at the common dialogs: answers them from a script and
// records every request (kind, title, filter, preset, flags, start folder). A
// dialog with no scripted answer fails the test, naming its title, and is
// cancelled.

#include "forms/CommonDialog.h"

#include <deque>
#include <vector>

namespace support {

class ScriptedDialogs : public forms::DialogResponder {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void answerNext(forms::DialogAnswer answer);
    const std::vector<forms::DialogRequest>& requests() const { return m_requests; }

    forms::DialogAnswer respond(const forms::DialogRequest& request) override;

private:
    std::deque<forms::DialogAnswer> m_answers;
    std::vector<forms::DialogRequest> m_requests;
};

} // namespace support

using support::ScriptedDialogs;

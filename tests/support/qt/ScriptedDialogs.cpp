#include "support/qt/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace support {

namespace {

const char* kindName(forms::DialogKind kind)
{
    switch (kind) {
    case forms::DialogKind::Open: return "open";
    case forms::DialogKind::Save: return "save";
    case forms::DialogKind::Color: return "colour";
    case forms::DialogKind::Font: return "font";
    }
    return "?";
}

} // namespace

ScriptedDialogs::ScriptedDialogs()
{
    forms::setDialogResponder(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    forms::setDialogResponder(nullptr);
    EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " scripted dialog answer(s) left unused";
}

void ScriptedDialogs::answerNext(forms::DialogAnswer answer)
{
    m_answers.push_back(std::move(answer));
}

forms::DialogAnswer ScriptedDialogs::respond(const forms::DialogRequest& request)
{
    m_requests.push_back(request);
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(request.kind) << " dialog '" << request.title << "'";
        return forms::DialogAnswer::cancelled();
    }
    forms::DialogAnswer answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

} // namespace support

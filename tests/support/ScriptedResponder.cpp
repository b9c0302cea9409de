#include "support/ScriptedResponder.h"

#include <gtest/gtest.h>

namespace support {

ScriptedResponder::ScriptedResponder() : m_previous(platform::installedHooks())
{
    platform::setHooks(this);
}

ScriptedResponder::~ScriptedResponder()
{
    platform::setHooks(m_previous);
    if (!m_allowUnused && !m_answers.empty())
        ADD_FAILURE() << m_answers.size() << " scripted message-box answer(s) were never used";
    if (!m_allowUnused && !m_inputs.empty())
        ADD_FAILURE() << m_inputs.size() << " scripted input-box answer(s) were never used";
}

void ScriptedResponder::answerNext(int answer)
{
    m_answers.push_back(answer);
}

void ScriptedResponder::answerNextInput(const std::string& text)
{
    m_inputs.push_back(text);
}

std::vector<std::string> ScriptedResponder::shownTexts() const
{
    std::vector<std::string> texts;
    texts.reserve(m_shown.size());
    for (const auto& box : m_shown)
        texts.push_back(box.text);
    return texts;
}

void ScriptedResponder::setNow(double serial)
{
    m_now = serial;
    m_clockSet = true;
}

void ScriptedResponder::clearRecords()
{
    m_shown.clear();
    m_inputPrompts.clear();
    m_shellOpens.clear();
    m_beeps = 0;
    m_programEnds = 0;
    m_doEvents = 0;
}

int ScriptedResponder::msgBox(const std::string& text, int style, const std::string& title)
{
    m_shown.push_back({text, style, title});
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected message box: \"" << text << "\" (style " << style << ", title \"" << title
                      << "\")";
        return platform::cancelAnswer(style);
    }
    const int answer = m_answers.front();
    m_answers.pop_front();
    if (!platform::isAnswerOfStyle(answer, style))
        ADD_FAILURE() << "scripted answer " << answer << " is not a button of the message box \"" << text
                      << "\" (style " << style << ")";
    return answer;
}

std::string ScriptedResponder::inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText)
{
    m_inputPrompts.push_back({prompt, 0, title});
    if (m_inputs.empty()) {
        ADD_FAILURE() << "unexpected input box: \"" << prompt << "\" (default \"" << defaultText << "\")";
        return std::string();
    }
    std::string text = m_inputs.front();
    m_inputs.pop_front();
    return text;
}

void ScriptedResponder::shellOpen(const std::string& target, const std::function<void()>& failed)
{
    m_shellOpens.push_back(target);
    if (!m_shellOpenResult && failed)
        failed();
}

double ScriptedResponder::now()
{
    return m_clockSet ? m_now : platform::systemNow();
}

void ScriptedResponder::beep()
{
    ++m_beeps;
}

void ScriptedResponder::endProgram()
{
    ++m_programEnds;
}

void ScriptedResponder::doEvents()
{
    ++m_doEvents;
}

} // namespace support

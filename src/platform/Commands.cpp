#include "platform/Commands.h"

#include <utility>

namespace platform {

namespace {

int g_depth = 0;
bool g_working = false;

std::function<void()>& endOfCommandWork()
{
    static std::function<void()> work;
    return work;
}

} // namespace

void setEndOfCommandWork(std::function<void()> work)
{
    endOfCommandWork() = std::move(work);
}

bool commandRunning()
{
    return g_depth > 0 && !g_working && endOfCommandWork();
}

CommandScope::CommandScope() : m_outermost(g_depth == 0)
{
    ++g_depth;
}

CommandScope::~CommandScope()
{
    --g_depth;
}

void CommandScope::finish()
{
    if (!m_outermost || g_working || !endOfCommandWork())
        return;
    // Copied: the work may install other work.
    const std::function<void()> work = endOfCommandWork();
    struct Working {
        Working() { g_working = true; }
        ~Working() { g_working = false; }
    } working;
    work();
}

} // namespace platform

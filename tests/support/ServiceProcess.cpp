#include "support/ServiceProcess.h"

#include "platform/FileSystem.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

extern char** environ;

namespace support {

namespace {

std::string nameOf(const std::string& entry)
{
    return entry.substr(0, entry.find('='));
}

// This process's environment with the changes made.
std::vector<std::string> changedEnvironment(const std::vector<std::string>& changes)
{
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
        const std::string entry = *variable;
        const bool changed = std::any_of(changes.begin(), changes.end(),
                                         [&entry](const std::string& change) { return nameOf(change) == nameOf(entry); });
        if (!changed)
            environment.push_back(entry);
    }
    for (const std::string& change : changes) {
        if (change.find('=') != std::string::npos)
            environment.push_back(change);
    }
    return environment;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ServiceProcess::ServiceProcess(const std::string& prefix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    if (::mkdtemp(pattern.data()))
        m_folder = pattern;
}

ServiceProcess::~ServiceProcess()
{
    end(SIGKILL);
    for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved) {
        if (saved->wasSet)
            ::setenv(saved->name.c_str(), saved->value.c_str(), 1);
        else
            ::unsetenv(saved->name.c_str());
    }
    if (!m_folder.empty()) {
        try {
            platform::removeTree(m_folder);
        } catch (...) {
            // A folder left in the temporary folder harms nothing.
        }
    }
}

bool ServiceProcess::run(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environmentChanges, const std::string& output)
{
    std::vector<std::string> argumentList{program.substr(program.find_last_of('/') + 1)};
    argumentList.insert(argumentList.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = changedEnvironment(environmentChanges);
    // Made before the fork: the child only calls what is safe between fork and exec.
    std::vector<char*> argv = pointersTo(argumentList);
    std::vector<char*> envp = pointersTo(environment);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The service ends with the test program, also when that is killed.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        // A session of its own: the end of the shell that started the tests
        // (its SIGHUP and SIGCONT to the process group) does not reach it.
        ::setsid();
        const int log = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    if (pid < 0)
        return false;
    m_pid = pid;
    m_paused = false;
    return true;
}

bool ServiceProcess::running()
{
    if (m_pid > 0 && ::waitpid(m_pid, nullptr, WNOHANG) != 0)
        m_pid = 0;
    return m_pid > 0;
}

void ServiceProcess::end(int signal)
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, signal);
    resume();
    ::waitpid(m_pid, nullptr, 0);
    m_pid = 0;
}

void ServiceProcess::pause()
{
    if (m_pid > 0 && !m_paused && ::kill(m_pid, SIGSTOP) == 0) {
        m_paused = true;
        // Stopped for certain before the test goes on.
        siginfo_t info{};
        ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WSTOPPED | WNOWAIT);
    }
}

void ServiceProcess::resume()
{
    if (m_pid > 0 && m_paused) {
        ::kill(m_pid, SIGCONT);
        m_paused = false;
    }
}

void ServiceProcess::replaceVariable(const char* name, const char* value)
{
    SavedVariable saved{name, std::string(), false};
    if (const char* previous = std::getenv(name)) {
        saved.value = previous;
        saved.wasSet = true;
    }
    m_saved.push_back(std::move(saved));
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

} // namespace support

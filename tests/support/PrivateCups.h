#pragma once
// A print service of the test's own: a private CUPS scheduler (cupsd) started in
// the foreground in a temporary folder, with its own configuration, spool, logs
// and programs, listening only on a socket in that folder. Its queues end in a
// small backend that stores every job it receives (the document and the job's
// options) in a folder, so a test counts the jobs a printout sent and reads their
// pages. While it runs, this process's print calls (libcups, Qt's print support)
// go to it: CUPS_SERVER names its socket. The user's own print settings stay out
// of it too (a default printer chosen with lpoptions in ~/.cups, or named by
// LPDEST or PRINTER), so the default queue is the scheduler's. Every test program
// starts its own, so tests run side by side.
//
// Where the machine cannot start a scheduler at all (cupsd not installed, or it
// does not come up), running() is false and whyNotRunning() says why: the test
// skips with that reason.

#include "support/ServiceProcess.h"

#include <chrono>
#include <string>
#include <vector>

namespace support {

class PrivateCups {
public:
    struct Queue {
        std::string name;
        // The paper the queue is set to: a key of its driver's paper list (A4,
        // B4 for JIS B4, A2, ISOB4, Legal, EnvC5, Letter). Every queue also takes
        // a paper of its own size, typed in.
        std::string paper = "A4";
    };

    explicit PrivateCups(const std::vector<Queue>& queues, const std::string& defaultQueue = std::string());
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    bool running() const { return m_running; }
    const std::string& whyNotRunning() const { return m_whyNot; }

    // What an administrator does meanwhile; each returns once the scheduler did it.
    void rejectJobs(const std::string& queue);
    void acceptJobs(const std::string& queue);
    void addQueue(const Queue& queue);
    void deleteQueue(const std::string& queue);
    void setDefault(const std::string& queue);
    // The scheduler stops (its socket goes with it).
    void stop();
    // The scheduler hangs: connections are still taken and nothing is answered,
    // until resume. This process's own print calls (the ones below) wait for it
    // meanwhile, so a test resumes it before asking the scheduler anything.
    void pause();
    void resume();

    // Every job the scheduler took for the queue, pending or done.
    int jobCount(const std::string& queue) const;

    struct StoredJob {
        std::string document;   // the file the printer received
        std::string options;    // the job's options as the backend got them
    };
    // The jobs the backend stored so far, in the order of their numbers; waits up
    // to timeout for at least `count` of them.
    std::vector<StoredJob> storedJobs(size_t count = 0,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;

    const std::string& folder() const { return m_folder; }

private:
    bool start(const std::vector<Queue>& queues, const std::string& defaultQueue);
    bool adminRequest(int operation, const std::string& queue, bool withDriver, const std::string& paper);

    ServiceProcess m_service{"tevora-cups"};
    const std::string& m_folder = m_service.folder();
    std::string m_socket;
    bool m_running = false;
    std::string m_whyNot;
};

} // namespace support

// Skips the running test when the machine cannot start a scheduler.
#define SKIP_WITHOUT_PRINT_SERVICE(cups)                                                                              \
    do {                                                                                                              \
        if (!(cups).running())                                                                                       \
            GTEST_SKIP() << "no print service of the test's own: " << (cups).whyNotRunning();                        \
    } while (false)

#pragma once
// A service a test program starts for itself (a print scheduler, a sound
// server, a display; also the program under test, run as a user starts it): a
// fresh folder of its own in the temporary folder, and the service's program
// run in the foreground, with the environment it is given, ended with the test
// program however that ends. The variables of this process that the
// service replaces while it runs (where to find it) are put back when it goes;
// the folder goes with it. The service runs in a session of its own.

#include <string>
#include <vector>

namespace support {

class ServiceProcess {
public:
    // Makes the folder "<prefix>-XXXXXX" in the temporary folder (TMPDIR, else
    // /tmp); folder() is "" when it could not be made.
    explicit ServiceProcess(const std::string& prefix);
    // Ends the program (killed), puts this process's variables back and removes
    // the folder.
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    const std::string& folder() const { return m_folder; }

    // Runs the program with its arguments (argv[1...]) and this process's
    // environment, changed: "NAME=value" sets a variable, "NAME" removes it. Its
    // output goes to the file `output`. False when it could not be run.
    bool run(const std::string& program, const std::vector<std::string>& arguments,
             const std::vector<std::string>& environmentChanges, const std::string& output);
    // True while the program runs (also while it is paused).
    bool running();
    // The process id of the program run() started; 0 before, and once it was found ended.
    int pid() const { return m_pid; }
    // Sends the signal and waits until the program has ended; a paused program
    // goes on first, so that it can end.
    void end(int signal);
    // The program stops answering (stopped; it is, once this returns), and
    // answers again.
    void pause();
    void resume();

    // Sets a variable of this process (nullptr: removes it) while the service lives.
    void replaceVariable(const char* name, const char* value);

private:
    std::string m_folder;
    int m_pid = 0;
    bool m_paused = false;
    struct SavedVariable {
        std::string name;
        std::string value;
        bool wasSet = false;
    };
    std::vector<SavedVariable> m_saved;
};

} // namespace support

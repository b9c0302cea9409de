#include "SoundServer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace entry_test {

namespace {

// Whether the socket takes a connection (the server listens once every module loaded).
bool accepts(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return connected;
}

std::string tail(const std::string& path)
{
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.size() > 600 ? text.substr(text.size() - 600) : text;
}

// The program's file on the PATH; "" when there is none.
std::string onPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

int runQuietly(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

} // namespace

SoundServer& SoundServer::instance()
{
    static SoundServer server;
    return server;
}

bool SoundServer::running()
{
    return m_process && m_process->running();
}

std::string SoundServer::start()
{
#if !TEVORA_HAVE_PULSE
    return "the program was built without the sound server's headers";
#endif
    if (running())
        return "";
    const std::string program = onPath("pulseaudio");
    if (program.empty() || onPath("pactl").empty() || onPath("parec").empty())
        return "pulseaudio, pactl or parec is not installed (scripts/install-deps.sh installs them)";
    // A server that ended goes with its folder.
    m_process = std::make_unique<support::ServiceProcess>("tevora-sound");
    const std::string& folder = m_process->folder();
    if (folder.empty())
        return "no temporary folder for the sound server";
    const std::string socket = folder + "/native";
    {
        std::ofstream script(folder + "/server.pa");
        script << "load-module module-null-sink sink_name=speaker\n"
               << "load-module module-sine-source source_name=tone frequency=440\n"
               << "set-default-sink speaker\n"
               << "set-default-source tone\n"
               << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << socket << "\n";
    }
    // The server keeps its state, cookie and runtime files in the folder; it
    // runs as root too (as CI does), which it only warns about.
    std::vector<std::string> environment{"PULSE_SERVER", "DBUS_SESSION_BUS_ADDRESS"};
    for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH"})
        environment.push_back(std::string(name) + "=" + folder);
    const std::vector<std::string> arguments = {"-n", "-F", folder + "/server.pa", "--daemonize=no",
                                                "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes",
                                                "--realtime=no", "--high-priority=no",
                                                "--log-target=file:" + folder + "/server.log"};
    if (!m_process->run(program, arguments, environment, folder + "/server.out")) {
        m_process.reset();
        return "the sound server could not be started";
    }
    if (!m_process->waitUntil([&] { return accepts(socket); }, std::chrono::seconds(15))) {
        const std::string log = tail(folder + "/server.log");
        m_process.reset();
        return "pulseaudio did not start here: " + log;
    }
    m_address = "unix:" + socket;
    m_process->replaceVariable("PULSE_SERVER", m_address.c_str());
    return "";
}

void SoundServer::kill()
{
    if (m_process)
        m_process->end(SIGKILL);
}

void SoundServer::pause()
{
    if (m_process)
        m_process->pause();
}

void SoundServer::resume()
{
    if (m_process)
        m_process->resume();
}

bool SoundServer::suspendTone(bool suspended)
{
    return runQuietly("pactl -s " + m_address + " suspend-source tone " + (suspended ? "1" : "0")) == 0;
}

bool SoundServer::muteSource(bool muted)
{
    return runQuietly("pactl -s " + m_address + " set-source-mute tone " + (muted ? "1" : "0")) == 0;
}

std::vector<int16_t> SoundServer::listenToSpeaker(int milliseconds, int rate, void (*ready)(void*), void* context)
{
    std::vector<int16_t> samples;
    const auto started = [&] {
        if (ready)
            ready(context);
        ready = nullptr;
    };
    const std::string program = onPath("parec");
    // Small pieces keep the speaker working at a low latency: a speaker that
    // renders seconds ahead would hand the listener silence made before the
    // sound came.
    support::ServiceProcess recorder("tevora-listener");
    const int output = program.empty() || recorder.folder().empty()
                           ? -1
                           : recorder.runIntoPipe(program,
                                                  {"--server=" + m_address, "--device=speaker.monitor",
                                                   "--rate=" + std::to_string(rate), "--channels=1",
                                                   "--format=s16le", "--latency-msec=50", "--raw"},
                                                  {}, recorder.folder() + "/parec.log");
    if (output < 0) {
        started();
        return samples;
    }
    // The recording runs once its first samples come; it gives up when none
    // come for a while (the recorder could not connect, or the server hangs).
    const size_t wanted = static_cast<size_t>(rate) * static_cast<size_t>(milliseconds) / 1000 * sizeof(int16_t);
    std::string bytes;
    char buffer[4096];
    while (bytes.size() < wanted) {
        pollfd input{output, POLLIN, 0};
        const int polled = ::poll(&input, 1, 15000);
        if (polled < 0 && errno == EINTR)
            continue;
        const ssize_t got = polled > 0 ? ::read(output, buffer, sizeof(buffer)) : -1;
        if (got <= 0)
            break;
        bytes.append(buffer, static_cast<size_t>(got));
        started();
    }
    started();
    ::close(output);
    if (bytes.size() < wanted) {
        std::cerr << "parec: " << tail(recorder.folder() + "/parec.log") << std::endl;
        return samples;
    }
    samples.resize(wanted / sizeof(int16_t));
    std::memcpy(samples.data(), bytes.data(), wanted);
    return samples;
}

} // namespace entry_test

#include "support/PrivateCups.h"

#include <cups/cups.h>

#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

namespace support {

namespace {

bool isExecutable(const std::string& path)
{
    return !path.empty() && ::access(path.c_str(), X_OK) == 0;
}

std::string findCupsd()
{
    for (const char* candidate : {TEVORA_CUPSD, "/usr/sbin/cupsd", "/usr/local/sbin/cupsd"}) {
        if (isExecutable(candidate))
            return candidate;
    }
    return std::string();
}

bool writeFile(const std::string& path, const std::string& text, mode_t mode = 0644)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return out && ::chmod(path.c_str(), mode) == 0;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The driver of every queue: a printer that takes PDF documents as they are, with
// a few papers beyond the usual ones, each with margins, set to `paper`, and
// takes a paper of any size up to A2 typed in.
std::string driverFile(const std::string& paper)
{
    struct Paper {
        const char* key;
        const char* text;
        int width;
        int height;
    };
    static const Paper papers[] = {
        {"A4", "A4", 595, 842},           {"B4", "JIS B4", 729, 1032},  {"A2", "A2", 1191, 1684},
        {"ISOB4", "ISO B4", 709, 1001},   {"Legal", "US Legal", 612, 1008},
        {"EnvC5", "Envelope C5", 459, 649}, {"Letter", "US Letter", 612, 792},
    };
    std::ostringstream ppd;
    ppd << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
           "*LanguageEncoding: ISOLatin1\n*PCFileName: \"TESTSTOR.PPD\"\n*Manufacturer: \"Test\"\n"
           "*Product: \"(Job Store)\"\n*ModelName: \"Job Store\"\n*ShortNickName: \"Job Store\"\n"
           "*NickName: \"Job Store\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: True\n"
           "*DefaultColorSpace: RGB\n*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n"
           "*TTRasterizer: Type42\n*cupsVersion: 2.4\n"
           "*cupsFilter2: \"application/pdf application/pdf 0 -\"\n";
    for (const char* option : {"PageSize", "PageRegion"}) {
        ppd << "*OpenUI *" << option << ": PickOne\n*OrderDependency: 10 AnySetup *" << option << "\n*Default"
            << option << ": " << paper << "\n";
        for (const Paper& p : papers)
            ppd << "*" << option << " " << p.key << "/" << p.text << ": \"\"\n";
        ppd << "*CloseUI: *" << option << "\n";
    }
    ppd << "*DefaultImageableArea: " << paper << "\n";
    for (const Paper& p : papers)
        ppd << "*ImageableArea " << p.key << "/" << p.text << ": \"18 36 " << p.width - 18 << " " << p.height - 36
            << "\"\n";
    ppd << "*DefaultPaperDimension: " << paper << "\n";
    for (const Paper& p : papers)
        ppd << "*PaperDimension " << p.key << "/" << p.text << ": \"" << p.width << " " << p.height << "\"\n";
    ppd << "*VariablePaperSize: True\n*MaxMediaWidth: \"1191\"\n*MaxMediaHeight: \"1684\"\n"
           "*HWMargins: 18 36 18 36\n*CustomPageSize True: \"pop pop pop <</PageSize [5 -2 roll]>>setpagedevice\"\n"
           "*ParamCustomPageSize Width: 1 points 72 1191\n*ParamCustomPageSize Height: 2 points 72 1684\n"
           "*ParamCustomPageSize WidthOffset: 3 points 0 0\n*ParamCustomPageSize HeightOffset: 4 points 0 0\n"
           "*ParamCustomPageSize Orientation: 5 int 0 0\n";
    ppd << "*DefaultFont: Courier\n*Font Courier: Standard \"(001.004S)\" Standard ROM\n";
    return ppd.str();
}

// Stores every job under its number: the document, then its options.
constexpr const char* BackendScript = R"(#!/bin/sh
if [ $# -eq 0 ]; then echo 'direct teststore "Unknown" "Job store"'; exit 0; fi
umask 022
dir=${DEVICE_URI#teststore:}
if [ -n "$6" ]; then cat "$6"; else cat; fi > "$dir/.job-$1" || exit 1
printf '%s\n' "$5" > "$dir/job-$1.options" || exit 1
mv "$dir/.job-$1" "$dir/job-$1.pdf"
)";

std::string printerUri(const std::string& queue)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queue.c_str());
    return uri;
}

} // namespace

PrivateCups::PrivateCups(const std::vector<Queue>& queues, const std::string& defaultQueue)
{
    if (!start(queues, defaultQueue)) {
        stop();
        if (m_whyNot.empty())
            m_whyNot = "cupsd did not start";
    }
}

bool PrivateCups::start(const std::vector<Queue>& queues, const std::string& defaultQueue)
{
    const std::string cupsd = findCupsd();
    if (cupsd.empty()) {
        m_whyNot = "cupsd is not installed";
        return false;
    }
    const std::string serverBin = TEVORA_CUPS_SERVERBIN;
    if (!isExecutable(serverBin + "/daemon/cups-exec")) {
        m_whyNot = serverBin + "/daemon/cups-exec is missing";
        return false;
    }
    if (m_folder.empty()) {
        m_whyNot = "no temporary folder";
        return false;
    }
    m_socket = m_folder + "/socket";
    const bool root = ::geteuid() == 0;
    // Reachable by the user the scheduler runs its helpers as when it runs as root.
    ::chmod(m_folder.c_str(), 0755);
    for (const char* sub : {"/etc", "/etc/ppd", "/spool", "/spool/tmp", "/cache", "/state", "/log", "/bin",
                            "/bin/backend", "/jobs"})
        ::mkdir((m_folder + sub).c_str(), 0755);
    ::chmod((m_folder + "/jobs").c_str(), 01777);
    ::chmod((m_folder + "/spool/tmp").c_str(), 01777);
    for (const char* sub : {"daemon", "filter"})
        ::symlink((serverBin + "/" + sub).c_str(), (m_folder + "/bin/" + sub).c_str());
    // Readable by its owner only, so that a scheduler running as root runs it as
    // root: the job folder is then reached whatever the temporary folder allows.
    if (!writeFile(m_folder + "/bin/backend/teststore", BackendScript, 0700)) {
        m_whyNot = "cannot write the backend";
        return false;
    }

    std::ostringstream conf;
    conf << "LogLevel warn\nListen " << m_socket << "\nBrowsing No\nWebInterface No\nPreserveJobHistory Yes\n"
         << "<Policy default>\n<Limit All>\nOrder Allow,Deny\nAllow all\n</Limit>\n</Policy>\n"
         << "<Location />\nOrder Allow,Deny\nAllow all\n</Location>\n"
         << "<Location /admin>\nOrder Allow,Deny\nAllow all\n</Location>\n";
    std::ostringstream files;
    files << "ServerRoot " << m_folder << "/etc\nRequestRoot " << m_folder << "/spool\nTempDir " << m_folder
          << "/spool/tmp\nCacheDir " << m_folder << "/cache\nStateDir " << m_folder << "/state\nServerBin "
          << m_folder << "/bin\nDataDir /usr/share/cups\nErrorLog " << m_folder << "/log/error_log\nAccessLog "
          << m_folder << "/log/access_log\nPageLog " << m_folder << "/log/page_log\nSandboxing Relaxed\n";
    if (root) {
        const bool lp = ::getpwnam("lp") != nullptr && ::getgrnam("lp") != nullptr;
        files << "User " << (lp ? "lp" : "nobody") << "\nGroup " << (lp ? "lp" : "nogroup") << "\nSystemGroup root\n";
    } else if (const struct group* own = ::getgrgid(::getegid())) {
        files << "SystemGroup " << own->gr_name << "\n";
    }
    std::ostringstream printers;
    for (const Queue& queue : queues) {
        if (!writeFile(m_folder + "/etc/ppd/" + queue.name + ".ppd", driverFile(queue.paper))) {
            m_whyNot = "cannot write a driver";
            return false;
        }
        printers << (queue.name == defaultQueue ? "<DefaultPrinter " : "<Printer ") << queue.name
                 << ">\nDeviceURI teststore:" << m_folder << "/jobs\nState Idle\nAccepting Yes\n</Printer>\n";
    }
    if (!writeFile(m_folder + "/etc/cupsd.conf", conf.str()) || !writeFile(m_folder + "/etc/cups-files.conf", files.str())
        || !writeFile(m_folder + "/etc/printers.conf", printers.str(), 0600)) {
        m_whyNot = "cannot write the configuration";
        return false;
    }

    const std::string output = m_folder + "/log/cupsd.out";
    if (!m_service.run(cupsd, {"-f", "-c", m_folder + "/etc/cupsd.conf", "-s", m_folder + "/etc/cups-files.conf"}, {},
                       output)) {
        m_whyNot = "cupsd could not be run";
        return false;
    }
    m_running = true;

    const std::string home = m_folder + "/home";
    ::mkdir(home.c_str(), 0700);
    m_service.replaceVariable("HOME", home.c_str());
    m_service.replaceVariable("LPDEST", nullptr);
    m_service.replaceVariable("PRINTER", nullptr);
    m_service.replaceVariable("CUPS_SERVER", m_socket.c_str());
    cupsSetServer(m_socket.c_str());
    const bool answers = m_service.waitUntil(
        [this] {
            if (::access(m_socket.c_str(), F_OK) != 0)
                return false;
            ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, ippNewRequest(IPP_OP_CUPS_GET_PRINTERS), "/");
            const bool answered = response != nullptr;
            ippDelete(response);
            return answered;
        },
        std::chrono::seconds(10));
    if (answers)
        return true;
    if (!m_service.running()) {
        m_running = false;
        m_whyNot = "cupsd ended at once: " + readFile(output) + readFile(m_folder + "/log/error_log");
    } else {
        m_whyNot = "cupsd did not answer within 10 seconds: " + readFile(m_folder + "/log/error_log");
    }
    return false;
}

PrivateCups::~PrivateCups()
{
    stop();
    cupsSetServer(nullptr);
}

void PrivateCups::stop()
{
    if (!m_running)
        return;
    m_service.end(SIGTERM);
    m_running = false;
    // The connection to the stopped scheduler is dropped, so the next call finds it gone.
    cupsSetServer(m_socket.c_str());
}

void PrivateCups::pause()
{
    m_service.pause();
}

void PrivateCups::resume()
{
    m_service.resume();
}

bool PrivateCups::adminRequest(int operation, const std::string& queue, bool withDriver, const std::string& paper)
{
    ipp_t* request = ippNewRequest(static_cast<ipp_op_t>(operation));
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri(queue).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t* response = nullptr;
    if (withDriver) {
        const std::string device = "teststore:" + m_folder + "/jobs";
        ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, device.c_str());
        ippAddBoolean(request, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
        ippAddInteger(request, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
        const std::string driver = m_folder + "/" + queue + ".ppd";
        writeFile(driver, driverFile(paper));
        response = cupsDoFileRequest(CUPS_HTTP_DEFAULT, request, "/admin/", driver.c_str());
    } else {
        response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/admin/");
    }
    ippDelete(response);
    return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
}

void PrivateCups::rejectJobs(const std::string& queue)
{
    adminRequest(IPP_OP_CUPS_REJECT_JOBS, queue, false, std::string());
}

void PrivateCups::acceptJobs(const std::string& queue)
{
    adminRequest(IPP_OP_CUPS_ACCEPT_JOBS, queue, false, std::string());
}

void PrivateCups::addQueue(const Queue& queue)
{
    adminRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, queue.name, true, queue.paper);
}

void PrivateCups::deleteQueue(const std::string& queue)
{
    adminRequest(IPP_OP_CUPS_DELETE_PRINTER, queue, false, std::string());
}

void PrivateCups::setDefault(const std::string& queue)
{
    adminRequest(IPP_OP_CUPS_SET_DEFAULT, queue, false, std::string());
}

int PrivateCups::jobCount(const std::string& queue) const
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(count, jobs);
    return std::max(count, 0);
}

std::vector<PrivateCups::StoredJob> PrivateCups::storedJobs(size_t count, std::chrono::milliseconds timeout) const
{
    std::vector<std::pair<int, StoredJob>> found;
    waitUntil(
        [&] {
            found.clear();
            if (DIR* folder = ::opendir((m_folder + "/jobs").c_str())) {
                while (const struct dirent* entry = ::readdir(folder)) {
                    int id = 0;
                    char end = 0;
                    if (std::sscanf(entry->d_name, "job-%d.pd%c", &id, &end) == 2 && end == 'f') {
                        const std::string stem = m_folder + "/jobs/job-" + std::to_string(id);
                        found.push_back({id, {stem + ".pdf", readFile(stem + ".options")}});
                    }
                }
                ::closedir(folder);
            }
            return found.size() >= count;
        },
        timeout);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<StoredJob> jobs;
    for (auto& entry : found)
        jobs.push_back(std::move(entry.second));
    return jobs;
}

} // namespace support

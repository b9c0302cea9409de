#include "forms/PrintSystem_p.h"

#include "forms/DeviceWait.h"

#include "platform/LoadedLibrary.h"

#include <cups/cups.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace forms::printsystem {

namespace {

// libcups is loaded when printing is first used rather than at every start: the
// program is built against its headers only and reaches every function through
// this table.
#define TEVORA_CUPS_FUNCTIONS(F)                                                                                       \
    F(, cupsAddOption)                                                                                                 \
    F(, cupsDoRequest)                                                                                                 \
    F(, cupsEncodeOptions2)                                                                                            \
    F(, cupsEncryption)                                                                                                \
    F(, cupsFreeDests)                                                                                                 \
    F(, cupsFreeOptions)                                                                                               \
    F(, cupsGetDests2)                                                                                                 \
    F(, cupsGetResponse)                                                                                               \
    F(, cupsLastError)                                                                                                 \
    F(, cupsLastErrorString)                                                                                           \
    F(, cupsSendRequest)                                                                                               \
    F(, cupsServer)                                                                                                    \
    F(, cupsSetPasswordCB2)                                                                                            \
    F(, cupsSetServer)                                                                                                 \
    F(, cupsUser)                                                                                                      \
    F(, cupsWriteRequestData)                                                                                          \
    F(, httpAssembleURI)                                                                                               \
    F(, httpClose)                                                                                                     \
    F(, httpConnect2)                                                                                                  \
    F(, httpSetTimeout)                                                                                                \
    F(, httpStatus)                                                                                                    \
    F(, ippAddString)                                                                                                  \
    F(, ippAddStrings)                                                                                                 \
    F(, ippDelete)                                                                                                     \
    F(, ippErrorString)                                                                                                \
    F(, ippFindAttribute)                                                                                              \
    F(, ippGetBoolean)                                                                                                 \
    F(, ippGetInteger)                                                                                                 \
    F(, ippLength)                                                                                                     \
    F(, ippNewRequest)                                                                                                 \
    F(, ippPort)

struct Cups {
    static constexpr const char* FileName = "libcups.so.2";
    TEVORA_LIBRARY_TABLE(TEVORA_CUPS_FUNCTIONS)
};

// libcups, loaded by the first call that needs it; nullptr where it cannot be.
const Cups* loadedCups()
{
    return platform::loadedLibrary<Cups>();
}

// libcups on a path that only runs once a connection was made (so it is loaded).
const Cups& cups()
{
    return platform::library<Cups>();
}

using Clock = std::chrono::steady_clock;

// How often a silent connection looks at the clock, and how often the waiting
// thread looks whether the call has ended.
constexpr double SilencePollSeconds = 0.2;
constexpr int WaitPollMs = 10;
// A call that outlives its silence by this much is left to end on its own (a
// name lookup libcups cannot bound): the service is then taken as silent.
constexpr int GiveUpMarginMs = 3000;

// Where the window thread's print calls go while Qt must not reach the service: a
// socket that is not there, so every question fails at once.
constexpr const char* NoService = "/nonexistent/tevora-no-print-service";

const QueueStatus NoAnswerStatus{QueueState::NoAnswer, std::string()};
const QueueStatus UnreachableStatus{QueueState::Unreachable, std::string()};

// Whether the service stayed silent at the last call made to it: a call that got
// an answer (or found no service at all) takes it back.
std::atomic<bool> serviceFoundSilent{false};

// Notes what a call learnt of the service and gives it back.
const QueueStatus& learnt(const QueueStatus& status)
{
    serviceFoundSilent.store(status.state == QueueState::NoAnswer);
    return status;
}

// What a call's thread and the thread waiting for it share.
struct Watch {
    std::atomic<Clock::rep> lastHeard{Clock::now().time_since_epoch().count()};
    std::atomic<bool> done{false};

    void heard() { lastHeard.store(Clock::now().time_since_epoch().count()); }
    bool givenUp() const
    {
        const Clock::duration silence = Clock::now().time_since_epoch() - Clock::duration(lastHeard.load());
        return silence > std::chrono::milliseconds(ServiceSilenceMs + GiveUpMarginMs);
    }
};

// A connection of its own to the print service: it gives up on a request once
// the service has been silent for ServiceSilenceMs since it was last heard from
// (connected, took a piece of the document, or the call began waiting).
class Connection {
public:
    explicit Connection(std::shared_ptr<Watch> watch)
    {
        watchBy(std::move(watch));
        if (loadedCups()) {
            m_http = cups().httpConnect2(cups().cupsServer(), cups().ippPort(), nullptr, AF_UNSPEC,
                                         cups().cupsEncryption(), 1, ServiceSilenceMs, nullptr);
        }
        if (m_http)
            cups().httpSetTimeout(m_http, SilencePollSeconds, &Connection::keepWaiting, this);
        heard();
    }
    ~Connection()
    {
        if (m_http)
            cups().httpClose(m_http);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    explicit operator bool() const { return m_http != nullptr; }
    http_t* http() const { return m_http; }

    // A connection kept for a later call reports to that call's watch.
    void watchBy(std::shared_ptr<Watch> watch) { m_watch = std::move(watch); }
    const std::shared_ptr<Watch>& watch() const { return m_watch; }
    void heard()
    {
        m_silent = false;
        m_deadline = Clock::now() + std::chrono::milliseconds(ServiceSilenceMs);
        if (m_watch)
            m_watch->heard();
    }
    // True when the last request ended because the service stayed silent.
    bool silent() const { return m_silent; }

private:
    static int keepWaiting(http_t*, void* data)
    {
        auto* self = static_cast<Connection*>(data);
        if (Clock::now() < self->m_deadline)
            return 1;
        self->m_silent = true;
        return 0;
    }

    http_t* m_http = nullptr;
    std::shared_ptr<Watch> m_watch;
    Clock::time_point m_deadline;
    bool m_silent = false;
};

// A call to the service on a thread of its own. A call the service keeps silent
// ends by itself through its connection; one that does not is given up on, and
// left to end on its own.
template <class Result>
class ServiceCall {
public:
    using Work = std::function<Result(const std::shared_ptr<Watch>&)>;

    static std::shared_ptr<ServiceCall> start(Work work)
    {
        auto call = std::make_shared<ServiceCall>();
        std::thread([call, work = std::move(work)] {
            // A service that asks for a password gets none: the console prompt libcups
            // would otherwise show is out of the user's sight.
            cups().cupsSetPasswordCB2(
                [](const char*, http_t*, const char*, const char*, void*) -> const char* { return nullptr; },
                nullptr);
            call->m_result = work(call->m_watch);
            call->m_watch->done.store(true);
        }).detach();
        return call;
    }

    // True once the call has ended or has been given up on.
    bool ended() const { return m_watch->done.load() || m_watch->givenUp(); }
    // What the call gave, or `givenUp`; only once ended().
    Result result(Result givenUp) const { return m_watch->done.load() ? *m_result : std::move(givenUp); }

private:
    std::shared_ptr<Watch> m_watch = std::make_shared<Watch>();
    std::optional<Result> m_result;
};

// Runs a call on a thread of its own and waits for it (the windows paint
// meanwhile on the window thread); `givenUp` when it was given up on.
template <class Result>
Result callOnOwnThread(typename ServiceCall<Result>::Work work, Result givenUp)
{
    // Nothing to call without the library: no service to connect to.
    if (!loadedCups())
        return work(std::make_shared<Watch>());
    const auto call = ServiceCall<Result>::start(std::move(work));
    waitForDevice([&call] { return call->ended(); }, WaitPollMs);
    return call->result(std::move(givenUp));
}

// The queue of a printer name: the desktop lists instances as "queue/instance",
// and the service knows only the queue.
std::string queueOf(const std::string& printerName)
{
    return printerName.substr(0, printerName.find('/'));
}

std::string queueResource(const std::string& printerName)
{
    return "/printers/" + queueOf(printerName);
}

std::string queueUri(const std::string& printerName)
{
    char uri[HTTP_MAX_URI];
    cups().httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", cups().ippPort(),
                           queueResource(printerName).c_str());
    return uri;
}

// The service's last error and its words (the status's own name where it gave
// none), as they stood after a request.
struct ServiceError {
    ipp_status_t status;
    std::string words;
};

ServiceError lastError()
{
    const ipp_status_t status = cups().cupsLastError();
    const char* words = cups().cupsLastErrorString();
    return {status, words && *words ? words : cups().ippErrorString(status)};
}

QueueStatus statusOfError(const ServiceError& error)
{
    switch (error.status) {
    case IPP_STATUS_OK:
    case IPP_STATUS_OK_IGNORED_OR_SUBSTITUTED:
    case IPP_STATUS_OK_CONFLICTING:
        return {QueueState::Ready, std::string()};
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
        return UnreachableStatus;
    case IPP_STATUS_ERROR_NOT_FOUND:
        return {QueueState::Missing, std::string()};
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return {QueueState::NotAccepting, std::string()};
    default:
        return {QueueState::Failed, error.words};
    }
}

QueueStatus askQueue(Connection& connection, const std::string& printerName)
{
    ipp_t* request = cups().ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                        queueUri(printerName).c_str());
    static const char* const wanted[] = {"printer-is-accepting-jobs"};
    cups().ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr, wanted);
    connection.heard();
    ipp_t* response = cups().cupsDoRequest(connection.http(), request, "/");
    if (!response && connection.silent())
        return NoAnswerStatus;
    QueueStatus status = statusOfError(lastError());
    if (response && status.state == QueueState::Ready) {
        ipp_attribute_t* accepting = cups().ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
        if (accepting && !cups().ippGetBoolean(accepting, 0))
            status = {QueueState::NotAccepting, std::string()};
    } else if (!response && status.state == QueueState::Ready) {
        status = UnreachableStatus;
    }
    cups().ippDelete(response);
    return status;
}

// Why the service refused a request with `error`. Its answer does not always say
// (a missing queue can come back as a failed request), so the queue is asked on a
// new connection; where the queue itself is in order, the refusal's own words
// stand, or `otherwise` where they say nothing.
QueueStatus whyRefused(const std::shared_ptr<Watch>& watch, const std::string& printerName,
                       const ServiceError& error, const std::string& otherwise)
{
    Connection asking(watch);
    if (!asking)
        return UnreachableStatus;
    QueueStatus why = askQueue(asking, printerName);
    if (why.state == QueueState::Ready)
        why = statusOfError(error);
    if (why.state == QueueState::Ready)
        why = {QueueState::Failed, otherwise};
    return why;
}

} // namespace

class UnansweredJob {
public:
    UnansweredJob(std::unique_ptr<Connection> connection, std::string printerName)
        : connection(std::move(connection)), printerName(std::move(printerName))
    {
    }
    std::unique_ptr<Connection> connection;
    std::string printerName;
};

namespace {

// The service's answer to a job sent whole on this connection: the job's number,
// or why there is none, or the job still unanswered.
SendResult answerToJob(std::unique_ptr<Connection> connection, const std::string& printerName)
{
    SendResult result;
    connection->heard();
    ipp_t* response = cups().cupsGetResponse(connection->http(), queueResource(printerName).c_str());
    if (!response && connection->silent()) {
        result.why = NoAnswerStatus;
        result.unanswered = std::make_shared<UnansweredJob>(std::move(connection), printerName);
        return result;
    }
    const ServiceError error = lastError();
    if (response && error.status <= IPP_STATUS_OK_CONFLICTING) {
        if (ipp_attribute_t* id = cups().ippFindAttribute(response, "job-id", IPP_TAG_INTEGER))
            result.jobId = cups().ippGetInteger(id, 0);
    }
    cups().ippDelete(response);
    if (result.jobId <= 0)
        result.why = whyRefused(connection->watch(), printerName, error, error.words);
    return result;
}

// The steps of sending a document.

// The document's file, open for reading, and its size.
struct DocumentFile {
    explicit DocumentFile(const std::string& path) : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        struct stat info {};
        if (fd >= 0 && ::fstat(fd, &info) == 0)
            size = static_cast<size_t>(info.st_size);
        else
            close();
    }
    ~DocumentFile() { close(); }
    DocumentFile(const DocumentFile&) = delete;
    DocumentFile& operator=(const DocumentFile&) = delete;

    explicit operator bool() const { return fd >= 0; }
    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    int fd;
    size_t size = 0;
};

const QueueStatus UnreadableDocument{QueueState::Failed, "一時ファイルを読めません"};

// One Print-Job request for the queue with the job's title and options; the
// document follows it.
ipp_t* printJobRequest(const std::string& printerName, const std::string& title,
                       const std::vector<std::pair<std::string, std::string>>& options)
{
    ipp_t* request = cups().ippNewRequest(IPP_OP_PRINT_JOB);
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                        queueUri(printerName).c_str());
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cups().cupsUser());
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, "application/pdf");
    cups_option_t* jobOptions = nullptr;
    int optionCount = 0;
    for (const auto& [name, value] : options)
        optionCount = cups().cupsAddOption(name.c_str(), value.c_str(), optionCount, &jobOptions);
    cups().cupsEncodeOptions2(request, optionCount, jobOptions, IPP_TAG_OPERATION);
    cups().cupsEncodeOptions2(request, optionCount, jobOptions, IPP_TAG_JOB);
    cups().cupsFreeOptions(optionCount, jobOptions);
    return request;
}

// How the request and its document went out.
struct Sending {
    http_status_t status = HTTP_STATUS_CONTINUE;
    bool documentRead = true;   // false when the file could not be read to its end
};

// Sends the request and then the document in pieces, each piece heard as a sign
// of life, so that a service that stops taking them is given up on.
Sending sendRequestWithDocument(Connection& connection, ipp_t* request, const std::string& printerName,
                                DocumentFile& document)
{
    Sending sending;
    sending.status = cups().cupsSendRequest(connection.http(), request, queueResource(printerName).c_str(),
                                            cups().ippLength(request) + document.size);
    char buffer[32768];
    ssize_t bytes = 0;
    while (sending.status == HTTP_STATUS_CONTINUE && (bytes = ::read(document.fd, buffer, sizeof buffer)) > 0) {
        connection.heard();
        sending.status = cups().cupsWriteRequestData(connection.http(), buffer, static_cast<size_t>(bytes));
    }
    sending.documentRead = bytes >= 0;
    return sending;
}

SendResult sendOnOwnConnection(const std::shared_ptr<Watch>& watch, const std::string& printerName,
                               const std::string& pdfFile, const std::string& title,
                               const std::vector<std::pair<std::string, std::string>>& options)
{
    SendResult result;
    auto connection = std::make_unique<Connection>(watch);
    if (!*connection) {
        result.why = UnreachableStatus;
        return result;
    }
    DocumentFile document(pdfFile);
    if (!document) {
        result.why = UnreadableDocument;
        return result;
    }
    // One request with the document: the service makes a job only when the whole
    // of it arrived.
    ipp_t* request = printJobRequest(printerName, title, options);
    const Sending sending = sendRequestWithDocument(*connection, request, printerName, document);
    cups().ippDelete(request);
    document.close();
    if (!sending.documentRead) {
        // The drawing could not be read to its end: the request never went whole,
        // so the service makes no job of it.
        result.why = UnreadableDocument;
        return result;
    }
    if (sending.status != HTTP_STATUS_CONTINUE && sending.status != HTTP_STATUS_OK) {
        // The request did not go whole: the service makes no job of it.
        result.why = connection->silent()
                         ? NoAnswerStatus
                         : whyRefused(watch, printerName, lastError(), cups().httpStatus(sending.status));
        return result;
    }
    return answerToJob(std::move(connection), printerName);
}

SendResult learnt(SendResult result)
{
    learnt(result.jobId > 0 ? QueueStatus{} : result.why);
    return result;
}

QueueList readQueues(const std::shared_ptr<Watch>& watch)
{
    QueueList list;
    Connection connection(watch);
    if (!connection) {
        list.status = UnreachableStatus;
        return list;
    }
    cups_dest_t* dests = nullptr;
    const int count = cups().cupsGetDests2(connection.http(), &dests);
    for (int i = 0; i < count; ++i) {
        std::string name = dests[i].name;
        if (dests[i].instance)
            name += std::string("/") + dests[i].instance;
        if (dests[i].is_default)
            list.defaultName = name;
        list.names.push_back(std::move(name));
    }
    cups().cupsFreeDests(count, dests);
    // The list takes several requests: one the service kept silent on is given up
    // and the next may still be answered, so a list read while the service fell
    // silent or came back may lack its default printer. It is no answer.
    if (connection.silent()) {
        QueueList unanswered;
        unanswered.status = NoAnswerStatus;
        return unanswered;
    }
    if (count == 0 && cups().cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        list.status = UnreachableStatus;
    return list;
}

} // namespace

class QueueListQuestion::Call {
public:
    // None without libcups: there is no service to ask.
    std::shared_ptr<ServiceCall<QueueList>> call;
};

QueueListQuestion::QueueListQuestion() : m_call(std::make_shared<Call>())
{
    if (loadedCups())
        m_call->call = ServiceCall<QueueList>::start(readQueues);
}

bool QueueListQuestion::ended() const
{
    return !m_call->call || m_call->call->ended();
}

QueueList QueueListQuestion::list() const
{
    QueueList list;
    list.status = m_call->call ? NoAnswerStatus : UnreachableStatus;
    if (m_call->call)
        list = m_call->call->result(list);
    learnt(list.status);
    return list;
}

QueueStatus checkQueue(const std::string& printerName)
{
    return learnt(callOnOwnThread<QueueStatus>(
        [printerName](const std::shared_ptr<Watch>& watch) {
            Connection connection(watch);
            if (!connection)
                return UnreachableStatus;
            return askQueue(connection, printerName);
        },
        NoAnswerStatus));
}

SendResult sendDocument(const std::string& printerName, const std::string& pdfFile, const std::string& title,
                        const std::vector<std::pair<std::string, std::string>>& options)
{
    SendResult silent;
    silent.why = NoAnswerStatus;
    return learnt(callOnOwnThread<SendResult>(
        [=](const std::shared_ptr<Watch>& watch) {
            return sendOnOwnConnection(watch, printerName, pdfFile, title, options);
        },
        silent));
}

SendResult awaitAnswer(std::shared_ptr<UnansweredJob> job)
{
    SendResult silent;
    silent.why = NoAnswerStatus;
    if (!job || !job->connection)
        return silent;
    return learnt(callOnOwnThread<SendResult>(
        [job](const std::shared_ptr<Watch>& watch) {
            job->connection->watchBy(watch);
            return answerToJob(std::move(job->connection), job->printerName);
        },
        silent));
}

std::string reasonText(const QueueStatus& status)
{
    switch (status.state) {
    case QueueState::Ready:
        return std::string();
    case QueueState::Unreachable:
        return "印刷システムに接続できません";
    case QueueState::NoAnswer:
        return "印刷システムが応答しません";
    case QueueState::Missing:
        return "プリンタが見つかりません";
    case QueueState::NotAccepting:
        return "プリンタが印刷を受け付けていません";
    case QueueState::Failed:
        break;
    }
    return "印刷システムが受け付けませんでした: " + status.detail;
}

namespace {

// True when the service does not answer a question at once: as the last call
// found it when that call met silence, else asked now.
bool serviceSilent()
{
    if (serviceFoundSilent.load())
        return true;
    const QueueStatus answer = callOnOwnThread<QueueStatus>(
        [](const std::shared_ptr<Watch>& watch) {
            Connection connection(watch);
            if (!connection)
                return UnreachableStatus;
            connection.heard();
            cups().ippDelete(cups().cupsDoRequest(connection.http(), cups().ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/"));
            return connection.silent() ? NoAnswerStatus : QueueStatus{};
        },
        NoAnswerStatus);
    return learnt(answer).state == QueueState::NoAnswer;
}

} // namespace

void forgetSilence()
{
    serviceFoundSilent.store(false);
}

namespace {

// Qt's calls without the service, on this thread, and those made while the
// caller holds the service's answer: a call inside one of them shares it.
thread_local int withoutServiceDepth = 0;
thread_local int answeredDepth = 0;

} // namespace

QtPrintSupportCall::QtPrintSupportCall(QtServiceUse use)
{
    // Without libcups Qt's print support has no service to ask either.
    if (!loadedCups())
        return;
    if (use == QtServiceUse::None || withoutServiceDepth > 0)
        m_withoutService = true;
    else if (use == QtServiceUse::Answered || answeredDepth > 0)
        m_answered = true;
    else
        m_withoutService = serviceSilent();
    if (m_withoutService && withoutServiceDepth++ == 0)
        cups().cupsSetServer(NoService);
    if (m_answered)
        ++answeredDepth;
}

QtPrintSupportCall::~QtPrintSupportCall()
{
    // Back to the service the environment names (also dropping the connection
    // to no service).
    if (m_withoutService && --withoutServiceDepth == 0)
        cups().cupsSetServer(nullptr);
    if (m_answered)
        --answeredDepth;
}

} // namespace forms::printsystem

#include "forms/PrintSystem_p.h"

#include <cups/cups.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

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
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, ServiceSilenceMs,
                              nullptr);
        if (m_http)
            httpSetTimeout(m_http, SilencePollSeconds, &Connection::keepWaiting, this);
        heard();
    }
    ~Connection()
    {
        if (m_http)
            httpClose(m_http);
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

// Runs a call on a thread of its own and waits for it: with an event loop on the
// window thread (the windows paint, timers run, the user's input waits), else by
// sleeping. A call the service keeps silent ends by itself through its
// connection; one that does not is left to end on its own and gives `givenUp`.
template <class Result>
Result awayFromWindows(std::function<Result(const std::shared_ptr<Watch>&)> call, Result givenUp)
{
    auto watch = std::make_shared<Watch>();
    auto result = std::make_shared<std::optional<Result>>();
    std::thread worker([watch, result, call = std::move(call)] {
        // A service that asks for a password gets none: the console prompt libcups
        // would otherwise show is out of the user's sight.
        cupsSetPasswordCB2([](const char*, http_t*, const char*, const char*, void*) -> const char* { return nullptr; },
                           nullptr);
        *result = call(watch);
        watch->done.store(true);
    });
    const auto ended = [&watch] { return watch->done.load() || watch->givenUp(); };
    QCoreApplication* application = QCoreApplication::instance();
    if (application && QThread::currentThread() == application->thread()) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (ended())
                loop.quit();
        });
        poll.start(WaitPollMs);
        if (!ended())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    } else {
        while (!ended())
            std::this_thread::sleep_for(std::chrono::milliseconds(WaitPollMs));
    }
    if (!watch->done.load()) {
        worker.detach();
        return givenUp;
    }
    worker.join();
    return std::move(**result);
}

// The queue of a printer name: the desktop lists instances as "queue/instance",
// and the service knows only the queue.
std::string queueOf(const std::string& printerName)
{
    return printerName.substr(0, printerName.find('/'));
}

std::string queueUri(const std::string& printerName)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queueOf(printerName).c_str());
    return uri;
}

QueueStatus statusOfError(ipp_status_t error)
{
    switch (error) {
    case IPP_STATUS_OK:
    case IPP_STATUS_OK_IGNORED_OR_SUBSTITUTED:
    case IPP_STATUS_OK_CONFLICTING:
        return {QueueState::Ready, std::string()};
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
        return {QueueState::Unreachable, std::string()};
    case IPP_STATUS_ERROR_NOT_FOUND:
        return {QueueState::Missing, std::string()};
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return {QueueState::NotAccepting, std::string()};
    default: {
        const char* words = cupsLastErrorString();
        return {QueueState::Failed, words ? words : ippErrorString(error)};
    }
    }
}

QueueStatus askQueue(Connection& connection, const std::string& printerName)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, queueUri(printerName).c_str());
    static const char* const wanted[] = {"printer-is-accepting-jobs"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr, wanted);
    connection.heard();
    ipp_t* response = cupsDoRequest(connection.http(), request, "/");
    if (!response && connection.silent())
        return {QueueState::NoAnswer, std::string()};
    QueueStatus status = statusOfError(cupsLastError());
    if (response && status.state == QueueState::Ready) {
        ipp_attribute_t* accepting = ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
        if (accepting && !ippGetBoolean(accepting, 0))
            status = {QueueState::NotAccepting, std::string()};
    } else if (!response && status.state == QueueState::Ready) {
        status = {QueueState::Unreachable, std::string()};
    }
    ippDelete(response);
    return status;
}

const QueueStatus NoAnswerStatus{QueueState::NoAnswer, std::string()};

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
// or why there is none (the queue is asked when the answer does not say), or the
// job still unanswered.
SendResult answerToJob(std::unique_ptr<Connection> connection, const std::string& printerName)
{
    SendResult result;
    const std::string resource = "/printers/" + queueOf(printerName);
    connection->heard();
    ipp_t* response = cupsGetResponse(connection->http(), resource.c_str());
    if (!response && connection->silent()) {
        result.why = NoAnswerStatus;
        result.unanswered = std::make_shared<UnansweredJob>(std::move(connection), printerName);
        return result;
    }
    const ipp_status_t error = cupsLastError();
    const std::string words = cupsLastErrorString() ? cupsLastErrorString() : std::string();
    if (response && error <= IPP_STATUS_OK_CONFLICTING) {
        if (ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER))
            result.jobId = ippGetInteger(id, 0);
    }
    ippDelete(response);
    if (result.jobId > 0)
        return result;
    // The service's answer does not always say why (a missing queue can come back
    // as a failed request), so the queue is asked; the answer's own words stand
    // where the queue itself is in order.
    Connection asking(connection->watch());
    result.why = asking ? askQueue(asking, printerName) : QueueStatus{QueueState::Unreachable, std::string()};
    if (result.why.state == QueueState::Ready) {
        result.why = statusOfError(error);
        if (result.why.state == QueueState::Ready || result.why.state == QueueState::Failed)
            result.why = {QueueState::Failed, words.empty() ? std::string(ippErrorString(error)) : words};
    }
    return result;
}

} // namespace

QueueList queues()
{
    QueueList silent;
    silent.status = NoAnswerStatus;
    return awayFromWindows<QueueList>(
        [](const std::shared_ptr<Watch>& watch) {
            QueueList list;
            Connection connection(watch);
            if (!connection) {
                list.status = {QueueState::Unreachable, std::string()};
                return list;
            }
            cups_dest_t* dests = nullptr;
            const int count = cupsGetDests2(connection.http(), &dests);
            for (int i = 0; i < count; ++i) {
                std::string name = dests[i].name;
                if (dests[i].instance)
                    name += std::string("/") + dests[i].instance;
                if (dests[i].is_default)
                    list.defaultName = name;
                list.names.push_back(std::move(name));
            }
            cupsFreeDests(count, dests);
            if (count == 0 && connection.silent())
                list.status = NoAnswerStatus;
            else if (count == 0 && cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
                list.status = {QueueState::Unreachable, std::string()};
            return list;
        },
        silent);
}

QueueStatus checkQueue(const std::string& printerName)
{
    return awayFromWindows<QueueStatus>(
        [printerName](const std::shared_ptr<Watch>& watch) {
            Connection connection(watch);
            if (!connection)
                return QueueStatus{QueueState::Unreachable, std::string()};
            return askQueue(connection, printerName);
        },
        NoAnswerStatus);
}

SendResult sendDocument(const std::string& printerName, const std::string& pdfFile, const std::string& title,
                        const std::vector<std::pair<std::string, std::string>>& options)
{
    SendResult silent;
    silent.why = NoAnswerStatus;
    return awayFromWindows<SendResult>(
        [=](const std::shared_ptr<Watch>& watch) {
            SendResult result;
            auto connection = std::make_unique<Connection>(watch);
            if (!*connection) {
                result.why = {QueueState::Unreachable, std::string()};
                return result;
            }
            const int file = ::open(pdfFile.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat info {};
            if (file < 0 || ::fstat(file, &info) != 0) {
                if (file >= 0)
                    ::close(file);
                result.why = {QueueState::Failed, "一時ファイルを読めません"};
                return result;
            }
            // One Print-Job request with the document: the service makes a job only
            // when the whole of it arrived.
            ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                         queueUri(printerName).c_str());
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                         "application/pdf");
            cups_option_t* jobOptions = nullptr;
            int optionCount = 0;
            for (const auto& [name, value] : options)
                optionCount = cupsAddOption(name.c_str(), value.c_str(), optionCount, &jobOptions);
            cupsEncodeOptions2(request, optionCount, jobOptions, IPP_TAG_OPERATION);
            cupsEncodeOptions2(request, optionCount, jobOptions, IPP_TAG_JOB);
            cupsFreeOptions(optionCount, jobOptions);

            const std::string resource = "/printers/" + queueOf(printerName);
            http_status_t status = cupsSendRequest(connection->http(), request, resource.c_str(),
                                                   ippLength(request) + static_cast<size_t>(info.st_size));
            ippDelete(request);
            char buffer[32768];
            ssize_t bytes = 0;
            while (status == HTTP_STATUS_CONTINUE && (bytes = ::read(file, buffer, sizeof buffer)) > 0) {
                connection->heard();
                status = cupsWriteRequestData(connection->http(), buffer, static_cast<size_t>(bytes));
            }
            ::close(file);
            if (bytes < 0) {
                // The drawing could not be read to its end: the request never went
                // whole, so the service makes no job of it.
                result.why = {QueueState::Failed, "一時ファイルを読めません"};
                return result;
            }
            if (status != HTTP_STATUS_CONTINUE && status != HTTP_STATUS_OK) {
                // The request did not go whole: the service makes no job of it.
                if (connection->silent()) {
                    result.why = NoAnswerStatus;
                    return result;
                }
                const ipp_status_t error = cupsLastError();
                connection = std::make_unique<Connection>(watch);
                result.why = *connection ? askQueue(*connection, printerName)
                                         : QueueStatus{QueueState::Unreachable, std::string()};
                if (result.why.state == QueueState::Ready)
                    result.why = statusOfError(error);
                if (result.why.state == QueueState::Ready)
                    result.why = {QueueState::Failed, httpStatus(status)};
                return result;
            }
            return answerToJob(std::move(connection), printerName);
        },
        silent);
}

SendResult awaitAnswer(std::shared_ptr<UnansweredJob> job)
{
    SendResult silent;
    silent.why = NoAnswerStatus;
    if (!job || !job->connection)
        return silent;
    return awayFromWindows<SendResult>(
        [job](const std::shared_ptr<Watch>& watch) {
            job->connection->watchBy(watch);
            return answerToJob(std::move(job->connection), job->printerName);
        },
        silent);
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

// True when the service takes a connection and does not answer a question at once.
bool serviceSilent()
{
    return awayFromWindows<bool>(
        [](const std::shared_ptr<Watch>& watch) {
            Connection connection(watch);
            if (!connection)
                return false;
            connection.heard();
            ippDelete(cupsDoRequest(connection.http(), ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/"));
            return connection.silent();
        },
        true);
}

// Qt's calls without the service, on this thread; nested calls share it.
thread_local int withoutServiceDepth = 0;

} // namespace

QtPrintSupportCall::QtPrintSupportCall(bool needsService)
{
    m_withoutService = withoutServiceDepth > 0 || !needsService || serviceSilent();
    if (m_withoutService && withoutServiceDepth++ == 0)
        cupsSetServer(NoService);
}

QtPrintSupportCall::~QtPrintSupportCall()
{
    // Back to the service the environment names (also dropping the connection
    // to no service).
    if (m_withoutService && --withoutServiceDepth == 0)
        cupsSetServer(nullptr);
}

} // namespace forms::printsystem

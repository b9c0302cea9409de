#pragma once
// The system's print service (CUPS, through libcups), for use inside src/forms
// only: the queues it offers and its default one, whether a queue can take a job
// now, and the sending of a finished PDF document as one job. Every call asks the
// service afresh, so a queue added, refused or deleted since the last call is
// seen at once; only whether the service stayed silent is kept (for Qt's calls,
// below). libcups is loaded when the first of these calls is made, not at start:
// where it cannot be loaded there is no service to connect to.
//
// A service can hang (it accepts the connection and never answers), so no call
// waits for it on the window thread: each runs on a thread of its own over a
// connection of its own, and gives up once the service has been silent for
// ServiceSilenceMs. The calling thread waits for it with an event loop that
// paints the windows and runs timers; the user's input waits for the answer, as
// it does while any other device is asked.

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace forms::printsystem {

// How long the service may stay silent (not answer a request, not take the next
// piece of a document) before a call gives up on it.
constexpr int ServiceSilenceMs = 4000;

// Why a queue cannot take a job, or Ready.
enum class QueueState {
    Ready,
    Unreachable,    // no print service to connect to
    NoAnswer,       // the service took the connection and stayed silent
    Missing,        // the service has no such queue (deleted, renamed)
    NotAccepting,   // the queue refuses new jobs
    Failed,         // any other refusal; detail holds the service's words
};
struct QueueStatus {
    QueueState state = QueueState::Ready;
    std::string detail;
};

struct QueueList {
    // "queue" or "queue/instance", in the service's order.
    std::vector<std::string> names;
    // The desktop's default destination (the user's own choice first, then the
    // service's); empty when there is none or the service does not answer.
    std::string defaultName;
    // Ready when the service gave the list; else why there is none.
    QueueStatus status;
};

// The list of queues asked for on a thread of its own while the caller goes on:
// the caller looks whether the question has ended (answered, or given up on once
// the service stayed silent) and then takes the list.
class QueueListQuestion {
public:
    // Asks the service now.
    QueueListQuestion();
    bool ended() const;
    // The list, or why there is none; only once ended().
    QueueList list() const;

    class Call;

private:
    std::shared_ptr<Call> m_call;
};

// Asks the service about the queue of a printer name ("queue/instance" asks about
// the queue).
QueueStatus checkQueue(const std::string& printerName);

// A job sent whole whose answer did not come in time: the service may still take
// it, so it is asked for that answer again (awaitAnswer) rather than sent twice.
// Dropping it closes its connection.
class UnansweredJob;

// Sends a PDF file to the queue of a printer name as one job (one request that
// holds the document, so the service makes a job only of a whole document) with
// these job options. The job's number when the service took it; 0 and why when
// not, with the unanswered job when the document went whole and no answer came.
struct SendResult {
    int jobId = 0;
    QueueStatus why;
    std::shared_ptr<UnansweredJob> unanswered;
};
SendResult sendDocument(const std::string& printerName, const std::string& pdfFile, const std::string& title,
                        const std::vector<std::pair<std::string, std::string>>& options);
// Waits once more for the answer to a job sent before; the same kinds of result.
SendResult awaitAnswer(std::shared_ptr<UnansweredJob> job);

// Why a job could not go to the queue, in words the user knows.
std::string reasonText(const QueueStatus& status);

// Qt's print support asks the service itself, on the calling thread and with no
// time limit (every QPrinter made, a printer name set, the page set-up dialog).
// While one of these lives, those questions are answered at once: with no service
// for a printer that does not need one (the PDF printer, a job's PDF file), and,
// for a system printer, with no service when the service does not answer now
// (the printer then has the page set-up of a printer the service does not know).
// A service that stayed silent at the last call made to it is taken as silent
// until a call gets an answer again; otherwise it is asked a quick question,
// unless the caller holds the service's answer already (the printer list that
// has just arrived): then Qt may ask it, also in the calls made inside.
enum class QtServiceUse {
    None,             // the printer needs no service
    WhileAnswering,   // a printer of the service
    Answered,         // a printer of the service, which has just answered the caller
};
class QtPrintSupportCall {
public:
    explicit QtPrintSupportCall(QtServiceUse use);
    ~QtPrintSupportCall();
    QtPrintSupportCall(const QtPrintSupportCall&) = delete;
    QtPrintSupportCall& operator=(const QtPrintSupportCall&) = delete;

private:
    bool m_withoutService = false;
    bool m_answered = false;
};
// Forgets that the service stayed silent: the next Qt call asks it again.
void forgetSilence();

} // namespace forms::printsystem

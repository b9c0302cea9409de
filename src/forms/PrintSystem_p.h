#pragma once
// The system's print service (CUPS, through libcups), for use inside src/forms
// only: the queues it offers and its default one, whether a queue can take a job
// now, and the sending of a finished PDF document as one job. Every call asks the
// service afresh; nothing is cached, so a queue added, refused or deleted since
// the last call is seen at once.

#include <string>
#include <utility>
#include <vector>

namespace forms::printsystem {

struct QueueList {
    // "queue" or "queue/instance", in the service's order.
    std::vector<std::string> names;
    // The desktop's default destination (the user's own choice first, then the
    // service's); empty when there is none or the service does not answer.
    std::string defaultName;
};
QueueList queues();

// Why a queue cannot take a job, or Ready.
enum class QueueState {
    Ready,
    Unreachable,    // the print service does not answer
    Missing,        // the service has no such queue (deleted, renamed)
    NotAccepting,   // the queue refuses new jobs
    Failed,         // any other refusal; detail holds the service's words
};
struct QueueStatus {
    QueueState state = QueueState::Ready;
    std::string detail;
};

// Asks the service about the queue of a printer name ("queue/instance" asks about
// the queue).
QueueStatus checkQueue(const std::string& printerName);

// Sends a PDF file to the queue of a printer name as one job with these job
// options. The job's number when the service took it; 0 and why when not.
struct SendResult {
    int jobId = 0;
    QueueStatus why;
};
SendResult sendDocument(const std::string& printerName, const std::string& pdfFile, const std::string& title,
                        const std::vector<std::pair<std::string, std::string>>& options);

// Why a job could not go to the queue, in words the user knows.
std::string reasonText(const QueueStatus& status);

} // namespace forms::printsystem

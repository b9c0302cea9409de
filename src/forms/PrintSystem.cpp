#include "forms/PrintSystem_p.h"

#include <cups/cups.h>

namespace forms::printsystem {

namespace {

// The queue of a printer name: the desktop lists instances as "queue/instance",
// and the service knows only the queue.
std::string queueOf(const std::string& printerName)
{
    return printerName.substr(0, printerName.find('/'));
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

} // namespace

QueueList queues()
{
    QueueList list;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        std::string name = dests[i].name;
        if (dests[i].instance)
            name += std::string("/") + dests[i].instance;
        if (dests[i].is_default)
            list.defaultName = name;
        list.names.push_back(std::move(name));
    }
    cupsFreeDests(count, dests);
    return list;
}

QueueStatus checkQueue(const std::string& printerName)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queueOf(printerName).c_str());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-is-accepting-jobs"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr, wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
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

SendResult sendDocument(const std::string& printerName, const std::string& pdfFile, const std::string& title,
                        const std::vector<std::pair<std::string, std::string>>& options)
{
    cups_option_t* jobOptions = nullptr;
    int optionCount = 0;
    for (const auto& [name, value] : options)
        optionCount = cupsAddOption(name.c_str(), value.c_str(), optionCount, &jobOptions);
    SendResult result;
    result.jobId = cupsPrintFile2(CUPS_HTTP_DEFAULT, queueOf(printerName).c_str(), pdfFile.c_str(), title.c_str(),
                                  optionCount, jobOptions);
    cupsFreeOptions(optionCount, jobOptions);
    if (result.jobId > 0)
        return result;
    // The service's answer to the job does not always say why (a missing queue
    // comes back as a failed file), so the queue is asked; its own words stand
    // where the queue itself is in order.
    const ipp_status_t error = cupsLastError();
    const std::string words = cupsLastErrorString() ? cupsLastErrorString() : std::string();
    result.why = checkQueue(printerName);
    if (result.why.state == QueueState::Ready) {
        result.why = statusOfError(error);
        if (result.why.state == QueueState::Ready || result.why.state == QueueState::Failed)
            result.why = {QueueState::Failed, words.empty() ? std::string(ippErrorString(error)) : words};
    }
    return result;
}

std::string reasonText(const QueueStatus& status)
{
    switch (status.state) {
    case QueueState::Ready:
        return std::string();
    case QueueState::Unreachable:
        return "印刷システムに接続できません";
    case QueueState::Missing:
        return "プリンタが見つかりません";
    case QueueState::NotAccepting:
        return "プリンタが印刷を受け付けていません";
    case QueueState::Failed:
        break;
    }
    return "印刷システムが受け付けませんでした: " + status.detail;
}

} // namespace forms::printsystem

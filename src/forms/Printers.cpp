#include "forms/Printers.h"

#include "forms/PrintSystem_p.h"

#include "platform/Errors.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace forms {

namespace {

struct PrinterList {
    std::vector<PrinterInfo> printers;
    std::string defaultName;
    // Why the system's printers are not in the list (Ready when they are).
    printsystem::QueueStatus service;
};

std::optional<PrinterList>& injected()
{
    static std::optional<PrinterList> list;
    return list;
}

// The program's PDF printer, then the system's printers as last read.
std::optional<PrinterList>& systemList()
{
    static std::optional<PrinterList> list;
    return list;
}

PrinterList readSystemList()
{
    PrinterList list;
    const char* none = std::getenv("TEVORA_NO_PRINTERS");
    if (none && *none)
        return list;
    list.printers.push_back({PdfPrinterName});
    const printsystem::QueueList queues = printsystem::queues();
    for (const std::string& name : queues.names) {
        if (name != PdfPrinterName)
            list.printers.push_back({name});
    }
    list.defaultName = queues.defaultName;
    list.service = queues.status;
    return list;
}

const PrinterList& currentList()
{
    if (injected())
        return *injected();
    if (!systemList())
        systemList() = readSystemList();
    return *systemList();
}

} // namespace

int PrinterCollection::count() const
{
    return static_cast<int>(all().size());
}

const PrinterInfo& PrinterCollection::item(int index) const
{
    const auto& list = all();
    if (index < 0 || index >= static_cast<int>(list.size()))
        throw platform::RuntimeError(9, "インデックスが有効範囲にありません。");
    return list[static_cast<size_t>(index)];
}

const std::vector<PrinterInfo>& PrinterCollection::all() const
{
    return currentList().printers;
}

std::string PrinterCollection::defaultDeviceName() const
{
    const PrinterList& list = currentList();
    const auto holds = [&list](const std::string& name) {
        return std::any_of(list.printers.begin(), list.printers.end(),
                           [&name](const PrinterInfo& info) { return info.deviceName == name; });
    };
    if (!list.defaultName.empty() && holds(list.defaultName))
        return list.defaultName;
    return list.printers.empty() ? std::string() : list.printers.front().deviceName;
}

std::string PrinterCollection::whyNotListed(const std::string& deviceName) const
{
    const PrinterList& list = currentList();
    for (const PrinterInfo& info : list.printers) {
        if (info.deviceName == deviceName)
            return std::string();
    }
    if (list.service.state != printsystem::QueueState::Ready)
        return printsystem::reasonText(list.service);
    return printsystem::reasonText({printsystem::QueueState::Missing, std::string()});
}

PrinterCollection& Printers()
{
    static PrinterCollection collection;
    return collection;
}

void refreshPrinters()
{
    if (!injected())
        systemList() = readSystemList();
}

void setPrinterList(const std::vector<std::string>& deviceNames)
{
    PrinterList list;
    for (const std::string& name : deviceNames)
        list.printers.push_back({name});
    injected() = std::move(list);
}

void resetPrinterList()
{
    injected().reset();
    systemList().reset();
}

} // namespace forms

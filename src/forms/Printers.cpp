#include "forms/Printers.h"

#include "platform/Errors.h"

#include <QGuiApplication>
#include <QPrinterInfo>
#include <QStringList>

#include <cstdlib>
#include <optional>

namespace forms {

namespace {

std::optional<std::vector<PrinterInfo>>& injected()
{
    static std::optional<std::vector<PrinterInfo>> list;
    return list;
}

// The printers the system offers (CUPS through Qt), read once: asking the print
// system on every look-up would be slow, and the list must not change under a
// window that shows it.
const std::vector<std::string>& systemPrinterNames()
{
    static std::vector<std::string> names;
    static bool read = false;
    if (!read && QGuiApplication::instance()) {
        read = true;
        for (const QString& name : QPrinterInfo::availablePrinterNames()) {
            if (name.toStdString() != PdfPrinterName)
                names.push_back(name.toStdString());
        }
    }
    return names;
}

const std::vector<PrinterInfo>& defaultList()
{
    static std::vector<PrinterInfo> list;
    list.clear();
    const char* none = std::getenv("TEVORA_NO_PRINTERS");
    if (!none || !*none) {
        list.push_back({PdfPrinterName});
        for (const std::string& name : systemPrinterNames())
            list.push_back({name});
    }
    return list;
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
    if (injected())
        return *injected();
    return defaultList();
}

PrinterCollection& Printers()
{
    static PrinterCollection collection;
    return collection;
}

void setPrinterList(const std::vector<std::string>& deviceNames)
{
    std::vector<PrinterInfo> list;
    for (const std::string& name : deviceNames)
        list.push_back({name});
    injected() = std::move(list);
}

void resetPrinterList()
{
    injected().reset();
}

} // namespace forms

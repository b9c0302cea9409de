#include "forms/Printers.h"

#include "platform/Errors.h"

#include <cstdlib>
#include <optional>

namespace forms {

namespace {

std::optional<std::vector<PrinterInfo>>& injected()
{
    static std::optional<std::vector<PrinterInfo>> list;
    return list;
}

const std::vector<PrinterInfo>& defaultList()
{
    static std::vector<PrinterInfo> list;
    list.clear();
    const char* none = std::getenv("TEVORA_NO_PRINTERS");
    if (!none || !*none)
        list.push_back({PdfPrinterName});
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

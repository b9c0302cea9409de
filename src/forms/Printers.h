#pragma once
// The Printers collection: how many printers there are and their DeviceName.
// By default it holds the program's PDF printer followed by the printers the
// system offers (CUPS, read once), or nothing when the environment variable
// TEVORA_NO_PRINTERS is set (to try the paths that refuse printing). The list
// is injectable: tests set it empty or to printers of their own.

#include <string>
#include <vector>

namespace forms {

inline constexpr const char* PdfPrinterName = "Tevora PDF";

struct PrinterInfo {
    std::string deviceName;
};

class PrinterCollection {
public:
    int count() const;
    // Printers(i), 0-based; out of range raises 9.
    const PrinterInfo& item(int index) const;
    const std::vector<PrinterInfo>& all() const;
};

PrinterCollection& Printers();

// Replaces the list (tests, settings); resetPrinterList returns to the default.
void setPrinterList(const std::vector<std::string>& deviceNames);
void resetPrinterList();

} // namespace forms

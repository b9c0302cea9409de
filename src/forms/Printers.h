#pragma once
// The Printers collection: how many printers there are and their DeviceName.
// By default it holds the program's PDF printer followed by the printers the
// system offers (the CUPS destinations), or nothing when the environment variable
// TEVORA_NO_PRINTERS is set (to try the paths that refuse printing). The system's
// printers are read at the first look-up and again by refreshPrinters, which the
// window that shows the list calls when it opens: a list read on every look-up
// could change under a window that shows it. A service that is not running or
// does not answer within a few seconds leaves the PDF printer alone in the list,
// and whyNotListed says so. The list is injectable: tests set it empty or to
// printers of their own.

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
    // The desktop's default printer when the list holds it, else the first one:
    // the PDF printer in the system's list ("" for an empty list).
    std::string defaultDeviceName() const;
    // Why a printer is not in the list, in words the user knows: the print
    // service has no such printer, or it could not be asked (not running, not
    // answering). "" for a printer in the list.
    std::string whyNotListed(const std::string& deviceName) const;
};

PrinterCollection& Printers();

// Reads the system's printers again (a queue added or deleted since shows).
void refreshPrinters();

// Replaces the list (tests, settings; its first printer is the default one);
// resetPrinterList returns to the system's list, read afresh.
void setPrinterList(const std::vector<std::string>& deviceNames);
void resetPrinterList();

} // namespace forms

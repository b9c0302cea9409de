#pragma once
// The Printers collection: how many printers there are and their DeviceName.
// By default it holds the program's PDF printer followed by the printers the
// system offers (the CUPS destinations), or nothing when the environment variable
// TEVORA_NO_PRINTERS is set (to try the paths that refuse printing). Nothing
// waits on the print service for it, and nothing asks it at start: until the
// system's printers are learnt the collection holds the PDF printer alone.
// The service is asked in the background (refreshPrinters, learnPrinters); the
// collection keeps the list as it was until the answer arrives, and then the
// followers (PrinterListFollower) are told, so a window shows the new list at
// once. A list read on every look-up could change under a window that shows it.
// A service that is not running, or does not answer within a few seconds, leaves
// the PDF printer alone in the list, and whyNotListed says so. A question the
// service left unanswered is asked again in the background until it answers:
// until then the desktop's default printer is not known (knowsDefault). The
// list is injectable: tests set it empty or to printers of their own.

#include <functional>
#include <memory>
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
    // answering). "" for a printer in the list, and for every printer while the
    // system's printers have not been learnt yet.
    std::string whyNotListed(const std::string& deviceName) const;
    // True once the desktop's default printer is known: the service gave its
    // printers, there is no service to ask, or the list was set. False while it
    // has not been asked, is being asked, or left the last question unanswered.
    bool knowsDefault() const;
};

PrinterCollection& Printers();

// Asks the print service for the system's printers again, in the background (a
// queue added or deleted since shows once the answer is there).
void refreshPrinters();
// Asks for them in the background unless they are known or being asked for: the
// desktop's default printer is wanted.
void learnPrinters();
// Waits until the desktop's default printer is known, asking the service when
// no question is being answered (the last one went unanswered, or none was
// asked); the windows paint meanwhile, and a service that stays silent is given
// up on within seconds. True when the default printer is known. A print waits so
// for the printer it goes to.
bool waitForDefaultPrinter();

// Calls `changed` on the window thread each time the list changes while it
// lives: the system's printers arrived, or a list was set.
class PrinterListFollower {
public:
    explicit PrinterListFollower(std::function<void()> changed);
    PrinterListFollower(const PrinterListFollower&) = delete;
    PrinterListFollower& operator=(const PrinterListFollower&) = delete;

private:
    std::shared_ptr<std::function<void()>> m_changed;
};

// Replaces the list (tests, settings; its first printer is the default one);
// resetPrinterList returns to the system's list, to be learnt afresh.
void setPrinterList(const std::vector<std::string>& deviceNames);
void resetPrinterList();

} // namespace forms

#pragma once
// What the chronology window asks of windows built after this library: the
// person card `InfoOne` (person entry) and the printer choice `frmPrnSet`
// (printing). The defaults do nothing and report the card closed; the program
// installs an implementation that reaches the real windows, and tests install a
// recording fake.

namespace reports {

class ChronologyWindows {
public:
    virtual ~ChronologyWindows() = default;

    // True while the person card is shown (InfoOne_Open 1).
    virtual bool isPersonCardOpen() const { return false; }
    // Shows the person card not modal (InfoOne_Open := 1), or brings it to the
    // front, and fills it with the person; a slot not in use makes the card say so.
    virtual void showPersonCard(int person) { (void)person; }
    // Unloads the person card and clears InfoOne_Open.
    virtual void closePersonCard() {}
    // The printer choice window, shown modally.
    virtual void showPrinterChoice() {}
};

// Installs the windows (not owned); nullptr restores the defaults.
void setChronologyWindows(ChronologyWindows* windows);
ChronologyWindows& chronologyWindows();

} // namespace reports

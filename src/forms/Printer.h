#pragma once
// The Printer object: the program's current printer, a drawing surface for one
// print job at a time. Drawing goes through the same Surface interface as the
// chart pictures, so whatever draws on a picture box draws on paper as well.
//
// A job begins with the first drawing call (or NewPage) and ends with EndDoc;
// NewPage starts the next sheet; KillDoc abandons the job. Units are twips as
// everywhere: ScaleWidth and ScaleHeight are the printable area of the page,
// and TwipsPerPixelX/Y the size of one printer dot (2.4 twips at 600 dpi).
//
// Where the pages go: the program's own PDF printer ("Tevora PDF") writes a PDF
// file, outputFileName(), chosen for each job. Every other name is a printer of
// the system's print service (CUPS): its pages are drawn into a temporary PDF
// file, and EndDoc sends that file to the printer's queue as one job and learns
// whether the service took it. So a job abandoned or cancelled sends nothing, and
// a job the service refuses or never receives (a queue that refuses jobs, one
// deleted, the service stopped, or hung: silent for a few seconds) raises
// PrintSystemError, which names the printer and why. The windows keep painting
// while the service is asked (PrintSystem_p.h). A PDF file is written to a temporary file beside its target and
// renamed over it at EndDoc, so an earlier print of the same name stays whole
// until the new one is complete, and KillDoc leaves no partial file.
//
// Print commands run their jobs through printDocument, which asks for the PDF
// file, and reports and discards a job that fails.
//
// Printer() is the current printer; setCurrentPrinter makes a printer of the
// Printers collection current (Set Printer = Printers(i)), with the page set-up
// of a new printer object: the one last chosen for that name in its properties
// dialog, else the paper the printer's queue is set to (A4 for the PDF printer).

#include "forms/Form.h"
#include "forms/PainterSurface.h"
#include "forms/Printers.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QPageLayout;
class QPrinter;
class QPainter;
class QPageSize;

namespace forms {

namespace printsystem {
class UnansweredJob;
}

// Orientation values.
constexpr int vbPRORPortrait = 1;
constexpr int vbPRORLandscape = 2;

// PaperSize values. Every paper has the number printer drivers give it (A2 is 66,
// Legal 5, ISO B4 42, ...); these are the ones the program itself sets.
constexpr int vbPRPSLetter = 1;
constexpr int vbPRPSA3 = 8;
constexpr int vbPRPSA4 = 9;
constexpr int vbPRPSA5 = 11;
constexpr int vbPRPSB4 = 12;   // JIS B4
constexpr int vbPRPSB5 = 13;   // JIS B5
// A paper without a number of its own (a size typed in, or one only the printer
// knows): the printer keeps its exact size.
constexpr int vbPRPSUser = 256;

// A job the print service refused or never received: the printer error (482)
// with the printer and why, in words the user knows.
struct PrintSystemError : platform::RuntimeError {
    PrintSystemError(std::string printer, std::string reason);
    std::string printer;
    std::string reason;
};

// The dots per inch every page is drawn at.
constexpr int PrinterDotsPerInch = 600;

class Printer : public PainterSurface {
public:
    explicit Printer(std::string deviceName);
    ~Printer() override;
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    const std::string& deviceName() const { return m_deviceName; }
    // True when the pages go to the program's PDF file rather than a system printer.
    bool isPdfPrinter() const { return m_pdf; }

    // Page set-up (an unknown orientation or paper number raises RuntimeError 380;
    // vbPRPSUser is taken when the printer has such a paper). Outside a job a
    // change shows at once in ScaleWidth/ScaleHeight; inside one it applies from
    // the next job on, so the sheets of one job keep one size.
    int orientation() const { return m_orientation; }
    void setOrientation(int orientation);
    int paperSize() const { return m_paperSize; }
    void setPaperSize(int paperSize);

    // The PDF file of the PDF printer (a full path), for the next job only: a job
    // begun without one is a printer error, and ending or abandoning the job
    // forgets it, so no print goes to the file of an earlier one.
    const std::string& outputFileName() const { return m_outputFileName; }
    void setOutputFileName(const std::string& path);

    // The job: NewPage ends the current sheet and begins the next one (outside
    // a job it first begins one, so its first sheet stays blank); EndDoc
    // finishes the job (nothing happens when none is open); KillDoc abandons it.
    // A failure of the output raises RuntimeError 482 (printer error).
    void newPage();
    // Begins the job when none is open, so that a printer that cannot take it is
    // reported before anything is drawn.
    void startDoc();
    void endDoc();
    void killDoc();
    // A finished job the print service did not take stays as it was drawn until
    // it is sent again (sendAgain, which raises PrintSystemError again when it
    // fails) or abandoned (KillDoc, or the next job). A job that went whole and
    // got no answer is not sent again: sendAgain waits for that answer once more,
    // so the printer never gets it twice.
    bool hasUnsentJob() const { return !m_unsentFile.empty(); }
    void sendAgain();
    bool isJobOpen() const { return m_painter != nullptr; }
    // The sheet being drawn on, 1-based; 0 outside a job.
    int page() const { return m_page; }
    // The sheets of the last finished job (tests and the caller's messages).
    int lastJobPageCount() const { return m_lastJobPages; }

    // Called with the sheet's number each time NewPage begins a sheet; it may raise
    // to stop the job (printDocument's progress and its cancel button).
    void setPageListener(std::function<void(int page)> listener) { m_pageListener = std::move(listener); }

    // hDC: the device context of the GDI text calls is the surface itself.
    Surface& hDC() { return *this; }

    // The printer's own properties dialog (paper size, orientation), modal over
    // the window owner; the choice is remembered for the device name. A handler
    // installed with setPropertiesDialogHandler runs instead (tests).
    void showPropertiesDialog(WindowHandle owner);

protected:
    int deviceWidth() const override;
    int deviceHeight() const override;
    void emitOp(PaintOp&& op) override;
    void eraseAll(long backColor) override;

private:
    QPainter& painter();
    QPrinter& jobDevice();
    void beginSystemJob();
    void configure();
    void setPaper(const QPageSize& paper);
    void closeJob(bool keepOutput);
    void closeSystemJob(bool keepOutput, bool ended);
    void sendUnsentJob();
    // The options a print dialog gives a job drawn with the layout: the paper, the
    // sides, the orientation, and what the properties dialog set beyond the page.
    std::vector<std::pair<std::string, std::string>> jobOptions(const QPageLayout& layout) const;
    void discardUnsentJob();

    std::string m_deviceName;
    bool m_pdf = true;
    int m_orientation = vbPRORPortrait;
    int m_paperSize = vbPRPSA4;
    std::unique_ptr<QPageSize> m_paper;        // the exact paper of m_paperSize
    std::unique_ptr<QPageSize> m_userPaper;    // the last paper without a number
    std::string m_outputFileName;
    // The PDF being written during a job, under the partial file of m_outputFileName.
    std::unique_ptr<platform::PartialFile> m_partialFile;
    // The printer: the PDF printer draws on it; for a system printer it gives the
    // page set-up (paper, printable area) and the job is drawn on m_jobPrinter,
    // into m_jobFile, with the same page layout.
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPrinter> m_jobPrinter;
    std::string m_jobFile;
    std::string m_unsentFile;           // a finished job the service did not take
    std::vector<std::pair<std::string, std::string>> m_unsentOptions;   // and its job options
    // The unsent job went whole and its answer did not come: asked for again.
    std::shared_ptr<printsystem::UnansweredJob> m_unanswered;
    std::unique_ptr<QPainter> m_painter;
    int m_page = 0;
    int m_lastJobPages = 0;
    std::function<void(int page)> m_pageListener;
};

// The current printer, without waiting for anything. While none was chosen it is
// the desktop's default printer, or the first of Printers where there is none
// (the PDF printer when the collection is empty, so drawing never meets null).
// While the default printer is not known yet (the print service has not
// answered), a printer stands in for it: the default one of the list as known
// now, whose page set-up a window shows meanwhile. The service is asked in the
// background, and once the default printer is known it takes the stand-in's place
// at the next call (the windows follow the printer list, PrinterListFollower).
Printer& printer();
// The printer list calls it when the service has just given its printers: a
// printer standing in for the desktop's default one gives way to it at once,
// while the answer is fresh, so making it asks the service no question of its
// own (Qt asks it for the printer's set-up).
void defaultPrinterArrived();
// The current printer's device name without waiting for anything: while none was
// chosen, the default printer of the list as known now.
std::string currentPrinterName();
// Makes the printer with this device name the current one; a fresh printer
// object with the default page set-up, as Set Printer = Printers(i) gives.
void setCurrentPrinter(const std::string& deviceName);
// Back to no choice: the next printer() is the default one again, and the
// remembered page set-ups are forgotten (tests, and after the printer list changed).
void resetCurrentPrinter();

// Opens the properties dialog of the printer with this device name, modal over
// owner: the current printer's own when it has that name, else a printer object
// made for the purpose. What the user sets there is remembered per device name,
// as a printer driver keeps it, so a printer object made for that name later
// (setCurrentPrinter) starts from it.
void showPrinterProperties(const std::string& deviceName, WindowHandle owner);

// Replaces the properties dialog (tests, headless runs); empty restores the
// real dialog. The handler may change orientation and paper size.
void setPropertiesDialogHandler(std::function<void(Printer&)> handler);

// What a print that failed says, once.
inline constexpr const char* PrinterErrorMessage = "プリンタのエラーです";
// The lines that follow it for a job the print service refused: the printer, and
// why in brackets.
std::string printSystemErrorDetail(const PrintSystemError& error);
// The caption of the save dialog that asks where a PDF printout goes.
inline constexpr const char* PdfSaveTitle = "PDF ファイルに印刷";
inline constexpr const char* PdfFilter = "PDF ファイル (*.pdf)|*.pdf";

// The progress window of a long print: its caption, the line it shows (the pages
// begun, of how many when known) and its cancel button.
inline constexpr const char* PrintProgressCaption = "印刷";
inline constexpr const char* PrintProgressCancel = "ｷｬﾝｾﾙ";
std::string printProgressText(int page, int pageCount);

// How a print names the desktop's default printer while the print service has
// not said which it is.
inline constexpr const char* DefaultPrinterName = "既定のプリンタ";

// Makes sure a print goes to the printer the user expects. Where no printer was
// chosen and the desktop's default one is not known yet, the print service is
// asked for it again and waited for (the windows paint meanwhile, and a silent
// service is given up on within seconds); the default printer is then the
// current one. True when the current printer is the one to print on. Where the
// service still has not answered, the print says so rather than going to
// another printer: askToGoOn, when given, gets the detail lines (the default
// printer and why, printSystemErrorDetail) and true asks again; without it
// PrinterErrorMessage shows them. printDocument begins with it; a print command
// that sets the printer up before its job (a paper of its own) calls it first,
// and so does one whose pages follow the printer's.
bool settleCurrentPrinter(const std::function<bool(const std::string& detail)>& askToGoOn = {});

// One print job on the current printer, as every print command runs it: the
// printer is settled first (settleCurrentPrinter, with askToGoOn). On the
// PDF printer the save dialog (over owner) asks for the file first, starting at
// defaultPdfPath and confirming the overwriting of an existing file; Cancel
// prints nothing. Then drawPages draws the document on the printer (NewPage
// between sheets) and the job is ended. A failure anywhere, the file included,
// shows PrinterErrorMessage once (with the file and why for a PDF file that could
// not be written, with the printer and why for a job the print service refused)
// and discards the document begun. True when the document was printed.
//
// A job that is still drawing after about a second shows a progress window over
// owner with the pages begun (of pageCount, when the caller knows it) and
// ｷｬﾝｾﾙ; cancelling discards the document as a failure does, without a message,
// and sends nothing to the printer.
//
// A caller that asks the user whether to go on after the print service refused
// the job passes askToGoOn: it gets the detail lines (printSystemErrorDetail)
// in place of the message, and true tries the failed step again (beginning the
// job, or sending the finished document), false discards the document.
bool printDocument(Form& owner, const std::string& defaultPdfPath,
                   const std::function<void(Printer&)>& drawPages, int pageCount = 0,
                   const std::function<bool(const std::string& detail)>& askToGoOn = {});

} // namespace forms

#include "forms/Printer.h"

#include "forms/Bridge_p.h"
#include "forms/CommonDialog.h"
#include "forms/PainterSurface_p.h"
#include "forms/PrintSystem_p.h"
#include "forms/Testing.h"

#include "platform/Errors.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrintEngine>
#include <QPrinterInfo>
#include <QProgressDialog>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <map>
#include <memory>
#include <utility>

namespace forms {

namespace {

platform::RuntimeError printerError(const std::string& what)
{
    return platform::RuntimeError(platform::err::PrinterError, "プリンタ エラー: " + what);
}

// The printer error of a PDF file that could not be written: it names the file and
// carries the system's reason, so that the message can say both.
platform::RuntimeError pdfFileError(const std::string& what, const std::string& file, int systemError)
{
    platform::RuntimeError error = printerError(what + file);
    error.systemError = systemError;
    error.path = file;
    return error;
}

// True when the PDF file ends as a complete one ("%%EOF" and a line end): the PDF
// writer gives up silently when its file cannot grow, leaving the file cut short.
bool pdfFileComplete(const std::string& path)
{
    const std::string bytes = platform::readWholeFile(path);
    const size_t end = bytes.find_last_not_of("\r\n");
    return end != std::string::npos && end >= 4 && bytes.compare(end - 4, 5, "%%EOF") == 0;
}

// Why a file the PDF writer left cut short could not grow: one more byte is appended
// to it and the system's answer is the reason.
int whyFileCannotGrow(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::write(fd, "\n", 1) == 1 ? EIO : errno;
    ::close(fd);
    return error;
}

// Whether Qt's calls for the printer may ask the print service.
printsystem::QtServiceUse serviceUse(const Printer& printer)
{
    return printer.isPdfPrinter() ? printsystem::QtServiceUse::None : printsystem::QtServiceUse::WhileAnswering;
}

platform::RuntimeError invalidValue()
{
    return platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
}

// The paper number of a paper: the number printer drivers give it, or vbPRPSUser
// for a paper that has none (a size typed in, one only a printer knows).
int paperNumber(const QPageSize& paper)
{
    const QPageSize::PageSizeId id = paper.id();
    if (id == QPageSize::Custom)
        return vbPRPSUser;
    const int number = QPageSize::windowsId(id);
    return number > 0 && number != vbPRPSUser && QPageSize::id(number) == id ? number : vbPRPSUser;
}

// The paper of a paper number other than vbPRPSUser; an invalid size for a number
// no paper has as its own.
QPageSize paperOfNumber(int number)
{
    if (number <= 0 || number == vbPRPSUser)
        return QPageSize();
    const QPageSize::PageSizeId id = QPageSize::id(number);
    if (id == QPageSize::Custom || QPageSize::windowsId(id) != number)
        return QPageSize();
    return QPageSize(id);
}

// The print engine property under which Qt's CUPS support keeps the job options
// its page set-up dialog chose (pages per sheet and their order).
constexpr auto CupsOptionsProperty = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// Qt's page set-up dialog opens on the paper a printer queue is set to (the first
// of its list for the PDF printer), not on the paper the printer object uses. The
// paper in use is shown instead, so that OK keeps it: a listed paper by its entry,
// any other (a size typed in) by the list's entry for a size of one's own, with
// the size in the width and height boxes as the page is turned. The widgets are
// named so in every Qt version.
void showPaperInUse(QPageSetupDialog& dialog, const QPageLayout& inUse)
{
    auto* papers = dialog.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
    if (!papers)
        return;
    int typedIn = -1;
    for (int i = 0; i < papers->count(); ++i) {
        const QVariant data = papers->itemData(i);
        if (!data.canConvert<QPageSize>()) {
            typedIn = i;
        } else if (data.value<QPageSize>().isEquivalentTo(inUse.pageSize())) {
            papers->setCurrentIndex(i);
            return;
        }
    }
    auto* units = dialog.findChild<QComboBox*>(QStringLiteral("unitCombo"));
    auto* width = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("pageWidth"));
    auto* height = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("pageHeight"));
    if (typedIn < 0 || !units || !width || !height)
        return;
    papers->setCurrentIndex(typedIn);
    const QSizeF size = inUse.fullRect(units->currentData().value<QPageLayout::Unit>()).size();
    width->setValue(size.width());
    height->setValue(size.height());
}

// The paper chosen in the page set-up dialog. A size typed in that the width and
// height boxes show as the paper in use is that paper: the boxes round it to
// their decimals (200 mm shows as 7.87 in), and OK without a change keeps it exactly.
QPageSize chosenPaper(const QPageSetupDialog& dialog, const QPageSize& chosen, const QPageSize& inUse)
{
    auto* units = dialog.findChild<QComboBox*>(QStringLiteral("unitCombo"));
    auto* width = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("pageWidth"));
    if (chosen.id() != QPageSize::Custom || !units || !width)
        return chosen;
    const auto unit = QPageSize::Unit(units->currentData().value<QPageLayout::Unit>());
    const double scale = std::pow(10.0, width->decimals());
    const auto shown = [&](const QPageSize& paper) {
        const QSizeF size = paper.size(unit);
        return std::make_pair(std::lround(size.width() * scale), std::lround(size.height() * scale));
    };
    return shown(chosen) == shown(inUse) ? inUse : chosen;
}

std::function<void(Printer&)>& dialogHandler()
{
    static std::function<void(Printer&)> handler;
    return handler;
}

// The page set-up chosen in a printer's properties dialog, per device name.
struct RememberedSetup {
    int orientation = vbPRORPortrait;
    QPageSize paper;
};

std::map<std::string, RememberedSetup>& rememberedSetups()
{
    static std::map<std::string, RememberedSetup> setups;
    return setups;
}

// Shared with whoever holds it across a wait (its properties dialog): a printer
// standing in for the default one may give way meanwhile.
std::shared_ptr<Printer>& currentPrinter()
{
    static std::shared_ptr<Printer> current;
    return current;
}

// The current printer stands in for the desktop's default printer, which was not
// known when it was made (the print service had not answered yet): it is the
// default one of the list as known then, and gives way to the default printer
// once that is known.
bool& currentStandsIn()
{
    static bool standsIn = false;
    return standsIn;
}

// No printer was chosen: the current one is to be the desktop's default printer.
bool followsDefault()
{
    return !currentPrinter() || currentStandsIn();
}

} // namespace

PrintSystemError::PrintSystemError(std::string printer, std::string reason)
    : platform::RuntimeError(platform::err::PrinterError, "プリンタ エラー: " + printer + ": " + reason),
      printer(std::move(printer)), reason(std::move(reason))
{
}

std::string printSystemErrorDetail(const PrintSystemError& error)
{
    return error.printer + "\r\n（" + error.reason + "）";
}

Printer::Printer(std::string deviceName)
    : PainterSurface(1440.0 / PrinterDotsPerInch, 1440.0 / PrinterDotsPerInch),
      m_deviceName(std::move(deviceName))
{
    // Every name but the program's own PDF printer's is a printer of the print
    // service, also one that is not (or no longer) there: printing to it says so.
    m_pdf = m_deviceName == PdfPrinterName;
    // Qt asks the print service for the default printer when it makes any printer
    // and for the queue's set-up when it is named: neither may hang the windows.
    printsystem::QtPrintSupportCall qtCalls(serviceUse(*this));
    m_printer = std::make_unique<QPrinter>(QPrinter::PrinterResolution);
    if (m_pdf) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
    } else {
        m_printer->setOutputFormat(QPrinter::NativeFormat);
        m_printer->setPrinterName(QString::fromStdString(m_deviceName));
    }
    m_printer->setResolution(PrinterDotsPerInch);
    m_printer->setDocName(QStringLiteral("Tevora"));
    QPageSize paper(QPageSize::A4);
    const auto remembered = rememberedSetups().find(m_deviceName);
    if (remembered != rememberedSetups().end()) {
        m_orientation = remembered->second.orientation;
        paper = remembered->second.paper;
    } else if (!m_pdf) {
        // The paper the queue is set to, as the desktop's other programs start.
        const QPageSize queuePaper = QPrinterInfo::printerInfo(QString::fromStdString(m_deviceName)).defaultPageSize();
        if (queuePaper.isValid())
            paper = queuePaper;
    }
    setPaper(paper);
    configure();
}

Printer::~Printer()
{
    // A job still open at this point was never ended: abandon it rather than
    // leave a half-written file behind.
    try {
        closeJob(false);
    } catch (const platform::RuntimeError&) {
    }
}

void Printer::setPaper(const QPageSize& paper)
{
    m_paperSize = paperNumber(paper);
    m_paper = std::make_unique<QPageSize>(paper);
    if (m_paperSize == vbPRPSUser)
        m_userPaper = std::make_unique<QPageSize>(paper);
}

void Printer::configure()
{
    m_printer->setPageSize(*m_paper);
    m_printer->setPageOrientation(m_orientation == vbPRORLandscape ? QPageLayout::Landscape
                                                                   : QPageLayout::Portrait);
}

void Printer::setOrientation(int orientation)
{
    if (orientation != vbPRORPortrait && orientation != vbPRORLandscape)
        throw invalidValue();
    m_orientation = orientation;
    if (!isJobOpen())
        configure();
}

void Printer::setPaperSize(int paperSize)
{
    QPageSize paper = paperSize == vbPRPSUser && m_userPaper ? *m_userPaper : paperOfNumber(paperSize);
    if (!paper.isValid())
        throw invalidValue();
    setPaper(paper);
    if (!isJobOpen())
        configure();
}

void Printer::setOutputFileName(const std::string& path)
{
    m_outputFileName = path;
}


int Printer::deviceWidth() const
{
    return m_printer->width();
}

int Printer::deviceHeight() const
{
    return m_printer->height();
}

QPrinter& Printer::jobDevice()
{
    return m_jobPrinter ? *m_jobPrinter : *m_printer;
}

// A job on a system printer: the queue is asked first, so that a printer that
// cannot take the job is named before anything is drawn; the pages then go to a
// temporary PDF file laid out exactly as the printer's page.
void Printer::beginSystemJob()
{
    discardUnsentJob();
    const printsystem::QueueStatus status = printsystem::checkQueue(m_deviceName);
    if (status.state != printsystem::QueueState::Ready)
        throw PrintSystemError(m_deviceName, printsystem::reasonText(status));
    std::string name = QDir::tempPath().toStdString() + "/tevora-print-XXXXXX.pdf";
    const int fd = ::mkstemps(name.data(), 4);
    if (fd < 0) {
        platform::RuntimeError error = platform::errnoError(errno);
        throw PrintSystemError(m_deviceName, "一時ファイルを作成できません: " + platform::failureReason(error));
    }
    ::close(fd);
    m_jobFile = name;
    printsystem::QtPrintSupportCall qtCalls(printsystem::QtServiceUse::None);
    m_jobPrinter = std::make_unique<QPrinter>(QPrinter::PrinterResolution);
    m_jobPrinter->setOutputFormat(QPrinter::PdfFormat);
    m_jobPrinter->setResolution(PrinterDotsPerInch);
    m_jobPrinter->setDocName(m_printer->docName());
    m_jobPrinter->setColorMode(m_printer->colorMode());
    m_jobPrinter->setPageLayout(m_printer->pageLayout());
    m_jobPrinter->setOutputFileName(QString::fromStdString(m_jobFile));
}

QPainter& Printer::painter()
{
    if (m_painter)
        return *m_painter;
    configure();
    if (m_pdf) {
        if (m_outputFileName.empty())
            throw printerError("PDF ファイルが選ばれていません");
        // Created here first, so that a folder that cannot take the file says why.
        try {
            m_partialFile = std::make_unique<platform::PartialFile>(m_outputFileName);
        } catch (const platform::RuntimeError& e) {
            // A file its owner made read-only says so in its own word.
            platform::RuntimeError error = pdfFileError("PDF ファイルを作成できません: ", m_outputFileName, e.systemError);
            error.reason = e.reason;
            throw error;
        }
        m_printer->setOutputFileName(QString::fromStdString(m_partialFile->partialPath()));
    } else {
        beginSystemJob();
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&jobDevice())) {
        if (m_pdf) {
            m_partialFile.reset();
            throw printerError("PDF ファイルを作成できません: " + m_outputFileName);
        }
        platform::deleteFile(std::exchange(m_jobFile, std::string()));
        m_jobPrinter.reset();
        throw PrintSystemError(m_deviceName, "一時ファイルを作成できません");
    }
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    if (const auto clip = clipRect())
        painter->setClipRect(QRect(QPoint(clip->left, clip->top), QPoint(clip->right - 1, clip->bottom - 1)));
    m_painter = std::move(painter);
    m_page = 1;
    return *m_painter;
}

void Printer::emitOp(PaintOp&& op)
{
    if ((op.kind == PaintOp::Kind::Clip || op.kind == PaintOp::Kind::NoClip) && !m_painter)
        return;   // applied when the job's painter opens
    executePaintOp(painter(), op, PaintContext());
}

void Printer::eraseAll(long)
{
    // Paper has nothing to erase; Cls on the printer only moves the position home.
}

void Printer::newPage()
{
    painter();
    if (!jobDevice().newPage())
        throw printerError("改ページできません: " + m_deviceName);
    ++m_page;
    if (m_pageListener)
        m_pageListener(m_page);
}

void Printer::endDoc()
{
    closeJob(true);
}

void Printer::killDoc()
{
    closeJob(false);
}

void Printer::closeJob(bool keepOutput)
{
    if (!m_painter) {
        if (!keepOutput)
            discardUnsentJob();
        return;
    }
    const bool ended = m_painter->end();
    m_painter.reset();
    m_lastJobPages = m_page;
    m_page = 0;
    // A page set-up changed during the job applies from now on.
    configure();
    if (!m_pdf) {
        closeSystemJob(keepOutput, ended);
        return;
    }
    // Removed with its record unless it replaces the target.
    const std::unique_ptr<platform::PartialFile> output = std::move(m_partialFile);
    const std::string target = std::exchange(m_outputFileName, std::string());
    if (!keepOutput || !ended) {
        if (keepOutput)
            throw pdfFileError("PDF ファイルを書き込めません: ", target, 0);
        return;
    }
    try {
        const std::string& partial = output->partialPath();
        if (!pdfFileComplete(partial))
            throw pdfFileError("PDF ファイルを書き込めません: ", target, whyFileCannotGrow(partial));
        output->replace(platform::Flush::ToDisk);
    } catch (const platform::RuntimeError& error) {
        throw pdfFileError("PDF ファイルを書き込めません: ", target, error.systemError);
    }
}

// The end of a job on a system printer: an abandoned job's file is deleted unsent;
// a finished one is sent when it is complete.
void Printer::closeSystemJob(bool keepOutput, bool ended)
{
    const std::string file = std::exchange(m_jobFile, std::string());
    // The job goes out with the page layout it was drawn with, whatever the set-up
    // became meanwhile.
    const QPageLayout drawnWith = m_jobPrinter ? m_jobPrinter->pageLayout() : m_printer->pageLayout();
    m_jobPrinter.reset();
    if (!keepOutput) {
        platform::deleteFile(file);
        return;
    }
    if (!ended || !pdfFileComplete(file)) {
        platform::RuntimeError why(platform::err::PrinterError, std::string());
        why.systemError = whyFileCannotGrow(file);
        platform::deleteFile(file);
        throw PrintSystemError(m_deviceName, "一時ファイルを書き込めません: " + platform::failureReason(why));
    }
    m_unsentFile = file;
    m_unsentOptions = jobOptions(drawnWith);
    sendUnsentJob();
}

std::vector<std::pair<std::string, std::string>> Printer::jobOptions(const QPageLayout& layout) const
{
    std::vector<std::pair<std::string, std::string>> options;
    // The job options a print dialog gives: the paper by the printer's own name
    // for it, one side unless the printer prints both by default, and the
    // orientation.
    options.emplace_back("media", layout.pageSize().key().toStdString());
    switch (m_printer->duplex()) {
    case QPrinter::DuplexAuto:
        options.emplace_back("sides", layout.orientation() == QPageLayout::Portrait ? "two-sided-long-edge"
                                                                                    : "two-sided-short-edge");
        break;
    case QPrinter::DuplexLongSide:
        options.emplace_back("sides", "two-sided-long-edge");
        break;
    case QPrinter::DuplexShortSide:
        options.emplace_back("sides", "two-sided-short-edge");
        break;
    default:
        options.emplace_back("sides", "one-sided");
        break;
    }
    if (layout.orientation() == QPageLayout::Landscape)
        options.emplace_back("landscape", "");
    // What the printer's properties dialog set beyond the page (pages per sheet),
    // kept by Qt's print engine as name and value pairs.
    const QStringList chosen = m_printer->printEngine()->property(CupsOptionsProperty).toStringList();
    for (int i = 0; i + 1 < chosen.size(); i += 2)
        options.emplace_back(chosen[i].toStdString(), chosen[i + 1].toStdString());
    return options;
}

void Printer::sendUnsentJob()
{
    // A job that went whole without an answer is waited for again, not sent
    // again: the service may have taken it.
    const printsystem::SendResult sent =
        m_unanswered ? printsystem::awaitAnswer(std::exchange(m_unanswered, nullptr))
                     : printsystem::sendDocument(m_deviceName, m_unsentFile, m_printer->docName().toStdString(),
                                                 m_unsentOptions);
    m_unanswered = sent.unanswered;
    if (sent.jobId <= 0)
        throw PrintSystemError(m_deviceName, printsystem::reasonText(sent.why));
    platform::deleteFile(std::exchange(m_unsentFile, std::string()));
}

void Printer::sendAgain()
{
    if (hasUnsentJob())
        sendUnsentJob();
}

void Printer::discardUnsentJob()
{
    m_unanswered.reset();
    if (hasUnsentJob())
        platform::deleteFile(std::exchange(m_unsentFile, std::string()));
}

void Printer::showPropertiesDialog(WindowHandle owner)
{
    if (isJobOpen())
        return;
    if (dialogHandler()) {
        dialogHandler()(*this);
    } else {
        Form* form = formFromHandle(owner);
        // The dialog's page is taken whole: a printer that keeps to its printable
        // area would turn down a paper whose margins the dialog rounded, and keep
        // the paper before without a word. The printable area is the printer's
        // again once the paper is set.
        m_printer->setFullPage(true);
        printsystem::QtPrintSupportCall qtCalls(serviceUse(*this));
        QPageSetupDialog dialog(m_printer.get(), form ? formWidget(*form) : nullptr);
        const QPageSize inUse = *m_paper;
        showPaperInUse(dialog, m_printer->pageLayout());
        const bool accepted = dialog.exec() == QDialog::Accepted;
        const QPageLayout layout = m_printer->pageLayout();
        m_printer->setFullPage(false);
        if (accepted) {
            // The paper exactly as chosen, also one without a number of its own.
            m_orientation = layout.orientation() == QPageLayout::Landscape ? vbPRORLandscape : vbPRORPortrait;
            setPaper(chosenPaper(dialog, layout.pageSize(), inUse));
        }
        configure();
        if (!accepted)
            return;
    }
    rememberedSetups()[m_deviceName] = RememberedSetup{m_orientation, *m_paper};
}

void Printer::startDoc()
{
    painter();
}

void showPrinterProperties(const std::string& deviceName, WindowHandle owner)
{
    // The current printer lives while its dialog is open, also when the default
    // printer takes its place meanwhile.
    const std::shared_ptr<Printer> current = currentPrinter();
    if (current && current->deviceName() == deviceName) {
        current->showPropertiesDialog(owner);
        return;
    }
    Printer other(deviceName);
    other.showPropertiesDialog(owner);
}

namespace {

// The printer's print engine belongs to the application object: the current
// printer goes with the application rather than at the very end of the program,
// when the print system may already be unloaded.
void releaseWithApplication()
{
    static bool registered = false;
    if (!registered && QCoreApplication::instance()) {
        qAddPostRoutine(resetCurrentPrinter);
        registered = true;
    }
}

// The printer that is current while none was chosen: the default one of the
// list as known now.
std::string defaultPrinterName()
{
    const std::string name = Printers().defaultDeviceName();
    return name.empty() ? PdfPrinterName : name;
}

// The device name of the printer whose object is being made to become current:
// making it may wait on the print service while the windows paint, and a window
// that shows the current printer meanwhile shows this one.
std::string& nameBeingMadeCurrent()
{
    static std::string name;
    return name;
}

// Makes the printer object that becomes current.
std::unique_ptr<Printer> makeCurrentPrinter(const std::string& deviceName)
{
    struct BeingMade {
        explicit BeingMade(const std::string& name) : previous(std::exchange(nameBeingMadeCurrent(), name)) {}
        ~BeingMade() { nameBeingMadeCurrent() = previous; }
        std::string previous;
    } beingMade(deviceName);
    return std::make_unique<Printer>(deviceName);
}

} // namespace

namespace {

// Makes the desktop's default printer current, or, while it is not known, the
// printer that stands in for it; the service is then asked for it in the
// background. The windows paint while the printer is made, and one of them may
// have made the current printer meanwhile: a stand-in gives way to the default
// printer.
void makeDefaultPrinterCurrent()
{
    const bool known = Printers().knowsDefault();
    if (!known)
        learnPrinters();
    auto made = makeCurrentPrinter(defaultPrinterName());
    auto& current = currentPrinter();
    if (!current || (currentStandsIn() && known)) {
        current = std::move(made);
        currentStandsIn() = !known;
    }
}

} // namespace

void defaultPrinterArrived()
{
    if (!currentStandsIn() || !Printers().knowsDefault())
        return;
    printsystem::QtPrintSupportCall answered(printsystem::QtServiceUse::Answered);
    makeDefaultPrinterCurrent();
}

Printer& printer()
{
    auto& current = currentPrinter();
    if (!current || (currentStandsIn() && Printers().knowsDefault())) {
        releaseWithApplication();
        makeDefaultPrinterCurrent();
    }
    return *current;
}

std::string currentPrinterName()
{
    if (!nameBeingMadeCurrent().empty())
        return nameBeingMadeCurrent();
    const auto& current = currentPrinter();
    const bool givesWay = currentStandsIn() && Printers().knowsDefault();
    return current && !givesWay ? current->deviceName() : defaultPrinterName();
}

void setCurrentPrinter(const std::string& deviceName)
{
    releaseWithApplication();
    currentPrinter() = makeCurrentPrinter(deviceName);
    currentStandsIn() = false;
}

void resetCurrentPrinter()
{
    currentPrinter().reset();
    currentStandsIn() = false;
    rememberedSetups().clear();
}

void setPropertiesDialogHandler(std::function<void(Printer&)> handler)
{
    dialogHandler() = std::move(handler);
}

namespace {

// The PDF file of the next job, asked with the save dialog; false on Cancel.
bool choosePdfFile(Form& owner, Printer& printer, const std::string& defaultPdfPath)
{
    DialogRequest request;
    request.kind = DialogKind::Save;
    request.title = PdfSaveTitle;
    request.filter = PdfFilter;
    const size_t slash = defaultPdfPath.find_last_of('/');
    request.fileName = slash == std::string::npos ? defaultPdfPath : defaultPdfPath.substr(slash + 1);
    request.startDirectory = slash == std::string::npos ? platform::GetAppPath() : defaultPdfPath.substr(0, slash);
    if (!platform::dirExists(request.startDirectory))
        request.startDirectory = platform::GetAppPath();
    request.flags = cdlOFNOverwritePrompt;
    const DialogAnswer answer = askFile(owner, request);
    if (!answer.accepted || answer.fileName.empty())
        return false;
    printer.setOutputFileName(answer.fileName);
    return true;
}

} // namespace

namespace {

// How long a print runs before its progress window shows.
constexpr int DefaultPrintProgressDelay = 1000;
int& printProgressDelay()
{
    static int delay = DefaultPrintProgressDelay;
    return delay;
}

// Raised through the drawing when the user cancels the print.
struct PrintCancelled {};

// The progress window of one print job: nothing during the first moment, then a
// modal window over the owner that follows every new sheet and offers ｷｬﾝｾﾙ.
class PrintProgress {
public:
    PrintProgress(Form& owner, int pageCount) : m_owner(owner), m_pageCount(pageCount) { m_clock.start(); }

    void pageBegun(int page)
    {
        if (!m_dialog) {
            if (m_clock.elapsed() < printProgressDelay())
                return;
            open();
        }
        m_dialog->setLabelText(qs(printProgressText(page, m_pageCount)));
        if (m_pageCount > 0)
            m_dialog->setValue(std::min(page, m_pageCount));
        // The window answers its button between two sheets.
        QCoreApplication::processEvents();
        if (m_dialog->wasCanceled())
            throw PrintCancelled{};
    }

    // Every sheet is drawn: ｷｬﾝｾﾙ pressed while the last one was drawn still counts.
    // Then the job goes out, and the window no longer offers a ｷｬﾝｾﾙ it could not keep.
    void sheetsDrawn()
    {
        if (!m_dialog)
            return;
        QCoreApplication::processEvents();
        if (m_dialog->wasCanceled())
            throw PrintCancelled{};
        m_dialog->setCancelButton(nullptr);
    }

private:
    void open()
    {
        m_dialog = std::make_unique<QProgressDialog>(formWidget(m_owner));
        m_dialog->setWindowTitle(qs(PrintProgressCaption));
        m_dialog->setCancelButtonText(qs(PrintProgressCancel));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->setRange(0, std::max(m_pageCount, 0));
        // As wide as its longest line from the start, so the window does not grow
        // under the pointer while the count rises.
        m_dialog->setLabelText(qs(printProgressText(m_pageCount > 0 ? m_pageCount : 99999, m_pageCount)));
        m_dialog->adjustSize();
        m_dialog->setMinimumWidth(m_dialog->width());
        m_dialog->show();
    }

    Form& m_owner;
    int m_pageCount;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace

std::string printProgressText(int page, int pageCount)
{
    if (pageCount > 0)
        return "印刷しています　" + std::to_string(page) + " / " + std::to_string(pageCount) + " ページ";
    return "印刷しています　" + std::to_string(page) + " ページ";
}

void setPrintProgressDelay(int milliseconds)
{
    printProgressDelay() = milliseconds < 0 ? DefaultPrintProgressDelay : milliseconds;
}

namespace {

void tellPrintSystemError(const PrintSystemError& error)
{
    platform::MsgBox(std::string(PrinterErrorMessage) + "\r\n" + printSystemErrorDetail(error), platform::vbOKOnly);
}

} // namespace

bool settleCurrentPrinter(const std::function<bool(const std::string& detail)>& askToGoOn)
{
    for (;;) {
        if (!followsDefault() || waitForDefaultPrinter()) {
            printer();
            return true;
        }
        const PrintSystemError silent(DefaultPrinterName,
                                      printsystem::reasonText({printsystem::QueueState::NoAnswer, std::string()}));
        if (!askToGoOn) {
            tellPrintSystemError(silent);
            return false;
        }
        if (!askToGoOn(printSystemErrorDetail(silent)))
            return false;
    }
}

bool printDocument(Form& owner, const std::string& defaultPdfPath, const std::function<void(Printer&)>& drawPages,
                   int pageCount, const std::function<bool(const std::string& detail)>& askToGoOn)
{
    if (!settleCurrentPrinter(askToGoOn))
        return false;
    Printer& current = printer();
    if (current.isPdfPrinter() && !choosePdfFile(owner, current, defaultPdfPath))
        return false;
    const std::string pdfFile = current.isPdfPrinter() ? current.outputFileName() : std::string();
    PrintProgress progress(owner, pageCount);
    current.setPageListener([&progress](int page) { progress.pageBegun(page); });
    // The document begun is discarded; its temporary file goes with it.
    auto discard = [&current] {
        current.setPageListener(nullptr);
        try {
            current.killDoc();
        } catch (const platform::RuntimeError&) {
            // The temporary file could not be removed; there is nothing more to say.
        }
        current.setOutputFileName(std::string());
    };
    // A job the print service refused: the caller's question, when it asks one,
    // decides whether the step is tried again.
    bool declined = false;
    auto goOn = [&](const PrintSystemError& error) {
        if (!askToGoOn)
            return false;
        if (askToGoOn(printSystemErrorDetail(error)))
            return true;
        declined = true;
        return false;
    };
    try {
        for (;;) {
            try {
                current.startDoc();
                break;
            } catch (const PrintSystemError& error) {
                if (!goOn(error))
                    throw;
            }
        }
        drawPages(current);
        current.setPageListener(nullptr);
        progress.sheetsDrawn();
        for (bool first = true;; first = false) {
            try {
                if (first)
                    current.endDoc();
                else
                    current.sendAgain();
                break;
            } catch (const PrintSystemError& error) {
                if (!current.hasUnsentJob() || !goOn(error))
                    throw;
            }
        }
        return true;
    } catch (const PrintCancelled&) {
        discard();
        return false;
    } catch (const PrintSystemError& e) {
        discard();
        // The printer and why; nothing more when the user already answered the question.
        if (!declined)
            tellPrintSystemError(e);
        return false;
    } catch (const platform::RuntimeError& e) {
        discard();
        // A PDF file that could not be written is named with why.
        platform::MsgBox(!pdfFile.empty() && e.path == pdfFile ? platform::failedFileMessage(PrinterErrorMessage, e)
                                                               : std::string(PrinterErrorMessage),
                         platform::vbOKOnly);
        return false;
    }
}

} // namespace forms

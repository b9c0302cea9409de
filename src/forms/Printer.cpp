#include "forms/Printer.h"

#include "forms/Bridge_p.h"
#include "forms/CommonDialog.h"
#include "forms/PainterSurface_p.h"
#include "forms/Testing.h"

#include "platform/Errors.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

platform::RuntimeError invalidValue()
{
    return platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
}

bool knownPaperSize(int paperSize)
{
    switch (paperSize) {
    case vbPRPSLetter:
    case vbPRPSA3:
    case vbPRPSA4:
    case vbPRPSA5:
    case vbPRPSB4:
    case vbPRPSB5:
        return true;
    default:
        return false;
    }
}

QPageSize::PageSizeId toPageSizeId(int paperSize)
{
    switch (paperSize) {
    case vbPRPSLetter: return QPageSize::Letter;
    case vbPRPSA3: return QPageSize::A3;
    case vbPRPSA5: return QPageSize::A5;
    // The Japanese B sizes: JIS B4 and B5 are what paper trays hold here.
    case vbPRPSB4: return QPageSize::JisB4;
    case vbPRPSB5: return QPageSize::JisB5;
    default: return QPageSize::A4;
    }
}

int fromPageSizeId(QPageSize::PageSizeId id, int fallback)
{
    switch (id) {
    case QPageSize::Letter: return vbPRPSLetter;
    case QPageSize::A3: return vbPRPSA3;
    case QPageSize::A4: return vbPRPSA4;
    case QPageSize::A5: return vbPRPSA5;
    case QPageSize::JisB4: return vbPRPSB4;
    case QPageSize::JisB5: return vbPRPSB5;
    default: return fallback;
    }
}

std::function<void(Printer&)>& dialogHandler()
{
    static std::function<void(Printer&)> handler;
    return handler;
}

// The page set-up chosen in a printer's properties dialog, per device name.
struct RememberedSetup {
    int orientation = vbPRORPortrait;
    int paperSize = vbPRPSA4;
};

std::map<std::string, RememberedSetup>& rememberedSetups()
{
    static std::map<std::string, RememberedSetup> setups;
    return setups;
}

std::unique_ptr<Printer>& currentPrinter()
{
    static std::unique_ptr<Printer> current;
    return current;
}

} // namespace

Printer::Printer(std::string deviceName)
    : PainterSurface(1440.0 / PrinterDotsPerInch, 1440.0 / PrinterDotsPerInch),
      m_deviceName(std::move(deviceName))
{
    // A name the system does not list as a printer is printed as a PDF file: the
    // program's own PDF printer, or a printer that went away since the list was read.
    m_pdf = m_deviceName == PdfPrinterName
            || QPrinterInfo::printerInfo(QString::fromStdString(m_deviceName)).isNull();
    m_printer = std::make_unique<QPrinter>(QPrinter::PrinterResolution);
    if (m_pdf) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
    } else {
        m_printer->setOutputFormat(QPrinter::NativeFormat);
        m_printer->setPrinterName(QString::fromStdString(m_deviceName));
    }
    m_printer->setResolution(PrinterDotsPerInch);
    m_printer->setDocName(QStringLiteral("Tevora"));
    const auto remembered = rememberedSetups().find(m_deviceName);
    if (remembered != rememberedSetups().end()) {
        m_orientation = remembered->second.orientation;
        m_paperSize = remembered->second.paperSize;
    }
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

void Printer::configure()
{
    m_printer->setPageSize(QPageSize(toPageSizeId(m_paperSize)));
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
    if (!knownPaperSize(paperSize))
        throw invalidValue();
    m_paperSize = paperSize;
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

QPainter& Printer::painter()
{
    if (m_painter)
        return *m_painter;
    configure();
    if (m_pdf) {
        if (m_outputFileName.empty())
            throw printerError("PDF ファイルが選ばれていません");
        m_partialFile = platform::partialFileName(m_outputFileName);
        // Created here first, so that a folder that cannot take the file says why.
        try {
            platform::writeWholeFile(m_partialFile, std::string());
        } catch (const platform::RuntimeError& e) {
            throw pdfFileError("PDF ファイルを作成できません: ", m_outputFileName, e.systemError);
        }
        m_printer->setOutputFileName(QString::fromStdString(m_partialFile));
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(m_printer.get())) {
        if (m_pdf)
            platform::deleteFile(m_partialFile);
        throw printerError(m_pdf ? "PDF ファイルを作成できません: " + m_outputFileName : m_deviceName);
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
    if (!m_printer->newPage())
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
    if (!m_painter)
        return;
    if (!keepOutput && !m_pdf)
        m_printer->abort();
    const bool ended = m_painter->end();
    m_painter.reset();
    m_lastJobPages = m_page;
    m_page = 0;
    // A page set-up changed during the job applies from now on.
    configure();
    if (!m_pdf) {
        if (keepOutput && !ended)
            throw printerError(m_deviceName);
        return;
    }
    const std::string partial = std::exchange(m_partialFile, std::string());
    const std::string target = std::exchange(m_outputFileName, std::string());
    if (!keepOutput || !ended) {
        platform::deleteFile(partial);
        if (keepOutput)
            throw pdfFileError("PDF ファイルを書き込めません: ", target, 0);
        return;
    }
    try {
        if (!pdfFileComplete(partial))
            throw pdfFileError("PDF ファイルを書き込めません: ", target, whyFileCannotGrow(partial));
        platform::replaceWithPartialFiles({target});
    } catch (const platform::RuntimeError& error) {
        platform::deleteFile(partial);
        throw pdfFileError("PDF ファイルを書き込めません: ", target, error.systemError);
    }
}

void Printer::showPropertiesDialog(WindowHandle owner)
{
    if (isJobOpen())
        return;
    if (dialogHandler()) {
        dialogHandler()(*this);
    } else {
        Form* form = formFromHandle(owner);
        QPageSetupDialog dialog(m_printer.get(), form ? formWidget(*form) : nullptr);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const QPageLayout layout = m_printer->pageLayout();
        m_orientation = layout.orientation() == QPageLayout::Landscape ? vbPRORLandscape : vbPRORPortrait;
        m_paperSize = fromPageSizeId(layout.pageSize().id(), m_paperSize);
        configure();
    }
    rememberedSetups()[m_deviceName] = RememberedSetup{m_orientation, m_paperSize};
}

void Printer::startDoc()
{
    painter();
}

void showPrinterProperties(const std::string& deviceName, WindowHandle owner)
{
    auto& current = currentPrinter();
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

} // namespace

Printer& printer()
{
    auto& current = currentPrinter();
    if (!current) {
        releaseWithApplication();
        const PrinterCollection& list = Printers();
        current = std::make_unique<Printer>(list.count() > 0 ? list.item(0).deviceName : PdfPrinterName);
    }
    return *current;
}

void setCurrentPrinter(const std::string& deviceName)
{
    releaseWithApplication();
    currentPrinter() = std::make_unique<Printer>(deviceName);
}

void resetCurrentPrinter()
{
    currentPrinter().reset();
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

bool printDocument(Form& owner, const std::string& defaultPdfPath, const std::function<void(Printer&)>& drawPages,
                   int pageCount)
{
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
    try {
        current.startDoc();
        drawPages(current);
        current.setPageListener(nullptr);
        current.endDoc();
        return true;
    } catch (const PrintCancelled&) {
        discard();
        return false;
    } catch (const platform::RuntimeError& e) {
        discard();
        // A PDF file that could not be written is named with why.
        platform::MsgBox(!pdfFile.empty() && e.path == pdfFile ? platform::failedWriteMessage(PrinterErrorMessage, e)
                                                               : std::string(PrinterErrorMessage),
                         platform::vbOKOnly);
        return false;
    }
}

} // namespace forms

// The Help menu: the manual, the version, the product's web pages and, through
// the hidden first item, the debug settings window. A manual or a page the
// desktop cannot show is named in a message.

#include "mainwindow/MainForm.h"

#include "mainwindow/FrmDebug.h"
#include "model/Utilities.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

namespace {

// helpitem indexes.
constexpr int DebugItem = 0;
constexpr int ManualItem = 1;
constexpr int VersionItem = 2;
constexpr int HomePageItem = 5;
constexpr int QuestionsItem = 7;
constexpr int SupportItem = 8;

constexpr const char* ManualFile = "\\man\\index.html";
// The product's web site; the questions and the support pages lie beneath it.
constexpr const char* ProductSite = "https://tevora.example.jp/";
// The product name and the version on two lines: a line feed, then a carriage return.
constexpr const char* VersionText = "Tevora\n\rVersion 6.00-SR1 Build04-08-09";
constexpr const char* VersionTitle = "Version";
constexpr const char* ManualMissingMessage = "マニュアルを開けません";
constexpr const char* PageFailedMessage = "ページを開けません";

// A web page the desktop could not show is named in a message with its address,
// when the desktop says so: the program goes on answering meanwhile.
void openWebPage(const std::string& address)
{
    model::Shell_Open(address, [address] {
        platform::MsgBox(std::string(PageFailedMessage) + "\r\n" + address, platform::vbExclamation);
    });
}

void showManualMissing(const std::string& path)
{
    platform::MsgBox(std::string(ManualMissingMessage) + "\r\n" + path, platform::vbExclamation);
}

} // namespace

void MainForm::helpitem_Click(int Index)
{
    switch (Index) {
    case DebugItem:
        dbgmenu_form().show(forms::ShowMode::Modal);
        break;
    case ManualItem:
        openManual();
        break;
    case VersionItem:
        platform::MsgBox(VersionText, platform::vbInformation, VersionTitle);
        break;
    case HomePageItem:
        openWebPage(ProductSite);
        break;
    case QuestionsItem:
        openWebPage(std::string(ProductSite) + "faq.html");
        break;
    case SupportItem:
        openWebPage(std::string(ProductSite) + "support.html");
        break;
    default:
        break;
    }
}

// The manual is a file of the program folder: one that is missing, or that the
// desktop has no program for, is named in a message rather than left unanswered.
void MainForm::openManual()
{
    const std::string path = platform::appFile(ManualFile);
    if (!platform::fileExists(path)) {
        showManualMissing(path);
        return;
    }
    model::Shell_Open(path, [path] { showManualMissing(path); });
}

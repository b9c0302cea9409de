// Message boxes (the Qt hook and scripted answers), the common dialog through
// the scripted responder, and the small program-wide services: topmost
// windows, mouse pointers, the printer list and font substitution.

#include "forms/Application.h"
#include "forms/CommandButton.h"
#include "forms/CommonDialog.h"
#include "forms/Fonts.h"
#include "forms/Form.h"
#include "forms/Printers.h"
#include "forms/QtHooks_p.h"
#include "forms/Screen.h"
#include "forms/Testing.h"
#include "forms/WindowFunctions.h"

#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include "support/ScriptedResponder.h"
#include "support/TempHome.h"
#include "support/qt/FileDialogs.h"
#include "support/qt/ScriptedDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::RuntimeError& error) {
        return error.number;
    }
    return 0;
}

// ---------------------------------------------------------------- message boxes

TEST(MessageBoxText, CrLfAndLfCrAreOneBreakAndALoneCrIsDropped)
{
    EXPECT_EQ(forms::messageBoxText("a\r\nb"), "a\nb");
    EXPECT_EQ(forms::messageBoxText("a\n\rb"), "a\nb");
    EXPECT_EQ(forms::messageBoxText("a\n\r\n\rb"), "a\n\nb");
    EXPECT_EQ(forms::messageBoxText("a\rb"), "ab");
    EXPECT_EQ(forms::messageBoxText("a\nb"), "a\nb");
}

struct BoxCase {
    const char* name;
    int style;
    bool escapeCloses;
    int escapeAnswer;            // when Esc closes the box
    const char* buttonToPress;   // otherwise this button is pressed
    int pressedAnswer;
    std::vector<std::string> buttons;
    const char* defaultButton;
};

void PrintTo(const BoxCase& c, std::ostream* out) { *out << c.name; }

class QtMessageBox : public ::testing::TestWithParam<BoxCase> {};

// Runs the real box headless: Esc first, then (if it is still open) a button.
TEST_P(QtMessageBox, ButtonsDefaultsAndEscape)
{
    const BoxCase& c = GetParam();
    forms::QtHooks hooks;
    std::vector<std::string> buttons;
    std::string defaultButton;
    std::string text;
    std::string title;
    bool closedByEscape = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text().toStdString();
        title = box->windowTitle().toStdString();
        for (QAbstractButton* button : box->buttons())
            buttons.push_back(button->text().toStdString());
        if (box->defaultButton())
            defaultButton = box->defaultButton()->text().toStdString();
        QTest::keyClick(box, Qt::Key_Escape);
        if (!box->isVisible()) {
            closedByEscape = true;
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == QString::fromUtf8(c.buttonToPress))
                button->click();
        }
    });
    const int answer = hooks.msgBox("一行目\r\n二行目", c.style, "題名");
    EXPECT_EQ(closedByEscape, c.escapeCloses) << c.name;
    EXPECT_EQ(answer, c.escapeCloses ? c.escapeAnswer : c.pressedAnswer) << c.name;
    std::sort(buttons.begin(), buttons.end());
    std::vector<std::string> expectedButtons = c.buttons;
    std::sort(expectedButtons.begin(), expectedButtons.end());
    EXPECT_EQ(buttons, expectedButtons) << c.name;
    EXPECT_EQ(defaultButton, c.defaultButton) << c.name;
    EXPECT_EQ(text, "一行目\n二行目");
    EXPECT_EQ(title, "題名");
}

// The close box follows the Esc rule: it answers Cancel where the box has it,
// OK for an OK-only box, and does nothing for a box without either.
TEST_P(QtMessageBox, CloseBoxAnswersAsEscapeDoes)
{
    const BoxCase& c = GetParam();
    forms::QtHooks hooks;
    bool closedByCloseBox = false;
    bool pressed = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        ASSERT_NE(box->windowHandle(), nullptr);
        // What the window manager's close box does: a close request to the window.
        box->windowHandle()->close();
        if (!box->isVisible()) {
            closedByCloseBox = true;
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == QString::fromUtf8(c.buttonToPress)) {
                pressed = true;
                button->click();
            }
        }
    });
    const int answer = hooks.msgBox("閉じる", c.style, "題名");
    EXPECT_EQ(closedByCloseBox, c.escapeCloses) << c.name;
    EXPECT_EQ(pressed, !c.escapeCloses) << c.name;
    EXPECT_EQ(answer, c.escapeCloses ? c.escapeAnswer : c.pressedAnswer) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Styles, QtMessageBox,
    ::testing::Values(
        BoxCase{"OK only", platform::vbOKOnly, true, platform::vbOK, "", 0, {"OK"}, "OK"},
        BoxCase{"OK Cancel", platform::vbOKCancel | platform::vbExclamation, true, platform::vbCancel, "", 0,
                {"OK", "キャンセル"}, "OK"},
        BoxCase{"Yes No has no escape", platform::vbYesNo | platform::vbQuestion, false, 0, "いいえ(&N)",
                platform::vbNo, {"はい(&Y)", "いいえ(&N)"}, "はい(&Y)"},
        BoxCase{"Yes No default second", platform::vbYesNo | platform::vbDefaultButton2, false, 0, "はい(&Y)",
                platform::vbYes, {"はい(&Y)", "いいえ(&N)"}, "いいえ(&N)"},
        BoxCase{"Yes No Cancel", platform::vbYesNoCancel | platform::vbDefaultButton3, true, platform::vbCancel, "",
                0, {"はい(&Y)", "いいえ(&N)", "キャンセル"}, "キャンセル"},
        BoxCase{"Abort Retry Ignore has no escape", platform::vbAbortRetryIgnore, false, 0, "無視(&I)",
                platform::vbIgnore, {"中止(&A)", "再試行(&R)", "無視(&I)"}, "中止(&A)"},
        BoxCase{"Retry Cancel", platform::vbRetryCancel | platform::vbCritical, true, platform::vbCancel, "", 0,
                {"再試行(&R)", "キャンセル"}, "再試行(&R)"}),
    [](const ::testing::TestParamInfo<BoxCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST(QtMessageBoxParent, BoxBelongsToTheActiveWindowAndStaysOnTop)
{
    class Owner : public forms::Form {
    public:
        Owner() : Form("Owner") {}
    } owner;
    owner.show();
    QApplication::setActiveWindow(forms::formWidget(owner));
    forms::QtHooks hooks;
    QWidget* parent = nullptr;
    bool onTop = false;
    Qt::WindowModality modality = Qt::NonModal;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        parent = box->parentWidget();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        modality = box->windowModality();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    hooks.msgBox("x", platform::vbOKOnly, "t");
    EXPECT_EQ(parent, forms::formWidget(owner));
    EXPECT_TRUE(onTop);
    EXPECT_EQ(modality, Qt::ApplicationModal);
}

// A box over a window whose button fills it opens beside the window, wholly on
// the screen, where it hides neither the window's title bar nor its button.
TEST(QtMessageBoxParent, BoxOpensClearOfItsOwnersTitleBarAndControls)
{
    class Owner : public forms::Form {
    public:
        Owner() : Form("Owner") {}
        forms::CommandButton Command1{*this, "Command1"};

    protected:
        void design() override
        {
            move(1500, 1500, 6000, 4500);
            Command1.move(60, 60, 5700, 3900);
        }
    } owner;
    owner.show();
    QApplication::setActiveWindow(forms::formWidget(owner));
    forms::QtHooks hooks;
    QRect box;
    QTimer::singleShot(0, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        ASSERT_NE(shown, nullptr);
        box = shown->frameGeometry();
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    hooks.msgBox("x", platform::vbOKOnly, "t");
    const QRect frame = forms::formWidget(owner)->frameGeometry();
    const QWidget* button = owner.Command1.widget();
    EXPECT_FALSE(box.intersects(QRect(frame.topLeft(), QSize(frame.width(), 20)))) << "over the title bar";
    EXPECT_FALSE(box.intersects(QRect(button->mapToGlobal(QPoint(0, 0)), button->size()))) << "over the button";
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(box));
}

TEST(ScriptedMessageBoxes, AnUnexpectedBoxFailsNamingItsText)
{
    ScriptedResponder answers;
    EXPECT_NONFATAL_FAILURE(platform::MsgBox("データが変更されています。終了しますか?", platform::vbOKCancel),
                            "データが変更されています");
}

TEST(ScriptedMessageBoxes, ABoxFromAHandlerGetsTheScriptedAnswer)
{
    ScriptedResponder answers;
    answers.answerNext(platform::vbNo);
    class Asking : public forms::Form {
    public:
        Asking() : Form("Asking")
        {
            Command1.onClick = [this] { answer = platform::MsgBox("保存しますか?", platform::vbYesNo, "保存"); };
        }
        forms::CommandButton Command1{*this, "Command1"};
        int answer = 0;
    } form;
    form.show();
    QTest::mouseClick(form.Command1.widget(), Qt::LeftButton);
    EXPECT_EQ(form.answer, platform::vbNo);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].title, "保存");
    EXPECT_EQ(answers.shown()[0].style, platform::vbYesNo);
}

// ---------------------------------------------------------------- common dialog

class DialogForm : public forms::Form {
public:
    DialogForm() : Form("main") {}
    forms::CommonDialog CommonDialog1{*this, "CommonDialog1"};
};

struct FilterCase {
    const char* filter;
    std::vector<std::string> expected;
};

TEST(CommonDialogFilter, TurnsIntoQtFilters)
{
    const FilterCase cases[] = {
        {"*.KEZ", {"*.KEZ (*.KEZ)"}},
        {"BMP files( *.bmp )|*.bmp", {"BMP files( *.bmp ) (*.bmp)"}},
        {"画像|*.bmp;*.ico|すべて|*.*", {"画像 (*.bmp *.ico)", "すべて (*.*)"}},
        {"", {}},
    };
    for (const FilterCase& c : cases)
        EXPECT_EQ(forms::qtNameFilters(c.filter), c.expected) << c.filter;
}

// The real file dialog: its list of file types shows each filter's own text, and
// a filter lists the names its pattern matches in any letter case.
TEST(CommonDialogFilter, TheFileDialogShowsTheFiltersOwnTextAndMatchesAnyCase)
{
    support::TempHome home;
    const std::string folder = platform::joinPath(home.path(), "files");
    platform::makeDir(folder);
    for (const char* name : {"a.KEZ", "b.kez", "c.Kez", "d.pdf", "e.txt"})
        platform::writeWholeFile(platform::joinPath(folder, name), "");
    DialogForm form;
    auto& dialog = form.CommonDialog1;
    dialog.setFilter("*.KEZ|*.KEZ|PDF ファイル（*.pdf)|*.pdf");
    dialog.setInitDir(folder);

    QStringList types;
    QStringList listed;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        auto* combo = shown->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(combo, nullptr);
        for (int i = 0; i < combo->count(); ++i)
            types << combo->itemText(i);
        listed = support::listedNames(*shown, 3);
        shown->reject();
    });
    dialog.showOpen();
    EXPECT_EQ(types, (QStringList{"*.KEZ", "PDF ファイル（*.pdf)"}));
    EXPECT_EQ(listed, (QStringList{"a.KEZ", "b.kez", "c.Kez"}));
}

// A name holding "*" or "?" is a pattern, as on the desktop: the preset pattern
// leaves the name box empty, a typed one filters the list (in the folder it names,
// too) with the dialog left open, and only a name is ever returned.
TEST(CommonDialogPatterns, APatternFiltersTheListAndIsNeverReturned)
{
    support::TempHome home;
    const std::string folder = platform::joinPath(home.path(), "files");
    platform::makeDir(folder);
    platform::makeDir(platform::joinPath(folder, "sub"));
    for (const char* name : {"a.KEZ", "b.txt", "c.TXT", "sub/d.txt", "sub/e.kez"})
        platform::writeWholeFile(platform::joinPath(folder, name), "");
    DialogForm form;
    auto& dialog = form.CommonDialog1;
    dialog.setFilter("*.KEZ");
    dialog.setFileName("*.KEZ");
    dialog.setFlags(forms::cdlOFNOverwritePrompt);
    dialog.setInitDir(folder);

    QString presetBox = "not seen";
    QString typedBox = "not seen";
    QStringList atFirst, typed, inSub;
    bool openAfterPattern = false;
    support::onFileDialog([&](QFileDialog& shown) {
        presetBox = support::nameBoxText(shown);
        atFirst = support::listedNames(shown, 2);
        support::enterName(shown, "*.txt");
        openAfterPattern = shown.isVisible();
        typedBox = support::nameBoxText(shown);
        typed = support::listedNames(shown, 3);
        support::enterName(shown, "sub/?.TXT");
        inSub = support::listedNames(shown, 1);
        support::enterName(shown, "new.kez");
    });
    dialog.showSave();

    EXPECT_EQ(presetBox, "");
    EXPECT_EQ(atFirst, (QStringList{"a.KEZ", "sub"}));
    EXPECT_TRUE(openAfterPattern);
    EXPECT_EQ(typedBox, "");
    EXPECT_EQ(typed, (QStringList{"b.txt", "c.TXT", "sub"}));
    EXPECT_EQ(inSub, (QStringList{"d.txt"}));
    EXPECT_EQ(dialog.fileName(), platform::joinPath(folder, "sub/new.kez"));
}

// An open dialog takes only a file that exists: a name that is no file leaves it
// open, and nothing asks whether to create it, whatever the flags.
TEST(CommonDialogPatterns, AnOpenDialogTakesOnlyAFileThatExistsAndAsksNothing)
{
    support::TempHome home;
    platform::writeWholeFile(platform::joinPath(home.path(), "a.kez"), "");
    ScriptedResponder answers;
    answers.allowUnusedAnswers();
    answers.answerNext(platform::vbYes); // would create the file, were it asked
    DialogForm form;
    auto& dialog = form.CommonDialog1;
    dialog.setFilter("*.kez");
    dialog.setFileName("*.kez");
    dialog.setFlags(forms::cdlOFNOverwritePrompt | forms::cdlOFNCreatePrompt);
    dialog.setInitDir(home.path());

    bool openAfterMissing = false;
    QString saidForMissing;
    support::onFileDialog([&](QFileDialog& shown) {
        support::listedNames(shown, 1);
        support::enterName(shown, "*.kez");
        saidForMissing = support::enterName(shown, "missing.kez");
        openAfterMissing = shown.isVisible();
        support::enterName(shown, "a.kez");
    });
    dialog.showOpen();

    EXPECT_TRUE(openAfterMissing);
    EXPECT_TRUE(saidForMissing.isEmpty() || saidForMissing.contains("missing.kez")) << saidForMissing.toStdString();
    EXPECT_TRUE(answers.shown().empty()) << answers.shown().front().text;
    EXPECT_EQ(dialog.fileName(), platform::joinPath(home.path(), "a.kez"));
}

TEST(CommonDialog, OpenRecordsTheRequestAndReturnsTheChosenPath)
{
    support::TempHome home;
    ScriptedDialogs dialogs;
    dialogs.answerNext(forms::DialogAnswer::file("/tmp/family.kez"));
    DialogForm form;
    auto& dialog = form.CommonDialog1;
    dialog.setDialogTitle("家系図の読込み");
    dialog.setFilter("*.KEZ");
    dialog.setFileName("*.KEZ");
    dialog.setFlags(0x2002);
    dialog.setInitDir(home.path() + "/no such folder");
    dialog.showOpen();
    EXPECT_EQ(dialog.fileName(), "/tmp/family.kez");
    ASSERT_EQ(dialogs.requests().size(), 1u);
    const forms::DialogRequest& request = dialogs.requests()[0];
    EXPECT_EQ(request.kind, forms::DialogKind::Open);
    EXPECT_EQ(request.title, "家系図の読込み");
    EXPECT_EQ(request.filter, "*.KEZ");
    EXPECT_EQ(request.fileName, "*.KEZ");
    EXPECT_EQ(request.flags, 0x2002);
    EXPECT_EQ(request.startDirectory, platform::GetAppPath()); // missing InitDir: the program folder
}

TEST(CommonDialog, CancelRaises32755OnlyWithCancelError)
{
    ScriptedDialogs dialogs;
    DialogForm form;
    auto& dialog = form.CommonDialog1;
    dialog.setFileName("*.KEZ");
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    dialog.showSave();
    EXPECT_EQ(dialog.fileName(), "*.KEZ"); // the preset stays

    dialog.setCancelError(true);
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    EXPECT_EQ(errorNumberOf([&] { dialog.showSave(); }), platform::err::DialogCancelled);

    // CancelError and Flags persist between uses.
    dialog.setFlags(2);
    dialogs.answerNext(forms::DialogAnswer::file("/tmp/out.kez"));
    dialog.showSave();
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    EXPECT_EQ(errorNumberOf([&] { dialog.showSave(); }), platform::err::DialogCancelled);
    EXPECT_EQ(dialogs.requests().back().flags, 2);
    EXPECT_EQ(dialogs.requests().back().fileName, "/tmp/out.kez");
}

TEST(CommonDialog, ColourAndFontKeepTheirValuesOnCancel)
{
    ScriptedDialogs dialogs;
    DialogForm form;
    auto& dialog = form.CommonDialog1;
    dialog.setColor(0x00FF00);
    dialogs.answerNext(forms::DialogAnswer::colour(0x0000FF));
    dialog.showColor();
    EXPECT_EQ(dialog.color(), 0x0000FF);
    EXPECT_EQ(dialogs.requests().back().color, 0x00FF00); // preselected
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    dialog.showColor();
    EXPECT_EQ(dialog.color(), 0x0000FF);

    dialog.setFontName("ＭＳ 明朝");
    dialog.setFontSize(10.5);
    dialogs.answerNext(forms::DialogAnswer::font("ＭＳ ゴシック", 12, true, false));
    dialog.showFont();
    EXPECT_EQ(dialog.fontName(), "ＭＳ ゴシック");
    EXPECT_DOUBLE_EQ(dialog.fontSize(), 12);
    EXPECT_TRUE(dialog.fontBold());
    EXPECT_EQ(dialogs.requests().back().fontName, "ＭＳ 明朝");
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    dialog.showFont();
    EXPECT_EQ(dialog.fontName(), "ＭＳ ゴシック");
}

TEST(CommonDialog, AnUnexpectedDialogFailsNamingItsTitle)
{
    DialogForm form;
    form.CommonDialog1.setDialogTitle("家系図の保存");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDialogs dialogs;
            form.CommonDialog1.showSave();
        },
        "家系図の保存");
}

// ---------------------------------------------------------------- topmost

TEST(SetTopMost, SetsAndClearsWithoutMovingAndRecords)
{
    class Hints : public forms::Form {
    public:
        Hints() : Form("FrmQA") {}

    protected:
        void design() override { move(1500, 1200, 4500, 3000); }
    } hints;
    EXPECT_NE(forms::SetTopMost(hints, 1), 0);
    EXPECT_TRUE(hints.isVisible()); // the call shows the window too
    EXPECT_TRUE(forms::isKeptInFront(hints));
    const QRect before = forms::formWidget(hints)->geometry();
    EXPECT_NE(forms::SetTopMost(hints, 0), 0);
    EXPECT_FALSE(forms::isKeptInFront(hints));
    EXPECT_TRUE(forms::formWidget(hints)->isVisible());
    EXPECT_EQ(forms::formWidget(hints)->geometry(), before);
    EXPECT_EQ(forms::SetTopMost(hints, 2), 0);
    EXPECT_FALSE(forms::isKeptInFront(hints));
    ASSERT_EQ(forms::topMostChanges().size(), 3u);
    EXPECT_EQ(forms::topMostChanges()[0].window, "FrmQA");
    EXPECT_EQ(forms::topMostChanges()[2].mode, 2);
    EXPECT_EQ(forms::topMostChanges()[2].result, 0);
}

// ---------------------------------------------------------------- mouse pointer

TEST(MousePointer, ScreenValuesReplaceEachOtherAndZeroClearsAll)
{
    forms::screen().setMousePointer(forms::vbHourglass);
    forms::screen().setMousePointer(forms::vbHourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    forms::screen().setMousePointer(forms::vbArrow);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    forms::screen().setMousePointer(forms::vbDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); // not a stack: one 0 clears them all
    EXPECT_EQ(forms::screen().mousePointer(), 0);
    EXPECT_EQ(forms::mousePointerChanges().size(), 4u);
    EXPECT_DOUBLE_EQ(forms::screen().twipsPerPixelX(), 15);
}

TEST(MousePointer, WindowPointerAppliesOverTheWindowAndIsRecorded)
{
    class Busy : public forms::Form {
    public:
        Busy() : Form("entry") {}
    } window;
    window.setMousePointer(forms::vbHourglass);
    EXPECT_EQ(forms::formWidget(window)->cursor().shape(), Qt::WaitCursor);
    window.setMousePointer(forms::vbDefault);
    EXPECT_EQ(forms::formWidget(window)->cursor().shape(), Qt::ArrowCursor);
    ASSERT_EQ(forms::mousePointerChanges().size(), 2u);
    EXPECT_EQ(forms::mousePointerChanges()[0].target, "entry");
    EXPECT_EQ(forms::mousePointerChanges()[0].pointer, 11);
}

// ---------------------------------------------------------------- printers

TEST(Printers, ListIsInjectable)
{
    forms::setPrinterList({});
    EXPECT_EQ(forms::Printers().count(), 0);
    EXPECT_EQ(errorNumberOf([] { forms::Printers().item(0); }), 9);
    forms::setPrinterList({"Fake Printer"});
    EXPECT_EQ(forms::Printers().count(), 1);
    EXPECT_EQ(forms::Printers().item(0).deviceName, "Fake Printer");
    forms::resetPrinterList();
    EXPECT_EQ(forms::Printers().count(), 1);
    EXPECT_EQ(forms::Printers().item(0).deviceName, forms::PdfPrinterName);
}

// ---------------------------------------------------------------- fonts

TEST(Fonts, WindowsNamesMapToTheIpaFontsAndBack)
{
    const std::pair<const char*, const char*> table[] = {
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
        {"ＭＳ ゴシック", "IPAGothic"},
        {"ＭＳ 明朝", "IPAMincho"},
        {"ＭＳ Ｐ明朝", "IPAPMincho"},
        {"DejaVu Sans", "DejaVu Sans"},
    };
    for (const auto& [windows, family] : table) {
        EXPECT_EQ(forms::substituteFontFamily(windows), family);
        EXPECT_EQ(forms::windowsFontName(family), windows);
        const QFont font = forms::makeFont(windows, 10.5, false, true);
        EXPECT_EQ(font.family().toStdString(), family);
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 10.5);
        EXPECT_TRUE(font.italic());
        EXPECT_EQ(font.hintingPreference(), QFont::PreferNoHinting);
    }
    EXPECT_DOUBLE_EQ(forms::makeFont("ＭＳ 明朝", 0, false, false).pointSizeF(), 1.0);
    EXPECT_DOUBLE_EQ(forms::makeFont("ＭＳ 明朝", -3, false, false).pointSizeF(), 1.0);
}

} // namespace

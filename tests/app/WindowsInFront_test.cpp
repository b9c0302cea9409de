// Windows opened while the relationship editor and the easy builder, kept in
// front of every other window, are open: none opens where they cover it, on a
// laptop's screen and a desktop's, wherever the main window is; a modal window or
// dialog opens in front of them all, clear of its owner's title bar and controls,
// also under a window manager that frames each window only once it is shown.

#include "drawing/DspOp.h"
#include "entry/EntryForm.h"
#include "entry/InfoOne.h"
#include "forms/Testing.h"
#include "mainwindow/FrmQA.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/OtherWindows.h"
#include "model/run_state.h"
#include "printing/PrePrint.h"
#include "relations/CategMakeForm.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/InfoChldForm.h"
#include "relations/KakeGrpStatForm.h"
#include "reports/nametb.h"
#include "reports/yeartb.h"

#include "LayoutFamilies.h"
#include "ProgramFixture.h"
#include "support/qt/ScreenSize.h"
#include "support/qt/WindowManager.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFontDialog>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

bool keptInFront(const QWidget* window)
{
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

QRect screenArea()
{
    return forms::formWidget(main_form())->screen()->availableGeometry();
}

// The window's frame where the platform shows it.
QRect frameOf(const QWidget& window)
{
    return window.windowHandle() ? window.windowHandle()->frameGeometry() : window.frameGeometry();
}

// True once the window manager has framed the window.
bool framed(const QWidget& window)
{
    return window.isVisible() && window.windowHandle() && !window.windowHandle()->frameMargins().isNull();
}

// True once the form's window is framed where the form placed it.
bool landed(const forms::Form& form)
{
    const QWidget& window = *forms::formWidget(form);
    return framed(window) && frameOf(window).topLeft() == QPoint(forms::twipsToPixels(form.left()), forms::twipsToPixels(form.top()));
}

// What a window manager takes to frame a window and answer for it.
constexpr int FramePatienceMs = 10000;

class WindowsInFront : public app_test::ProgramFixture<> {
protected:
    void SetUp() override
    {
        answers.allowUnusedAnswers();
        ProgramFixture::SetUp();
        main_form().show();
        frmqa_form().unload(); // the hints shown at the start, read
        layouttest::FamilyBuilder family;
        kou = family.couple();
        son = family.person(layouttest::FamilyBuilder::Male);
        family.child(kou, son);
    }

    void TearDown() override
    {
        main_form().setWindowState(forms::vbNormal);
        ProgramFixture::TearDown();
    }

    // The main window maximised (0), in the middle (1) or at the bottom right (2)
    // of the screen; then 設 and 関 open the two windows kept in front.
    static void openTheWindowsKeptInFront(int mainPlace)
    {
        MainForm& main = main_form();
        main.setWindowState(mainPlace == 0 ? forms::vbMaximized : forms::vbNormal);
        const QRect area = screenArea();
        if (mainPlace == 1)
            main.move(400 * 15.0, 230 * 15.0);
        if (mainPlace == 2)
            main.move((area.right() + 1) * 15.0 - main.width(), (area.bottom() + 1) * 15.0 - main.height());
        main.Command2[10].click();
        main.Command2[5].click();
        QCoreApplication::processEvents();
    }

    // "" or why the window just opened is out of sight: off the screen, or under
    // a window opened before it that is kept in front of it.
    static std::string outOfSight(const forms::Form& form, const std::vector<forms::Form*>& before)
    {
        const QWidget* window = forms::formWidget(form);
        if (!window || !window->isVisible())
            return "not shown";
        std::string found = screenArea().contains(window->frameGeometry()) ? "" : "off the screen;";
        for (const forms::Form* earlier : before) {
            const QWidget* other = forms::formWidget(*earlier);
            const bool covers = other->frameGeometry().intersects(window->frameGeometry());
            if (covers && keptInFront(other) && !keptInFront(window))
                found += "under " + earlier->name() + ";";
        }
        return found;
    }

    // "" or what is wrong with the modal window or dialog: not kept in front, or
    // over its owner's title bar (its top 20 pixels) or controls.
    using Controls = std::vector<std::pair<std::string, const QWidget*>>;
    static std::string overOwner(const QWidget& window, const QWidget* owner, const Controls& controls)
    {
        const QRect frame = frameOf(window);
        std::string found = keptInFront(&window) ? "" : "not kept in front;";
        const QRect owners = frameOf(*owner);
        if (frame.intersects(QRect(owners.topLeft(), QSize(owners.width(), 20))))
            found += "over the title bar;";
        for (const auto& [name, control] : controls) {
            if (frame.intersects(QRect(control->mapToGlobal(QPoint(0, 0)), control->size())))
                found += "over " + name + ";";
        }
        return found;
    }

    static std::string overMainWindow(const QWidget& window)
    {
        const QWidget* main = forms::formWidget(main_form());
        Controls controls{{"the menu bar", main->findChild<QMenuBar*>()}};
        main_form().Command2.forEach([&](forms::CommandButton& button) {
            controls.emplace_back("Command2(" + std::to_string(button.index()) + ")", button.widget());
        });
        return overOwner(window, main, controls);
    }

    static std::string overPreview(const QWidget& window, printing::PrePrintForm& preview)
    {
        const Controls controls{{"印刷倍率", preview.Text1.widget()},
                                {"プリンタ設定", preview.CMDFUNC[0].widget()},
                                {"印刷", preview.CMDFUNC[1].widget()},
                                {"戻る", preview.CMDEND.widget()}};
        return overOwner(window, forms::formWidget(preview), controls);
    }

    // Runs check on the next Qt dialog of the kind that shows, then cancels it.
    template <typename Dialog>
    static void onQtDialog(std::function<void(QWidget&)> check)
    {
        auto* poll = new QTimer(qApp);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, check] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<Dialog*>(widget); dialog && dialog->isVisible()) {
                    poll->deleteLater();
                    poll->stop();
                    check(*dialog);
                    dialog->reject();
                    return;
                }
            }
        });
        poll->start(10);
    }

    int16_t kou = 0;
    int16_t son = 0;
};

// The toolbar's windows, the person card, the child dialog, the category window,
// the display options and the hints, opened one after another.
TEST_F(WindowsInFront, EveryWindowOpensWhereNoWindowKeptInFrontCoversIt)
{
    MainForm& main = main_form();
    const std::vector<std::pair<forms::Form*, std::function<void()>>> windows{
        {&nametb_form(), [&] { main.Command2[11].click(); }},
        {&yeartb_form(), [&] { main.Command2[12].click(); }},
        {&kakegrpstat_form(), [&] { main.Command2[14].click(); }},
        {&entry_form(), [&] { main.Command2[9].click(); }},
        {&infochld_form(), [&] { mainwindow::otherWindows().showChildDialog(kou, 0); }},
        {&infoone_form(), [&] { model::runState().Sel_Person = son, main.Command2[8].click(); }},
        {&categmake_form(), [&] { main.cmdCategory.click(); }},
        {&dspop_form(), [&] { dspop_form().showForPerson(son); }},
        {&frmqa_form(), [&] { main.scritem[9].choose(); }}};
    for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
        support::ScreenSize size(screen.width(), screen.height());
        for (const int mainPlace : {0, 1, 2}) {
            SCOPED_TRACE(std::to_string(screen.width()) + " wide, main window " + std::to_string(mainPlace));
            openTheWindowsKeptInFront(mainPlace);
            std::vector<forms::Form*> opened{&ctrl_form(), &easyctl_form()};
            for (const auto& [form, open] : windows) {
                open();
                QCoreApplication::processEvents();
                EXPECT_EQ(outOfSight(*form, opened), "") << form->name();
                opened.push_back(form);
            }
            for (auto it = opened.rbegin(); it != opened.rend(); ++it)
                (*it)->unload();
            model::runState().Ctrl_Open = model::runState().Entry_Open = 0;
            forms::forgetWindowPlaces();
        }
    }
}

// The print preview, the printer choice from the File menu and from the preview,
// and Qt's font and colour dialogs.
TEST_F(WindowsInFront, ModalWindowsAndDialogsOpenInFrontClearOfTheirOwner)
{
    MainForm& main = main_form();
    for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
        support::ScreenSize size(screen.width(), screen.height());
        openTheWindowsKeptInFront(0);
        std::map<std::string, std::string> found;
        forms::onShown("PrePrint", [&](forms::Form& form) {
            auto& preview = static_cast<printing::PrePrintForm&>(form);
            found["preview"] = overMainWindow(*forms::formWidget(preview));
            forms::onShown("frmPrnSet", [&](forms::Form& choice) {
                found["printer choice of the preview"] = overPreview(*forms::formWidget(choice), preview);
                choice.unload();
            });
            preview.CMDFUNC[0].click(); // プリンタ設定
            preview.unload();
        });
        main.Command2[3].click(); // 印刷プレビュー
        forms::onShown("frmPrnSet", [&](forms::Form& choice) {
            found["printer choice"] = overMainWindow(*forms::formWidget(choice));
            choice.unload();
        });
        main.fileitem[10].choose(); // プリンタ設定
        // The main window's dialog control, as 字 and 色 show it; cancelled.
        main.CommonDialog1.setCancelError(false);
        onQtDialog<QFontDialog>([&](QWidget& dialog) { found["font"] = overMainWindow(dialog); });
        main.CommonDialog1.showFont();
        onQtDialog<QColorDialog>([&](QWidget& dialog) { found["colour"] = overMainWindow(dialog); });
        main.CommonDialog1.showColor();

        const std::map<std::string, std::string> clear{{"preview", ""}, {"printer choice of the preview", ""},
                                                       {"printer choice", ""}, {"font", ""}, {"colour", ""}};
        EXPECT_EQ(found, clear) << screen.width() << " wide";
        easyctl_form().unload();
        ctrl_form().unload();
        model::runState().Ctrl_Open = 0;
        forms::forgetWindowPlaces();
    }
}

// Under a window manager that frames each window only once it is shown, as a
// desktop's does, with the main window maximised and the windows kept in front
// open: the printer choice opened from the print preview lands clear of the
// preview's title bar and controls as the window manager drew them, and Qt's font
// dialog, with room to stand centred on the main window, lands centred on it; on a
// laptop's screen and a desktop's.
TEST_F(WindowsInFront, UnderAWindowManagerModalWindowsAndDialogsLandWhereTheyArePlaced)
{
    if (!support::underWindowManager()) {
        for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
            support::WindowManagerDisplay display(screen.width(), screen.height());
            if (!display.running())
                GTEST_SKIP() << display.whyNotRunning();
            EXPECT_EQ(support::runThisTestOn(display), "") << screen.width() << " wide";
        }
        return;
    }
    MainForm& main = main_form();
    const QWidget& mainWindow = *forms::formWidget(main);
    // Maximised as the user does, once the window manager manages the window: a
    // state asked for while it is still taking the window on may be lost.
    ASSERT_TRUE(QTest::qWaitFor([&] { return framed(mainWindow); }, FramePatienceMs));
    main.setWindowState(forms::vbMaximized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frameOf(mainWindow) == screenArea(); }, FramePatienceMs));
    main.Command2[10].click(); // 関係設定画面
    main.Command2[5].click();  // 関係追加画面
    ASSERT_TRUE(QTest::qWaitFor([] { return landed(ctrl_form()) && landed(easyctl_form()); }, FramePatienceMs));
    // A framed window moved and sized while shown lands there with that size.
    {
        forms::Form& editor = ctrl_form();
        const QWidget& window = *forms::formWidget(editor);
        const QRect wanted(QPoint(forms::twipsToPixels(editor.left()) + 40, forms::twipsToPixels(editor.top()) + 30),
                           QSize(forms::twipsToPixels(editor.width()) - 20, forms::twipsToPixels(editor.height()) - 10));
        editor.move(wanted.x() * 15.0, wanted.y() * 15.0, wanted.width() * 15.0, wanted.height() * 15.0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return frameOf(window) == wanted; }, FramePatienceMs))
            << "framed at " << frameOf(window).x() << "," << frameOf(window).y() << " " << frameOf(window).width()
            << "x" << frameOf(window).height();
    }

    std::map<std::string, std::string> found;
    forms::onShown("PrePrint", [&](forms::Form& form) {
        auto& preview = static_cast<printing::PrePrintForm&>(form);
        EXPECT_TRUE(QTest::qWaitFor([&] { return landed(preview); }, FramePatienceMs));
        forms::onShown("frmPrnSet", [&](forms::Form& choice) {
            const auto wrong = [&] {
                return (landed(choice) ? "" : std::string("not framed where placed;"))
                       + overPreview(*forms::formWidget(choice), preview);
            };
            found["printer choice of the preview"] =
                QTest::qWaitFor([&] { return wrong().empty(); }, FramePatienceMs) ? "" : wrong();
            choice.unload();
        });
        preview.CMDFUNC[0].click(); // プリンタ設定
        preview.unload();
    });
    main.Command2[3].click(); // 印刷プレビュー
    main.CommonDialog1.setCancelError(false);
    onQtDialog<QFontDialog>([&](QWidget& dialog) {
        const auto wrong = [&] {
            const bool centred = frameOf(dialog).center() == frameOf(mainWindow).center();
            return std::string(framed(dialog) ? "" : "not framed;") + (centred ? "" : "off the main window's centre;")
                   + overMainWindow(dialog);
        };
        found["font"] = QTest::qWaitFor([&] { return wrong().empty(); }, FramePatienceMs) ? "" : wrong();
    });
    main.CommonDialog1.showFont(); // 字

    const std::map<std::string, std::string> clear{{"printer choice of the preview", ""}, {"font", ""}};
    EXPECT_EQ(found, clear);
    easyctl_form().unload();
    ctrl_form().unload();
    model::runState().Ctrl_Open = 0;
}

} // namespace

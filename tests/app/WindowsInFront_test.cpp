// Windows opened while the relationship editor and the easy builder are open, on
// a laptop's screen and a desktop's, wherever the main window is: each covers as
// few of the main window's commands, and then of the title bars and controls of
// the windows open, as a place on the screen lets it; a modal window or dialog
// opens in front of them all, clear of its owner's title bar and controls. Under a
// window manager (openbox, which frames each window only once it is shown), every
// window opened, shown again after its own button hid it, or clicked comes to the
// front, wholly in sight, and takes the keyboard, while the windows the main
// window opened stay in front of its chart; a leader is dragged from the
// relationship editor's list onto the lineage groups as they open; the main
// window's commands a window must lie over come forward at a click on the main
// window; and a window the user moved opens again exactly where it was left. Under
// openbox, xfwm4 and metacity the main window maximises, restores and goes in and
// out of the full-screen view as a plain Qt window does.

#include "drawing/DspOp.h"
#include "entry/EntryForm.h"
#include "entry/InfoOne.h"
#include "forms/Testing.h"
#include "forms/Timer.h"
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
#include "MainWindowCommands.h"
#include "ProgramFixture.h"
#include "support/qt/ScreenSize.h"
#include "support/qt/WindowManager.h"
#include "support/qt/X11Desktop.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFontDialog>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
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

std::string describe(const QRect& frame)
{
    return std::to_string(frame.x()) + "," + std::to_string(frame.y()) + " " + std::to_string(frame.width()) + "x"
           + std::to_string(frame.height());
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

    // What a frame covers, in the order the placement weighs it: the main
    // window's commands, the title bars (their top 30 pixels) of the windows
    // open, and their controls (those that take keys or drops: buttons, lists,
    // drop boxes).
    struct Cover {
        int commands = 0;
        int titleBars = 0;
        int controls = 0;
        bool operator<=(const Cover& other) const
        {
            return std::tie(commands, titleBars, controls) <= std::tie(other.commands, other.titleBars, other.controls);
        }
    };

    struct Parts {
        std::vector<QRect> commands;
        std::vector<QRect> titleBars;
        std::vector<QRect> controls;
    };

    static Parts partsAround(const std::vector<forms::Form*>& open)
    {
        Parts parts;
        for (const auto& command : app_test::mainWindowCommands())
            parts.commands.push_back(command.second);
        for (const forms::Form* form : open) {
            const QWidget& window = *forms::formWidget(*form);
            const QRect frame = frameOf(window);
            const QRect inside = app_test::placeOnScreen(window);
            parts.titleBars.emplace_back(frame.topLeft(), QSize(frame.width(), 30));
            for (const forms::Control* control : form->controls()) {
                const QWidget* widget = control->widget();
                const auto* label = dynamic_cast<const forms::Label*>(control);
                const bool takesDrops = label && label->oleDropMode() == 1;
                if (widget && widget->isVisible() && !dynamic_cast<const forms::Container*>(control)
                    && (takesDrops || widget->focusPolicy() != Qt::NoFocus))
                    parts.controls.push_back(app_test::placeOnScreen(*widget) & inside);
            }
        }
        return parts;
    }

    static Cover coverOf(const QRect& frame, const Parts& parts)
    {
        const auto count = [&frame](const std::vector<QRect>& things) {
            return static_cast<int>(std::count_if(things.begin(), things.end(),
                                                  [&frame](const QRect& thing) { return frame.intersects(thing); }));
        };
        return {count(parts.commands), count(parts.titleBars), count(parts.controls)};
    }

    // "" or what is wrong with where the window just opened: off the screen, or
    // covering more than a place on a grid of every eighth pixel of the screen
    // would.
    static std::string coversMoreThanItMust(const forms::Form& form, const std::vector<forms::Form*>& before)
    {
        const QWidget* window = forms::formWidget(form);
        if (!window || !window->isVisible())
            return "not shown";
        const QRect area = screenArea();
        const QRect frame = frameOf(*window);
        std::string found = area.contains(frame) ? "" : "off the screen;";
        const Parts parts = partsAround(before);
        const Cover cover = coverOf(frame, parts);
        for (int x = area.left(); x + frame.width() <= area.right() + 1; x += 8) {
            for (int y = area.top(); y + frame.height() <= area.bottom() + 1; y += 8) {
                const Cover there = coverOf(QRect(QPoint(x, y), frame.size()), parts);
                if (!(cover <= there))
                    return found + "covers " + std::to_string(cover.commands) + " commands, "
                           + std::to_string(cover.titleBars) + " title bars and " + std::to_string(cover.controls)
                           + " controls where " + std::to_string(there.commands) + ", "
                           + std::to_string(there.titleBars) + " and " + std::to_string(there.controls) + " would do";
            }
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

    // Runs the test again on openbox's display, on a laptop's screen and a
    // desktop's.
    static void runUnderOpenbox()
    {
        for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
            support::WindowManagerDisplay display(screen.width(), screen.height());
            if (!display.running())
                GTEST_SKIP() << display.whyNotRunning();
            EXPECT_EQ(support::runThisTestOn(display), "") << screen.width() << " wide";
        }
    }

    static bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, FramePatienceMs); }

    // The main window maximised as the user does, once the window manager
    // manages it: a state asked for while it is still taking the window on may
    // be lost.
    static void maximiseMainWindow()
    {
        ASSERT_TRUE(support::desktopAvailable());
        const QWidget& mainWindow = *forms::formWidget(main_form());
        ASSERT_TRUE(waitFor([&] { return framed(mainWindow); }));
        main_form().setWindowState(forms::vbMaximized);
        ASSERT_TRUE(waitFor([&] { return frameOf(mainWindow) == screenArea(); }));
    }

    // "" when the window is in front: no window of the program stacked above it,
    // wholly in sight on the screen, and the active window, of the desktop and
    // of the program (it takes the keyboard); else what is not.
    static std::string notInFront(const QWidget& window)
    {
        if (!window.isVisible())
            return "not shown";
        std::string found;
        const std::vector<QWidget*> stacked = support::stackedWindows();
        if (stacked.empty() || stacked.back() != &window)
            found += "under another window;";
        if (const double share = support::shareInSight(window); share < 1)
            found += std::to_string(static_cast<int>(share * 100)) + "% in sight;";
        if (!screenArea().contains(support::frameOnDisplay(window)))
            found += "off the screen;";
        if (support::activeWindowOfDesktop() != &window || QApplication::activeWindow() != &window)
            found += "not active;";
        return found;
    }

    static std::string notInFront(const forms::Form& form) { return notInFront(*forms::formWidget(form)); }

    // A point of the region, on the window, that no window stacked above it covers.
    static std::optional<QPoint> pointInSight(const QWidget& window, const QRect& region)
    {
        const std::vector<QWidget*> stacked = support::stackedWindows();
        const auto at = std::find(stacked.begin(), stacked.end(), &window);
        if (at == stacked.end())
            return std::nullopt;
        for (int y = region.top() + 2; y < region.bottom(); y += 4) {
            for (int x = region.left() + 2; x < region.right(); x += 8) {
                const QPoint point(x, y);
                if (std::none_of(at + 1, stacked.end(),
                                 [&point](const QWidget* above) { return frameOf(*above).contains(point); }))
                    return point;
            }
        }
        return std::nullopt;
    }

    // The middle of the title bar, away from the window menu at its left and the
    // buttons at its right.
    static QRect titleBarOf(const QWidget& window)
    {
        const QRect frame = frameOf(window);
        const int height = window.windowHandle()->frameMargins().top();
        return QRect(frame.left() + 40, frame.top() + 2, frame.width() - 130, height - 4);
    }

    // The main window's commands a window stacked above it covers, each
    // followed by ';'.
    static std::string commandsHidden()
    {
        const QWidget* main = forms::formWidget(main_form());
        const std::vector<QWidget*> stacked = support::stackedWindows();
        const auto at = std::find(stacked.begin(), stacked.end(), main);
        std::string hidden;
        for (const auto& [name, place] : app_test::mainWindowCommands()) {
            if (std::any_of(at == stacked.end() ? at : at + 1, stacked.end(),
                            [&place = place](const QWidget* above) { return frameOf(*above).intersects(place); }))
                hidden += name + ";";
        }
        return hidden;
    }

    // Where the user clicks to bring the window forward: a point in sight of its
    // title bar, else of the frame below its client area, else of the client area
    // itself where no control lies.
    static std::optional<QPoint> placeToClick(const QWidget& window)
    {
        if (const auto titleBar = pointInSight(window, titleBarOf(window)))
            return titleBar;
        const QRect frame = frameOf(window);
        const QMargins margins = window.windowHandle()->frameMargins();
        if (const auto bottom = pointInSight(window, QRect(frame.left() + 20, frame.bottom() + 1 - margins.bottom(),
                                                           frame.width() - 40, margins.bottom())))
            return bottom;
        const QRect client = app_test::placeOnScreen(window);
        for (int y = client.top() + 2; y < client.bottom(); y += 6) {
            for (int x = client.left() + 2; x < client.right(); x += 6) {
                const auto point = pointInSight(window, QRect(x, y, 1, 1));
                const QWidget* under = point ? QApplication::widgetAt(*point) : nullptr;
                if (under && under->window() == &window && (under == &window || under->parentWidget() == &window))
                    return point;
            }
        }
        return std::nullopt;
    }

    static QPoint middleOf(const forms::Control& control)
    {
        return app_test::placeOnScreen(*control.widget()).center();
    }

    int16_t kou = 0;
    int16_t son = 0;
};

// The toolbar's windows, the person card, the child dialog, the category window,
// the display options and the hints, opened one after another.
TEST_F(WindowsInFront, EveryWindowOpensWhereItCoversTheFewestOfTheOthers)
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
                EXPECT_EQ(coversMoreThanItMust(*form, opened), "") << form->name();
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

// Under openbox with the main window maximised, the windows of the toolbar opened
// one after another, the relationship editor and the easy builder last: each
// comes to the front as it opens, wholly in sight, and takes the keyboard; so
// does each at a click on it (its title bar where that is in sight), and the
// relationship editor when 設 brings it forward again. A click on the chart gives the main window the
// keyboard and leaves every window it opened in front of it.
TEST_F(WindowsInFront, UnderAWindowManagerEveryWindowOpenedOrClickedComesToTheFrontAndTakesTheKeyboard)
{
    if (!support::underWindowManager())
        return runUnderOpenbox();
    maximiseMainWindow();
    MainForm& main = main_form();
    const std::vector<std::pair<forms::Form*, int>> windows{{&nametb_form(), 11},    {&yeartb_form(), 12},
                                                            {&kakegrpstat_form(), 14}, {&entry_form(), 9},
                                                            {&ctrl_form(), 10},     {&easyctl_form(), 5}};
    for (const auto& [form, button] : windows) {
        main.Command2[button].click();
        EXPECT_TRUE(waitFor([form = form] { return notInFront(*form).empty(); }))
            << form->name() << " opened: " << notInFront(*form);
    }
    for (const auto& [form, button] : windows) {
        const std::optional<QPoint> place = placeToClick(*forms::formWidget(*form));
        ASSERT_TRUE(place) << "no place to click on " << form->name() << " in sight";
        support::clickAt(*place);
        EXPECT_TRUE(waitFor([form = form] { return notInFront(*form).empty(); }))
            << form->name() << " clicked: " << notInFront(*form);
    }
    const QWidget& mainWindow = *forms::formWidget(main);
    const std::optional<QPoint> chart = pointInSight(mainWindow, app_test::placeOnScreen(*main.Picture1.widget()));
    ASSERT_TRUE(chart) << "no part of the chart in sight";
    support::clickAt(*chart);
    EXPECT_TRUE(waitFor([&] { return support::activeWindowOfDesktop() == &mainWindow; }));
    const std::vector<QWidget*> stacked = support::stackedWindows();
    const auto mainAt = std::find(stacked.begin(), stacked.end(), &mainWindow);
    for (const auto& [form, button] : windows)
        EXPECT_GT(std::find(stacked.begin(), stacked.end(), forms::formWidget(*form)), mainAt)
            << form->name() << " went behind the main window";
    main.Command2[10].click(); // 設, the editor open
    EXPECT_TRUE(waitFor([] { return notInFront(ctrl_form()).empty(); })) << notInFront(ctrl_form());
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        it->first->unload();
    model::runState().Ctrl_Open = model::runState().Entry_Open = 0;
}

// Under openbox with the main window maximised, the person card and the child
// dialog, hidden by their own buttons, then 設: opened again, each comes to the
// front, wholly in sight, and takes the keyboard.
TEST_F(WindowsInFront, UnderAWindowManagerAWindowItsOwnButtonHidComesBackInFront)
{
    if (!support::underWindowManager())
        return runUnderOpenbox();
    maximiseMainWindow();
    MainForm& main = main_form();
    struct Row {
        std::string name;
        forms::Form* form;
        std::function<void()> open;
        const forms::CommandButton* button;
    };
    const auto card = [&] {
        model::runState().Sel_Person = son;
        main.Command2[8].click(); // 個
    };
    const auto child = [&] { mainwindow::otherWindows().showChildDialog(kou, 0); };
    const std::vector<Row> rows{{"the person card's 戻る", &infoone_form(), card, &infoone_form().CMDEND},
                                {"the child dialog's 戻る", &infochld_form(), child, &infochld_form().CMDEND},
                                {"the child dialog's 登録", &infochld_form(), child, &infochld_form().CMDFUNC[0]}};
    for (const Row& row : rows) {
        row.open();
        ASSERT_TRUE(waitFor([&] { return notInFront(*row.form).empty(); })) << row.name << ": " << notInFront(*row.form);
        support::clickAt(middleOf(*row.button));
        ASSERT_TRUE(waitFor([&] { return !row.form->isVisible(); }))
            << row.name << " left the window shown; messages: " << ::testing::PrintToString(answers.shownTexts());
        main.Command2[10].click(); // 設
        ASSERT_TRUE(waitFor([] { return landed(ctrl_form()) && notInFront(ctrl_form()).empty(); }));
        row.open();
        EXPECT_TRUE(waitFor([&] { return notInFront(*row.form).empty(); }))
            << row.name << ", then 設: " << notInFront(*row.form);
        ctrl_form().unload();
        model::runState().Ctrl_Open = 0;
        row.form->unload();
    }
}

// Under openbox with the main window maximised, the relationship editor and the
// lineage groups opened one after the other, in either order, the lineage groups
// opened again after they were closed, and among three more windows: the user
// drags a person from the editor's list onto the lineage groups' leader box (a
// press on the list brings the editor to the front), and he becomes the leader.
TEST_F(WindowsInFront, UnderAWindowManagerALeaderIsDraggedFromTheEditorOntoTheLineageGroups)
{
    if (!support::underWindowManager())
        return runUnderOpenbox();
    // The marker follows the pointer on the editor's timer, as it does for a user.
    forms::setTimersManual(false);
    maximiseMainWindow();
    MainForm& main = main_form();
    // The toolbar buttons pressed, in order; 0 closes the lineage groups by
    // their close box.
    const std::vector<std::pair<std::string, std::vector<int>>> orders{
        {"設 then 群", {10, 14}},
        {"群 then 設", {14, 10}},
        {"群, closed, 設, 群 again", {14, 0, 10, 14}},
        {"名, 年, 群, 入, 設", {11, 12, 14, 9, 10}}};
    for (const auto& [order, buttons] : orders) {
        for (const int button : buttons) {
            if (button == 0) {
                forms::formWidget(kakegrpstat_form())->close();
                continue;
            }
            main.Command2[button].click();
            ASSERT_TRUE(waitFor([] { return support::activeWindowOfDesktop() == QApplication::activeWindow(); }));
        }
        ASSERT_TRUE(waitFor([] { return landed(ctrl_form()) && landed(kakegrpstat_form()); })) << order;
        // The first man of the family in the list (a placeholder entry is no person).
        forms::ListBox& list = ctrl_form().List1[0];
        int row = 0;
        while (row < list.listCount() && list.itemData(row) < 0)
            ++row;
        const auto* view = qobject_cast<const QAbstractItemView*>(list.widget());
        ASSERT_TRUE(view && row < list.listCount()) << order;
        const QModelIndex index = view->model()->index(row, 0);
        const QPoint from = view->viewport()->mapToGlobal(view->visualRect(index).center());
        const std::string entry = index.data().toString().toStdString();
        const QPoint to = middleOf(kakegrpstat_form().lblLeader);
        support::pressMouseAt(from);
        EXPECT_TRUE(waitFor([&] { return list.listIndex() == row; })) << order << ": the press did not reach the list";
        for (int step = 1; step <= 4 && !form2().isVisible(); ++step) {
            support::moveMouseTo(from + (to - from) * step / 8);
            // The drag begins once the pointer has gone far enough.
            (void)waitFor([] { return form2().isVisible(); });
        }
        EXPECT_TRUE(form2().isVisible()) << order << ": no drag began";
        support::moveMouseTo(to);
        EXPECT_TRUE(waitFor([] { return form2().backColor() == MarkerAcceptedColour; }))
            << order << ": the leader box does not take the drop";
        support::releaseMouseAt(to);
        EXPECT_TRUE(waitFor([&] { return kakegrpstat_form().lblLeader.caption() == entry; }))
            << order << ": the leader box shows " << kakegrpstat_form().lblLeader.caption();
        for (forms::Form* form : {static_cast<forms::Form*>(&entry_form()), static_cast<forms::Form*>(&yeartb_form()),
                                  static_cast<forms::Form*>(&nametb_form()), static_cast<forms::Form*>(&kakegrpstat_form()),
                                  static_cast<forms::Form*>(&ctrl_form())})
            form->unload();
        model::runState().Ctrl_Open = model::runState().Entry_Open = 0;
        forms::forgetWindowPlaces();
    }
}

// Under openbox with the main window low on the screen (where on a laptop's
// screen the relationship editor must lie over some of its commands) and at its
// own place with the easy builder opened after the editor: the windows cover no
// more of the main window's commands than they must, and a click on the chart
// brings the main window, with its commands, in front of them.
TEST_F(WindowsInFront, UnderAWindowManagerTheMainWindowsCommandsComeForwardAtAClickOnIt)
{
    if (!support::underWindowManager())
        return runUnderOpenbox();
    ASSERT_TRUE(support::desktopAvailable());
    MainForm& main = main_form();
    const QWidget& mainWindow = *forms::formWidget(main);
    ASSERT_TRUE(waitFor([&] { return framed(mainWindow); }));
    const QRect area = screenArea();
    struct Row {
        std::string name;
        QPoint mainPlace;
        std::vector<int> buttons;
    };
    const QPoint bottomRight(area.right() + 1 - frameOf(mainWindow).width(), area.bottom() + 1 - frameOf(mainWindow).height());
    const std::vector<Row> rows{{"main window at 400,230, 設", QPoint(400, 230), {10}},
                                {"main window at the bottom right, 設", bottomRight, {10}},
                                {"main window at its own place, 設 then 関", QPoint(40, 40), {10, 5}}};
    for (const Row& row : rows) {
        main.move(row.mainPlace.x() * 15.0, row.mainPlace.y() * 15.0);
        ASSERT_TRUE(waitFor([&] { return frameOf(mainWindow).topLeft() == row.mainPlace; }))
            << row.name << ": at " << frameOf(mainWindow).x() << "," << frameOf(mainWindow).y() << " on the display "
            << support::frameOnDisplay(mainWindow).x() << "," << support::frameOnDisplay(mainWindow).y();
        std::vector<forms::Form*> opened;
        for (const int button : row.buttons) {
            main.Command2[button].click();
            opened.push_back(button == 10 ? static_cast<forms::Form*>(&ctrl_form()) : &easyctl_form());
            ASSERT_TRUE(waitFor([&] { return landed(*opened.back()); })) << row.name;
            EXPECT_EQ(app_test::coversMoreCommandsThanItMust(frameOf(*forms::formWidget(*opened.back())), area), "")
                << row.name << ": " << opened.back()->name();
        }
        // On the chart: a click on the title bar right after the last row's would
        // be a double-click, which maximises the window.
        const std::optional<QPoint> chart =
            pointInSight(mainWindow, app_test::placeOnScreen(*main.Picture1.widget()));
        ASSERT_TRUE(chart) << row.name << ": no part of the chart in sight";
        support::clickAt(*chart);
        EXPECT_TRUE(waitFor([] { return commandsHidden().empty(); })) << row.name << ": hidden " << commandsHidden();
        for (auto it = opened.rbegin(); it != opened.rend(); ++it)
            (*it)->unload();
        model::runState().Ctrl_Open = 0;
        forms::forgetWindowPlaces();
    }
}

// Under openbox with the main window maximised, the relationship editor is moved
// by the window manager, to and fro, and closed, by its close box or its 戻る,
// many times over: each time 設 opens it again exactly where it was left.
TEST_F(WindowsInFront, UnderAWindowManagerAMovedWindowOpensAgainExactlyWhereItWasLeft)
{
    if (!support::underWindowManager())
        return runUnderOpenbox();
    maximiseMainWindow();
    MainForm& main = main_form();
    const QRect area = screenArea();
    main.Command2[10].click(); // 設
    for (int reopening = 1; reopening <= 16; ++reopening) {
        const QWidget& window = *forms::formWidget(ctrl_form());
        ASSERT_TRUE(waitFor([&] { return landed(ctrl_form()) && notInFront(ctrl_form()).empty(); }))
            << "reopening " << reopening << ": " << notInFront(ctrl_form());
        // Moved by the window manager, to and fro, wholly on the screen.
        const QRect before = support::frameOnDisplay(window);
        const QPoint by = QPoint(100, 60) * (reopening % 2 == 1 ? 1 : -1);
        ASSERT_TRUE(area.contains(before.translated(by))) << "reopening " << reopening;
        support::askWindowManagerToMove(window, before.topLeft() + by);
        ASSERT_TRUE(waitFor([&] {
            return support::frameOnDisplay(window) == before.translated(by)
                   && frameOf(window) == support::frameOnDisplay(window);
        })) << "reopening " << reopening << ": moved by " << by.x() << "," << by.y() << " from " << describe(before)
            << " to " << describe(support::frameOnDisplay(window)) << ", for the program " << describe(frameOf(window));
        const QRect left = support::frameOnDisplay(window);
        if (reopening % 2 == 0)
            forms::formWidget(ctrl_form())->close();
        else
            support::clickAt(middleOf(ctrl_form().CMDEND[0]));
        ASSERT_TRUE(waitFor([] { return !ctrl_form().isLoaded(); })) << "reopening " << reopening;
        main.Command2[10].click(); // 設
        const QWidget& again = *forms::formWidget(ctrl_form());
        EXPECT_TRUE(waitFor([&] { return landed(ctrl_form()) && support::frameOnDisplay(again) == left; }))
            << "reopening " << reopening << ": at " << support::frameOnDisplay(again).x() << ","
            << support::frameOnDisplay(again).y() << " for " << left.x() << "," << left.y();
    }
    ctrl_form().unload();
    model::runState().Ctrl_Open = 0;
}

enum class State { Normal, Maximised, FullScreen };

// The state the window manager holds the window in, and Qt with it.
bool inState(const QWidget& window, State state)
{
    const bool maximised = support::hasStateOnDisplay(window, "_NET_WM_STATE_MAXIMIZED_VERT")
                           && support::hasStateOnDisplay(window, "_NET_WM_STATE_MAXIMIZED_HORZ");
    const bool fullScreen = support::hasStateOnDisplay(window, "_NET_WM_STATE_FULLSCREEN");
    switch (state) {
    case State::Maximised: return maximised && !fullScreen && window.isMaximized();
    case State::FullScreen: return fullScreen && window.isFullScreen();
    default: return !maximised && !fullScreen && !window.isMaximized() && !window.isFullScreen();
    }
}

// The main window maximised and restored by the window manager (as its title
// bar's button, a double-click on it or wmctrl ask) and by the program, and taken
// in and out of the full-screen view, under openbox, xfwm4 and metacity, on a
// laptop's screen and a desktop's: as a plain Qt window beside it does, it fills
// the frame the window manager gives it and lays out at that size, and it comes
// back exactly to where it was, however often.
TEST_F(WindowsInFront, UnderEachWindowManagerTheMainWindowChangesStateAsAPlainWindowDoes)
{
    if (!support::underWindowManager()) {
        for (const auto manager : {support::WindowManagerKind::Openbox, support::WindowManagerKind::Xfwm4,
                                   support::WindowManagerKind::Metacity}) {
            for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
                support::WindowManagerDisplay display(screen.width(), screen.height(), manager);
                if (!display.running())
                    GTEST_SKIP() << display.whyNotRunning();
                EXPECT_EQ(support::runThisTestOn(display), "") << support::nameOf(manager) << " " << screen.width();
            }
        }
        return;
    }
    ASSERT_TRUE(support::desktopAvailable());
    MainForm& main = main_form();
    QWidget& mainWindow = *forms::formWidget(main);
    // A plain Qt window of the main window's size, beside it: what the window
    // manager does with a window.
    QWidget plain;
    plain.resize(mainWindow.size());
    plain.move(mainWindow.pos() + QPoint(60, 40));
    plain.show();
    const auto settled = [](const QWidget& window) {
        return framed(window) && support::frameOnDisplay(window) == frameOf(window);
    };
    ASSERT_TRUE(waitFor([&] { return settled(mainWindow) && settled(plain); }));
    const QRect mainNormal = support::frameOnDisplay(mainWindow);
    const QRect plainNormal = support::frameOnDisplay(plain);

    // Each step is asked of both windows alike, by the window manager or by the
    // program (the main window through its WindowState and full-screen view).
    enum class Asker { WindowManager, Program };
    const auto ask = [&](QWidget& window, Asker asker, State state) {
        if (asker == Asker::WindowManager) {
            support::askWindowManager(window, state == State::Maximised, "_NET_WM_STATE_MAXIMIZED_VERT",
                                      "_NET_WM_STATE_MAXIMIZED_HORZ");
        } else if (&window == &mainWindow) {
            main.setFullScreen(state == State::FullScreen);
            if (state != State::FullScreen)
                main.setWindowState(state == State::Maximised ? forms::vbMaximized : forms::vbNormal);
        } else {
            window.setWindowState(state == State::Maximised    ? Qt::WindowMaximized
                                  : state == State::FullScreen ? Qt::WindowFullScreen
                                                               : Qt::WindowNoState);
        }
    };
    struct Step {
        std::string name;
        Asker asker;
        State state;
    };
    const std::vector<Step> steps{
        {"maximised by the window manager", Asker::WindowManager, State::Maximised},
        {"restored by the window manager", Asker::WindowManager, State::Normal},
        {"maximised by the program", Asker::Program, State::Maximised},
        {"restored by the program", Asker::Program, State::Normal},
        {"full screen", Asker::Program, State::FullScreen},
        {"out of full screen", Asker::Program, State::Normal},
        {"maximised again by the window manager", Asker::WindowManager, State::Maximised},
        {"restored again by the window manager", Asker::WindowManager, State::Normal},
        {"full screen again", Asker::Program, State::FullScreen},
        {"out of full screen again", Asker::Program, State::Normal},
        {"full screen a third time", Asker::Program, State::FullScreen},
        {"out of full screen a third time", Asker::Program, State::Normal},
    };
    // Once the window manager holds the plain window in the state, the main
    // window is in it too: maximised or full-screen with the plain window's
    // frame, or back exactly where it was; and its client area (what its Resize
    // lays out, below the menu bar) is the one it has on the display.
    for (const Step& step : steps) {
        ask(plain, step.asker, step.state);
        ask(mainWindow, step.asker, step.state);
        ASSERT_TRUE(waitFor([&] {
            return inState(plain, step.state)
                   && (step.state != State::Normal || support::frameOnDisplay(plain) == plainNormal);
        })) << step.name << ": the plain window";
        const auto asPlain = [&]() -> std::string {
            std::string found = inState(mainWindow, step.state) ? "" : "in another state;";
            const QRect frame = support::frameOnDisplay(mainWindow);
            const QRect wanted = step.state == State::Normal ? mainNormal : support::frameOnDisplay(plain);
            if (frame != wanted)
                found += "framed at " + describe(frame) + " for " + describe(wanted) + ";";
            const QSize client = support::clientOnDisplay(mainWindow).size();
            const QMenuBar* bar = mainWindow.findChild<QMenuBar*>();
            const QSize laidOut(forms::twipsToPixels(main.scaleWidth()),
                                forms::twipsToPixels(main.scaleHeight()) + (bar->isVisible() ? bar->height() : 0));
            if (laidOut != client || mainWindow.size() != client)
                found += "laid out at " + std::to_string(laidOut.width()) + "x" + std::to_string(laidOut.height())
                         + " in a client of " + std::to_string(client.width()) + "x"
                         + std::to_string(client.height()) + ";";
            return found;
        };
        EXPECT_TRUE(waitFor([&] { return asPlain().empty(); })) << step.name << ": " << asPlain();
    }
}

} // namespace

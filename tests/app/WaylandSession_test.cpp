// The program in a Wayland session, on a laptop's screen and a desktop's: where
// the session offers XWayland it runs on X11 there and works as on an X11
// desktop; where it offers none it runs on Wayland itself, and every window has
// its owner, so the compositor keeps it in front of the window it belongs to.
// In Weston, seen from its own scene, with the session's mouse: the hints of
// the first start open in front of the main window and stay there at a click on
// it, and take the next click; the quick name input, modal, stays in front of
// the main window it blocks and takes the next click. In GNOME's mutter with
// XWayland (whose window manager, unlike Weston's, tells a program where its
// windows are): a person dragged from the relationship editor onto the chart
// lands where the pointer lets it go, its marker following the pointer.

#include "entry/InputNameOne.h"
#include "forms/DragDrop.h"
#include "forms/Testing.h"
#include "forms/Timer.h"
#include "mainwindow/FrmQA.h"
#include "mainwindow/MainForm.h"
#include "model/tables.h"
#include "relations/CtrlForm.h"

#include "EditorsFixture.h"
#include "ProgramFixture.h"
#include "support/qt/WindowManager.h"

#include <QApplication>
#include <QCursor>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using support::WaylandSession;

// What a compositor and a program under the address sanitizer take to show a
// window and answer the mouse.
constexpr int ShowPatienceMs = 20000;

// Runs the test again in sessions of a laptop's and a desktop's screen.
void runInSessions(WaylandSession::XServer xServer,
                   WaylandSession::Compositor compositor = WaylandSession::Compositor::Weston)
{
    for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
        WaylandSession session(screen.width(), screen.height(), xServer, compositor);
        if (!session.running())
            GTEST_SKIP() << session.whyNotRunning();
        EXPECT_EQ(support::runThisTestIn(session), "") << screen.width() << " wide";
    }
}

const QWidget& windowOf(const forms::Form& form)
{
    return *forms::formWidget(form);
}

std::string titleOf(const forms::Form& form)
{
    return support::sessionTitle(windowOf(form));
}

// The compositor's scene, front to back, for a failure's message.
std::string scene(const std::vector<support::SessionWindow>& windows)
{
    std::string text;
    for (const support::SessionWindow& window : windows) {
        const QRect& r = window.opaque;
        text += "\n  '" + window.title + "' opaque " + std::to_string(r.x()) + "," + std::to_string(r.y()) + " "
                + std::to_string(r.width()) + "x" + std::to_string(r.height())
                + (window.wholeInSight ? "" : " (covered)");
    }
    return text;
}

// "" when the compositor shows `front` in front of `behind` and wholly in
// sight, else what it shows.
std::string inFrontOf(const forms::Form& front, const forms::Form& behind)
{
    const std::vector<support::SessionWindow> windows = support::sessionWindows();
    const auto place = [&](const forms::Form& form) {
        return std::find_if(windows.begin(), windows.end(),
                            [&](const support::SessionWindow& window) { return window.title == titleOf(form); });
    };
    const auto frontWindow = place(front);
    const auto behindWindow = place(behind);
    if (frontWindow == windows.end() || behindWindow == windows.end())
        return "not both shown:" + scene(windows);
    if (frontWindow > behindWindow || !frontWindow->wholeInSight)
        return "'" + titleOf(front) + "' not in front of '" + titleOf(behind) + "' and wholly in sight:" + scene(windows);
    return {};
}

// Waits until the compositor shows `front` in front of `behind` and wholly in
// sight, and the program has it as its active window, as it asked when it
// showed it (a click made before then may be undone by that).
bool waitUntilInFront(const forms::Form& front, const forms::Form& behind, std::string& found)
{
    return QTest::qWaitFor(
        [&] {
            found = inFrontOf(front, behind);
            if (found.empty() && QApplication::activeWindow() != &windowOf(front))
                found = "'" + titleOf(front) + "' is not the active window";
            return found.empty();
        },
        ShowPatienceMs);
}

// Where the centre of the widget is on the session's screen.
QPoint centreOnScreen(const QWidget& widget)
{
    return support::onSessionScreen(widget, widget.rect().center());
}

// A point of the main window's chart, on the screen, that the window does not
// cover: a click there goes to the main window (on empty chart).
QPoint chartClearOf(const forms::Form& window)
{
    const QWidget& chart = *main_form().Picture1.widget();
    const QRect shown = chart.visibleRegion().boundingRect().adjusted(15, 15, -15, -15);
    const QRect covered = support::sessionWindow(titleOf(window)).area;
    for (const QPoint corner : {shown.bottomLeft(), shown.topLeft(), shown.bottomRight(), shown.topRight()}) {
        const QPoint point = support::onSessionScreen(chart, corner);
        if (!covered.contains(point))
            return point;
    }
    ADD_FAILURE() << "no point of the chart is clear of '" << titleOf(window) << "'";
    return QPoint();
}

struct SessionCase {
    const char* name;
    WaylandSession::XServer xServer;
};

void PrintTo(const SessionCase& c, std::ostream* os) { *os << c.name; }

const auto SessionCases = ::testing::Values(SessionCase{"WithXWayland", WaylandSession::XServer::Offered},
                                            SessionCase{"WithoutXWayland", WaylandSession::XServer::None});
const auto SessionCaseName = [](const auto& info) { return std::string(info.param.name); };

class InAWaylandSession : public app_test::ProgramFixture<::testing::TestWithParam<SessionCase>> {
protected:
    void SetUp() override
    {
        answers.allowUnusedAnswers();
        ProgramFixture::SetUp();
    }
};

TEST_P(InAWaylandSession, TheHintsOfTheFirstStartOpenInFrontOfTheMainWindowAndStayThereAtAClickOnIt)
{
    if (!support::inWaylandSession())
        return runInSessions(GetParam().xServer);
    MainForm& main = main_form();
    main.show();
    ASSERT_TRUE(frmqa_form().isVisible());
    std::string found;
    ASSERT_TRUE(waitUntilInFront(frmqa_form(), main, found)) << found;

    // A click on the chart, then one on 次へ, taken in that order: the hints are
    // still in front at their place, and show the next hint.
    support::pointerClick(chartClearOf(frmqa_form()), 1);
    ASSERT_EQ(frmqa_form().currentHint(), 0);
    support::pointerClick(centreOnScreen(*frmqa_form().Command1.widget()), 1);
    EXPECT_TRUE(QTest::qWaitFor([] { return frmqa_form().currentHint() == 1; }, ShowPatienceMs))
        << "the click went past the hints:" << scene(support::sessionWindows());
    EXPECT_EQ(inFrontOf(frmqa_form(), main), "");
    frmqa_form().unload();
}

// 名前入力 from a right-click on a person box blocks the main window: a click on
// the main window leaves it in front, and the click after that reaches it.
TEST_P(InAWaylandSession, TheModalQuickNameInputStaysInFrontOfTheMainWindowItBlocksAndTakesTheNextClick)
{
    if (!support::inWaylandSession())
        return runInSessions(GetParam().xServer);
    platform::writeWholeFile(home.file("\\tvora.ini"), "QAMODE,0\r\n");
    MainForm& main = main_form();
    main.show();
    const int ken = model::set_per_buf(-1, "健", "山田", 0, "");
    const int ai = model::set_per_buf(-1, "愛", "佐藤", 1, "");
    ASSERT_GT(model::set_kou_buf(-1, "通常", 0, 0, ken, ai, 1, "山田家", 0), 0);
    drawing::Refresh_TabDisp();
    int box = -1;
    for (int index : main.DPic.indexes()) {
        if (index >= 2 && drawing::drawState().Label12_Per[static_cast<size_t>(index)] == ken)
            box = index;
    }
    ASSERT_GE(box, 2);
    const forms::CanvasPicture& picture = main.DPic[box];
    const QWidget& chart = *main.Picture1.widget();
    const int inset = main.Picture1.dropInsetPixels();
    const QPoint boxCentre(forms::twipsToPixels(picture.left() + picture.width() / 2) + inset,
                           forms::twipsToPixels(picture.top() + picture.height() / 2) + inset);
    ASSERT_TRUE(QTest::qWaitFor([&] { return support::onSessionScreen(chart, boxCentre).x() >= 0; }, ShowPatienceMs));

    bool asked = false;
    forms::onShown("InputNameOne", [&](forms::Form& dialog) {
        asked = true;
        std::string found;
        EXPECT_TRUE(waitUntilInFront(dialog, main, found)) << found;
        support::pointerClick(chartClearOf(dialog), 1);
        // Taken in order after the click on the main window: at the dialog's
        // place only while it is still in front there.
        support::pointerClick(centreOnScreen(*inputnameone_form().Command2.widget()), 1); // ｷｬﾝｾﾙ
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, ShowPatienceMs))
            << "the click went past the dialog:" << scene(support::sessionWindows());
        if (dialog.isVisible())
            inputnameone_form().Command2_Click();
    });
    support::pointerClick(support::onSessionScreen(chart, boxCentre), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked; }, ShowPatienceMs)) << "the right-click opened no 名前入力";
    if (inputnameone_form().isLoaded())
        inputnameone_form().unload();
}

INSTANTIATE_TEST_SUITE_P(Wayland, InAWaylandSession, SessionCases, SessionCaseName);

// The relationship editor beside the chart, as the program runs where XWayland
// is offered: 鈴木次郎 dragged from its men's list onto the couple mark of 山田家
// becomes their child, and the marker follows the pointer on its way.
class DragInAWaylandSession : public app_test::EditorsFixture {};

TEST_F(DragInAWaylandSession, APersonDraggedFromTheRelationshipEditorOntoTheChartLandsWhereThePointerLetsGo)
{
    if (!support::inWaylandSession())
        return runInSessions(WaylandSession::XServer::Offered, WaylandSession::Compositor::Mutter);
    // The marker follows the pointer on the program's own timer.
    forms::setTimersManual(false);
    CtrlForm& editor = ctrl_form();
    editor.TabStrip1.tabs().item(1).setSelected(true); // 個人情報: the person lists
    auto& list = static_cast<QListWidget&>(*editor.List1[0].widget());
    ASSERT_TRUE(list.isVisible());
    int line = -1;
    for (int i = 0; i < editor.List1[0].listCount(); ++i) {
        if (editor.List1[0].itemData(i) == jiro)
            line = i;
    }
    ASSERT_GE(line, 0);
    const int mark = coupleMarkOf(couple);
    ASSERT_GT(mark, 0);
    const forms::CanvasLabel& label = main_form().Label11[mark];
    const QWidget& chart = *main_form().Picture1.widget();
    const int inset = main_form().Picture1.dropInsetPixels();
    const QPoint markCentre(forms::twipsToPixels(label.left() + label.width() / 2) + inset,
                            forms::twipsToPixels(label.top() + label.height() / 2) + inset);
    const QWidget& rows = *list.viewport();
    const QPoint lineCentre = list.visualItemRect(list.item(line)).center();
    // The editor at the screen's right edge, clear of the mark, as the user
    // would have put it.
    const QWidget& editorWindow = windowOf(editor);
    const QRect screen = editorWindow.screen()->geometry();
    editor.move((screen.right() + 1) * 15.0 - editor.width(), editor.top());
    QPoint from, to, editorAt;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            from = support::onSessionScreen(rows, lineCentre);
            to = support::onSessionScreen(chart, markCentre);
            editorAt = support::onSessionScreen(editorWindow, QPoint());
            return from.x() >= 0 && to.x() >= 0 && editorAt == editorWindow.mapToGlobal(QPoint()) && to.x() < editorAt.x();
        },
        ShowPatienceMs))
        << "the list's line at " << from.x() << "," << from.y() << ", the mark at " << to.x() << "," << to.y()
        << ", the editor at " << editorAt.x() << "," << editorAt.y() << " (the program has it at "
        << editorWindow.mapToGlobal(QPoint()).x() << "," << editorWindow.mapToGlobal(QPoint()).y() << ")";

    support::pointerTo(from);
    support::pointerPress(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor.List1[0].listIndex() == line; }, ShowPatienceMs));
    support::pointerTo(from + QPoint(12, 0));
    ASSERT_TRUE(QTest::qWaitFor([] { return forms::isDragInProgress(); }, ShowPatienceMs));
    for (int step = 1; step <= 4; ++step)
        support::pointerTo(from + (to - from) * step / 4);
    // Over the couple mark the chart takes the drop, and the marker is where the
    // pointer holds it.
    const auto overTheMark = [] {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor && cursor->shape() == Qt::DragCopyCursor;
    };
    EXPECT_TRUE(QTest::qWaitFor(overTheMark, ShowPatienceMs)) << "the chart is not found under the pointer";
    const QPoint marker = to - QPoint(editor.GrabOffset.x, editor.GrabOffset.y);
    QPoint markerAt;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (markerAt = support::onSessionScreen(windowOf(form2()), QPoint())) == marker; },
                                ShowPatienceMs))
        << "the marker is at " << markerAt.x() << "," << markerAt.y() << ", not at " << marker.x() << "," << marker.y();
    support::pointerRelease(1);
    ASSERT_TRUE(QTest::qWaitFor([] { return !forms::isDragInProgress(); }, ShowPatienceMs));
    const auto& children = app_test::kou(couple).kou_kodo;
    EXPECT_NE(std::find(std::begin(children), std::end(children), jiro), std::end(children))
        << "鈴木次郎 is no child of 山田家";
}

} // namespace

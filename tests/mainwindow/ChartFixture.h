#pragma once
// The main window with a family drawn on its chart, and the user's mouse on the
// chart canvas: clicks and double-clicks go to the canvas widget as real mouse
// events at the middle of an element, so the canvas's hit test and event order
// decide which handler runs.

#include "MainWindowFixture.h"

#include "drawing/ChartRebuild.h"
#include "drawing/draw_state.h"
#include "layout/chart_state.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace mainwindow_test {

class ChartTest : public MainWindowTest {
protected:
    // The slots buildFamily fills in an empty family.
    static constexpr int Father = 1;
    static constexpr int Mother = 2;
    static constexpr int Son = 3;

    // Starts the window and draws a father, a mother and their son; returns the marriage.
    int showFamily()
    {
        start();
        const int kou = buildFamily();
        drawing::Refresh_TabDisp();
        return kou;
    }

    // The person-box element of a person on the chart, -1 when none.
    static int boxOf(int person)
    {
        for (int index : window().DPic.indexes()) {
            if (index >= 2 && drawing::drawState().Label12_Per[static_cast<size_t>(index)] == person)
                return index;
        }
        return -1;
    }

    // The couple-mark element of a marriage on the chart, -1 when none.
    static int markOf(int kou)
    {
        for (int index : window().Label11.indexes()) {
            if (index >= 2 && drawing::drawState().Label11_Kou[static_cast<size_t>(index)] == kou)
                return index;
        }
        return -1;
    }

    static void mouse(QEvent::Type type, double xTwips, double yTwips)
    {
        QWidget* canvas = window().Picture1.widget();
        ASSERT_NE(canvas, nullptr);
        const QPointF local(xTwips / 15, yTwips / 15);
        // A press gives the canvas the focus, as the platform's own clicks do; the
        // keys the user types next go to the chart.
        if (type == QEvent::MouseButtonPress && window().activeControl() != &window().Picture1)
            window().Picture1.setFocus();
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, canvas->mapToGlobal(local), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    }

    // Clicks at canvas twips (x, y).
    static void clickAt(double x, double y)
    {
        mouse(QEvent::MouseButtonPress, x, y);
        mouse(QEvent::MouseButtonRelease, x, y);
    }

    static void click(const forms::BoxElement& element)
    {
        clickAt(element.left() + element.width() / 2, element.top() + element.height() / 2);
    }

    static void doubleClick(const forms::BoxElement& element)
    {
        const double x = element.left() + element.width() / 2;
        const double y = element.top() + element.height() / 2;
        clickAt(x, y);
        mouse(QEvent::MouseButtonDblClick, x, y);
        mouse(QEvent::MouseButtonRelease, x, y);
    }

    static void clickBoxOf(int person)
    {
        const int box = boxOf(person);
        ASSERT_GE(box, 2) << "person " << person << " is on the chart";
        click(window().DPic[box]);
    }
};

} // namespace mainwindow_test

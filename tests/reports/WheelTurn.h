#pragma once
// The mouse wheel over a report window. Qt's keywords come with these headers:
// include this after the fixtures.

#include "forms/Control.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

// A wheel turn of notches (positive: towards the user) over the middle of a
// window's viewport, delivered to the sheet under the pointer as the platform does.
inline void turnWheelOver(forms::Control& sheet, forms::Control& viewport, int notches)
{
    QWidget* target = sheet.widget();
    QWidget* area = viewport.widget();
    const QPointF local = target->mapFrom(area, QPoint(area->width() / 2, area->height() / 2));
    QWheelEvent event(local, target->mapToGlobal(local), QPoint(), QPoint(0, -120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}


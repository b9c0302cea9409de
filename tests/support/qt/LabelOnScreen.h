#pragma once
// How much of a label the screen shows: the pixels of its back colour across its
// middle row in a grab of its window as the screen holds it, so a label that is
// loaded and visible but was never painted counts none.

#include "forms/Label.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace support {

inline int backColourPixelsOnScreen(const forms::Label& label)
{
    QWidget* widget = label.widget();
    QWidget* window = widget->window();
    const QImage screen = window->screen()->grabWindow(window->winId()).toImage();
    const long colour = label.backColor();
    const QColor wanted(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                        static_cast<int>((colour >> 16) & 0xFF));
    const QRect r(widget->mapTo(window, QPoint(0, 0)), widget->size());
    int count = 0;
    for (int x = r.left(); x <= r.right(); ++x)
        count += screen.pixelColor(x, r.center().y()) == wanted ? 1 : 0;
    return count;
}

} // namespace support

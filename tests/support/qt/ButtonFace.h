#pragma once
// What a command button shows on screen: the text Qt draws on it and where the
// dark blue ink of a glyph picture lies in the rendered button.

#include "forms/CommandButton.h"

#include <QImage>
#include <QPushButton>
#include <QRect>

#include <string>

namespace support {

struct ButtonFace {
    std::string text;  // the caption drawn on the button
    int inkPixels = 0; // pixels of the glyph's colour
    QRect ink;         // their bounding box in the button
    QSize size;        // the button's size in pixels
    // True when the glyph shows and lies wholly inside the button's face.
    bool glyphFits() const
    {
        return inkPixels >= 20 && ink.left() >= 2 && ink.top() >= 2 && ink.right() <= size.width() - 3
               && ink.bottom() <= size.height() - 3;
    }
};

inline ButtonFace buttonFace(const forms::CommandButton& button)
{
    ButtonFace face;
    auto* widget = static_cast<QPushButton*>(button.widget());
    if (!widget)
        return face;
    face.text = widget->text().toStdString();
    const QImage image = widget->grab().toImage();
    face.size = image.size();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.blue() > colour.red() + 40 && colour.blue() > colour.green() + 40) {
                ++face.inkPixels;
                face.ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return face;
}

} // namespace support

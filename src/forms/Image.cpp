#include "forms/Image.h"

#include "forms/Bridge_p.h"
#include "forms/Picture_p.h"

#include <QPainter>

namespace forms {

class Image::Widget : public Bridged<QWidget> {
public:
    explicit Widget(QWidget* parent) : Bridged<QWidget>(parent)
    {
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }
    Picture picture;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (picture.isEmpty())
            return;
        QPainter painter(this);
        painter.drawImage(QRect(QPoint(0, 0), size()), pictureImage(picture));
    }
};

Image::Image(Container& container, std::string name) : Control(container, std::move(name)) {}

Image::~Image() = default;

QWidget* Image::createWidget(QWidget* parent)
{
    m_widget = new Widget(parent);
    // An image belongs to its container's drawing, so it stays below the
    // container's windowed controls.
    m_widget->lower();
    return m_widget;
}

void Image::widgetDestroying() { m_widget = nullptr; }

void Image::resetProperties() { m_picture = Picture(); }

void Image::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    m_picture = static_cast<const Image&>(source).m_picture;
}

void Image::applyProperties()
{
    if (!m_widget)
        return;
    m_widget->picture = m_picture;
    m_widget->update();
}

const Picture& Image::picture() const
{
    touch();
    return m_picture;
}

void Image::setPicture(const Picture& picture)
{
    touch();
    m_picture = picture;
    applyProperties();
}

} // namespace forms

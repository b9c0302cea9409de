#include "forms/Frame.h"

#include "forms/Bridge_p.h"

#include "platform/Errors.h"

#include <QGroupBox>

namespace forms {

Frame::Frame(Container& container, std::string name) : Control(container, std::move(name)) {}

QWidget* Frame::containerWidget()
{
    return widget();
}

QWidget* Frame::createWidget(QWidget* parent)
{
    auto* box = new Bridged<QGroupBox>(parent);
    box->setFocusPolicy(Qt::NoFocus);
    // A frame is opaque: stacked frames show only the one in front.
    box->setAutoFillBackground(true);
    m_box = box;
    return box;
}

void Frame::resetProperties()
{
    m_props = Properties();
}

void Frame::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    m_props = static_cast<const Frame&>(source).m_props;
}

void Frame::applyProperties()
{
    if (!m_box)
        return;
    m_box->setTitle(qs(m_props.caption));
    m_box->setFlat(m_props.borderStyle == 0);
}

const std::string& Frame::caption() const
{
    touch();
    return m_props.caption;
}

void Frame::setCaption(const std::string& caption)
{
    touch();
    m_props.caption = caption;
    applyProperties();
}

int Frame::borderStyle() const
{
    touch();
    return m_props.borderStyle;
}

void Frame::setBorderStyle(int style)
{
    touch();
    if (style != 0 && style != 1)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    m_props.borderStyle = style;
    applyProperties();
}

} // namespace forms

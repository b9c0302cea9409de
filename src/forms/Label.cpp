#include "forms/Label.h"

#include "forms/Bridge_p.h"
#include "forms/Colors_p.h"

#include "platform/Errors.h"

#include <QFontMetricsF>
#include <QLabel>

namespace forms {

namespace {

class LabelWidget : public Bridged<QLabel> {
public:
    using Bridged<QLabel>::Bridged;
};

// In front of the other labels of the container, still behind its windowed
// controls, so that a label never hides a box or button of its container.
void placeInFrontOfLabels(QLabel* label)
{
    QWidget* parent = label->parentWidget();
    if (!parent)
        return;
    for (QObject* child : parent->children()) { // from the bottom of the stack up
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget == label || dynamic_cast<LabelWidget*>(widget))
            continue;
        label->stackUnder(widget);
        return;
    }
    label->raise();
}

[[noreturn]] void invalidValue()
{
    throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
}

} // namespace

Label::Label(Container& container, std::string name) : Control(container, std::move(name)) {}

QWidget* Label::createWidget(QWidget* parent)
{
    auto* label = new LabelWidget(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFocusPolicy(Qt::NoFocus);
    placeInFrontOfLabels(label);
    m_label = label;
    return label;
}

void Label::resetProperties()
{
    m_props = Properties();
}

void Label::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    m_props = static_cast<const Label&>(source).m_props;
}

void Label::applyProperties()
{
    if (!m_label)
        return;
    m_label->setText(crlfToLf(qs(m_props.caption)));
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (m_props.alignment == vbRightJustify)
        horizontal = Qt::AlignRight;
    else if (m_props.alignment == vbCenter)
        horizontal = Qt::AlignHCenter;
    m_label->setAlignment(horizontal | Qt::AlignTop);
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::Window, toQColor(m_props.backColor));
    palette.setColor(QPalette::WindowText, toQColor(m_props.foreColor));
    m_label->setPalette(palette);
    m_label->setAutoFillBackground(m_props.backStyle == 1);
    m_label->setFrameStyle(m_props.borderStyle == 1 ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
}

void Label::applyZOrder(int position)
{
    if (!m_label)
        return;
    if (position != 0)
        m_label->lower();
    else
        placeInFrontOfLabels(m_label);
}

double Label::textWidth(const std::string& text) const
{
    touch();
    const QFontMetricsF metrics(m_label ? m_label->font() : QFont());
    return metrics.horizontalAdvance(qs(text)) * TwipsPerPixel;
}

const std::string& Label::caption() const
{
    touch();
    return m_props.caption;
}

void Label::setCaption(const std::string& caption)
{
    touch();
    if (caption == m_props.caption)
        return;
    m_props.caption = caption;
    if (m_label)
        m_label->setText(crlfToLf(qs(caption)));
}

int Label::alignment() const
{
    touch();
    return m_props.alignment;
}

void Label::setAlignment(int alignment)
{
    touch();
    if (alignment < vbLeftJustify || alignment > vbCenter)
        invalidValue();
    m_props.alignment = alignment;
    applyProperties();
}

long Label::backColor() const
{
    touch();
    return m_props.backColor;
}

void Label::setBackColor(long colour)
{
    touch();
    m_props.backColor = colour;
    applyProperties();
}

long Label::foreColor() const
{
    touch();
    return m_props.foreColor;
}

void Label::setForeColor(long colour)
{
    touch();
    m_props.foreColor = colour;
    applyProperties();
}

int Label::backStyle() const
{
    touch();
    return m_props.backStyle;
}

void Label::setBackStyle(int style)
{
    touch();
    if (style != 0 && style != 1)
        invalidValue();
    m_props.backStyle = style;
    applyProperties();
}

int Label::borderStyle() const
{
    touch();
    return m_props.borderStyle;
}

void Label::setBorderStyle(int style)
{
    touch();
    if (style != 0 && style != 1)
        invalidValue();
    m_props.borderStyle = style;
    applyProperties();
}

int Label::oleDropMode() const
{
    touch();
    return m_props.oleDropMode;
}

void Label::setOleDropMode(int mode)
{
    touch();
    if (mode != 0 && mode != 1)
        invalidValue();
    m_props.oleDropMode = mode;
}

int Label::dropModeAt(double x, double y) const
{
    (void)x;
    (void)y;
    return m_props.oleDropMode;
}

void Label::raiseDragOver(DataObject& data, int& effect, int button, int shift, double x, double y, int state)
{
    if (canRaiseEvents() && onOLEDragOver)
        onOLEDragOver(data, effect, button, shift, x, y, state);
}

void Label::raiseDragDrop(DataObject& data, int& effect, int button, int shift, double x, double y)
{
    if (canRaiseEvents() && onOLEDragDrop)
        onOLEDragDrop(data, effect, button, shift, x, y);
}

} // namespace forms

#include "forms/Label.h"

#include "forms/Bridge_p.h"
#include "forms/Colors_p.h"

#include "platform/Errors.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QPair>
#include <QPalette>
#include <QPointer>

#include <typeinfo>

namespace forms {

namespace {

// The palette of a label: its two colours set, every other role taken from its
// container. Labels of the same colours share one palette, made once: a window
// colouring a thousand labels would otherwise build a thousand alike.
const QPalette& labelPalette(long backColor, long foreColor)
{
    // Windows use a handful of colours; a window that used many more only starts
    // the set afresh.
    constexpr qsizetype MaxPalettes = 64;
    static auto* const palettes = new QHash<QPair<long, long>, QPalette>();
    const QPair<long, long> key(backColor, foreColor);
    auto found = palettes->constFind(key);
    if (found != palettes->constEnd())
        return *found;
    if (palettes->size() >= MaxPalettes)
        palettes->clear();
    QPalette palette;
    palette.setColor(QPalette::Window, toQColor(backColor));
    palette.setColor(QPalette::WindowText, toQColor(foreColor));
    return *palettes->insert(key, palette);
}

// A label's colours reach its palette when it is painted. Setting a palette costs
// Qt a pass over the widget's state and events; a window that loads or colours a
// thousand labels on a sheet of which a few dozen are in view pays it only for
// those painted. The background is filled here, not by Qt, so that it takes the
// colour the label has when it is painted.
class LabelWidget final : public Bridged<QLabel> {
public:
    using Bridged<QLabel>::Bridged;

    void setColours(long backColor, long foreColor, bool opaque)
    {
        m_back = backColor;
        m_fore = foreColor;
        m_stale = true;
        m_opaque = opaque;
        setAttribute(Qt::WA_OpaquePaintEvent, opaque);
        update();
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        if (m_stale) {
            m_stale = false;
            // The widget is being painted with these colours: the palette change
            // asks for no painting of its own.
            const bool updatesHeld = testAttribute(Qt::WA_UpdatesDisabled);
            setAttribute(Qt::WA_UpdatesDisabled, true);
            setPalette(labelPalette(m_back, m_fore));
            setAttribute(Qt::WA_UpdatesDisabled, updatesHeld);
        }
        if (m_opaque) {
            QPainter painter(this);
            painter.fillRect(rect(), palette().brush(QPalette::Window));
        }
        QLabel::paintEvent(e);
    }

private:
    long m_back = 0;
    long m_fore = 0;
    bool m_stale = false;
    bool m_opaque = false;
};

// A label widget of this layer. LabelWidget is final, so comparing the exact type
// answers as a cast would, without walking the class tree of every child.
bool isLabelWidget(const QObject* object)
{
    return typeid(*object) == typeid(LabelWidget);
}

// A label stands in front of the other labels of its container, still behind its
// other controls, so that a label never hides a box or button of its container:
// just under the lowest child that is not a label, or on top when there is none.

// The lowest child of the container that is not a label (null: none), walking up
// from the bottom of the stack.
QWidget* lowestNonLabel(const QWidget* container, const QLabel* label)
{
    for (QObject* child : container->children()) {
        if (child != label && !isLabelWidget(child) && child->isWidgetType())
            return static_cast<QWidget*>(child);
    }
    return nullptr;
}

// Places the label and returns the child it went under (null: on top).
QWidget* placeInFrontOfLabels(QLabel* label)
{
    const QWidget* container = label->parentWidget();
    if (!container)
        return nullptr;
    QWidget* boundary = lowestNonLabel(container, label);
    if (boundary)
        label->stackUnder(boundary);
    else
        label->raise();
    return boundary;
}

// Where the last new label of a container went: `last` at index lastIndex of the
// container's children, just under `boundary` (the lowest child that is not a
// label) or on top when there was none.
struct LabelPlacement {
    QPointer<QWidget> boundary;
    bool hasBoundary = false;
    QPointer<QLabel> last;
    qsizetype lastIndex = -1;
};

// By container; an entry goes with its container. Never destroyed, as a container
// may go after the program's statics.
QHash<const QObject*, LabelPlacement>& labelPlacements()
{
    static auto* const placements = new QHash<const QObject*, LabelPlacement>();
    return *placements;
}

// A window loads its labels one after another (a chronology of a thousand persons
// loads two thousand into one sheet), and the walk to the lowest child that is not
// a label passes every label placed before. While nothing but new labels came to
// the container since its last new label (that label and the boundary stand where
// they were left, and the bottom child is still a label), the same boundary holds
// and the walk is left out.
void placeNewLabel(QLabel* label)
{
    QWidget* container = label->parentWidget();
    if (!container)
        return;
    auto& placements = labelPlacements();
    auto found = placements.find(container);
    if (found == placements.end()) {
        found = placements.insert(container, LabelPlacement());
        QObject::connect(container, &QObject::destroyed, [](QObject* gone) { labelPlacements().remove(gone); });
    }
    LabelPlacement& placement = *found;
    const QObjectList& children = container->children();
    const bool holds = placement.last && children.value(placement.lastIndex) == placement.last
                       && (placement.hasBoundary
                               ? placement.boundary && children.value(placement.lastIndex + 1) == placement.boundary
                               : placement.lastIndex == children.size() - 2)
                       && isLabelWidget(children.first());
    placement.last = label;
    if (!holds) {
        QWidget* boundary = placeInFrontOfLabels(label);
        placement.boundary = boundary;
        placement.hasBoundary = boundary != nullptr;
        placement.lastIndex = children.indexOf(label);
        return;
    }
    // The new label, just created, stands on top.
    if (placement.hasBoundary) {
        label->stackUnder(placement.boundary);
        ++placement.lastIndex;
    } else {
        placement.lastIndex = children.size() - 1;
    }
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
    placeNewLabel(label);
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
    applyColours();
    m_label->setFrameStyle(m_props.borderStyle == 1 ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
}

void Label::applyColours()
{
    if (!m_label)
        return;
    static_cast<LabelWidget*>(m_label)->setColours(m_props.backColor, m_props.foreColor, m_props.backStyle == 1);
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

// A window colouring a thousand labels sets only their palettes.
void Label::setBackColor(long colour)
{
    touch();
    if (colour == m_props.backColor)
        return;
    m_props.backColor = colour;
    applyColours();
}

long Label::foreColor() const
{
    touch();
    return m_props.foreColor;
}

void Label::setForeColor(long colour)
{
    touch();
    if (colour == m_props.foreColor)
        return;
    m_props.foreColor = colour;
    applyColours();
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

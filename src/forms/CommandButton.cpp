#include "forms/CommandButton.h"

#include "forms/Bridge_p.h"
#include "forms/Colors.h"
#include "forms/ImageSurface.h"
#include "forms/Picture_p.h"

#include "platform/Errors.h"

#include <QIcon>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace forms {

namespace {

// The glyph's largest size and colour, and the button face around it.
constexpr double GlyphPoints = 11;
constexpr double SmallestGlyphPoints = 6;
constexpr int GlyphInsetPixels = 2;

// The glyph centred on a picture of the button face of the given size, in the
// largest size up to GlyphPoints that fits.
Picture glyphPicture(const std::string& glyph, int widthPixels, int heightPixels)
{
    ImageSurface surface(widthPixels, heightPixels);
    surface.setBackColor(resolveColor(vbButtonFace));
    surface.cls();
    surface.setFontBold(true);
    surface.setForeColor(RGB(0, 0, 96));
    const double width = widthPixels * TwipsPerPixel;
    const double height = heightPixels * TwipsPerPixel;
    double points = GlyphPoints;
    surface.setFontSize(points);
    while (points > SmallestGlyphPoints && (surface.textWidth(glyph) > width || surface.textHeight(glyph) > height)) {
        points -= 0.5;
        surface.setFontSize(points);
    }
    surface.setCurrentX((width - surface.textWidth(glyph)) / 2);
    surface.setCurrentY((height - surface.textHeight(glyph)) / 2);
    surface.print(glyph);
    return surface.image();
}

} // namespace

CommandButton::CommandButton(Container& container, std::string name) : Control(container, std::move(name)) {}

QWidget* CommandButton::createWidget(QWidget* parent)
{
    auto* button = new Bridged<QPushButton>(parent);
    button->setAutoDefault(false);
    m_button = button;
    QObject::connect(button, &QPushButton::clicked, button, [this] {
        raiseFromWidget([this] { raiseClick(); });
    });
    return button;
}

void CommandButton::resetProperties()
{
    m_props = Properties();
}

void CommandButton::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    m_props = static_cast<const CommandButton&>(source).m_props;
}

void CommandButton::applyProperties()
{
    if (!m_button)
        return;
    m_button->setText(qs(m_props.caption));
    const bool graphical = m_props.style == vbButtonGraphical && !m_props.picture.isEmpty();
    if (graphical) {
        const QImage& image = pictureImage(m_props.picture);
        m_button->setIcon(QIcon(QPixmap::fromImage(image)));
        m_button->setIconSize(image.size());
    } else {
        m_button->setIcon(QIcon());
    }
}

const std::string& CommandButton::caption() const
{
    touch();
    return m_props.caption;
}

void CommandButton::setCaption(const std::string& caption)
{
    touch();
    m_props.caption = caption;
    ApplyScope scope(*this);
    applyProperties();
}

int CommandButton::style() const
{
    touch();
    return m_props.style;
}

void CommandButton::setStyle(int style)
{
    touch();
    if (style != vbButtonStandard && style != vbButtonGraphical)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    m_props.style = style;
    ApplyScope scope(*this);
    applyProperties();
}

const Picture& CommandButton::picture() const
{
    touch();
    return m_props.picture;
}

void CommandButton::setPicture(const Picture& picture)
{
    touch();
    m_props.picture = picture;
    ApplyScope scope(*this);
    applyProperties();
}

void CommandButton::showGlyph(const std::string& glyph, const std::string& tip)
{
    touch();
    const int widthPixels = std::max(1, twipsToPixels(width()) - 2 * GlyphInsetPixels);
    const int heightPixels = std::max(1, twipsToPixels(height()) - 2 * GlyphInsetPixels);
    m_props.caption.clear();
    m_props.style = vbButtonGraphical;
    m_props.picture = glyphPicture(glyph, widthPixels, heightPixels);
    {
        ApplyScope scope(*this);
        applyProperties();
    }
    setToolTipText(tip);
}

void CommandButton::click()
{
    touch();
    if (m_button && m_button->isEnabled())
        m_button->click();
}

} // namespace forms

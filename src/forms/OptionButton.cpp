#include "forms/OptionButton.h"

#include "forms/Bridge_p.h"
#include "forms/Form.h"

#include <QRadioButton>

namespace forms {

namespace {

class OptionWidget : public Bridged<QRadioButton> {
public:
    using Bridged<QRadioButton>::Bridged;

protected:
    // A click always chooses; it never clears the choice.
    void nextCheckState() override { setChecked(true); }
};

} // namespace

OptionButton::OptionButton(Container& container, std::string name) : Control(container, std::move(name)) {}

QWidget* OptionButton::createWidget(QWidget* parent)
{
    auto* button = new OptionWidget(parent);
    // Qt's own exclusivity would refuse "none chosen"; the group is kept here.
    button->setAutoExclusive(false);
    m_button = button;
    QObject::connect(button, &QRadioButton::clicked, button, [this] { userClicked(); });
    return button;
}

void OptionButton::resetProperties()
{
    m_props = Properties();
}

void OptionButton::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    m_props = static_cast<const OptionButton&>(source).m_props;
    // A new element never takes the group's choice away.
    m_props.value = false;
}

void OptionButton::applyProperties()
{
    if (!m_button)
        return;
    m_button->setText(qs(m_props.caption));
    m_button->setChecked(m_props.value);
}

void OptionButton::select()
{
    m_props.value = true;
    if (m_button) {
        ApplyScope scope(*this);
        m_button->setChecked(true);
    }
    for (Control* control : form().controls()) {
        auto* other = dynamic_cast<OptionButton*>(control);
        if (!other || other == this || &other->container() != &container() || !other->m_props.value)
            continue;
        other->m_props.value = false;
        if (other->m_button) {
            ApplyScope scope(*other);
            other->m_button->setChecked(false);
        }
    }
}

void OptionButton::userClicked()
{
    if (isApplying() || m_props.value)
        return;
    select();
    raiseFromWidget([this] { raiseClick(); });
}

const std::string& OptionButton::caption() const
{
    touch();
    return m_props.caption;
}

void OptionButton::setCaption(const std::string& caption)
{
    touch();
    m_props.caption = caption;
    if (m_button)
        m_button->setText(qs(caption));
}

bool OptionButton::value() const
{
    touch();
    return m_props.value;
}

void OptionButton::setValue(bool value)
{
    touch();
    if (value == m_props.value)
        return;
    if (!value) {
        m_props.value = false;
        if (m_button) {
            ApplyScope scope(*this);
            m_button->setChecked(false);
        }
        return;
    }
    select();
    raiseClick();
}

} // namespace forms

#include "forms/CheckBox.h"

#include "forms/Bridge_p.h"

#include "platform/Errors.h"

#include <QCheckBox>

namespace forms {

namespace {

class CheckWidget : public Bridged<QCheckBox> {
public:
    using Bridged<QCheckBox>::Bridged;

protected:
    // Grey is a state code sets; a click turns it to checked.
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

Qt::CheckState stateOf(int value)
{
    switch (value) {
    case vbChecked: return Qt::Checked;
    case vbGrayed: return Qt::PartiallyChecked;
    default: return Qt::Unchecked;
    }
}

int valueOf(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked: return vbChecked;
    case Qt::PartiallyChecked: return vbGrayed;
    default: return vbUnchecked;
    }
}

} // namespace

CheckBox::CheckBox(Container& container, std::string name) : Control(container, std::move(name)) {}

QWidget* CheckBox::createWidget(QWidget* parent)
{
    auto* box = new CheckWidget(parent);
    box->setTristate(true);
    m_box = box;
    QObject::connect(box, &QCheckBox::clicked, box, [this] { userClicked(); });
    return box;
}

void CheckBox::resetProperties()
{
    m_props = Properties();
}

void CheckBox::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    m_props = static_cast<const CheckBox&>(source).m_props;
}

void CheckBox::applyProperties()
{
    if (!m_box)
        return;
    m_box->setText(qs(m_props.caption));
    m_box->setCheckState(stateOf(m_props.value));
}

void CheckBox::userClicked()
{
    if (!m_box || isApplying())
        return;
    const int value = valueOf(m_box->checkState());
    if (value == m_props.value)
        return;
    m_props.value = value;
    raiseFromWidget([this] { raiseClick(); });
}

const std::string& CheckBox::caption() const
{
    touch();
    return m_props.caption;
}

void CheckBox::setCaption(const std::string& caption)
{
    touch();
    m_props.caption = caption;
    if (m_box)
        m_box->setText(qs(caption));
}

int CheckBox::value() const
{
    touch();
    return m_props.value;
}

void CheckBox::setValue(int value)
{
    touch();
    if (value < vbUnchecked || value > vbGrayed)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    if (value == m_props.value)
        return;
    m_props.value = value;
    if (m_box) {
        ApplyScope scope(*this);
        m_box->setCheckState(stateOf(value));
    }
    raiseClick();
}

} // namespace forms

#pragma once
// OptionButton: one choice of a group. The group is the container (window,
// frame or picture box), not the control array. Setting Value to True turns
// the others of the group off silently and raises Click on this one; setting it
// to False raises nothing and may leave no choice at all. A user click changes
// the value and raises Click before MouseUp.

#include "forms/Control.h"

#include <string>

class QRadioButton;

namespace forms {

class OptionButton : public Control {
public:
    OptionButton(Container& container, std::string name);

    const std::string& caption() const;
    void setCaption(const std::string& caption);
    bool value() const;
    void setValue(bool value);

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override { m_button = nullptr; }
    bool widgetRaisesClick() const override { return true; }
    bool mouseUpAfterWidget() const override { return true; }
    bool hasDblClick() const override { return true; }

private:
    struct Properties {
        std::string caption;
        bool value = false;
    };
    // Turns this one on and the rest of its group off, without events.
    void select();
    void userClicked();

    Properties m_props;
    QRadioButton* m_button = nullptr;
};

} // namespace forms

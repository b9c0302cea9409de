#pragma once
// CheckBox: Value 0 unchecked, 1 checked, 2 grey. Grey is set by code only; a
// user click goes 0 -> 1, 1 -> 0 and 2 -> 1. Click follows every change of
// Value, by the user or by code.

#include "forms/Control.h"

#include <string>

class QCheckBox;

namespace forms {

constexpr int vbUnchecked = 0;
constexpr int vbChecked = 1;
constexpr int vbGrayed = 2;

class CheckBox : public Control {
public:
    CheckBox(Container& container, std::string name);

    const std::string& caption() const;
    void setCaption(const std::string& caption);
    int value() const;
    // Raises Click when the value changes; 380 for a value outside 0..2.
    void setValue(int value);

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override { m_box = nullptr; }
    bool widgetRaisesClick() const override { return true; }
    bool hasDblClick() const override { return false; }

private:
    struct Properties {
        std::string caption;
        int value = vbUnchecked;
    };
    void userClicked();

    Properties m_props;
    QCheckBox* m_box = nullptr;
};

} // namespace forms

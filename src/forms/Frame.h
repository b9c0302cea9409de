#pragma once
// Frame: a captioned container. Controls constructed with a frame as their
// container are placed relative to its top left, and option buttons in it form
// their own group. ZOrder 0 raises one of several stacked page frames.

#include "forms/Control.h"

#include <string>

class QGroupBox;

namespace forms {

class Frame : public Control, public Container {
public:
    Frame(Container& container, std::string name);

    const std::string& caption() const;
    void setCaption(const std::string& caption);
    // 0 none, 1 fixed single (the default).
    int borderStyle() const;
    void setBorderStyle(int style);

    using Control::form;
    Form& form() override { return Control::form(); }
    QWidget* containerWidget() override;

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override { m_box = nullptr; }

private:
    struct Properties {
        std::string caption;
        int borderStyle = 1;
    };
    Properties m_props;
    QGroupBox* m_box = nullptr;
};

} // namespace forms

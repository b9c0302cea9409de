#pragma once
// CommandButton: Caption, or a Picture in the graphical style, with a tool tip
// as the hint of a picture-only button. Click comes from the mouse (left
// button) and from the keyboard; a double-click clicks twice.

#include "forms/Control.h"
#include "forms/Picture.h"

#include <string>

class QPushButton;

namespace forms {

// Style values.
constexpr int vbButtonStandard = 0;
constexpr int vbButtonGraphical = 1;

class CommandButton : public Control {
public:
    CommandButton(Container& container, std::string name);

    const std::string& caption() const;
    void setCaption(const std::string& caption);
    int style() const;
    void setStyle(int style);
    // Shown in the graphical style only, at its own size, centred.
    const Picture& picture() const;
    void setPicture(const Picture& picture);

    // Clicks the button as the user does (the Value = True of the runtime).
    void click();

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override { m_button = nullptr; }
    bool widgetRaisesClick() const override { return true; }
    bool hasDblClick() const override { return false; }

private:
    struct Properties {
        std::string caption;
        int style = vbButtonStandard;
        Picture picture;
    };
    Properties m_props;
    QPushButton* m_button = nullptr;
};

} // namespace forms

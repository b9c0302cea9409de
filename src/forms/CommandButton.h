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

    // Makes the button a picture button whose picture is a short text (a glyph),
    // drawn as the toolbars draw their pictures: centred on the button face,
    // bold, as large as fits the button's present size up to the toolbar's
    // size. The caption is emptied; tip becomes the tool tip.
    void showGlyph(const std::string& glyph, const std::string& tip);

    // Clicks the button as the user does: the program's own code uses this to
    // run a button's command, with the same events and checks as a mouse click.
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

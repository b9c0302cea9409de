#pragma once
// Image: shows its Picture stretched to its own size (Stretch is always on).
// Painted below the windowed controls of its container; with Visible False it
// serves only as a PaintPicture source.

#include "forms/Control.h"
#include "forms/Picture.h"

#include <string>

namespace forms {

class Image : public Control {
public:
    Image(Container& container, std::string name);
    ~Image() override;

    const Picture& picture() const;
    // An empty picture (LoadPicture("")) clears it.
    void setPicture(const Picture& picture);

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override;

private:
    class Widget;
    Widget* m_widget = nullptr;
    Picture m_picture;
};

} // namespace forms

#pragma once
// Label: a caption painted by its container, always below the windowed
// controls of that container. CR LF breaks lines; longer lines wrap within the
// width at blanks and between Japanese characters; the text is clipped.

#include "forms/Colors.h"
#include "forms/Control.h"
#include "forms/DragDrop.h"

#include <string>

class QLabel;

namespace forms {

// Alignment values (labels, text boxes).
constexpr int vbLeftJustify = 0;
constexpr int vbRightJustify = 1;
constexpr int vbCenter = 2;

// A label takes drops (OLEDropMode 1) and raises OLEDragOver and OLEDragDrop.
class Label : public Control, public DropEvents<Handler>, public DropTarget {
public:
    template <template <typename...> class H> using ExtraEvents = DropEvents<H>;

    Label(Container& container, std::string name);

    const std::string& caption() const;
    void setCaption(const std::string& caption);
    int alignment() const;
    void setAlignment(int alignment);
    // &H00BBGGRR or a system colour (&H8000000x), read back as set.
    long backColor() const;
    void setBackColor(long colour);
    long foreColor() const;
    void setForeColor(long colour);
    // 0 transparent, 1 opaque.
    int backStyle() const;
    void setBackStyle(int style);
    // 0 none, 1 fixed single.
    int borderStyle() const;
    void setBorderStyle(int style);
    // The width in twips that text takes in the label's font, as the label draws it.
    double textWidth(const std::string& text) const;

    // 0 none, 1 manual.
    int oleDropMode() const;
    void setOleDropMode(int mode);

    // DropTarget.
    Control& dropControl() override { return *this; }
    int dropModeAt(double x, double y) const override;
    void raiseDragOver(DataObject& data, int& effect, int button, int shift, double x, double y,
                       int state) override;
    void raiseDragDrop(DataObject& data, int& effect, int button, int shift, double x, double y) override;

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void applyZOrder(int position) override;
    void widgetDestroying() override { m_label = nullptr; }

private:
    // Sets the palette alone from backColor and foreColor.
    void applyColours();

    struct Properties {
        std::string caption;
        int alignment = vbLeftJustify;
        long backColor = vbButtonFace;
        long foreColor = 0x80000012L; // button text
        int backStyle = 1;
        int borderStyle = 0;
        int oleDropMode = 0;
    };
    Properties m_props;
    QLabel* m_label = nullptr;
};

} // namespace forms

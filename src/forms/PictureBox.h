#pragma once
// PictureBox: a container control that is also a drawing surface. What is drawn
// on it is kept (as with AutoRedraw on) in a display list replayed on paint, or,
// for the picture export, in an image of the control's pixel size. Its Picture
// shows at natural size at the top left, under the drawing.

#include "forms/Control.h"
#include "forms/Picture.h"
#include "forms/SurfaceForwarder.h"

#include <cstdint>
#include <memory>
#include <string>

class QPainter;
class QRect;
class QEvent;

namespace forms {

class DisplayListSurface;
class ExportCanvas;
class PainterSurface;

// OLEDropMode / OLEDragMode values.
constexpr int vbOLEDropNone = 0;
constexpr int vbOLEDropManual = 1;
constexpr int vbOLEDragManual = 0;
constexpr int vbOLEDragAutomatic = 1;

class PictureBox : public Control, public Container, public SurfaceForwarder {
public:
    // Where the drawing is kept. DisplayList: memory follows what was drawn.
    // Image: a bitmap of the control's size (the export canvas), limited by a
    // memory cap; a size beyond it raises RuntimeError 7 at the next drawing
    // call, Cls or Image.
    enum class Backing { DisplayList, Image };

    PictureBox(Container& container, std::string name);
    ~PictureBox() override;

    // Container
    Form& form() override { return Control::form(); }
    QWidget* containerWidget() override;

    // The control's Font is the font drawn with.
    const std::string& fontName() const override;
    void setFontName(const std::string& name) override;
    double fontSize() const override;
    void setFontSize(double points) override;
    bool fontBold() const override;
    void setFontBold(bool bold) override;
    bool fontItalic() const override;
    void setFontItalic(bool italic) override;

    // 0 none, 1 fixed single (a two-pixel sunken frame inside the control).
    int borderStyle() const;
    void setBorderStyle(int style);
    // Stored; every picture box keeps its drawing whatever the value.
    bool autoRedraw() const;
    void setAutoRedraw(bool autoRedraw);
    const Picture& picture() const;
    // Assigning a picture (or an empty one) clears the drawing to it.
    void setPicture(const Picture& picture);
    // The persistent image: background, picture and drawing, client-sized.
    Picture image() const;
    int oleDropMode() const;
    void setOleDropMode(int mode);
    int oleDragMode() const;
    void setOleDragMode(int mode);

    Backing backing() const { return m_backing; }
    // Switching drops the drawing (the surface starts afresh with the same state).
    void setBacking(Backing backing);
    // Memory cap of the Image backing in bytes (default: the export canvas default).
    void setImageMemoryCap(int64_t bytes);

    // hDC: the device context of the GDI calls is the surface itself.
    Surface& hDC() { return *this; }

    // Paints the control now.
    void refresh();

    // Client area in pixels (the control's pixels less the border).
    int clientWidthPixels() const;
    int clientHeightPixels() const;

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void applyGeometry() override;
    void widgetDestroying() override;
    // The border insets the client area: drawing, mouse X/Y and child controls.
    int clientInsetPixels() const override { return borderPixels(); }
    Surface& drawingSurface() override;

    // Paints the exposed part of the client area (client coordinates):
    // background, picture and drawing. The chart canvas adds its elements.
    virtual void paintClient(QPainter& painter, const QRect& exposed);
    // Lets a subclass take a Qt event of the widget before the control's own
    // handling (the chart canvas routes clicks to its elements). True: consumed.
    virtual bool interceptWidgetEvent(QEvent* event);
    // Schedules a repaint of the client area, or of a part of it (client px).
    void updateClient();
    void updateClient(const QRect& area);
    int borderPixels() const;
    QWidget* clientWidget() const;

private:
    class Widget;
    friend class Widget;
    void paintWidget(QPainter& painter, const QRect& exposed);
    PainterSurface& surface() const;
    void syncSurface() const;

    Widget* m_widget = nullptr;
    Backing m_backing = Backing::DisplayList;
    std::unique_ptr<DisplayListSurface> m_list;
    std::unique_ptr<ExportCanvas> m_image;
    int64_t m_imageCap;
    int m_borderStyle = 1;
    bool m_autoRedraw = false;
    Picture m_picture;
    int m_oleDropMode = vbOLEDropNone;
    int m_oleDragMode = vbOLEDragManual;
};

} // namespace forms

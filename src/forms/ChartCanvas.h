#pragma once
// The chart canvas: a picture box that paints thousands of light elements
// (labels, lines, images and person-box pictures) itself instead of giving each
// a widget. Elements come in element arrays with the control-array API (Load,
// Unload, exists, UBound, events with Index) or stand alone (lblFocus).
//
//     forms::ChartCanvas Picture1{*this, "Picture1"};
//     forms::ElementArray<forms::CanvasLabel> Label11{Picture1, "Label11", {0, 1}};
//     forms::ElementArray<forms::CanvasPicture> DPic{Picture1, "DPic", {0, 1}};
//     forms::CanvasLabel lblFocus{Picture1, "lblFocus"};
//     Label11.onClick = [this](int index) { Label11_Click(index); };
//
// Arrays and stand-alone elements must be declared after their canvas.
//
// Painting order, the one the chart code is written for: the canvas's own drawing; the graphical
// layer (labels, lines, images) in load order, ZOrder 0/1 moving an element
// within it; then the person-box pictures; then child widgets (Text2).
//
// The topmost visible element under the pointer gets the mouse: lines and
// invisible elements are never hit, and an element without a handler still
// takes the click, so the canvas's own Click fires only on empty canvas. No
// event reaches an element that a handler unloaded or reloaded meanwhile.
//
// Property changes are collected and applied together when control returns to
// the event loop (or before a paint, a hit test or an inspection): the spatial
// index is brought up to date and one repaint covers what changed. Painting
// looks up only the elements in the exposed rectangle.

#include "forms/DragDrop.h"
#include "forms/PictureBox.h"
#include "forms/SurfaceForwarder.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QPainter;
class QRect;

namespace forms {

class ChartCanvas;
class ElementArrayBase;
class DisplayListSurface;
struct MeasuredFont;

enum class ElementKind { Label, Line, Image, Picture };

// Events of a stand-alone element. X and Y are twips relative to the element.
struct ElementEvents {
    Handler<> onClick;
    Handler<> onDblClick;
    Handler<int, int, double, double> onMouseDown;
    Handler<int, int, double, double> onMouseMove;
    Handler<int, int, double, double> onMouseUp;
    // Drops while OLEDropMode is 1: Data, Effect, Button, Shift, X, Y (and State).
    Handler<DataObject&, int&, int, int, double, double, int> onOLEDragOver;
    Handler<DataObject&, int&, int, int, double, double> onOLEDragDrop;
};

// The same events of an element array, with the element's Index first.
struct IndexedElementEvents {
    IndexedHandler<> onClick;
    IndexedHandler<> onDblClick;
    IndexedHandler<int, int, double, double> onMouseDown;
    IndexedHandler<int, int, double, double> onMouseMove;
    IndexedHandler<int, int, double, double> onMouseUp;
    IndexedHandler<DataObject&, int&, int, int, double, double, int> onOLEDragOver;
    IndexedHandler<DataObject&, int&, int, int, double, double> onOLEDragDrop;
};

// What an element array passes to the constructor of its elements.
struct ArrayElementTag {};

class CanvasElement {
public:
    virtual ~CanvasElement();
    CanvasElement(const CanvasElement&) = delete;
    CanvasElement& operator=(const CanvasElement&) = delete;

    ElementKind kind() const { return m_kind; }
    // The array's name or the stand-alone element's name.
    const std::string& name() const { return m_name; }
    // The element's index in its array, -1 for a stand-alone element.
    int index() const { return m_index; }
    ChartCanvas& canvas() const { return m_canvas; }
    // Raised by every Load; a stale reference has an older value.
    uint64_t generation() const { return m_generation; }

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    const std::string& tag() const { return m_tag; }
    void setTag(const std::string& tag) { m_tag = tag; }
    const std::string& toolTipText() const { return m_toolTipText; }
    void setToolTipText(const std::string& text) { m_toolTipText = text; }
    // 0 none, 1 manual: whether a drop on this element is accepted.
    int oleDropMode() const { return m_oleDropMode; }
    void setOleDropMode(int mode);
    // ZOrder 0 brings the element to the front of its layer, 1 sends it back.
    void zOrder(int position = 0);

    // Events of a stand-alone element (array elements raise their array's).
    ElementEvents events;

protected:
    CanvasElement(ChartCanvas& canvas, std::string name, ElementKind kind, int layer, bool standAlone);

    // Tells the canvas that the element's extent changed, or only its look.
    void geometryChanged();
    void appearanceChanged();

    // Bounds in canvas pixels (what is painted and what is hit).
    virtual QRect pixelBounds() const = 0;
    virtual bool isHitTestable() const { return true; }
    // Where the element's client area begins inside its bounds, in pixels: the
    // origin of its mouse X and Y (a bordered picture insets it by the border).
    virtual int clientInsetPixels() const { return 0; }
    // Paints the element; bounds are its pixel bounds as indexed.
    virtual void paint(QPainter& painter, const QRect& bounds) const = 0;
    // Back to the class defaults; and the properties Load copies from the lowest element.
    virtual void resetProperties();
    virtual void copyPropertiesFrom(const CanvasElement& source);

private:
    friend class ChartCanvas;
    friend class ElementArrayBase;
    static constexpr uint32_t UnattachedSlot = 0xFFFFFFFFu;

    ChartCanvas& m_canvas;
    std::string m_name;
    ElementKind m_kind;
    int m_layer;
    int m_index = -1;
    ElementArrayBase* m_array = nullptr;
    uint64_t m_generation = 0;
    bool m_visible = true;
    std::string m_tag;
    std::string m_toolTipText;
    int m_oleDropMode = 0;

    // Canvas bookkeeping.
    int64_t m_z = 0;
    uint32_t m_slot = UnattachedSlot;
    bool m_pending = false;        // waits for the next flush
    bool m_indexed = false;        // present in the spatial index
    PixelRect m_indexedBounds;     // bounds it is indexed (and painted) with
    uint32_t m_paintStamp = 0;
};

// Elements with Left, Top, Width and Height.
class BoxElement : public CanvasElement {
public:
    double left() const { return m_left; }
    void setLeft(double twips);
    double top() const { return m_top; }
    void setTop(double twips);
    double width() const { return m_width; }
    void setWidth(double twips);
    double height() const { return m_height; }
    void setHeight(double twips);
    void move(double left, double top);
    void move(double left, double top, double width, double height);

protected:
    using CanvasElement::CanvasElement;
    QRect pixelBounds() const override;
    void resetProperties() override;
    void copyPropertiesFrom(const CanvasElement& source) override;

private:
    double m_left = 0, m_top = 0, m_width = 1215, m_height = 375;
};

// A windowless label: caption wrapped within its width, clipped to it.
class CanvasLabel : public BoxElement {
public:
    CanvasLabel(ChartCanvas& canvas, std::string name);
    CanvasLabel(ChartCanvas& canvas, std::string name, ArrayElementTag);
    ~CanvasLabel() override;

    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& caption);
    // 0 left, 1 right, 2 centre.
    int alignment() const { return m_alignment; }
    void setAlignment(int alignment);
    long backColor() const { return m_backColor; }
    void setBackColor(long colour);
    // 0 transparent, 1 opaque.
    int backStyle() const { return m_backStyle; }
    void setBackStyle(int style);
    // 0 none, 1 fixed single.
    int borderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    long foreColor() const { return m_foreColor; }
    void setForeColor(long colour);
    const std::string& fontName() const { return m_fontName; }
    void setFontName(const std::string& name);
    // Sizes <= 0 draw at 1 pt and read back as set.
    double fontSize() const { return m_fontSize; }
    void setFontSize(double points);
    bool fontBold() const { return m_fontBold; }
    void setFontBold(bool bold);
    bool fontItalic() const { return m_fontItalic; }
    void setFontItalic(bool italic);

protected:
    void paint(QPainter& painter, const QRect& bounds) const override;
    void resetProperties() override;
    void copyPropertiesFrom(const CanvasElement& source) override;

private:
    void fontChanged();

    std::string m_caption;
    int m_alignment = 0;
    long m_backColor = 0x8000000FL;
    int m_backStyle = 1;
    int m_borderStyle = 0;
    long m_foreColor = 0x80000012L;
    std::string m_fontName;
    double m_fontSize = 9.0;
    bool m_fontBold = false;
    bool m_fontItalic = false;
    mutable std::shared_ptr<const MeasuredFont> m_font;
    struct Layout;
    mutable std::unique_ptr<Layout> m_layout;   // the caption laid out for painting
};

// A windowless line between two points in twips; never hit by the mouse.
class CanvasLine : public CanvasElement {
public:
    CanvasLine(ChartCanvas& canvas, std::string name);
    CanvasLine(ChartCanvas& canvas, std::string name, ArrayElementTag);
    ~CanvasLine() override;

    double x1() const { return m_x1; }
    void setX1(double twips);
    double y1() const { return m_y1; }
    void setY1(double twips);
    double x2() const { return m_x2; }
    void setX2(double twips);
    double y2() const { return m_y2; }
    void setY2(double twips);
    // 0 transparent, 1 solid, 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot, 6 inside solid.
    int borderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    long borderColor() const { return m_borderColor; }
    void setBorderColor(long colour);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int pixels);

protected:
    QRect pixelBounds() const override;
    bool isHitTestable() const override { return false; }
    void paint(QPainter& painter, const QRect& bounds) const override;
    void resetProperties() override;
    void copyPropertiesFrom(const CanvasElement& source) override;

private:
    double m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    int m_borderStyle = 1;
    long m_borderColor = 0x80000008L;
    int m_borderWidth = 1;
};

// A windowless image: its picture stretched to its size.
class CanvasImage : public BoxElement {
public:
    CanvasImage(ChartCanvas& canvas, std::string name);
    CanvasImage(ChartCanvas& canvas, std::string name, ArrayElementTag);
    ~CanvasImage() override;

    const Picture& picture() const { return m_picture; }
    void setPicture(const Picture& picture);

protected:
    void paint(QPainter& painter, const QRect& bounds) const override;
    void resetProperties() override;
    void copyPropertiesFrom(const CanvasElement& source) override;

private:
    Picture m_picture;
};

// A person-box picture: a picture box element that is a drawing surface whose
// drawing is kept as a display list.
class CanvasPicture : public BoxElement, public SurfaceForwarder {
public:
    CanvasPicture(ChartCanvas& canvas, std::string name);
    CanvasPicture(ChartCanvas& canvas, std::string name, ArrayElementTag);
    ~CanvasPicture() override;

    // 0 none, 1 fixed single (two-pixel sunken frame).
    int borderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    int oleDragMode() const { return m_oleDragMode; }
    void setOleDragMode(int mode);
    // The drawing rendered at its client size.
    Picture image() const;
    // Number of recorded drawing operations (tests, memory checks).
    std::size_t operationCount() const;

protected:
    Surface& drawingSurface() override;
    void paint(QPainter& painter, const QRect& bounds) const override;
    void resetProperties() override;
    void copyPropertiesFrom(const CanvasElement& source) override;

    int clientInsetPixels() const override { return borderPixels(); }

private:
    void syncSize() const;
    int borderPixels() const { return m_borderStyle == 1 ? 2 : 0; }
    mutable double m_syncedWidth = -1, m_syncedHeight = -1;
    mutable int m_syncedBorder = -1;

    std::unique_ptr<DisplayListSurface> m_surface;
    int m_borderStyle = 0;
    int m_oleDragMode = 0;
};

class ElementArrayBase : public IndexedElementEvents {
public:
    virtual ~ElementArrayBase();
    ElementArrayBase(const ElementArrayBase&) = delete;
    ElementArrayBase& operator=(const ElementArrayBase&) = delete;

    const std::string& name() const { return m_name; }
    ChartCanvas& canvas() const { return m_canvas; }

    bool exists(int index) const { return find(index) != nullptr; }
    // The lowest and highest loaded index.
    int lBound() const;
    int uBound() const;
    int count() const { return m_count; }
    std::vector<int> indexes() const;
    bool isDesignElement(int index) const;

    // Load copies the properties of the lowest loaded element, Visible False;
    // an index already loaded raises 360.
    void load(int index);
    // A missing element raises 340, a design-time element 362.
    void unload(int index);
    // Unloads every loaded run-time element in [first, last] in one call; a
    // design-time element in the range raises 362 before anything is unloaded.
    void unloadRange(int first, int last);

    CanvasElement& elementAt(int index) const;
    CanvasElement* find(int index) const;

    // Unloaded elements are kept for reuse by the next Load; this frees them.
    void releaseUnloaded() { m_pool.clear(); }

protected:
    ElementArrayBase(ChartCanvas& canvas, std::string name);
    virtual std::unique_ptr<CanvasElement> createElement() = 0;
    void addDesignElement(int index);

private:
    friend class ChartCanvas;
    void resetToDesign();
    void destroy(int index);
    std::unique_ptr<CanvasElement> takeElement();

    ChartCanvas& m_canvas;
    std::string m_name;
    std::vector<std::unique_ptr<CanvasElement>> m_slots;
    std::vector<bool> m_design;
    std::vector<std::unique_ptr<CanvasElement>> m_pool;   // unloaded elements kept for reuse
    int m_count = 0;
    int m_upper = -1;
};

template <class E>
class ElementArray : public ElementArrayBase {
public:
    using Element = E;

    ElementArray(ChartCanvas& canvas, std::string name, std::initializer_list<int> designIndexes)
        : ElementArrayBase(canvas, std::move(name))
    {
        for (int index : designIndexes)
            addDesignElement(index);
    }

    // The element at index; a missing one raises 340.
    E& operator[](int index) const { return static_cast<E&>(elementAt(index)); }

protected:
    std::unique_ptr<CanvasElement> createElement() override
    {
        return std::make_unique<E>(canvas(), name(), ArrayElementTag{});
    }
};

// The canvas takes drops itself where no element lies (its own OLEDropMode)
// and hands them to the element under the pointer elsewhere (the element's).
class ChartCanvas : public PictureBox, public DropEvents<Handler>, public DropTarget {
public:
    ChartCanvas(Container& container, std::string name);
    ~ChartCanvas() override;

    // One loaded element as tests see it.
    struct ElementInfo {
        std::string name;        // array or element name
        ElementKind kind = ElementKind::Label;
        int index = -1;
        double left = 0, top = 0, width = 0, height = 0;   // boxes; the bounding box for lines
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;            // lines
        std::string caption;     // labels
        double fontSize = 0;     // labels
        long colour = 0;         // BackColor of labels and pictures, BorderColor of lines
        bool visible = false;
        int oleDropMode = 0;
        std::string tag;
        std::string toolTipText;
        std::string picturePath; // images
        int borderStyle = 0;
    };
    // Every loaded element, arrays in declaration order by index, then the
    // stand-alone elements.
    std::vector<ElementInfo> inspectElements() const;
    std::size_t elementCount() const { return m_liveElements; }

    // The topmost visible element under (x, y) canvas twips that takes mouse
    // events and drops, or null for empty canvas.
    CanvasElement* elementAt(double x, double y) const;
    // The drop mode in effect at (x, y): the element's under the point, else the canvas's.
    int dropModeAt(double x, double y) const override;

    // DropTarget: (x, y) are canvas twips; element events get element-relative X and Y.
    Control& dropControl() override { return *this; }
    const void* dropSiteAt(double x, double y) const override;
    void raiseDragOver(DataObject& data, int& effect, int button, int shift, double x, double y,
                       int state) override;
    void raiseDragDrop(DataObject& data, int& effect, int button, int shift, double x, double y) override;
    int dropInsetPixels() const override { return borderPixels(); }

    // Applies collected property changes now (also done before painting and hit testing).
    void flushChanges() const;

    // The client area (canvas pixels) painted as on screen, into a picture.
    Picture renderArea(const PixelRect& area) const;

protected:
    void paintClient(QPainter& painter, const QRect& exposed) override;
    bool interceptWidgetEvent(QEvent* event) override;
    void resetProperties() override;

private:
    friend class CanvasElement;
    friend class ElementArrayBase;
    struct Index;
    struct PressState;

    void registerArray(ElementArrayBase* array);
    void unregisterArray(ElementArrayBase* array);
    void attachElement(CanvasElement& element);
    void detachElement(CanvasElement& element);
    void elementGeometryChanged(CanvasElement& element);
    void elementAppearanceChanged(CanvasElement& element);
    void bringToFront(CanvasElement& element);
    void sendToBack(CanvasElement& element);
    void scheduleFlush() const;
    std::vector<CanvasElement*> elementsIn(const QRect& area) const;
    void paintElements(QPainter& painter, const QRect& exposed) const;

    bool handleMouse(QEvent* event);
    bool handleToolTip(QEvent* event);

    std::vector<ElementArrayBase*> m_arrays;
    std::vector<CanvasElement*> m_standAlone;
    std::unique_ptr<Index> m_index;
    std::unique_ptr<PressState> m_press;
    std::size_t m_liveElements = 0;
    int64_t m_topZ = 0;
    int64_t m_bottomZ = 0;
    uint64_t m_generations = 0;
    mutable bool m_flushScheduled = false;
};

} // namespace forms

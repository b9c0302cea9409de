#pragma once
// ListBox: plain, sorted (cp932 byte order with ASCII letters case-folded, a
// new item after its equals) or check style (Style 1, Selected(i) is the check
// mark and raises ItemCheck). Structural changes (AddItem, RemoveItem, Clear)
// raise no event; removing the selected line leaves no selection. A press on
// an item selects it (raising Click) before MouseDown.

#include "forms/Control.h"
#include "forms/DragDrop.h"

#include <cstdint>
#include <string>
#include <vector>

class QListWidget;

namespace forms {

// One line of a list or combo box.
struct ListItem {
    std::string text;
    int32_t itemData = 0;
    bool checked = false;
};

template <template <typename...> class H>
struct ListBoxEvents : DropEvents<H>, DragSourceEvents<H> {
    H<int> onItemCheck; // Item

    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onItemCheck, b.onItemCheck);
        DropEvents<H>::pairEvents(a, b, f);
        DragSourceEvents<H>::pairEvents(a, b, f);
    }
};

// Style values.
constexpr int vbListBoxStandard = 0;
constexpr int vbListBoxCheckbox = 1;

// A list box is a drag source (OLEDrag) and a drop target (OLEDropMode).
class ListBox : public Control, public ListBoxEvents<Handler>, public DropTarget, public DragSource {
public:
    template <template <typename...> class H> using ExtraEvents = ListBoxEvents<H>;

    ListBox(Container& container, std::string name);
    ~ListBox() override;

    // Design-time settings.
    bool sorted() const;
    void setSorted(bool sorted);
    int style() const;
    void setStyle(int style);

    // AddItem text[, index]: index -1 appends (or inserts in order when sorted).
    void addItem(const std::string& text, int index = -1);
    void removeItem(int index);
    void clear();
    int listCount() const;
    // List(i); out of range reads "".
    std::string list(int index) const;
    void setList(int index, const std::string& text);
    int32_t itemData(int index) const;
    void setItemData(int index, int32_t data);
    // The index of the last AddItem.
    int newIndex() const;
    // -1 for none; out of range raises 380. A change raises Click.
    int listIndex() const;
    void setListIndex(int index);
    // The selected line, "" for none.
    std::string text() const;
    // Check style: the check mark (a change raises ItemCheck). Plain: whether i
    // is the selected line (True selects it).
    bool selected(int index) const;
    void setSelected(int index, bool selected);
    // The height of one item in pixels.
    int itemHeightPixels() const;

    // OLEDrag: starts a drag from the list (see DragDrop.h).
    void oleDrag();
    // 0 none, 1 manual.
    int oleDropMode() const;
    void setOleDropMode(int mode);

    // DropTarget and DragSource.
    Control& dropControl() override { return *this; }
    int dropModeAt(double x, double y) const override;
    void raiseDragOver(DataObject& data, int& effect, int button, int shift, double x, double y,
                       int state) override;
    void raiseDragDrop(DataObject& data, int& effect, int button, int shift, double x, double y) override;
    Control& dragControl() override { return *this; }
    void raiseStartDrag(DataObject& data, int& allowedEffects) override;
    void raiseGiveFeedback(int& effect, bool& defaultCursors) override;
    void raiseCompleteDrag(int& effect) override;

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override { m_list = nullptr; }
    bool widgetRaisesClick() const override { return true; }
    bool mouseDownAfterWidget() const override { return true; }

private:
    void insertWidgetItem(int index);
    void syncCurrentRow();
    void userMovedTo(int row);
    void userPressedItem(int row);
    void userToggled(int row, bool checked);

    std::vector<ListItem> m_items;
    bool m_sorted = false;
    int m_style = vbListBoxStandard;
    int m_listIndex = -1;
    int m_newIndex = -1;
    int m_oleDropMode = 0;
    QListWidget* m_list = nullptr;
};

} // namespace forms

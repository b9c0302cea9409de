#pragma once
// ListView: a list of items with sub-items under column headers, shown in
// report view as rows of a table. Items and column headers are 1-based
// collections (ListItems, ColumnHeaders) reached through small handle objects,
// as the Tabs of a TabStrip are. An item carries a text, a Tag and sub-item
// texts 1..(columns - 1).
//
// Events: Click after a left press and release on the control (a press on an
// item selects it first), ItemClick(item index) when the user picks an item,
// ColumnClick(column index) when the user presses a column header. Setting an
// item's Selected by code raises nothing.
//
// Sorting: while Sorted is True the items are kept in ascending (or descending)
// order of the text of column SortKey (0 the item text, n sub-item n), in the
// order of sorted list boxes (ListOrder.h); equal texts keep their order.

#include "forms/Control.h"

#include <string>
#include <vector>

class QTreeWidget;

namespace forms {

class ListView;

// View values.
constexpr int lvwIcon = 0;
constexpr int lvwSmallIcon = 1;
constexpr int lvwList = 2;
constexpr int lvwReport = 3;
// LabelEdit values.
constexpr int lvwAutomatic = 0;
constexpr int lvwManual = 1;

template <template <typename...> class H>
struct ListViewEvents {
    H<int> onItemClick;   // the item's index
    H<int> onColumnClick; // the column header's index

    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onItemClick, b.onItemClick);
        f(a.onColumnClick, b.onColumnClick);
    }
};

// One column header, reached through ListView::columnHeaders().item(i).
class ColumnHeader {
public:
    ColumnHeader(ListView& view, int index) : m_view(&view), m_index(index) {}
    int index() const { return m_index; }
    std::string text() const;
    void setText(const std::string& text);
    // Twips.
    double width() const;
    void setWidth(double twips);

private:
    ListView* m_view;
    int m_index;
};

class ColumnHeaders {
public:
    explicit ColumnHeaders(ListView& view) : m_view(view) {}
    // Add(index, key, text, width): index 0 appends; width in twips, negative for
    // the default width. Returns the new header.
    ColumnHeader add(int index = 0, const std::string& key = "", const std::string& text = "",
                     double width = -1);
    void clear();
    int count() const;
    // 1-based; out of range raises 35600.
    ColumnHeader item(int index) const;

private:
    ListView& m_view;
};

// One item, reached through ListView::listItems().item(i). The handle names a
// position: after sorting or removing, take the item again.
class ListViewItem {
public:
    ListViewItem(ListView& view, int index) : m_view(&view), m_index(index) {}
    int index() const { return m_index; }
    std::string text() const;
    void setText(const std::string& text);
    std::string key() const;
    std::string tag() const;
    void setTag(const std::string& tag);
    // SubItems(n), n = 1 .. column count - 1; out of range raises 380.
    std::string subItem(int n) const;
    void setSubItem(int n, const std::string& text);
    bool selected() const;
    // True makes this the selected item, False leaves no item selected when it
    // was; neither raises an event.
    void setSelected(bool selected);
    // Scrolls the item into view.
    void ensureVisible();

private:
    ListView* m_view;
    int m_index;
};

class ListItems {
public:
    explicit ListItems(ListView& view) : m_view(view) {}
    // Add(index, key, text): index 0 appends (or inserts in order while sorted); a
    // non-empty key must be unique (35602). Returns the new item.
    ListViewItem add(int index = 0, const std::string& key = "", const std::string& text = "");
    void remove(int index);
    void clear();
    int count() const;
    // 1-based; out of range raises 35600.
    ListViewItem item(int index) const;

private:
    ListView& m_view;
};

class ListView : public Control, public ListViewEvents<Handler> {
public:
    template <template <typename...> class H> using ExtraEvents = ListViewEvents<H>;

    ListView(Container& container, std::string name);
    ~ListView() override;

    ColumnHeaders& columnHeaders() { return m_columnHeaders; }
    ListItems& listItems() { return m_listItems; }

    int view() const;
    void setView(int view);
    int labelEdit() const;
    void setLabelEdit(int mode);
    void setFullRowSelect(bool fullRow);
    bool sorted() const;
    void setSorted(bool sorted);
    // The column sorted by: 0 the item text, n sub-item n.
    int sortKey() const;
    void setSortKey(int key);

    // SelectedItem's index, 0 when no item is selected.
    int selectedIndex() const;
    // The selected item; none selected raises 91.
    ListViewItem selectedItem();

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override { m_tree = nullptr; }
    bool mouseDownAfterWidget() const override { return true; }

private:
    friend class ColumnHeader;
    friend class ColumnHeaders;
    friend class ListViewItem;
    friend class ListItems;

    struct Column {
        std::string key;
        std::string text;
        double width = 1440;
    };
    struct Row {
        std::string key;
        std::string text;
        std::string tag;
        std::vector<std::string> subItems; // index n - 1 holds SubItems(n)
    };

    void checkItem(int index) const;
    void checkColumn(int index) const;
    int indexOfKey(const std::string& key) const;
    std::string sortText(const Row& row) const;
    void sortRows();
    void applyColumns();
    void applyRows();
    void applyRow(int index);
    void applyEditing();
    void syncSelection();
    void userMovedTo(int row);
    void userEditedText(int row, const std::string& text);
    void userPressedHeader(int column);

    ColumnHeaders m_columnHeaders{*this};
    ListItems m_listItems{*this};
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    int m_view = lvwIcon;
    int m_labelEdit = lvwAutomatic;
    bool m_fullRowSelect = false;
    bool m_sorted = false;
    int m_sortKey = 0;
    int m_selected = 0; // 1-based, 0 none
    QTreeWidget* m_tree = nullptr;
};

} // namespace forms

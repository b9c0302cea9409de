#pragma once
// FlexGrid: a grid of text cells with one header row (row 0), as the person
// editor's table uses it. Cells, row data, row heights and column widths are
// kept here and read back exactly as set; the Qt table only shows them. Rows and
// columns are 0-based and include the header row; TextMatrix(0, c) is the
// header text of column c. Widths and heights are twips; a column of width 0
// is hidden.
//
// Changes made by code raise no event, except a change of the current cell,
// which raises RowColChange and then EnterCell as the user's moves do. Sort
// orders the rows below the header by the current column and carries each
// row's data and height with it. Editable 0 leaves every edit to the window
// (the grid starts none); 1 and 2 let the user edit a cell in place (the
// window sees the new text through AfterEdit).
//
// EditCell starts an edit of the current cell explicitly, whatever Editable
// says: BeforeEdit runs first (Cancel stops it); a cell with a ComboList
// ("男|女") gets a drop-down list editor, and choosing an item runs
// ValidateEdit (Cancel keeps the old text) and then AfterEdit. Without a
// ComboList the grid's own text editor opens, unless the BeforeEdit handler
// moved the focus away from the grid (the window laid an editor of its own
// over the cell). Scrolling the grid by the user raises HideEditor. A character
// typed on the grid whose KeyPress handler gave the focus to such an editor
// (and left the character as it was) is typed into that editor: the key, or the
// input method's text, that starts an edit is the editor's first text.

#include "forms/Control.h"

#include <cstdint>
#include <string>
#include <vector>

class QComboBox;
class QTableWidget;

namespace forms {

template <template <typename...> class H>
struct FlexGridEvents {
    H<> onRowColChange;
    H<> onEnterCell;
    H<int, int, int&> onBeforeEdit;   // Row, Col, Cancel
    H<int, int, int&> onValidateEdit; // Row, Col, Cancel
    H<int, int> onAfterEdit;          // Row, Col
    H<> onHideEditor;

    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onRowColChange, b.onRowColChange);
        f(a.onEnterCell, b.onEnterCell);
        f(a.onBeforeEdit, b.onBeforeEdit);
        f(a.onValidateEdit, b.onValidateEdit);
        f(a.onAfterEdit, b.onAfterEdit);
        f(a.onHideEditor, b.onHideEditor);
    }
};

// Sort codes.
constexpr int flexSortNone = 0;
constexpr int flexSortGenericAscending = 1;
constexpr int flexSortGenericDescending = 2;

// Editable values.
constexpr int flexEDNone = 0;
constexpr int flexEDKbd = 1;
constexpr int flexEDKbdMouse = 2;

// ColAlignment values used by the windows.
constexpr int flexAlignLeftCenter = 1;
constexpr int flexAlignCenterCenter = 4;

class FlexGrid : public Control, public FlexGridEvents<Handler> {
public:
    template <template <typename...> class H> using ExtraEvents = FlexGridEvents<H>;

    FlexGrid(Container& container, std::string name);
    ~FlexGrid() override;

    // Rows and Cols, header row included. Growing adds empty rows (data 0,
    // the default height) or columns; shrinking drops them from the end. The
    // current cell is kept inside the grid. At least the header row stays.
    int rows() const;
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);

    // The current cell; values outside the grid raise 381.
    int row() const;
    void setRow(int row);
    int col() const;
    void setCol(int col);
    // The first scrollable row shown and the leftmost scrollable column shown.
    // Row 0 and column 0 are fixed: they stay in place while the others
    // scroll, by whole rows and columns.
    void setTopRow(int row);
    int leftCol() const;
    void setLeftCol(int col);
    // The rightmost column in view, at least partly (the last column when the
    // grid is not on the screen).
    int rightCol() const;
    // Scrolls the view until cell (row, col) is in sight, wholly when the view
    // is large enough; HideEditor is not raised. The fixed row 0 and column 0,
    // and hidden rows and columns, leave the view as it is.
    void showCell(int row, int col);
    // The cell under the mouse at the last mouse event over the grid, -1 when
    // none.
    int mouseRow() const;
    int mouseCol() const;
    // The current cell's rectangle in twips, from the grid's top-left corner.
    double cellLeft() const;
    double cellTop() const;
    double cellWidth() const;
    double cellHeight() const;

    // Redraw off holds back painting while many cells change.
    bool redraw() const;
    void setRedraw(bool redraw);
    int editable() const;
    void setEditable(int editable);

    double colWidth(int col) const;
    void setColWidth(int col, double twips);
    double rowHeight(int row) const;
    void setRowHeight(int row, double twips);
    void setColAlignment(int col, int alignment);
    int32_t rowData(int row) const;
    void setRowData(int row, int32_t data);

    std::string textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const std::string& text);
    // The current cell's text.
    std::string text() const;
    void setText(const std::string& text);

    // AddItem: a new row at the end (index -1) or before index, its cells taken
    // from the tab-separated text. RemoveItem: deletes the row; the header row
    // cannot be removed (5).
    void addItem(const std::string& tabSeparated, int index = -1);
    void removeItem(int row);

    // Sort: orders rows 1..Rows-1 by the current column. Generic sorts compare
    // two numbers by value, a number before a text, and texts in the list order
    // of ListOrder.h; equal rows keep their order. flexSortNone does nothing.
    void sort(int code);

    // The items of the next list edit, separated by "|"; "" for a text edit.
    const std::string& comboList() const;
    void setComboList(const std::string& items);
    // Starts an edit of the current cell (see above). Row 0 is never edited.
    void editCell();
    // True while the drop-down list editor is open.
    bool isListEditing() const { return m_listEditor != nullptr; }
    // Chooses item index of the open list editor, as the user's pick does.
    void chooseListItem(int index);

    // The rows' default height in twips (a new row gets it).
    static constexpr double DefaultRowHeight = 255;

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override
    {
        m_table = nullptr;
        m_listEditor = nullptr;
    }
    // Tab reaches KeyDown: the person editor moves along the row itself.
    bool wantsTabKey() const override { return true; }
    bool passesTypingToNewFocus() const override { return true; }
    // The grid composes nothing itself: a key typed on it reaches it as it is and
    // goes on to the editor it opens, where the input method composes from that
    // key on. A composition begun on the grid would end when the editor takes the
    // focus, and with it the keys typed so far.
    int inputMethodMode() const override { return vbIMEDisable; }

private:
    struct Row {
        std::vector<std::string> cells;
        int32_t data = 0;
        double height = DefaultRowHeight;
    };

    void checkRow(int row) const;
    void checkCol(int col) const;
    void checkCell(int row, int col) const;
    Row makeRow() const;
    // Writes what is stored to the widget.
    void applyCell(int row, int col);
    void applyRow(int row);
    void applyRowHeight(int row);
    void applyColumn(int col);
    void applyCurrent();
    void moveCurrent(int row, int col);
    void userMovedTo(int row, int col);
    void userEdited(int row, int col, const std::string& text);
    void enteredCell();
    void closeListEditor();
    void listItemChosen(int index);
    // True when the table is on the screen with a view to measure.
    bool tableShown() const;

    std::vector<Row> m_rows;
    std::vector<double> m_colWidths;
    std::vector<int> m_colAlignments;
    int m_row = 0;
    int m_col = 0;
    int m_topRow = 1;
    int m_leftCol = 0;
    bool m_redraw = true;
    int m_editable = flexEDNone;
    std::string m_comboList;
    int m_editRow = -1;
    int m_editCol = -1;
    int m_mouseRow = -1;
    int m_mouseCol = -1;
    QTableWidget* m_table = nullptr;
    QComboBox* m_listEditor = nullptr;
    friend class FlexGridTable;
};

} // namespace forms

#pragma once
// The check list of the two group windows: one line per row of a group table
// (GrpNameList in the group window, GrpTitleList in the lineage-group window), in
// row order, each line checked while its row is Visible. A check changed by hand is
// written into its row at once; the windows' buttons move the selected row up or
// down and show or hide every row. The rows travel with the family file: every such
// edit, by hand or by a button, is an edit of the family, one step for the main
// window's undo (the snapshot before, the family marked changed after).

#include "forms/ListBox.h"
#include "model/WindowServices.h"
#include "model/tables.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace relations {

template <typename Row>
class GroupCheckList {
public:
    // The table in model::Tables, the member holding its last row index, and the
    // member of a row that is the line's text.
    using Rows = std::vector<Row> model::Tables::*;
    using LastRow = int16_t model::Tables::*;
    using LineText = std::string Row::*;

    // inModList is the window's flag that is true only while a line is rewritten:
    // the check change that causes is not the user's.
    GroupCheckList(forms::ListBox& list, bool& inModList, Rows rows, LastRow lastRow, LineText text)
        : m_list(list), m_inModList(inModList), m_rows(rows), m_lastRow(lastRow), m_text(text)
    {
    }

    // Rows are valid 0..last; the vector may be longer only in a damaged state.
    bool isRow(int index) const
    {
        const model::Tables& t = model::tables();
        return index >= 0 && index <= t.*m_lastRow && static_cast<size_t>(index) < (t.*m_rows).size();
    }

    Row& row(int index) const { return (model::tables().*m_rows)[static_cast<size_t>(index)]; }

    // Refills the list from the table.
    void fill()
    {
        m_list.clear();
        for (int i = 0; isRow(i); ++i) {
            m_list.addItem(row(i).*m_text);
            m_list.setSelected(m_list.listCount() - 1, row(i).Visible != 0);
        }
    }

    // Rewrites line index from its row.
    void rewrite(int index)
    {
        if (!isRow(index) || index >= m_list.listCount())
            return;
        m_inModList = true;
        m_list.setList(index, row(index).*m_text);
        m_list.setSelected(index, row(index).Visible != 0);
        m_inModList = false;
    }

    // A check changed by hand is written at once.
    void checkChanged(int item)
    {
        if (m_inModList || !isRow(item))
            return;
        const int16_t visible = m_list.selected(item) ? -1 : 0;
        if (row(item).Visible == visible)
            return;
        begin();
        row(item).Visible = visible;
        end();
    }

    void moveSelectedDown()
    {
        const int i = m_list.listIndex();
        if (i >= 0 && i <= m_list.listCount() - 2 && isRow(i + 1))
            swapRows(i, i + 1);
    }

    void moveSelectedUp()
    {
        const int i = m_list.listIndex();
        if (i >= 1 && i < m_list.listCount() && isRow(i))
            swapRows(i - 1, i - 1);
    }

    void setAllVisible(bool visible)
    {
        if (!isRow(0))
            return;
        begin();
        const int selected = m_list.listIndex();
        for (int i = 0; isRow(i); ++i)
            row(i).Visible = visible ? -1 : 0;
        fill();
        // Selecting the line again does what a click on it does.
        if (selected < m_list.listCount())
            m_list.setListIndex(selected);
        end();
    }

private:
    // Swaps rows first and first + 1 and selects the line the moved row went to.
    void swapRows(int first, int selected)
    {
        begin();
        std::swap(row(first), row(first + 1));
        rewrite(first);
        rewrite(first + 1);
        m_list.setListIndex(selected);
        end();
    }

    static void begin() { model::windowServices().saveUndo(); }

    static void end() { model::tables().Data_Changed = 1; }

    forms::ListBox& m_list;
    bool& m_inModList;
    Rows m_rows;
    LastRow m_lastRow;
    LineText m_text;
};

} // namespace relations

#include "forms/FlexGrid.h"

#include "forms/Bridge_p.h"
#include "forms/Form.h"
#include "forms/ListOrder.h"

#include "platform/Conversions.h"
#include "platform/Errors.h"

#include <QBrush>
#include <QComboBox>
#include <QFont>
#include <QMouseEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace forms {

namespace {

constexpr int SubscriptOutOfRange = 381;
constexpr double DefaultColWidth = 960;

[[noreturn]] void badIndex()
{
    throw platform::RuntimeError(SubscriptOutOfRange, "Subscript out of range");
}

int pixelsOf(double twips)
{
    return std::max(0, twipsToPixels(twips));
}

// -1, 0 or 1 as a sorts before, with or after b in the generic order.
int compareGeneric(const std::string& a, const std::string& b)
{
    const bool aNumber = platform::IsNumeric(a);
    const bool bNumber = platform::IsNumeric(b);
    if (aNumber && bNumber) {
        const double x = platform::Val(a);
        const double y = platform::Val(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (aNumber != bNumber)
        return aNumber ? -1 : 1;
    const int order = compareListText(a, b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

Qt::Alignment qtAlignment(int alignment)
{
    switch (alignment) {
    case 0:
        return Qt::AlignLeft | Qt::AlignTop;
    case 1:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case 2:
        return Qt::AlignLeft | Qt::AlignBottom;
    case 3:
        return Qt::AlignHCenter | Qt::AlignTop;
    case 4:
        return Qt::AlignCenter;
    case 5:
        return Qt::AlignHCenter | Qt::AlignBottom;
    case 6:
        return Qt::AlignRight | Qt::AlignTop;
    case 7:
        return Qt::AlignRight | Qt::AlignVCenter;
    case 8:
        return Qt::AlignRight | Qt::AlignBottom;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

namespace {

// The number of shown sections of a header before index: what a scroll bar
// that scrolls by whole rows or columns counts.
int shownSectionsBefore(const QHeaderView* header, int index)
{
    int shown = 0;
    for (int i = 0; i < index && i < header->count(); ++i) {
        if (!header->isSectionHidden(i))
            ++shown;
    }
    return shown;
}

} // namespace

// The table widget of a grid. Row 0 and column 0 are the grid's fixed cells:
// the table shows them in its own headers, which stay in place while the
// cells scroll, and hides them among the scrolled cells. The table remembers
// which cell the mouse was over, headers included, so that the handlers of the
// mouse events can ask; a mouse event over a header is the grid's event, as
// one over the cells is.
class FlexGridTable : public BridgedScrollArea<QTableWidget> {
public:
    FlexGridTable(FlexGrid& grid, QWidget* parent) : BridgedScrollArea<QTableWidget>(parent), m_grid(grid)
    {
        horizontalHeader()->viewport()->installEventFilter(this);
        verticalHeader()->viewport()->installEventFilter(this);
    }

    // The scroll ranges follow the current widths and heights at once, not
    // after the next turn of the event loop.
    void refreshScrollRanges() { updateGeometries(); }

protected:
    bool viewportEvent(QEvent* e) override
    {
        if (isMouseEvent(e)) {
            const QPoint position = static_cast<QMouseEvent*>(e)->position().toPoint();
            m_grid.m_mouseRow = rowAt(position.y());
            m_grid.m_mouseCol = columnAt(position.x());
        }
        return BridgedScrollArea<QTableWidget>::viewportEvent(e);
    }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        const bool top = watched == horizontalHeader()->viewport();
        const bool left = watched == verticalHeader()->viewport();
        if ((!top && !left) || !isMouseEvent(e))
            return BridgedScrollArea<QTableWidget>::eventFilter(watched, e);
        const QPoint position = static_cast<QMouseEvent*>(e)->position().toPoint();
        m_grid.m_mouseRow = top ? 0 : verticalHeader()->logicalIndexAt(position.y());
        m_grid.m_mouseCol = left ? 0 : horizontalHeader()->logicalIndexAt(position.x());
        // The fixed cells are never selected or resized by the mouse.
        if (!boundControl)
            return true;
        return boundControl->dispatchWidgetEvent(e, [] { return true; });
    }

private:
    FlexGrid& m_grid;
};

FlexGrid::FlexGrid(Container& container, std::string name) : Control(container, std::move(name))
{
    resetProperties();
}

FlexGrid::~FlexGrid() = default;

QWidget* FlexGrid::createWidget(QWidget* parent)
{
    auto* table = new FlexGridTable(*this, parent);
    // The headers show the fixed row 0 and column 0 with the sizes the grid
    // gives them; the user does not resize them.
    for (QHeaderView* header : {table->horizontalHeader(), table->verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setMinimumSectionSize(0);
        header->setHighlightSections(false);
        header->setSectionsClickable(false);
    }
    table->setCornerButtonEnabled(false);
    // Rows and columns scroll by whole rows and columns.
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectItems);
    table->setWordWrap(false);
    m_table = table;
    QObject::connect(table, &QTableWidget::currentCellChanged, table,
                     [this](int row, int col, int, int) { userMovedTo(row, col); });
    QObject::connect(table, &QTableWidget::itemChanged, table, [this](QTableWidgetItem* item) {
        if (!m_table || isApplying())
            return;
        userEdited(item->row(), item->column(), str(item->text()));
    });
    table->setTabKeyNavigation(false);
    auto scrolled = [this](int) {
        if (!m_table || isApplying())
            return;
        raiseFromWidget([this] {
            auto handler = onHideEditor;
            if (handler)
                handler();
        });
    };
    QObject::connect(table->horizontalScrollBar(), &QScrollBar::valueChanged, table, scrolled);
    QObject::connect(table->verticalScrollBar(), &QScrollBar::valueChanged, table, scrolled);
    return table;
}

void FlexGrid::resetProperties()
{
    m_colWidths.assign(1, DefaultColWidth);
    m_colAlignments.assign(1, flexAlignLeftCenter);
    m_rows.clear();
    m_rows.push_back(makeRow());
    m_row = 0;
    m_col = 0;
    m_topRow = 1;
    m_leftCol = 0;
    m_redraw = true;
    m_editable = flexEDNone;
    m_comboList.clear();
    m_editRow = -1;
    m_editCol = -1;
    m_mouseRow = -1;
    m_mouseCol = -1;
}

void FlexGrid::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    const auto& other = static_cast<const FlexGrid&>(source);
    m_rows = other.m_rows;
    m_colWidths = other.m_colWidths;
    m_colAlignments = other.m_colAlignments;
    m_row = other.m_row;
    m_col = other.m_col;
    m_editable = other.m_editable;
}

FlexGrid::Row FlexGrid::makeRow() const
{
    Row row;
    row.cells.assign(m_colWidths.size(), std::string());
    return row;
}

void FlexGrid::applyProperties()
{
    if (!m_table)
        return;
    ApplyScope scope(*this);
    m_table->setRowCount(static_cast<int>(m_rows.size()));
    m_table->setColumnCount(static_cast<int>(m_colWidths.size()));
    for (int c = 0; c < static_cast<int>(m_colWidths.size()); ++c)
        applyColumn(c);
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r)
        applyRow(r);
    m_table->setEditTriggers(m_editable == flexEDNone
                                 ? QAbstractItemView::NoEditTriggers
                                 : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_table->setUpdatesEnabled(m_redraw);
    applyCurrent();
}

void FlexGrid::applyCell(int row, int col)
{
    if (!m_table)
        return;
    ApplyScope scope(*this);
    QTableWidgetItem* item = m_table->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        m_table->setItem(row, col, item);
    }
    const QString text = qs(m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(col)]);
    const Qt::Alignment alignment = qtAlignment(m_colAlignments[static_cast<size_t>(col)]);
    item->setText(text);
    item->setTextAlignment(alignment);
    if (row == 0)
        item->setFlags(Qt::ItemIsEnabled);
    // The fixed cells show in the headers.
    if (row == 0 || col == 0) {
        QTableWidgetItem* fixed = row == 0 ? m_table->horizontalHeaderItem(col) : m_table->verticalHeaderItem(row);
        if (!fixed) {
            fixed = new QTableWidgetItem;
            if (row == 0)
                m_table->setHorizontalHeaderItem(col, fixed);
            else
                m_table->setVerticalHeaderItem(row, fixed);
        }
        fixed->setText(text);
        fixed->setTextAlignment(alignment);
    }
}

void FlexGrid::applyRow(int row)
{
    if (!m_table)
        return;
    ApplyScope scope(*this);
    applyRowHeight(row);
    for (int c = 0; c < static_cast<int>(m_colWidths.size()); ++c)
        applyCell(row, c);
}

void FlexGrid::applyRowHeight(int row)
{
    if (!m_table)
        return;
    ApplyScope scope(*this);
    const int pixels = pixelsOf(m_rows[static_cast<size_t>(row)].height);
    m_table->setRowHeight(row, pixels);
    if (row == 0) {
        m_table->setRowHidden(0, true);
        m_table->horizontalHeader()->setFixedHeight(pixels);
        m_table->horizontalHeader()->setVisible(pixels > 0);
    }
}

void FlexGrid::applyColumn(int col)
{
    if (!m_table)
        return;
    ApplyScope scope(*this);
    const double width = m_colWidths[static_cast<size_t>(col)];
    if (col == 0) {
        m_table->setColumnHidden(0, true);
        m_table->verticalHeader()->setFixedWidth(pixelsOf(width));
        m_table->verticalHeader()->setVisible(width > 0);
        return;
    }
    m_table->setColumnHidden(col, width <= 0);
    if (width > 0)
        m_table->setColumnWidth(col, pixelsOf(width));
}

void FlexGrid::applyCurrent()
{
    if (!m_table)
        return;
    ApplyScope scope(*this);
    m_table->setCurrentCell(m_row, m_col);
}

// ---------------------------------------------------------------- size

int FlexGrid::rows() const
{
    touch();
    return static_cast<int>(m_rows.size());
}

void FlexGrid::setRows(int rows)
{
    touch();
    if (rows < 1)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    const int before = static_cast<int>(m_rows.size());
    closeListEditor();
    m_rows.resize(static_cast<size_t>(rows), makeRow());
    if (m_table) {
        ApplyScope scope(*this);
        m_table->setRowCount(rows);
        for (int r = before; r < rows; ++r)
            applyRow(r);
    }
    if (m_row >= rows)
        moveCurrent(rows - 1, m_col);
    m_topRow = std::min(m_topRow, std::max(1, rows - 1));
}

int FlexGrid::cols() const
{
    touch();
    return static_cast<int>(m_colWidths.size());
}

void FlexGrid::setCols(int cols)
{
    touch();
    if (cols < 1)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    const int before = static_cast<int>(m_colWidths.size());
    m_colWidths.resize(static_cast<size_t>(cols), DefaultColWidth);
    m_colAlignments.resize(static_cast<size_t>(cols), flexAlignLeftCenter);
    for (Row& row : m_rows)
        row.cells.resize(static_cast<size_t>(cols));
    if (m_table) {
        ApplyScope scope(*this);
        m_table->setColumnCount(cols);
        for (int c = before; c < cols; ++c) {
            applyColumn(c);
            for (int r = 0; r < static_cast<int>(m_rows.size()); ++r)
                applyCell(r, c);
        }
    }
    if (m_col >= cols)
        moveCurrent(m_row, cols - 1);
    m_leftCol = std::min(m_leftCol, cols - 1);
}

// ---------------------------------------------------------------- current cell

void FlexGrid::checkRow(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        badIndex();
}

void FlexGrid::checkCol(int col) const
{
    if (col < 0 || col >= static_cast<int>(m_colWidths.size()))
        badIndex();
}

void FlexGrid::checkCell(int row, int col) const
{
    checkRow(row);
    checkCol(col);
}

int FlexGrid::row() const
{
    touch();
    return m_row;
}

void FlexGrid::setRow(int row)
{
    touch();
    checkRow(row);
    moveCurrent(row, m_col);
}

int FlexGrid::col() const
{
    touch();
    return m_col;
}

void FlexGrid::setCol(int col)
{
    touch();
    checkCol(col);
    moveCurrent(m_row, col);
}

void FlexGrid::moveCurrent(int row, int col)
{
    if (row == m_row && col == m_col)
        return;
    closeListEditor();
    m_row = row;
    m_col = col;
    applyCurrent();
    if (canRaiseEvents() && onRowColChange) {
        auto handler = onRowColChange;
        handler();
    }
    enteredCell();
}

void FlexGrid::enteredCell()
{
    if (canRaiseEvents() && onEnterCell) {
        auto handler = onEnterCell;
        handler();
    }
}

void FlexGrid::userMovedTo(int row, int col)
{
    if (isApplying() || row < 0 || col < 0)
        return;
    if (row == m_row && col == m_col)
        return;
    closeListEditor();
    m_row = row;
    m_col = col;
    raiseFromWidget([this] {
        const ControlLife alive = life();
        auto handler = onRowColChange;
        if (handler)
            handler();
        if (alive)
            enteredCell();
    });
}

void FlexGrid::userEdited(int row, int col, const std::string& text)
{
    if (row <= 0 || row >= static_cast<int>(m_rows.size()) || col < 0 ||
        col >= static_cast<int>(m_colWidths.size()))
        return;
    m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(col)] = text;
    raiseFromWidget([this, row, col] {
        auto handler = onAfterEdit;
        if (handler)
            handler(row, col);
    });
}

bool FlexGrid::tableShown() const
{
    return m_table && m_table->isVisible() && m_table->viewport()->width() > 0 && m_table->viewport()->height() > 0;
}

void FlexGrid::setTopRow(int row)
{
    touch();
    checkRow(row);
    m_topRow = std::max(1, row);
    if (m_table) {
        ApplyScope scope(*this);
        static_cast<FlexGridTable*>(m_table)->refreshScrollRanges();
        m_table->verticalScrollBar()->setValue(shownSectionsBefore(m_table->verticalHeader(), m_topRow));
    }
}

int FlexGrid::leftCol() const
{
    touch();
    if (tableShown()) {
        const int col = m_table->columnAt(0);
        if (col >= 1)
            return col;
    }
    return m_leftCol;
}

void FlexGrid::setLeftCol(int col)
{
    touch();
    checkCol(col);
    m_leftCol = col;
    if (m_table) {
        ApplyScope scope(*this);
        // The scroll bar counts the shown columns that scroll, not pixels.
        static_cast<FlexGridTable*>(m_table)->refreshScrollRanges();
        m_table->horizontalScrollBar()->setValue(shownSectionsBefore(m_table->horizontalHeader(), col));
    }
}

int FlexGrid::rightCol() const
{
    touch();
    const int last = static_cast<int>(m_colWidths.size()) - 1;
    // A grid not on the screen has no view to measure: every column counts as in view.
    if (!m_table || !m_table->isVisible() || m_table->viewport()->width() <= 0)
        return last;
    const int col = m_table->columnAt(m_table->viewport()->width() - 1);
    return col < 0 ? last : col;
}

void FlexGrid::showCell(int row, int col)
{
    touch();
    checkCell(row, col);
    if (!m_table || row == 0 || col == 0 || m_table->isRowHidden(row) || m_table->isColumnHidden(col))
        return;
    ApplyScope scope(*this);
    static_cast<FlexGridTable*>(m_table)->refreshScrollRanges();
    m_table->scrollTo(m_table->model()->index(row, col), QAbstractItemView::EnsureVisible);
}

int FlexGrid::mouseRow() const
{
    touch();
    return m_table ? m_mouseRow : -1;
}

int FlexGrid::mouseCol() const
{
    touch();
    return m_table ? m_mouseCol : -1;
}

double FlexGrid::cellLeft() const
{
    touch();
    if (m_table)
        return (m_table->columnViewportPosition(m_col) + m_table->viewport()->x()) * TwipsPerPixel;
    double x = 0;
    for (int c = 0; c < m_col; ++c)
        x += m_colWidths[static_cast<size_t>(c)];
    return x;
}

double FlexGrid::cellTop() const
{
    touch();
    if (m_table)
        return (m_table->rowViewportPosition(m_row) + m_table->viewport()->y()) * TwipsPerPixel;
    double y = 0;
    for (int r = 0; r < m_row; ++r)
        y += m_rows[static_cast<size_t>(r)].height;
    return y;
}

double FlexGrid::cellWidth() const
{
    touch();
    return m_colWidths[static_cast<size_t>(m_col)];
}

double FlexGrid::cellHeight() const
{
    touch();
    return m_rows[static_cast<size_t>(m_row)].height;
}

// ---------------------------------------------------------------- edits

const std::string& FlexGrid::comboList() const
{
    touch();
    return m_comboList;
}

void FlexGrid::setComboList(const std::string& items)
{
    touch();
    m_comboList = items;
}

void FlexGrid::editCell()
{
    touch();
    if (m_row < 1 || m_row >= static_cast<int>(m_rows.size()))
        return;
    closeListEditor();
    const int row = m_row;
    const int col = m_col;
    int cancel = 0;
    if (canRaiseEvents() && onBeforeEdit) {
        auto handler = onBeforeEdit;
        handler(row, col, cancel);
    }
    // The handler may have moved the current cell or refilled the grid.
    if (cancel != 0 || !m_table || row >= static_cast<int>(m_rows.size()) || col >= static_cast<int>(m_colWidths.size()))
        return;
    if (!m_comboList.empty()) {
        ApplyScope scope(*this);
        auto* editor = new QComboBox;
        const QString items = qs(m_comboList);
        for (const QString& item : items.split(QLatin1Char('|')))
            editor->addItem(item);
        const int current = editor->findText(qs(m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(col)]));
        editor->setCurrentIndex(std::max(0, current));
        m_table->setCellWidget(row, col, editor);
        m_listEditor = editor;
        m_editRow = row;
        m_editCol = col;
        QObject::connect(editor, &QComboBox::activated, editor,
                         [this](int index) { raiseFromWidget([this, index] { listItemChosen(index); }); });
        editor->setFocus();
        return;
    }
    // A window that laid its own editor over the cell has taken the focus.
    if (form().activeControl() != this)
        return;
    if (QTableWidgetItem* item = m_table->item(row, col))
        m_table->editItem(item);
}

void FlexGrid::chooseListItem(int index)
{
    touch();
    if (!m_listEditor || index < 0 || index >= m_listEditor->count())
        return;
    m_listEditor->setCurrentIndex(index);
    listItemChosen(index);
}

void FlexGrid::listItemChosen(int index)
{
    if (!m_listEditor)
        return;
    const std::string text = str(m_listEditor->itemText(index));
    const int row = m_editRow;
    const int col = m_editCol;
    int cancel = 0;
    const ControlLife alive = life();
    if (canRaiseEvents() && onValidateEdit) {
        auto handler = onValidateEdit;
        handler(row, col, cancel);
    }
    if (!alive || cancel != 0 || !m_listEditor)
        return;
    closeListEditor();
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || col < 0 || col >= static_cast<int>(m_colWidths.size()))
        return;
    m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(col)] = text;
    applyCell(row, col);
    if (canRaiseEvents() && onAfterEdit) {
        auto handler = onAfterEdit;
        handler(row, col);
    }
}

void FlexGrid::closeListEditor()
{
    if (!m_listEditor)
        return;
    m_listEditor = nullptr;
    // The editor lives in the table, which deletes it later: it may be inside
    // its own signal now.
    if (m_table) {
        ApplyScope scope(*this);
        m_table->removeCellWidget(m_editRow, m_editCol);
    }
    m_editRow = -1;
    m_editCol = -1;
}

// ---------------------------------------------------------------- settings

bool FlexGrid::redraw() const
{
    touch();
    return m_redraw;
}

void FlexGrid::setRedraw(bool redraw)
{
    touch();
    if (redraw == m_redraw)
        return;
    m_redraw = redraw;
    if (m_table)
        m_table->setUpdatesEnabled(redraw);
}

int FlexGrid::editable() const
{
    touch();
    return m_editable;
}

void FlexGrid::setEditable(int editable)
{
    touch();
    if (editable < flexEDNone || editable > flexEDKbdMouse)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    m_editable = editable;
    if (m_table)
        m_table->setEditTriggers(editable == flexEDNone
                                     ? QAbstractItemView::NoEditTriggers
                                     : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
}

double FlexGrid::colWidth(int col) const
{
    touch();
    checkCol(col);
    return m_colWidths[static_cast<size_t>(col)];
}

void FlexGrid::setColWidth(int col, double twips)
{
    touch();
    checkCol(col);
    m_colWidths[static_cast<size_t>(col)] = std::max(0.0, twips);
    applyColumn(col);
}

double FlexGrid::rowHeight(int row) const
{
    touch();
    checkRow(row);
    return m_rows[static_cast<size_t>(row)].height;
}

void FlexGrid::setRowHeight(int row, double twips)
{
    touch();
    checkRow(row);
    m_rows[static_cast<size_t>(row)].height = std::max(0.0, twips);
    applyRowHeight(row);
}

void FlexGrid::setColAlignment(int col, int alignment)
{
    touch();
    checkCol(col);
    m_colAlignments[static_cast<size_t>(col)] = alignment;
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r)
        applyCell(r, col);
}

int32_t FlexGrid::rowData(int row) const
{
    touch();
    checkRow(row);
    return m_rows[static_cast<size_t>(row)].data;
}

void FlexGrid::setRowData(int row, int32_t data)
{
    touch();
    checkRow(row);
    m_rows[static_cast<size_t>(row)].data = data;
}

// ---------------------------------------------------------------- cells

std::string FlexGrid::textMatrix(int row, int col) const
{
    touch();
    checkCell(row, col);
    return m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(col)];
}

void FlexGrid::setTextMatrix(int row, int col, const std::string& text)
{
    touch();
    checkCell(row, col);
    std::string& cell = m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(col)];
    if (cell == text)
        return;
    cell = text;
    applyCell(row, col);
}

std::string FlexGrid::text() const
{
    return textMatrix(row(), col());
}

void FlexGrid::setText(const std::string& text)
{
    setTextMatrix(row(), col(), text);
}

void FlexGrid::addItem(const std::string& tabSeparated, int index)
{
    touch();
    const int count = static_cast<int>(m_rows.size());
    if (index == -1)
        index = count;
    if (index < 1 || index > count)
        badIndex();
    Row row = makeRow();
    size_t start = 0;
    for (size_t c = 0; c < row.cells.size(); ++c) {
        const size_t tab = tabSeparated.find('\t', start);
        row.cells[c] = tabSeparated.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        if (tab == std::string::npos)
            break;
        start = tab + 1;
    }
    m_rows.insert(m_rows.begin() + index, std::move(row));
    if (m_table) {
        ApplyScope scope(*this);
        m_table->insertRow(index);
        applyRow(index);
    }
    if (m_row >= index && m_row < count) {
        // The current cell stays on the row it was on.
        ++m_row;
        applyCurrent();
    }
}

void FlexGrid::removeItem(int row)
{
    touch();
    checkRow(row);
    if (row == 0)
        throw platform::RuntimeError(platform::err::InvalidCall, "プロシージャの呼び出し、または引数が不正です。");
    closeListEditor();
    m_rows.erase(m_rows.begin() + row);
    if (m_table) {
        ApplyScope scope(*this);
        m_table->removeRow(row);
    }
    const int last = static_cast<int>(m_rows.size()) - 1;
    if (m_row > last || m_row > row)
        m_row = std::max(0, std::min(last, m_row - 1));
    m_topRow = std::min(m_topRow, std::max(1, last));
    applyCurrent();
}

void FlexGrid::sort(int code)
{
    touch();
    if (code == flexSortNone || m_rows.size() <= 2)
        return;
    if (code != flexSortGenericAscending && code != flexSortGenericDescending)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    closeListEditor();
    const size_t col = static_cast<size_t>(m_col);
    const bool descending = code == flexSortGenericDescending;
    std::stable_sort(m_rows.begin() + 1, m_rows.end(), [col, descending](const Row& a, const Row& b) {
        const int order = compareGeneric(a.cells[col], b.cells[col]);
        return descending ? order > 0 : order < 0;
    });
    for (int r = 1; r < static_cast<int>(m_rows.size()); ++r)
        applyRow(r);
}

} // namespace forms

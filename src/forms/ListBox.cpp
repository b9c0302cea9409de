#include "forms/ListBox.h"

#include "forms/Bridge_p.h"
#include "forms/ListItems_p.h"

#include <QItemSelectionModel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>

#include <functional>

namespace forms {

namespace {

class ListWidget : public BridgedScrollArea<QListWidget> {
public:
    using BridgedScrollArea<QListWidget>::BridgedScrollArea;

    // A press on the line that already is the selected one.
    std::function<void(int)> pressedSelectedRow;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const int before = currentRow();
        QListWidget::mousePressEvent(event);
        if (event->button() != Qt::LeftButton || !pressedSelectedRow)
            return;
        QListWidgetItem* item = itemAt(event->position().toPoint());
        if (item && row(item) == before && currentRow() == before)
            pressedSelectedRow(before);
    }
};

[[noreturn]] void invalidValue()
{
    throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
}

} // namespace

ListBox::ListBox(Container& container, std::string name) : Control(container, std::move(name)) {}

ListBox::~ListBox() = default;

QWidget* ListBox::createWidget(QWidget* parent)
{
    auto* list = new ListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    m_list = list;
    QObject::connect(list, &QListWidget::currentRowChanged, list, [this](int row) { userMovedTo(row); });
    // A click on the row that the focus made current (unselected) changes only
    // the selection.
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [this] {
        if (m_list)
            userMovedTo(m_list->currentRow());
    });
    QObject::connect(list, &QListWidget::itemChanged, list, [this](QListWidgetItem* item) {
        if (!m_list || isApplying())
            return;
        userToggled(m_list->row(item), item->checkState() == Qt::Checked);
    });
    list->pressedSelectedRow = [this](int row) { userPressedItem(row); };
    return list;
}

void ListBox::resetProperties()
{
    m_items.clear();
    m_sorted = false;
    m_style = vbListBoxStandard;
    m_listIndex = -1;
    m_newIndex = -1;
    m_oleDropMode = 0;
}

void ListBox::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    const auto& other = static_cast<const ListBox&>(source);
    m_items = other.m_items;
    m_sorted = other.m_sorted;
    m_style = other.m_style;
    m_listIndex = -1;
    m_newIndex = -1;
    m_oleDropMode = other.m_oleDropMode;
}

void ListBox::applyProperties()
{
    if (!m_list)
        return;
    m_list->clear();
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i)
        insertWidgetItem(i);
    syncCurrentRow();
}

void ListBox::insertWidgetItem(int index)
{
    if (!m_list)
        return;
    ApplyScope scope(*this);
    const ListItem& item = m_items[static_cast<size_t>(index)];
    auto* widgetItem = new QListWidgetItem(qs(item.text));
    if (m_style == vbListBoxCheckbox) {
        widgetItem->setFlags(widgetItem->flags() | Qt::ItemIsUserCheckable);
        widgetItem->setCheckState(item.checked ? Qt::Checked : Qt::Unchecked);
    }
    m_list->insertItem(index, widgetItem);
}

void ListBox::syncCurrentRow()
{
    if (!m_list)
        return;
    ApplyScope scope(*this);
    if (m_listIndex < 0) {
        m_list->setCurrentRow(-1);
        m_list->clearSelection();
    } else {
        m_list->setCurrentRow(m_listIndex);
    }
}

void ListBox::userMovedTo(int row)
{
    if (isApplying() || row == m_listIndex)
        return;
    // A list that gets the focus with nothing chosen makes its first row current
    // without selecting it: that is no choice of the user's, and ListIndex stays.
    if (row >= 0 && m_list && !m_list->selectionModel()->isRowSelected(row, QModelIndex()))
        return;
    m_listIndex = row;
    raiseFromWidget([this] { raiseClick(); });
}

void ListBox::userPressedItem(int row)
{
    if (isApplying() || row != m_listIndex)
        return;
    raiseFromWidget([this] { raiseClick(); });
}

void ListBox::userToggled(int row, bool checked)
{
    if (row < 0 || row >= static_cast<int>(m_items.size()))
        return;
    ListItem& item = m_items[static_cast<size_t>(row)];
    if (item.checked == checked)
        return;
    item.checked = checked;
    raiseFromWidget([this, row] {
        auto handler = onItemCheck;
        if (handler)
            handler(row);
    });
}

// ---------------------------------------------------------------- settings

bool ListBox::sorted() const
{
    touch();
    return m_sorted;
}

void ListBox::setSorted(bool sorted)
{
    touch();
    m_sorted = sorted;
}

int ListBox::style() const
{
    touch();
    return m_style;
}

void ListBox::setStyle(int style)
{
    touch();
    if (style != vbListBoxStandard && style != vbListBoxCheckbox)
        invalidValue();
    m_style = style;
    ApplyScope scope(*this);
    applyProperties();
}

// ---------------------------------------------------------------- items

void ListBox::addItem(const std::string& text, int index)
{
    touch();
    const int position = listInsertPosition(m_items, text, m_sorted, index);
    m_items.insert(m_items.begin() + position, ListItem{text, 0, false});
    m_newIndex = position;
    if (m_listIndex >= position)
        ++m_listIndex;
    insertWidgetItem(position);
    syncCurrentRow();
}

void ListBox::removeItem(int index)
{
    touch();
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        throw platform::RuntimeError(platform::err::InvalidCall, "プロシージャの呼び出し、または引数が不正です。");
    m_items.erase(m_items.begin() + index);
    if (m_listIndex == index)
        m_listIndex = -1;
    else if (m_listIndex > index)
        --m_listIndex;
    if (m_list) {
        ApplyScope scope(*this);
        delete m_list->takeItem(index);
    }
    syncCurrentRow();
}

void ListBox::clear()
{
    touch();
    m_items.clear();
    m_listIndex = -1;
    if (m_list) {
        ApplyScope scope(*this);
        m_list->clear();
    }
}

int ListBox::listCount() const
{
    touch();
    return static_cast<int>(m_items.size());
}

std::string ListBox::list(int index) const
{
    touch();
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return {};
    return m_items[static_cast<size_t>(index)].text;
}

void ListBox::setList(int index, const std::string& text)
{
    touch();
    checkListIndex(m_items, index);
    m_items[static_cast<size_t>(index)].text = text;
    if (m_list && m_list->item(index)) {
        ApplyScope scope(*this);
        m_list->item(index)->setText(qs(text));
    }
}

int32_t ListBox::itemData(int index) const
{
    touch();
    checkListIndex(m_items, index);
    return m_items[static_cast<size_t>(index)].itemData;
}

void ListBox::setItemData(int index, int32_t data)
{
    touch();
    checkListIndex(m_items, index);
    m_items[static_cast<size_t>(index)].itemData = data;
}

int ListBox::newIndex() const
{
    touch();
    return m_newIndex;
}

int ListBox::listIndex() const
{
    touch();
    return m_listIndex;
}

void ListBox::setListIndex(int index)
{
    touch();
    if (index < -1 || index >= static_cast<int>(m_items.size()))
        invalidValue();
    if (index == m_listIndex)
        return;
    m_listIndex = index;
    syncCurrentRow();
    raiseClick();
}

std::string ListBox::text() const
{
    touch();
    return m_listIndex < 0 ? std::string() : m_items[static_cast<size_t>(m_listIndex)].text;
}

bool ListBox::selected(int index) const
{
    touch();
    checkListIndex(m_items, index);
    if (m_style == vbListBoxCheckbox)
        return m_items[static_cast<size_t>(index)].checked;
    return index == m_listIndex;
}

void ListBox::setSelected(int index, bool selected)
{
    touch();
    checkListIndex(m_items, index);
    if (m_style != vbListBoxCheckbox) {
        if (selected)
            setListIndex(index);
        else if (index == m_listIndex) {
            m_listIndex = -1;
            syncCurrentRow();
        }
        return;
    }
    ListItem& item = m_items[static_cast<size_t>(index)];
    if (item.checked == selected)
        return;
    item.checked = selected;
    if (m_list && m_list->item(index)) {
        ApplyScope scope(*this);
        m_list->item(index)->setCheckState(selected ? Qt::Checked : Qt::Unchecked);
    }
    if (canRaiseEvents()) {
        auto handler = onItemCheck;
        if (handler)
            handler(index);
    }
}

int ListBox::itemHeightPixels() const
{
    touch();
    if (!m_list)
        return 0;
    if (!m_items.empty())
        return m_list->sizeHintForRow(0);
    return m_list->fontMetrics().height();
}

// ---------------------------------------------------------------------------
// Drag and drop

void ListBox::oleDrag()
{
    touch();
    beginDrag(*this);
}

int ListBox::oleDropMode() const
{
    touch();
    return m_oleDropMode;
}

void ListBox::setOleDropMode(int mode)
{
    touch();
    if (mode != 0 && mode != 1)
        invalidValue();
    m_oleDropMode = mode;
}

int ListBox::dropModeAt(double x, double y) const
{
    (void)x;
    (void)y;
    return m_oleDropMode;
}

void ListBox::raiseDragOver(DataObject& data, int& effect, int button, int shift, double x, double y, int state)
{
    if (canRaiseEvents() && onOLEDragOver)
        onOLEDragOver(data, effect, button, shift, x, y, state);
}

void ListBox::raiseDragDrop(DataObject& data, int& effect, int button, int shift, double x, double y)
{
    if (canRaiseEvents() && onOLEDragDrop)
        onOLEDragDrop(data, effect, button, shift, x, y);
}

void ListBox::raiseStartDrag(DataObject& data, int& allowedEffects)
{
    if (canRaiseEvents() && onOLEStartDrag)
        onOLEStartDrag(data, allowedEffects);
}

void ListBox::raiseGiveFeedback(int& effect, bool& defaultCursors)
{
    if (canRaiseEvents() && onOLEGiveFeedback)
        onOLEGiveFeedback(effect, defaultCursors);
}

void ListBox::raiseCompleteDrag(int& effect)
{
    if (canRaiseEvents() && onOLECompleteDrag)
        onOLECompleteDrag(effect);
}

} // namespace forms

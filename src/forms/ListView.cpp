#include "forms/ListView.h"

#include "forms/Bridge_p.h"
#include "forms/ListOrder.h"

#include "platform/Errors.h"

#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

namespace forms {

namespace {

constexpr int IndexOutOfBounds = 35600;
constexpr int KeyNotUnique = 35602;
constexpr int ObjectNotSet = 91;

[[noreturn]] void outOfBounds()
{
    throw platform::RuntimeError(IndexOutOfBounds, "インデックスが範囲を超えています。");
}

[[noreturn]] void invalidValue()
{
    throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
}

} // namespace

ListView::ListView(Container& container, std::string name) : Control(container, std::move(name)) {}

ListView::~ListView() = default;

QWidget* ListView::createWidget(QWidget* parent)
{
    auto* tree = new BridgedScrollArea<QTreeWidget>(parent);
    tree->setRootIsDecorated(false);
    tree->setItemsExpandable(false);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setUniformRowHeights(true);
    // Sorting is done on the items themselves, so that ListItems(i) is the i-th row shown.
    tree->setSortingEnabled(false);
    tree->header()->setSectionsClickable(true);
    tree->header()->setStretchLastSection(false);
    m_tree = tree;
    QObject::connect(tree, &QTreeWidget::currentItemChanged, tree, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (!m_tree || isApplying())
            return;
        userMovedTo(current ? m_tree->indexOfTopLevelItem(current) : -1);
    });
    QObject::connect(tree, &QTreeWidget::itemChanged, tree, [this](QTreeWidgetItem* item, int column) {
        if (!m_tree || isApplying() || column != 0)
            return;
        userEditedText(m_tree->indexOfTopLevelItem(item), str(item->text(0)));
    });
    QObject::connect(tree->header(), &QHeaderView::sectionClicked, tree, [this](int section) {
        if (!isApplying())
            userPressedHeader(section + 1);
    });
    return tree;
}

void ListView::resetProperties()
{
    m_columns.clear();
    m_rows.clear();
    m_view = lvwIcon;
    m_labelEdit = lvwAutomatic;
    m_fullRowSelect = false;
    m_sorted = false;
    m_sortKey = 0;
    m_selected = 0;
}

void ListView::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    const auto& other = static_cast<const ListView&>(source);
    m_columns = other.m_columns;
    m_rows = other.m_rows;
    m_view = other.m_view;
    m_labelEdit = other.m_labelEdit;
    m_fullRowSelect = other.m_fullRowSelect;
    m_sorted = other.m_sorted;
    m_sortKey = other.m_sortKey;
    m_selected = 0;
}

void ListView::applyProperties()
{
    if (!m_tree)
        return;
    ApplyScope scope(*this);
    m_tree->setAllColumnsShowFocus(m_fullRowSelect);
    applyEditing();
    applyColumns();
    applyRows();
}

void ListView::applyEditing()
{
    if (!m_tree)
        return;
    m_tree->setEditTriggers(m_labelEdit == lvwManual
                                ? QAbstractItemView::NoEditTriggers
                                : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
}

void ListView::applyColumns()
{
    if (!m_tree)
        return;
    ApplyScope scope(*this);
    const int count = std::max(1, static_cast<int>(m_columns.size()));
    m_tree->setColumnCount(count);
    QStringList labels;
    for (const Column& column : m_columns)
        labels << qs(column.text);
    m_tree->setHeaderLabels(labels);
    for (int i = 0; i < static_cast<int>(m_columns.size()); ++i)
        m_tree->setColumnWidth(i, twipsToPixels(m_columns[static_cast<size_t>(i)].width));
    // Only the report view shows column headers; the other views show the item texts.
    m_tree->setHeaderHidden(m_view != lvwReport || m_columns.empty());
}

void ListView::applyRows()
{
    if (!m_tree)
        return;
    ApplyScope scope(*this);
    m_tree->clear();
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        m_tree->addTopLevelItem(new QTreeWidgetItem());
        applyRow(i + 1);
    }
    syncSelection();
}

void ListView::applyRow(int index)
{
    if (!m_tree)
        return;
    QTreeWidgetItem* item = m_tree->topLevelItem(index - 1);
    if (!item)
        return;
    ApplyScope scope(*this);
    const Row& row = m_rows[static_cast<size_t>(index - 1)];
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    item->setText(0, qs(row.text));
    for (size_t n = 0; n < row.subItems.size(); ++n)
        item->setText(static_cast<int>(n) + 1, qs(row.subItems[n]));
}

void ListView::syncSelection()
{
    if (!m_tree)
        return;
    ApplyScope scope(*this);
    if (m_selected == 0) {
        m_tree->setCurrentItem(nullptr);
        m_tree->clearSelection();
    } else {
        m_tree->setCurrentItem(m_tree->topLevelItem(m_selected - 1));
    }
}

void ListView::userMovedTo(int row)
{
    const int index = row < 0 ? 0 : row + 1;
    if (index == m_selected)
        return;
    m_selected = index;
    if (index == 0)
        return;
    raiseFromWidget([this, index] {
        auto handler = onItemClick;
        if (handler && canRaiseEvents())
            handler(index);
    });
}

void ListView::userEditedText(int row, const std::string& text)
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return;
    m_rows[static_cast<size_t>(row)].text = text;
}

void ListView::userPressedHeader(int column)
{
    raiseFromWidget([this, column] {
        auto handler = onColumnClick;
        if (handler && canRaiseEvents())
            handler(column);
    });
}

void ListView::checkItem(int index) const
{
    if (index < 1 || index > static_cast<int>(m_rows.size()))
        outOfBounds();
}

void ListView::checkColumn(int index) const
{
    if (index < 1 || index > static_cast<int>(m_columns.size()))
        outOfBounds();
}

int ListView::indexOfKey(const std::string& key) const
{
    if (key.empty())
        return 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].key == key)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

std::string ListView::sortText(const Row& row) const
{
    if (m_sortKey == 0)
        return row.text;
    const size_t n = static_cast<size_t>(m_sortKey);
    return n <= row.subItems.size() ? row.subItems[n - 1] : std::string();
}

void ListView::sortRows()
{
    if (!m_sorted)
        return;
    // The selected item stays selected wherever it moves.
    const Row* selectedRow = m_selected > 0 ? &m_rows[static_cast<size_t>(m_selected - 1)] : nullptr;
    std::vector<std::pair<Row, bool>> tagged;
    tagged.reserve(m_rows.size());
    for (const Row& row : m_rows)
        tagged.emplace_back(row, &row == selectedRow);
    std::stable_sort(tagged.begin(), tagged.end(), [this](const auto& a, const auto& b) {
        return compareListText(sortText(a.first), sortText(b.first)) < 0;
    });
    m_selected = 0;
    for (size_t i = 0; i < tagged.size(); ++i) {
        m_rows[i] = std::move(tagged[i].first);
        if (tagged[i].second)
            m_selected = static_cast<int>(i) + 1;
    }
    applyRows();
}

// ---------------------------------------------------------------- properties

int ListView::view() const
{
    touch();
    return m_view;
}

void ListView::setView(int view)
{
    touch();
    if (view < lvwIcon || view > lvwReport)
        invalidValue();
    m_view = view;
    applyColumns();
}

int ListView::labelEdit() const
{
    touch();
    return m_labelEdit;
}

void ListView::setLabelEdit(int mode)
{
    touch();
    if (mode != lvwAutomatic && mode != lvwManual)
        invalidValue();
    m_labelEdit = mode;
    applyEditing();
}

void ListView::setFullRowSelect(bool fullRow)
{
    touch();
    m_fullRowSelect = fullRow;
    if (m_tree)
        m_tree->setAllColumnsShowFocus(fullRow);
}

bool ListView::sorted() const
{
    touch();
    return m_sorted;
}

void ListView::setSorted(bool sorted)
{
    touch();
    m_sorted = sorted;
    sortRows();
}

int ListView::sortKey() const
{
    touch();
    return m_sortKey;
}

void ListView::setSortKey(int key)
{
    touch();
    if (key < 0)
        invalidValue();
    m_sortKey = key;
    sortRows();
}

int ListView::selectedIndex() const
{
    touch();
    return m_selected;
}

ListViewItem ListView::selectedItem()
{
    touch();
    if (m_selected == 0)
        throw platform::RuntimeError(ObjectNotSet, "オブジェクト変数が設定されていません。");
    return ListViewItem(*this, m_selected);
}

// ---------------------------------------------------------------- ColumnHeaders

ColumnHeader ColumnHeaders::add(int index, const std::string& key, const std::string& text, double width)
{
    m_view.touch();
    auto& columns = m_view.m_columns;
    const int count = static_cast<int>(columns.size());
    if (index == 0)
        index = count + 1;
    if (index < 1 || index > count + 1)
        outOfBounds();
    for (const auto& column : columns) {
        if (!key.empty() && column.key == key)
            throw platform::RuntimeError(KeyNotUnique, "キーがコレクション内で一意ではありません。");
    }
    ListView::Column column;
    column.key = key;
    column.text = text;
    if (width >= 0)
        column.width = width;
    columns.insert(columns.begin() + (index - 1), column);
    m_view.applyColumns();
    return ColumnHeader(m_view, index);
}

void ColumnHeaders::clear()
{
    m_view.touch();
    m_view.m_columns.clear();
    m_view.applyColumns();
}

int ColumnHeaders::count() const
{
    m_view.touch();
    return static_cast<int>(m_view.m_columns.size());
}

ColumnHeader ColumnHeaders::item(int index) const
{
    m_view.touch();
    m_view.checkColumn(index);
    return ColumnHeader(m_view, index);
}

std::string ColumnHeader::text() const
{
    m_view->checkColumn(m_index);
    return m_view->m_columns[static_cast<size_t>(m_index - 1)].text;
}

void ColumnHeader::setText(const std::string& text)
{
    m_view->checkColumn(m_index);
    m_view->m_columns[static_cast<size_t>(m_index - 1)].text = text;
    m_view->applyColumns();
}

double ColumnHeader::width() const
{
    m_view->checkColumn(m_index);
    return m_view->m_columns[static_cast<size_t>(m_index - 1)].width;
}

void ColumnHeader::setWidth(double twips)
{
    m_view->checkColumn(m_index);
    if (twips < 0)
        invalidValue();
    m_view->m_columns[static_cast<size_t>(m_index - 1)].width = twips;
    m_view->applyColumns();
}

// ---------------------------------------------------------------- ListItems

ListViewItem ListItems::add(int index, const std::string& key, const std::string& text)
{
    m_view.touch();
    auto& rows = m_view.m_rows;
    const int count = static_cast<int>(rows.size());
    if (index == 0)
        index = count + 1;
    if (index < 1 || index > count + 1)
        outOfBounds();
    if (m_view.indexOfKey(key) != 0)
        throw platform::RuntimeError(KeyNotUnique, "キーがコレクション内で一意ではありません。");
    ListView::Row row;
    row.key = key;
    row.text = text;
    if (m_view.m_sorted && m_view.m_sortKey == 0) {
        // In order: after the items that sort before it or equal to it.
        index = 1;
        for (const auto& other : rows) {
            if (compareListText(other.text, text) > 0)
                break;
            ++index;
        }
    }
    rows.insert(rows.begin() + (index - 1), row);
    if (m_view.m_selected >= index)
        ++m_view.m_selected;
    if (m_view.m_tree) {
        ListView::ApplyScope scope(m_view);
        m_view.m_tree->insertTopLevelItem(index - 1, new QTreeWidgetItem());
        m_view.applyRow(index);
        m_view.syncSelection();
    }
    return ListViewItem(m_view, index);
}

void ListItems::remove(int index)
{
    m_view.touch();
    m_view.checkItem(index);
    m_view.m_rows.erase(m_view.m_rows.begin() + (index - 1));
    if (m_view.m_selected == index)
        m_view.m_selected = 0;
    else if (m_view.m_selected > index)
        --m_view.m_selected;
    if (m_view.m_tree) {
        ListView::ApplyScope scope(m_view);
        delete m_view.m_tree->takeTopLevelItem(index - 1);
        m_view.syncSelection();
    }
}

void ListItems::clear()
{
    m_view.touch();
    m_view.m_rows.clear();
    m_view.m_selected = 0;
    if (m_view.m_tree) {
        ListView::ApplyScope scope(m_view);
        m_view.m_tree->clear();
    }
}

int ListItems::count() const
{
    m_view.touch();
    return static_cast<int>(m_view.m_rows.size());
}

ListViewItem ListItems::item(int index) const
{
    m_view.touch();
    m_view.checkItem(index);
    return ListViewItem(m_view, index);
}

// ---------------------------------------------------------------- ListViewItem

std::string ListViewItem::text() const
{
    m_view->checkItem(m_index);
    return m_view->m_rows[static_cast<size_t>(m_index - 1)].text;
}

void ListViewItem::setText(const std::string& text)
{
    m_view->checkItem(m_index);
    m_view->m_rows[static_cast<size_t>(m_index - 1)].text = text;
    m_view->applyRow(m_index);
}

std::string ListViewItem::key() const
{
    m_view->checkItem(m_index);
    return m_view->m_rows[static_cast<size_t>(m_index - 1)].key;
}

std::string ListViewItem::tag() const
{
    m_view->checkItem(m_index);
    return m_view->m_rows[static_cast<size_t>(m_index - 1)].tag;
}

void ListViewItem::setTag(const std::string& tag)
{
    m_view->checkItem(m_index);
    m_view->m_rows[static_cast<size_t>(m_index - 1)].tag = tag;
}

std::string ListViewItem::subItem(int n) const
{
    m_view->checkItem(m_index);
    if (n < 1 || n >= static_cast<int>(m_view->m_columns.size()))
        invalidValue();
    const auto& subItems = m_view->m_rows[static_cast<size_t>(m_index - 1)].subItems;
    return static_cast<size_t>(n) <= subItems.size() ? subItems[static_cast<size_t>(n) - 1] : std::string();
}

void ListViewItem::setSubItem(int n, const std::string& text)
{
    m_view->checkItem(m_index);
    if (n < 1 || n >= static_cast<int>(m_view->m_columns.size()))
        invalidValue();
    auto& subItems = m_view->m_rows[static_cast<size_t>(m_index - 1)].subItems;
    if (subItems.size() < static_cast<size_t>(n))
        subItems.resize(static_cast<size_t>(n));
    subItems[static_cast<size_t>(n) - 1] = text;
    m_view->applyRow(m_index);
}

bool ListViewItem::selected() const
{
    m_view->checkItem(m_index);
    return m_view->m_selected == m_index;
}

void ListViewItem::setSelected(bool selected)
{
    m_view->checkItem(m_index);
    if (selected)
        m_view->m_selected = m_index;
    else if (m_view->m_selected == m_index)
        m_view->m_selected = 0;
    else
        return;
    m_view->syncSelection();
}

void ListViewItem::ensureVisible()
{
    m_view->checkItem(m_index);
    if (m_view->m_tree) {
        if (QTreeWidgetItem* item = m_view->m_tree->topLevelItem(m_index - 1))
            m_view->m_tree->scrollToItem(item);
    }
}

} // namespace forms

#include "forms/ComboBox.h"

#include "forms/Bridge_p.h"
#include "forms/ListItems_p.h"

#include <QComboBox>
#include <QLineEdit>

namespace forms {

namespace {

[[noreturn]] void invalidValue()
{
    throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
}

} // namespace

ComboBox::ComboBox(Container& container, std::string name) : Control(container, std::move(name)) {}

QWidget* ComboBox::createWidget(QWidget* parent)
{
    auto* combo = new Bridged<QComboBox>(parent);
    combo->setEditable(m_style == vbComboDropdown);
    combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo = combo;
    QObject::connect(combo, &QComboBox::activated, combo, [this](int index) { userPicked(index); });
    QObject::connect(combo, &QComboBox::editTextChanged, combo, [this](const QString& text) {
        if (isApplying() || m_style != vbComboDropdown)
            return;
        m_text = str(text);
        raiseFromWidget([this] {
            auto handler = onChange;
            if (handler)
                handler();
        });
    });
    return combo;
}

void ComboBox::resetProperties()
{
    m_items.clear();
    m_style = vbComboDropdown;
    m_sorted = false;
    m_listIndex = -1;
    m_newIndex = -1;
    m_text.clear();
}

void ComboBox::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    const auto& other = static_cast<const ComboBox&>(source);
    const int style = m_style;
    m_items = other.m_items;
    m_style = other.m_style;
    m_sorted = other.m_sorted;
    m_listIndex = -1;
    m_text.clear();
    if (style != m_style)
        recreateWidget();
}

void ComboBox::applyProperties()
{
    if (!m_combo)
        return;
    ApplyScope scope(*this);
    m_combo->clear();
    for (const ListItem& item : m_items)
        m_combo->addItem(qs(item.text));
    syncCurrent();
}

void ComboBox::syncCurrent()
{
    if (!m_combo)
        return;
    ApplyScope scope(*this);
    m_combo->setCurrentIndex(m_listIndex);
    if (m_style == vbComboDropdown)
        m_combo->setEditText(qs(m_text));
}

void ComboBox::userPicked(int index)
{
    if (isApplying())
        return;
    if (index >= 0 && index < static_cast<int>(m_items.size()))
        m_text = m_items[static_cast<size_t>(index)].text;
    if (index == m_listIndex)
        return;
    m_listIndex = index;
    raiseFromWidget([this] { raiseClick(); });
}

void ComboBox::insertTypedText(const std::string& text)
{
    if (m_combo && m_combo->lineEdit())
        m_combo->lineEdit()->insert(qs(text));
}

int ComboBox::style() const
{
    touch();
    return m_style;
}

void ComboBox::setStyle(int style)
{
    touch();
    if (style != vbComboDropdown && style != 1 && style != vbComboDropdownList)
        invalidValue();
    if (style == m_style)
        return;
    m_style = style;
    recreateWidget();
}

bool ComboBox::sorted() const
{
    touch();
    return m_sorted;
}

void ComboBox::setSorted(bool sorted)
{
    touch();
    m_sorted = sorted;
}

void ComboBox::addItem(const std::string& text, int index)
{
    touch();
    const int position = listInsertPosition(m_items, text, m_sorted, index);
    m_items.insert(m_items.begin() + position, ListItem{text, 0, false});
    m_newIndex = position;
    if (m_listIndex >= position)
        ++m_listIndex;
    if (m_combo) {
        ApplyScope scope(*this);
        m_combo->insertItem(position, qs(text));
    }
    syncCurrent();
}

void ComboBox::removeItem(int index)
{
    touch();
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        throw platform::RuntimeError(platform::err::InvalidCall, "プロシージャの呼び出し、または引数が不正です。");
    m_items.erase(m_items.begin() + index);
    if (m_listIndex == index) {
        m_listIndex = -1;
        if (m_style != vbComboDropdown)
            m_text.clear();
    } else if (m_listIndex > index) {
        --m_listIndex;
    }
    if (m_combo) {
        ApplyScope scope(*this);
        m_combo->removeItem(index);
    }
    syncCurrent();
}

void ComboBox::clear()
{
    touch();
    m_items.clear();
    m_listIndex = -1;
    m_text.clear();
    if (m_combo) {
        ApplyScope scope(*this);
        m_combo->clear();
    }
    syncCurrent();
}

int ComboBox::listCount() const
{
    touch();
    return static_cast<int>(m_items.size());
}

std::string ComboBox::list(int index) const
{
    touch();
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return {};
    return m_items[static_cast<size_t>(index)].text;
}

void ComboBox::setList(int index, const std::string& text)
{
    touch();
    checkListIndex(m_items, index);
    m_items[static_cast<size_t>(index)].text = text;
    // A drop-down list shows its chosen line, so renaming that line renames Text too.
    if (index == m_listIndex && m_style == vbComboDropdownList)
        m_text = text;
    if (m_combo) {
        ApplyScope scope(*this);
        m_combo->setItemText(index, qs(text));
    }
}

int32_t ComboBox::itemData(int index) const
{
    touch();
    checkListIndex(m_items, index);
    return m_items[static_cast<size_t>(index)].itemData;
}

void ComboBox::setItemData(int index, int32_t data)
{
    touch();
    checkListIndex(m_items, index);
    m_items[static_cast<size_t>(index)].itemData = data;
}

int ComboBox::newIndex() const
{
    touch();
    return m_newIndex;
}

int ComboBox::listIndex() const
{
    touch();
    return m_listIndex;
}

void ComboBox::setListIndex(int index)
{
    touch();
    if (index < -1 || index >= static_cast<int>(m_items.size()))
        invalidValue();
    if (index == m_listIndex)
        return;
    m_listIndex = index;
    if (index >= 0)
        m_text = m_items[static_cast<size_t>(index)].text;
    else if (m_style != vbComboDropdown)
        m_text.clear();
    syncCurrent();
    raiseClick();
}

std::string ComboBox::text() const
{
    touch();
    if (m_style == vbComboDropdown && m_combo)
        return str(m_combo->currentText());
    return m_text;
}

void ComboBox::setText(const std::string& text)
{
    touch();
    if (m_style != vbComboDropdown) {
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (m_items[i].text == text) {
                setListIndex(static_cast<int>(i));
                return;
            }
        }
        throw platform::RuntimeError(383, "'Text' プロパティは読み取り専用です。");
    }
    const std::string before = this->text();
    m_text = text;
    int match = -1;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].text == text) {
            match = static_cast<int>(i);
            break;
        }
    }
    m_listIndex = match;
    syncCurrent();
    if (before != text && canRaiseEvents()) {
        auto handler = onChange;
        if (handler)
            handler();
    }
}

} // namespace forms

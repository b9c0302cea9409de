#include "forms/TabStrip.h"

#include "forms/Bridge_p.h"

#include "platform/Errors.h"

#include <QTabBar>

#include <algorithm>

namespace forms {

namespace {

constexpr int IndexOutOfBounds = 35600;
constexpr int KeyNotUnique = 35602;
constexpr int ObjectNotSet = 91;

} // namespace

TabStrip::TabStrip(Container& container, std::string name) : Control(container, std::move(name)) {}

QWidget* TabStrip::createWidget(QWidget* parent)
{
    auto* bar = new Bridged<QTabBar>(parent);
    bar->setExpanding(false);
    bar->setDrawBase(true);
    m_bar = bar;
    QObject::connect(bar, &QTabBar::currentChanged, bar, [this](int index) { userSelected(index); });
    return bar;
}

void TabStrip::resetProperties()
{
    m_data.clear();
    m_selected = 0;
}

void TabStrip::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    const auto& other = static_cast<const TabStrip&>(source);
    m_data = other.m_data;
    m_selected = m_data.empty() ? 0 : 1;
}

void TabStrip::applyProperties()
{
    if (!m_bar)
        return;
    ApplyScope scope(*this);
    while (m_bar->count() > 0)
        m_bar->removeTab(0);
    for (const TabData& tab : m_data)
        m_bar->addTab(qs(tab.caption));
    syncSelection();
}

void TabStrip::syncSelection()
{
    if (!m_bar)
        return;
    ApplyScope scope(*this);
    m_bar->setCurrentIndex(m_selected - 1);
}

void TabStrip::userSelected(int qtIndex)
{
    if (isApplying())
        return;
    const int index = qtIndex + 1;
    if (index == m_selected || index < 1)
        return;
    m_selected = index;
    raiseFromWidget([this] { raiseClick(); });
}

void TabStrip::select(int index)
{
    checkIndex(index);
    if (index == m_selected)
        return;
    m_selected = index;
    syncSelection();
    raiseClick();
}

void TabStrip::checkIndex(int index) const
{
    if (index < 1 || index > static_cast<int>(m_data.size()))
        throw platform::RuntimeError(IndexOutOfBounds, "インデックスが範囲を超えています。");
}

int TabStrip::indexOfKey(const std::string& key) const
{
    for (size_t i = 0; i < m_data.size(); ++i) {
        if (!key.empty() && m_data[i].key == key)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

Tab TabStrip::selectedItem()
{
    touch();
    if (m_selected == 0)
        throw platform::RuntimeError(ObjectNotSet, "オブジェクト変数が設定されていません。");
    return Tab(*this, m_selected);
}

int TabStrip::selectedIndex() const
{
    touch();
    return m_selected;
}

// ---------------------------------------------------------------- Tabs

Tab Tabs::add(int index, const std::string& key, const std::string& caption)
{
    m_strip.touch();
    auto& data = m_strip.m_data;
    const int count = static_cast<int>(data.size());
    if (index == 0)
        index = count + 1;
    if (index < 1 || index > count + 1)
        throw platform::RuntimeError(IndexOutOfBounds, "インデックスが範囲を超えています。");
    if (m_strip.indexOfKey(key) != 0)
        throw platform::RuntimeError(KeyNotUnique, "キーがコレクション内で一意ではありません。");
    data.insert(data.begin() + (index - 1), TabStrip::TabData{key, caption});
    // The selected index number stays; the first tab becomes the selection.
    m_strip.m_selected = std::clamp(m_strip.m_selected, 1, static_cast<int>(data.size()));
    if (m_strip.m_bar) {
        TabStrip::ApplyScope scope(m_strip);
        m_strip.m_bar->insertTab(index - 1, qs(caption));
    }
    m_strip.syncSelection();
    return Tab(m_strip, index);
}

void Tabs::remove(int index)
{
    m_strip.touch();
    m_strip.checkIndex(index);
    auto& data = m_strip.m_data;
    data.erase(data.begin() + (index - 1));
    m_strip.m_selected = data.empty() ? 0 : std::clamp(m_strip.m_selected, 1, static_cast<int>(data.size()));
    if (m_strip.m_bar) {
        TabStrip::ApplyScope scope(m_strip);
        m_strip.m_bar->removeTab(index - 1);
    }
    m_strip.syncSelection();
}

void Tabs::replace(int first, int removed, const std::vector<std::string>& captions)
{
    m_strip.touch();
    auto& data = m_strip.m_data;
    const int count = static_cast<int>(data.size());
    if (removed < 0 || first < 1 || first + removed - 1 > count || (removed == 0 && first > count + 1))
        throw platform::RuntimeError(IndexOutOfBounds, "インデックスが範囲を超えています。");
    // The selection as each removal and addition in turn would leave it.
    int selected = m_strip.m_selected;
    int size = count;
    for (int i = 0; i < removed; ++i) {
        --size;
        selected = size == 0 ? 0 : std::clamp(selected, 1, size);
    }
    for (size_t i = 0; i < captions.size(); ++i) {
        ++size;
        selected = std::clamp(selected, 1, size);
    }

    const auto at = data.begin() + (first - 1);
    data.erase(at, at + removed);
    std::vector<TabStrip::TabData> added;
    added.reserve(captions.size());
    for (const std::string& caption : captions)
        added.push_back(TabStrip::TabData{std::string(), caption});
    data.insert(data.begin() + (first - 1), added.begin(), added.end());
    m_strip.m_selected = selected;

    if (m_strip.m_bar) {
        TabStrip::ApplyScope scope(m_strip);
        QTabBar& bar = *m_strip.m_bar;
        const int kept = std::min(removed, static_cast<int>(captions.size()));
        for (int i = 0; i < kept; ++i) {
            const QString caption = qs(captions[static_cast<size_t>(i)]);
            if (bar.tabText(first - 1 + i) != caption)
                bar.setTabText(first - 1 + i, caption);
        }
        for (int i = kept; i < removed; ++i)
            bar.removeTab(first - 1 + kept);
        for (int i = kept; i < static_cast<int>(captions.size()); ++i)
            bar.insertTab(first - 1 + i, qs(captions[static_cast<size_t>(i)]));
    }
    m_strip.syncSelection();
}

void Tabs::remove(const std::string& key)
{
    m_strip.touch();
    const int index = m_strip.indexOfKey(key);
    if (index == 0)
        throw platform::RuntimeError(IndexOutOfBounds, "インデックスが範囲を超えています。");
    remove(index);
}

void Tabs::clear()
{
    m_strip.touch();
    m_strip.m_data.clear();
    m_strip.m_selected = 0;
    if (m_strip.m_bar) {
        TabStrip::ApplyScope scope(m_strip);
        while (m_strip.m_bar->count() > 0)
            m_strip.m_bar->removeTab(0);
    }
}

int Tabs::count() const
{
    m_strip.touch();
    return static_cast<int>(m_strip.m_data.size());
}

Tab Tabs::item(int index) const
{
    m_strip.touch();
    m_strip.checkIndex(index);
    return Tab(m_strip, index);
}

Tab Tabs::item(const std::string& key) const
{
    m_strip.touch();
    const int index = m_strip.indexOfKey(key);
    if (index == 0)
        throw platform::RuntimeError(IndexOutOfBounds, "インデックスが範囲を超えています。");
    return Tab(m_strip, index);
}

// ---------------------------------------------------------------- Tab

std::string Tab::caption() const
{
    m_strip->checkIndex(m_index);
    return m_strip->m_data[static_cast<size_t>(m_index - 1)].caption;
}

void Tab::setCaption(const std::string& caption)
{
    m_strip->checkIndex(m_index);
    m_strip->m_data[static_cast<size_t>(m_index - 1)].caption = caption;
    if (m_strip->m_bar) {
        TabStrip::ApplyScope scope(*m_strip);
        m_strip->m_bar->setTabText(m_index - 1, qs(caption));
    }
}

std::string Tab::key() const
{
    m_strip->checkIndex(m_index);
    return m_strip->m_data[static_cast<size_t>(m_index - 1)].key;
}

bool Tab::selected() const
{
    return m_strip->m_selected == m_index;
}

void Tab::setSelected(bool selected)
{
    // Selected := False leaves the selection alone: a strip always has one.
    if (selected)
        m_strip->select(m_index);
}

} // namespace forms

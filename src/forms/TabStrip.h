#pragma once
// TabStrip: a row of tabs, the Tabs collection 1-based. Click is raised when
// the selected index changes, by the user or by code; selecting the selected
// tab raises nothing. Add and Remove keep the selected index number (clamped to
// 1..Count) and raise no Click. The pages are separate frames raised by code.

#include "forms/Control.h"

#include <string>
#include <vector>

class QTabBar;

namespace forms {

class TabStrip;

// One tab, reached through TabStrip::tabs().item(i).
class Tab {
public:
    Tab(TabStrip& strip, int index) : m_strip(&strip), m_index(index) {}
    int index() const { return m_index; }
    std::string caption() const;
    void setCaption(const std::string& caption);
    std::string key() const;
    bool selected() const;
    // Selecting raises the strip's Click when the selection changes.
    void setSelected(bool selected);

private:
    TabStrip* m_strip;
    int m_index;
};

class Tabs {
public:
    explicit Tabs(TabStrip& strip) : m_strip(strip) {}
    // Add(index, key, caption): index 0 appends; a non-empty key must be
    // unique (35602). Returns the new tab.
    Tab add(int index = 0, const std::string& key = "", const std::string& caption = "");
    void remove(int index);
    // Replaces the tabs first..first + removed - 1 by one tab per caption (no
    // key), leaving the strip and its selection as `removed` calls of
    // remove(first) followed by add(first + i, "", captions[i]) would. The tab
    // bar is touched only where a caption changes: it lays every tab out again
    // on each insertion or removal, which makes a long run of them slow.
    void replace(int first, int removed, const std::vector<std::string>& captions);
    // Remove by key.
    void remove(const std::string& key);
    void clear();
    int count() const;
    // 1-based; out of range raises 35600.
    Tab item(int index) const;
    Tab item(const std::string& key) const;

private:
    TabStrip& m_strip;
};

class TabStrip : public Control {
public:
    TabStrip(Container& container, std::string name);

    Tabs& tabs() { return m_tabs; }
    // The selected tab (SelectedItem); the strip must have a tab (else 91).
    Tab selectedItem();
    // SelectedItem.Index, 0 when the strip has no tab.
    int selectedIndex() const;

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override { m_bar = nullptr; }
    bool widgetRaisesClick() const override { return true; }

private:
    friend class Tab;
    friend class Tabs;
    struct TabData {
        std::string key;
        std::string caption;
    };
    void checkIndex(int index) const;
    int indexOfKey(const std::string& key) const;
    void select(int index);
    void syncSelection();
    void userSelected(int qtIndex);

    Tabs m_tabs{*this};
    std::vector<TabData> m_data;
    int m_selected = 0; // 1-based, 0 with no tab
    QTabBar* m_bar = nullptr;
};

} // namespace forms

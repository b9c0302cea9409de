#pragma once
// ComboBox: Style 0 (editable: Text is free) or Style 2 (drop-down list: Text
// is the chosen item). Click follows a user's pick and a change of ListIndex
// by code; Change follows typing in Style 0.

#include "forms/ListBox.h"

#include <cstdint>
#include <string>
#include <vector>

class QComboBox;

namespace forms {

template <template <typename...> class H>
struct ComboBoxEvents {
    H<> onChange;

    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onChange, b.onChange);
    }
};

constexpr int vbComboDropdown = 0;
constexpr int vbComboDropdownList = 2;

class ComboBox : public Control, public ComboBoxEvents<Handler> {
public:
    template <template <typename...> class H> using ExtraEvents = ComboBoxEvents<H>;

    ComboBox(Container& container, std::string name);

    // Design-time settings.
    int style() const;
    void setStyle(int style);
    bool sorted() const;
    void setSorted(bool sorted);

    void addItem(const std::string& text, int index = -1);
    void removeItem(int index);
    void clear();
    int listCount() const;
    std::string list(int index) const;
    void setList(int index, const std::string& text);
    int32_t itemData(int index) const;
    void setItemData(int index, int32_t data);
    int newIndex() const;
    // -1 for none; out of range raises 380. A change raises Click.
    int listIndex() const;
    void setListIndex(int index);
    // Style 0: the edit text. Style 2: the chosen item; setting a text that is
    // no item raises 383.
    std::string text() const;
    void setText(const std::string& text);
    using Control::imeMode;
    using Control::setIMEMode;

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override { m_combo = nullptr; }
    bool widgetRaisesClick() const override { return true; }
    void insertTypedText(const std::string& text) override;

private:
    void syncCurrent();
    void userPicked(int index);

    std::vector<ListItem> m_items;
    int m_style = vbComboDropdown;
    bool m_sorted = false;
    int m_listIndex = -1;
    int m_newIndex = -1;
    std::string m_text;
    QComboBox* m_combo = nullptr;
};

} // namespace forms

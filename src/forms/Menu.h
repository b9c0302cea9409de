#pragma once
// Menus: a top-level menu on the window's menu bar, or an item (or sub-menu)
// of another menu. Items come in arrays with Caption, Checked, Enabled and
// Visible and raise Click(Index):
//
//     forms::Menu filemenu{*this, "filemenu"};
//     forms::ControlArray<forms::Menu> fileitem{filemenu, "fileitem", {0, 1, 2, 3}};
//     fileitem.onClick = [this](int index) { fileitem_Click(index); };
//
// The caption "-" makes a separator. When every top-level menu is hidden the
// menu bar goes, which changes the client height and raises Resize. A hidden
// top-level menu serves as a popup menu (Form::popupMenu).

#include "forms/Control.h"

#include <string>
#include <vector>

class QAction;
class QMenu;

namespace forms {

class Menu : public Control {
public:
    // A top-level menu of the window's menu bar.
    Menu(Form& form, std::string name);
    // An item (or sub-menu) of parent.
    Menu(Menu& parent, std::string name);
    ~Menu() override;

    const std::string& caption() const;
    void setCaption(const std::string& caption);
    bool isChecked() const;
    void setChecked(bool checked);
    // A key sequence in Qt's portable text form ("Ctrl+S"); "" for none.
    void setShortcut(const std::string& keys);

    bool isSeparator() const;
    // The items in display order (loaded elements only).
    std::vector<Menu*> items() const;

    // The Qt side, for the popup and tests.
    QAction* action() const { return m_action; }
    QMenu* subMenu() const { return m_menu; }

    // Runs the item's Click as choosing it does (tests and popup scripting).
    void choose();

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override;
    void applyGeometry() override {}
    void applyVisible() override;
    void applyEnabled() override;
    void applyToolTip() override {}
    void applyFont() override {}
    void applyZOrder(int) override {}
    void applyTabStop() override {}

private:
    void createAction();
    void updateText();
    QAction* insertionPoint() const;
    void triggered();

    Menu* m_parent = nullptr;
    std::vector<Menu*> m_children; // design order, run-time elements beside their array
    QAction* m_action = nullptr;
    QMenu* m_menu = nullptr;
    std::string m_caption;
    bool m_checked = false;
    std::string m_shortcut;
};

} // namespace forms

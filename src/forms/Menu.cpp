#include "forms/Menu.h"

#include "forms/Bridge_p.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/FormWindow_p.h"
#include "forms/Testing.h"

#include <QAction>
#include <QCursor>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <cmath>

namespace forms {

namespace {

std::function<Menu*(Menu&)>& popupResponder()
{
    static std::function<Menu*(Menu&)> responder;
    return responder;
}

} // namespace

void setPopupResponder(std::function<Menu*(Menu& popup)> responder)
{
    popupResponder() = std::move(responder);
}

Menu::Menu(Form& form, std::string name) : Control(form, std::move(name)) {}

Menu::Menu(Menu& parent, std::string name) : Control(parent.form(), std::move(name)), m_parent(&parent)
{
    parent.m_children.push_back(this);
}

Menu::~Menu()
{
    if (m_parent) {
        auto& siblings = m_parent->m_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    for (Menu* child : m_children)
        child->m_parent = nullptr;
}

void Menu::resetProperties()
{
    m_caption.clear();
    m_checked = false;
    m_shortcut.clear();
}

void Menu::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    const auto& menu = static_cast<const Menu&>(source);
    m_caption = menu.m_caption;
    m_checked = menu.m_checked;
    // A shortcut belongs to one item only.
}

QWidget* Menu::createWidget(QWidget*)
{
    createAction();
    return nullptr;
}

void Menu::createAction()
{
    if (m_parent && isArrayElement()) {
        // A run-time element sits beside its array's other elements.
        auto& siblings = m_parent->m_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        auto position = siblings.end();
        for (auto it = siblings.begin(); it != siblings.end(); ++it) {
            if ((*it)->name() == name() && (*it)->index() < index())
                position = it + 1;
        }
        if (position == siblings.end()) {
            for (auto it = siblings.begin(); it != siblings.end(); ++it) {
                if ((*it)->name() == name() && (*it)->index() > index()) {
                    position = it;
                    break;
                }
            }
        }
        siblings.insert(position, this);
    }

    FormWindow* window = form().window();
    if (!window)
        return;
    QWidget* owner = window;
    if (m_parent && m_parent->m_menu)
        owner = m_parent->m_menu;
    if (!m_children.empty() || !m_parent) {
        m_menu = new QMenu(window);
        m_action = m_menu->menuAction();
        if (m_children.empty() && !m_parent) {
            // A top-level menu without items is a command of the menu bar.
            delete m_menu;
            m_menu = nullptr;
            m_action = new QAction(window);
        }
    } else {
        m_action = new QAction(owner);
    }
    if (m_parent) {
        if (m_parent->m_menu)
            m_parent->m_menu->insertAction(insertionPoint(), m_action);
    } else {
        window->ensureMenuBar()->addAction(m_action);
    }
    QObject::connect(m_action, &QAction::triggered, m_action, [this] { triggered(); });
}

QAction* Menu::insertionPoint() const
{
    if (!m_parent)
        return nullptr;
    const auto& siblings = m_parent->m_children;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it == siblings.end())
        return nullptr;
    for (++it; it != siblings.end(); ++it) {
        if ((*it)->m_action)
            return (*it)->m_action;
    }
    return nullptr;
}

void Menu::widgetDestroying()
{
    if (m_action)
        QObject::disconnect(m_action, nullptr, nullptr, nullptr);
    // The menu bar keeps its height here: this runs while a window unloads or
    // its object is destroyed, when no Resize may be raised.
    if (m_menu)
        disposeObject(m_menu);
    else if (m_action)
        disposeObject(m_action);
    m_menu = nullptr;
    m_action = nullptr;
}

void Menu::applyProperties()
{
    updateText();
}

void Menu::updateText()
{
    if (!m_action)
        return;
    const bool separator = isSeparator();
    m_action->setSeparator(separator);
    if (!separator)
        m_action->setText(qs(m_caption));
    // Only a checked item shows a check box; Qt would otherwise draw an empty
    // one beside every checkable item.
    m_action->setCheckable(m_checked && !m_menu);
    m_action->setChecked(m_checked);
    m_action->setShortcut(QKeySequence(qs(m_shortcut)));
    m_action->setVisible(Control::isVisible());
    m_action->setEnabled(Control::isEnabled());
}

void Menu::applyVisible()
{
    if (!m_action)
        return;
    m_action->setVisible(Control::isVisible());
    if (!m_parent)
        form().menuBarChanged();
}

void Menu::applyEnabled()
{
    if (m_action)
        m_action->setEnabled(Control::isEnabled());
}

const std::string& Menu::caption() const
{
    touch();
    return m_caption;
}

void Menu::setCaption(const std::string& caption)
{
    touch();
    if (caption == m_caption)
        return;
    m_caption = caption;
    ApplyScope scope(*this);
    updateText();
}

bool Menu::isChecked() const
{
    touch();
    return m_checked;
}

void Menu::setChecked(bool checked)
{
    touch();
    if (checked == m_checked)
        return;
    m_checked = checked;
    ApplyScope scope(*this);
    updateText();
}

void Menu::setShortcut(const std::string& keys)
{
    touch();
    m_shortcut = keys;
    ApplyScope scope(*this);
    updateText();
}

bool Menu::isSeparator() const
{
    return m_caption == "-";
}

std::vector<Menu*> Menu::items() const
{
    touch();
    std::vector<Menu*> result;
    for (Menu* child : m_children) {
        if (child->life())
            result.push_back(child);
    }
    return result;
}

void Menu::triggered()
{
    // Choosing an item does not toggle its check mark; the handler decides.
    if (m_action && m_action->isCheckable() != m_checked)
        m_action->setCheckable(m_checked);
    if (m_action)
        m_action->setChecked(m_checked);
    raiseFromWidget([this] { raiseClick(); });
}

void Menu::choose()
{
    touch();
    if (m_action && !m_menu)
        m_action->trigger();
}

void Form::popupMenu(Menu& menu, int flags, double x, double y)
{
    load();
    menu.touch();
    QMenu* qtMenu = menu.subMenu();
    FormWindow* w = window();
    if (!qtMenu || !w)
        return;
    if (popupResponder()) {
        // Tests choose the item; its Click runs before popupMenu returns.
        Menu* choice = popupResponder()(menu);
        if (choice)
            choice->choose();
        return;
    }
    QPoint position = QCursor::pos();
    if (!std::isnan(x) && !std::isnan(y))
        position = w->client->mapToGlobal(QPoint(twipsToPixels(x), twipsToPixels(y)));
    if (flags & vbPopupMenuRightAlign)
        position.rx() -= qtMenu->sizeHint().width();
    qtMenu->exec(position);
}

} // namespace forms

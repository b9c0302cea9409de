#include "forms/Control.h"

#include "forms/Bridge_p.h"
#include "forms/ControlArray.h"
#include "forms/Fonts.h"
#include "forms/Form.h"
#include "forms/FormWindow_p.h"
#include "forms/InputMethod_p.h"
#include "forms/Keys.h"

#include "platform/Errors.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <climits>
#include <cmath>

namespace forms {

int twipsToPixels(double twips)
{
    const double pixels = std::round(twips / TwipsPerPixel);
    if (!(pixels > INT_MIN / 2))
        return INT_MIN / 2;
    if (!(pixels < INT_MAX / 2))
        return INT_MAX / 2;
    return static_cast<int>(pixels);
}

Control::Control(Container& container, std::string name)
    : m_container(container), m_form(container.form()), m_name(std::move(name)),
      m_lifeToken(std::make_shared<uint64_t>(1))
{
    m_form.registerControl(this);
}

Control::~Control()
{
    // A window object that goes while its window is loaded takes the window
    // down first, without events: the handlers of its other controls may
    // already be gone, and a focus moving away from this control would reach them.
    if (m_attached && QCoreApplication::instance())
        m_form.destroySilently();
    ++*m_lifeToken;
    m_form.unregisterControl(this);
}

Form& Control::form() const
{
    return m_form;
}

void Control::touch() const
{
    m_form.load();
}

bool Control::isDesigning() const
{
    return m_form.isDesigning();
}

bool Control::canRaiseEvents() const
{
    return m_attached && !m_form.isDesigning();
}

ControlLife Control::life() const
{
    if (!m_attached)
        return ControlLife();
    return ControlLife(m_lifeToken, *m_lifeToken);
}

// ---------------------------------------------------------------- attach

void Control::attach(const Control* copyOf, bool hidden)
{
    if (m_attached)
        detach(true);
    m_common = Common();
    m_common.fontName = DefaultFontName;
    m_common.fontSize = DefaultFontSize;
    resetProperties();
    // The widget is made with the properties it is to have, so that it is set up
    // once (a window loading a thousand elements pays for every setting twice
    // otherwise) and never shows before it is hidden.
    if (copyOf)
        copyPropertiesFrom(*copyOf);
    if (hidden)
        m_common.visible = false;
    ++*m_lifeToken;
    m_attached = true;
    m_pressedButtons = 0;
    m_leftPressedInside = false;
    m_afterDblClick = false;
    m_widget = createWidget(m_container.containerWidget());
    bindWidget();
    applyCommon();
    ApplyScope scope(*this);
    applyProperties();
}

void Control::bindWidget()
{
    if (!m_widget)
        return;
    if (auto* binding = dynamic_cast<WidgetBinding*>(m_widget))
        binding->boundControl = this;
    m_baseFocusPolicy = m_widget->focusPolicy();
    // MouseMove comes with or without a button held: the chart and the drag markers
    // follow the pointer before a button is pressed.
    m_widget->setMouseTracking(true);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(m_widget))
        area->viewport()->setMouseTracking(true);
}

void Control::detach(bool destroyWidget)
{
    if (!m_attached)
        return;
    widgetDestroying();
    if (m_widget) {
        if (auto* binding = dynamic_cast<WidgetBinding*>(m_widget))
            binding->boundControl = nullptr;
        QObject::disconnect(m_widget, nullptr, nullptr, nullptr);
        if (destroyWidget)
            disposeObject(m_widget);
        m_widget = nullptr;
    }
    m_attached = false;
    ++*m_lifeToken;
}

void Control::recreateWidget()
{
    if (!m_attached)
        return;
    widgetDestroying();
    if (m_widget) {
        if (auto* binding = dynamic_cast<WidgetBinding*>(m_widget))
            binding->boundControl = nullptr;
        QObject::disconnect(m_widget, nullptr, nullptr, nullptr);
        disposeObject(m_widget);
        m_widget = nullptr;
    }
    if (m_form.activeControl() == this)
        m_form.focusMovedTo(nullptr);
    ++*m_lifeToken;
    m_widget = createWidget(m_container.containerWidget());
    bindWidget();
    applyCommon();
    ApplyScope scope(*this);
    applyProperties();
    m_form.tabOrderChanged();
}

void Control::applyCommon()
{
    ApplyScope scope(*this);
    applyGeometry();
    applyFont();
    applyEnabled();
    applyToolTip();
    applyTabStop();
    applyVisible();
}

void Control::copyPropertiesFrom(const Control& source)
{
    const int tabIndex = m_common.tabIndex;
    const bool tabIndexSet = m_common.tabIndexSet;
    m_common = source.m_common;
    m_common.tabIndex = tabIndex;
    m_common.tabIndexSet = tabIndexSet;
}

// ---------------------------------------------------------------- apply

void Control::applyGeometry()
{
    if (!m_widget)
        return;
    const int inset = containerInsetPixels();
    m_widget->setGeometry(twipsToPixels(m_common.left) + inset, twipsToPixels(m_common.top) + inset,
                          std::max(0, twipsToPixels(m_common.width)), std::max(0, twipsToPixels(m_common.height)));
}

int Control::containerInsetPixels() const
{
    // Windows and frames measure from their widget's corner; a containing
    // control may inset its client area.
    if (const auto* owner = dynamic_cast<const Control*>(&m_container))
        return owner->clientInsetPixels();
    return 0;
}

void Control::placeContainedControls()
{
    const Container* self = dynamic_cast<const Container*>(this);
    if (!self)
        return;
    for (Control* control : m_form.controls()) {
        if (&control->m_container == self && control->m_widget) {
            ApplyScope scope(*control);
            control->applyGeometry();
        }
    }
}

void Control::applyVisible()
{
    if (m_widget)
        m_widget->setVisible(m_common.visible);
}

void Control::applyEnabled()
{
    if (m_widget)
        m_widget->setEnabled(m_common.enabled);
}

void Control::applyToolTip()
{
    if (m_widget)
        m_widget->setToolTip(qs(m_common.toolTipText));
}

void Control::applyFont()
{
    if (m_widget)
        m_widget->setFont(makeFont(m_common.fontName, m_common.fontSize, m_common.fontBold, m_common.fontItalic));
}

void Control::applyZOrder(int position)
{
    if (!m_widget)
        return;
    if (position == 0)
        m_widget->raise();
    else
        m_widget->lower();
}

void Control::applyTabStop()
{
    if (!m_widget || m_baseFocusPolicy == Qt::NoFocus)
        return;
    m_widget->setFocusPolicy(m_common.tabStop ? static_cast<Qt::FocusPolicy>(m_baseFocusPolicy) : Qt::ClickFocus);
}

void Control::insertTypedText(const std::string&) {}

int Control::imeMode() const
{
    touch();
    return m_common.imeMode;
}

void Control::setIMEMode(int mode)
{
    touch();
    if (mode < 0 || mode > 10)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    if (mode == m_common.imeMode)
        return;
    m_common.imeMode = mode;
    inputMethodModeChanged(m_widget);
}

// ---------------------------------------------------------------- common properties

const std::string& Control::tag() const
{
    touch();
    return m_common.tag;
}

void Control::setTag(const std::string& tag)
{
    touch();
    m_common.tag = tag;
}

const std::string& Control::toolTipText() const
{
    touch();
    return m_common.toolTipText;
}

void Control::setToolTipText(const std::string& text)
{
    touch();
    if (text == m_common.toolTipText)
        return;
    m_common.toolTipText = text;
    ApplyScope scope(*this);
    applyToolTip();
}

bool Control::isEnabled() const
{
    touch();
    return m_common.enabled;
}

void Control::setEnabled(bool enabled)
{
    touch();
    if (enabled == m_common.enabled)
        return;
    m_common.enabled = enabled;
    ApplyScope scope(*this);
    applyEnabled();
}

bool Control::isVisible() const
{
    touch();
    return m_common.visible;
}

void Control::setVisible(bool visible)
{
    touch();
    if (visible == m_common.visible)
        return;
    m_common.visible = visible;
    ApplyScope scope(*this);
    applyVisible();
}

double Control::left() const
{
    touch();
    return m_common.left;
}

double Control::top() const
{
    touch();
    return m_common.top;
}

double Control::width() const
{
    touch();
    return m_common.width;
}

double Control::height() const
{
    touch();
    return m_common.height;
}

void Control::setLeft(double twips)
{
    touch();
    move(twips, m_common.top, m_common.width, m_common.height);
}

void Control::setTop(double twips)
{
    touch();
    move(m_common.left, twips, m_common.width, m_common.height);
}

void Control::setWidth(double twips)
{
    touch();
    move(m_common.left, m_common.top, twips, m_common.height);
}

void Control::setHeight(double twips)
{
    touch();
    move(m_common.left, m_common.top, m_common.width, twips);
}

void Control::move(double left, double top)
{
    touch();
    move(left, top, m_common.width, m_common.height);
}

void Control::move(double left, double top, double width, double height)
{
    touch();
    if (width < 0 || height < 0)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    if (left == m_common.left && top == m_common.top && width == m_common.width && height == m_common.height)
        return;
    m_common.left = left;
    m_common.top = top;
    m_common.width = width;
    m_common.height = height;
    ApplyScope scope(*this);
    applyGeometry();
}

void Control::zOrder(int position)
{
    touch();
    ApplyScope scope(*this);
    applyZOrder(position);
}

void Control::sendToBack(const std::vector<Control*>& controls)
{
    QWidget* container = nullptr;
    bool oneContainer = true;
    for (Control* control : controls) {
        control->touch();
        QWidget* parent = control->m_widget ? control->m_widget->parentWidget() : nullptr;
        if (!parent || (container && parent != container))
            oneContainer = false;
        container = parent;
    }
    if (!oneContainer || !container) {
        for (auto control = controls.rbegin(); control != controls.rend(); ++control)
            (*control)->zOrder(1);
        return;
    }
    // The stack, bottom first, is the container's children; objects that are not
    // widgets have no place in it. Each control goes just under what stands in its
    // place, unless it stands there itself.
    const QObjectList& children = container->children();
    qsizetype place = 0;
    for (Control* control : controls) {
        while (place < children.size() && !children.at(place)->isWidgetType())
            ++place;
        if (place == children.size())
            break;
        QObject* standing = children.at(place);
        if (standing != control->m_widget) {
            ApplyScope scope(*control);
            control->m_widget->stackUnder(static_cast<QWidget*>(standing));
        }
        ++place;
    }
}

bool Control::tabStop() const
{
    touch();
    return m_common.tabStop;
}

void Control::setTabStop(bool tabStop)
{
    touch();
    m_common.tabStop = tabStop;
    ApplyScope scope(*this);
    applyTabStop();
}

int Control::tabIndex() const
{
    touch();
    return m_common.tabIndex;
}

void Control::setTabIndex(int tabIndex)
{
    touch();
    m_common.tabIndex = tabIndex;
    m_common.tabIndexSet = true;
    m_form.tabOrderChanged();
}

const std::string& Control::fontName() const
{
    touch();
    return m_common.fontName;
}

double Control::fontSize() const
{
    touch();
    return m_common.fontSize;
}

bool Control::fontBold() const
{
    touch();
    return m_common.fontBold;
}

bool Control::fontItalic() const
{
    touch();
    return m_common.fontItalic;
}

void Control::setFontName(const std::string& name)
{
    touch();
    m_common.fontName = name;
    ApplyScope scope(*this);
    applyFont();
}

void Control::setFontSize(double points)
{
    touch();
    m_common.fontSize = points;
    ApplyScope scope(*this);
    applyFont();
}

void Control::setFontBold(bool bold)
{
    touch();
    m_common.fontBold = bold;
    ApplyScope scope(*this);
    applyFont();
}

void Control::setFontItalic(bool italic)
{
    touch();
    m_common.fontItalic = italic;
    ApplyScope scope(*this);
    applyFont();
}

// ---------------------------------------------------------------- focus

bool Control::canTakeFocus() const
{
    touch();
    if (!m_attached || !m_widget || !m_common.visible || !m_common.enabled)
        return false;
    if (!m_form.isVisible())
        return false;
    if (m_widget->focusPolicy() == Qt::NoFocus)
        return false;
    QWidget* window = m_widget->window();
    return m_widget->isVisibleTo(window) && m_widget->isEnabledTo(window);
}

void Control::setFocus()
{
    touch();
    if (!canTakeFocus()) {
        qCInfo(formsLog) << "SetFocus ignored:" << qs(m_form.name()) << qs(m_name) << m_index
                         << "cannot take the focus";
        return;
    }
    m_widget->setFocus(Qt::OtherFocusReason);
    // The focus events run now, whether or not the platform has activated the
    // window yet: the code that sets the focus relies on LostFocus/GotFocus
    // having run when the call returns.
    m_form.focusMovedTo(this);
}

// ---------------------------------------------------------------- raising

void Control::raiseFromWidget(const std::function<void()>& raise)
{
    if (!canRaiseEvents())
        return;
    runGuarded(raise);
}

void Control::raiseClick()
{
    if (!canRaiseEvents())
        return;
    // A copy: the handler may unload this element, and with it the member.
    auto handler = onClick;
    if (handler)
        handler();
}

void Control::raiseDblClick()
{
    if (!canRaiseEvents())
        return;
    auto handler = onDblClick;
    if (handler)
        handler();
}

void Control::raiseMouseDown(int button, int shift, double x, double y)
{
    if (!canRaiseEvents())
        return;
    auto handler = onMouseDown;
    if (handler)
        handler(button, shift, x, y);
}

void Control::raiseMouseMove(int button, int shift, double x, double y)
{
    if (!canRaiseEvents())
        return;
    auto handler = onMouseMove;
    if (handler)
        handler(button, shift, x, y);
}

void Control::raiseMouseUp(int button, int shift, double x, double y)
{
    if (!canRaiseEvents())
        return;
    auto handler = onMouseUp;
    if (handler)
        handler(button, shift, x, y);
}

void Control::raiseGotFocus()
{
    if (!canRaiseEvents())
        return;
    auto handler = onGotFocus;
    if (handler)
        handler();
}

void Control::raiseLostFocus()
{
    if (!canRaiseEvents())
        return;
    auto handler = onLostFocus;
    if (handler)
        handler();
}

// ---------------------------------------------------------------- Qt events

bool Control::dispatchWidgetEvent(QEvent* event, const std::function<bool()>& base)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        runGuarded([&] { handleMouse(event, base); });
        // The control took the mouse event; it never travels on to the container.
        event->accept();
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        bool result = true;
        runGuarded([&] { result = handleKey(event, base); });
        return result;
    }
    case QEvent::InputMethod: {
        bool result = true;
        runGuarded([&] { result = handleInputMethod(event, base); });
        return result;
    }
    case QEvent::InputMethodQuery: {
        const bool result = base();
        answerInputMethodQuery(static_cast<QInputMethodQueryEvent&>(*event), inputMethodMode());
        return result;
    }
    case QEvent::Wheel: {
        // A control that scrolls by itself takes the turn; else the scroll bar of
        // the area the pointer is over moves.
        const bool result = base();
        if (event->isAccepted())
            return result;
        if (turnWheelOfArea(form(), static_cast<const QWheelEvent&>(*event))) {
            event->accept();
            return true;
        }
        return result;
    }
    case QEvent::FocusIn: {
        const ControlLife alive = life();
        const bool result = base();
        if (alive)
            runGuarded([&] { handleFocusIn(event); });
        return result;
    }
    default:
        return base();
    }
}

bool Control::handleMouse(QEvent* event, const std::function<bool()>& base)
{
    auto* mouse = static_cast<QMouseEvent*>(event);
    const ControlLife alive = life();
    const int shift = shiftCode(mouse->modifiers());
    const QPointF position = mouse->position();
    const int inset = clientInsetPixels();
    const double x = (position.x() - inset) * TwipsPerPixel;
    const double y = (position.y() - inset) * TwipsPerPixel;
    const int button = buttonCode(mouse->button());

    QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonDblClick && (!hasDblClick() || button != vbLeftButton))
        type = QEvent::MouseButtonPress; // a second press, as far as the program sees it

    switch (type) {
    case QEvent::MouseMove:
        raiseMouseMove(buttonMask(mouse->buttons()), shift, x, y);
        return alive ? base() : true;

    case QEvent::MouseButtonPress: {
        bool result = true;
        if (mouseDownAfterWidget()) {
            result = base();
            if (!alive)
                return result;
            raiseMouseDown(button, shift, x, y);
        } else {
            raiseMouseDown(button, shift, x, y);
            if (!alive)
                return true;
            result = base();
        }
        if (alive && button == vbLeftButton) {
            m_leftPressedInside = true;
            m_afterDblClick = false;
        }
        return result;
    }

    case QEvent::MouseButtonDblClick: {
        const bool result = base();
        if (!alive)
            return result;
        m_leftPressedInside = false;
        m_afterDblClick = true;
        raiseDblClick();
        return result;
    }

    case QEvent::MouseButtonRelease: {
        const bool clickCandidate = button == vbLeftButton && m_leftPressedInside && !m_afterDblClick
                                    && !widgetRaisesClick() && m_widget
                                    && m_widget->rect().contains(position.toPoint());
        if (button == vbLeftButton) {
            m_leftPressedInside = false;
            m_afterDblClick = false;
        }
        bool result = true;
        if (mouseUpAfterWidget()) {
            result = base();
            if (!alive)
                return result;
            raiseMouseUp(button, shift, x, y);
        } else {
            raiseMouseUp(button, shift, x, y);
            if (!alive)
                return true;
            result = base();
        }
        if (alive && clickCandidate)
            raiseClick();
        return result;
    }

    default:
        return base();
    }
}

namespace {

// The control a widget belongs to: the nearest bound widget up its parents.
Control* controlOwning(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (auto* binding = dynamic_cast<WidgetBinding*>(widget); binding && binding->boundControl)
            return binding->boundControl;
    }
    return nullptr;
}

// The text of the characters from index first on.
QString charactersFrom(const QList<uint>& characters, qsizetype first)
{
    QString text;
    for (qsizetype i = first; i < characters.size(); ++i) {
        const char32_t character = characters[i];
        text += QString::fromUcs4(&character, 1);
    }
    return text;
}

} // namespace

struct Control::TypedCharacters {
    QString replacement;
    bool changed = false;
    bool stopped = false;
    Control* passedTo = nullptr;
    QString passedText;
};

bool Control::handleKey(QEvent* event, const std::function<bool()>& base)
{
    auto* key = static_cast<QKeyEvent*>(event);
    // A key another control left unhandled travels up to its containers; it is
    // not theirs.
    QWidget* focus = m_widget ? m_widget->window()->focusWidget() : nullptr;
    if (m_widget && focus && focus != m_widget && m_widget->isAncestorOf(focus) && controlOwning(focus) != this)
        return base();
    const bool press = event->type() == QEvent::KeyPress;
    const int virtualKey = virtualKeyCode(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
    const int shift = shiftCode(key->modifiers());
    if (virtualKey == vbKeyTab && !wantsTabKey())
        return base(); // Tab moves the focus and reaches no handler
    if (!canRaiseEvents())
        return base();

    const ControlLife alive = life();
    Form& window = m_form;
    if (virtualKey != 0) {
        int keyCode = virtualKey;
        if (window.keyPreview()) {
            if (press)
                window.Form_KeyDown(keyCode, shift);
            else
                window.Form_KeyUp(keyCode, shift);
            if (!alive || keyCode == 0)
                return true;
        }
        auto handler = press ? onKeyDown : onKeyUp;
        if (handler)
            handler(keyCode, shift);
        if (!alive || keyCode == 0)
            return true;
    }
    if (!press || virtualKey == vbKeyDelete)
        return base();

    const QString text = key->text();
    if (text.isEmpty())
        return base();
    const TypedCharacters typed = pressCharacters(text);
    if (typed.stopped)
        return true;
    if (!typed.passedTo && !typed.changed)
        return base();
    if (!typed.replacement.isEmpty())
        insertTypedText(str(typed.replacement));
    if (!typed.passedTo)
        return true;
    // The key that opened the control it goes on to is typed there as the user
    // typed it: through the input method where that control composes, so that
    // the composition begins there with its first key, the way it goes on.
    if (typed.passedText == text && retypeThroughInputMethod(*key))
        return true;
    typed.passedTo->typePassedText(typed.passedText);
    return true;
}

Control::TypedCharacters Control::pressCharacters(const QString& text)
{
    TypedCharacters typed;
    const QList<uint> characters = text.toUcs4();
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const qsizetype before = typed.replacement.size();
        bool characterChanged = false;
        if (!pressCharacter(characters[i], typed.replacement, characterChanged)) {
            typed.stopped = true;
            return typed;
        }
        typed.changed = typed.changed || characterChanged;
        if (Control* target = characterChanged ? nullptr : typingTarget()) {
            typed.replacement.truncate(before);
            typed.passedTo = target;
            typed.passedText = charactersFrom(characters, i);
            return typed;
        }
    }
    return typed;
}

bool Control::pressCharacter(char32_t character, QString& typed, bool& changed, bool preview)
{
    const ControlLife alive = life();
    Form& window = m_form;
    int16_t keyAscii = keyAsciiOf(character);
    const int16_t original = keyAscii;
    if (preview && window.keyPreview()) {
        window.Form_KeyPress(keyAscii);
        if (!alive)
            return false;
    }
    auto handler = onKeyPress;
    if (handler)
        handler(keyAscii);
    if (!alive)
        return false;
    if (keyAscii == original) {
        typed += QString::fromUcs4(&character, 1);
        return true;
    }
    changed = true;
    if (!keyAsciiInsertsNothing(keyAscii))
        typed += qs(textOfKeyAscii(keyAscii));
    return true;
}

Control* Control::typingTarget() const
{
    if (!passesTypingToNewFocus())
        return nullptr;
    Control* focus = m_form.activeControl();
    return focus && focus != this && focus->canRaiseEvents() ? focus : nullptr;
}

void Control::typePassedText(const QString& text)
{
    const ControlLife alive = life();
    // One character at a time: each KeyPress sees the text before its key. The
    // window's preview has seen the first one on its way to the passing control.
    bool preview = false;
    for (char32_t character : text.toUcs4()) {
        QString typed;
        bool changed = false;
        if (!pressCharacter(character, typed, changed, preview) || !alive)
            return;
        preview = true;
        if (!typed.isEmpty())
            insertTypedText(str(typed));
    }
}

bool Control::handleInputMethod(QEvent* event, const std::function<bool()>& base)
{
    auto* input = static_cast<QInputMethodEvent*>(event);
    const QString commit = input->commitString();
    if (commit.isEmpty() || !canRaiseEvents())
        return base();
    // One KeyPress per committed character.
    const TypedCharacters typed = pressCharacters(commit);
    if (typed.stopped)
        return true;
    if (typed.passedTo || typed.changed)
        input->setCommitString(typed.replacement, input->replacementStart(), input->replacementLength());
    const bool result = base();
    if (typed.passedTo)
        typed.passedTo->typePassedText(typed.passedText);
    return result;
}

void Control::handleFocusIn(QEvent* event)
{
    (void)event;
    if (!canRaiseEvents())
        return;
    // GotFocus and LostFocus follow the window's own focus control: the focus
    // coming back with the window's activation is no move.
    if (m_form.activeControl() == this)
        return;
    m_form.focusMovedTo(this);
}

} // namespace forms

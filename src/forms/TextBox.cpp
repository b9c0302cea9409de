#include "forms/TextBox.h"

#include "forms/Bridge_p.h"
#include "forms/Colors_p.h"
#include "forms/InputMethod_p.h"
#include "forms/Label.h"

#include "platform/Errors.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <algorithm>

namespace forms {

namespace {

[[noreturn]] void invalidValue()
{
    throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
}

} // namespace

TextBox::TextBox(Container& container, std::string name) : Control(container, std::move(name)) {}

QWidget* TextBox::createWidget(QWidget* parent)
{
    if (m_props.multiLine) {
        auto* plain = new BridgedScrollArea<QPlainTextEdit>(parent);
        plain->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        plain->setTabChangesFocus(true);
        m_plain = plain;
        QObject::connect(plain, &QPlainTextEdit::textChanged, plain, [this] {
            if (!isApplying())
                userEdited();
        });
        return plain;
    }
    auto* line = new Bridged<QLineEdit>(parent);
    m_line = line;
    QObject::connect(line, &QLineEdit::textEdited, line, [this] {
        if (!isApplying())
            userEdited();
    });
    return line;
}

void TextBox::widgetDestroying()
{
    m_line = nullptr;
    m_plain = nullptr;
}

void TextBox::resetProperties()
{
    m_props = Properties();
    m_edited = false;
}

void TextBox::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    const auto& other = static_cast<const TextBox&>(source);
    const bool multiLine = m_props.multiLine;
    m_props = other.m_props;
    m_props.text = str(other.widgetText());
    m_edited = false;
    if (m_props.multiLine != multiLine)
        recreateWidget();
}

void TextBox::applyProperties()
{
    if (m_line) {
        m_line->setText(qs(m_props.text));
        m_line->setReadOnly(m_props.locked);
        m_line->setMaxLength(m_props.maxLength > 0 ? m_props.maxLength : 32767);
        Qt::Alignment horizontal = Qt::AlignLeft;
        if (m_props.alignment == vbRightJustify)
            horizontal = Qt::AlignRight;
        else if (m_props.alignment == vbCenter)
            horizontal = Qt::AlignHCenter;
        m_line->setAlignment(horizontal | Qt::AlignVCenter);
    }
    if (m_plain) {
        m_plain->setPlainText(crlfToLf(qs(m_props.text)));
        m_plain->setReadOnly(m_props.locked);
    }
    applyColours();
}

void TextBox::applyColours()
{
    QWidget* w = widget();
    if (!w)
        return;
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, toQColor(m_props.backColor));
    palette.setColor(QPalette::Text, toQColor(m_props.foreColor));
    w->setPalette(palette);
}

QString TextBox::widgetText() const
{
    if (m_line)
        return m_line->text();
    if (m_plain)
        return lfToCrlf(m_plain->toPlainText());
    return qs(m_props.text);
}

void TextBox::userEdited()
{
    keepTypedTextHalfWidth();
    m_edited = true;
    raiseFromWidget([this] {
        auto handler = onChange;
        if (handler)
            handler();
    });
}

void TextBox::keepTypedTextHalfWidth()
{
    if (!m_line || !takesKeysAsTyped(inputMethodMode()))
        return;
    const QString text = m_line->text();
    const QString halfWidth = asTypedDirectly(text);
    if (halfWidth == text)
        return;
    // Each full-width form and its half-width one are one UTF-16 unit: the cursor
    // stays where it was.
    const int cursor = m_line->cursorPosition();
    ApplyScope scope(*this);
    m_line->setText(halfWidth);
    m_line->setCursorPosition(cursor);
}

void TextBox::insertTypedText(const std::string& text)
{
    if (m_line && !m_line->isReadOnly()) {
        // A program-side insert is no textEdited; the typing was the user's.
        m_line->insert(qs(text));
        userEdited();
    } else if (m_plain && !m_plain->isReadOnly())
        m_plain->insertPlainText(crlfToLf(qs(text)));
}

std::string TextBox::text() const
{
    touch();
    if (!m_edited)
        return m_props.text;
    return str(widgetText());
}

void TextBox::setText(const std::string& text)
{
    touch();
    const std::string before = this->text();
    m_props.text = text;
    m_edited = false;
    if (m_line || m_plain) {
        ApplyScope scope(*this);
        if (m_line)
            m_line->setText(qs(text));
        else
            m_plain->setPlainText(crlfToLf(qs(text)));
    }
    if (before != text && canRaiseEvents()) {
        auto handler = onChange;
        if (handler)
            handler();
    }
}

bool TextBox::multiLine() const
{
    touch();
    return m_props.multiLine;
}

void TextBox::setMultiLine(bool multiLine)
{
    touch();
    if (multiLine == m_props.multiLine)
        return;
    m_props.text = str(widgetText());
    m_edited = false;
    m_props.multiLine = multiLine;
    recreateWidget();
}

bool TextBox::locked() const
{
    touch();
    return m_props.locked;
}

void TextBox::setLocked(bool locked)
{
    touch();
    m_props.locked = locked;
    if (m_line)
        m_line->setReadOnly(locked);
    if (m_plain)
        m_plain->setReadOnly(locked);
}

int TextBox::maxLength() const
{
    touch();
    return m_props.maxLength;
}

void TextBox::setMaxLength(int length)
{
    touch();
    if (length < 0)
        invalidValue();
    m_props.maxLength = length;
    if (m_line)
        m_line->setMaxLength(length > 0 ? length : 32767);
}

int TextBox::alignment() const
{
    touch();
    return m_props.alignment;
}

void TextBox::setAlignment(int alignment)
{
    touch();
    if (alignment < vbLeftJustify || alignment > vbCenter)
        invalidValue();
    m_props.text = str(widgetText());
    m_props.alignment = alignment;
    ApplyScope scope(*this);
    applyProperties();
}

long TextBox::backColor() const
{
    touch();
    return m_props.backColor;
}

void TextBox::setBackColor(long colour)
{
    touch();
    m_props.backColor = colour;
    applyColours();
}

long TextBox::foreColor() const
{
    touch();
    return m_props.foreColor;
}

void TextBox::setForeColor(long colour)
{
    touch();
    m_props.foreColor = colour;
    applyColours();
}

// ---------------------------------------------------------------- selection

int TextBox::toWidgetPosition(int position) const
{
    if (!m_plain)
        return position;
    // Each CR LF before the position is one LF in the widget.
    const QString text = widgetText();
    int widgetPosition = 0;
    for (int i = 0; i < position && i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            continue;
        ++widgetPosition;
    }
    return widgetPosition;
}

int TextBox::fromWidgetPosition(int position) const
{
    if (!m_plain)
        return position;
    const QString plain = m_plain->toPlainText();
    int result = 0;
    for (int i = 0; i < position && i < plain.size(); ++i)
        result += plain[i] == QLatin1Char('\n') ? 2 : 1;
    return result;
}

void TextBox::selectRange(int start, int length)
{
    const int size = static_cast<int>(widgetText().size());
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    const int from = toWidgetPosition(start);
    const int to = toWidgetPosition(start + length);
    if (m_line) {
        m_line->setSelection(from, to - from);
        if (to == from)
            m_line->setCursorPosition(from);
    } else if (m_plain) {
        QTextCursor cursor = m_plain->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        m_plain->setTextCursor(cursor);
    }
}

int TextBox::selStart() const
{
    touch();
    if (m_line)
        return m_line->hasSelectedText() ? m_line->selectionStart() : m_line->cursorPosition();
    if (m_plain)
        return fromWidgetPosition(m_plain->textCursor().selectionStart());
    return 0;
}

int TextBox::selLength() const
{
    touch();
    if (m_line)
        return m_line->hasSelectedText() ? static_cast<int>(m_line->selectedText().size()) : 0;
    if (m_plain) {
        const QTextCursor cursor = m_plain->textCursor();
        return fromWidgetPosition(cursor.selectionEnd()) - fromWidgetPosition(cursor.selectionStart());
    }
    return 0;
}

void TextBox::setSelStart(int start)
{
    touch();
    if (start < 0)
        invalidValue();
    ApplyScope scope(*this);
    selectRange(start, 0);
}

void TextBox::setSelLength(int length)
{
    touch();
    if (length < 0)
        invalidValue();
    ApplyScope scope(*this);
    selectRange(selStart(), length);
}

} // namespace forms

#pragma once
// TextBox: single-line, or multi-line with a vertical scroll bar. Text reads
// line breaks as CR LF; text set by code reads back unchanged until the user
// edits it. SelStart and SelLength count characters (a CR LF counts two) and
// are clamped to the text. IMEMode is Control's; a single-line box whose mode
// takes keys as they are keeps the user's text half-width, pasted text
// included. KeyPress follows the rules of Keys.h: a handler that sets 0 or a
// control code inserts nothing; Enter inserts a line break only in a
// multi-line box; pasted text bypasses KeyPress.

#include "forms/Control.h"

#include <string>

class QLineEdit;
class QString;
class QPlainTextEdit;

namespace forms {

template <template <typename...> class H>
struct TextBoxEvents {
    H<> onChange;

    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onChange, b.onChange);
    }
};

class TextBox : public Control, public TextBoxEvents<Handler> {
public:
    template <template <typename...> class H> using ExtraEvents = TextBoxEvents<H>;

    TextBox(Container& container, std::string name);

    // Change is raised whenever the text changes, by the user or by code.
    std::string text() const;
    void setText(const std::string& text);
    bool multiLine() const;
    void setMultiLine(bool multiLine);
    bool locked() const;
    void setLocked(bool locked);
    int maxLength() const;
    void setMaxLength(int length);
    int alignment() const;
    void setAlignment(int alignment);
    long backColor() const;
    void setBackColor(long colour);
    long foreColor() const;
    void setForeColor(long colour);
    using Control::imeMode;
    using Control::setIMEMode;

    int selStart() const;
    void setSelStart(int start);
    int selLength() const;
    void setSelLength(int length);

    // Tab and Shift+Tab reach KeyDown (KeyCode vbKeyTab) instead of moving the
    // focus: a handler that leaves KeyCode as it is lets the focus move as usual.
    // Set by code only; off for a new text box.
    bool takesTabKey() const { return m_takesTab; }
    void setTakesTabKey(bool takes) { m_takesTab = takes; }

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override;
    void insertTypedText(const std::string& text) override;
    bool insertsLineBreakOnEnter() const override { return m_props.multiLine; }
    bool wantsTabKey() const override { return m_takesTab; }

private:
    struct Properties {
        std::string text;
        bool multiLine = false;
        bool locked = false;
        int maxLength = 0;
        int alignment = 0;
        long backColor = 0x80000005L; // window background
        long foreColor = 0x80000008L; // window text
    };
    // The text as the widget holds it, line breaks as CR LF.
    QString widgetText() const;
    void userEdited();
    // The line's text with full-width letters, digits and signs made half-width,
    // where the mode takes keys as they are.
    void keepTypedTextHalfWidth();
    void applyColours();
    // Positions in CR LF counting <-> positions in the widget's text.
    int toWidgetPosition(int position) const;
    int fromWidgetPosition(int position) const;
    void selectRange(int start, int length);

    Properties m_props;
    // True once the user changed the text since code last set it.
    bool m_edited = false;
    bool m_takesTab = false;
    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_plain = nullptr;
};

} // namespace forms

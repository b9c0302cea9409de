// A Japanese input method for the tests: a Qt platform input context, chosen
// with QT_IM_MODULE (support/qt/KanaInputMethod.h), that composes as Mozc does
// under fcitx5, so that the tests type through one the way a user does.
//
// - 半角/全角 (Key_Zenkaku_Hankaku) turns it on and off; it starts off. Its
//   locale says which: Japanese while on (as fcitx5's does with Mozc chosen).
// - On, it composes in the focused widget: romaji become kana ("yama" やま), a
//   letter that starts no kana stays as its full-width form ("mp" ｍｐ), digits
//   and signs are full-width ("0312" ０３１２, "/" ・, "." 。, "-" ー, "@" ＠),
//   shown as preedit. Space converts the preedit (やま 山); the next character
//   commits the converted text and starts the next composition, in two events as
//   fcitx5 sends them. Enter commits; Backspace takes back one character; Esc
//   cancels; any other key commits and goes on to the widget.
// - A key reaches it as fcitx5's keys do: before the widget, as Qt's key event
//   to the focused widget (the platform's own path, or the one the tests send
//   keys by). It lets every key through, on or off, where the focused widget
//   says that it takes no input method (Qt::ImEnabled false) and Qt was told so;
//   like fcitx5, it composes while either still says yes.
// - When the focus moves, the preedit is committed to the widget it was typed
//   in, and the composition ends.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPointer>
#include <QString>
#include <qpa/qplatforminputcontext.h>
#include <qpa/qplatforminputcontextplugin_p.h>

#include <map>

namespace {

// Romaji to kana, as Mozc's default table has them (the part the tests type).
const std::map<QString, QString>& romaji()
{
    static const std::map<QString, QString> table = [] {
        const char* pairs =
            "a:あ i:い u:う e:え o:お ka:か ki:き ku:く ke:け ko:こ sa:さ si:し shi:し su:す se:せ so:そ "
            "ta:た ti:ち chi:ち tu:つ tsu:つ te:て to:と na:な ni:に nu:ぬ ne:ね no:の nn:ん "
            "ha:は hi:ひ hu:ふ fu:ふ he:へ ho:ほ ma:ま mi:み mu:む me:め mo:も ya:や yu:ゆ yo:よ "
            "ra:ら ri:り ru:る re:れ ro:ろ wa:わ wo:を ga:が gi:ぎ gu:ぐ ge:げ go:ご "
            "za:ざ zi:じ ji:じ zu:ず ze:ぜ zo:ぞ da:だ di:ぢ du:づ de:で do:ど "
            "ba:ば bi:び bu:ぶ be:べ bo:ぼ pa:ぱ pi:ぴ pu:ぷ pe:ぺ po:ぽ "
            "xa:ぁ xi:ぃ xu:ぅ xe:ぇ xo:ぉ la:ぁ li:ぃ lu:ぅ le:ぇ lo:ぉ xtu:っ ltu:っ "
            "kya:きゃ kyu:きゅ kyo:きょ sha:しゃ shu:しゅ sho:しょ cha:ちゃ chu:ちゅ cho:ちょ "
            "ja:じゃ ju:じゅ jo:じょ rya:りゃ ryu:りゅ ryo:りょ";
        std::map<QString, QString> t;
        for (const QString& pair : QString::fromUtf8(pairs).split(QLatin1Char(' '))) {
            const qsizetype colon = pair.indexOf(QLatin1Char(':'));
            t.emplace(pair.left(colon), pair.mid(colon + 1));
        }
        return t;
    }();
    return table;
}

// What a space turns a reading into (the rest stay as they are).
QString converted(const QString& reading)
{
    static const std::map<QString, QString> words = {
        {QStringLiteral("やま"), QStringLiteral("山")},     {QStringLiteral("かわ"), QStringLiteral("川")},
        {QStringLiteral("やまだ"), QStringLiteral("山田")}, {QStringLiteral("たろう"), QStringLiteral("太郎")},
        {QStringLiteral("さとう"), QStringLiteral("佐藤")}, {QStringLiteral("ほんけ"), QStringLiteral("本家")}};
    const auto word = words.find(reading);
    return word == words.end() ? reading : word->second;
}

// The full-width form of a printable ASCII character, as Mozc types it.
QString fullWidth(QChar c)
{
    switch (c.unicode()) {
    case '/':
        return QStringLiteral("・");
    case '.':
        return QStringLiteral("。");
    case ',':
        return QStringLiteral("、");
    case '-':
        return QStringLiteral("ー");
    case '[':
        return QStringLiteral("「");
    case ']':
        return QStringLiteral("」");
    default:
        return QString(QChar(c.unicode() - 0x21 + 0xFF01));
    }
}

bool startsAnyKana(const QString& letters)
{
    const auto& table = romaji();
    const auto next = table.lower_bound(letters);
    return next != table.end() && next->first.startsWith(letters);
}

bool isVowel(QChar c)
{
    return QStringLiteral("aiueo").contains(c);
}

} // namespace

namespace support {

class KanaInputContext : public QPlatformInputContext {
    Q_OBJECT
public:
    KanaInputContext() { QCoreApplication::instance()->installEventFilter(this); }

    bool isValid() const override { return true; }

    QLocale locale() const override
    {
        return m_on ? QLocale(QLocale::Japanese, QLocale::Japan) : QLocale(QLocale::English, QLocale::UnitedStates);
    }

    bool filterEvent(const QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        if (!inputMethodAccepted() && !focusTakesInputMethod())
            return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.key() == Qt::Key_Zenkaku_Hankaku) {
            commitComposition(QGuiApplication::focusObject());
            m_on = !m_on;
            emitLocaleChanged();
            return true;
        }
        return m_on && compose(key);
    }

    // As fcitx5 does: the preedit the widget shows is committed to it, and the
    // composition ends there, whatever keys it holds that the widget has not been
    // shown yet.
    void setFocusObject(QObject* object) override
    {
        if (object == m_typedIn)
            return;
        const QPointer<QObject> left = m_typedIn;
        const QString shown = m_shown;
        m_typedIn = object;
        clearComposition();
        if (!shown.isEmpty() && left)
            send(left, shown);
    }

    void reset() override { clearComposition(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && watched == QGuiApplication::focusObject())
            return filterEvent(event);
        return false;
    }

private:
    static bool focusTakesInputMethod()
    {
        QObject* focus = QGuiApplication::focusObject();
        if (!focus)
            return false;
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QCoreApplication::sendEvent(focus, &query);
        return query.value(Qt::ImEnabled).toBool();
    }

    bool composing() const { return !m_kana.isEmpty() || !m_letters.isEmpty() || !m_converted.isEmpty(); }

    bool compose(const QKeyEvent& key)
    {
        const QString text = key.text();
        const bool plain = !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plain && text.size() == 1 && text[0].unicode() > ' ' && text[0].unicode() < 0x7F) {
            typeCharacter(text[0]);
            return true;
        }
        switch (key.key()) {
        case Qt::Key_Space:
            if (!composing()) {
                send(QGuiApplication::focusObject(), QStringLiteral("　"));
                return true;
            }
            m_converted = converted(preedit());
            m_kana.clear();
            m_letters.clear();
            showPreedit();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!composing())
                return false;
            commitComposition(QGuiApplication::focusObject());
            return true;
        case Qt::Key_Backspace:
            if (!composing())
                return false;
            if (!m_converted.isEmpty()) {
                m_kana = m_converted;
                m_converted.clear();
            }
            if (!m_letters.isEmpty())
                m_letters.chop(1);
            else
                m_kana.chop(1);
            showPreedit();
            return true;
        case Qt::Key_Escape:
            if (!composing())
                return false;
            clearComposition();
            showPreedit();
            return true;
        default:
            commitComposition(QGuiApplication::focusObject());
            return false;
        }
    }

    // The character goes into the composition; a converted text before it is
    // committed first. The widget learns the commit before the new preedit, and
    // should the focus move on the commit, the composition ends with it.
    void typeCharacter(QChar c)
    {
        const QString converted = m_converted;
        m_converted.clear();
        if (c.isLower()) {
            m_letters += c;
            settleLetters(false);
        } else {
            settleLetters(true);
            m_kana += fullWidth(c);
        }
        if (!converted.isEmpty())
            send(QGuiApplication::focusObject(), converted);
        showPreedit();
    }

    // Turns the typed letters into kana as far as they go; at the end of the
    // composition, what is left as well.
    void settleLetters(bool ending)
    {
        while (!m_letters.isEmpty()) {
            const auto kana = romaji().find(m_letters);
            if (kana != romaji().end()) {
                m_kana += kana->second;
                m_letters.clear();
                return;
            }
            if (!ending && startsAnyKana(m_letters))
                return;
            const QChar first = m_letters[0];
            if (m_letters.size() >= 2 && first == m_letters[1] && first != QLatin1Char('n') && !isVowel(first))
                m_kana += QStringLiteral("っ");
            else if (first == QLatin1Char('n') && (ending || m_letters.size() >= 2))
                m_kana += QStringLiteral("ん");
            else
                m_kana += fullWidth(first);
            m_letters.remove(0, 1);
        }
    }

    QString preedit() const
    {
        QString shown = m_converted + m_kana;
        for (QChar letter : m_letters)
            shown += fullWidth(letter);
        return shown;
    }

    void showPreedit()
    {
        QObject* focus = QGuiApplication::focusObject();
        if (!focus)
            return;
        m_shown = preedit();
        QInputMethodEvent event(m_shown, {{QInputMethodEvent::Cursor, static_cast<int>(m_shown.size()), 1, {}}});
        QCoreApplication::sendEvent(focus, &event);
    }

    void commitComposition(QObject* target)
    {
        if (!composing())
            return;
        settleLetters(true);
        const QString text = preedit();
        clearComposition();
        send(target, text);
    }

    // Commits text to the widget, which then shows no preedit.
    void send(QObject* target, const QString& text)
    {
        m_shown.clear();
        if (!target)
            return;
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(target, &event);
    }

    void clearComposition()
    {
        m_kana.clear();
        m_letters.clear();
        m_converted.clear();
    }

    bool m_on = false;
    QString m_kana;
    QString m_letters;
    QString m_converted;
    // The preedit the widget typed in shows now.
    QString m_shown;
    QPointer<QObject> m_typedIn;
};

class KanaInputMethodPlugin : public QPlatformInputContextPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QPlatformInputContextFactoryInterface_iid FILE "KanaInputMethod.json")
public:
    QPlatformInputContext* create(const QString& key, const QStringList&) override
    {
        return key == QLatin1String("tevorakana") ? new KanaInputContext : nullptr;
    }
};

} // namespace support

#include "KanaInputMethod.moc"

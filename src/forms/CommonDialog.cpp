#include "forms/CommonDialog.h"

#include "forms/Bridge_p.h"
#include "forms/Colors_p.h"
#include "forms/Fonts.h"
#include "forms/Form.h"
#include "forms/FormWindow_p.h"

#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>

namespace forms {

namespace {

DialogResponder* g_responder = nullptr;

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == separator) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace

DialogAnswer DialogAnswer::file(std::string path)
{
    DialogAnswer answer;
    answer.accepted = true;
    answer.fileName = std::move(path);
    return answer;
}

DialogAnswer DialogAnswer::colour(long colour)
{
    DialogAnswer answer;
    answer.accepted = true;
    answer.color = colour;
    return answer;
}

DialogAnswer DialogAnswer::font(std::string name, double size, bool bold, bool italic)
{
    DialogAnswer answer;
    answer.accepted = true;
    answer.fontName = std::move(name);
    answer.fontSize = size;
    answer.fontBold = bold;
    answer.fontItalic = italic;
    return answer;
}

void setDialogResponder(DialogResponder* responder)
{
    g_responder = responder;
}

std::vector<std::string> qtNameFilters(const std::string& filter)
{
    std::vector<std::string> result;
    if (filter.empty())
        return result;
    std::vector<std::string> parts = split(filter, '|');
    if (parts.size() == 1)
        parts.push_back(parts[0]); // a bare pattern describes itself
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns;
        for (const std::string& pattern : split(parts[i + 1], ';')) {
            const std::string clean = trimmed(pattern);
            if (clean.empty())
                continue;
            if (!patterns.empty())
                patterns += ' ';
            patterns += clean;
        }
        result.push_back(parts[i] + " (" + patterns + ")");
    }
    return result;
}

CommonDialog::CommonDialog(Container& container, std::string name) : Control(container, std::move(name)) {}

void CommonDialog::resetProperties()
{
    m_props = Properties();
}

void CommonDialog::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    m_props = static_cast<const CommonDialog&>(source).m_props;
}

bool CommonDialog::cancelError() const
{
    touch();
    return m_props.cancelError;
}

void CommonDialog::setCancelError(bool cancelError)
{
    touch();
    m_props.cancelError = cancelError;
}

const std::string& CommonDialog::dialogTitle() const
{
    touch();
    return m_props.dialogTitle;
}

void CommonDialog::setDialogTitle(const std::string& title)
{
    touch();
    m_props.dialogTitle = title;
}

const std::string& CommonDialog::fileName() const
{
    touch();
    return m_props.fileName;
}

void CommonDialog::setFileName(const std::string& fileName)
{
    touch();
    m_props.fileName = fileName;
}

const std::string& CommonDialog::filter() const
{
    touch();
    return m_props.filter;
}

void CommonDialog::setFilter(const std::string& filter)
{
    touch();
    m_props.filter = filter;
}

int CommonDialog::flags() const
{
    touch();
    return m_props.flags;
}

void CommonDialog::setFlags(int flags)
{
    touch();
    m_props.flags = flags;
}

const std::string& CommonDialog::initDir() const
{
    touch();
    return m_props.initDir;
}

void CommonDialog::setInitDir(const std::string& folder)
{
    touch();
    m_props.initDir = folder;
}

long CommonDialog::color() const
{
    touch();
    return m_props.color;
}

void CommonDialog::setColor(long colour)
{
    touch();
    m_props.color = colour;
}

DialogRequest CommonDialog::request(DialogKind kind) const
{
    DialogRequest request;
    request.kind = kind;
    request.title = m_props.dialogTitle;
    request.filter = m_props.filter;
    request.fileName = m_props.fileName;
    request.flags = m_props.flags;
    if (m_props.initDir.empty())
        request.startDirectory = platform::currentDirectory();
    else if (platform::dirExists(m_props.initDir))
        request.startDirectory = m_props.initDir;
    else
        request.startDirectory = platform::GetAppPath(); // a missing folder is no error
    request.color = m_props.color;
    request.fontName = Control::fontName();
    request.fontSize = Control::fontSize();
    request.fontBold = Control::fontBold();
    request.fontItalic = Control::fontItalic();
    return request;
}

namespace {

bool holdsPattern(const QString& name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// Qt's file dialog with the desktop's rule for its name box: a name holding "*"
// or "?" is a pattern. Enter (or the dialog's button) on it filters the list with
// it, also in the folder it names ("sub/*.txt"), and empties the name box; the
// dialog never returns it as a file. A pattern that is one of the filter's own
// chooses that file type; another one becomes a file type of its own, first in
// the list of types.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* parent, const QString& caption, const QString& directory, const QStringList& filters)
        : QFileDialog(parent, caption, directory), m_filters(filters)
    {
        // The list of file types shows each filter's own text, and its patterns
        // match names in any letter case. Qt's own dialog does both on every
        // desktop; the native dialogs of some match one letter case only.
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::HideNameFilterDetails);
        setFilter(filter() & ~QDir::CaseSensitive);
        if (!m_filters.isEmpty())
            setNameFilters(m_filters);
        if ((m_nameBox = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))))
            m_nameBox->installEventFilter(this);
    }

    // Filters the list with a pattern (and goes to the folder it names).
    void usePattern(const QString& typed)
    {
        QString pattern = typed.trimmed();
        const qsizetype slash = pattern.lastIndexOf(QLatin1Char('/'));
        if (slash >= 0) {
            const QString folder = pattern.left(slash + 1);
            const QDir target(QDir(directory()).filePath(folder));
            if (target.exists())
                setDirectory(target.absolutePath());
            pattern = pattern.mid(slash + 1);
        }
        QStringList patterns;
        for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!part.trimmed().isEmpty())
                patterns << part.trimmed();
        }
        if (m_nameBox)
            m_nameBox->clear();
        if (patterns.isEmpty())
            return;
        const QString joined = patterns.join(QLatin1Char(' '));
        for (const QString& own : m_filters) {
            const qsizetype open = own.lastIndexOf(QLatin1Char('('));
            const QString ownPatterns = own.mid(open + 1).chopped(1);
            if (open >= 0 && own.endsWith(QLatin1Char(')')) && ownPatterns.compare(joined, Qt::CaseInsensitive) == 0) {
                setNameFilters(m_filters);
                selectNameFilter(own);
                return;
            }
        }
        const QString typedType = joined + QStringLiteral(" (") + joined + QLatin1Char(')');
        setNameFilters(QStringList{typedType} + m_filters);
        selectNameFilter(typedType);
    }

protected:
    void accept() override
    {
        if (m_nameBox && holdsPattern(m_nameBox->text())) {
            usePattern(m_nameBox->text());
            return;
        }
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty() && holdsPattern(QFileInfo(chosen.front()).fileName()))
            return; // a pattern is never a file of the user's
        QFileDialog::accept();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_nameBox && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && holdsPattern(m_nameBox->text())) {
                usePattern(m_nameBox->text());
                return true;
            }
        }
        return QFileDialog::eventFilter(watched, event);
    }

private:
    QStringList m_filters;
    QLineEdit* m_nameBox = nullptr;
};

// The dialog of request over parent, or the installed responder's answer.
DialogAnswer runDialog(const DialogRequest& request, QWidget* parent)
{
    if (g_responder)
        return g_responder->respond(request);

    DialogAnswer answer;
    switch (request.kind) {
    case DialogKind::Open:
    case DialogKind::Save: {
        const bool save = request.kind == DialogKind::Save;
        QStringList filters;
        for (const std::string& filter : qtNameFilters(request.filter))
            filters << qs(filter);
        FileDialog dialog(parent, qs(request.title.empty() ? (save ? "名前を付けて保存" : "開く") : request.title),
                          qs(request.startDirectory), filters);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        // An open dialog takes a file that exists and nothing else: no command
        // opens a file that is not there, so none asks to create one.
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && (request.flags & cdlOFNOverwritePrompt)));
        // A preset that is a pattern ("*.kez") filters the list; the name box
        // offers only a name.
        const QString preset = qs(request.fileName);
        if (holdsPattern(preset))
            dialog.usePattern(preset);
        else if (!preset.isEmpty())
            dialog.selectFile(preset);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return DialogAnswer::cancelled();
        return DialogAnswer::file(str(dialog.selectedFiles().front()));
    }
    case DialogKind::Color: {
        const QColor chosen = QColorDialog::getColor(toQColor(request.color), parent, qs(request.title));
        if (!chosen.isValid())
            return DialogAnswer::cancelled();
        return DialogAnswer::colour(fromQColor(chosen));
    }
    case DialogKind::Font: {
        bool ok = false;
        const QFont initial = makeFont(request.fontName, request.fontSize, request.fontBold, request.fontItalic);
        const QFont chosen = QFontDialog::getFont(&ok, initial, parent, qs(request.title));
        if (!ok)
            return DialogAnswer::cancelled();
        // Keeping the substitute keeps the Windows name the program knows.
        std::string name = str(chosen.family());
        if (name == substituteFontFamily(request.fontName))
            name = request.fontName;
        else
            name = windowsFontName(name);
        return DialogAnswer::font(name, chosen.pointSizeF(), chosen.bold(), chosen.italic());
    }
    }
    return answer;
}

} // namespace

DialogAnswer CommonDialog::ask(const DialogRequest& request)
{
    return runDialog(request, form().window());
}

DialogAnswer askFile(Form& owner, const DialogRequest& request)
{
    return runDialog(request, owner.window());
}

void CommonDialog::finish(const DialogAnswer& answer, DialogKind kind)
{
    if (!answer.accepted) {
        if (m_props.cancelError)
            throw platform::RuntimeError(platform::err::DialogCancelled, "キャンセルが選択されました。");
        return;
    }
    switch (kind) {
    case DialogKind::Open:
    case DialogKind::Save:
        m_props.fileName = answer.fileName;
        break;
    case DialogKind::Color:
        m_props.color = answer.color;
        break;
    case DialogKind::Font:
        Control::setFontName(answer.fontName);
        Control::setFontSize(answer.fontSize);
        Control::setFontBold(answer.fontBold);
        Control::setFontItalic(answer.fontItalic);
        break;
    }
}

void CommonDialog::showOpen()
{
    touch();
    finish(ask(request(DialogKind::Open)), DialogKind::Open);
}

void CommonDialog::showSave()
{
    touch();
    finish(ask(request(DialogKind::Save)), DialogKind::Save);
}

void CommonDialog::showColor()
{
    touch();
    finish(ask(request(DialogKind::Color)), DialogKind::Color);
}

void CommonDialog::showFont()
{
    touch();
    finish(ask(request(DialogKind::Font)), DialogKind::Font);
}

} // namespace forms

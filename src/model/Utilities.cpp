#include "model/Utilities.h"

#include "model/WindowServices.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/CsvReader.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/TextFile.h"
#include "platform/Utf8.h"

#include <string_view>

namespace model {

namespace {

// The settings file reader uses fields 0 and 1; eleven fields leave room for
// records with a few more values.
constexpr int SettingsFieldCount = 11;

bool asksForHints(const std::vector<std::string>& fields)
{
    return fields[0] == "QAMODE" && platform::IsNumeric(fields[1]) && platform::Val(fields[1]) == 1;
}

} // namespace

std::string pdfPathForReport(const std::string& report)
{
    const std::string suffix = (report.empty() ? "" : "_" + report) + ".pdf";
    const std::string& family = tables().Cur_FilePath;
    if (family.empty())
        return platform::joinPath(GetAppPath(), "Tevora" + suffix);
    const size_t slash = family.find_last_of("/\\");
    const size_t dot = family.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? family.substr(0, dot) : family) + suffix;
}

int Get_QAMode()
{
    int mode = 0;
    try {
        const std::string path = platform::appFile("\\tvora.ini");
        if (!platform::fileExists(path))
            return 0;
        platform::TextInputFile file(path);
        std::vector<std::string> fields(SettingsFieldCount);
        int64_t position = 1;
        int lastIndex = -1;
        for (;;) {
            const int result = platform::ReadCsvRecord(file, position, fields, lastIndex);
            if (result == platform::CsvNoRecord)
                break;
            if (asksForHints(fields))
                mode = 1; // a later record never resets it
            if (result == platform::CsvLastRecord)
                break;
        }
        file.close();
    } catch (const platform::RuntimeError&) {
        // The hints flag is a convenience: a settings file that cannot be read
        // (missing, unreadable, a record with too many fields) means no hints.
        return 0;
    }
    return mode;
}

void Split_Quoted(const std::string& text, std::vector<std::string>& items,
                  const std::string& delimiter)
{
    for (std::string& item : items)
        item.clear();
    const size_t itemCount = items.size();
    std::string current;
    bool quoted = false;
    size_t index = 0;
    const std::string_view chars(text);
    for (size_t i = 0; i < chars.size();) {
        if (index >= itemCount)
            return; // no item left: the rest of the text is dropped
        const size_t len = platform::utf8::charLength(chars, i);
        const std::string_view c = chars.substr(i, len);
        i += len;
        if (c == delimiter) {
            if (quoted) {
                current += c;
            } else {
                items[index] = current;
                ++index;
                current.clear();
            }
        } else if (c == "\"") {
            quoted = !quoted;
        } else {
            current += c;
        }
    }
    // A trailing delimiter may have used up the last item; nothing is written past it.
    if (index < itemCount)
        items[index] = current;
}

void Shell_Open(const std::string& target, const std::function<void()>& failed)
{
    platform::ShellOpen(target, failed);
}

void StartDrag(const std::string& message)
{
    RunState& run = runState();
    if (run.ListDragActive != 1) {
        platform::MsgBox(message, platform::vbOKOnly, "エラー");
        return;
    }
    run.DragMsg = message;
    run.DragMsgPending = 1;
}

void EndDrag()
{
    RunState& run = runState();
    if (run.DragMsgPending == 1)
        platform::MsgBox(run.DragMsg, platform::vbOKOnly, "ドラッグエラー");
    run.DragMsgPending = 0;
}

int SetTopMost(const std::string& windowName, int mode)
{
    if (mode != 0 && mode != 1)
        return 0;
    return windowServices().setTopMost(windowName, mode == 1);
}

int Find_FormByName(const std::string& windowName)
{
    return windowServices().isFormLoaded(windowName) ? 1 : 0;
}

} // namespace model

#pragma once
// Small program-wide procedures: the program folder, the hints flag of the settings
// file, a quoted split, opening a document with the shell, holding back messages
// during a drag, the topmost state of a window and a look-up of loaded windows.

#include "platform/AppPath.h"

#include <functional>
#include <string>
#include <vector>

namespace model {

// The program folder, never ending in a path separator.
using platform::GetAppPath;

// The file a printout of the family goes to on the PDF printer unless the user
// picks another: beside the family file, named after the family and the report
// ("山田家.pdf" for the chart, "山田家_名簿.pdf" for report "名簿"); for a family not
// saved yet, "Tevora.pdf" ("Tevora_名簿.pdf") in the program folder.
std::string pdfPathForReport(const std::string& report);

// 1 when "tvora.ini" in the program folder has a record QAMODE with the numeric
// value 1, else 0; a missing or unreadable file gives 0 without a message.
int Get_QAMode();

// Splits text at delimiters outside double quotes into items[0..size-1]. Every item
// is emptied first; quotes are dropped; text beyond the last item is dropped.
void Split_Quoted(const std::string& text, std::vector<std::string>& items,
                  const std::string& delimiter);

// Asks the shell to open a document or web address and returns at once; failed
// runs when the desktop has said it could not show it (at once or later).
void Shell_Open(const std::string& target, const std::function<void()>& failed = {});

// Shows a message at once (title "エラー"), or, while a drag from the relationship
// editor's person list is in progress, holds it back until EndDrag.
void StartDrag(const std::string& message);
// Shows the message held back during the drag (title "ドラッグエラー"), if any.
void EndDrag();

// Mode 1 makes the named window topmost (kept in front of the main window and its
// chart), mode 0 normal again: the platform's result. Any other mode does nothing
// and gives 0.
int SetTopMost(const std::string& windowName, int mode);

// 1 when a loaded window has exactly this (case-sensitive) name, else 0.
int Find_FormByName(const std::string& windowName);

} // namespace model

#pragma once
// The file name rule of the CSV commands.

#include <string>

namespace mainwindow {

// The name unchanged when it ends (trailing blanks ignored) in ".csv" or
// ".CSV"; otherwise the file part (after the last folder separator, "\" or
// "/") is cut before its first "." and ".csv" is appended. The folder part is
// never changed.
std::string csvFileName(const std::string& name);

} // namespace mainwindow

#pragma once
// The names of a family's two files. The writer, the reader and the snapshot deleters
// all build them here, so that on a case-sensitive file system every one of them
// means the same files.

#include <string>

namespace model {

// The family file of a chosen path: the extension of the file name (the text after
// its last ".") is replaced by "kez"; a file name without "." gets ".kez" appended.
// Only a "." after the last "/" starts an extension: "~/.local/x" becomes
// "~/.local/x.kez". So "a.b.KEZ" gives "a.b.kez".
std::string kezFileName(const std::string& path);

// The media bundle beside it: the same rule with "KED" ("a.b.KEZ" gives "a.b.KED").
std::string kedFileName(const std::string& path);

} // namespace model

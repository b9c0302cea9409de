#pragma once
// The run-time error model: every failure the program's code may trap is a
// RuntimeError carrying the classic error number and a readable description.

#include <stdexcept>
#include <string>

namespace platform {

// Error numbers the program's code tests for.
namespace err {
constexpr int InvalidCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int FileNotFound = 53;
constexpr int BadFileMode = 54;
constexpr int DiskFull = 61;
constexpr int InputPastEnd = 62;
constexpr int BadRecordNumber = 63;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int ArrayElementMissing = 340;
constexpr int ArrayElementLoaded = 360;
constexpr int ArrayElementUnload = 362;
constexpr int InvalidPropertyValue = 380;
constexpr int InvalidPicture = 481;
constexpr int PrinterError = 482;
constexpr int DialogCancelled = 32755;
} // namespace err

struct RuntimeError : std::runtime_error {
    RuntimeError(int number, std::string description);

    int number;
    std::string description;
    // For a failed system call (errnoError): its errno and the file concerned.
    int systemError = 0;
    std::string path;
    // For a failure of no system call that has a word of its own (a file that holds
    // no picture, one that is no regular file, one too large to read): that word,
    // which failureReason gives; path names the file.
    std::string reason;
};

// Thrown by EndProgram() so that no further statement of the calling handler
// runs; caught at the event-loop boundary.
struct ProgramEnd {};

// Builds the RuntimeError for a failed system call: the number is chosen from
// errno (53, 61, 70, 75, 76) and the description is the reason in a word
// (failureReason), prefixed by the path concerned when one is given.
RuntimeError errnoError(int errnoValue, const std::string& path = std::string());

// Why a file could not be written or read, in a word the user knows: "読み取り専用",
// "ディスクがいっぱい", "アクセスが拒否されました", "名前が長すぎます", ..., and for a
// failure without a word of its own "システムの障害（番号 N）" with its errno, never the
// system's English text; error.reason when it has one, else "" when error came from
// no system call.
std::string failureReason(const RuntimeError& error);

// The message of every failed read or write of a file: head (what the command says
// when it cannot read or write), then the file (the one error names, else file; the
// temporary file of a write stands for the file it is written for) and why, in a
// word (failureReason), each on a line of its own.
std::string failedFileMessage(const std::string& head, const RuntimeError& error,
                              const std::string& file = std::string());

// The error for a file refused without a failed system call, for a reason of its own
// (it holds no picture, it is no regular file, it is too large to read): number, the
// file as path, reason as the word failureReason gives, and a description naming both.
RuntimeError refusedFile(const std::string& path, const char* reason, int number = err::PathFileAccess);

// The classic number for an errno value.
int errorNumberForErrno(int errnoValue);

} // namespace platform

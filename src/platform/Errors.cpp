#include "platform/Errors.h"

#include "platform/FileSystem.h"

#include <sys/stat.h>

#include <cerrno>

namespace platform {

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error(description), number(number), description(std::move(description))
{
}

int errorNumberForErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return err::FileNotFound;
    case ENOTDIR:
        return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return err::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return err::DiskFull;
    case ENOMEM:
        return err::OutOfMemory;
    default:
        return err::PathFileAccess;
    }
}

namespace {

bool parentFolderMissing(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return false;
    struct stat st {};
    return ::stat(path.substr(0, slash).c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
}

} // namespace

RuntimeError errnoError(int errnoValue, const std::string& path)
{
    int number = errorNumberForErrno(errnoValue);
    // A missing file inside a missing folder is "path not found", as the
    // program's messages distinguish the two.
    if (errnoValue == ENOENT && !path.empty() && parentFolderMissing(path))
        number = err::PathNotFound;
    RuntimeError error(number, std::string());
    error.systemError = errnoValue;
    error.path = path;
    // Every window that shows the description shows the reason in the user's
    // words, never the system's English text.
    error.description = path.empty() ? failureReason(error) : path + ": " + failureReason(error);
    return error;
}

RuntimeError refusedFile(const std::string& path, const char* reason, int number)
{
    RuntimeError error(number, path + ": " + reason);
    error.path = path;
    error.reason = reason;
    return error;
}

std::string failureReason(const RuntimeError& error)
{
    if (!error.reason.empty())
        return error.reason;
    switch (error.systemError) {
    case 0:
        return std::string();
    case EROFS:
        return "読み取り専用";
    case ENOSPC:
    case EDQUOT:
        return "ディスクがいっぱい";
    case EFBIG:
        return "ファイルが大きすぎます";
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました";
    case ENOENT:
        // errnoError tells a missing file from a missing folder by the number.
        return error.number == err::FileNotFound ? "ファイルがありません" : "フォルダーがありません";
    case ENOTDIR:
        return "フォルダーがありません";
    case EISDIR:
        return "書き込み先がフォルダーです";
    case ENAMETOOLONG:
        return "名前が長すぎます";
    case EIO:
        return "ディスクの読み書きの障害";
    case EBUSY:
    case ETXTBSY:
        return "使用中";
    case ENOMEM:
        return "メモリが足りません";
    default:
        // The system's own text is English: the user gets the number to quote.
        return "システムの障害（番号 " + std::to_string(error.systemError) + "）";
    }
}

std::string failedFileMessage(const std::string& head, const RuntimeError& error, const std::string& file)
{
    std::string named = error.path.empty() ? file : error.path;
    if (!file.empty() && (named == partialFileName(file) || named == spareFileName(file)))
        named = file;
    std::string message = head;
    if (!named.empty())
        message += "\r\n" + named;
    if (const std::string reason = failureReason(error); !reason.empty())
        message += "\r\n（" + reason + "）";
    return message;
}

} // namespace platform

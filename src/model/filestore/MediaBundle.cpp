// The media bundle: collecting the media inside save_file, WriteKedFile and ReadKedFile.

#include "model/filestore/MediaBundle.h"

#include "model/filestore/FamilyFile.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/BinaryFile.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace model {

namespace {

// Byte offsets (0-based) inside the bundle and inside one directory entry.
constexpr int64_t CountBytes = 2;
constexpr int64_t KindOffset = 0;
constexpr int64_t PersonOffset = 2;
constexpr int64_t NameOffset = 4;
constexpr int64_t LengthOffset = 260;
constexpr int64_t DataOffsetOffset = 264;

// 1-based file position of a byte offset, as the binary file functions count.
int64_t position(int64_t offset)
{
    return offset + 1;
}

int64_t entryOffset(int entry)
{
    return CountBytes + MediaEntryBytes * static_cast<int64_t>(entry - 1);
}

int64_t dataAreaOffset(int count)
{
    return CountBytes + MediaEntryBytes * static_cast<int64_t>(count);
}

// The last path component of a name read from a bundle ("/" and "\" both separate:
// a bundle may come from another system).
std::string lastComponent(const std::string& name)
{
    const size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::vector<LeftOutMedia>& leftOut()
{
    static std::vector<LeftOutMedia> media;
    return media;
}

// The name a person refers to for a kind of media, empty when it has none.
const std::string* referencedName(const personal_data& person, int16_t kind)
{
    if (person.InUse != SlotUsed)
        return nullptr;
    if (kind == MediaVoice)
        return person.Voice_index != -1 ? &person.Voice_filename : nullptr;
    return !person.Picture_filename.empty() && person.Picture_index != -1 ? &person.Picture_filename : nullptr;
}

bool sameNameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

void clearMediaBuffer()
{
    for (auto& entry : fileStore().media_buf)
        entry = media_data();
}

[[noreturn]] void badBundle(int number, const std::string& description)
{
    throw platform::RuntimeError(number, description);
}

// Why the second entry of a name is left out.
constexpr const char* SameNameAsAnEarlierFile = "前のファイルと名前が同じです";

// An entry of a bundle left out, and the line that names it.
struct Fault {
    int number; // its place in the bundle, from 1
    std::string line;
};

// The entries of a bundle that can be read (each with its place in the bundle, from
// 1), and those that cannot.
struct Directory {
    std::vector<media_data> entries;
    std::vector<int> numbers;
    std::vector<Fault> faults; // in bundle order
};

// The line that names an entry left out of a bundle: its number and name when its
// directory row could be read, and why.
std::string entryFault(int number, const std::string& name, const char* why)
{
    std::string line = std::to_string(number) + " 番目のファイル";
    if (!name.empty())
        line += "「" + name + "」";
    return line + "：" + why;
}

// Reads and checks the whole directory of a bundle holding count files. An entry that
// cannot be unpacked (its row or bytes past the end of a bundle cut short, a negative
// length or position, a name that is no plain file name) is left out and named in
// faults; the others are unpacked all the same. Only a count outside 0..2048, which
// leaves no directory to read, throws. Nothing on disk is touched.
Directory readDirectory(platform::BinaryFile& bundle, int count)
{
    if (count < 0 || count > MaxMediaEntries)
        badBundle(platform::err::Overflow, "画像情報の件数が正しくありません");
    Directory directory;
    const int64_t length = bundle.length();
    const int64_t dataStart = dataAreaOffset(count);
    directory.entries.reserve(static_cast<size_t>(count));
    for (int i = 1; i <= count; ++i) {
        const int64_t at = entryOffset(i);
        if (at + MediaEntryBytes > length) {
            // This row and every later one lie past the end.
            const std::string rows = i == count ? std::to_string(i) + " 番目のファイル"
                                                : std::to_string(i) + "～" + std::to_string(count) + " 番目のファイル";
            directory.faults.push_back({i, rows + "：画像情報が途中で終わっています"});
            break;
        }
        media_data entry;
        entry.MediaKind = bundle.readInt16(position(at + KindOffset));
        entry.PerIdx = bundle.readInt16(position(at + PersonOffset));
        const std::string written = platform::Trim(bundle.readFixedString(position(at + NameOffset), MediaNameBytes));
        entry.FileName = lastComponent(written);
        entry.DataLen = bundle.readInt32(position(at + LengthOffset));
        entry.DataOfs = bundle.readInt32(position(at + DataOffsetOffset));
        if (!isPlainFileName(entry.FileName)) {
            directory.faults.push_back({i, entryFault(i, isPlainFileName(written) ? written : std::string(),
                                                      "ファイル名が正しくありません")});
        } else if (entry.DataLen < 0 || entry.DataOfs < 0) {
            directory.faults.push_back({i, entryFault(i, entry.FileName, "データ位置が正しくありません")});
        } else if (dataStart + entry.DataOfs + entry.DataLen > length) {
            directory.faults.push_back({i, entryFault(i, entry.FileName, "データが途中で終わっています")});
        } else {
            directory.entries.push_back(std::move(entry));
            directory.numbers.push_back(i);
        }
    }
    return directory;
}

// True when every voice memo and face picture the family refers to is in its work folder.
bool everyReferencedFileIsThere()
{
    const auto& per = tables().per_buf;
    const std::string voiceFolder = mediaFolder(MediaVoice);
    const std::string faceFolder = mediaFolder(MediaPicture);
    const auto there = [](const std::string& folder, const std::string& name) {
        return isPlainFileName(name) && platform::fileExists(platform::joinPath(folder, name));
    };
    for (int p = 1; p <= LastSlot; ++p) {
        const personal_data& person = per[p];
        if (person.InUse == SlotFree)
            continue;
        if (person.Voice_index != -1 && !there(voiceFolder, person.Voice_filename))
            return false;
        if (!person.Picture_filename.empty() && person.Picture_index != -1
            && !there(faceFolder, person.Picture_filename))
            return false;
    }
    return true;
}

// Why an entry whose directory row is sound could not be unpacked, in a word: the
// system's reason when a system call failed (a name longer than the file system
// takes, a full disk, a folder in the way, ...), else what the bundle lacked.
std::string unpackFailure(const platform::RuntimeError& error)
{
    if (std::string reason = platform::failureReason(error); !reason.empty())
        return reason;
    return error.number == platform::err::InputPastEnd ? "データが途中で終わっています" : "取り出せません";
}

// Unpacks one entry into its work folder, which was emptied before the first entry;
// the reason in a word when it cannot be. A file of its name that is there already
// came from an earlier entry (of the same name, or of one that the file system takes
// for the same, such as a name in another letter case where the file system ignores
// case): it stays, and this entry is left out. A file is written whole or not at all.
std::optional<std::string> unpackEntry(platform::BinaryFile& bundle, int64_t dataStart, const media_data& entry,
                                       const std::string& folder)
{
    const std::string file = platform::joinPath(folder, entry.FileName);
    if (platform::fileExists(file))
        return std::string(SameNameAsAnEarlierFile);
    try {
        const std::string bytes =
            bundle.readBytes(position(dataStart + entry.DataOfs), static_cast<size_t>(entry.DataLen));
        platform::writeWholeFile(file, bytes);
        return std::nullopt;
    } catch (const platform::RuntimeError& error) {
        return unpackFailure(error);
    } catch (const std::bad_alloc&) {
        return std::string("メモリが足りません");
    }
}

// A bundle that cannot be read at all: a failed system call, or a path that is no
// regular file, names the bundle and why in a word; a count no bundle can hold gives
// its description and number.
void showBundleFailure(const platform::RuntimeError& error, const std::string& path)
{
    if (!platform::failureReason(error).empty()) {
        platform::MsgBox(platform::failedFileMessage(BundleReadFailedMessage, error, path), platform::vbOKOnly);
        return;
    }
    platform::MsgBox(error.description + "  " + platform::Str(error.number), platform::vbOKOnly);
    platform::MsgBox(BundleReadFailedMessage, platform::vbOKOnly);
}

} // namespace

bool isPlainFileName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (const char c : name) {
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
            return false;
    }
    return true;
}

std::string mediaFolder(int16_t kind)
{
    return platform::appFile(kind == MediaVoice ? "\\voice" : "\\face");
}

bool mediaNameReferenced(const std::array<personal_data, RecordCount>& persons, int16_t kind,
                         const std::string& name, int except)
{
    for (int p = 1; p <= LastSlot; ++p) {
        if (p == except)
            continue;
        const std::string* own = referencedName(persons[static_cast<size_t>(p)], kind);
        if (own && sameNameIgnoringCase(*own, name))
            return true;
    }
    return false;
}

std::string freeMediaName(int16_t kind, const std::string& name, const std::function<bool(const std::string&)>& taken)
{
    if (!taken(name))
        return name;
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    const std::string folder = mediaFolder(kind);
    for (int n = 2;; ++n) {
        const std::string candidate = stem + "_" + std::to_string(n) + extension;
        if (!taken(candidate) && !platform::fileExists(platform::joinPath(folder, candidate)))
            return candidate;
    }
}

std::string mediaNameFor(int16_t kind, const std::string& wanted, int owner)
{
    const auto& persons = tables().per_buf;
    return freeMediaName(kind, wanted,
                         [&](const std::string& name) { return mediaNameReferenced(persons, kind, name, owner); });
}

const std::vector<LeftOutMedia>& leftOutMedia()
{
    return leftOut();
}

void restoreLeftOutMedia()
{
    auto& per = tables().per_buf;
    for (const LeftOutMedia& media : leftOut()) {
        personal_data& person = per[static_cast<size_t>(media.person)];
        (media.kind == MediaVoice ? person.Voice_index : person.Picture_index) = media.index;
    }
    leftOut().clear();
}

std::string savedFamilyMessage()
{
    if (leftOut().empty())
        return SaveDoneMessage;
    std::string message = "家系図は保存しましたが、次の画像・音声のファイルが見つからないため含められませんでした。"
                          "これらの人物の画像・音声の指定は外しました。";
    for (const LeftOutMedia& media : leftOut()) {
        message += "\r\n「" + media.personName + "」の" + (media.kind == MediaVoice ? "音声" : "画像") + "（"
                   + media.fileName + "）";
    }
    return message;
}

int16_t collectMedia()
{
    clearMediaBuffer();
    leftOut().clear();
    auto& buffer = fileStore().media_buf;
    auto& per = tables().per_buf;
    int16_t count = 0;
    int64_t nextOffset = 0;

    // Adds the file when it is in the work folder; false when it is not (or cannot be
    // placed in a bundle, whose offsets are 32-bit).
    const auto add = [&](int16_t kind, const std::string& folder, int person, const std::string& name) {
        if (!isPlainFileName(name))
            return false;
        const std::string file = platform::joinPath(folder, name);
        if (!platform::fileExists(file))
            return false;
        int64_t length = 0;
        try {
            length = platform::fileLength(file);
        } catch (const platform::RuntimeError&) {
            return false;
        }
        if (length > std::numeric_limits<int32_t>::max() - nextOffset)
            return false;
        ++count;
        media_data& entry = buffer[static_cast<size_t>(count)];
        entry.MediaKind = kind;
        entry.PerIdx = static_cast<int16_t>(person);
        entry.FileName = name;
        entry.DataLen = static_cast<int32_t>(length);
        entry.DataOfs = static_cast<int32_t>(nextOffset);
        nextOffset += length;
        return true;
    };

    // A reference whose file cannot be included is dropped, and listed.
    const auto leaveOut = [&](int16_t kind, int p, int16_t& index, const std::string& name) {
        leftOut().push_back({kind, static_cast<int16_t>(p), index, platform::Trim(per[p].F_name + " " + per[p].Name), name});
        index = -1;
    };
    for (const int16_t kind : {MediaVoice, MediaPicture}) {
        const std::string folder = mediaFolder(kind);
        for (int p = 1; p <= LastSlot; ++p) {
            const std::string* name = referencedName(per[p], kind);
            if (name && !add(kind, folder, p, *name))
                leaveOut(kind, p, kind == MediaVoice ? per[p].Voice_index : per[p].Picture_index, *name);
        }
    }
    return count;
}

namespace {

// Writes the bundle of media_buf entries 1..n into file, front to back: the count, the
// directory, then the files' bytes in directory order (collectMedia lays them out one
// after the other).
void writeBundle(platform::PartialFile& file, int16_t n)
{
    if (n < 0 || n > MaxMediaEntries)
        badBundle(platform::err::Overflow, "画像情報の件数が正しくありません");
    const std::string voiceFolder = mediaFolder(MediaVoice);
    const std::string faceFolder = mediaFolder(MediaPicture);
    platform::makeDir(voiceFolder);
    platform::makeDir(faceFolder);

    const auto& buffer = fileStore().media_buf;
    std::string directory = platform::int16Bytes(n);
    directory.reserve(static_cast<size_t>(dataAreaOffset(n)));
    int64_t dataEnd = 0;
    for (int i = 1; i <= n; ++i) {
        const media_data& entry = buffer[static_cast<size_t>(i)];
        if (entry.DataOfs != dataEnd)
            badBundle(platform::err::PathFileAccess, entry.FileName + ": 画像情報の位置が正しくありません");
        dataEnd += entry.DataLen;
        directory += platform::int16Bytes(entry.MediaKind) + platform::int16Bytes(entry.PerIdx)
                     + platform::fixedStringBytes(entry.FileName, MediaNameBytes) + platform::int32Bytes(entry.DataLen)
                     + platform::int32Bytes(entry.DataOfs);
    }
    file.write(directory);
    for (int i = 1; i <= n; ++i) {
        const media_data& entry = buffer[static_cast<size_t>(i)];
        const std::string& folder = entry.MediaKind == MediaVoice ? voiceFolder : faceFolder;
        // The name exactly as collected: it named an existing file a moment ago.
        const std::string bytes = platform::readWholeFile(platform::joinPath(folder, entry.FileName));
        // The directory was built from the file's length: a file that changed
        // since would not match its entry.
        if (bytes.size() != static_cast<size_t>(entry.DataLen))
            badBundle(platform::err::PathFileAccess, entry.FileName + ": ファイルの長さが変わりました");
        file.write(bytes);
    }
}

} // namespace

void writePartialKedFile(const std::string& path, int16_t n)
{
    platform::PartialFile file(path);
    writeBundle(file, n);
    // On disk before it is renamed, as the family file it is paired with: the
    // rename then has no data of its own to wait for.
    file.keep(platform::Flush::ToDisk);
}

bool WriteKedFile(const std::string& path, int16_t n)
{
    try {
        platform::PartialFile file(path);
        writeBundle(file, n);
        file.replace(platform::Flush::ToDisk);
        return true;
    } catch (const platform::RuntimeError& e) {
        platform::MsgBox(platform::failedFileMessage(BundleWriteFailedMessage, e, path), platform::vbOKOnly);
    } catch (const std::bad_alloc&) {
        platform::MsgBox(std::string(BundleWriteFailedMessage) + "\r\n" + path, platform::vbOKOnly);
    }
    return false;
}

bool ReadKedFile(const std::string& path, int16_t expected)
{
    clearMediaBuffer();
    try {
        std::unique_ptr<platform::BinaryFile> bundle;
        int16_t count = 0;
        bool cut = false;
        if (platform::fileExists(path)) {
            bundle = std::make_unique<platform::BinaryFile>(path, platform::BinaryFile::Mode::Read);
            const int64_t length = bundle->length();
            if (length >= CountBytes)
                count = bundle->readInt16(position(0));
            cut = length > 0 && length < CountBytes;
        }
        const std::string voiceFolder = mediaFolder(MediaVoice);
        const std::string faceFolder = mediaFolder(MediaPicture);
        platform::makeDir(voiceFolder);
        platform::makeDir(faceFolder);

        // The whole bundle is checked before the work folders are touched.
        const Directory directory = count > 0 ? readDirectory(*bundle, count) : Directory();
        // The work folders take exactly the files the bundle holds whole (none for
        // a missing or empty one).
        platform::deleteAllFiles(voiceFolder);
        platform::deleteAllFiles(faceFolder);

        // Each entry on its own: one that cannot be written or read is left out and
        // named, and costs no other entry its file.
        auto& buffer = fileStore().media_buf;
        std::vector<Fault> faults = directory.faults;
        const int64_t dataStart = dataAreaOffset(count);
        size_t unpacked = 0;
        for (size_t i = 0; i < directory.entries.size(); ++i) {
            const media_data& entry = directory.entries[i];
            const std::string& folder = entry.MediaKind == MediaVoice ? voiceFolder : faceFolder;
            if (const auto reason = unpackEntry(*bundle, dataStart, entry, folder)) {
                const int number = directory.numbers[i];
                faults.push_back({number, entryFault(number, entry.FileName, reason->c_str())});
                continue;
            }
            buffer[++unpacked] = entry;
        }
        std::stable_sort(faults.begin(), faults.end(),
                         [](const Fault& a, const Fault& b) { return a.number < b.number; });
        if (bundle)
            bundle->close();

        // A bundle that is cut short or holds entries that cannot be read, holds
        // another number of files than the family file names, or lacks a file it
        // names, is not this family's: what it holds whole is unpacked all the same,
        // so that no picture it can give is lost, and the files left out are named.
        if (cut || !faults.empty() || count != expected || !everyReferencedFileIsThere()) {
            // A long list is cut after its first lines, the rest counted.
            constexpr size_t ListedFaults = 20;
            std::string message = BundleMismatchMessage;
            for (size_t i = 0; i < faults.size() && i < ListedFaults; ++i)
                message += "\r\n" + faults[i].line;
            if (faults.size() > ListedFaults)
                message += "\r\nほか " + std::to_string(faults.size() - ListedFaults) + " 件";
            platform::MsgBox(message, platform::vbOKOnly);
            return false;
        }
        return true;
    } catch (const platform::RuntimeError& error) {
        showBundleFailure(error, path);
    } catch (const std::bad_alloc&) {
        showBundleFailure(platform::RuntimeError(platform::err::OutOfMemory, "メモリが足りません"), path);
    }
    return false;
}

} // namespace model

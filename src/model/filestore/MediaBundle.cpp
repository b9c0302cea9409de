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
#include <array>
#include <cerrno>
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

// Why the second entry of a name that belongs to no person is left out.
constexpr const char* SameNameAsAnEarlierFile = "前のファイルと名前が同じです";

// Whose fault it is that an entry of a bundle is left out: the bundle's (its directory
// or data damaged), or this computer's (a full disk, a name longer than the file
// system takes, a folder in the way, too little memory), which says nothing about
// whether the bundle belongs to its family.
enum class FaultOf { Bundle, Computer };

// An entry of a bundle left out, and the line that names it.
struct Fault {
    int number; // its place in the bundle, from 1
    std::string line;
    FaultOf of = FaultOf::Bundle;
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

// Why an entry whose directory row is sound could not be unpacked, in a word, and
// whose fault that is.
struct Failure {
    std::string reason;
    FaultOf of;
};

// Writes the bytes of one entry as file, whole or not at all; why not when it cannot:
// the system's reason when a system call failed (a name longer than the file system
// takes, a full disk, a folder in the way, ...), else what the bundle lacked. A file
// that cannot be written may be put in place by standIn, when it knows one of exactly
// these bytes.
std::optional<Failure> unpackEntry(platform::BinaryFile& bundle, int64_t dataStart, const media_data& entry,
                                   const std::string& file, const MediaStandIn& standIn)
{
    std::string bytes;
    try {
        bytes = bundle.readBytes(position(dataStart + entry.DataOfs), static_cast<size_t>(entry.DataLen));
    } catch (const platform::RuntimeError& error) {
        if (std::string reason = platform::failureReason(error); !reason.empty())
            return Failure{std::move(reason), FaultOf::Computer};
        return Failure{error.number == platform::err::InputPastEnd ? "データが途中で終わっています" : "取り出せません",
                       FaultOf::Bundle};
    } catch (const std::bad_alloc&) {
        return Failure{"メモリが足りません", FaultOf::Computer};
    }
    try {
        platform::writeWholeFile(file, bytes);
        return std::nullopt;
    } catch (const platform::RuntimeError& error) {
        if (standIn && standIn(entry.MediaKind, entry.FileName, bytes, file))
            return std::nullopt;
        const std::string reason = platform::failureReason(error);
        return Failure{reason.empty() ? "取り出せません" : reason, FaultOf::Computer};
    }
}

// What a bundle gave a person of a media kind it refers to.
enum class Given : uint8_t {
    Nothing,    // no entry of the person's (or only one the bundle had damaged)
    Unpacked,   // its own entry, unpacked
    NotWritten, // its own entry, left out for a fault of this computer's
};

// What a bundle gave each person, a voice memo and a face picture.
class GivenMedia {
public:
    Given& of(int person, int16_t kind) { return m_given[static_cast<size_t>(person)][kind == MediaVoice ? 0 : 1]; }
    Given of(int person, int16_t kind) const
    {
        return m_given[static_cast<size_t>(person)][kind == MediaVoice ? 0 : 1];
    }

private:
    std::array<std::array<Given, 2>, RecordCount> m_given{};
};

// The person an entry of a bundle belongs to: the slot it names, when that person
// refers to a file of its kind under its name and has had no entry of that kind yet;
// -1 for none.
int ownerOf(const media_data& entry, const GivenMedia& given)
{
    if (entry.PerIdx < 1 || entry.PerIdx > LastSlot)
        return -1;
    const std::string* own = referencedName(tables().per_buf[static_cast<size_t>(entry.PerIdx)], entry.MediaKind);
    if (!own || !sameNameIgnoringCase(*own, entry.FileName) || given.of(entry.PerIdx, entry.MediaKind) != Given::Nothing)
        return -1;
    return entry.PerIdx;
}

// The name under which a file of the person in slot owner goes into the work folder
// of kind: name, unless a file of that name is there already (another person's), then
// the first free one no other person refers to, as the merge names an added file.
std::string nameInWorkFolder(int16_t kind, const std::string& name, int owner)
{
    if (!platform::fileExists(platform::joinPath(mediaFolder(kind), name)))
        return name;
    return freeMediaName(kind, name, [&](const std::string& candidate) {
        return sameNameIgnoringCase(candidate, name) || mediaNameReferenced(tables().per_buf, kind, candidate, owner);
    });
}

std::string& referenceOf(personal_data& person, int16_t kind)
{
    return kind == MediaVoice ? person.Voice_filename : person.Picture_filename;
}

std::string personName(const personal_data& person)
{
    return platform::Trim(person.F_name + " " + person.Name);
}

// The line that names a person's media file left out: 「name」の画像（file）.
std::string mediaLine(const LeftOutMedia& media)
{
    return "「" + media.personName + "」の" + (media.kind == MediaVoice ? "音声" : "画像") + "（" + media.fileName + "）";
}

// Every person of the family keeps only media its bundle gave it: a reference whose
// own entry was left out or missing would find whatever file of its name the work
// folder holds, another person's. Such a reference is dropped. Returns those dropped,
// voice memos first, each kind in slot order.
std::vector<LeftOutMedia> keepOnlyGivenMedia(const GivenMedia& given)
{
    auto& per = tables().per_buf;
    std::vector<LeftOutMedia> dropped;
    for (const int16_t kind : {MediaVoice, MediaPicture}) {
        for (int p = 1; p <= LastSlot; ++p) {
            personal_data& person = per[static_cast<size_t>(p)];
            const std::string* name = referencedName(person, kind);
            if (!name || given.of(p, kind) == Given::Unpacked)
                continue;
            int16_t& index = kind == MediaVoice ? person.Voice_index : person.Picture_index;
            dropped.push_back({kind, static_cast<int16_t>(p), index, personName(person), *name});
            index = -1;
        }
    }
    return dropped;
}

// True when any person's reference was dropped for another reason than a fault of
// this computer's in writing its own file: the bundle does not hold it.
bool anyNotInBundle(const std::vector<LeftOutMedia>& dropped, const GivenMedia& given)
{
    return std::any_of(dropped.begin(), dropped.end(),
                       [&](const LeftOutMedia& media) { return given.of(media.person, media.kind) != Given::NotWritten; });
}

// Adds lines to a message, a long list cut after its first lines, the rest counted.
void appendListed(std::string& message, const std::vector<std::string>& lines)
{
    constexpr size_t Listed = 20;
    for (size_t i = 0; i < lines.size() && i < Listed; ++i)
        message += "\r\n" + lines[i];
    if (lines.size() > Listed)
        message += "\r\nほか " + std::to_string(lines.size() - Listed) + " 件";
}

// Names the persons whose media were dropped, after a message.
void appendDropped(std::string& message, const std::vector<LeftOutMedia>& dropped)
{
    if (dropped.empty())
        return;
    message += "\r\n" + std::string(DroppedMediaHeading);
    std::vector<std::string> lines;
    for (const LeftOutMedia& media : dropped)
        lines.push_back(mediaLine(media));
    appendListed(message, lines);
}

// A bundle that cannot be read at all: a failed system call, or a path that is no
// regular file or is too large, names the bundle and why in a word; a count no bundle
// can hold gives its description and number first.
std::vector<std::string> bundleFailure(const platform::RuntimeError& error, const std::string& path)
{
    if (!platform::failureReason(error).empty())
        return {platform::failedFileMessage(BundleReadFailedMessage, error, path)};
    return {error.description + "  " + platform::Str(error.number), BundleReadFailedMessage};
}

// The largest bundle a writer makes: a full directory and a data area as far as its
// 32-bit offsets reach. A larger file is no bundle.
const uint64_t MostBundleBytes = static_cast<uint64_t>(dataAreaOffset(MaxMediaEntries))
                                 + static_cast<uint64_t>(std::numeric_limits<int32_t>::max());

// The bundle at path, open to read; null when nothing is there (no bundle, or a link
// that leads nowhere). Anything but a regular file of at most MostBundleBytes is
// refused with its reason.
std::unique_ptr<platform::BinaryFile> openBundle(const std::string& path)
{
    try {
        return std::make_unique<platform::BinaryFile>(path, platform::BinaryFile::Mode::Read, MostBundleBytes);
    } catch (const platform::RuntimeError& error) {
        if (error.systemError == ENOENT)
            return nullptr;
        throw;
    }
}

// What reading a bundle found: the entries left out, whether it was cut short, how
// many files it says it holds, and what it gave each person.
struct BundleContents {
    std::vector<Fault> faults; // in bundle order
    bool cut = false;
    int16_t count = 0;
    GivenMedia given;
};

// Unpacks the bundle at path into the work folders. Each entry belongs to the person
// in the slot it names (ownerOf) and is written under a name no other person's file
// has (nameInWorkFolder): that person then refers to it. An entry of no person is
// unpacked under its own name when free, else left out. Raises RuntimeError when the
// bundle cannot be read at all, before the work folders are touched.
void unpackBundle(const std::string& path, const MediaStandIn& standIn, BundleContents& contents)
{
    std::unique_ptr<platform::BinaryFile> bundle = openBundle(path);
    if (bundle) {
        const int64_t length = bundle->length();
        if (length >= CountBytes)
            contents.count = bundle->readInt16(position(0));
        contents.cut = length > 0 && length < CountBytes;
    }
    const std::string voiceFolder = mediaFolder(MediaVoice);
    const std::string faceFolder = mediaFolder(MediaPicture);
    platform::makeDir(voiceFolder);
    platform::makeDir(faceFolder);

    // The whole bundle is checked before the work folders are touched.
    const Directory directory = contents.count > 0 ? readDirectory(*bundle, contents.count) : Directory();
    // The work folders take exactly the files the bundle holds whole (none for
    // a missing or empty one).
    platform::deleteAllFiles(voiceFolder);
    platform::deleteAllFiles(faceFolder);

    // Each entry on its own: one that cannot be written or read is left out and
    // named, and costs no other entry its file.
    auto& buffer = fileStore().media_buf;
    auto& per = tables().per_buf;
    contents.faults = directory.faults;
    const int64_t dataStart = dataAreaOffset(contents.count);
    size_t unpacked = 0;
    for (size_t i = 0; i < directory.entries.size(); ++i) {
        media_data entry = directory.entries[i];
        const int number = directory.numbers[i];
        const int owner = ownerOf(entry, contents.given);
        const std::string folder = mediaFolder(entry.MediaKind);
        // A file of its name is there already when an earlier entry had the name (or
        // one the file system takes for it, in another letter case where it ignores
        // case).
        if (owner == -1 && platform::fileExists(platform::joinPath(folder, entry.FileName))) {
            contents.faults.push_back({number, entryFault(number, entry.FileName, SameNameAsAnEarlierFile)});
            continue;
        }
        const std::string name = nameInWorkFolder(entry.MediaKind, entry.FileName, owner);
        if (const auto failure = unpackEntry(*bundle, dataStart, entry, platform::joinPath(folder, name), standIn)) {
            contents.faults.push_back(
                {number, entryFault(number, entry.FileName, failure->reason.c_str()), failure->of});
            if (owner != -1 && failure->of == FaultOf::Computer)
                contents.given.of(owner, entry.MediaKind) = Given::NotWritten;
            continue;
        }
        if (owner != -1) {
            referenceOf(per[static_cast<size_t>(owner)], entry.MediaKind) = name;
            contents.given.of(owner, entry.MediaKind) = Given::Unpacked;
        }
        entry.FileName = name;
        buffer[++unpacked] = std::move(entry);
    }
    std::stable_sort(contents.faults.begin(), contents.faults.end(),
                     [](const Fault& a, const Fault& b) { return a.number < b.number; });
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
    for (const LeftOutMedia& media : leftOut())
        message += "\r\n" + mediaLine(media);
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
        leftOut().push_back({kind, static_cast<int16_t>(p), index, personName(per[p]), name});
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

bool ReadKedFile(const std::string& path, int16_t expected, const MediaStandIn& standIn)
{
    clearMediaBuffer();
    BundleContents contents;
    std::vector<std::string> messages;
    try {
        unpackBundle(path, standIn, contents);
    } catch (const platform::RuntimeError& error) {
        messages = bundleFailure(error, path);
    } catch (const std::bad_alloc&) {
        messages = bundleFailure(platform::errnoError(ENOMEM, path), path);
    }
    const std::vector<LeftOutMedia> dropped = keepOnlyGivenMedia(contents.given);
    if (messages.empty()) {
        // A bundle that is cut short, holds damaged entries or another number of
        // files than the family file names, or lacks a file of a person's, is not
        // this family's: what it holds whole is unpacked all the same, so that no
        // picture it can give is lost. Entries this computer could not write say so
        // instead, with the reason.
        const bool damaged = std::any_of(contents.faults.begin(), contents.faults.end(),
                                         [](const Fault& f) { return f.of == FaultOf::Bundle; });
        const bool belongs =
            !contents.cut && !damaged && contents.count == expected && !anyNotInBundle(dropped, contents.given);
        if (belongs && contents.faults.empty() && dropped.empty())
            return true;
        std::string message = belongs ? BundleReadFailedMessage : BundleMismatchMessage;
        std::vector<std::string> lines;
        for (const Fault& fault : contents.faults)
            lines.push_back(fault.line);
        appendListed(message, lines);
        messages.push_back(std::move(message));
    }
    appendDropped(messages.back(), dropped);
    for (const std::string& message : messages)
        platform::MsgBox(message, platform::vbOKOnly);
    return false;
}

} // namespace model

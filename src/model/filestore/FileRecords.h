#pragma once
// Internal to the family file store: how values are written and read, and the record
// kinds of the family file. Each record kind (person block, marriage block with its
// child blocks, header and settings sections, group sections) keeps its writer and its
// reader in one file, both driven by one table of fields in file order, so that
// writing and reading cannot drift apart.

#include "model/settings.h"
#include "model/tables.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace model::filestore {

// How a value is written.
enum class Form {
    Text,   // the characters as they are (CR turned into LF)
    Signed, // one leading blank when not negative, " .75", Single 7 / Double 15 digits
    Plain,  // no leading blank, "0.5"
    Bool,   // "True" for any value other than 0, "False" for 0
};

// How a value is read back.
enum class Reading {
    Text,        // as split (blanks around it removed)
    Guarded,     // a number is rounded half to even; anything else keeps the preset
    Lenient,     // the leading numeric part, 0 when there is none
    Strict,      // a value that is not a number fails the load
    Flag,        // exactly "False" gives 0, anything else -1
    StrictTruth, // "True" -1, "False" 0, a number -1 unless 0; anything else fails
};

// Values arrive as the file's cp932 bytes: text is decoded into its field (bytes that
// are no cp932 character become "?"), numbers are read from their ASCII digits.
// A number outside its field's range fails the load as well (16-bit for Integer
// fields, 32-bit for Long ones, the Single range for Single ones).
void readInto(Reading reading, std::string_view value, std::string& target);
void readInto(Reading reading, std::string_view value, int16_t& target);
void readInto(Reading reading, std::string_view value, int32_t& target);
void readInto(Reading reading, std::string_view value, float& target);
void readInto(Reading reading, std::string_view value, double& target);
void readInto(Reading reading, std::string_view value, bool& target);

// How many text values read on this thread so far held bytes that are no cp932
// character (each such sequence was read as "?"). The reader notes it around each line.
int& undecodableCount();

// Thrown for a value or line that fails the whole load: reason says what is wrong, in
// the user's words; the reader adds the line as read and its number.
[[noreturn]] void failLoad(const std::string& reason);

// Raised for a text value cp932 cannot hold: the character, the key of the value's
// line and, once the writer of the whole file has added it, the record it belongs to.
struct UnsavableValue : platform::EncodeError {
    UnsavableValue(std::string character, std::string_view key);

    std::string key;
    std::string record;
};

// The family file under construction, as cp932 bytes with CR LF line ends. Text
// values are encoded strictly: a character cp932 cannot hold throws UnsavableValue.
class FileText {
public:
    explicit FileText(size_t expectedBytes);

    // A line of fixed ASCII text: a section header, a marker or an empty line.
    void line(std::string_view ascii);

    // key=value lines; keyPrefix is " " inside blocks and "" in the header and the
    // group sections.
    void value(std::string_view keyPrefix, std::string_view key, Form form, const std::string& text);
    void value(std::string_view keyPrefix, std::string_view key, Form form, int16_t number);
    void value(std::string_view keyPrefix, std::string_view key, Form form, int32_t number);
    void value(std::string_view keyPrefix, std::string_view key, Form form, float number);
    void value(std::string_view keyPrefix, std::string_view key, Form form, double number);
    void value(std::string_view keyPrefix, std::string_view key, Form form, bool flag);

    // The bytes written so far.
    std::string_view bytes() const { return {m_bytes.get(), m_used}; }
    // The same bytes, to be changed in place by the text's owner.
    char* mutableBytes() { return m_bytes.get(); }

private:
    // Room for at least n more bytes at the end of the text, to be filled by the
    // caller and handed back with commit().
    char* room(size_t n);
    void grow(size_t n);
    void commit(const char* end) { m_used = static_cast<size_t>(end - m_bytes.get()); }
    // Writes keyPrefix, key and "=" into room for the value of at most valueBytes
    // and its line end; the caller writes the value and ends the line.
    char* startKeyLine(std::string_view keyPrefix, std::string_view key, size_t valueBytes);
    void keyLine(std::string_view keyPrefix, std::string_view key, std::string_view asciiValue);

    // Left uninitialised beyond m_used: every byte is written before it is part of
    // the text, so the room is not cleared first.
    std::unique_ptr<char[]> m_bytes;
    size_t m_capacity = 0;
    size_t m_used = 0;
};

// Copies s to out and returns the end.
inline char* copyBytes(char* out, std::string_view s)
{
    std::memcpy(out, s.data(), s.size());
    return out + s.size();
}

// The small writers are inline: a full family file has some 300,000 lines, most of
// them a key and a short number.
inline char* FileText::room(size_t n)
{
    if (m_used + n > m_capacity)
        grow(n);
    return m_bytes.get() + m_used;
}

inline void FileText::line(std::string_view ascii)
{
    char* out = copyBytes(room(ascii.size() + 2), ascii);
    *out++ = '\r';
    *out++ = '\n';
    commit(out);
}

inline char* FileText::startKeyLine(std::string_view keyPrefix, std::string_view key, size_t valueBytes)
{
    char* out = room(keyPrefix.size() + key.size() + 1 + valueBytes + 2);
    out = copyBytes(out, keyPrefix);
    out = copyBytes(out, key);
    *out++ = '=';
    return out;
}

inline void FileText::keyLine(std::string_view keyPrefix, std::string_view key, std::string_view asciiValue)
{
    char* out = copyBytes(startKeyLine(keyPrefix, key, asciiValue.size()), asciiValue);
    *out++ = '\r';
    *out++ = '\n';
    commit(out);
}

inline void FileText::value(std::string_view keyPrefix, std::string_view key, Form form, int16_t number)
{
    value(keyPrefix, key, form, static_cast<int32_t>(number));
}

inline void FileText::value(std::string_view keyPrefix, std::string_view key, Form form, int32_t number)
{
    if (form == Form::Bool) {
        keyLine(keyPrefix, key, number != 0 ? "True" : "False");
        return;
    }
    // Signed puts a blank before a number that is not negative (as Str does), Plain
    // writes the digits alone (as CStr does).
    constexpr size_t MaxChars = 12; // blank or "-", then up to 10 digits
    char* out = startKeyLine(keyPrefix, key, MaxChars);
    if (form == Form::Signed && number >= 0)
        *out++ = ' ';
    out = std::to_chars(out, out + MaxChars, number).ptr;
    *out++ = '\r';
    *out++ = '\n';
    commit(out);
}

inline void FileText::value(std::string_view keyPrefix, std::string_view key, Form, bool flag)
{
    keyLine(keyPrefix, key, flag ? "True" : "False");
}

// One key line of a record: its key as written (without the block's leading blank),
// its form, its reading and the field it stands for.
template <class Rec>
struct Field {
    std::string_view key;
    Form form;
    Reading reading;
    std::variant<std::string Rec::*, int16_t Rec::*, int32_t Rec::*, float Rec::*, double Rec::*> member;
};

// A key line of a record field that is an array indexed by display item or child slot.
template <class Rec, size_t N>
struct ArrayField {
    std::string_view key;
    Form form;
    Reading reading;
    std::variant<std::array<int16_t, N> Rec::*, std::array<double, N> Rec::*,
                 std::array<std::string, N> Rec::*>
        member;
};

// Calls f with the member a field stands for. The alternatives are tried in turn
// rather than through std::visit's table of calls, so that the writer and reader of
// each line are inlined at the call: every line of a file goes through here.
template <class Variant, class F, size_t... I>
void visitMember(const Variant& member, F&& f, std::index_sequence<I...>)
{
    (void)((member.index() == I ? (f(*std::get_if<I>(&member)), true) : false) || ...);
}

template <class Variant, class F>
void visitMember(const Variant& member, F&& f)
{
    visitMember(member, f, std::make_index_sequence<std::variant_size_v<Variant>>());
}

template <class Rec>
void writeField(FileText& out, std::string_view keyPrefix, const Field<Rec>& field, const Rec& record)
{
    visitMember(field.member, [&](auto member) { out.value(keyPrefix, field.key, field.form, record.*member); });
}

template <class Rec, size_t N>
void writeField(FileText& out, std::string_view keyPrefix, const ArrayField<Rec, N>& field,
                const Rec& record, size_t index)
{
    visitMember(field.member,
                [&](auto member) { out.value(keyPrefix, field.key, field.form, (record.*member)[index]); });
}

template <class Rec>
void readField(const Field<Rec>& field, Rec& record, std::string_view value)
{
    visitMember(field.member, [&](auto member) { readInto(field.reading, value, record.*member); });
}

template <class Rec, size_t N>
void readField(const ArrayField<Rec, N>& field, Rec& record, size_t index, std::string_view value)
{
    visitMember(field.member, [&](auto member) { readInto(field.reading, value, (record.*member)[index]); });
}

// What the writer sizes its buffer by, so that a large family is written without
// the buffer growing and being copied: each key line counts its prefix, key, "=",
// a value of a few characters and CR LF; text values count their UTF-8 length
// instead, which is never less than their cp932 length.
constexpr size_t ShortValueBytes = 6;

template <class Table>
size_t keyLineBytes(const Table& table, std::string_view keyPrefix)
{
    size_t bytes = 0;
    for (const auto& field : table)
        bytes += keyPrefix.size() + field.key.size() + 1 + ShortValueBytes + 2;
    return bytes;
}

template <class Rec>
size_t textBytes(const Field<Rec>& field, const Rec& record)
{
    const auto* text = std::get_if<std::string Rec::*>(&field.member);
    return text ? (record.**text).size() : 0;
}

template <class Rec, size_t N>
size_t textBytes(const ArrayField<Rec, N>& field, const Rec& record, size_t index)
{
    const auto* texts = std::get_if<std::array<std::string, N> Rec::*>(&field.member);
    return texts ? (record.**texts)[index].size() : 0;
}

// True when a key read from a file is the given key, compared without regard to the
// case of ASCII letters.
inline bool keyMatches(std::string_view key, std::string_view known)
{
    if (key.size() != known.size())
        return false;
    // Files written by save_file spell every key as known; others may use any case.
    if (key == known)
        return true;
    for (size_t i = 0; i < known.size(); ++i) {
        char a = key[i];
        char b = known[i];
        if (a == b)
            continue;
        a = a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a;
        b = b >= 'a' && b <= 'z' ? static_cast<char>(b - 'a' + 'A') : b;
        if (a != b)
            return false;
    }
    return true;
}

// The index of the field whose key matches, or -1.
template <class Table>
int findField(const Table& table, std::string_view key)
{
    for (size_t i = 0; i < std::size(table); ++i) {
        if (keyMatches(key, table[i].key))
            return static_cast<int>(i);
    }
    return -1;
}

// The keys of a block, in file order, each with a tag its reader dispatches on. The
// search first tries the key that followed the previous one the last time round, so
// the lines of a file in the writer's order are matched with one comparison each.
class KeyIndex {
public:
    struct Entry {
        std::string_view key;
        int tag;
        int index; // the field's row in its table
    };

    // What one reader learnt of the order of its file's keys.
    struct Cursor {
        int last = -1;               // the entry found last, -1 none
        std::vector<int> successors; // per entry, the entry that followed it last time
    };

    explicit KeyIndex(std::vector<Entry> entries) : m_entries(std::move(entries)) {}

    // The entry whose key matches, or nullptr.
    const Entry* find(std::string_view key, Cursor& cursor) const
    {
        // Most lines carry the key that followed the previous one last time.
        if (cursor.last >= 0) {
            const int expected = cursor.successors[static_cast<size_t>(cursor.last)];
            const Entry& entry = m_entries[static_cast<size_t>(expected)];
            if (keyMatches(key, entry.key)) {
                cursor.last = expected;
                return &entry;
            }
        }
        return search(key, cursor);
    }

private:
    const Entry* search(std::string_view key, Cursor& cursor) const;

    std::vector<Entry> m_entries;
};

// True when every byte is below 0x80: such text is the same in cp932 and UTF-8, so it
// needs no conversion.
inline bool asciiOnly(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The first byte c in [from, end), or end.
inline const char* findByte(const char* from, const char* end, char c)
{
    const void* found = std::memchr(from, c, static_cast<size_t>(end - from));
    return found ? static_cast<const char*>(found) : end;
}

// One line split at its first "=": key and value trimmed of blanks; the key keeps its
// case. -1 for a line of blanks only, 0 for a line without "=", else 1. Every line of
// a file goes through here, so it is inline.
inline int splitLine(std::string_view line, std::string_view& key, std::string_view& value)
{
    key = {};
    value = {};
    const char* begin = line.data();
    const char* end = begin + line.size();
    while (begin < end && *begin == ' ')
        ++begin;
    while (end > begin && end[-1] == ' ')
        --end;
    if (begin == end)
        return -1;
    const char* equals = findByte(begin, end, '=');
    if (equals == end) {
        key = std::string_view(begin, static_cast<size_t>(end - begin));
        return 0;
    }
    // The line starts and ends with other than a blank, so each side needs trimming
    // at its inner end only.
    const char* keyEnd = equals;
    while (keyEnd > begin && keyEnd[-1] == ' ')
        --keyEnd;
    const char* valueBegin = equals + 1;
    while (valueBegin < end && *valueBegin == ' ')
        ++valueBegin;
    key = std::string_view(begin, static_cast<size_t>(keyEnd - begin));
    value = std::string_view(valueBegin, static_cast<size_t>(end - valueBegin));
    return 1;
}

// The kinds of records and links a read drops or changes because the family tables
// cannot hold them as they stand. Each is counted, and the load reports them all in
// its one message.
enum class Repair {
    BlankPartnerAsPerson,    // a person in slot 1024, a child 1024, a marriage of two 1024s: dropped
    PersonWithoutSlot,       // a person block without a person slot 1..1023: dropped
    RepeatedPersonSlot,      // a person block for a slot an earlier block took: replaces it
    CopyReference,           // a copy reference that names no person of the file: made "none"
    MarriageWithoutPartners, // a marriage without two partners (persons of the file or 1024): dropped
    ChildOutsideTable,       // a child block without a person slot of the file: dropped
    ChildBeyondTwentieth,    // a child after the 20th of its marriage: dropped
    AdoptionHistory,         // an adoption history naming no marriage of the file: made "none"
    GroupLeader,             // a lineage group's leader that names no person of the file: made "none" (0)
};
constexpr size_t RepairKinds = 9;

// What one read of a family file gathers before it is taken over as a whole.
struct Staging {
    std::vector<std::pair<int16_t, personal_data>> persons; // slot and record, in file order
    std::vector<marry_data> marriages;                       // for slots 1, 2, 3 ... in file order
    Settings settings;                                       // starts as a copy of the live settings
    bool groupsRead = false;
    std::vector<GrpNameRec> groups;
    bool titlesRead = false;
    std::vector<GrpTitleRec> titles;
    // How many records and links of each kind the read dropped or changed (Repair).
    std::array<int, RepairKinds> repairs{};
    int allRepairs = 0; // their sum, which the reader watches line by line
    void count(Repair kind)
    {
        ++repairs[static_cast<size_t>(kind)];
        ++allRepairs;
    }
    // The person slots a block has been kept for: a later block of the same slot is
    // dropped.
    std::array<bool, RecordCount> personSlotRead{};
};

// Sections of the family file, numbered as the reader tracks them.
enum class Section {
    None = 0, // before the first recognised header: every line is skipped
    Header = 1,
    Persons = 2,
    Marriages = 3,
    SystemStatus = 4,
    Array = 5,
    Nenpyo = 6,
    Print = 7,
    Groups = 8,
    Titles = 9,
    End = 10, // after "[END_OF_DATA]": every line is skipped
};

// --- Header and settings sections (SettingsSections.cpp) ---
void writeHeader(FileText& out, const Settings& settings);
void writeSettingsSections(FileText& out, const Settings& settings);
// Applies a key of the header or of sections 4 to 7; false when the section does not
// know the key.
bool readSettingsKey(Section section, std::string_view key, std::string_view value, Settings& settings);

// --- Person blocks (PersonRecord.cpp) ---
void writePerson(FileText& out, int slot, const personal_data& person);
// About the bytes writePerson writes for the person (see keyLineBytes).
size_t personBytes(const personal_data& person);

class PersonReader {
public:
    PersonReader(Staging& staging, const DispStat& defaults);
    // False when the key is not one of a person block's.
    bool apply(std::string_view key, std::string_view value);

private:
    Staging& m_staging;
    const DispStat& m_defaults;
    personal_data m_work;
    int16_t m_slot = -1;
    int16_t m_item = 0;
    bool m_open = false;
    KeyIndex::Cursor m_cursor;
};

// --- Marriage blocks and their child blocks (MarriageRecord.cpp) ---
// The number each marriage slot gets when the file is read back: marriage blocks
// carry no number and are read into slots 1, 2, 3 ... in file order, so a table with
// free slots between used ones is renumbered. -1 for a slot that is not saved.
using MarriageNumbers = std::array<int16_t, RecordCount>;
MarriageNumbers marriageNumbersInFile(const Tables& tables);
// Writes the block; a child's adoption history names a marriage and is written as
// that marriage's number in the file (-1 for a marriage that is not saved).
void writeMarriage(FileText& out, const marry_data& marriage, const MarriageNumbers& numbers);
// About the bytes writeMarriage writes for the marriage (see keyLineBytes).
size_t marriageBytes(const marry_data& marriage);

class MarriageReader {
public:
    explicit MarriageReader(Staging& staging);
    bool apply(std::string_view key, std::string_view value);

private:
    void openChild();
    void closeChild();

    Staging& m_staging;
    marry_data m_work;
    int m_childSlot = 0;
    bool m_open = false;
    KeyIndex::Cursor m_cursor;
};

// The checks made once the whole file is read, when the persons and marriages it holds
// are known: no reference may name a person slot the file holds no person for, nor a
// marriage it does not hold. Each reference dropped or changed is counted, and `noted`
// is told its kind and the index its record had in the staged list of that record
// kind (staging.persons, staging.marriages, staging.titles) before the check.
using NoteRepair = std::function<void(Repair, size_t)>;

// A marriage naming a partner whose person slot holds no person is dropped
// (Repair::MarriageWithoutPartners), as is a child naming one (Repair::ChildOutsideTable);
// the histories of the marriages kept follow their new slots, and one naming a dropped
// marriage or none the file holds becomes "none" (Repair::AdoptionHistory).
void dropLinksToEmptySlots(Staging& staging, const NoteRepair& noted);
// A person's copy reference naming an empty person slot becomes "none" (Repair::CopyReference).
void dropCopiesOfNobody(Staging& staging, const NoteRepair& noted);
// A lineage group's leader other than 0 that names no person of the file becomes 0,
// no leader (Repair::GroupLeader).
void dropLeadersNamingNobody(Staging& staging, const NoteRepair& noted);

// --- Group sections (GroupSections.cpp) ---
void writeGroupSections(FileText& out, const Tables& tables);

class GroupReader {
public:
    explicit GroupReader(Staging& staging);
    void enter(Section section);
    bool apply(Section section, std::string_view key, std::string_view value);

private:
    Staging& m_staging;
    int m_rowOfLastName = -1; // the row the latest "GrpName=" line created, -1 none
};

} // namespace model::filestore

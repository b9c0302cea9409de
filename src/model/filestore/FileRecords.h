#pragma once
// Internal to the family file store: how values are written and read, and the record
// kinds of the family file. Each record kind (person block, marriage block with its
// child blocks, header and settings sections, group sections) keeps its writer and its
// reader in one file, both driven by one table of fields in file order, so that
// writing and reading cannot drift apart.

#include "model/settings.h"
#include "model/tables.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
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

// A number outside its field's range fails the load as well (16-bit for Integer
// fields, 32-bit for Long ones, the Single range for Single ones).
void readInto(Reading reading, std::string_view value, std::string& target);
void readInto(Reading reading, std::string_view value, int16_t& target);
void readInto(Reading reading, std::string_view value, int32_t& target);
void readInto(Reading reading, std::string_view value, float& target);
void readInto(Reading reading, std::string_view value, double& target);
void readInto(Reading reading, std::string_view value, bool& target);

// Thrown for a value or line that fails the whole load.
[[noreturn]] void failLoad(const std::string& reason);

// The family file under construction, as cp932 bytes with CR LF line ends. Text
// values are encoded strictly: a character cp932 cannot hold throws EncodeError.
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

    // The bytes written so far; the FileText is empty afterwards.
    std::string take();

private:
    void keyLine(std::string_view keyPrefix, std::string_view key, std::string_view cp932Value);
    // n bytes at the end of the text, to be filled by the caller.
    char* room(size_t n);

    std::string m_bytes; // m_used bytes written, the rest spare room
    size_t m_used = 0;
    std::string m_scratch;
};

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

template <class Rec>
void writeField(FileText& out, std::string_view keyPrefix, const Field<Rec>& field, const Rec& record)
{
    std::visit([&](auto member) { out.value(keyPrefix, field.key, field.form, record.*member); },
               field.member);
}

template <class Rec, size_t N>
void writeField(FileText& out, std::string_view keyPrefix, const ArrayField<Rec, N>& field,
                const Rec& record, size_t index)
{
    std::visit([&](auto member) { out.value(keyPrefix, field.key, field.form, (record.*member)[index]); },
               field.member);
}

template <class Rec>
void readField(const Field<Rec>& field, Rec& record, std::string_view value)
{
    std::visit([&](auto member) { readInto(field.reading, value, record.*member); }, field.member);
}

template <class Rec, size_t N>
void readField(const ArrayField<Rec, N>& field, Rec& record, size_t index, std::string_view value)
{
    std::visit([&](auto member) { readInto(field.reading, value, (record.*member)[index]); },
               field.member);
}

// True when a key read from a file is the given key, compared without regard to the
// case of ASCII letters.
inline bool keyMatches(std::string_view key, std::string_view known)
{
    if (key.size() != known.size())
        return false;
    // Files written by save_file spell every key as known; others may use any case.
    if (std::memcmp(key.data(), known.data(), key.size()) == 0)
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
    const Entry* find(std::string_view key, Cursor& cursor) const;

private:
    std::vector<Entry> m_entries;
};

// True when every byte is below 0x80: such text is the same in cp932 and UTF-8, so it
// needs no conversion. Eight bytes are tested at a time.
inline bool asciiOnly(std::string_view text)
{
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ull)
            return false;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

// One line split at its first "=": key and value trimmed of blanks; the key keeps its
// case. -1 for a line of blanks only, 0 for a line without "=", else 1.
int splitLine(std::string_view line, std::string_view& key, std::string_view& value);

// What one read of a family file gathers before it is taken over as a whole.
struct Staging {
    std::vector<std::pair<int16_t, personal_data>> persons; // slot and record, in file order
    std::vector<marry_data> marriages;                       // for slots 1, 2, 3 ... in file order
    Settings settings;                                       // starts as a copy of the live settings
    bool groupsRead = false;
    std::vector<GrpNameRec> groups;
    bool titlesRead = false;
    std::vector<GrpTitleRec> titles;
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
void writeMarriage(FileText& out, const marry_data& marriage);

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
    bool m_warnedTooManyChildren = false;
    KeyIndex::Cursor m_cursor;
};

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

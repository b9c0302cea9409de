// The person block of the family file: its writer and its reader, both driven by the
// field tables below, which list the lines in file order. Line numbers count from the
// block's first line.

#include "model/filestore/FileRecords.h"

#include <array>

namespace model::filestore {

namespace {

constexpr std::string_view BlockStart = "personal_data_start"; // line 1
constexpr std::string_view IndexKey = "Index";                 // line 2: the slot, plain
constexpr std::string_view BlockEnd = "personal_data_end";     // line 127, after an empty line 126
constexpr std::string_view DisplayItemKey = "DispSwIdx";       // first line of each display group

using P = personal_data;
using D = DispStat;

// Lines 3 to 24.
const Field<P> HeadFields[] = {
    {"F_name", Form::Text, Reading::Text, &P::F_name},              //  3
    {"Name", Form::Text, Reading::Text, &P::Name},                  //  4
    {"Sex", Form::Plain, Reading::Guarded, &P::Sex},                //  5
    {"B_day", Form::Text, Reading::Text, &P::B_day},                //  6
    {"Old_name", Form::Text, Reading::Text, &P::Old_name},          //  7
    {"Death_day", Form::Text, Reading::Text, &P::Death_day},        //  8
    {"Age", Form::Plain, Reading::Guarded, &P::Age},                //  9
    {"YubinNo", Form::Text, Reading::Text, &P::YubinNo},            // 10
    {"Addr1", Form::Text, Reading::Text, &P::Addr1},                // 11
    {"Addr2", Form::Text, Reading::Text, &P::Addr2},                // 12
    {"TelNo", Form::Text, Reading::Text, &P::TelNo},                // 13
    {"FaxNo", Form::Text, Reading::Text, &P::FaxNo},                // 14
    {"KeiNo", Form::Text, Reading::Text, &P::KeiNo},                // 15
    {"E_mail", Form::Text, Reading::Text, &P::E_mail},              // 16
    {"Biko", Form::Text, Reading::Text, &P::Biko},                  // 17
    {"Zokugara", Form::Text, Reading::Text, &P::Zokugara},          // 18
    {"Kaimyo", Form::Text, Reading::Text, &P::Kaimyo},              // 19
    {"GrpName", Form::Text, Reading::Text, &P::GrpName},            // 20
    {"ZokugaraK", Form::Text, Reading::Text, &P::ZokugaraK},        // 21
    {"CategoryF", Form::Plain, Reading::Lenient, &P::CategoryF},    // 22
    {"CopyIdx", Form::Plain, Reading::Lenient, &P::CopyIdx},        // 23
    {"CsvOutFlag", Form::Plain, Reading::Lenient, &P::CsvOutFlag},  // 24
};

// Lines 25 to 112: for display item d = 0..10 a group of 8 lines, " DispSwIdx=" d
// (trimmed form) and then these.
const ArrayField<D, DispItemCount> DisplayItemFields[] = {
    {"DSW", Form::Bool, Reading::Flag, &D::DSW},
    {"DRank", Form::Plain, Reading::Strict, &D::DRank},
    {"DBai", Form::Plain, Reading::Strict, &D::DBai},
    {"DWLocate", Form::Plain, Reading::Strict, &D::DWLocate},
    {"DHLocate", Form::Plain, Reading::Strict, &D::DHLocate},
    {"DStart", Form::Plain, Reading::Strict, &D::DStart},
    {"DWidth", Form::Plain, Reading::Strict, &D::DWidth},
};

// Lines 113 to 120.
const Field<D> DisplayBlockFields[] = {
    {"DS_FName", Form::Plain, Reading::Strict, &D::DS_FName},        // 113
    {"DS_Houko", Form::Plain, Reading::Strict, &D::DS_Houko},        // 114
    {"DS_Nen", Form::Plain, Reading::Strict, &D::DS_Nen},            // 115
    {"DS_Waku", Form::Plain, Reading::Strict, &D::DS_Waku},          // 116
    {"DS_DeathW", Form::Plain, Reading::Strict, &D::DS_DeathW},      // 117
    {"DS_Visible", Form::Plain, Reading::Strict, &D::DS_Visible},    // 118
    {"DS_PicHouko", Form::Plain, Reading::Strict, &D::DS_PicHouko},  // 119
    {"DS_WakuPat", Form::Plain, Reading::Strict, &D::DS_WakuPat},    // 120
};

// Lines 121 to 125.
const Field<P> TailFields[] = {
    {"Voice_filename", Form::Text, Reading::Text, &P::Voice_filename},       // 121
    {"Picture_filename", Form::Text, Reading::Text, &P::Picture_filename},   // 122
    {"Voice_index", Form::Signed, Reading::Guarded, &P::Voice_index},        // 123
    {"Picture_index", Form::Signed, Reading::Guarded, &P::Picture_index},    // 124
    {"Picture_mode", Form::Signed, Reading::Guarded, &P::Picture_mode},      // 125
};

constexpr std::string_view Blank = " ";

// The state every person block starts from before its keys are applied.
void presetPerson(personal_data& p, const DispStat& defaults)
{
    p = personal_data();
    p.InUse = SlotUsed;
    p.F_name = "不明";
    p.Name = "不明";
    p.Sex = 0;
    p.Age = 0;
    p.Voice_index = -1;
    p.Voice_filename.clear();
    p.Picture_filename.clear();
    p.Picture_index = -1;
    p.Picture_mode = -1;
    p.Disp = defaults;
    p.CategoryF = -1;
    p.CopyIdx = -1;
    p.CsvOutFlag = 0;
    p.OrgIdx = -1;
    p.MultiParentF = 0;
}

enum PersonKey { KeyStart, KeyEnd, KeyIndexLine, KeyItem, KeyHead, KeyItemField, KeyBlockField, KeyTail };

// Every key of the block in file order (a display group's keys once).
const KeyIndex& personKeys()
{
    static const KeyIndex keys = [] {
        std::vector<KeyIndex::Entry> entries{{BlockStart, KeyStart, 0}, {IndexKey, KeyIndexLine, 0}};
        const auto add = [&entries](const auto& table, int tag) {
            for (size_t i = 0; i < std::size(table); ++i)
                entries.push_back({table[i].key, tag, static_cast<int>(i)});
        };
        add(HeadFields, KeyHead);
        entries.push_back({DisplayItemKey, KeyItem, 0});
        add(DisplayItemFields, KeyItemField);
        add(DisplayBlockFields, KeyBlockField);
        add(TailFields, KeyTail);
        entries.push_back({BlockEnd, KeyEnd, 0});
        return KeyIndex(std::move(entries));
    }();
    return keys;
}

} // namespace

void writePerson(FileText& out, int slot, const personal_data& person)
{
    out.line(BlockStart);
    out.value(Blank, IndexKey, Form::Plain, static_cast<int32_t>(slot));
    for (const auto& field : HeadFields)
        writeField(out, Blank, field, person);
    for (int d = 0; d < DispItemCount; ++d) {
        out.value(Blank, DisplayItemKey, Form::Plain, static_cast<int32_t>(d));
        for (const auto& field : DisplayItemFields)
            writeField(out, Blank, field, person.Disp, static_cast<size_t>(d));
    }
    for (const auto& field : DisplayBlockFields)
        writeField(out, Blank, field, person.Disp);
    for (const auto& field : TailFields)
        writeField(out, Blank, field, person);
    out.line("");
    out.line(BlockEnd);
    out.line("");
}

size_t personBytes(const personal_data& person)
{
    static const size_t fixedBytes = [] {
        size_t bytes = BlockStart.size() + BlockEnd.size() + 4 * 2; // with the two empty lines
        bytes += Blank.size() + IndexKey.size() + 1 + ShortValueBytes + 2;
        bytes += keyLineBytes(HeadFields, Blank);
        const size_t itemKey = Blank.size() + DisplayItemKey.size() + 1 + ShortValueBytes + 2;
        bytes += DispItemCount * (itemKey + keyLineBytes(DisplayItemFields, Blank));
        bytes += keyLineBytes(DisplayBlockFields, Blank);
        bytes += keyLineBytes(TailFields, Blank);
        return bytes;
    }();
    size_t bytes = fixedBytes;
    for (const auto& field : HeadFields)
        bytes += textBytes(field, person);
    for (const auto& field : TailFields)
        bytes += textBytes(field, person);
    return bytes;
}

PersonReader::PersonReader(Staging& staging, const DispStat& defaults)
    : m_staging(staging), m_defaults(defaults)
{
    presetPerson(m_work, m_defaults);
}

bool PersonReader::apply(std::string_view key, std::string_view value)
{
    const KeyIndex::Entry* entry = personKeys().find(key, m_cursor);
    if (!entry)
        return false;
    switch (entry->tag) {
    case KeyStart:
        presetPerson(m_work, m_defaults);
        m_slot = -1;
        m_item = 0;
        m_open = true;
        break;
    case KeyEnd:
        // A block is kept only with a person slot 1..1023; slot 0 is never used and
        // slot 1024 is the blank partner, so a person stored there is dropped. A block
        // for a slot an earlier block took replaces that one, as each block is stored
        // into its slot when it ends. The copy reference must name a person slot too,
        // or it becomes "none". Each drop, replacement and change is counted for the
        // load's message.
        if (m_open && isPersonSlot(m_slot)) {
            if (m_work.CopyIdx != -1 && !isPersonSlot(m_work.CopyIdx)) {
                m_work.CopyIdx = -1;
                m_staging.count(Repair::CopyReference);
            }
            bool& taken = m_staging.personSlotRead[static_cast<size_t>(m_slot)];
            if (taken) {
                m_staging.count(Repair::RepeatedPersonSlot);
                for (auto& [slot, person] : m_staging.persons) {
                    if (slot == m_slot)
                        person = std::move(m_work);
                }
            } else {
                taken = true;
                m_staging.persons.emplace_back(m_slot, std::move(m_work));
            }
        } else if (m_open) {
            m_staging.count(m_slot == BlankPartner ? Repair::BlankPartnerAsPerson : Repair::PersonWithoutSlot);
        }
        m_slot = -1;
        m_open = false;
        break;
    case KeyIndexLine: {
        // A value that is not a number leaves the slot as it was; a number outside
        // the table fails the load.
        int16_t slot = m_slot;
        readInto(Reading::Guarded, value, slot);
        if (slot < -1 || slot > LastSlot)
            failLoad("人物番号が範囲外です");
        m_slot = slot;
        break;
    }
    case KeyItem:
        readInto(Reading::Strict, value, m_item);
        break;
    case KeyHead:
        readField(HeadFields[entry->index], m_work, value);
        break;
    case KeyItemField:
        if (m_item < 0 || m_item >= DispItemCount)
            failLoad("表示項目の番号が範囲外です");
        readField(DisplayItemFields[entry->index], m_work.Disp, static_cast<size_t>(m_item), value);
        break;
    case KeyBlockField:
        readField(DisplayBlockFields[entry->index], m_work.Disp, value);
        break;
    case KeyTail:
        readField(TailFields[entry->index], m_work, value);
        break;
    }
    return true;
}

void dropCopiesOfNobody(Staging& staging, const NoteRepair& noted)
{
    for (size_t i = 0; i < staging.persons.size(); ++i) {
        int16_t& source = staging.persons[i].second.CopyIdx;
        if (!isPersonSlot(source) || staging.personSlotRead[static_cast<size_t>(source)])
            continue;
        source = -1;
        staging.count(Repair::CopyReference);
        noted(Repair::CopyReference, i);
    }
}

} // namespace model::filestore

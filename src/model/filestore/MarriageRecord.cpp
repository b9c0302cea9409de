// The marriage block of the family file with its child blocks: writer and reader, both
// driven by the field tables below, which list the lines in file order. A marriage
// block carries no marriage number and a child block no slot number: on reading,
// marriages take slots 1, 2, 3 ... and children slots 0, 1, 2 ... in file order.

#include "model/filestore/FileRecords.h"


namespace model::filestore {

namespace {

constexpr std::string_view BlockStart = "marry_data_start";    // line 1
constexpr std::string_view BlockEnd = "marry_data_end";        // second to last line, then ""
constexpr std::string_view ChildStart = "children_data_start"; // child block line 1
constexpr std::string_view ChildEnd = "children_data_end";     // child block line 8, then ""

using M = marry_data;

// Lines 2 to 10, followed by an empty line 11.
const Field<M> MarriageFields[] = {
    {"kou_title", Form::Text, Reading::Text, &M::kou_title},    //  2
    {"kou_state", Form::Text, Reading::Text, &M::kou_state},    //  3
    {"kou_mode", Form::Signed, Reading::Guarded, &M::kou_mode}, //  4
    {"sort_lev", Form::Signed, Reading::Guarded, &M::sort_lev}, //  5
    {"kou_titi", Form::Signed, Reading::Guarded, &M::kou_titi}, //  6
    {"kou_haha", Form::Signed, Reading::Guarded, &M::kou_haha}, //  7
    {"dsp_start", Form::Signed, Reading::Guarded, &M::dsp_start}, // 8
    {"Yoshi_f", Form::Signed, Reading::Guarded, &M::Yoshi_f},   //  9
    {"Bunke", Form::Signed, Reading::Guarded, &M::Bunke},       // 10
};

// Lines 2 to 7 of a child block, written for each child slot 0..19 that holds a child.
const ArrayField<M, ChildArraySize> ChildFields[] = {
    {"kou_kodo", Form::Signed, Reading::Guarded, &M::kou_kodo},                   // 2
    {"kou_kodo_stat", Form::Signed, Reading::Guarded, &M::kou_kodo_stat},         // 3
    {"kou_kodo_comment", Form::Text, Reading::Text, &M::kou_kodo_comment},        // 4
    {"kodo_honsuji", Form::Signed, Reading::Lenient, &M::kodo_honsuji},           // 5
    {"kodo_visible", Form::Signed, Reading::Lenient, &M::kodo_visible},           // 6
    {"kodo_yoshirireki", Form::Signed, Reading::Guarded, &M::kodo_yoshirireki},   // 7
};

constexpr std::string_view Blank = " ";

// Entry 20 of the child arrays is never filled; the reader uses it only to read a
// child beyond the 20th, which is then dropped.
constexpr int SpareEntry = MaxChildren;

void presetChild(marry_data& m, int entry)
{
    m.kou_kodo[entry] = -1;
    m.kou_kodo_stat[entry] = 0;
    m.kou_kodo_comment[entry].clear();
    m.kodo_honsuji[entry] = -1;
    m.kodo_visible[entry] = 1;
}

void presetMarriage(marry_data& m)
{
    m = marry_data();
    m.kou_title = "****家";
    m.kou_state = "****";
    m.kou_mode = 0;
    m.sort_lev = 0;
    m.kou_titi = -1;
    m.kou_haha = -1;
    m.dsp_start = 0;
    m.Yoshi_f = 0;
    m.Bunke = -1;
    for (int entry = 0; entry < ChildArraySize; ++entry) {
        presetChild(m, entry);
        m.kodo_yoshirireki[entry] = -1;
    }
}

enum MarriageKey { KeyStart, KeyEnd, KeyField, KeyChildStart, KeyChildField, KeyChildEnd };

// Every key of a marriage block and its child blocks, in file order.
const KeyIndex& marriageKeys()
{
    static const KeyIndex keys = [] {
        std::vector<KeyIndex::Entry> entries{{BlockStart, KeyStart, 0}};
        for (size_t i = 0; i < std::size(MarriageFields); ++i)
            entries.push_back({MarriageFields[i].key, KeyField, static_cast<int>(i)});
        entries.push_back({ChildStart, KeyChildStart, 0});
        for (size_t i = 0; i < std::size(ChildFields); ++i)
            entries.push_back({ChildFields[i].key, KeyChildField, static_cast<int>(i)});
        entries.push_back({ChildEnd, KeyChildEnd, 0});
        entries.push_back({BlockEnd, KeyEnd, 0});
        return KeyIndex(std::move(entries));
    }();
    return keys;
}

} // namespace

MarriageNumbers marriageNumbersInFile(const Tables& tables)
{
    MarriageNumbers numbers;
    numbers.fill(-1);
    int16_t next = 1;
    for (int k = 1; k <= LastSlot; ++k) {
        if (isUsedMarriage(tables.kou_buf[k]))
            numbers[static_cast<size_t>(k)] = next++;
    }
    return numbers;
}

void writeMarriage(FileText& out, const marry_data& marriage, const MarriageNumbers& numbers)
{
    out.line(BlockStart);
    for (const auto& field : MarriageFields)
        writeField(out, Blank, field, marriage);
    out.line("");
    // The adoption history is the last line of a child block; the lines before it are
    // written as they stand.
    const auto& history = ChildFields[std::size(ChildFields) - 1];
    for (int slot = 0; slot <= LastChildSlot; ++slot) {
        if (marriage.kou_kodo[slot] == -1)
            continue;
        out.line(ChildStart);
        for (const auto& field : ChildFields) {
            if (&field != &history)
                writeField(out, Blank, field, marriage, static_cast<size_t>(slot));
        }
        const int16_t kou = marriage.kodo_yoshirireki[static_cast<size_t>(slot)];
        const int16_t inFile = isMarriageSlot(kou) ? numbers[static_cast<size_t>(kou)] : int16_t(-1);
        out.value(Blank, history.key, history.form, inFile);
        out.line(ChildEnd);
        out.line("");
    }
    out.line(BlockEnd);
    out.line("");
}

size_t marriageBytes(const marry_data& marriage)
{
    // The block with its empty lines, and each child block with its empty line.
    static const size_t blockBytes =
        BlockStart.size() + BlockEnd.size() + 3 * 2 + keyLineBytes(MarriageFields, Blank);
    static const size_t childBytes = ChildStart.size() + ChildEnd.size() + 3 * 2 + keyLineBytes(ChildFields, Blank);
    size_t bytes = blockBytes;
    for (const auto& field : MarriageFields)
        bytes += textBytes(field, marriage);
    for (int slot = 0; slot <= LastChildSlot; ++slot) {
        if (marriage.kou_kodo[slot] == -1)
            continue;
        bytes += childBytes;
        for (const auto& field : ChildFields)
            bytes += textBytes(field, marriage, static_cast<size_t>(slot));
    }
    return bytes;
}

MarriageReader::MarriageReader(Staging& staging) : m_staging(staging)
{
    presetMarriage(m_work);
}

void MarriageReader::openChild()
{
    // A child line outside any block left its number here; the block replaces it.
    if (m_work.kou_kodo[m_childSlot] != -1)
        m_staging.count(Repair::ChildOutsideTable);
    presetChild(m_work, m_childSlot);
}

void MarriageReader::closeChild()
{
    const int16_t child = m_work.kou_kodo[m_childSlot];
    if (isPersonSlot(child) && m_childSlot < SpareEntry) {
        ++m_childSlot;
        return;
    }
    // A block without a child, with a reference outside the person table, or beyond
    // the 20th child leaves nothing behind (its slot is free for the next child) and
    // is counted for the load's message.
    if (child == BlankPartner)
        m_staging.count(Repair::BlankPartnerAsPerson);
    else if (isPersonSlot(child))
        m_staging.count(Repair::ChildBeyondTwentieth);
    else
        m_staging.count(Repair::ChildOutsideTable);
    presetChild(m_work, m_childSlot);
    m_work.kodo_yoshirireki[m_childSlot] = -1;
}

bool MarriageReader::apply(std::string_view key, std::string_view value)
{
    const KeyIndex::Entry* entry = marriageKeys().find(key, m_cursor);
    if (!entry)
        return false;
    switch (entry->tag) {
    case KeyStart:
        presetMarriage(m_work);
        m_childSlot = 0;
        m_open = true;
        break;
    case KeyEnd: {
        // A marriage needs two partners, each a person slot or the blank partner
        // 1024; one without (or a block end without its start) is dropped. Two blank
        // partners make no marriage: it is dropped. Both are counted for the load's
        // message.
        const bool blankCouple = m_work.kou_titi == BlankPartner && m_work.kou_haha == BlankPartner;
        const bool partners = isPersonReference(m_work.kou_titi) && isPersonReference(m_work.kou_haha);
        if (m_open && blankCouple)
            m_staging.count(Repair::BlankPartnerAsPerson);
        else if (!m_open || !partners)
            m_staging.count(Repair::MarriageWithoutPartners);
        if (m_open && !blankCouple && partners) {
            if (m_staging.marriages.size() >= static_cast<size_t>(LastSlot))
                failLoad("結婚関係が " + std::to_string(LastSlot) + " 組を超えています");
            presetChild(m_work, SpareEntry);
            m_work.kodo_yoshirireki[SpareEntry] = -1;
            // A child block the file did not close, or child lines outside any block,
            // have not been checked: a child that is no person slot is dropped here.
            for (int entry = 0; entry < SpareEntry; ++entry) {
                const int16_t child = m_work.kou_kodo[entry];
                if (child != -1 && !isPersonSlot(child)) {
                    m_staging.count(child == BlankPartner ? Repair::BlankPartnerAsPerson : Repair::ChildOutsideTable);
                    presetChild(m_work, entry);
                    m_work.kodo_yoshirireki[entry] = -1;
                }
            }
            // The adoption history names a marriage; one outside the table means none.
            for (auto& history : m_work.kodo_yoshirireki) {
                if (history != -1 && !isMarriageSlot(history)) {
                    history = -1;
                    m_staging.count(Repair::AdoptionHistory);
                }
            }
            m_work.InUse = SlotUsed;
            m_staging.marriages.push_back(std::move(m_work));
        }
        m_open = false;
        break;
    }
    case KeyChildStart:
        openChild();
        break;
    case KeyChildEnd:
        closeChild();
        break;
    case KeyField:
        readField(MarriageFields[entry->index], m_work, value);
        break;
    case KeyChildField:
        readField(ChildFields[entry->index], m_work, static_cast<size_t>(m_childSlot), value);
        break;
    }
    return true;
}

void dropLinksToEmptySlots(Staging& staging, const NoteRepair& noted)
{
    const auto emptySlot = [&staging](int16_t person) {
        return isPersonSlot(person) && !staging.personSlotRead[static_cast<size_t>(person)];
    };
    std::vector<marry_data>& marriages = staging.marriages;
    // The slot each marriage takes once the dropped ones are gone, -1 for a dropped one.
    std::vector<int16_t> newSlot(marriages.size() + 1, -1);
    int16_t kept = 0;
    for (size_t i = 0; i < marriages.size(); ++i) {
        marry_data& m = marriages[i];
        if (emptySlot(m.kou_titi) || emptySlot(m.kou_haha)) {
            staging.count(Repair::MarriageWithoutPartners);
            noted(Repair::MarriageWithoutPartners, i);
            continue;
        }
        newSlot[i + 1] = ++kept;
        for (int entry = 0; entry <= LastChildSlot; ++entry) {
            if (!emptySlot(m.kou_kodo[entry]))
                continue;
            staging.count(Repair::ChildOutsideTable);
            noted(Repair::ChildOutsideTable, i);
            presetChild(m, entry);
            m.kodo_yoshirireki[entry] = -1;
        }
    }
    // A history names a marriage by its slot: one the file holds no marriage for would
    // name whichever marriage later takes that slot.
    for (size_t i = 0; i < marriages.size(); ++i) {
        if (newSlot[i + 1] == -1)
            continue;
        for (int16_t& history : marriages[i].kodo_yoshirireki) {
            if (history == -1)
                continue;
            history = static_cast<size_t>(history) <= marriages.size() ? newSlot[static_cast<size_t>(history)] : -1;
            if (history == -1) {
                staging.count(Repair::AdoptionHistory);
                noted(Repair::AdoptionHistory, i);
            }
        }
    }
    if (static_cast<size_t>(kept) == marriages.size())
        return;
    std::vector<marry_data> remaining;
    remaining.reserve(static_cast<size_t>(kept));
    for (size_t i = 0; i < marriages.size(); ++i) {
        if (newSlot[i + 1] != -1)
            remaining.push_back(std::move(marriages[i]));
    }
    marriages = std::move(remaining);
}

} // namespace model::filestore

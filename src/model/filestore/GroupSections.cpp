// The two group sections of the family file: the group list and the lineage-group
// list, writer and reader. The "GrpIdx=" and "Index=" lines are informative only: the
// reader rebuilds both lists from the row contents, in file order.

#include "model/filestore/FileRecords.h"

#include "platform/Conversions.h"

#include <algorithm>

namespace model::filestore {

namespace {

constexpr std::string_view NoPrefix = "";
constexpr std::string_view CountKey = "GrpIdx";
constexpr std::string_view RowKey = "Index";

// "[GrpName_section]": "GrpIdx=" the last index, then per row these 3 lines.
constexpr std::string_view GroupNameKey = "GrpName";  // row line 2, text
constexpr std::string_view GroupShownKey = "Visible"; // row line 3, bool

using T = GrpTitleRec;
// "[KakeGrpName_section]": "GrpIdx=" the last index, then per row "Index=" and these.
constexpr std::string_view TitleNameKey = "TitleName"; // row line 2, text; starts a row on reading
const Field<T> TitleFields[] = {
    {"Leader", Form::Plain, Reading::Strict, &T::Leader},   // row line 3
    {"Offset", Form::Plain, Reading::Strict, &T::Offset},   // row line 4 (Double)
    {"Visible", Form::Bool, Reading::Flag, &T::Visible},    // row line 5
};

// Lineage groups are shifted by -10..10 generations on the chart.
constexpr double MaxOffset = 10;

// A list's last index is a 16-bit count.
constexpr size_t MaxRows = 32767;

// The last row a list's count declares and its rows really hold.
template <class Row>
int lastRow(const std::vector<Row>& rows, int16_t count)
{
    const int stored = static_cast<int>(rows.size()) - 1;
    return std::max(-1, std::min<int>(count, stored));
}

} // namespace

void writeGroupSections(FileText& out, const Tables& tables)
{
    out.line("");
    out.line("[GrpName_section]");
    const int lastGroup = lastRow(tables.GrpNameList, tables.GrpNameCount);
    out.value(NoPrefix, CountKey, Form::Plain, static_cast<int32_t>(lastGroup));
    for (int i = 0; i <= lastGroup; ++i) {
        const GrpNameRec& row = tables.GrpNameList[i];
        out.value(NoPrefix, RowKey, Form::Plain, static_cast<int32_t>(i));
        out.value(NoPrefix, GroupNameKey, Form::Text, row.GrpName);
        out.value(NoPrefix, GroupShownKey, Form::Bool, row.Visible);
    }

    out.line("");
    out.line("[KakeGrpName_section]");
    const int lastTitle = lastRow(tables.GrpTitleList, tables.GrpTitleCount);
    out.value(NoPrefix, CountKey, Form::Plain, static_cast<int32_t>(lastTitle));
    for (int i = 0; i <= lastTitle; ++i) {
        const GrpTitleRec& row = tables.GrpTitleList[i];
        out.value(NoPrefix, RowKey, Form::Plain, static_cast<int32_t>(i));
        out.value(NoPrefix, TitleNameKey, Form::Text, row.TitleName);
        for (const auto& field : TitleFields)
            writeField(out, NoPrefix, field, row);
    }
}

GroupReader::GroupReader(Staging& staging) : m_staging(staging)
{
}

void GroupReader::enter(Section section)
{
    if (section == Section::Groups) {
        m_staging.groupsRead = true;
        m_staging.groups.clear();
        m_rowOfLastName = -1;
    } else if (section == Section::Titles) {
        m_staging.titlesRead = true;
        m_staging.titles.clear();
    }
}

bool GroupReader::apply(Section section, std::string_view key, std::string_view value)
{
    if (keyMatches(key, CountKey) || keyMatches(key, RowKey))
        return true;

    if (section == Section::Groups) {
        if (keyMatches(key, GroupNameKey)) {
            // A name is added once; an empty or repeated name adds no row.
            m_rowOfLastName = -1;
            std::string name;
            readInto(Reading::Text, value, name);
            name = platform::Trim(name);
            if (name.empty())
                return true;
            for (const auto& row : m_staging.groups) {
                if (row.GrpName == name)
                    return true;
            }
            if (m_staging.groups.size() >= MaxRows)
                failLoad("グループが多すぎます");
            m_staging.groups.push_back(GrpNameRec{name, 0, -1});
            m_rowOfLastName = static_cast<int>(m_staging.groups.size()) - 1;
            return true;
        }
        if (keyMatches(key, GroupShownKey)) {
            // Only the row the latest name line created takes the flag: after an empty
            // or repeated name the flag belongs to no row and is skipped.
            if (m_rowOfLastName >= 0)
                readInto(Reading::Flag, value, m_staging.groups[m_rowOfLastName].Visible);
            return true;
        }
        return false;
    }

    if (section == Section::Titles) {
        if (keyMatches(key, TitleNameKey)) {
            if (m_staging.titles.size() >= MaxRows)
                failLoad("系統グループが多すぎます");
            GrpTitleRec row;
            readInto(Reading::Text, value, row.TitleName);
            m_staging.titles.push_back(row);
            return true;
        }
        const int i = findField(TitleFields, key);
        if (i < 0)
            return false;
        if (m_staging.titles.empty())
            failLoad("系統グループの行がありません");
        GrpTitleRec& row = m_staging.titles.back();
        readField(TitleFields[i], row, value);
        // The offset is a number of generations the chart can place; other values
        // from a file are not used. The leader is checked once every person is known
        // (dropLeadersNamingNobody).
        row.Offset = std::clamp(row.Offset, -MaxOffset, MaxOffset);
        return true;
    }
    return false;
}

void dropLeadersNamingNobody(Staging& staging, const NoteRepair& noted)
{
    // The leader is a person of the file, or 0 while none is chosen: a slot the file
    // holds nobody for (the blank partner 1024 included) would make whoever takes it
    // later the leader.
    for (size_t i = 0; i < staging.titles.size(); ++i) {
        int16_t& leader = staging.titles[i].Leader;
        if (leader == 0 || (isPersonSlot(leader) && staging.personSlotRead[static_cast<size_t>(leader)]))
            continue;
        leader = 0;
        staging.count(Repair::GroupLeader);
        noted(Repair::GroupLeader, i);
    }
}

} // namespace model::filestore

#include "model/GroupLists.h"

#include "model/tables.h"
#include "platform/Conversions.h"

namespace model {

namespace {

// The last row the count declares valid. A count set from outside (a family file)
// that points past the stored rows, or below -1, never reaches outside them.
template <typename Row>
int lastValidRow(const std::vector<Row>& rows, int16_t count)
{
    const int stored = static_cast<int>(rows.size()) - 1;
    const int last = count < stored ? count : stored;
    return last < -1 ? -1 : last;
}

template <typename Row>
void removeRow(std::vector<Row>& rows, int16_t& count, int index)
{
    const int last = lastValidRow(rows, count);
    rows.erase(rows.begin() + index);
    rows.resize(static_cast<size_t>(last)); // rows 0..last-1 remain
    count = static_cast<int16_t>(last - 1);
}

} // namespace

void Clear_GrpNameList()
{
    Tables& t = tables();
    t.GrpNameList.clear();
    t.GrpNameCount = -1;
}

int Find_GrpName(const std::string& name)
{
    const std::string trimmed = platform::Trim(name);
    if (trimmed.empty())
        return -2;
    const Tables& t = tables();
    const int last = lastValidRow(t.GrpNameList, t.GrpNameCount);
    for (int i = 0; i <= last; ++i) {
        if (t.GrpNameList[i].GrpName == trimmed)
            return i;
    }
    return -1;
}

int Add_GrpName(const std::string& name)
{
    const std::string trimmed = platform::Trim(name);
    if (trimmed.empty())
        return -2;
    if (Find_GrpName(trimmed) >= 0)
        return 1;
    Tables& t = tables();
    const int last = lastValidRow(t.GrpNameList, t.GrpNameCount);
    t.GrpNameList.resize(static_cast<size_t>(last + 1));
    GrpNameRec row;
    row.GrpName = trimmed;
    row.Work = 0;
    row.Visible = -1;
    t.GrpNameList.push_back(row);
    t.GrpNameCount = static_cast<int16_t>(last + 1);
    return 0;
}

int Del_GrpName(const std::string& name)
{
    const std::string trimmed = platform::Trim(name);
    if (trimmed.empty())
        return -2;
    const int index = Find_GrpName(trimmed);
    if (index < 0)
        return 0;
    Tables& t = tables();
    removeRow(t.GrpNameList, t.GrpNameCount, index);
    return 0;
}

void Purge_GrpNames()
{
    Tables& t = tables();
    int i = 0;
    while (i <= lastValidRow(t.GrpNameList, t.GrpNameCount)) {
        const std::string name = t.GrpNameList[i].GrpName;
        bool carried = false;
        for (int p = 0; p < RecordCount && !carried; ++p)
            carried = t.per_buf[p].InUse == SlotUsed && t.per_buf[p].GrpName == name;
        if (carried)
            ++i;
        else
            removeRow(t.GrpNameList, t.GrpNameCount, i); // the next row moves into i
    }
}

void Clear_GrpTitleList()
{
    Tables& t = tables();
    t.GrpTitleList.clear();
    t.GrpTitleCount = -1;
    t.tab_grp_f = -1;
}

void Add_GrpTitle()
{
    Tables& t = tables();
    const int last = lastValidRow(t.GrpTitleList, t.GrpTitleCount);
    t.GrpTitleList.resize(static_cast<size_t>(last + 1));
    GrpTitleRec row;
    row.TitleName.clear();
    row.Offset = 0;
    row.Visible = -1;
    row.Leader = 0;
    t.GrpTitleList.push_back(row);
    t.GrpTitleCount = static_cast<int16_t>(last + 1);
}

int Del_GrpTitle(int index)
{
    Tables& t = tables();
    if (index < 0 || index > lastValidRow(t.GrpTitleList, t.GrpTitleCount))
        return -1;
    removeRow(t.GrpTitleList, t.GrpTitleCount, index);
    return 0;
}

} // namespace model

#include "document/GroupSave.h"

#include "layout/chart_state.h"
#include "layout/predraw/PreDraw.h"
#include "model/WindowServices.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "model/filestore/MediaBundle.h"
#include "platform/Conversions.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <memory>

namespace model {

namespace {

// The reduced copy of the family that one group save writes.
struct GroupTables {
    GroupTables()
    {
        personMap.fill(-1);
        oldMarriage.fill(-1);
        newMarriage.fill(-1);
    }

    LocalPersons per;                            // slots 1..persons used
    std::array<marry_data, RecordCount> kou;     // slots 1..marriages used
    PersonMap personMap;                         // old person -> new
    std::array<int16_t, RecordCount> oldMarriage; // new marriage -> old
    std::array<int16_t, RecordCount> newMarriage; // old marriage -> new
    int16_t persons = 0;
    int16_t marriages = 0;
};

// The person a temporary copy of the multiple-marriage expansion stands for, else the
// person itself.
int16_t originalOf(int16_t person)
{
    if (!isSlot(person))
        return person;
    const int16_t original = tables().per_buf[person].OrgIdx;
    return isPersonReference(original) ? original : person;
}

void showRefusal(const std::string& message)
{
    platform::MsgBox(message, platform::vbExclamation, GroupSaveTitle);
}

// With lineage-group captions the tabs are reordered: the tab names its tree in tab_buf.
int16_t treeOfTab(int tab)
{
    const layout::ChartState& c = layout::chart();
    if (tables().tab_grp_f != -1 && tab >= 0 && static_cast<size_t>(tab) < c.tab_buf.size()
        && c.tab_buf[static_cast<size_t>(tab)].tree_no != -1)
        return c.tab_buf[static_cast<size_t>(tab)].tree_no;
    return static_cast<int16_t>(tab);
}

void takePerson(GroupTables& group, int16_t person)
{
    Get_PersonListText(group.per, group.personMap, person, group.persons);
}

// Takes the marriage of a cell (once) with its partners as the persons they stand for,
// and every child of it, shown in the tree or not.
void takeMarriage(GroupTables& group, int16_t kou)
{
    if (!isMarriageSlot(kou))
        return;
    const marry_data& m = tables().kou_buf[kou];
    if (group.newMarriage[kou] == -1 && group.marriages < LastSlot) {
        const int16_t n = ++group.marriages;
        marry_data& local = group.kou[n];
        local = m;
        for (int16_t* partner : {&local.kou_titi, &local.kou_haha}) {
            if (*partner != -1 && *partner != BlankPartner)
                *partner = originalOf(*partner);
        }
        group.oldMarriage[n] = kou;
        group.newMarriage[kou] = n;
    }
    for (int s = 0; s <= LastChildSlot; ++s) {
        if (m.kou_kodo[s] != -1)
            takePerson(group, m.kou_kodo[s]);
    }
}

// Rows top to bottom, columns left to right; in a cell person A, person B, then the
// marriage with its children.
void collectTree(GroupTables& group, int16_t tree)
{
    const layout::ChartState& c = layout::chart();
    for (int row = 0; row < layout::GridRows; ++row) {
        const int last = c.cell_last[static_cast<size_t>(row)];
        for (int col = 0; col <= last && layout::isGridCell(row, col); ++col) {
            const layout::cell_rec& cell = c.cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
            if (cell.tree_no == -1 || cell.tree_no != tree)
                continue;
            takePerson(group, cell.per_a);
            takePerson(group, cell.per_b);
            if (cell.kou_no != -1)
                takeMarriage(group, cell.kou_no);
        }
    }
}

// A reference cell keeps its marriage while showing only the child, so a saved marriage
// may have a partner that no cell of the tree shows. The partner is taken after the walk
// (numbered after every person shown) rather than left out, which would save a marriage
// without one of its partners.
void takeMissingPartners(GroupTables& group)
{
    for (int k = 1; k <= group.marriages; ++k) {
        for (const int16_t partner : {group.kou[k].kou_titi, group.kou[k].kou_haha}) {
            if (isUsedPerson(partner) && group.personMap[partner] == -1)
                takePerson(group, partner);
        }
    }
}

// Person references inside the saved records get the new person numbers (-1 for a
// person not taken); the adoption history of a child names a marriage and gets the
// new marriage number (-1 for one not saved).
void renumber(GroupTables& group)
{
    const auto person = [&group](int16_t& p) {
        if (p == -1 || p == BlankPartner)
            return;
        p = isSlot(p) ? group.personMap[p] : int16_t(-1);
    };
    for (int k = 1; k <= group.marriages; ++k) {
        marry_data& m = group.kou[k];
        person(m.kou_titi);
        person(m.kou_haha);
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (m.kou_kodo[s] != -1)
                person(m.kou_kodo[s]);
            int16_t& history = m.kodo_yoshirireki[s];
            if (history > 0)
                history = isSlot(history) ? group.newMarriage[history] : int16_t(-1);
        }
    }
    for (int p = 1; p <= group.persons; ++p) {
        int16_t& source = group.per[p].CopyIdx;
        if (source > 0)
            source = isSlot(source) ? group.personMap[source] : int16_t(-1);
    }
}

// The chart of the saved file needs a start marriage.
void ensureStartMarriage(GroupTables& group)
{
    int firstUsed = -1;
    for (int k = 1; k <= group.marriages; ++k) {
        if (!isUsedMarriage(group.kou[k]))
            continue;
        if (group.kou[k].dsp_start == 1)
            return;
        if (firstUsed == -1)
            firstUsed = k;
    }
    if (firstUsed != -1)
        group.kou[firstUsed].dsp_start = 1;
}

// The reduced tables stand in for the family for the length of one save_file; the
// saved file carries no lineage groups.
bool writeGroup(const GroupTables& group, const std::string& path)
{
    Tables& t = tables();
    layout::Backup_Bufs();
    for (int i = 1; i <= LastSlot; ++i) {
        t.per_buf[i] = group.per[i];
        t.kou_buf[i] = group.kou[i];
    }
    const int16_t titleCount = t.GrpTitleCount;
    const int16_t tabFlag = t.tab_grp_f;
    t.GrpTitleCount = -1;
    t.tab_grp_f = -1;
    // save_file shows its own message when it fails; the open family is unaffected.
    const bool saved = save_file(path);
    t.GrpTitleCount = titleCount;
    t.tab_grp_f = tabFlag;
    layout::Restore_Bufs();
    return saved;
}

// True for a person number that names no record of the table, text then its
// display: "指定無し" for none, "空白" for the blank partner, empty for a number
// outside the table.
bool namesNoRecord(int person, std::string& text)
{
    if (person == -1)
        text = "指定無し";
    else if (person == BlankPartner)
        text = "空白";
    else if (!isSlot(person))
        text.clear();
    else
        return false;
    return true;
}

// The name the save dialog offers for the tree of a tab: the tree's caption as a
// family file, or none when the caption cannot name a file (a character the file
// dialog takes for a pattern or a folder) or names the open family's own file,
// which the group save refuses.
std::string offeredFileName(int tab)
{
    const layout::ChartState& c = layout::chart();
    if (tab < 0 || static_cast<size_t>(tab) >= c.tab_buf.size())
        return {};
    const std::string caption = platform::Trim(c.tab_buf[static_cast<size_t>(tab)].caption);
    if (caption.empty() || caption == "." || caption == ".."
        || caption.find_first_of("\\/:*?\"<>|") != std::string::npos)
        return {};
    const std::string name = kezFileName(caption);
    const std::string& ownFile = tables().Cur_FilePath;
    if (!ownFile.empty() && platform::LCase(name) == platform::LCase(platform::fileNameOf(kezFileName(ownFile))))
        return {};
    return name;
}

} // namespace

std::string Get_PersonText(int person)
{
    std::string text;
    if (namesNoRecord(person, text))
        return text;
    const personal_data& p = tables().per_buf[originalOf(static_cast<int16_t>(person))];
    return p.F_name + " " + p.Name;
}

std::string Get_PersonListText(LocalPersons& persons, PersonMap& map, int16_t& person, int16_t& count)
{
    std::string text;
    if (namesNoRecord(person, text))
        return text;
    person = originalOf(person);
    const personal_data& p = tables().per_buf[person];
    if (map[person] == -1 && count < LastSlot) {
        ++count;
        persons[count] = p;
        map[person] = count;
    }
    return platform::Trim(platform::CStr(person)) + "-" + p.F_name + p.Name;
}

void Save_GrpFile(int tree)
{
    const int beyondTrees = tree - layout::chart().tree_cnt;
    if (beyondTrees == 0) {
        showRefusal(GroupSaveNewTabMessage);
        return;
    }
    if (beyondTrees == 1) {
        showRefusal(GroupSaveAllTabMessage);
        return;
    }

    // The grid refers to the tables as the chart rebuild transformed them; the same
    // transforms give the same slots again.
    const auto group = std::make_unique<GroupTables>();
    layout::Mark_MultiParent();
    layout::Backup_Bufs();
    layout::Hide_Branches();
    const layout::ExpansionShortfall shortfall = layout::Expand_MultiMarry();
    if (!shortfall.empty()) {
        layout::Restore_Bufs();
        showRefusal(std::string(GroupSaveHiddenMarriagesMessage) + "\r\n" + layout::expansionShortfallAdvice(shortfall));
        return;
    }
    collectTree(*group, treeOfTab(tree));
    takeMissingPartners(*group);
    // The real tables are back before any message or dialog is shown.
    layout::Restore_Bufs();

    renumber(*group);
    ensureStartMarriage(*group);
    if (group->persons == 0 || group->marriages == 0) {
        showRefusal(GroupSaveEmptyMessage);
        return;
    }
    const std::string path = windowServices().askSaveAsPath(offeredFileName(tree));
    if (path.empty())
        return;
    // Part of the family written over the file of the family being edited would leave
    // the rest of it only in memory.
    const std::string& ownFile = tables().Cur_FilePath;
    if (!ownFile.empty() && platform::isSameFile(kezFileName(path), kezFileName(ownFile))) {
        showRefusal(GroupSaveOwnFileMessage);
        return;
    }
    // A voice memo or picture of the group the save could not include is named.
    if (writeGroup(*group, path))
        platform::MsgBox(savedFamilyMessage(), platform::vbOKOnly);
}

} // namespace model

#pragma once
// The group list (group names persons carry in GrpName) and the lineage-group list
// (named groups led by one person and shifted by generations on the chart).
// Rows 0..count; count -1 = empty. Names are compared trimmed of ASCII blanks and
// otherwise exactly.

#include <string>

namespace model {

void Clear_GrpNameList();
// Index of the first row holding the trimmed name; -1 none; -2 for an empty name.
int Find_GrpName(const std::string& name);
// Appends the trimmed name (0); 1 when already present; -2 for an empty name.
int Add_GrpName(const std::string& name);
// Removes the row of the trimmed name (later rows move down): 0, also when the name
// is not in the list; -2 for an empty name.
int Del_GrpName(const std::string& name);
// Removes every group name no used person carries.
void Purge_GrpNames();

// Empties the lineage-group list and resets the tab caption flag tab_grp_f to -1.
void Clear_GrpTitleList();
// Appends a row {"" title, shown, leader 0, offset 0}; callers fill it through
// GrpTitleCount.
void Add_GrpTitle();
// Removes row index (later rows move down): 0. Index -1 does nothing (-1); an index
// outside 0..GrpTitleCount is refused (-1) and nothing changes.
int Del_GrpTitle(int index);

} // namespace model

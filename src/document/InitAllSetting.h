#pragma once
// The new-document initialisation: brings the whole program to the state of an empty,
// unsaved family.

namespace model {

// Runs at start-up before anything of the family is touched, for File > New (also when
// Open replaces the family with one it has read) and inside the undo once the snapshot
// has been read; takeOverFamily and load_file rely on it having run.
//
// Afterwards the family is empty (no used person or marriage, empty group lists),
// nothing is selected, the layout grid and the chart elements are gone, the undo
// controls are off and the voice and face work folders hold no files. Document
// settings are back to their new-family defaults except the kept ones (model/settings.h),
// which keep the previous family's values. The tree tabs of the last chart rebuild are
// removed from the main window, so that no tab of the previous family outlives it.
void InitAllSetting();

} // namespace model

#pragma once
// The column chooser CelSet ("表示項目選択"): twenty check boxes, one per column
// of the person editor's grid, decide which columns are shown. "決定" stores the
// choice in DispFactor (a document setting, saved with the family) and applies
// it to the grid; "クリア" clears every box but the two name columns. There is
// no cancel: closing the window by its frame stores nothing.

#include "forms/CheckBox.h"
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Label.h"

namespace entry {

inline constexpr const char* CelSetCaption = "表示項目選択";
inline constexpr const char* NamesMustShowMessage = "名字、名前をチェックして下さい";

} // namespace entry

class CelSet : public forms::Form {
public:
    CelSet();

    forms::ControlArray<forms::Label> Label1{*this, "Label1", {0, 1, 2, 3}};
    forms::ControlArray<forms::CheckBox> Check2{*this, "Check2", {1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                                                  11, 12, 13, 14, 15, 16, 17, 18, 19, 20}};
    forms::CommandButton Command1{*this, "Command1"};
    forms::CommandButton Command2{*this, "Command2"};

    // Applies DispFactor and CelWidth to the person editor's grid.
    void cels();

    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Command1_Click();
    void Command2_Click();

protected:
    void design() override;
};

// The one instance of the window.
CelSet& celset_form();

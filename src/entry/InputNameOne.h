#pragma once
// The quick name input InputNameOne ("名前入力"): a small modal dialog in which
// the user changes a person's family and given name and four flags straight
// from the chart. It changes no record itself: "決定" checks the names, takes
// the undo snapshot, marks the family changed and leaves its results in
// entryState() (INNO_Result, INNO_FName, INNO_Name, INNO_Opt); the main window
// stores them into the person when the user confirmed.

#include "forms/CheckBox.h"
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/TextBox.h"

#include <array>
#include <string>

namespace entry {

inline constexpr const char* InputNameCaption = "名前入力";

} // namespace entry

class InputNameOne : public forms::Form {
public:
    InputNameOne();

    forms::TextBox Text1{*this, "Text1"};
    forms::TextBox Text2{*this, "Text2"};
    forms::CommandButton Command1{*this, "Command1"};
    forms::CommandButton Command2{*this, "Command2"};
    forms::ControlArray<forms::CheckBox> chkINNO{*this, "chkINNO", {0, 1, 2, 3}};

    // The caller's side: loads the dialog with the person's names and marks
    // (category, death frame, frame, CSV output, each ticked or not), sets
    // INNO_Result to 0 and shows it modally. True when the user confirmed; the
    // results are left in entryState().
    bool ask(const std::string& familyName, const std::string& givenName, const std::array<bool, 4>& marks);

    void Command1_Click();
    void Command2_Click();
    void Text1_GotFocus();
    void Text2_GotFocus();

protected:
    void design() override;
};

// The one instance of the window.
InputNameOne& inputnameone_form();

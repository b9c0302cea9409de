#pragma once
// The child dialog `InfoChld` ("子供情報画面"): one child slot of one marriage
// (the parents, the child, whose child it is, the comment, the main-line mark and
// the adoption history). It commits changes of that slot, removes the child from
// the marriage and moves the child among its siblings.
//
// The main window and the relationship editor show it (not modal) and then call
// edit_ch_data with the selected marriage Sel_ChildKou and slot Sel_ChildSlot;
// the main window's child-move buttons call ChMoveJobMain directly. edit_ch_data
// fills every control again and captures the marriage, the slot and the child it
// shows: the dialog is modeless, so the selection may move on while it is open,
// and its buttons act on the child it shows, not on whatever is selected by then.
// A slot that no longer holds that child is reported and left alone. Every change
// takes the undo snapshot first and ends with a chart rebuild.

#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"

#include <string>

namespace relations {

inline constexpr const char* InfoChldCaption = "子供情報画面";
inline constexpr const char* ChildMarriageMissingMessage = "この結婚関係はデータ上に存在していません";
inline constexpr const char* AncestorChildMessage = " :  この子供は、家族の先祖として使用されている可能性があります";
inline constexpr const char* ChildMissingFirstMessage = "この子供はデータ上に存在しません。";
inline constexpr const char* ChildMissingMessage = "この子供はデータ上に存在しません";

} // namespace relations

class InfoChldForm : public forms::Form {
public:
    InfoChldForm();

    // --- Public operations ---

    // Moves the child selected on the chart (Sel_ChildKou, Sel_ChildSlot): 0 to the
    // first place, 1 one place to the left, 2 one to the right, 3 to the last place.
    void ChMoveJobMain(int direction);
    // Fills the dialog from child slot `slot` of marriage `kou`; the commit button
    // is disabled when commitFlag is 1, the delete button when deleteFlag is 1.
    void edit_ch_data(int kou, int slot, int commitFlag, int deleteFlag);

    // True while the shown dialog's fields of a child (whose child, comment,
    // main-line mark, adoption history) differ from what edit_ch_data filled in.
    bool hasUnregisteredInput() const;
    // Before the dialog is closed or filled with another child: input it holds
    // unregistered asks "入力内容が登録されていません。登録しますか？". はい registers
    // it through 登録 (with its checks), いいえ drops it, キャンセル keeps it. False
    // when the user stays with it: the caller then changes nothing. The chart's and
    // the editors' selection the caller set up for the next child survives a
    // registration.
    bool settleUnregisteredInput();
    // The person was freed: a dialog that shows him as its child shows nobody and
    // hides (what it holds could no longer be registered for anyone).
    void forgetPerson(int person);
    // The family was replaced (New, a load, a restore; the caller settled the input
    // the dialog held): it shows its marriage's entry as it now is, or shows nobody
    // and hides when the marriage, or its slot's child, is no longer there.
    void showCurrentFamily();

    // --- Event handlers ---

    void CMDFUNC_Click(int Index);
    void Command1_Click(int Index);
    void CMDEND_Click();
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;

    // --- Controls ---

    // 0 "親情報", 1 "子供", 2 "どちらの子供", 3 "表示位置", 4 "コメント".
    forms::ControlArray<forms::Label> Label1{*this, "Label1", {0, 1, 2, 3, 4}};
    // 0 the parents, 1 the child's name, 2 the comment.
    forms::ControlArray<forms::TextBox> Text1{*this, "Text1", {0, 1, 2}};
    // Whose child: 0 "父", 1 "母", 2 "養子" (kou_kodo_stat 0, 1, 2).
    forms::ControlArray<forms::OptionButton> Option1{*this, "Option1", {0, 1, 2}};
    forms::CheckBox Check1{*this, "Check1"};
    forms::Label Label2{*this, "Label2"};
    forms::ComboBox Combo1{*this, "Combo1"};
    // "左端", "左", "右", "右端".
    forms::ControlArray<forms::CommandButton> Command1{*this, "Command1", {0, 1, 2, 3}};
    // 0 "登録", 1 "削除".
    forms::ControlArray<forms::CommandButton> CMDFUNC{*this, "CMDFUNC", {0, 1}};
    forms::CommandButton CMDEND{*this, "CMDEND"};

protected:
    void design() override;

private:
    // True while the captured slot still holds the captured child.
    bool shownChildStands() const;
    // Shows nobody and hides.
    void letGoOfChild();
    void moveChild(int kou, int slot, int direction);
    void fillParents(int kou);
    void fillAdoptionHistory(int kou, int slot, int child);
    // False when 登録 refused before it changed anything.
    bool commitSlot();
    void deleteChild();
    // Relationship editor, chart and selection after a commit or a delete.
    void finishChange();

    // The child slot the dialog shows, captured by edit_ch_data; -1 none.
    int m_kou = -1;
    int m_slot = -1;
    int m_child = -1;

    // What edit_ch_data filled into the fields, compared to tell unregistered input.
    struct ShownFields {
        int status = -1;
        std::string comment;
        int mark = 0;
        int history = -1;
        bool operator==(const ShownFields& other) const
        {
            return status == other.status && comment == other.comment && mark == other.mark &&
                   history == other.history;
        }
    };
    ShownFields shownFields() const;
    ShownFields m_shownFields;
};

// The one child dialog (the window named `InfoChld`).
InfoChldForm& infochld_form();

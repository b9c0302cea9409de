#pragma once
// The easy relation builder `EasyCtl` ("関係追加画面"): adds one relation at a time
// without the full relationship editor. The user picks a base person on the chart
// (and, through a couple mark, a base marriage), chooses the person to add (a new
// man, a new woman, the blank partner or a listed person) and the relation
// (parent, marriage, child, bereavement, divorce, adoption), and presses "登録".
//
// The builder fills its kou_work record and hands it to regist_kou_data, which
// checks it, takes the undo snapshot and stores the marriage and its children;
// the builder shows the verdict and refreshes the chart and the editor's lists.
// A person created for a registration that is refused is freed again.
//
// The main window shows it as a topmost window, passes chart clicks on with
// SetMotoNin and SetMotoKou and asks for Easy_Build_List whenever the persons
// change. There is one instance, easyctl_form().

#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"

#include "model/MarriageRegistration.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace relations {

inline constexpr const char* EasyCtlCaption = "関係追加画面";
inline constexpr const char* EasyErrorTitle = "関係追加エラー";
inline constexpr const char* NoBasePersonText = "未設定";
inline constexpr const char* MissingBaseMessage = "関係を追加したい元の人を、家系図上で指定して下さい";
inline constexpr const char* MissingAddedMessage =
    "追加したい人を、「新規男」「新規女」「空白」「リストから」で指定して下さい";
inline constexpr const char* MissingRelationMessage = "追加したい関係を選択して下さい";
inline constexpr const char* BlankAsChildMessage = "空白は子供、養子には使用出来ません";
inline constexpr const char* HasAncestorsMessage = "既に先祖がいます";
inline constexpr const char* AlreadyMarriedMessage = "どちらかが通常の結婚をしています";
inline constexpr const char* PersonTableFullMessage = "これ以上個人情報を登録出来ません";

// Background of the chosen relation label (&H00BBGGRR: red 255, green 128, blue 128).
constexpr long ChosenRelationColour = 0x8080FF;
constexpr long RelationLabelColour = 0xFFFFFF;

// Person kinds of Option1 and relations of Label1, by index.
namespace EasyPerson {
constexpr int FromList = 0;
constexpr int NewMan = 1;
constexpr int NewWoman = 2;
constexpr int Blank = 3;
} // namespace EasyPerson
namespace EasyRelation {
constexpr int Parent = 0;
constexpr int Marriage = 1;
constexpr int Child = 2;
constexpr int Bereaved = 3;
constexpr int Divorced = 4;
constexpr int Adopted = 5;
} // namespace EasyRelation

} // namespace relations

class EasyCtlForm : public forms::Form {
public:
    EasyCtlForm();

    // --- Public operations, in the order of the window's interface ---

    // AddNin and AddSex from the checked person kind (-1 when none is checked, or
    // "リストから" without a chosen entry).
    void CheckOption1();
    // The added person becomes a child (adopt 0) or an adopted child (adopt 1) of
    // the base person's marriage, or of a new family of the base person.
    void Make_Child(int adopt);
    // The added person becomes a parent of the base person.
    void Make_Senzo();
    // A new family of AddNin with the blank partner.
    void Make_Sinki();
    // A normal marriage ("通常") of the base person and the added person.
    void Make_Marry();
    // A past relation ("死別" or "離婚", kou_mode 1) of the two.
    void Make_Marry_X(const std::string& state);
    // Every relation label back to white.
    void Clear_Mode();
    // InitGamen_Main with no person and no marriage.
    void InitGamen();
    // Resets the window; the base person stays while Check2 is ticked, the family
    // name while Check1 is ticked. A person or marriage other than -1 becomes the base.
    void InitGamen_Main(int person, int kou);
    // Rebuilds the list of existing persons (Combo1) from the person table.
    void Easy_Build_List();
    // The base person (-1 and anything that is no person slot leave it as it is).
    void SetMotoNin(int person);
    // The base marriage and, from its partners, the base person (-1 and anything
    // that is no marriage in use leave both as they are).
    void SetMotoKou(int kou);

    // The person was freed: he is no longer the base person (the base marriage
    // goes with him) nor a line of the person list.
    void forgetPerson(int person);
    // The family was replaced (New, a load, a restore): a base person the family no
    // longer holds as shown is let go in the same way.
    void showCurrentFamily();

    // True while the typed names differ from what the window was last reset to.
    bool hasUnregisteredInput() const;
    // Before the window closes: typed names ask "入力内容が登録されていません。登録しますか？".
    // はい registers through 登録 (with its checks), いいえ drops them, キャンセル keeps
    // them. False when the user stays with them.
    bool settleUnregisteredInput();

    // --- Event handlers ---

    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Combo1_Click();
    void Label1_Click(int Index);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // --- Form variables ---

    int16_t MotoNin = -1;   // base person, -1 none
    int16_t MotoKou = -1;   // base marriage, -1 none
    int16_t AddNin = -1;    // person to add: -1 none, 0 a new person, 1024 the blank partner
    int16_t AddSex = -1;    // 0 male, 1 female, -1 blank partner or none
    int16_t RelMode = -1;   // the chosen relation (Label1 index), -1 none
    // The record the operations fill; its verdict is read after each registration.
    model::kou_work KouWork;

    // --- Controls ---

    forms::Label Label2{*this, "Label2"};
    forms::Label Label3{*this, "Label3"};
    // 0 "リストから", 1 "新規男", 2 "新規女", 3 "空白".
    forms::ControlArray<forms::OptionButton> Option1{*this, "Option1", {0, 1, 2, 3}};
    forms::ComboBox Combo1{*this, "Combo1"};
    forms::Label Label4{*this, "Label4"};
    forms::TextBox Text1{*this, "Text1"};
    forms::Label Label5{*this, "Label5"};
    forms::TextBox Text2{*this, "Text2"};
    // 0 "親", 1 "結婚", 2 "子供", 3 "死別", 4 "離婚", 5 "養子".
    forms::ControlArray<forms::Label> Label1{*this, "Label1", {0, 1, 2, 3, 4, 5}};
    forms::CheckBox Check1{*this, "Check1"};
    forms::CheckBox Check2{*this, "Check2"};
    forms::CommandButton Command1{*this, "Command1"};
    forms::CommandButton Command3{*this, "Command3"};
    forms::CommandButton Command2{*this, "Command2"};

protected:
    void design() override;

private:
    enum class Operation { NewFamily, ChosenRelation };
    // The missing inputs of a registration, one line each, or "" when none is missing.
    std::string missingInputs() const;
    // Creates the placeholder person of "新規男" / "新規女" with the typed names,
    // keeping the family as it was before it in `before`; false (with a message,
    // nothing created) when that is not possible.
    [[nodiscard]] bool createNewPerson(std::unique_ptr<model::Tables>& before);
    // Writes the undo snapshot of `family` (the family before this command) rather
    // than of the tables as they are now.
    void saveUndoOf(model::Tables& family);
    void runOperation(Operation operation);
    // Frees a person created for a refused registration.
    void freeCreatedPerson();
    // Chart, lists and open windows after a registration reached the table.
    void refreshAfterRegistration();
    // The marriage a child of the base person goes to, -1 none.
    int childMarriage();
    // Partners, line flag and title of a marriage of the base person and AddNin.
    void fillCouple();
    // Sets KouIdx to the blank-partner marriage of either partner to reuse (the
    // wife's wins), or -1. When either partner has a normal marriage with a real
    // partner, Refuse refuses the registration (false) and StoreBeside stores a new
    // record beside it.
    enum class NormalMarriage { Refuse, StoreBeside };
    bool chooseReusedMarriage(NormalMarriage normal);
    void refuse(const std::string& message);
    // True while the base slot still holds the person the window names as its base.
    // A person freed meanwhile has been taken out already (forgetPerson); after the
    // whole family was replaced (an undo, a load) the slot must hold a person of the
    // same name and sex as when he was picked.
    bool baseStands() const;
    // The same for a line of the person list, against its text.
    bool listLineStands(int line) const;
    // True while the base marriage's slot still holds the marriage picked: in use,
    // with the same partners (by slot, and after the whole family was replaced by
    // name as well).
    bool baseMarriageStands() const;
    // What identifies a marriage to the window: its partners' slots and names.
    struct Couple {
        std::array<int16_t, 2> partners{-1, -1};
        std::array<std::string, 2> names;
    };
    static Couple couple(const model::marry_data& marriage);
    // No base person nor base marriage.
    void clearBase();

    // The person created for the registration under way, -1 none.
    int16_t m_createdPerson = -1;
    // The names InitGamen_Main left (a kept family name, or nothing).
    std::string m_leftNames[2];
    // The base person's sex when he was picked (his name is the caption of Label3),
    // and the person table's clears (model::personTableClears) then and when the
    // person list was built.
    int16_t m_baseSex = -1;
    uint64_t m_baseClears = 0;
    uint64_t m_listClears = 0;
    // The base marriage's couple when it was picked, and the person table's clears then.
    Couple m_baseCouple;
    uint64_t m_baseCoupleClears = 0;
};

// The one easy relation builder (the window named `EasyCtl`).
EasyCtlForm& easyctl_form();

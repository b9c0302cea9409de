#pragma once
// The category window `CategMake` ("カテゴリボックスの作成"). A category is a
// labelled box on the chart that groups persons under a heading: a category person
// (family name "カテゴリ", given name and relationship label the category's name,
// CategoryF 1, a display block showing only the name) married to the blank
// partner in a marriage with the state "カテゴリ"; the persons placed as children
// of that marriage appear below the box. The window creates a category below the
// person selected on the chart or as a group of its own.
//
// Everything a category needs (a person slot, its marriages, a child slot below
// the selected person) is checked before the first change, so a refused request
// leaves the family as it was. The window is modeless and holds nothing between
// uses; there is one instance, categmake_form().

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/TextBox.h"

#include <string>

namespace relations {

inline constexpr const char* CategMakeCaption = "カテゴリボックスの作成";
inline constexpr const char* CategoryTitle = "カテゴリ追加";
inline constexpr const char* CategoryFamilyName = "カテゴリ";
inline constexpr const char* CategoryState = "カテゴリ";
inline constexpr const char* AutomaticMarriageTitle = "自動追加";
inline constexpr const char* NoPersonChosenMessage = "家系図上の追加したい人を選択して下さい";
inline constexpr const char* CategoryPersonsFullMessage = "これ以上個人情報を登録出来ません";
inline constexpr const char* CategoryMarriagesFullMessage = "登録件数の限界です。結婚関係は 1024組迄登録出来ます";

} // namespace relations

class CategMakeForm : public forms::Form {
public:
    CategMakeForm();

    // --- Public operation ---

    // Writes the category display block over the person's Disp: only the former
    // name (item 1) and the relationship label (item 9, which holds the category
    // name) are shown, item 1 first, in a frame.
    void SetCategory_Waku(int person);

    // --- Event handlers ---

    void Form_Load() override;
    void txtTitle_GotFocus();
    void cmdAddFocus_Click();
    void cmdAddNew_Click();
    void cmdCancel_Click();

    // --- Controls ---

    forms::Label Label1{*this, "Label1"};
    forms::TextBox txtTitle{*this, "txtTitle"};
    forms::CommandButton cmdAddFocus{*this, "cmdAddFocus"};
    forms::CommandButton cmdAddNew{*this, "cmdAddNew"};
    forms::CommandButton cmdCancel{*this, "cmdCancel"};

protected:
    void design() override;

private:
    // The category name typed, trimmed; "" (after a message where one is due) when
    // nothing can be created from it.
    std::string acceptedName();
    // Creates the category person and its marriage; when parent is a marriage, the
    // person also becomes a child of it. Room for all of it has been checked.
    void createCategory(const std::string& name, int parent);
};

// The one category window (the window named `CategMake`).
CategMakeForm& categmake_form();

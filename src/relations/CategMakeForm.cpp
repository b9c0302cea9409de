#include "relations/CategMakeForm.h"

#include "mainwindow/OtherWindows.h"
#include "model/run_state.h"
#include "relations/CtrlForm.h"

#include "drawing/ChartRebuild.h"
#include "model/ChildSlots.h"
#include "model/DispStat.h"
#include "model/Lookups.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/SavableText.h"
#include "model/WindowServices.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <array>
#include <utility>

namespace {

using model::isUsedMarriage;
using model::isUsedPerson;
using model::person;
using model::tables;

constexpr int CategoryStyle = platform::vbOKOnly + platform::vbExclamation;

// The slots Add_NewPerson and set_kou_buf could still take.
bool hasFreePersonSlot()
{
    for (int i = 1; i <= model::LastPersonSlot; ++i) {
        if (person(i).InUse != model::SlotUsed)
            return true;
    }
    return false;
}

int freeMarriageSlots()
{
    int free = 0;
    for (int i = 1; i <= model::LastSlot; ++i)
        free += model::isUsedMarriage(i) ? 0 : 1;
    return free;
}

bool hasFreeChildSlot(int kou)
{
    const model::marry_data& k = tables().kou_buf[static_cast<size_t>(kou)];
    for (int s = 0; s <= model::LastChildSlot; ++s) {
        if (k.kou_kodo[static_cast<size_t>(s)] == -1)
            return true;
    }
    return false;
}

// Refuses (with its message) when the tables cannot take the category person, the
// given number of marriages and, for a parent marriage, one more child.
bool roomForCategory(int marriages, int parent)
{
    const char* refusal = nullptr;
    if (!hasFreePersonSlot())
        refusal = relations::CategoryPersonsFullMessage;
    else if (freeMarriageSlots() < marriages)
        refusal = relations::CategoryMarriagesFullMessage;
    else if (parent != -1 && !hasFreeChildSlot(parent))
        refusal = model::ChildSlotsFullMessage;
    if (!refusal)
        return true;
    platform::MsgBox(refusal, CategoryStyle, relations::CategoryTitle);
    return false;
}

// The last used marriage of exactly this husband and wife, -1 none.
int lastMarriageOf(int husband, int wife)
{
    for (int i = model::LastSlot; i >= 1; --i) {
        const model::marry_data& k = tables().kou_buf[static_cast<size_t>(i)];
        if (model::isUsedMarriage(k) && k.kou_titi == husband && k.kou_haha == wife)
            return i;
    }
    return -1;
}

// Display items 0..10: only 1 (former name) and 9 (relationship label) shown.
constexpr std::array<model::DispItemDefaults, model::DispItemCount> CategoryItems{{
    {0, 2, 0, 50.0},
    {-1, 0, 1, 20.0},
    {0, 4, 0, 20.0},
    {0, 5, 0, 20.0},
    {0, 6, 0, 20.0},
    {0, 7, 2, 20.0},
    {0, 8, 2, 20.0},
    {0, 9, 2, 20.0},
    {0, 10, 1, 20.0},
    {-1, 1, 0, 50.0},
    {0, 3, 0, 20.0},
}};

} // namespace

CategMakeForm::CategMakeForm() : Form("CategMake")
{
    txtTitle.onGotFocus = [this] { txtTitle_GotFocus(); };
    cmdAddFocus.onClick = [this] { cmdAddFocus_Click(); };
    cmdAddNew.onClick = [this] { cmdAddNew_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
}

CategMakeForm& categmake_form()
{
    static CategMakeForm instance;
    return instance;
}

void CategMakeForm::design()
{
    setCaption(relations::CategMakeCaption);
    setFontName("ＭＳ Ｐゴシック");
    setFontSize(9);
    move(0, 0, 5280, 2700);

    Label1.move(120, 150, 1200, 255);
    Label1.setCaption("カテゴリ名称");
    txtTitle.move(1380, 120, 3600, 315);
    cmdAddFocus.move(120, 600, 4860, 420);
    cmdAddFocus.setCaption("現在選択されている人の下に追加");
    cmdAddNew.move(120, 1140, 4860, 420);
    cmdAddNew.setCaption("新規グループに追加");
    cmdCancel.move(3480, 1680, 1500, 420);
    cmdCancel.setCaption("戻る");
}

void CategMakeForm::Form_Load()
{
    txtTitle.setIMEMode(forms::vbIMEHiragana);
}

void CategMakeForm::txtTitle_GotFocus()
{
    txtTitle.setIMEMode(forms::vbIMEHiragana);
}

void CategMakeForm::cmdCancel_Click()
{
    unload();
}

void CategMakeForm::SetCategory_Waku(int slot)
{
    if (!model::isSlot(slot))
        return;
    person(slot).Disp = model::makeDispStat(CategoryItems);
}

std::string CategMakeForm::acceptedName()
{
    const std::string name = platform::Trim(txtTitle.text());
    if (name.empty() || !model::acceptSavableText(name, relations::CategoryTitle))
        return {};
    return name;
}

void CategMakeForm::cmdAddFocus_Click()
{
    const int chosen = model::runState().Cur_PerIdx;
    if (chosen == -1 || !isUsedPerson(chosen)) {
        platform::MsgBox(relations::NoPersonChosenMessage, CategoryStyle, relations::CategoryTitle);
        return;
    }
    // An empty name creates nothing at all, not even the parent marriage below.
    const std::string name = acceptedName();
    if (name.empty())
        return;

    // Below a category hangs under that category's own marriage; below a person,
    // under the person's family with the blank partner, made when there is none.
    int parent = -1;
    int husband = chosen;
    int wife = model::BlankPartner;
    if (person(chosen).CategoryF == 1) {
        parent = model::Find_PersonMarry(chosen);
        if (!isUsedMarriage(parent))
            parent = -1;
    } else {
        if (person(chosen).Sex != 0)
            std::swap(husband, wife);
        parent = lastMarriageOf(husband, wife);
    }
    const bool makeParent = person(chosen).CategoryF != 1 && parent == -1;
    if (!roomForCategory(makeParent ? 2 : 1, parent))
        return;

    // The new category person closes the person editor: its input is settled first.
    if (!mainwindow::settlePersonEditorFirst())
        return;
    // The snapshot comes first, so an undo also takes back the automatic marriage.
    model::windowServices().saveUndo();
    if (makeParent) {
        parent = model::set_kou_buf(-1, "通常", 0, 0, husband, wife, 1, relations::AutomaticMarriageTitle, 0);
        if (parent < 0)
            parent = -1;
    }
    createCategory(name, parent);
}

void CategMakeForm::cmdAddNew_Click()
{
    const std::string name = acceptedName();
    if (name.empty() || !roomForCategory(1, -1))
        return;
    if (!mainwindow::settlePersonEditorFirst())
        return;
    model::windowServices().saveUndo();
    tables().Data_Changed = 1;
    createCategory(name, -1);
}

void CategMakeForm::createCategory(const std::string& name, int parent)
{
    model::Tables& t = tables();
    const int category = model::Add_NewPerson(-1, name, relations::CategoryFamilyName, 0);
    if (category < 0)
        return;
    person(category).Zokugara = name;
    person(category).CategoryF = 1;
    SetCategory_Waku(category);
    // The editor follows only while it is loaded: loading it just for this would
    // reset the marriage it shows, and it is filled afresh when opened.
    const bool editorLoaded = ctrl_form().isLoaded();
    if (editorLoaded)
        ctrl_form().Build_List();

    if (parent != -1) {
        model::kodo_data& work = t.KodoWork;
        work.KouIdx = static_cast<int16_t>(parent);
        work.KodoIdx = -1;
        work.kou_kodo = static_cast<int16_t>(category);
        work.kou_kodo_stat = 0;
        work.kou_kodo_comment.clear();
        work.kodo_visible = 1;
        // The scratch record may still hold the main-line mark of an earlier operation.
        work.kodo_honsuji = -1;
        t.Sel_ChildSlot = static_cast<int16_t>(model::Add_Kodo(work));
    }
    (void)model::set_kou_buf(-1, relations::CategoryState, 0, 0, category, model::BlankPartner, 1, name, 0);

    if (editorLoaded)
        ctrl_form().Build_list_kou();
    drawing::Refresh_TabDisp();
    txtTitle.setText("");
    t.Data_Changed = 1;
    unload();
}

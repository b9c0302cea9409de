#include "relations/EasyCtlForm.h"

#include "forms/UnregisteredInput.h"

#include "mainwindow/OtherWindows.h"
#include "model/run_state.h"
#include "relations/CtrlForm.h"
#include "relations/RelationRequests.h"

#include "drawing/ChartRebuild.h"
#include "layout/chart_state.h"
#include "layout/predraw/PreDraw.h"
#include "model/Lookups.h"
#include "model/PersonTable.h"
#include "model/SavableText.h"
#include "model/WindowServices.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <memory>

namespace {

using model::isUsedMarriage;
using model::isUsedPerson;
using model::person;
using model::tables;

// The family name a new family's title is made of; nothing for a number that is no person slot.
std::string familyName(int slot)
{
    return model::isSlot(slot) ? person(slot).F_name : std::string();
}

// How the window names a person: the base person's caption, and after the sex a
// line of the person list.
std::string shownName(const model::personal_data& p)
{
    return p.F_name + " " + p.Name;
}

std::string listLine(const model::personal_data& p)
{
    return std::string(p.Sex != 0 ? "女:" : "男:") + shownName(p);
}

// The name of a marriage's partner as a window shows it, "" for the blank partner or
// an empty side.
std::string partnerName(int slot)
{
    return isUsedPerson(slot) ? shownName(person(slot)) : std::string();
}

} // namespace

EasyCtlForm::Couple EasyCtlForm::couple(const model::marry_data& k)
{
    return Couple{{k.kou_titi, k.kou_haha}, {partnerName(k.kou_titi), partnerName(k.kou_haha)}};
}

EasyCtlForm::EasyCtlForm() : Form("EasyCtl")
{
    Combo1.onClick = [this] { Combo1_Click(); };
    Label1.onClick = [this](int index) { Label1_Click(index); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
}

EasyCtlForm& easyctl_form()
{
    static EasyCtlForm instance;
    return instance;
}

// ---------------------------------------------------------------- design

void EasyCtlForm::design()
{
    setCaption(relations::EasyCtlCaption);
    setFontName("ＭＳ Ｐゴシック");
    setFontSize(9);
    move(0, 0, 5520, 4500);

    Label2.move(120, 120, 3000, 255);
    Label2.setCaption("関係追加対象人物");
    Label3.move(120, 420, 5160, 315);
    Label3.setBorderStyle(1);
    Label3.setCaption(relations::NoBasePersonText);

    const char* kinds[] = {"リストから", "新規男", "新規女", "空白"};
    for (int i = 0; i < 4; ++i) {
        Option1[i].move(120 + i * 1300, 840, 1240, 300);
        Option1[i].setCaption(kinds[i]);
    }
    Combo1.move(120, 1200, 5160, 300);
    Combo1.setStyle(forms::vbComboDropdownList);

    Label4.move(120, 1650, 600, 255);
    Label4.setCaption("名字");
    Text1.move(720, 1620, 1920, 315);
    Label5.move(2760, 1650, 600, 255);
    Label5.setCaption("名前");
    Text2.move(3360, 1620, 1920, 315);

    const char* relationCaptions[] = {"親", "結婚", "子供", "死別", "離婚", "養子"};
    for (int i = 0; i < 6; ++i) {
        Label1[i].move(120 + i * 860, 2100, 800, 375);
        Label1[i].setCaption(relationCaptions[i]);
        Label1[i].setAlignment(forms::vbCenter);
        Label1[i].setBorderStyle(1);
        Label1[i].setBackColor(relations::RelationLabelColour);
    }

    Check1.move(120, 2640, 5160, 300);
    Check1.setCaption("登録後、名字を消さない");
    Check2.move(120, 2970, 5160, 300);
    Check2.setCaption("登録後、対象人物を消さない");

    Command1.move(120, 3420, 1560, 420);
    Command1.setCaption("登録");
    Command3.move(1920, 3420, 1560, 420);
    Command3.setCaption("入力クリア");
    Command2.move(3720, 3420, 1560, 420);
    Command2.setCaption("戻る");
}

void EasyCtlForm::Form_Load()
{
    const model::RunState& run = model::runState();
    InitGamen_Main(run.Sel_Person, run.KouNum);
}

// ---------------------------------------------------------------- base person, inputs

void EasyCtlForm::SetMotoNin(int slot)
{
    // Only a person of the family can be a base: a relation to an empty slot would
    // leave a marriage naming nobody.
    if (slot == -1 || !isUsedPerson(slot))
        return;
    MotoNin = static_cast<int16_t>(slot);
    m_baseSex = person(slot).Sex;
    m_baseClears = model::personTableClears();
    Label3.setCaption(shownName(person(slot)));
}

bool EasyCtlForm::baseStands() const
{
    if (!isUsedPerson(MotoNin))
        return false;
    return m_baseClears == model::personTableClears() ||
           (person(MotoNin).Sex == m_baseSex && Label3.caption() == shownName(person(MotoNin)));
}

bool EasyCtlForm::baseMarriageStands() const
{
    if (!isUsedMarriage(MotoKou))
        return false;
    const Couple now = couple(tables().kou_buf[static_cast<size_t>(MotoKou)]);
    if (now.partners != m_baseCouple.partners)
        return false;
    return m_baseCoupleClears == model::personTableClears() || now.names == m_baseCouple.names;
}

bool EasyCtlForm::listLineStands(int line) const
{
    const int listed = Combo1.itemData(line);
    if (!isUsedPerson(listed))
        return false;
    return m_listClears == model::personTableClears() || Combo1.list(line) == listLine(person(listed));
}

void EasyCtlForm::clearBase()
{
    MotoNin = -1;
    MotoKou = -1;
    m_baseCouple = Couple();
    m_baseSex = -1;
    Label3.setCaption(relations::NoBasePersonText);
}

void EasyCtlForm::showCurrentFamily()
{
    if (isLoaded() && MotoNin != -1 && !baseStands())
        clearBase();
}

void EasyCtlForm::forgetPerson(int slot)
{
    if (!isLoaded())
        return;
    if (MotoNin != -1 && MotoNin == slot)
        clearBase();
    for (int line = Combo1.listCount() - 1; line >= 0; --line) {
        if (Combo1.itemData(line) == slot)
            Combo1.removeItem(line);
    }
}

void EasyCtlForm::SetMotoKou(int kou)
{
    if (kou == -1 || !isUsedMarriage(kou))
        return;
    MotoKou = static_cast<int16_t>(kou);
    const model::marry_data& k = tables().kou_buf[static_cast<size_t>(kou)];
    m_baseCouple = couple(k);
    m_baseCoupleClears = model::personTableClears();
    // The husband unless he is blank (or missing); two blank sides name nobody.
    const int blankSides = (model::isPersonSlot(k.kou_titi) ? 0 : 1) + (model::isPersonSlot(k.kou_haha) ? 0 : 2);
    const int base = blankSides == 1 ? k.kou_haha : blankSides == 3 ? -1 : k.kou_titi;
    SetMotoNin(base);
}

void EasyCtlForm::Easy_Build_List()
{
    m_listClears = model::personTableClears();
    Combo1.clear();
    for (int i = 1; i <= model::LastSlot; ++i) {
        const model::personal_data& p = person(i);
        if (p.InUse != model::SlotUsed)
            continue;
        Combo1.addItem(listLine(p));
        Combo1.setItemData(Combo1.newIndex(), i);
    }
}

void EasyCtlForm::CheckOption1()
{
    AddNin = -1;
    AddSex = -1;
    for (int i : Option1.indexes()) {
        if (!Option1[i].value())
            continue;
        switch (i) {
        case relations::EasyPerson::FromList: {
            const int line = Combo1.listIndex();
            // A list older than the person table may name a person since deleted,
            // whose slot another person may have taken: the line must still name him.
            if (line >= 0 && listLineStands(line)) {
                AddNin = static_cast<int16_t>(Combo1.itemData(line));
                AddSex = person(AddNin).Sex;
            }
            break;
        }
        case relations::EasyPerson::NewMan:
            AddNin = 0;
            AddSex = 0;
            break;
        case relations::EasyPerson::NewWoman:
            AddNin = 0;
            AddSex = 1;
            break;
        case relations::EasyPerson::Blank:
            AddNin = model::BlankPartner;
            AddSex = -1;
            break;
        default:
            break;
        }
    }
}

void EasyCtlForm::Clear_Mode()
{
    for (int i : Label1.indexes())
        Label1[i].setBackColor(relations::RelationLabelColour);
}

void EasyCtlForm::InitGamen()
{
    InitGamen_Main(-1, -1);
}

void EasyCtlForm::InitGamen_Main(int slot, int kou)
{
    if (Check2.value() != forms::vbChecked)
        clearBase();
    if (slot != -1)
        SetMotoNin(slot);
    if (kou != -1)
        SetMotoKou(kou);
    Easy_Build_List();
    for (int i : Option1.indexes())
        Option1[i].setValue(false);
    AddNin = -1;
    AddSex = -1;
    if (Check1.value() != forms::vbChecked)
        Text1.setText("");
    Text2.setText("");
    Clear_Mode();
    RelMode = -1;
    m_leftNames[0] = Text1.text();
    m_leftNames[1] = Text2.text();
}

bool EasyCtlForm::hasUnregisteredInput() const
{
    return isLoaded() && (Text1.text() != m_leftNames[0] || Text2.text() != m_leftNames[1]);
}

bool EasyCtlForm::settleUnregisteredInput()
{
    if (!hasUnregisteredInput())
        return true;
    return forms::settleUnregisteredInput(
        [this] {
            KouWork.Registered = 0;
            Command1_Click();
            return KouWork.Registered == 1;
        },
        [] {});
}

void EasyCtlForm::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    // The close box is the user leaving the window: typed names are settled first.
    Cancel = UnloadMode == forms::vbFormControlMenu && !settleUnregisteredInput() ? 1 : 0;
}

// ---------------------------------------------------------------- events

void EasyCtlForm::Combo1_Click()
{
    Option1[relations::EasyPerson::FromList].setValue(true);
}

void EasyCtlForm::Label1_Click(int Index)
{
    Clear_Mode();
    // A second click on the chosen relation unselects it.
    if (RelMode != Index) {
        Label1[Index].setBackColor(relations::ChosenRelationColour);
        RelMode = static_cast<int16_t>(Index);
    } else {
        RelMode = -1;
    }
}

void EasyCtlForm::Command2_Click()
{
    if (!settleUnregisteredInput())
        return;
    unload();
}

void EasyCtlForm::Command3_Click()
{
    InitGamen();
}

// ---------------------------------------------------------------- registration

std::string EasyCtlForm::missingInputs() const
{
    std::string message;
    if (MotoNin == -1)
        message += std::string(relations::MissingBaseMessage) + "\r\n";
    if (AddNin == -1)
        message += std::string(relations::MissingAddedMessage) + "\r\n";
    if (RelMode == -1)
        message += std::string(relations::MissingRelationMessage) + "\r\n";
    return message;
}

void EasyCtlForm::Command1_Click()
{
    m_createdPerson = -1;
    // A base person deleted since it was picked is no base any more: a relation to
    // an empty slot would leave a marriage naming nobody, and one to the slot's new
    // person a marriage the user never asked for.
    if (MotoNin != -1 && !baseStands())
        clearBase();
    // The same for the base marriage: one deleted since it was picked, or whose slot
    // another marriage has taken, is no base any more (the base person's own
    // marriages are taken instead), so that no child goes to a couple the user never
    // picked.
    if (MotoKou != -1 && !baseMarriageStands())
        MotoKou = -1;
    CheckOption1();

    Operation operation = Operation::ChosenRelation;
    if (MotoNin == -1 && AddNin != -1 && (RelMode == -1 || RelMode == relations::EasyRelation::Marriage)) {
        operation = Operation::NewFamily;
    } else {
        const std::string missing = missingInputs();
        if (!missing.empty()) {
            platform::MsgBox(missing, platform::vbOKOnly + platform::vbExclamation, relations::EasyErrorTitle);
            return;
        }
    }

    // The family as it was before the new person, which the operation's checks need
    // already: the undo snapshot is written from it once the registration is stored,
    // and a refused registration puts it back. A refusal so leaves the main window's
    // undo, the placeholder numbers and the changed mark as they were.
    std::unique_ptr<model::Tables> before;
    if (AddNin == 0 && !createNewPerson(before))
        return;
    if (model::isSlot(AddNin) && AddNin != model::BlankPartner)
        AddSex = person(AddNin).Sex;

    model::init_kou_work(KouWork);
    KouWork.SnapshotTaken = before ? 1 : 0;
    if (operation == Operation::NewFamily)
        KouWork.KodoCnt = 0;
    runOperation(operation);
    if (before) {
        if (KouWork.Registered == 1) {
            saveUndoOf(*before);
        } else {
            tables() = std::move(*before);
            m_createdPerson = -1;
        }
    }

    if (KouWork.ErrFlag == 0) {
        InitGamen();
    } else {
        platform::MsgBox(KouWork.ErrMsg, KouWork.ErrStyle, KouWork.ErrTitle);
        freeCreatedPerson();
    }
    if (KouWork.Registered == 1)
        refreshAfterRegistration();
    relations::relationRequests().raiseMainWindow();
}

bool EasyCtlForm::createNewPerson(std::unique_ptr<model::Tables>& before)
{
    if (!model::acceptSavableText(Text1.text(), relations::EasyErrorTitle) ||
        !model::acceptSavableText(Text2.text(), relations::EasyErrorTitle))
        return false;

    // The new person closes the person editor: its input is settled first.
    if (!mainwindow::settlePersonEditorFirst())
        return false;
    if (!model::personSlotFree()) {
        platform::MsgBox(relations::PersonTableFullMessage, platform::vbOKOnly + platform::vbExclamation,
                         relations::EasyErrorTitle);
        return false;
    }
    model::Tables& t = tables();
    before = std::make_unique<model::Tables>(t);
    model::Add_DummyPerson(AddSex == 0 ? 0 : 1);
    const int slot = t.Easy_NewPer;
    AddNin = static_cast<int16_t>(slot);
    m_createdPerson = static_cast<int16_t>(slot);
    if (!platform::Trim(Text1.text()).empty())
        person(slot).F_name = Text1.text();
    if (!platform::Trim(Text2.text()).empty())
        person(slot).Name = Text2.text();
    return true;
}

void EasyCtlForm::runOperation(Operation operation)
{
    if (operation == Operation::NewFamily) {
        Make_Sinki();
        return;
    }
    switch (RelMode) {
    case relations::EasyRelation::Parent:
        Make_Senzo();
        break;
    case relations::EasyRelation::Marriage:
        Make_Marry();
        break;
    case relations::EasyRelation::Child:
        Make_Child(0);
        break;
    case relations::EasyRelation::Bereaved:
        Make_Marry_X("死別");
        break;
    case relations::EasyRelation::Divorced:
        Make_Marry_X("離婚");
        break;
    case relations::EasyRelation::Adopted:
        Make_Child(1);
        break;
    default:
        break;
    }
}

void EasyCtlForm::saveUndoOf(model::Tables& family)
{
    // The tables as they are now step aside while the snapshot is written.
    model::Tables& live = tables();
    auto now = std::make_unique<model::Tables>(std::move(live));
    live = std::move(family);
    try {
        model::windowServices().saveUndo();
    } catch (...) {
        family = std::move(live);
        live = std::move(*now);
        throw;
    }
    family = std::move(live);
    live = std::move(*now);
}

void EasyCtlForm::freeCreatedPerson()
{
    if (m_createdPerson == -1)
        return;
    const int slot = m_createdPerson;
    m_createdPerson = -1;
    // A person a stored marriage already names stays: freeing it would leave that
    // marriage pointing at an empty slot.
    if (model::Get_PersonKou(slot) != -1)
        return;
    model::Tables& t = tables();
    int16_t& counter = person(slot).Sex != 0 ? t.DummyWomanCnt : t.DummyManCnt;
    counter = static_cast<int16_t>(counter - 1);
    model::freePerson(slot);
}

void EasyCtlForm::refreshAfterRegistration()
{
    model::Tables& t = tables();
    t.Data_Changed = 1;
    model::windowServices().closeChronology();
    drawing::Refresh_TabDisp();
    model::windowServices().setChartAcceptsDrops(layout::chart().tree_cnt == 0);
    // Loading the editor just for this would reset the marriage it shows; it is
    // filled afresh whenever it is opened.
    if (ctrl_form().isLoaded())
        ctrl_form().Build_List();
}

void EasyCtlForm::refuse(const std::string& message)
{
    KouWork.ErrFlag = model::KouWorkRefused;
    KouWork.ErrMsg = message;
    KouWork.ErrStyle = model::KouWorkErrorStyle;
    KouWork.ErrTitle = model::KouWorkErrorTitle;
}

// ---------------------------------------------------------------- operations

void EasyCtlForm::Make_Sinki()
{
    model::kou_work& w = KouWork;
    if (AddSex != 0) {
        w.kou_titi = model::BlankPartner;
        w.kou_haha = AddNin;
        w.Yoshi_f = 1;
    } else {
        w.kou_titi = AddNin;
        w.kou_haha = model::BlankPartner;
        w.Yoshi_f = 0;
    }
    w.kou_title = familyName(AddNin) + "家";
    w.kou_mode = 0;
    w.kou_state = "通常";
    w.dsp_start = 0;
    w.Bunke = 0;
    w.KouIdx = -1;
    model::regist_kou_data(w);
}

void EasyCtlForm::Make_Senzo()
{
    if (model::Get_ChildKou(MotoNin) == 0) {
        refuse(relations::HasAncestorsMessage);
        return;
    }
    KouWork.KodoCnt = 1;
    KouWork.Kodo[0] = {MotoNin, 1};
    Make_Sinki();
}

void EasyCtlForm::fillCouple()
{
    model::kou_work& w = KouWork;
    if (person(MotoNin).Sex == 0) {
        w.kou_titi = MotoNin;
        w.kou_haha = AddNin;
        w.Yoshi_f = 0;
    } else {
        w.kou_titi = AddNin;
        w.kou_haha = MotoNin;
        w.Yoshi_f = 1;
    }
    w.kou_title = familyName(w.kou_titi) + "家";
    w.dsp_start = 0;
    w.Bunke = 0;
    w.KodoCnt = 0;
}

bool EasyCtlForm::chooseReusedMarriage(NormalMarriage normal)
{
    model::Tables& t = tables();
    model::kou_work& w = KouWork;
    model::Get_EasyMarries(w.kou_titi);
    const int husbandNormal = t.Easy_MarryKou;
    const int husbandBlank = t.Easy_BlankKou;
    model::Get_EasyMarries(w.kou_haha);
    const int wifeNormal = t.Easy_MarryKou;
    const int wifeBlank = t.Easy_BlankKou;

    w.KouIdx = -1;
    if (husbandNormal != -1 || wifeNormal != -1) {
        if (normal == NormalMarriage::Refuse) {
            refuse(relations::AlreadyMarriedMessage);
            return false;
        }
        return true;
    }
    // The new spouse takes the blank side of an existing family, whose children stay.
    if (husbandBlank != -1)
        w.KouIdx = static_cast<int16_t>(husbandBlank);
    if (wifeBlank != -1)
        w.KouIdx = static_cast<int16_t>(wifeBlank);
    return true;
}

void EasyCtlForm::Make_Marry()
{
    fillCouple();
    KouWork.kou_mode = 0;
    KouWork.kou_state = "通常";
    if (!chooseReusedMarriage(NormalMarriage::Refuse))
        return;
    model::regist_kou_data(KouWork);
}

void EasyCtlForm::Make_Marry_X(const std::string& state)
{
    fillCouple();
    KouWork.kou_mode = 1;
    KouWork.kou_state = state;
    if (!chooseReusedMarriage(NormalMarriage::StoreBeside))
        return;
    model::regist_kou_data(KouWork);
}

int EasyCtlForm::childMarriage()
{
    // The registration has checked the base marriage (baseMarriageStands).
    if (MotoKou != -1 && isUsedMarriage(MotoKou))
        return MotoKou;
    const model::Tables& t = tables();
    model::Get_EasyMarries(MotoNin);
    for (int kou : {t.Easy_MarryKou, t.Easy_OtherKou, t.Easy_BlankKou}) {
        if (kou != -1)
            return kou;
    }
    return -1;
}

void EasyCtlForm::Make_Child(int adopt)
{
    if (AddNin == model::BlankPartner) {
        refuse(relations::BlankAsChildMessage);
        return;
    }
    model::Tables& t = tables();
    model::kou_work& w = KouWork;
    const int16_t added = AddNin;
    const int kou = childMarriage();
    if (kou != -1) {
        // The marriage is stored again unchanged, with the added person after its children.
        const model::marry_data& k = t.kou_buf[static_cast<size_t>(kou)];
        w.kou_titi = k.kou_titi;
        w.kou_haha = k.kou_haha;
        w.Yoshi_f = k.Yoshi_f;
        w.kou_title = k.kou_title;
        w.kou_mode = k.kou_mode;
        w.kou_state = k.kou_state;
        w.dsp_start = k.dsp_start;
        w.Bunke = k.Bunke;
        w.sort_lev = k.sort_lev;
        w.KouIdx = static_cast<int16_t>(kou);
        int entries = 0;
        for (int slot = 0; slot <= model::LastChildSlot; ++slot) {
            const size_t s = static_cast<size_t>(slot);
            if (k.kou_kodo[s] != -1)
                w.Kodo[static_cast<size_t>(entries++)] = {k.kou_kodo[s], k.kodo_visible[s]};
        }
        w.Kodo[static_cast<size_t>(entries++)] = {added, 1};
        w.KodoCnt = static_cast<int16_t>(entries);
        model::regist_kou_data(w);
    } else {
        // No marriage yet: a new family of the base person with the added person as its child.
        AddNin = MotoNin;
        AddSex = person(MotoNin).Sex;
        w.KodoCnt = 1;
        w.Kodo[0] = {added, 1};
        Make_Sinki();
    }

    if (adopt == 1 && w.ErrFlag == 0) {
        layout::Clear_Honsuji(added);
        const int stored = t.Sel_ChildKou;
        const int slot = isUsedMarriage(stored) ? model::Find_KodoSlot(stored, added) : -1;
        if (slot >= 0) {
            model::marry_data& k = t.kou_buf[static_cast<size_t>(stored)];
            k.kodo_honsuji[static_cast<size_t>(slot)] = 1;
            k.kou_kodo_stat[static_cast<size_t>(slot)] = 2;
        }
    }
}

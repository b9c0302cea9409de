#include "app/AppWindows.h"

#include "drawing/ChartRebuild.h"
#include "entry/EntryForm.h"
#include "entry/InfoOne.h"
#include "entry/InputNameOne.h"
#include "entry/entry_state.h"
#include "forms/Form.h"
#include "forms/WindowFunctions.h"
#include "mainwindow/MainForm.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "printing/FrmPrnSet.h"
#include "printing/PrePrint.h"
#include "relations/CategMakeForm.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/InfoChldForm.h"
#include "relations/KakeGrpStatForm.h"
#include "reports/nametb.h"
#include "reports/yeartb.h"

#include <array>

namespace app {

namespace {

// Requests that only update what an open window shows are dropped while the
// window is not loaded: it fills itself from the tables when it loads.
bool editorLoaded()
{
    return ctrl_form().isLoaded();
}

} // namespace

void AppWindows::closePersonEditor()
{
    entry_form().closeFromMainWindow();
}

void AppWindows::refreshPersonEditor()
{
    if (entry_form().isLoaded())
        entry_form().showCurrentFamily();
}

bool AppWindows::settlePersonEditor()
{
    return !entry_form().isLoaded() || entry_form().settleUnregisteredInput();
}

bool AppWindows::personEditorHoldsInput()
{
    return entry_form().isLoaded() && entry_form().hasUnregisteredInput();
}

bool AppWindows::settlePersonEditorFor(int person)
{
    return !entry_form().isLoaded() || entry_form().settleUnregisteredInputFor(person);
}

void AppWindows::showChangedPerson(int person)
{
    if (entry_form().isLoaded())
        entry_form().showChangedPerson(person);
}

void AppWindows::showPersonInEditorCard(int person)
{
    entry_form().showPersonInCard(person);
}

void AppWindows::showPersonInEditor(int person)
{
    entry_form().showPersonOnFirstTab(person);
}

void AppWindows::raisePersonEditor()
{
    entry_form().raiseEditor();
}

void AppWindows::showPersonEditor(int person)
{
    entry_form().showEditor(person);
}

void AppWindows::showPersonOnCardIfOpen(int person)
{
    infoone_form().showPersonIfOpen(person);
}

bool AppWindows::isPersonCardOpen() const
{
    return entry::entryState().InfoOne_Open == 1 && infoone_form().isLoaded();
}

void AppWindows::showPersonCard(int person)
{
    infoone_form().showPersonCard(person);
}

bool AppWindows::showQuickNameInput(QuickName& values)
{
    const std::array<bool, 4> marks = {values.options[0] == 1, values.options[1] == 1, values.options[2] == 1,
                                       values.options[3] == 1};
    if (!inputnameone_form().ask(values.familyName, values.givenName, marks))
        return false;
    // The dialog leaves the values the person's fields take.
    const entry::EntryState& state = entry::entryState();
    values.familyName = state.INNO_FName;
    values.givenName = state.INNO_Name;
    for (size_t i = 0; i < 4; ++i)
        values.options[i] = state.INNO_Opt[i];
    return true;
}

void AppWindows::showNameList()
{
    nametb_form().show();
}

void AppWindows::showChronology()
{
    yeartb_form().show();
}

void AppWindows::closeChronology()
{
    if (yeartb_form().isLoaded())
        yeartb_form().unload();
    model::runState().YTbl_Open = 0;
}

bool AppWindows::settleRelationEditor()
{
    return !editorLoaded() || ctrl_form().settleUnregisteredChange();
}

bool AppWindows::settleChildDialogAndBuilder()
{
    return settleChildDialog() && (!easyctl_form().isLoaded() || easyctl_form().settleUnregisteredInput());
}

bool AppWindows::settleChildDialog()
{
    return !infochld_form().isLoaded() || infochld_form().settleUnregisteredInput();
}

bool AppWindows::settleWindowsHolding(int person)
{
    // Only the relationship editor's fields hold persons as input of their own; the
    // child dialog and the easy builder merely show whom they act on.
    return !editorLoaded() || !ctrl_form().holdsPerson(person) || ctrl_form().settleUnregisteredChange();
}

void AppWindows::forgetFreedPerson(int person)
{
    if (editorLoaded())
        ctrl_form().forgetPerson(person);
    if (infochld_form().isLoaded())
        infochld_form().forgetPerson(person);
    if (easyctl_form().isLoaded())
        easyctl_form().forgetPerson(person);
    if (kakegrpstat_form().isLoaded())
        kakegrpstat_form().forgetPerson(person);
    if (dspop_form().isLoaded())
        dspop_form().forgetPerson(person);
}

bool AppWindows::relationEditorHoldsChange()
{
    return editorLoaded() && ctrl_form().hasUnregisteredChange();
}

void AppWindows::rebuildRelationLists()
{
    if (editorLoaded())
        ctrl_form().Build_List();
}

void AppWindows::forgetRelationMarriage()
{
    if (editorLoaded())
        ctrl_form().ResetKouNum();
    else
        OtherWindows::forgetRelationMarriage();
}

void AppWindows::clearRelationPersonLists()
{
    if (editorLoaded())
        ctrl_form().clearPersonLists();
}

void AppWindows::resetRelationEditor()
{
    if (editorLoaded())
        ctrl_form().resetEditor();
}

void AppWindows::enableRelationUndo(const std::string& caption)
{
    if (editorLoaded())
        ctrl_form().enableUndo(caption);
}

void AppWindows::disableRelationUndo()
{
    if (editorLoaded())
        ctrl_form().disableUndo();
}

int AppWindows::deleteMarriage(int kou)
{
    // The open editor keeps the deleted record for its own undo; without it the
    // question and the table change are the model's.
    return editorLoaded() ? ctrl_form().del_kou_buf(kou) : OtherWindows::deleteMarriage(kou);
}

void AppWindows::showRelationEditor()
{
    ctrl_form().show();
}

void AppWindows::raiseRelationEditor()
{
    if (editorLoaded())
        ctrl_form().zOrder(0);
}

void AppWindows::setRelationEditorTopMost()
{
    if (editorLoaded())
        forms::SetTopMost(ctrl_form(), 1);
}

void AppWindows::editRelationMarriage(int kou)
{
    ctrl_form().edit_kou_data(kou);
}

void AppWindows::showRelationPage(RelationPage page)
{
    if (page == RelationPage::Persons)
        ctrl_form().DispListActer();
    else
        ctrl_form().showMarriageLists();
}

void AppWindows::selectRelationPartner(int list, int person)
{
    ctrl_form().selectPartner(list, person);
}

void AppWindows::showChildDialog(int kou, int slot)
{
    // The dialog is filled with this child: what it holds unregistered is settled first.
    if (infochld_form().isLoaded() && !infochld_form().settleUnregisteredInput())
        return;
    infochld_form().show();
    infochld_form().edit_ch_data(kou, slot, 0, 0);
}

void AppWindows::moveSelectedChild(int direction)
{
    infochld_form().ChMoveJobMain(direction);
}

void AppWindows::refillRelationChildList(int kou)
{
    if (editorLoaded())
        ctrl_form().refillChildList(kou);
}

void AppWindows::rebuildRelationMarriageList()
{
    if (editorLoaded())
        ctrl_form().Build_list_kou();
}

void AppWindows::placeholderTaken(int list, int person)
{
    if (editorLoaded())
        ctrl_form().placeholderTaken(list, person);
}

void AppWindows::placeholderReturned(int list, int person)
{
    if (editorLoaded())
        ctrl_form().placeholderReturned(list, person);
}

void AppWindows::hideDragMarker()
{
    if (editorLoaded())
        ctrl_form().hideDragMarker();
}

void AppWindows::showCategoryWindow()
{
    categmake_form().show();
}

void AppWindows::showCurrentFamily()
{
    if (kakegrpstat_form().isLoaded())
        kakegrpstat_form().showCurrentFamily();
    if (infochld_form().isLoaded())
        infochld_form().showCurrentFamily();
    if (isPersonCardOpen())
        infoone_form().showCurrentFamily();
    easyctl_form().showCurrentFamily();
    dspop_form().showCurrentFamily();
}

void AppWindows::showLineageGroups()
{
    kakegrpstat_form().show();
}

void AppWindows::showPrinterChoice()
{
    printing::frmprnset_form().show(forms::ShowMode::Modal);
}

void AppWindows::showPrintPreview()
{
    printing::preprint_form().show(forms::ShowMode::Modal, &main_form());
}

void AppWindows::showEasyRelationBuilder()
{
    forms::SetTopMost(easyctl_form(), 1);
    easyctl_form().show();
}

void AppWindows::setEasyBasePerson(int person)
{
    if (easyctl_form().isLoaded())
        easyctl_form().SetMotoNin(person);
}

void AppWindows::setEasyBaseMarriage(int kou)
{
    if (easyctl_form().isLoaded())
        easyctl_form().SetMotoKou(kou);
}

void AppWindows::rebuildEasyRelationList()
{
    if (easyctl_form().isLoaded())
        easyctl_form().Easy_Build_List();
}

bool AppChronologyWindows::isPersonCardOpen() const
{
    return entry::entryState().InfoOne_Open == 1 && infoone_form().isLoaded();
}

void AppChronologyWindows::showPersonCard(int person)
{
    infoone_form().showPersonCard(person);
}

void AppChronologyWindows::closePersonCard()
{
    if (infoone_form().isLoaded())
        infoone_form().unload();
    entry::entryState().InfoOne_Open = 0;
}

void AppChronologyWindows::showPrinterChoice()
{
    printing::frmprnset_form().show(forms::ShowMode::Modal);
}

std::string AppDspOpRequests::zoomBoxText()
{
    return main_form().Text1.text();
}

void AppDspOpRequests::setZoomBoxText(const std::string& text)
{
    main_form().Text1.setText(text);
}

void AppDspOpRequests::rebuildChart()
{
    drawing::Refresh_TabDisp();
}

bool AppDspOpRequests::settlePersonEditorFor(int person)
{
    return mainwindow::settlePersonEditorFirst(person);
}

void AppDspOpRequests::showChangedPerson(int person)
{
    mainwindow::otherWindows().showChangedPerson(person);
}

void installProgram()
{
    static AppWindows windows;
    static AppChronologyWindows chronology;
    static AppDspOpRequests displayOptions;
    mainwindow::setOtherWindows(&windows);
    reports::setChronologyWindows(&chronology);
    drawing::setDspOpRequests(&displayOptions);
    // The windows opened from the main window stay in front of it, clear of its
    // menu bar, toolbar and side buttons.
    forms::setMainWindow(&main_form(), [] { return main_form().commands(); });
}

} // namespace app

#include "app/AppWindows.h"

#include "entry/EntryForm.h"
#include "entry/InfoOne.h"
#include "forms/Form.h"
#include "forms/WindowFunctions.h"
#include "model/tables.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/InfoChldForm.h"
#include "reports/nametb.h"

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

void AppWindows::blankPersonEditor()
{
    if (entry_form().isLoaded())
        entry_form().showEmptyFamily();
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

void AppWindows::showNameList()
{
    nametb_form().show();
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
    infochld_form().show();
    infochld_form().edit_ch_data(kou, slot, 0, 0);
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

void installAppWindows()
{
    static AppWindows windows;
    mainwindow::setOtherWindows(&windows);
}

} // namespace app

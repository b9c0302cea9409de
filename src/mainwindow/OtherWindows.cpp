#include "mainwindow/OtherWindows.h"

#include "model/WindowServices.h"
#include "model/run_state.h"
#include "model/tables.h"

namespace mainwindow {

namespace {

OtherWindows* installedWindows = nullptr;

} // namespace

void OtherWindows::forgetRelationMarriage()
{
    model::runState().KouNum = -1;
}

int OtherWindows::deleteMarriage(int kou)
{
    return model::deleteMarriageRecord(kou);
}

void setOtherWindows(OtherWindows* windows)
{
    installedWindows = windows;
}

OtherWindows& otherWindows()
{
    static OtherWindows defaults;
    return installedWindows ? *installedWindows : defaults;
}

bool settlePersonEditorFirst()
{
    return model::runState().Entry_Open != 1 || otherWindows().settlePersonEditor();
}

bool settlePersonEditorFirst(int person)
{
    return model::runState().Entry_Open != 1 || otherWindows().settlePersonEditorFor(person);
}

bool settleEditorsFirst()
{
    return settlePersonEditorFirst() && otherWindows().settleRelationEditor() &&
           otherWindows().settleChildDialogAndBuilder();
}

} // namespace mainwindow

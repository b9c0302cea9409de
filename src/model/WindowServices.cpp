#include "model/WindowServices.h"

#include "model/UndoRecords.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/Hooks.h"

#include <utility>

namespace model {

namespace {

WindowServices* installedServices = nullptr;

WindowServices& defaultServices()
{
    static WindowServices services;
    return services;
}

} // namespace

namespace {
int snapshotSteps = 0;
bool stepSnapshotTaken = false;
} // namespace

UndoSnapshotStep::UndoSnapshotStep()
{
    if (snapshotSteps++ == 0)
        stepSnapshotTaken = false;
}

UndoSnapshotStep::~UndoSnapshotStep()
{
    --snapshotSteps;
}

void saveUndoOnce()
{
    if (snapshotSteps > 0 && stepSnapshotTaken)
        return;
    stepSnapshotTaken = true;
    windowServices().saveUndo();
}

void snapshotBeforeChange()
{
    if (snapshotSteps > 0)
        saveUndoOnce();
}

int WindowServices::deleteMarriage(int kou)
{
    return deleteMarriageRecord(kou);
}

void WindowServices::resetKouNum()
{
    runState().KouNum = -1;
}

void setWindowServices(WindowServices* services)
{
    installedServices = services;
}

WindowServices& windowServices()
{
    return installedServices ? *installedServices : defaultServices();
}

int deleteMarriageRecord(int kou)
{
    if (!isMarriageSlot(kou))
        return -1;
    Tables& t = tables();
    marry_data& k = t.kou_buf[kou];
    if (!isTakenMarriage(k))
        return -1;
    if (platform::MsgBox("削除してよろしいでしょうか？", platform::vbOKCancel) != platform::vbOK)
        return 0;
    saveUndoOnce();
    KouUndoRecord record;
    record.KouUndoMode = KouUndo::DeletedMarriage;
    record.KouUndoBuf = k;
    record.UndoKou = static_cast<int16_t>(kou);
    const bool heldStart = k.dsp_start == 1;
    record.namedBy = freeMarriageRecord(kou);
    // The chart needs a start marriage: the first record still in use takes it over.
    if (heldStart)
        handStartMarkTo(-1);
    recordKouUndo(std::move(record));
    t.Data_Changed = 1;
    return 0;
}

} // namespace model

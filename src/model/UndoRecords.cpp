#include "model/UndoRecords.h"

#include "model/PersonTable.h"
#include "model/WindowServices.h"

#include <utility>

namespace model {

const char* kouUndoCaption(int16_t kind)
{
    switch (kind) {
    case KouUndo::NewMarriage:
    case KouUndo::ChangedMarriage:
        return UndoCaptionRegistered;
    case KouUndo::DeletedMarriage:
        return UndoCaptionDeleted;
    case KouUndo::ListedChild:
    case KouUndo::NewManChild:
    case KouUndo::NewWomanChild:
        return UndoCaptionNewChild;
    case KouUndo::RemovedChild:
        return UndoCaptionChildRemoved;
    default:
        return UndoCaptionNone;
    }
}

KouUndoRecord& kouUndo()
{
    static KouUndoRecord record;
    return record;
}

namespace {

// What an editor step left, taken from the tables just after the step.
void traceKouStep(KouUndoRecord& r)
{
    switch (r.KouUndoMode) {
    case KouUndo::NewMarriage:
        r.left = traceMarriage(r.UndoKou);
        break;
    case KouUndo::ChangedMarriage:
    case KouUndo::DeletedMarriage:
        r.left = traceMarriage(r.UndoKou);
        tracePersonsOf(r.left, r.KouUndoBuf);
        break;
    case KouUndo::RemovedChild:
        r.left = traceMarriage(r.UndoKou);
        if (isMarriageSlot(r.UndoKou))
            tracePersonsOf(r.left, tables().kou_buf[r.UndoKou]);
        tracePerson(r.left, r.UndoKodo);
        break;
    default:
        break;
    }
}

bool isMarriageStep(int16_t kind)
{
    return kind == KouUndo::NewMarriage || kind == KouUndo::ChangedMarriage || kind == KouUndo::DeletedMarriage
           || kind == KouUndo::RemovedChild;
}

} // namespace

StepTrace traceMarriage(int kou)
{
    StepTrace trace;
    trace.children.fill(-1);
    if (!isMarriageSlot(kou))
        return trace;
    trace.kou = static_cast<int16_t>(kou);
    const marry_data& m = tables().kou_buf[kou];
    trace.marriageInUse = isUsedMarriage(m);
    if (trace.marriageInUse) {
        trace.husband = m.kou_titi;
        trace.wife = m.kou_haha;
        trace.children = m.kou_kodo;
    }
    return trace;
}

void tracePerson(StepTrace& trace, int person)
{
    if (!isPersonSlot(person))
        return;
    const personal_data& p = tables().per_buf[person];
    trace.persons.push_back({static_cast<int16_t>(person), p.InUse == SlotUsed, p.F_name + p.Name});
}

void tracePersonsOf(StepTrace& trace, const marry_data& record)
{
    tracePerson(trace, record.kou_titi);
    tracePerson(trace, record.kou_haha);
    for (int s = 0; s <= LastChildSlot; ++s)
        tracePerson(trace, record.kou_kodo[s]);
}

bool stepStands(const StepTrace& trace)
{
    const Tables& t = tables();
    if (trace.kou != -1) {
        if (!isMarriageSlot(trace.kou))
            return false;
        const marry_data& m = t.kou_buf[trace.kou];
        const bool inUse = isUsedMarriage(m);
        if (inUse != trace.marriageInUse)
            return false;
        if (inUse && (m.kou_titi != trace.husband || m.kou_haha != trace.wife || m.kou_kodo != trace.children))
            return false;
    }
    for (const TracedPerson& traced : trace.persons) {
        const personal_data& p = t.per_buf[traced.slot];
        if ((p.InUse == SlotUsed) != traced.inUse || p.F_name + p.Name != traced.name)
            return false;
    }
    return true;
}

namespace {
int editorStepsRunning = 0;
} // namespace

RelationEditorStep::RelationEditorStep()
{
    ++editorStepsRunning;
}

RelationEditorStep::~RelationEditorStep()
{
    --editorStepsRunning;
}

void recordKouUndo(KouUndoRecord record)
{
    if (editorStepsRunning == 0)
        return;
    traceKouStep(record);
    switch (record.KouUndoMode) {
    case KouUndo::NewManChild:
    case KouUndo::NewWomanChild:
        record.createdName = undoName(record.UndoKodo);
        record.placeholderCount = placeholderCounter(record.KouUndoMode == KouUndo::NewManChild ? 0 : 1);
        break;
    case KouUndo::NewHusband:
    case KouUndo::NewWife:
        record.createdName = undoName(record.UndoActer);
        record.placeholderCount = placeholderCounter(record.KouUndoMode == KouUndo::NewHusband ? 0 : 1);
        break;
    default:
        break;
    }
    const int16_t kind = record.KouUndoMode;
    kouUndo() = std::move(record);
    windowServices().enableRelationUndo(kouUndoCaption(kind));
}

void retraceKouUndo(int kou)
{
    if (editorStepsRunning == 0)
        return;
    KouUndoRecord& r = kouUndo();
    if (isMarriageStep(r.KouUndoMode) && r.UndoKou == kou)
        traceKouStep(r);
}

bool kouUndoChangesFamily(int16_t kind)
{
    return kind >= KouUndo::NewMarriage && kind <= KouUndo::RemovedChild && kind != KouUndo::ListedChild
           && kind != KouUndo::ListedHusband && kind != KouUndo::ListedWife;
}

void clearKouUndo()
{
    kouUndo() = KouUndoRecord();
}

bool kouUndoStands(const KouUndoRecord& r)
{
    if (isMarriageStep(r.KouUndoMode)) {
        // A record that traced another slot, or none, has nothing it may take back.
        if (!isMarriageSlot(r.UndoKou) || r.left.kou != r.UndoKou || !stepStands(r.left))
            return false;
        return r.KouUndoMode != KouUndo::RemovedChild || isChildSlot(r.UndoKodoSlot);
    }
    switch (r.KouUndoMode) {
    case KouUndo::NewManChild:
    case KouUndo::NewWomanChild:
        return createdPersonStands(r.UndoKodo, r.createdName);
    case KouUndo::NewHusband:
    case KouUndo::NewWife:
        return createdPersonStands(r.UndoActer, r.createdName);
    default:
        return true;
    }
}

DropUndoRecord& dropUndo()
{
    static DropUndoRecord record;
    return record;
}

void recordDropUndo(DropUndoRecord record)
{
    record.left = traceMarriage(record.UndoKou);
    const int list = dropPlaceholderList(record.Drop_UndoKind);
    if (list != -1)
        record.placeholderCount = placeholderCounter(list);
    record.perName = undoName(record.Drop_UndoPer);
    record.kodoName = undoName(record.UndoKodo);
    dropUndo() = std::move(record);
}

void clearDropUndo()
{
    dropUndo() = DropUndoRecord();
}

std::string undoName(int person)
{
    if (!isPersonReference(person))
        return {};
    const personal_data& p = tables().per_buf[person];
    return p.F_name + p.Name;
}

int currentStartMarriage()
{
    for (int k = 1; k <= LastSlot; ++k) {
        if (isUsedMarriage(k) && tables().kou_buf[k].dsp_start == 1)
            return k;
    }
    return -1;
}

void handStartMarkTo(int preferred)
{
    int chosen = isUsedMarriage(preferred) ? preferred : -1;
    for (int k = 1; k <= LastSlot && chosen == -1; ++k) {
        if (isUsedMarriage(k))
            chosen = k;
    }
    // Only the marks move: the other records keep the start value they had.
    for (int k = 1; k <= LastSlot; ++k) {
        marry_data& m = tables().kou_buf[k];
        if (k == chosen)
            m.dsp_start = 1;
        else if (isUsedMarriage(m) && m.dsp_start == 1)
            m.dsp_start = 0;
    }
}

bool createdPersonStands(int person, const std::string& name, int ownKou)
{
    if (!isPersonSlot(person))
        return false;
    const Tables& t = tables();
    const personal_data& p = t.per_buf[person];
    if (p.InUse != SlotUsed || p.F_name + p.Name != name)
        return false;
    for (int k = 1; k <= LastSlot; ++k) {
        const marry_data& m = t.kou_buf[k];
        if (k == ownKou || !isTakenMarriage(m))
            continue;
        if (m.kou_titi == person || m.kou_haha == person)
            return false;
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (m.kou_kodo[s] == person)
                return false;
        }
    }
    return true;
}

void freeCreatedPerson(int person)
{
    if (!isPersonSlot(person))
        return;
    personal_data& p = tables().per_buf[person];
    freePerson(person);
    p.InUse = SlotFree;
    p.F_name.clear();
    p.Name.clear();
}

std::vector<AdoptionHistory> freeMarriageRecord(int kou)
{
    if (!isMarriageSlot(kou))
        return {};
    std::vector<AdoptionHistory> namedBy = forgetHistoriesNaming(kou);
    marry_data& k = tables().kou_buf[kou];
    k.InUse = SlotFree;
    k.kou_gen = -1;
    k.kou_title.clear();
    k.kou_state.clear();
    k.kou_mode = -1;
    k.sort_lev = -1;
    k.kou_titi = -1;
    k.kou_haha = -1;
    k.dsp_start = -1;
    for (int s = 0; s <= LastChildSlot; ++s) {
        k.kou_kodo[s] = -1;
        k.kou_kodo_stat[s] = -1;
    }
    return namedBy;
}

void freeCreatedMarriage(int kou, int displacedStart)
{
    const bool heldStart = isMarriageSlot(kou) && tables().kou_buf[kou].dsp_start == 1;
    (void)freeMarriageRecord(kou);
    if (heldStart || currentStartMarriage() == -1)
        handStartMarkTo(displacedStart);
}

int dropPlaceholderList(int16_t kind)
{
    switch (kind) {
    case DropUndo::CanvasNewMan:
    case DropUndo::MarriageNewMan:
    case DropUndo::ChildNewMan:
    case DropUndo::AdoptedNewMan:
        return 0;
    case DropUndo::CanvasNewWoman:
    case DropUndo::MarriageNewWoman:
    case DropUndo::ChildNewWoman:
    case DropUndo::AdoptedNewWoman:
        return 1;
    default:
        return -1;
    }
}

int16_t& placeholderCounter(int list)
{
    Tables& t = tables();
    return list == 0 ? t.DummyManCnt : t.DummyWomanCnt;
}

void returnPlaceholderNumber(int list, int16_t countAfter)
{
    int16_t& counter = placeholderCounter(list);
    if (countAfter > 1 && counter == countAfter)
        --counter;
}

void clearUndoRecords()
{
    clearKouUndo();
    clearDropUndo();
}

} // namespace model

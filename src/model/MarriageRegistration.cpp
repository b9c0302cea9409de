#include "model/MarriageRegistration.h"

#include "model/ChildSlots.h"
#include "model/Lookups.h"
#include "model/UndoRecords.h"
#include "model/WindowServices.h"
#include "model/run_state.h"
#include "platform/Conversions.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace model {

namespace {

constexpr int MarriageLimit = LastSlot; // marriages 1..1024

const char* const NoPartnerMessage = "結婚相手が指定されていません";
const char* const BothBlankMessage = "男女共に空白の設定は出来ません";
const char* const SameSexMessage = "同性同士では結婚出来ません";
const char* const SameCoupleMessage = "既に結婚関係として登録されています";
const char* const AncestorChildMessage =
    ":  この子供は、家族の先祖として使用されている可能性があります";

std::string tableFullMessage()
{
    return "登録件数の限界です。結婚関係は" + platform::Str(MarriageLimit) + "組迄登録出来ます";
}

int16_t narrow(int value)
{
    return static_cast<int16_t>(value);
}

// ---- kou_work verdicts ----

void refuse(kou_work& record, const std::string& message)
{
    record.ErrFlag = KouWorkRefused;
    record.ErrMsg = message;
    record.ErrStyle = KouWorkErrorStyle;
    record.ErrTitle = KouWorkErrorTitle;
}

// The partner rules, in their order; an empty text accepts the couple. A partner
// outside the person table is as good as none chosen; one whose slot holds nobody
// (freed since a window showed him) is not of the family: storing either would
// leave a marriage pointing nowhere.
std::string partnerRefusal(const kou_work& record)
{
    const int husband = record.kou_titi;
    const int wife = record.kou_haha;
    if (!isPersonReference(husband) || !isPersonReference(wife))
        return NoPartnerMessage;
    if (!isFamilyPartner(husband) || !isFamilyPartner(wife))
        return PersonNotInFamilyMessage;
    if (husband == BlankPartner && wife == BlankPartner)
        return BothBlankMessage;
    // Different stand-ins for the two sides, so a blank partner never counts as the
    // same sex.
    const Tables& t = tables();
    const int husbandSex = isPersonSlot(husband) ? t.per_buf[husband].Sex : -1;
    const int wifeSex = isPersonSlot(wife) ? t.per_buf[wife].Sex : -2;
    if (husbandSex == wifeSex)
        return SameSexMessage;
    return {};
}

// True unless a child the record lists names a person slot that holds nobody (freed
// since a window showed him). An entry outside the person table is refused child by
// child, as Add_Kodo refuses it.
bool childrenInFamily(const kou_work& record)
{
    const int count = std::min<int>(record.KodoCnt, ChildArraySize);
    for (int i = 0; i < count; ++i) {
        const int child = record.Kodo[i].kou_kodo;
        if (isPersonSlot(child) && !isUsedPerson(child))
            return false;
    }
    return true;
}

// The name shown with a refused child: family name, a blank, given name.
std::string childName(int person)
{
    if (!isPersonReference(person))
        return {};
    const personal_data& p = tables().per_buf[person];
    return p.F_name + " " + p.Name;
}

// ---- regist_kou_data steps ----

int storeMarriage(const kou_work& record)
{
    Tables& t = tables();
    RunState& run = runState();
    const bool isNew = run.KouNum == -1;
    const int startFlag = isNew ? 1 : record.dsp_start;
    t.Sel_ChildKou = -1;
    const int result = set_kou_buf(run.KouNum, record.kou_state, record.kou_mode, record.sort_lev,
                                   record.kou_titi, record.kou_haha, startFlag, record.kou_title,
                                   record.Yoshi_f);
    t.Sel_ChildKou = narrow(result);
    return result;
}

// A new child goes into the first empty slot, registered with the marriage, with no
// comment and not carrying the family line: KodoWork holds whatever the last child
// operation left in it, so every value Add_Kodo writes is set here.
int addNewChild(int kou, int person, int visible)
{
    kodo_data& work = tables().KodoWork;
    work.KouIdx = narrow(kou);
    work.KodoIdx = -1;
    work.kou_kodo = narrow(person);
    work.kou_kodo_stat = 0;
    work.kou_kodo_comment.clear();
    work.kodo_visible = narrow(visible);
    work.kodo_honsuji = -1;
    return Add_Kodo(work);
}

// Children already in the marriage only take their direct-line mark; the others are
// added. A refused child is reported and the rest still go in; the last refusal's
// message stays.
void registerChildren(kou_work& record, int kou)
{
    Tables& t = tables();
    // Kodo has ChildArraySize entries; a larger count from a caller reads no further.
    const int count = std::min<int>(record.KodoCnt, ChildArraySize);
    for (int i = 0; i < count; ++i) {
        const KodoEntry& entry = record.Kodo[i];
        const int present = Find_KodoSlot(kou, entry.kou_kodo);
        if (present >= 0) {
            t.kou_buf[kou].kodo_visible[present] = entry.kodo_visible;
            continue;
        }
        const int slot = addNewChild(kou, entry.kou_kodo, entry.kodo_visible);
        t.Sel_ChildSlot = narrow(slot);
        if (slot == -1)
            refuse(record, ChildSlotsFullMessage);
        else if (slot == -2)
            refuse(record, childName(entry.kou_kodo) + AncestorChildMessage);
    }
}

// ---- set_kou_buf steps ----

// Another used marriage of exactly this husband and wife (swapped partners are a
// different couple); -1 none.
int findSameCouple(int kouIdx, int husband, int wife)
{
    const Tables& t = tables();
    for (int k = 1; k <= LastSlot; ++k) {
        const marry_data& m = t.kou_buf[k];
        if (k != kouIdx && isUsedMarriage(m) && m.kou_titi == husband && m.kou_haha == wife)
            return k;
    }
    return -1;
}

int firstFreeMarriage()
{
    const Tables& t = tables();
    for (int k = 1; k <= LastSlot; ++k) {
        if (!isUsedMarriage(t.kou_buf[k]))
            return k;
    }
    return -1;
}

// Why set_kou_buf would refuse to store this couple: -1 a marriage outside the table,
// a partner who is not of the family or no free slot for a new marriage, -2 the same
// couple is already married; 0 none.
int storeRefusal(int kouIdx, int husband, int wife)
{
    if ((kouIdx != -1 && !isMarriageSlot(kouIdx)) || !isFamilyPartner(husband) || !isFamilyPartner(wife))
        return -1;
    if (findSameCouple(kouIdx, husband, wife) >= 0)
        return -2;
    if (kouIdx == -1 && firstFreeMarriage() < 0)
        return -1;
    return 0;
}

// The stored marriage becomes the only start marriage. Every other record holding the
// flag loses it, in use or not: a stale flag left in a free record must not shield the
// real start marriage, which would leave the chart with two.
void takeStartFlag(int slot)
{
    Tables& t = tables();
    for (int k = 1; k <= LastSlot; ++k) {
        if (k != slot && t.kou_buf[k].dsp_start == 1)
            t.kou_buf[k].dsp_start = 0;
    }
}

// The record before a change, for the editor's undo; a new marriage has none.
marry_data recordBefore(int kouIdx, int slot)
{
    return kouIdx == -1 ? marry_data() : tables().kou_buf[slot];
}

// The editor's undo of this registration, recorded once the marriage is stored, so
// that it can compare what the undo would take back. `displacedStart` is the start
// marriage before the registration, which the undo gives the mark back to.
void recordUndo(int kouIdx, int slot, const marry_data& before, int displacedStart)
{
    KouUndoRecord record;
    record.KouUndoMode = kouIdx == -1 ? KouUndo::NewMarriage : KouUndo::ChangedMarriage;
    record.KouUndoBuf = before;
    record.UndoKou = narrow(slot);
    record.displacedStart = narrow(displacedStart);
    recordKouUndo(std::move(record));
}

int usedMarriageCount()
{
    const Tables& t = tables();
    return static_cast<int>(std::count_if(t.kou_buf.begin() + 1, t.kou_buf.end(),
                                          [](const marry_data& m) { return isUsedMarriage(m); }));
}

// The first marriage of a family is always the start marriage.
void writeStartFlag(int slot, int dspStart)
{
    const bool firstMarriage = usedMarriageCount() == 0;
    tables().kou_buf[slot].dsp_start = firstMarriage ? 1 : narrow(dspStart);
}

// Other relations (kou_mode 1) of the same husband or the same wife take the given
// line flag. The blank partner is nobody: two couples that both lack a husband share
// no one, so they never pass the flag to each other.
void setOtherRelationsLine(int slot, int husband, int wife, int lineFlag)
{
    Tables& t = tables();
    for (int k = 1; k <= LastSlot; ++k) {
        marry_data& m = t.kou_buf[k];
        if (k == slot || !isUsedMarriage(m) || m.kou_mode != 1)
            continue;
        const bool sameHusband = isPersonSlot(husband) && m.kou_titi == husband;
        const bool sameWife = isPersonSlot(wife) && m.kou_haha == wife;
        if (sameHusband || sameWife)
            m.Yoshi_f = narrow(lineFlag);
    }
}

// Through which partner the family line continues. A partner who is a child of a
// recorded marriage has parents on record, so the line goes through that side.
void decideLine(int slot, int wished)
{
    Tables& t = tables();
    marry_data& k = t.kou_buf[slot];
    const int husband = k.kou_titi;
    const int wife = k.kou_haha;
    // Both look-ups run, husband first; each hit moves Sel_ChildKou/Sel_ChildSlot.
    const bool husbandIsChild = Get_ChildKou(husband) == 0;
    const bool wifeIsChild = Get_ChildKou(wife) == 0;

    if (!husbandIsChild && !wifeIsChild && k.kou_mode != 1) {
        k.Yoshi_f = narrow(wished);
        setOtherRelationsLine(slot, husband, wife, std::abs(wished - 1));
    } else if (k.kou_mode == 1) {
        k.Yoshi_f = narrow(wished);
    } else if (wished == 0) {
        if (!husbandIsChild) {
            k.Yoshi_f = 1;
        } else {
            k.Yoshi_f = 0;
            setOtherRelationsLine(slot, husband, wife, 1);
        }
    } else if (wished == 1) {
        if (!wifeIsChild) {
            k.Yoshi_f = 0;
        } else {
            k.Yoshi_f = 1;
            setOtherRelationsLine(slot, husband, wife, 0);
        }
    }
    // Any other wish leaves Yoshi_f as it was.
}

// An empty title becomes "<husband's family name>家" for a normal marriage (nothing
// when there is no family name) and the state word for every other state.
std::string titleFor(const std::string& title, const std::string& state, int husband)
{
    if (!title.empty())
        return title;
    if (state != "通常")
        return state;
    if (!isPersonSlot(husband))
        return {};
    const std::string familyName = platform::Trim(tables().per_buf[husband].F_name);
    return familyName.empty() ? std::string() : familyName + "家";
}

} // namespace

void init_kou_work(kou_work& record)
{
    record = kou_work();
}

void regist_kou_data(kou_work& record)
{
    Tables& t = tables();
    record.ErrFlag = 0;
    runState().KouNum = record.KouIdx;

    std::string refusal = partnerRefusal(record);
    if (refusal.empty() && !childrenInFamily(record))
        refusal = PersonNotInFamilyMessage;
    if (!refusal.empty()) {
        refuse(record, refusal);
        record.Registered = 0;
        return;
    }

    // A refused registration changes nothing, so it takes no snapshot either: the
    // main window's undo still takes back the command before it.
    const int refused = storeRefusal(record.KouIdx, record.kou_titi, record.kou_haha);
    if (refused != 0) {
        t.Sel_ChildKou = narrow(refused);
        refuse(record, refused == -1 ? tableFullMessage() : std::string(SameCoupleMessage));
        record.Registered = 0;
        return;
    }
    if (record.SnapshotTaken != 1)
        windowServices().saveUndo();

    const int kou = storeMarriage(record);

    t.kou_buf[kou].Bunke = record.Bunke;
    registerChildren(record, kou);
    // The children belong to the step: its undo compares the marriage with them.
    retraceKouUndo(kou);
    record.Registered = 1;
}

int set_kou_buf(int KouIdx, const std::string& kou_state, int kou_mode, int sort_lev, int kou_titi,
                int kou_haha, int dsp_start, const std::string& kou_title, int Yoshi_f)
{
    // Arguments come from callers; one outside the tables is refused before anything
    // is touched.
    const int refused = storeRefusal(KouIdx, kou_titi, kou_haha);
    if (refused != 0)
        return refused;
    snapshotBeforeChange();
    const int slot = KouIdx == -1 ? firstFreeMarriage() : KouIdx;

    const marry_data before = recordBefore(KouIdx, slot);
    const int displacedStart = currentStartMarriage();
    if (dsp_start == 1)
        takeStartFlag(slot);
    writeStartFlag(slot, dsp_start);

    Tables& t = tables();
    marry_data& k = t.kou_buf[slot];
    k.InUse = SlotUsed;
    k.kou_state = kou_state;
    k.kou_mode = narrow(kou_mode);
    k.sort_lev = narrow(sort_lev);
    k.kou_titi = narrow(kou_titi);
    k.kou_haha = narrow(kou_haha);

    decideLine(slot, Yoshi_f);
    k.kou_title = titleFor(kou_title, kou_state, kou_titi);
    t.Data_Changed = 1;
    recordUndo(KouIdx, slot, before, displacedStart);
    return slot;
}

} // namespace model

#include "model/tables.h"

namespace model {

marry_data::marry_data()
{
    kou_kodo.fill(-1);
    kou_kodo_stat.fill(-1);
    kodo_spare.fill(-1);
    kodo_link.fill(-1);
    kodo_honsuji.fill(-1);
    kodo_visible.fill(1);
    kodo_yoshirireki.fill(-1);
}

bool operator==(const personal_data& a, const personal_data& b)
{
    return a.InUse == b.InUse && a.F_name == b.F_name && a.Name == b.Name && a.Sex == b.Sex
        && a.B_day == b.B_day && a.Old_name == b.Old_name && a.Death_day == b.Death_day
        && a.Age == b.Age && a.YubinNo == b.YubinNo && a.Addr1 == b.Addr1 && a.Addr2 == b.Addr2
        && a.TelNo == b.TelNo && a.FaxNo == b.FaxNo && a.KeiNo == b.KeiNo && a.E_mail == b.E_mail
        && a.Biko == b.Biko && a.Voice_index == b.Voice_index
        && a.Voice_filename == b.Voice_filename && a.Picture_filename == b.Picture_filename
        && a.Picture_index == b.Picture_index && a.Picture_mode == b.Picture_mode
        && a.Zokugara == b.Zokugara && a.ZokugaraK == b.ZokugaraK && a.Kaimyo == b.Kaimyo
        && a.GrpName == b.GrpName && a.Disp == b.Disp && a.OrgIdx == b.OrgIdx
        && a.CategoryF == b.CategoryF && a.CopyIdx == b.CopyIdx
        && a.MultiParentF == b.MultiParentF && a.CsvOutFlag == b.CsvOutFlag;
}

bool operator==(const marry_data& a, const marry_data& b)
{
    return a.InUse == b.InUse && a.kou_gen == b.kou_gen && a.kou_title == b.kou_title
        && a.kou_state == b.kou_state && a.kou_mode == b.kou_mode && a.sort_lev == b.sort_lev
        && a.kou_titi == b.kou_titi && a.kou_haha == b.kou_haha && a.kou_kodo == b.kou_kodo
        && a.kou_kodo_stat == b.kou_kodo_stat && a.kodo_spare == b.kodo_spare
        && a.kou_kodo_comment == b.kou_kodo_comment && a.dsp_start == b.dsp_start
        && a.Yoshi_f == b.Yoshi_f && a.org_titi == b.org_titi && a.org_haha == b.org_haha
        && a.kodo_link == b.kodo_link && a.kodo_honsuji == b.kodo_honsuji
        && a.kodo_visible == b.kodo_visible && a.Bunke == b.Bunke
        && a.kodo_yoshirireki == b.kodo_yoshirireki;
}

std::string slotVoiceName(int slot)
{
    return "voice" + std::to_string(slot) + ".wav";
}

personal_data clearedPerson(int slot)
{
    personal_data p;
    p.Voice_filename = slotVoiceName(slot);
    p.Disp = tables().DefDispStat;
    return p;
}

namespace {
uint64_t g_familyEdits = 0;
} // namespace

ChangedFlag& ChangedFlag::operator=(int16_t value)
{
    m_value = value;
    if (value == 1)
        m_lastEdit = ++g_familyEdits;
    return *this;
}

uint64_t familyEdits()
{
    return g_familyEdits;
}

Tables::Tables()
{
    for (int i = 0; i < RecordCount; ++i) {
        per_buf[i].Voice_filename = slotVoiceName(i);
        per_buf[i].Disp = DefDispStat;
    }
}

void Tables::resetRunTimeValues()
{
    Cur_FilePath.clear();
    Data_Changed = 0;
    PerCount = 0;
    DummyManCnt = 1;
    DummyWomanCnt = 1;
}

Tables& tables()
{
    // Built on first use and never destroyed, so windows torn down late in program
    // exit can still read it.
    static Tables* const instance = new Tables();
    return *instance;
}

} // namespace model

#include "model/settings.h"

#include "model/run_state.h"

namespace model {

namespace {

// Person-list columns shown in a new family: family name, given name, sex, birth
// date, age, telephone, first address line.
constexpr int DefaultListColumns[] = {1, 2, 4, 5, 7, 8, 11};
// CSV export columns on in a new family.
constexpr int DefaultCsvColumns[] = {1, 2, 4, 5};
// Only entries 1..14 get new-family values; entry 0 and 15..20 are kept.
constexpr int FirstResetFactor = 1;
constexpr int LastResetFactor = 14;

constexpr int16_t DefaultCelWidth[FactorCount] = {200,  1000, 1000, 1000, 550,  1700, 1700,
                                                  550,  1350, 1450, 1350, 3200, 3200, 1000,
                                                  3100, 3100, 3100, 800,  1200, 1200, 1200};

void resetFactors(std::array<bool, FactorCount>& factors, const int* shownBegin, const int* shownEnd)
{
    for (int i = FirstResetFactor; i <= LastResetFactor; ++i)
        factors[i] = false;
    for (const int* p = shownBegin; p != shownEnd; ++p)
        factors[*p] = true;
}

} // namespace

Settings::Settings()
{
    resetForNewFamily();
}

void Settings::resetForNewFamily()
{
    // Saved settings. Dispmode_BGmap, Dispmode_Flip, Array_SortMode, Sort_factor and
    // the Print_ values are kept: they stay as the previous family left them.
    filetype = "KEZ";
    FileVer = "6.00";
    font = "ＭＳ Ｐゴシック";
    fontsize = 15;
    write_state = 0;
    dispmode = 1;
    Dispmode_Death = 0;
    Dispmode_Manwoman = 0;
    Dispmode_Nengo = 1;
    Dispmode_Icon = 0;
    Dispmode_Fname = 0;
    Dispmode_BGcolor = ColourWhite;
    Dispmode_Tyokei = 0;
    resetFactors(DispFactor, std::begin(DefaultListColumns), std::end(DefaultListColumns));
    Nenpyo_SortMode = 0;

}

Settings& settings()
{
    static Settings* const instance = new Settings();
    return *instance;
}

Settings newFamilySettings()
{
    Settings next = settings();
    next.resetForNewFamily();
    return next;
}

void copyViewChoices(const Settings& from, Settings& to)
{
    to.DispFactor = from.DispFactor;
    to.Sort_factor = from.Sort_factor;
    to.Array_SortMode = from.Array_SortMode;
    to.Nenpyo_SortMode = from.Nenpyo_SortMode;
}

RunDefaults::RunDefaults()
{
    resetForNewFamily();
}

void RunDefaults::resetForNewFamily()
{
    for (int i = 0; i < FactorCount; ++i)
        CelWidth[i] = DefaultCelWidth[i];
    resetFactors(CsvFactor, std::begin(DefaultCsvColumns), std::end(DefaultCsvColumns));
    PWM_Value = 2.0;
    DspOp_Person = -1;
    PicMode = -1;
    Dbg_Flag = 0;
    YTbl_Open = 0;
    CelSet_Open = 0;
    Sel_Person = -1;
    KouNum = -1;
    Cur_PerIdx = -1;
    Entry_EditMode = 0;
    Sel_KouMark = 0;
    Sel_BoxMark = 0;
}

RunState& runState()
{
    static RunState* const instance = new RunState();
    return *instance;
}

} // namespace model

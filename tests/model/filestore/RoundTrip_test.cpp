// Save then load gives the same family, over randomised families: every saved field of
// every person in its slot, the marriages closed up into slots 1, 2, 3 ... with their
// children closed up into slots 0, 1, 2 ..., the settings and both lists. An adoption
// history still names the same marriage after the closing up, or none when the
// marriage it named was not in use.

#include "FileStoreTest.h"

#include "model/DispStat.h"
#include "model/filestore/FamilyFile.h"

#include <random>
#include <vector>

namespace model::testing {
namespace {

class RandomFamily {
public:
    explicit RandomFamily(unsigned seed) : m_rng(seed) {}

    void build()
    {
        Settings& s = settings();
        s.filetype = text(6);
        s.font = text(12);
        s.fontsize = int16();
        s.write_state = pick<int16_t>({0, 1});
        s.dispmode = pick<int16_t>({0, 1});
        s.Dispmode_Death = pick<int16_t>({0, 1});
        s.Dispmode_Manwoman = int16();
        s.Dispmode_Nengo = int32();
        s.Dispmode_Icon = int16();
        s.Dispmode_Fname = int16();
        s.Dispmode_BGcolor = int32();
        s.Dispmode_BGmap = int16();
        s.Dispmode_Tyokei = int16();
        s.Dispmode_Flip = int16();
        s.Array_SortMode = int16();
        s.Sort_factor = int16();
        for (int k = 1; k <= 14; ++k)
            s.DispFactor[k] = chance(2);
        s.Nenpyo_SortMode = int16();
        s.Print_Scale = static_cast<float>(between(-100000, 100000) / 100.0);
        s.Print_TateYoko = int16();
        s.Print_Allmode = int16();
        s.Print_BGmap = int16();

        const int persons = between(0, 60);
        for (int i = 0; i < persons; ++i)
            buildPerson(between(1, LastPersonSlot));
        // A marriage names persons of the family: one naming an empty slot is damage
        // the reader reports.
        const int marriages = m_persons.empty() ? 0 : between(0, 40);
        for (int i = 0; i < marriages; ++i)
            buildMarriage(between(1, LastSlot));
        nameMarriagesInHistories();

        Tables& t = tables();
        const int groups = between(0, 5);
        for (int i = 0; i < groups; ++i)
            t.GrpNameList.push_back(GrpNameRec{"組" + std::to_string(i) + text(4), 0, pick<int16_t>({0, -1})});
        t.GrpNameCount = static_cast<int16_t>(groups - 1);
        const int titles = between(0, 5);
        for (int i = 0; i < titles; ++i) {
            GrpTitleRec row;
            row.TitleName = text(10);
            row.Visible = pick<int16_t>({0, -1});
            // A leader is a person of the family (or none, 0), as a copy's source is.
            row.Leader = m_persons.empty() || chance(3) ? int16_t(0) : familyPerson();
            row.Offset = between(-20, 20) / 2.0;
            t.GrpTitleList.push_back(row);
        }
        t.GrpTitleCount = static_cast<int16_t>(titles - 1);
    }

private:
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }
    bool chance(int oneIn) { return between(1, oneIn) == 1; }
    int16_t int16() { return static_cast<int16_t>(between(-32768, 32767)); }
    int32_t int32() { return static_cast<int32_t>(std::uniform_int_distribution<int64_t>(INT32_MIN, INT32_MAX)(m_rng)); }
    template <class T>
    T pick(std::initializer_list<T> values)
    {
        return *(values.begin() + between(0, static_cast<int>(values.size()) - 1));
    }
    // A person of the family built so far.
    int16_t familyPerson() { return m_persons[static_cast<size_t>(between(0, static_cast<int>(m_persons.size()) - 1))]; }

    // Text cp932 can hold, with line breaks of every kind and "=" signs, never starting
    // or ending with a blank (the reader trims those).
    std::string text(int maxPieces)
    {
        static const char* pieces[] = {"a", "Z", "0", "9", "=", "-", "_", ".", "[", "]", "山", "田", "ア", "ｱ",
                                       "～", "－", "髙", "①", "\n", "\r\n", "\r", " ", "　", "\\", "ソ", "表"};
        std::string s;
        const int n = between(0, maxPieces);
        for (int i = 0; i < n; ++i)
            s += pieces[between(0, static_cast<int>(std::size(pieces)) - 1)];
        while (!s.empty() && s.front() == ' ')
            s.erase(s.begin());
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        return s;
    }

    void buildPerson(int slot)
    {
        personal_data& p = tables().per_buf[slot];
        p = clearedPerson(slot);
        p.InUse = SlotUsed;
        m_persons.push_back(static_cast<int16_t>(slot));
        for (std::string* field : {&p.F_name, &p.Name, &p.B_day, &p.Old_name, &p.Death_day, &p.YubinNo, &p.Addr1,
                                   &p.Addr2, &p.TelNo, &p.FaxNo, &p.KeiNo, &p.E_mail, &p.Zokugara, &p.ZokugaraK,
                                   &p.Kaimyo, &p.GrpName, &p.Voice_filename, &p.Picture_filename})
            *field = text(8);
        p.Biko = text(200);
        p.Sex = int16();
        p.Age = int16();
        // No media files exist, so collecting the media resets any reference anyway.
        p.Voice_index = -1;
        p.Picture_index = -1;
        p.Picture_mode = int16();
        p.CategoryF = int16();
        p.CopyIdx = chance(2) ? int16_t(-1) : familyPerson();
        p.CsvOutFlag = int16();
        DispStat& d = p.Disp;
        for (int i = 0; i < DispItemCount; ++i) {
            d.DSW[i] = pick<int16_t>({0, -1});
            d.DRank[i] = int16();
            d.DBai[i] = int16();
            d.DWLocate[i] = int16();
            d.DHLocate[i] = int16();
            d.DStart[i] = between(-1000000, 1000000) / 100.0;
            d.DWidth[i] = between(0, 800) / 8.0;
        }
        for (int16_t* field : {&d.DS_FName, &d.DS_Houko, &d.DS_Nen, &d.DS_Waku, &d.DS_DeathW, &d.DS_Visible,
                               &d.DS_PicHouko, &d.DS_WakuPat})
            *field = int16();
    }

    // Most adoption histories name a marriage in use, which moves when the marriages
    // are closed up; the others name a free slot.
    void nameMarriagesInHistories()
    {
        std::vector<int16_t> used;
        for (int k = 1; k <= LastSlot; ++k) {
            if (tables().kou_buf[k].InUse == SlotUsed)
                used.push_back(static_cast<int16_t>(k));
        }
        if (used.empty())
            return;
        for (int16_t k : used) {
            for (int16_t& history : tables().kou_buf[k].kodo_yoshirireki) {
                if (history != -1 && !chance(4))
                    history = used[static_cast<size_t>(between(0, static_cast<int>(used.size()) - 1))];
            }
        }
    }

    void buildMarriage(int slot)
    {
        marry_data& m = tables().kou_buf[slot];
        m = marry_data();
        m.InUse = SlotUsed;
        m.kou_title = text(6);
        m.kou_state = text(4);
        m.kou_mode = int16();
        m.sort_lev = int16();
        m.kou_titi = chance(8) ? BlankPartner : familyPerson();
        m.kou_haha = m.kou_titi != BlankPartner && chance(8) ? BlankPartner : familyPerson();
        m.dsp_start = int16();
        m.Yoshi_f = int16();
        m.Bunke = int16();
        for (int c = 0; c <= LastChildSlot; ++c) {
            if (!chance(3))
                continue;
            m.kou_kodo[c] = familyPerson();
            m.kou_kodo_stat[c] = int16();
            m.kou_kodo_comment[c] = text(6);
            m.kodo_honsuji[c] = int16();
            m.kodo_visible[c] = int16();
            m.kodo_yoshirireki[c] = chance(2) ? int16_t(-1) : static_cast<int16_t>(between(1, LastSlot));
        }
    }

    std::mt19937 m_rng;
    std::vector<int16_t> m_persons; // the slots built, in the order built
};

// What the file carries of a text: every CR LF and lone CR becomes LF.
std::string asWritten(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        out += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return out;
}

// The family as a new family that loaded the file of the current one must look.
std::unique_ptr<FamilyState> expectedAfterLoad(const Settings& newFamilySettings)
{
    auto expected = std::make_unique<FamilyState>();
    const auto fresh = std::make_unique<Tables>();
    expected->per = fresh->per_buf;
    expected->kou = fresh->kou_buf;
    const Tables& t = tables();

    for (int i = 1; i <= LastSlot; ++i) {
        if (t.per_buf[i].InUse != SlotUsed)
            continue;
        personal_data p = t.per_buf[i];
        for (std::string* field : {&p.F_name, &p.Name, &p.B_day, &p.Old_name, &p.Death_day, &p.YubinNo, &p.Addr1,
                                   &p.Addr2, &p.TelNo, &p.FaxNo, &p.KeiNo, &p.E_mail, &p.Biko, &p.Zokugara,
                                   &p.ZokugaraK, &p.Kaimyo, &p.GrpName, &p.Voice_filename, &p.Picture_filename})
            *field = asWritten(*field);
        p.OrgIdx = -1;
        p.MultiParentF = 0;
        expected->per[i] = p;
    }

    std::vector<int16_t> slotAfterLoad(RecordCount, -1);
    int16_t used = 0;
    for (int k = 1; k <= LastSlot; ++k) {
        if (t.kou_buf[k].InUse == SlotUsed)
            slotAfterLoad[static_cast<size_t>(k)] = ++used;
    }

    int next = 1;
    for (int k = 1; k <= LastSlot; ++k) {
        const marry_data& m = t.kou_buf[k];
        if (m.InUse != SlotUsed)
            continue;
        marry_data packed;
        packed.InUse = SlotUsed;
        packed.kou_title = asWritten(m.kou_title);
        packed.kou_state = asWritten(m.kou_state);
        packed.kou_mode = m.kou_mode;
        packed.sort_lev = m.sort_lev;
        packed.kou_titi = m.kou_titi;
        packed.kou_haha = m.kou_haha;
        packed.dsp_start = m.dsp_start;
        packed.Yoshi_f = m.Yoshi_f;
        packed.Bunke = m.Bunke;
        packed.kou_kodo_stat.fill(0); // the preset of every child entry read from a file
        int slot = 0;
        for (int c = 0; c <= LastChildSlot; ++c) {
            if (m.kou_kodo[c] == -1)
                continue;
            packed.kou_kodo[slot] = m.kou_kodo[c];
            packed.kou_kodo_stat[slot] = m.kou_kodo_stat[c];
            packed.kou_kodo_comment[slot] = asWritten(m.kou_kodo_comment[c]);
            packed.kodo_honsuji[slot] = m.kodo_honsuji[c];
            packed.kodo_visible[slot] = m.kodo_visible[c];
            const int16_t history = m.kodo_yoshirireki[c];
            packed.kodo_yoshirireki[slot] =
                history >= 1 && history <= LastSlot ? slotAfterLoad[static_cast<size_t>(history)] : int16_t(-1);
            ++slot;
        }
        expected->kou[next++] = packed;
    }

    expected->settings = settings();
    expected->settings.dispmode = 1;
    expected->settings.FileVer = newFamilySettings.FileVer;
    expected->settings.font = asWritten(expected->settings.font);
    expected->settings.filetype = asWritten(expected->settings.filetype);
    expected->groups = t.GrpNameList;
    for (auto& row : expected->groups)
        row.GrpName = asWritten(row.GrpName);
    expected->groupCount = t.GrpNameCount;
    expected->titles = t.GrpTitleList;
    for (auto& row : expected->titles) {
        row.TitleName = asWritten(row.TitleName);
        row.Offset = std::max(-10.0, std::min(10.0, row.Offset));
    }
    expected->titleCount = t.GrpTitleCount;
    return expected;
}

class RoundTripTest : public FileStoreTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(RoundTripTest, SaveThenLoadGivesTheSameFamily)
{
    RandomFamily(GetParam()).build();
    model::Apply_DispModes(); // as every chart build leaves the family
    const auto expected = expectedAfterLoad(Settings());

    saveTo(pathOf("random.kez"));
    resetProgramState();
    ASSERT_TRUE(load_file(pathOf("random.kez")));

    EXPECT_TRUE(answers.shown().empty());
    expectSameFamily(*expected, *captureFamily());
}

INSTANTIATE_TEST_SUITE_P(Seeds, RoundTripTest, ::testing::Range(1u, 41u));

} // namespace
} // namespace model::testing

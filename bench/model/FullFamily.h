#pragma once
// The largest family the tables hold, shared by the file store and snapshot
// benchmarks: 1023 persons with every text field filled (remarks of 1024 characters),
// 1024 marriages with all 20 child slots filled. Its family file is some 7 MB of
// cp932 text.

#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace benchfamily {

// A program folder of its own for the run, removed at exit.
class ScratchHome {
public:
    ScratchHome()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tevora-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create " + pattern);
        m_path = pattern;
        platform::makeDir(platform::joinPath(m_path, "voice"));
        platform::makeDir(platform::joinPath(m_path, "face"));
        platform::setAppPathForTesting(m_path);
    }
    ~ScratchHome() { platform::removeTree(m_path); }
    std::string file(const std::string& name) const { return platform::joinPath(m_path, name); }

private:
    std::string m_path;
};

// Text of n characters mixing kanji, kana and ASCII, as remarks and addresses hold.
inline std::string filler(int n, int seed)
{
    static const char* pieces[] = {"山", "田", "東", "京", "都", "あ", "い", "ア", "1", "-", "a", "〒"};
    std::string s;
    for (int i = 0; i < n; ++i)
        s += pieces[(i * 7 + seed) % 12];
    return s;
}

// Persons 1..count of a family whose tables are empty, each with a face picture of
// bytes of its own in the work folder of home.
inline void buildPicturedFamily(const ScratchHome& home, int count, size_t bytes)
{
    model::Tables& t = model::tables();
    const std::string picture(bytes, '\x5A');
    for (int p = 1; p <= count; ++p) {
        model::personal_data& r = t.per_buf[p];
        r = model::clearedPerson(p);
        r.InUse = model::SlotUsed;
        r.F_name = filler(3, p);
        r.Name = filler(2, p + 1);
        r.Picture_filename = "face" + std::to_string(p) + ".bmp";
        r.Picture_index = 0;
        platform::writeWholeFile(home.file("face/" + r.Picture_filename), picture);
    }
}

inline void buildFullFamily()
{
    model::Tables& t = model::tables();
    for (int p = 1; p <= model::LastPersonSlot; ++p) {
        model::personal_data& r = t.per_buf[p];
        r = model::clearedPerson(p);
        r.InUse = model::SlotUsed;
        r.F_name = filler(4, p);
        r.Name = filler(3, p + 1);
        r.Sex = static_cast<int16_t>(p % 2);
        r.B_day = "昭和" + std::to_string(p % 60 + 1) + "年1月1日";
        r.Old_name = filler(4, p + 2);
        r.Death_day = "平成" + std::to_string(p % 30 + 1) + "年2月2日";
        r.Age = static_cast<int16_t>(p % 100);
        r.YubinNo = "100-0001";
        r.Addr1 = filler(30, p);
        r.Addr2 = filler(30, p + 3);
        r.TelNo = "03-1234-5678";
        r.FaxNo = "03-1234-5679";
        r.KeiNo = "090-1234-5678";
        r.E_mail = "person" + std::to_string(p) + "@example.jp";
        r.Biko = filler(1024, p);
        r.Zokugara = "長男";
        r.ZokugaraK = "夫";
        r.Kaimyo = filler(10, p);
        r.GrpName = "本家";
        r.Picture_filename = "face" + std::to_string(p) + ".bmp";
        r.Disp.DStart[3] = 12.5;
    }
    for (int k = 1; k <= model::LastSlot; ++k) {
        model::marry_data& m = t.kou_buf[k];
        m = model::marry_data();
        m.InUse = model::SlotUsed;
        m.kou_title = filler(3, k) + "家";
        m.kou_state = "通常";
        m.kou_mode = 0;
        m.sort_lev = 0;
        m.kou_titi = static_cast<int16_t>((k * 2) % model::LastPersonSlot + 1);
        m.kou_haha = static_cast<int16_t>((k * 2 + 1) % model::LastPersonSlot + 1);
        for (int c = 0; c <= model::LastChildSlot; ++c) {
            m.kou_kodo[c] = static_cast<int16_t>((k * 20 + c) % model::LastPersonSlot + 1);
            m.kou_kodo_stat[c] = 0;
            m.kou_kodo_comment[c] = "第" + std::to_string(c + 1) + "子";
            m.kodo_honsuji[c] = -1;
            m.kodo_visible[c] = 1;
        }
    }
    t.GrpNameList = {model::GrpNameRec{"本家", 0, -1}};
    t.GrpNameCount = 0;
}

class Quiet : public platform::Hooks {
public:
    int msgBox(const std::string& text, int, const std::string&) override
    {
        throw std::runtime_error("unexpected message: " + text);
    }
};

} // namespace benchfamily

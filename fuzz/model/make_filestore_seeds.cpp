// Writes seed files for the fuzz targets with the family file writer: an empty family,
// a small family with Japanese text, children, a relationship with the blank partner and
// both group lists, one with voice memos and face pictures (its bundle as well), and
// one whose chart has several trees: three generations with a second relation, an
// adopted child, an adoptive husband and a couple no one else is related to.
// Usage: make_filestore_seeds <folder>

#include "FuzzHome.h"

#include "model/filestore/FamilyFile.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

void newFamily()
{
    const auto fresh = std::make_unique<model::Tables>();
    model::tables() = *fresh;
    model::settings() = model::Settings();
}

model::personal_data& person(int slot, const std::string& familyName, const std::string& name)
{
    model::personal_data& p = model::tables().per_buf[slot];
    p = model::clearedPerson(slot);
    p.InUse = model::SlotUsed;
    p.F_name = familyName;
    p.Name = name;
    return p;
}

model::marry_data& marriage(int slot, int husband, int wife)
{
    model::marry_data& m = model::tables().kou_buf[slot];
    m = model::marry_data();
    m.InUse = model::SlotUsed;
    m.kou_state = "通常";
    m.kou_mode = 0;
    m.sort_lev = 0;
    m.kou_titi = static_cast<int16_t>(husband);
    m.kou_haha = static_cast<int16_t>(wife);
    return m;
}

void smallFamily()
{
    person(1, "山田", "太郎").Biko = "一行目\n二行目";
    person(2, "山田", "花子").B_day = "昭和12年5月5日";
    person(3, "山田", "一郎").GrpName = "本家";
    person(5, "山田", "春子");
    model::marry_data& m = marriage(1, 1, 2);
    m.kou_title = "山田家";
    m.dsp_start = 1;
    m.kou_kodo[0] = 3;
    m.kou_kodo[2] = 5;
    m.kou_kodo_comment[2] = "養女";
    model::marry_data& r = marriage(3, model::BlankPartner, 5);
    r.kou_mode = 1;
    r.kou_state = "愛人";
    model::Tables& t = model::tables();
    t.GrpNameList = {model::GrpNameRec{"本家", 0, -1}};
    t.GrpNameCount = 0;
    model::GrpTitleRec title;
    title.TitleName = "山田本流";
    title.Leader = 1;
    t.GrpTitleList = {title};
    t.GrpTitleCount = 0;
    model::settings().Print_Scale = 0.75f;
}

void mediaFamily(const FuzzHome& home)
{
    smallFamily();
    platform::writeWholeFile(home.file("voice/voice1.wav"), "RIFF....WAVEfmt ");
    platform::writeWholeFile(home.file("face/顔.bmp"), "BM6.......");
    model::tables().per_buf[1].Voice_index = 0;
    model::tables().per_buf[1].Voice_filename = "voice1.wav";
    model::tables().per_buf[2].Picture_index = 0;
    model::tables().per_buf[2].Picture_filename = "顔.bmp";
}

void child(model::marry_data& m, int index, int person, int stat = 0)
{
    m.kou_kodo[index] = static_cast<int16_t>(person);
    m.kou_kodo_stat[index] = static_cast<int16_t>(stat);
}

void chartFamily()
{
    const char* names[] = {"一郎", "花子", "次郎", "春子", "三郎", "夏子", "四郎", "秋子", "五郎", "冬子"};
    for (int slot = 1; slot <= 10; ++slot) {
        model::personal_data& p = person(slot, slot <= 8 ? "佐藤" : "鈴木", names[slot - 1]);
        p.Sex = static_cast<int16_t>((slot + 1) % 2);
        p.B_day = std::to_string(1880 + slot * 7) + "/03/0" + std::to_string(slot % 9 + 1);
    }
    model::tables().per_buf[2].B_day = "明治20年1月1日";
    model::tables().per_buf[1].Death_day = "昭和20年8月15日";
    model::marry_data& first = marriage(1, 1, 2);
    first.kou_title = "佐藤家";
    first.dsp_start = 1;
    child(first, 0, 3);
    child(first, 1, 6, 2);
    model::marry_data& second = marriage(2, 1, 4);
    second.kou_mode = 1;
    second.sort_lev = 1;
    child(second, 0, 5);
    model::marry_data& adoptive = marriage(3, 7, 6);
    adoptive.Yoshi_f = 1;
    child(adoptive, 0, 8);
    marriage(4, 3, model::BlankPartner).kou_mode = 1;
    marriage(5, 9, 10).kou_title = "鈴木家";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    platform::makeDirs(folder);
    FuzzHome home;

    newFamily();
    bool ok = model::save_file(platform::joinPath(folder, "empty.kez"));
    newFamily();
    smallFamily();
    ok = model::save_file(platform::joinPath(folder, "small.kez")) && ok;
    newFamily();
    mediaFamily(home);
    ok = model::save_file(platform::joinPath(folder, "media.kez")) && ok;
    newFamily();
    chartFamily();
    ok = model::save_file(platform::joinPath(folder, "chart.kez")) && ok;
    return ok && home.messages == 0 ? 0 : 1;
}

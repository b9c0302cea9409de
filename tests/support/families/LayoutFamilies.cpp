#include "LayoutFamilies.h"

#include "layout/Calc_TreeWidth.h"
#include "layout/ChartMetrics.h"
#include "layout/Flip_Grid.h"
#include "layout/LayoutGrid.h"
#include "layout/LayoutSession.h"
#include "layout/Number_Gen.h"
#include "layout/Place_Generations.h"
#include "layout/chart_state.h"
#include "model/DispStat.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"

#include <cstdio>
#include <deque>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace layouttest {

void resetFamily()
{
    // A Tables is about 2 MB: the empty copy is made on the heap.
    const auto empty = std::make_unique<model::Tables>();
    model::tables() = *empty;
    model::settings() = model::Settings{};
    model::runState() = model::RunState{};
}

void resetAll()
{
    resetFamily();
    layout::chart() = layout::ChartState{};
    layout::setZoomPercent(100);
    layout::Set_ChartMetrics();
}

int16_t FamilyBuilder::person(int16_t sex)
{
    if (m_persons >= model::LastPersonSlot)
        throw std::length_error("family builder: no person slot left");
    const int16_t slot = ++m_persons;
    model::personal_data& p = model::tables().per_buf[static_cast<size_t>(slot)];
    p.InUse = model::SlotUsed;
    p.Sex = sex;
    p.F_name = "F";
    p.Name = "P" + std::to_string(slot);
    return slot;
}

int16_t FamilyBuilder::marry(int16_t husband, int16_t wife, int16_t mode, int16_t sortLev)
{
    if (m_marriages >= model::LastSlot)
        throw std::length_error("family builder: no marriage record left");
    const int16_t kou = ++m_marriages;
    model::marry_data& m = model::tables().kou_buf[static_cast<size_t>(kou)];
    m.InUse = model::SlotUsed;
    m.kou_titi = husband;
    m.kou_haha = wife;
    m.kou_mode = mode;
    m.sort_lev = sortLev;
    m.Yoshi_f = 0;
    return kou;
}

int16_t FamilyBuilder::couple()
{
    const int16_t husband = person(Male);
    const int16_t wife = person(Female);
    return marry(husband, wife);
}

int16_t FamilyBuilder::child(int16_t kou, int16_t person, int16_t stat)
{
    model::marry_data& m = model::tables().kou_buf[static_cast<size_t>(kou)];
    for (int16_t j = 0; j <= model::LastChildSlot; ++j) {
        if (m.kou_kodo[static_cast<size_t>(j)] == -1) {
            m.kou_kodo[static_cast<size_t>(j)] = person;
            m.kou_kodo_stat[static_cast<size_t>(j)] = stat;
            return j;
        }
    }
    throw std::length_error("family builder: no child slot left");
}

void layOutFullFamily()
{
    resetAll();
    const int16_t start = buildFullFamily();
    model::Apply_DispModes();
    layOut(start);
}

void layOut(int16_t startKou, Mirror mirror)
{
    auto& kou_buf = model::tables().kou_buf;
    const layout::LayoutSession session; // one family index for all the steps
    layout::Reset_KouGen();
    layout::Number_Gen(51, startKou, -1);
    layout::Clear_CellBuf();
    layout::Place_Generations();
    for (int k = 0; k <= model::LastSlot; ++k) {
        if (kou_buf[static_cast<size_t>(k)].InUse == model::SlotUsed
            && kou_buf[static_cast<size_t>(k)].kou_gen == -100) {
            layout::Number_Gen(51, static_cast<int16_t>(k), -1);
            layout::Place_Generations();
        }
    }
    if (mirror == Mirror::Yes)
        layout::Flip_Grid();
    layout::setMetricsForWriteState();
    layout::Calc_TreeWidth();
}

namespace {

std::string personText(int16_t p)
{
    return p == -1 ? std::string("-") : std::to_string(p);
}

std::string widthText(double w)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", w);
    std::string s = text;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

} // namespace

std::string dumpGrid()
{
    const layout::ChartState& c = layout::chart();
    std::ostringstream out;
    for (int r = 0; r < layout::GridRows; ++r) {
        for (int k = 0; k <= c.cell_last[static_cast<size_t>(r)]; ++k) {
            const layout::cell_rec& cell = c.cell_buf[static_cast<size_t>(r)][static_cast<size_t>(k)];
            std::string kind = "S";
            if (cell.kodo_f == 1)
                kind = "R";
            else if (cell.kou_no != -1)
                kind = "K" + std::to_string(cell.kou_no);
            out << r << ',' << k << ' ' << personText(cell.per_a) << '/' << personText(cell.per_b)
                << " t" << cell.tree_no << ' ' << kind << " L" << cell.link_no << '^' << cell.oya_link
                << " lt" << cell.line_type << " w" << widthText(cell.tree_w) << '\n';
        }
    }
    return out.str();
}

int16_t buildFullFamily()
{
    using B = FamilyBuilder;
    FamilyBuilder f;
    const int16_t founder = f.person(B::Male);
    const int16_t founderWife = f.person(B::Female);
    const int16_t start = f.marry(founder, founderWife);

    // Nine generations (the founders' and eight more) of couples with a son and a
    // daughter each; every second daughter's husband marries into her family.
    std::deque<std::pair<int16_t, int>> parents{{start, 0}};
    bool adoptive = false;
    while (!parents.empty()) {
        const auto [kou, generation] = parents.front();
        parents.pop_front();
        if (generation == 8)
            continue;
        const int16_t son = f.person(B::Male);
        f.child(kou, son);
        const int16_t sonMarriage = f.marry(son, f.person(B::Female));
        const int16_t daughter = f.person(B::Female);
        f.child(kou, daughter);
        const int16_t daughterMarriage = f.marry(f.person(B::Male), daughter);
        model::tables().kou_buf[static_cast<size_t>(daughterMarriage)].Yoshi_f = adoptive ? 1 : 0;
        adoptive = !adoptive;
        parents.emplace_back(sonMarriage, generation + 1);
        parents.emplace_back(daughterMarriage, generation + 1);
    }

    // Every husband gets another relation with the blank partner; the founder's
    // relation has the last person as its husband-side child.
    const int16_t couples = f.marriages();
    for (int16_t k = 1; k <= couples; ++k) {
        const int16_t husband = model::tables().kou_buf[static_cast<size_t>(k)].kou_titi;
        const int16_t relation = f.marry(husband, model::BlankPartner, 1, 1);
        if (k == 1)
            f.child(relation, f.person(B::Female), 0);
    }
    // The two records left: relations of the first two wives with the blank partner.
    for (int16_t k = 1; f.marriages() < model::LastSlot; ++k)
        f.marry(model::BlankPartner, model::tables().kou_buf[static_cast<size_t>(k)].kou_haha, 1, 2);
    return start;
}

int16_t buildDeepLine(int generations)
{
    using B = FamilyBuilder;
    FamilyBuilder f;
    int16_t kou = f.couple();
    const int16_t first = kou;
    for (int g = 1; g < generations; ++g) {
        const int16_t son = f.person(B::Male);
        f.child(kou, son);
        kou = f.marry(son, f.person(B::Female));
    }
    // The start marriage numbers as row 51, so that rows 0..100 hold the line.
    return static_cast<int16_t>(first + (generations > 51 ? 51 : generations - 1));
}

} // namespace layouttest

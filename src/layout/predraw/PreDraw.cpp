#include "layout/predraw/PreDraw.h"

#include "model/Lookups.h"
#include "model/settings.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <algorithm>

namespace layout {

using model::BlankPartner;
using model::LastChildSlot;
using model::LastPersonSlot;
using model::LastSlot;
using model::SlotUsed;
using model::isPersonReference;

namespace {

// The first person slot from start up to 1023 not in use, or -1. Slot 1024 is the
// blank partner and never receives a copy.
int16_t firstFreePersonSlot(int start)
{
    const auto& per = model::tables().per_buf;
    for (int s = std::max(start, 1); s <= LastPersonSlot; ++s) {
        if (per[s].InUse != SlotUsed)
            return static_cast<int16_t>(s);
    }
    return -1;
}

} // namespace

BackupBufs& backupBufs()
{
    // Built on first use and never destroyed, like the tables it copies.
    static BackupBufs* const buffers = new BackupBufs();
    return *buffers;
}

void Mark_MultiParent()
{
    auto& t = model::tables();

    for (int k = 1; k <= LastSlot; ++k) {
        if (t.kou_buf[k].InUse != 0)
            std::fill_n(t.kou_buf[k].kodo_link.begin(), LastChildSlot + 1, int16_t(-1));
    }

    // Registrations of each person in marriages in use. One pass over the marriages in
    // index and slot order serves every person at once, since each person's walk only
    // touches that person's own slots.
    std::array<int, model::RecordCount> registrations{};
    for (int k = 1; k <= LastSlot; ++k) {
        const auto& m = t.kou_buf[k];
        if (!isUsedMarriage(m))
            continue;
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (isPersonReference(m.kou_kodo[s]))
                ++registrations[m.kou_kodo[s]];
        }
    }

    std::array<bool, model::RecordCount> multiple{};
    for (int p = 1; p <= LastSlot; ++p) {
        t.per_buf[p].MultiParentF = 0;
        if (t.per_buf[p].InUse == SlotUsed && registrations[p] >= 2) {
            t.per_buf[p].MultiParentF = 1;
            multiple[p] = true;
        }
    }

    struct FirstRegistration {
        int16_t marriage = -1;
        int16_t slot = -1;
    };
    std::array<FirstRegistration, model::RecordCount> first{};
    std::array<int, model::RecordCount> mainLineMarks{};
    for (int k = 1; k <= LastSlot; ++k) {
        auto& m = t.kou_buf[k];
        if (!isUsedMarriage(m))
            continue;
        for (int s = 0; s <= LastChildSlot; ++s) {
            const int16_t p = m.kou_kodo[s];
            if (!isPersonReference(p) || !multiple[p])
                continue;
            if (first[p].marriage == -1)
                first[p] = {static_cast<int16_t>(k), static_cast<int16_t>(s)};
            m.kodo_link[s] = 1;
            if (m.kodo_honsuji[s] == 1 && ++mainLineMarks[p] >= 2)
                m.kodo_honsuji[s] = -1;
        }
    }
    for (int p = 1; p <= LastSlot; ++p) {
        if (multiple[p] && mainLineMarks[p] == 0)
            t.kou_buf[first[p].marriage].kodo_honsuji[first[p].slot] = 1;
    }
}

void Clear_Honsuji(int16_t person)
{
    auto& kou = model::tables().kou_buf;
    for (int k = 1; k <= LastSlot; ++k) {
        if (!isUsedMarriage(kou[k]))
            continue;
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (kou[k].kou_kodo[s] == person)
                kou[k].kodo_honsuji[s] = -1;
        }
    }
}

void Backup_Bufs()
{
    auto& t = model::tables();
    auto& b = backupBufs();
    std::copy(t.per_buf.begin() + 1, t.per_buf.end(), b.per_buf_bak.begin() + 1);
    std::copy(t.kou_buf.begin() + 1, t.kou_buf.end(), b.kou_buf_bak.begin() + 1);
}

void Restore_Bufs()
{
    auto& t = model::tables();
    const auto& b = backupBufs();
    std::copy(b.per_buf_bak.begin() + 1, b.per_buf_bak.end(), t.per_buf.begin() + 1);
    std::copy(b.kou_buf_bak.begin() + 1, b.kou_buf_bak.end(), t.kou_buf.begin() + 1);
}

void Hide_BranchesSub(int16_t marriage)
{
    if (!model::isSlot(marriage))
        return;
    auto& kou = model::tables().kou_buf;
    kou[marriage].InUse = -1;
    // Depth stays below the number of marriages: every level hides one marriage in use,
    // and only marriages still in use are entered.
    for (int s = 0; s <= LastChildSlot; ++s) {
        const int16_t child = kou[marriage].kou_kodo[s];
        if (child == -1)
            continue;
        const int next = model::Find_PersonMarry(child);
        if (next != -1)
            Hide_BranchesSub(static_cast<int16_t>(next));
    }
}

void Hide_Branches()
{
    if (model::settings().Dispmode_Tyokei == 0)
        return;
    auto& kou = model::tables().kou_buf;
    for (int k = 1; k <= LastSlot; ++k) {
        if (!isUsedMarriage(kou[k]))
            continue;
        // The slots are copied first: hiding may reach this very marriage again.
        const auto children = kou[k].kou_kodo;
        const auto visible = kou[k].kodo_visible;
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (children[s] == -1 || visible[s] == 1)
                continue;
            for (int m = model::Find_PersonMarry(children[s]); m != -1;
                 m = model::Find_PersonMarry(children[s]))
                Hide_BranchesSub(static_cast<int16_t>(m));
        }
    }
}

ExpansionShortfall Expand_MultiMarry()
{
    auto& t = model::tables();
    for (int k = 1; k <= LastSlot; ++k) {
        t.kou_buf[k].org_titi = -1;
        t.kou_buf[k].org_haha = -1;
    }
    for (int p = 1; p <= LastSlot; ++p)
        t.per_buf[p].OrgIdx = -1;

    // Normal marriages in use. A further marriage left without a copy goes out of use
    // on the way, for both passes.
    const auto normal = [&t](int k) { return isUsedMarriage(t.kou_buf[k]) && t.kou_buf[k].kou_mode == 0; };
    const auto partnerOf = [](int pass, model::marry_data& m) -> int16_t& {
        return pass == 0 ? m.kou_titi : m.kou_haha;
    };

    ExpansionShortfall shortfall;
    int freeSlots = 0;
    for (int p = 1; p <= LastPersonSlot; ++p) {
        if (t.per_buf[p].InUse == SlotUsed)
            ++shortfall.persons;
        else
            ++freeSlots;
    }
    for (int pass = 0; pass < 2; ++pass) {
        std::array<int, model::RecordCount> marriagesOf{};
        for (int k = 1; k <= LastSlot; ++k) {
            const int16_t p = normal(k) ? partnerOf(pass, t.kou_buf[k]) : int16_t(-1);
            if (model::isPersonSlot(p) && ++marriagesOf[p] >= 2)
                ++shortfall.furtherMarriages;
        }
    }
    shortfall.tooMany = std::max(0, shortfall.furtherMarriages - freeSlots);

    // Copies only ever fill free slots, so every slot below the last copy is in use and
    // the search for the lowest free slot can go on from there.
    int searchFrom = 1;
    for (int pass = 0; pass < 2; ++pass) {
        // The partner of this pass per marriage, kept in step with the records so the
        // inner scan stays within a small array.
        std::array<int16_t, model::RecordCount> partner{};
        for (int k = 1; k <= LastSlot; ++k)
            partner[k] = normal(k) ? partnerOf(pass, t.kou_buf[k]) : int16_t(-1);

        for (int k = 1; k <= LastSlot; ++k) {
            const int16_t p = partner[k];
            if (!model::isPersonSlot(p))
                continue;
            for (int k2 = 1; k2 <= LastSlot; ++k2) {
                if (k2 == k || partner[k2] != p)
                    continue;
                const int16_t s = firstFreePersonSlot(searchFrom);
                if (s == -1) {
                    t.kou_buf[k2].InUse = model::SlotFree;
                    partner[k2] = -1;
                    shortfall.hidden.push_back(static_cast<int16_t>(k2));
                    continue;
                }
                searchFrom = s + 1;
                t.per_buf[s] = t.per_buf[p];
                t.per_buf[s].InUse = SlotUsed;
                t.per_buf[s].OrgIdx = p;
                partnerOf(pass, t.kou_buf[k2]) = s;
                partner[k2] = s;
                if (pass == 0)
                    t.kou_buf[k2].org_titi = p;
                else
                    t.kou_buf[k2].org_haha = p;
            }
        }
    }
    return shortfall;
}

namespace {

// A partner as the message names it.
std::string partnerName(int16_t person)
{
    if (person == BlankPartner)
        return "空白";
    if (!model::isPersonSlot(person))
        return "指定無し";
    const model::personal_data& p = model::tables().per_buf[static_cast<size_t>(person)];
    return platform::Trim(p.F_name) + " " + platform::Trim(p.Name);
}

// The marriages a message lists by name; the rest are counted.
constexpr size_t ListedMarriages = 10;

struct ShortfallReport {
    bool shown = false;
    uint64_t edits = 0;
    ExpansionShortfall shortfall;
};

ShortfallReport& lastReport()
{
    static ShortfallReport report;
    return report;
}

} // namespace

std::string expansionShortfallMessage(const ExpansionShortfall& shortfall)
{
    const auto number = [](int n) { return std::to_string(n); };
    std::string text = "系図に表示できない結婚があります。\r\n"
                       "2度目からの結婚では、その人をもう1人分として描きます。人物（"
                       + number(shortfall.persons) + "人）と2度目からの結婚（" + number(shortfall.furtherMarriages)
                       + "件）を合わせて" + number(LastPersonSlot) + "人分までしか描けないため、"
                       + number(shortfall.tooMany) + "人分多すぎます。\r\n\r\n表示していない結婚：";
    const auto& kou = model::tables().kou_buf;
    for (size_t i = 0; i < shortfall.hidden.size() && i < ListedMarriages; ++i) {
        const model::marry_data& m = kou[static_cast<size_t>(shortfall.hidden[i])];
        text += "\r\n「" + partnerName(m.kou_titi) + "」と「" + partnerName(m.kou_haha) + "」";
    }
    if (shortfall.hidden.size() > ListedMarriages)
        text += "\r\nほか" + number(static_cast<int>(shortfall.hidden.size() - ListedMarriages)) + "件";
    text += "\r\n\r\n" + expansionShortfallAdvice(shortfall);
    return text;
}

std::string expansionShortfallAdvice(const ExpansionShortfall& shortfall)
{
    return "すべての結婚を表示するには、人物を" + std::to_string(shortfall.tooMany) + "人減らしてください。";
}

void reportExpansionShortfall(const ExpansionShortfall& shortfall)
{
    if (shortfall.empty())
        return;
    ShortfallReport& last = lastReport();
    const uint64_t edits = model::familyEdits();
    if (last.shown && last.edits == edits && last.shortfall == shortfall)
        return;
    last = {true, edits, shortfall};
    platform::MsgBox(expansionShortfallMessage(shortfall), platform::vbExclamation);
}

void forgetExpansionShortfall()
{
    lastReport() = ShortfallReport();
}

} // namespace layout

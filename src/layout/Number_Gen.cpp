#include "layout/Number_Gen.h"

#include "layout/LayoutIndex.h"
#include "model/tables.h"

namespace layout {

namespace {

using detail::FamilyIndex;

constexpr int16_t NotNumbered = -100;

// The tables live as long as the program; their address is taken once.
model::marry_data& marriage(int kou)
{
    static model::Tables& t = model::tables();
    return t.kou_buf[static_cast<size_t>(kou)];
}

bool countsForWalk(const model::marry_data& m, int slot)
{
    return m.kodo_link[static_cast<size_t>(slot)] == -1
        || m.kodo_honsuji[static_cast<size_t>(slot)] == 1;
}

int16_t findOtherMarry(const FamilyIndex& index, int person, int kou)
{
    const auto list = index.marriagesOf(person);
    for (const int16_t* it = list.end(); it != list.begin();) {
        const int16_t i = *--it;
        const model::marry_data& m = marriage(i);
        if (model::isUsedMarriage(m) && m.kou_gen == NotNumbered && i != kou)
            return i;
    }
    return -1;
}

int16_t findParentKou(const FamilyIndex& index, int person, int via)
{
    if (person == -1 || person == via)
        return -1;
    const auto list = index.registrationsOf(person);
    for (const detail::Registration* it = list.end(); it != list.begin();) {
        --it;
        if (countsForWalk(marriage(it->kou), it->slot))
            return it->kou;
    }
    return -1;
}

int16_t findChildMarry(const FamilyIndex& index, int person, int via)
{
    if (person == via)
        return -1;
    const auto list = index.marriagesOf(person);
    return list.empty() ? int16_t{-1} : *(list.end() - 1);
}

// One frame per numbered marriage keeps the recursion as deep as the number of
// marriage records at most.
void numberGen(const FamilyIndex& index, int16_t gen, int16_t kou, int16_t via)
{
    if (!model::isSlot(kou) || marriage(kou).kou_gen != NotNumbered)
        return;
    marriage(kou).kou_gen = gen;

    // Husband, then wife: their other marriages in the same row, then their parents'
    // marriage one row up.
    const int16_t partners[2] = {marriage(kou).kou_titi, marriage(kou).kou_haha};
    for (const int16_t p : partners) {
        if (p != model::BlankPartner) {
            for (int16_t m = findOtherMarry(index, p, kou); m != -1;
                 m = findOtherMarry(index, p, kou))
                numberGen(index, gen, m, p);
        }
        const int16_t parents = findParentKou(index, p, via);
        if (parents != -1)
            numberGen(index, static_cast<int16_t>(gen - 1), parents, p);
    }

    // Children in slot order, one row down.
    for (int j = 0; j <= model::LastChildSlot; ++j) {
        const model::marry_data& m = marriage(kou);
        const int16_t child = m.kou_kodo[static_cast<size_t>(j)];
        if (child == -1 || !countsForWalk(m, j))
            continue;
        const int16_t childMarry = findChildMarry(index, child, via);
        if (childMarry != -1)
            numberGen(index, static_cast<int16_t>(gen + 1), childMarry, child);
    }
}

} // namespace

void Reset_KouGen()
{
    for (model::marry_data& m : model::tables().kou_buf)
        m.kou_gen = NotNumbered;
}

void Number_Gen(int16_t gen, int16_t kou, int16_t via)
{
    detail::IndexScope scope;
    numberGen(scope.index().family(), gen, kou, via);
}

int16_t Find_GenOtherMarry(int16_t person, int16_t kou)
{
    detail::IndexScope scope;
    return findOtherMarry(scope.index().family(), person, kou);
}

int16_t Find_GenParentKou(int16_t person, int16_t via)
{
    detail::IndexScope scope;
    return findParentKou(scope.index().family(), person, via);
}

int16_t Find_GenChildMarry(int16_t person, int16_t via)
{
    detail::IndexScope scope;
    return findChildMarry(scope.index().family(), person, via);
}

} // namespace layout

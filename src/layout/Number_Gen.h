#pragma once
// Generation numbering: every marriage that will appear on the chart gets in kou_gen
// the grid row of its couple cell. The walk goes depth first from a marriage to its
// partners' other marriages (same row), to the marriages the partners are children
// of (one row up) and to its children's marriages (one row down). The first visit
// wins. Rows outside 0..100 are allowed here; such marriages are simply not placed.
//
// A child slot counts for the walk when kodo_link is -1 (the only registration) or
// kodo_honsuji is 1 (the registration that carries the line). The three searches scan
// marriages 1..1024 and keep the last (highest) match.

#include <cstdint>

namespace layout {

// kou_gen := -100 (not numbered) in all 1025 marriage records.
void Reset_KouGen();

// Numbers marriage kou with gen and, recursively, everything connected to it. via is
// the person through whom the walk reached kou, -1 for a starting marriage.
void Number_Gen(int16_t gen, int16_t kou, int16_t via);

// Another marriage in use of the person, other than kou, not numbered yet; -1 none.
int16_t Find_GenOtherMarry(int16_t person, int16_t kou);
// The marriage the person is registered in as a child (a registration that counts for
// the walk); -1 when none or when the person is via.
int16_t Find_GenParentKou(int16_t person, int16_t via);
// A marriage with the person as husband or wife; -1 when none or when the person is via.
int16_t Find_GenChildMarry(int16_t person, int16_t via);

} // namespace layout

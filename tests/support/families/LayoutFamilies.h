#pragma once
// Families built in code for the layout tests and the layout benchmark, and the
// layout steps of a chart rebuild that they exercise. Free of GoogleTest so that the
// benchmark can use it too.

#include <cstdint>
#include <string>

namespace layouttest {

// Empties the family tables, the document settings and the chart state.
void resetAll();
// Empties the family tables and the document settings; the chart keeps what the last
// layout left in it, as it does in the program from one family to the next.
void resetFamily();

// Writes persons and marriages straight into the tables, in the next free slots
// from 1 upwards, so that each test states its family field by field.
class FamilyBuilder {
public:
    static constexpr int16_t Male = 0;
    static constexpr int16_t Female = 1;

    int16_t person(int16_t sex);
    // A marriage record in use; mode 0 main marriage, 1 other relation.
    int16_t marry(int16_t husband, int16_t wife, int16_t mode = 0, int16_t sortLev = 0);
    // A new man and then a new woman, married (mode 0); returns the marriage.
    int16_t couple();
    // Puts the person into the next empty child slot of the marriage; returns the slot.
    int16_t child(int16_t kou, int16_t person, int16_t stat = 0);

    int16_t persons() const { return m_persons; }
    int16_t marriages() const { return m_marriages; }

private:
    int16_t m_persons = 0;
    int16_t m_marriages = 0;
};

// The layout steps of a chart rebuild without the pre-draw transforms and the tabs,
// in one layout session:
// generation numbering from the start marriage (row 51), placement, then every
// family not connected to it, the optional mirroring, metrics at the current zoom
// for the writing direction, and the subtree widths.
enum class Mirror { No, Yes };
void layOut(int16_t startKou, Mirror mirror = Mirror::No);

// One line per placed cell, row by row, left to right:
//   "row,col a/b tTREE KIND Llink^oya ltLINE wWIDTH"
// persons as slot numbers ("-" for -1); KIND is K<marriage> for a couple cell, R for
// a reference cell, S for a single cell; the width with at most three decimals.
std::string dumpGrid();

// Benchmark families. The full family uses 1023 persons and 1024 marriages: nine
// generations of couples with two children each (sons continue the line, half of
// the daughters with adoptive husbands), one further child, and one other relation
// with the blank partner for each husband (two for the first two) up to 1024 records.
// Returns the start marriage.
int16_t buildFullFamily();
// The full family in emptied tables, laid out from its start marriage after the
// display modes were applied: the chart the drawing and printing benchmarks draw.
void layOutFullFamily();
// A single line: generation k's son marries and has the son of generation k + 1,
// for rows 0..100; returns the marriage that numbers as row 51.
int16_t buildDeepLine(int generations = 101);

} // namespace layouttest

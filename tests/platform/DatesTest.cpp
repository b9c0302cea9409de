#include "platform/Conversions.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <functional>

using namespace platform;

namespace {

int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.number;
    }
    return 0;
}

struct SerialCase {
    int y, m, d;
    double serial;
};

void PrintTo(const SerialCase& c, std::ostream* os)
{
    *os << c.y << "-" << c.m << "-" << c.d;
}

class DateSerials : public ::testing::TestWithParam<SerialCase> {};

TEST_P(DateSerials, SerialAndPartsAgree)
{
    const SerialCase& c = GetParam();
    EXPECT_EQ(DateSerial(c.y, c.m, c.d), c.serial);
    EXPECT_EQ(Year(c.serial), c.y);
    EXPECT_EQ(Month(c.serial), c.m);
    EXPECT_EQ(Day(c.serial), c.d);
    EXPECT_TRUE(isValidDate(c.y, c.m, c.d));
}

INSTANTIATE_TEST_SUITE_P(Dates, DateSerials,
                         ::testing::Values(SerialCase{1899, 12, 30, 0}, SerialCase{1899, 12, 31, 1},
                                           SerialCase{1900, 1, 1, 2}, SerialCase{1899, 12, 29, -1},
                                           SerialCase{1900, 3, 1, 61}, // 1900 has no 29 February
                                           SerialCase{2000, 1, 1, 36526}, SerialCase{2000, 2, 29, 36585},
                                           SerialCase{1868, 10, 23, -11390}, SerialCase{1989, 1, 8, 32516},
                                           SerialCase{2019, 5, 1, 43586}, SerialCase{100, 1, 1, -657434},
                                           SerialCase{9999, 12, 31, 2958465}));

struct NormaliseCase {
    int y, m, d;
    int ny, nm, nd;
};

void PrintTo(const NormaliseCase& c, std::ostream* os)
{
    *os << c.y << "-" << c.m << "-" << c.d;
}

class DateSerialNormalises : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(DateSerialNormalises, MonthsAndDaysOutsideTheirRange)
{
    const NormaliseCase& c = GetParam();
    const double serial = DateSerial(c.y, c.m, c.d);
    EXPECT_EQ(serial, DateSerial(c.ny, c.nm, c.nd));
    EXPECT_EQ(Year(serial), c.ny);
    EXPECT_EQ(Month(serial), c.nm);
    EXPECT_EQ(Day(serial), c.nd);
}

INSTANTIATE_TEST_SUITE_P(Dates, DateSerialNormalises,
                         ::testing::Values(NormaliseCase{2024, 2, 30, 2024, 3, 1}, NormaliseCase{2023, 2, 29, 2023, 3, 1},
                                           NormaliseCase{2024, 13, 1, 2025, 1, 1}, NormaliseCase{2024, 1, 0, 2023, 12, 31},
                                           NormaliseCase{2024, 0, 1, 2023, 12, 1}, NormaliseCase{2024, -1, 1, 2023, 11, 1},
                                           NormaliseCase{2024, -12, 1, 2022, 12, 1}, NormaliseCase{2024, 25, 1, 2026, 1, 1},
                                           NormaliseCase{2024, 3, -1, 2024, 2, 28}, NormaliseCase{2024, 1, 366, 2024, 12, 31},
                                           NormaliseCase{2024, 3, 0, 2024, 2, 29}));

TEST(DateSerialRange, YearsOutsideOneHundredToNineThousandNineHundredNinetyNineRaise)
{
    EXPECT_EQ(errorNumberOf([] { DateSerial(99, 12, 31); }), 5);
    EXPECT_EQ(errorNumberOf([] { DateSerial(10000, 1, 1); }), 5);
    EXPECT_EQ(errorNumberOf([] { DateSerial(9999, 12, 32); }), 5);
    EXPECT_EQ(errorNumberOf([] { DateSerial(100, 1, 0); }), 5);
    EXPECT_EQ(errorNumberOf([] { DateSerial(2000000000, 1, 1); }), 5);
    EXPECT_EQ(errorNumberOf([] { Year(2958466); }), 5);
    EXPECT_EQ(errorNumberOf([] { Year(-657435); }), 5);
    EXPECT_EQ(DateSerial(99, 13, 1), DateSerial(100, 1, 1)); // the result decides, not the argument
}

TEST(DateParts, TheTimeOfDayDoesNotChangeTheDate)
{
    // A negative serial's fraction is the time on that same day.
    EXPECT_EQ(Day(-1.5), 29);
    EXPECT_EQ(Day(-1.0), 29);
    EXPECT_EQ(Year(36526.999), 2000);
    EXPECT_EQ(Day(36526.999), 1);
}

TEST(DateParts, EveryDayOfFourHundredYearsRoundTrips)
{
    // One full Gregorian cycle plus the edges of the valid range.
    int previousDay = 0;
    for (double serial = DateSerial(1800, 1, 1); serial <= DateSerial(2200, 12, 31); serial += 1) {
        const int y = Year(serial), m = Month(serial), d = Day(serial);
        ASSERT_TRUE(isValidDate(y, m, d)) << serial;
        ASSERT_EQ(DateSerial(y, m, d), serial);
        ASSERT_TRUE(d == previousDay + 1 || d == 1) << serial;
        previousDay = d;
    }
}

struct ValidityCase {
    int y, m, d;
    bool valid;
};

void PrintTo(const ValidityCase& c, std::ostream* os)
{
    *os << c.y << "-" << c.m << "-" << c.d;
}

class DateValidity : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(DateValidity, RealCalendarDatesWithinTheYearRange)
{
    const ValidityCase& c = GetParam();
    EXPECT_EQ(isValidDate(c.y, c.m, c.d), c.valid) << c.y << "-" << c.m << "-" << c.d;
}

INSTANTIATE_TEST_SUITE_P(Dates, DateValidity,
                         ::testing::Values(ValidityCase{2024, 2, 29, true}, ValidityCase{2023, 2, 29, false},
                                           ValidityCase{1900, 2, 29, false}, ValidityCase{2000, 2, 29, true},
                                           ValidityCase{2024, 4, 31, false}, ValidityCase{2024, 12, 31, true},
                                           ValidityCase{2024, 0, 1, false}, ValidityCase{2024, 13, 1, false},
                                           ValidityCase{2024, 1, 0, false}, ValidityCase{99, 1, 1, false},
                                           ValidityCase{100, 1, 1, true}, ValidityCase{9999, 12, 31, true},
                                           ValidityCase{10000, 1, 1, false}));

TEST(DateDifferences, WholeDaysBetweenTwoDates)
{
    const double birth = DateSerial(1950, 4, 1);
    const double death = DateSerial(2020, 3, 31);
    EXPECT_EQ(CLng(death - birth), 25567);
}

} // namespace

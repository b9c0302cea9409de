#pragma once
// Every layout test starts from an empty family, default document settings, an
// empty chart at zoom 100 % and horizontal writing.

#include "LayoutFamilies.h"

#include <gtest/gtest.h>

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override { layouttest::resetAll(); }
    void TearDown() override { layouttest::resetAll(); }

    layouttest::FamilyBuilder family;
    static constexpr int16_t Male = layouttest::FamilyBuilder::Male;
    static constexpr int16_t Female = layouttest::FamilyBuilder::Female;
};

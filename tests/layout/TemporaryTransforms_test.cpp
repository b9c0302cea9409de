// The temporary pre-draw transforms around a layout or drawing: the tables come
// back exactly, also when a step in between throws, and a person table without a
// slot for a copy leaves out only the marriage that needed it.

#include "LayoutFixture.h"

#include "layout/TemporaryTransforms.h"
#include "layout/predraw/PreDraw.h"
#include "model/settings.h"
#include "model/tables.h"
#include "support/ScriptedResponder.h"

#include <memory>
#include <stdexcept>

namespace {

class TemporaryTransformsTest : public LayoutTest {
protected:
    // A husband of two marriages (a copy for the second) and a married son off the
    // direct line (his marriage hidden in the direct-line view).
    void twiceMarriedWithBranch()
    {
        const int16_t first = family.couple();
        family.marry(1, family.person(Female));
        const int16_t son = family.person(Male);
        model::tables().kou_buf[static_cast<size_t>(first)].kodo_visible[static_cast<size_t>(family.child(first, son))] = 0;
        family.marry(son, family.person(Female));
        model::settings().Dispmode_Tyokei = 1;
    }

    static int personsInUse()
    {
        int n = 0;
        for (const model::personal_data& p : model::tables().per_buf)
            n += p.InUse == model::SlotUsed;
        return n;
    }
};

TEST_F(TemporaryTransformsTest, TablesComeBackWhenAStepThrows)
{
    twiceMarriedWithBranch();
    const auto before = std::make_unique<model::Tables>(model::tables());
    try {
        const layout::TemporaryTransforms transforms;
        EXPECT_EQ(personsInUse(), family.persons() + 1);
        EXPECT_EQ(model::tables().kou_buf[3].InUse, -1);
        throw std::runtime_error("drawing failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(model::tables().per_buf == before->per_buf);
    EXPECT_TRUE(model::tables().kou_buf == before->kou_buf);
}

// No slot for the copy of the husband's second marriage: that marriage is out of
// use with the hidden branch until the tables come back, and the transforms show
// nothing (the rebuild reports it once the chart is drawn).
TEST_F(TemporaryTransformsTest, NoSlotForACopyLeavesOutThatMarriageAndStillHidesTheBranches)
{
    twiceMarriedWithBranch();
    while (family.persons() < model::LastPersonSlot)
        family.person(Male);
    support::ScriptedResponder answers;
    {
        const layout::TemporaryTransforms transforms;
        EXPECT_EQ(transforms.shortfall().hidden, std::vector<int16_t>{2});
        EXPECT_TRUE(answers.shown().empty());
        EXPECT_EQ(personsInUse(), model::LastPersonSlot);
        EXPECT_EQ(model::tables().kou_buf[2].InUse, model::SlotFree); // the second marriage left out
        EXPECT_EQ(model::tables().kou_buf[3].InUse, -1);              // the branch still hidden
    }
    EXPECT_EQ(model::tables().kou_buf[2].InUse, model::SlotUsed);
    EXPECT_EQ(model::tables().kou_buf[3].InUse, model::SlotUsed);
}

} // namespace

// Slider: Change after code and user moves, the range keeping Value inside it.

#include "forms/Form.h"
#include "forms/Slider.h"

#include "platform/Errors.h"

#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

class SliderForm : public forms::Form {
public:
    SliderForm() : Form("SliderForm")
    {
        Slider1.onChange = [this] { changes.push_back(Slider1.value()); };
    }
    forms::Slider Slider1{*this, "Slider1"};
    std::vector<int> changes;

protected:
    void design() override { Slider1.move(0, 0, 3000, 500); }
};

class SliderTest : public ::testing::Test {
protected:
    void TearDown() override { form.unload(); }
    QSlider* slider() { return qobject_cast<QSlider*>(form.Slider1.widget()); }
    SliderForm form;
};

TEST_F(SliderTest, aValueSetByCodeRaisesChangeOncePerChange)
{
    form.show();
    form.Slider1.setMax(100);
    form.Slider1.setValue(10);
    form.Slider1.setValue(10);
    form.Slider1.setValue(20);
    EXPECT_EQ(form.changes, (std::vector<int>{10, 20}));
    EXPECT_EQ(slider()->value(), 20);
    EXPECT_EQ(slider()->maximum(), 100);
}

TEST_F(SliderTest, theUsersMoveRaisesChange)
{
    form.Slider1.setMax(100);
    form.show();
    slider()->setFocus();
    QTest::keyClick(slider(), Qt::Key_End);
    EXPECT_EQ(form.Slider1.value(), 100);
    EXPECT_EQ(form.changes, (std::vector<int>{100}));
}

TEST_F(SliderTest, aValueOutsideTheRangeRaises380AndALowerMaxPullsValueIn)
{
    form.Slider1.setMax(100);
    form.Slider1.setValue(50);
    try {
        form.Slider1.setValue(110);
        ADD_FAILURE() << "no error raised";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.number, 380);
    }
    form.changes.clear();
    form.Slider1.setMax(30);
    EXPECT_EQ(form.Slider1.value(), 30);
    EXPECT_EQ(form.changes, (std::vector<int>{30}));
}

} // namespace

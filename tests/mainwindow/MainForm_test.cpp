#include "mainwindow/MainForm.h"

#include "forms/Form.h"
#include "forms/Testing.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(MainForm, LoadsWithTheProgramTitleAndUnloadsCleanly)
{
    MainForm& window = main_form();
    ASSERT_FALSE(window.isLoaded());
    window.show();
    EXPECT_TRUE(window.isLoaded());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.caption(), "Tevora");
    EXPECT_EQ(forms::findLoadedForm("main"), &window);
    EXPECT_GT(window.scaleWidth(), 0);

    EXPECT_TRUE(window.unload());
    EXPECT_FALSE(window.isLoaded());
    EXPECT_EQ(forms::findLoadedForm("main"), nullptr);
}

TEST(MainForm, CloseBoxUnloadsTheWindow)
{
    MainForm& window = main_form();
    window.show();
    ASSERT_TRUE(window.isLoaded());
    forms::formWidget(window)->close();
    EXPECT_FALSE(window.isLoaded());
}

} // namespace

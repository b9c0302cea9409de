#include "mainwindow/MainForm.h"

#include "platform/Hooks.h"

MainForm::MainForm() : Form("main") {}

void MainForm::design()
{
    setCaption(platform::AppTitle);
    move(1200, 900, 12000, 9000);
}

MainForm& main_form()
{
    static MainForm instance;
    return instance;
}

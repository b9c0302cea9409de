#pragma once
// The main window `main`: the window the program starts with. For now a plain
// window with the program's title; closing it ends the program.

#include "forms/Form.h"

class MainForm : public forms::Form {
public:
    MainForm();

protected:
    void design() override;
};

// The one main window (the runtime's `main`).
MainForm& main_form();

#pragma once
// The program's windows as the main window reaches them. The main window's
// library is built before the libraries of the person editor, the relationship
// editor and the reports, so it asks for them through mainwindow::OtherWindows;
// this is the implementation the program installs at start-up, forwarding each
// request to the window that answers it.

#include "mainwindow/OtherWindows.h"

#include <string>

namespace app {

class AppWindows : public mainwindow::OtherWindows {
public:
    // --- Person editor ---
    void closePersonEditor() override;
    void blankPersonEditor() override;
    void showPersonInEditorCard(int person) override;
    void showPersonInEditor(int person) override;
    void raisePersonEditor() override;
    void showPersonEditor(int person) override;
    void showPersonOnCardIfOpen(int person) override;

    // --- Relationship editor and child dialog ---
    void rebuildRelationLists() override;
    void forgetRelationMarriage() override;
    void clearRelationPersonLists() override;
    void resetRelationEditor() override;
    void enableRelationUndo(const std::string& caption) override;
    void disableRelationUndo() override;
    int deleteMarriage(int kou) override;
    void showRelationEditor() override;
    void raiseRelationEditor() override;
    void setRelationEditorTopMost() override;
    void editRelationMarriage(int kou) override;
    void showRelationPage(RelationPage page) override;
    void selectRelationPartner(int list, int person) override;
    void showChildDialog(int kou, int slot) override;

    // --- Reports ---
    void showNameList() override;

    // --- Easy relation builder ---
    void showEasyRelationBuilder() override;
    void setEasyBasePerson(int person) override;
    void setEasyBaseMarriage(int kou) override;
    void rebuildEasyRelationList() override;
};

// Installs the program's windows for the main window (once, before it loads).
void installAppWindows();

} // namespace app

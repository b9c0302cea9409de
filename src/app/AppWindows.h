#pragma once
// The program's windows as the main window reaches them. The main window's
// library is built before the libraries of the person editor, the relationship
// editor and the reports, so it asks for them through mainwindow::OtherWindows;
// this is the implementation the program installs at start-up, forwarding each
// request to the window that answers it.

#include "drawing/DspOp.h"
#include "mainwindow/OtherWindows.h"
#include "reports/ChronologyWindows.h"

#include <string>

namespace app {

class AppWindows : public mainwindow::OtherWindows {
public:
    // --- Person editor ---
    void closePersonEditor() override;
    void refreshPersonEditor() override;
    bool settlePersonEditor() override;
    bool personEditorHoldsInput() override;
    bool settlePersonEditorFor(int person) override;
    void showChangedPerson(int person) override;
    void showPersonInEditorCard(int person) override;
    void showPersonInEditor(int person) override;
    void raisePersonEditor() override;
    void showPersonEditor(int person) override;
    void showPersonOnCardIfOpen(int person) override;
    bool isPersonCardOpen() const override;
    void showPersonCard(int person) override;
    bool showQuickNameInput(QuickName& values) override;

    // --- Relationship editor and child dialog ---
    bool settleRelationEditor() override;
    bool relationEditorHoldsChange() override;
    bool settleChildDialogAndBuilder() override;
    bool settleChildDialog() override;
    bool settleWindowsHolding(int person) override;
    void forgetFreedPerson(int person) override;
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
    void moveSelectedChild(int direction) override;
    void refillRelationChildList(int kou) override;
    void rebuildRelationMarriageList() override;
    void placeholderTaken(int list, int person) override;
    void placeholderReturned(int list, int person) override;
    void hideDragMarker() override;

    // --- Category and lineage-group windows ---
    void showCategoryWindow() override;
    void showLineageGroups() override;

    // --- The family replaced ---
    void showCurrentFamily() override;

    // --- Printing ---
    void showPrinterChoice() override;
    void showPrintPreview() override;

    // --- Reports ---
    void showNameList() override;
    void showChronology() override;
    void closeChronology() override;

    // --- Easy relation builder ---
    void showEasyRelationBuilder() override;
    void setEasyBasePerson(int person) override;
    void setEasyBaseMarriage(int kou) override;
    void rebuildEasyRelationList() override;
};

// What the chronology window asks of the person card and the printer choice.
class AppChronologyWindows : public reports::ChronologyWindows {
public:
    bool isPersonCardOpen() const override;
    void showPersonCard(int person) override;
    void closePersonCard() override;
    void showPrinterChoice() override;
};

// What the display-options window asks of the main window: its zoom box, and
// the rebuild of the chart after an apply command.
class AppDspOpRequests : public drawing::DspOpRequests {
public:
    std::string zoomBoxText() override;
    void setZoomBoxText(const std::string& text) override;
    void rebuildChart() override;
    bool settlePersonEditorFor(int person) override;
    void showChangedPerson(int person) override;
};

// The program's composition, run once at start before the main window shows:
// installs every interface through which one library asks the windows of
// another (the program's windows for the main window, the chronology window and
// the display options). The main window, once loaded, installs the chart's own
// services; then no interface is left at a default that does nothing.
void installProgram();

} // namespace app

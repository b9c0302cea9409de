#pragma once
// The main window `main`: the program's start-up object. Loading it runs the
// whole start-up (Form_Load); every way of closing it goes through
// Form_QueryUnload, which decides whether the program ends and ends it.
//
// It holds the chart in a viewport (Frame2 > Picture2 > the chart canvas
// Picture1 with its element arrays), the family-tree tabs TabStrip1, the scroll
// bars, the toolbar Command2, the side buttons and the File, View, Settings and
// Help menus.
//
//   MainForm.cpp        controls and menus, start-up, shutdown
//   MainForm_File.cpp   the File menu: prologue and error rule, New, Open,
//                       Save, Save As, Exit, LoadKezFile, LoadAfterDisp
//   MainForm_Menus.cpp  the View and Settings menus
//   MainForm_Selection.cpp  clicks on the chart, the selection, child status
//   MainForm_Keys.cpp   the key handler, the zoom box, renaming in place
//   MainForm_Layout.cpp resize, scrolling, leaving full screen, tree tabs
//   MainForm_Export.cpp File > "BMP出力": the chart saved as a bitmap
//   MainForm_Print.cpp  File > printer choice and print recording
//   MainForm_Csv.cpp    File > CSV input and output (CsvFileName: the name rule)
//   MainForm_Groups.cpp File > group save and additional load
//   MainForm_Toolbar.cpp the toolbar and the side buttons
//   MainForm_Help.cpp   the Help menu (FrmQA hints, FrmDebug, EEGG windows)
//   FamilyPaths         save names and the remembered folder "FilePath.ini"
//   MainWindowServices  what the model asks of this window
//   OtherWindows        what this window asks of the windows around it

#include "forms/ChartCanvas.h"
#include "forms/CommandButton.h"
#include "forms/CommonDialog.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/Menu.h"
#include "forms/OptionButton.h"
#include "forms/PictureBox.h"
#include "forms/Printers.h"
#include "forms/ScrollBar.h"
#include "forms/TabStrip.h"
#include "forms/TextBox.h"
#include "forms/Timer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace model {
class StagedFamily;
}

namespace mainwindow {
class MainWindowServices;
}

namespace drawing {
class CanvasChartControls;
class CanvasChartElements;
class CanvasPersonBoxes;
class FormsChartView;
} // namespace drawing

class MainForm : public forms::Form {
public:
    MainForm();
    ~MainForm() override;

    // The band at the top of the client area that holds the toolbar, above the
    // chart's tabs.
    static constexpr double ToolbarHeight = 675;
    // The controls of the toolbar and the side buttons: with the menu bar, the
    // commands no other window opens over where it has room elsewhere.
    std::vector<forms::Control*> commands();

    // --- Menus ---
    forms::Menu filemenu{*this, "filemenu"};
    forms::ControlArray<forms::Menu> fileitem{filemenu, "fileitem",
                                              {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}};
    forms::Menu scrmenu{*this, "scrmenu"};
    forms::ControlArray<forms::Menu> scritem{scrmenu, "scritem", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}};
    forms::Menu setmenu{*this, "setmenu"};
    forms::ControlArray<forms::Menu> setitem{setmenu, "setitem", {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
    forms::ControlArray<forms::Menu> vertwide{setitem[2], "vertwide", {0, 1}};
    forms::ControlArray<forms::Menu> dispmodeitem{setitem[6], "dispmodeitem", {0, 1, 2, 3}};
    forms::Menu helpmenu{*this, "helpmenu"};
    forms::ControlArray<forms::Menu> helpitem{helpmenu, "helpitem", {0, 1, 2, 4, 5, 7, 8}};

    // --- Toolbar, zoom box and the selected child ---
    forms::ControlArray<forms::CommandButton> Command2{
        *this, "Command2", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}};
    forms::Label lblNowPer{*this, "lblNowPer"};
    forms::ControlArray<forms::OptionButton> optChMode{*this, "optChMode", {0, 1, 2}};
    forms::Label Label1{*this, "Label1"};
    forms::TextBox Text1{*this, "Text1"};

    // --- Chart: tabs, viewport, canvas and its elements, scroll bars ---
    forms::TabStrip TabStrip1{*this, "TabStrip1"};
    forms::Frame Frame2{*this, "Frame2"};
    forms::PictureBox Picture2{Frame2, "Picture2"};
    forms::ChartCanvas Picture1{Picture2, "Picture1"};
    forms::ElementArray<forms::CanvasLabel> Label11{Picture1, "Label11", {0, 1}};
    forms::ElementArray<forms::CanvasLabel> Label12{Picture1, "Label12", {0, 1}};
    forms::ElementArray<forms::CanvasLabel> Label13{Picture1, "Label13", {0, 1}};
    forms::ElementArray<forms::CanvasLine> Line1{Picture1, "Line1", {0, 1}};
    forms::ElementArray<forms::CanvasLine> Line7{Picture1, "Line7", {0, 1}};
    forms::ElementArray<forms::CanvasImage> Image1{Picture1, "Image1", {0, 1}};
    forms::ElementArray<forms::CanvasPicture> DPic{Picture1, "DPic", {0, 1}};
    forms::CanvasLabel lblFocus{Picture1, "lblFocus"};
    forms::ControlArray<forms::TextBox> Text2{Picture1, "Text2", {0, 1}};
    forms::HScrollBar HScroll1{*this, "HScroll1"};
    forms::VScrollBar VScroll1{*this, "VScroll1"};

    // --- Side buttons ---
    forms::CommandButton cmdEzCtrl{*this, "cmdEzCtrl"};
    forms::CommandButton cmdChDel{*this, "cmdChDel"};
    forms::ControlArray<forms::CommandButton> cmdChdMov{*this, "cmdChdMov", {0, 1, 2, 3}};
    forms::CommandButton cmdDispOp{*this, "cmdDispOp"};
    forms::CommandButton CmdUndo{*this, "CmdUndo"};
    forms::CommandButton cmdCategory{*this, "cmdCategory"};
    forms::CommandButton Command1{*this, "Command1"};

    // --- Hidden helpers: the picture export's surface, an image, the timer, the dialogs ---
    forms::ControlArray<forms::PictureBox> Picture3{*this, "Picture3", {0}};
    forms::Image Image2{*this, "Image2"};
    forms::Timer Timer1{*this, "Timer1"};
    forms::CommonDialog CommonDialog1{*this, "CommonDialog1"};

    // --- Form variables ---
    // The outer size at load: the smallest size the window may be made (a hint to
    // the window manager).
    double Min_Width = 0;
    double Min_Height = 0;
    // The inner size at the last layout pass.
    double Prev_ScaleWidth = 0;
    double Prev_ScaleHeight = 0;
    // 1 while the chart is shown full-screen: the window refuses to close then.
    int16_t Fullscreen_Flag = 0;
    // 1 while a tab selection made by the chart rebuild is pending.
    int16_t Tab_ClickSkip = 0;
    // The person box clicked last (element index): the name editor opens under it.
    int Last_BoxIdx = 0;
    // -1 from F2 until the next person-box click, else 0: the Delete key does not
    // delete marriages while it is -1.
    int16_t NameEdit_Active = 0;

    // --- Start-up and shutdown ---
    void Form_Load() override;
    // Shows the hints the start-up asked for, once the main window is shown.
    void Form_Activate() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Form_Unload(int& Cancel) override { (void)Cancel; }
    void Timer1_Timer() {}
    // Deletes the autosave copy and the undo snapshot (missing files are skipped).
    void Kill_Autosave();

    // --- File menu ---
    void fileitem_Click(int Index);
    // What a loaded family is to the file it was read from.
    enum class LoadOrigin {
        FamilyFile,    // the document's own file: Cur_FilePath, caption and "FilePath.ini" follow it
        Recovered,     // the autosave's family, recovered: a changed family without a file
    };
    // Reads the family file at path in full, and only then empties the document
    // (File > New) and shows the family read (showFamily). A file that cannot be read,
    // or holds no family, leaves the open family exactly as it was (the reader has said
    // why) and returns false. path is taken by value: the emptying clears Cur_FilePath.
    bool LoadKezFile(std::string path);
    // Empties the document as File > New does, without its questions, and takes over
    // the family read from path (none for a recovered edit).
    void showFamily(model::StagedFamily& family, std::string path, LoadOrigin origin);
    // After a load: the relationship editors' lists and the Settings menu marks.
    void LoadAfterDisp();

    // --- View and Settings menus (MainForm_Menus.cpp); the toolbar calls them too ---
    void scritem_Click(int Index);
    void setitem_Click(int Index);
    void dispmodeitem_Click(int Index);
    void vertwide_Click(int Index);

    // --- Chart selection and clicks (MainForm_Selection.cpp) ---
    // Drops the box selection: no focus frame, no selected person, child buttons off.
    void Clear_Selection();
    // Selects person box Index: focus frame, the child it is and the child buttons.
    void Select_ChartBox(int Index);
    // Person boxes: a click selects the box and tells the open windows; a
    // double-click opens the child dialog. The hidden Label12 companions take the
    // handlers the boxes forward to.
    void DPic_Click(int Index);
    void DPic_DblClick(int Index);
    void Label12_Click(int Index);
    void Label12_DblClick(int Index);
    // Face icons and couple marks.
    void Image1_Click(int Index);
    void Image1_DblClick(int Index);
    void Label11_Click(int Index);
    void Label11_DblClick(int Index);
    // The child status of the selected child from the three option buttons.
    void optChMode_MouseUp(int Index, int Button, int Shift, double X, double Y);

    // --- Keys, zoom box and renaming in place (MainForm_Keys.cpp) ---
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Text1_GotFocus();
    void Text1_KeyPress(int16_t& KeyAscii);
    void Text2_KeyPress(int Index, int16_t& KeyAscii);

    // --- Window layout, scrolling, full screen and tree tabs (MainForm_Layout.cpp) ---
    void Form_Resize() override;
    void HScroll1_Change();
    void VScroll1_Change();
    void Picture1_Click();
    void TabStrip1_Click();

    // --- Toolbar and side buttons (MainForm_Toolbar.cpp) ---
    void Command2_Click(int Index);
    void cmdEzCtrl_Click();
    void cmdChDel_Click();
    void cmdChdMov_Click(int Index);
    void cmdDispOp_Click();
    void CmdUndo_Click();
    void cmdCategory_Click();
    void Command1_Click();

    // --- Help menu (MainForm_Help.cpp) ---
    void helpitem_Click(int Index);
    void openManual();

    // The Settings menu marks from the display flags of the document settings.
    void setDisplayChecks();

    // Installs this window as what the model, the layout and the drawing reach:
    // the model's window services, the chart canvas's element arrays and the chart
    // view (Form_Load does it). uninstallServices takes it back, so that nothing
    // reaches a window that is gone.
    void installServices();
    void uninstallServices();

    // --- Drag and drop on the chart ---
    // Drops from the relationship editor's person lists, the right button on a
    // person box and the one-step undo of the last drop (MainForm_Drops.cpp); the
    // shared drag state is mainwindow::dropState() (DropState.h). The handlers are
    // private; the relationship editor's drags use the two operations below.

    // The relationship editor's drag of a person of list `sex` (0 men, 1 women)
    // starts: the person boxes that may take that person accept the drop.
    void prepareListDropTargets(int sex);
    // The editor's drag ended with a drop kept for the copy question: asks it and
    // carries the drop out.
    void completeKeptDrop();

protected:
    void design() override;

private:
    friend class mainwindow::MainWindowServices;

    enum class SaveMode { KeepPath, AskPath };

    void designMenus();
    void designToolbar();
    void designChart();
    void designSideButtons();
    // The side buttons of the chart, Command1 last: they stand right of the
    // vertical scroll bar.
    std::vector<forms::CommandButton*> sideButtons();
    // The full-screen view hides the tabs and the side buttons; leaving it shows
    // them again, the side buttons above the chart.
    void showChartSurroundings(bool visible);

    // Start-up steps.
    void loadEraTable();
    void enablePrintCommands();
    void ensureSettingsFile();
    bool recoverInterruptedEdit();
    void openCommandLineFamily();
    // The hints are shown at the start once the main window is on the screen:
    // shown before it, they would be an unowned window it opens over.
    bool m_hintsAtStart = false;

    // File commands.
    void runFileCommand(int Index);
    void newFamily();
    // New's question: false when the family is changed and the user keeps it.
    bool mayDiscardFamily();
    // New without its questions: the family, its undo and its autosave go, and the
    // document is an empty family of no file.
    void discardFamily();
    void openFamily();
    void saveFamily(SaveMode mode);
    std::string rememberedFolder();
    // The save dialog offering the family's own file name, or offeredName.
    std::string askSavePath();
    std::string askSavePath(const std::string& offeredName);
    bool saveBeforeEnd();
    static bool confirmOverwrite(const std::string& chosen, const std::string& saveName);
    static void rememberFolderOf(const std::string& path);
    void removeTreeTabs(int count);
    // The chronology and the name list read the chart of the family shown: a command
    // that replaces the family closes them, and they are built afresh when opened again.
    void closeChartReports();

    // Output and exchange commands of the File menu.
    void exportChartPicture();   // MainForm_Export.cpp
    // Shows the message of a picture file that could not be written (the file and
    // why); "" gives the size advice.
    void reportExportFailure(const std::string& writeFailedMessage);
    static void adviseSmallerOutput();
    void showPrinterSetup();     // MainForm_Print.cpp
    void printChart();
    void csvInput();             // MainForm_Csv.cpp
    void csvOutput();
    void saveShownGroup();       // MainForm_Groups.cpp
    void mergeFamilyFile();

    // Toolbar and side buttons.
    void connectToolbarEvents();
    void showPersonCard();
    void deleteSelectedChild();

    // View and Settings menus.
    void connectMenuEvents();
    void runSettingsCommand(int Index);
    void chooseBackgroundColour();
    void chooseChartFont();

    // Renaming in place (MainForm_Keys.cpp): the name editor Text2 hidden.
    void closeNameEditor();
    // The person F2 opened the name editor for (-1 none) and the names it showed him
    // with. Enter writes only while he is still the chart's selection.
    int m_renamedPerson = -1;
    std::string m_renameShown[2];

    // Chart selection.
    void connectChartEvents();
    enum class ChildSearch { Found, NotFound, NotSearched };
    ChildSearch findChildPosition(int boxChildKou);
    void showSelectedChild();
    // The person box the selection stands on: the box clicked last while it is on
    // the chart and still shows the selected person; -1 when there is none.
    int selectedPersonBox() const;
    enum class ClickedElement { PersonBox, FaceIcon };
    void tellWindowsOfClick(ClickedElement element, int person, int boxKou);

    // Chart drops (MainForm_Drops.cpp).
    void Label12_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void Label12_OLEDragDrop(int Index, forms::DataObject& Data, int& Effect, int Button, int Shift, double X,
                             double Y);
    // The drop logic, also of a kept drop.
    void Label12_OLEDragDrop_Main(int Index, forms::DataObject& Data, int& Effect, int Button, int Shift,
                                  double X, double Y, const std::string& FName, const std::string& Name);
    // Its three cases, on the box `Index` of the person Drop_TargetPer: a category box
    // takes the dragged person as a child; otherwise the two marry, or with Shift the
    // dragged person becomes an adopted child of the box's person and a new partner.
    void dropChildOnCategoryBox(int Index, forms::DataObject& Data, const std::string& FName,
                                const std::string& Name);
    void dropPartnerOnBox(int Index, const std::string& FName, const std::string& Name);
    void dropAdoptedChildOnBox(int Index, const std::string& FName, const std::string& Name);
    void Label11_OLEDragDrop(int Index, forms::DataObject& Data, int& Effect, int Button, int Shift, double X,
                             double Y);
    void Picture1_OLEDragDrop(forms::DataObject& Data, int& Effect, int Button, int Shift, double X, double Y);
    // A new person for a drop (and its copies): its slot, -1 when the person
    // table is full.
    int AddNullActors(int Sex, const std::string& FName, const std::string& Name);
    // Reports of Add_Kodo and set_kou_buf results; Index is not used.
    void Ch_set_check(int code, int Index);
    void Marry_set_check(int code, int Index);
    void Marry_set_check_Msg(int code);
    // The hidden View menu item "ＵＮＤＯ": UndoLastEdit, then the windows that
    // show persons close when it freed persons.
    void dropUndoItem_Click();
    void UndoLastEdit();
    // The target person of the drop in progress.
    int16_t Drop_TargetPer = -1;
    // Keys: an arrow key scrolls the full-screen view; true when it did.
    bool scrollFullScreenByKey(int KeyCode);
    // Scrolls the chart so that the marriage it starts from is in sight: the selected
    // person's box, else the start marriage's couple mark, else the first couple
    // mark drawn (the tab shows another tree).
    void scrollStartIntoView();

    // Connects the drop and right-button handlers when the window object is built.
    struct DropWiring {
        explicit DropWiring(MainForm& window);
    };
    DropWiring m_dropWiring{*this};


    std::unique_ptr<mainwindow::MainWindowServices> m_services;
    std::unique_ptr<drawing::CanvasChartElements> m_chartElements;
    std::unique_ptr<drawing::CanvasPersonBoxes> m_personBoxes;
    std::unique_ptr<drawing::CanvasChartControls> m_chartControls;
    std::unique_ptr<drawing::FormsChartView> m_chartView;
    // The print commands follow the printer list when it changes (the system's
    // printers arrive after the start).
    forms::PrinterListFollower m_printerList{[this] {
        if (isLoaded())
            enablePrintCommands();
    }};
};

// The one main window (the window named `main`).
MainForm& main_form();

#include "mainwindow/MainForm.h"

#include "drawing/CanvasChartControls.h"
#include "drawing/CanvasChartElements.h"
#include "drawing/CanvasPersonBoxes.h"
#include "drawing/ChartOutputs.h"
#include "drawing/FormsChartView.h"
#include "drawing/PersonBox.h"
#include "drawing/draw_state.h"
#include "forms/Colors.h"
#include "forms/Printers.h"
#include "layout/ChartElements.h"
#include "layout/ChartMetrics.h"
#include "layout/ChartView.h"
#include "layout/chart_state.h"
#include "mainwindow/FamilyPaths.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/OtherWindows.h"
#include "model/Utilities.h"
#include "document/InitAllSetting.h"
#include "document/Snapshots.h"
#include "model/era/Nengo.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/MediaBundle.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Commands.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/RecordedReplacement.h"
#include "reports/csv/CsvReader.h"

#include <array>
#include <vector>

namespace {

constexpr const char* EraFileName = "\\nengo_tbl.mas";
constexpr const char* SettingsFileName = "\\tvora.ini";
constexpr const char* EraFileMissingMessage = "年号ファイルがみつかりません：";
constexpr const char* FullscreenCloseMessage = "家系図をクリックすると、画面を閉じます";
constexpr const char* ChangedEndQuestion = "データが変更されています。終了しますか?";
constexpr const char* SaveQuestion = "データを保存しますか?";
constexpr const char* NotSavedMessage = "保存がキャンセルされたか、ファイルを保存出来ません";

// Split_Quoted fills at most this many items of the command line.
constexpr int CommandLineItems = 21;

// Toolbar picture buttons: a glyph stands for each button's picture.
constexpr double ToolButtonSize = 450;
constexpr double ToolButtonStep = 480;

struct ToolButton {
    const char* glyph;
    const char* hint;
};

constexpr std::array<ToolButton, 15> ToolButtons{{
    {"新", "新規作成"},
    {"開", "開く"},
    {"保", "上書き保存"},
    {"印", "印刷"},
    {"全", "全画面"},
    {"関", "関係追加画面"},
    {"字", "フォント設定"},
    {"顔", "アイコン表示"},
    {"個", "個人情報"},
    {"入", "入力画面"},
    {"設", "関係設定画面"},
    {"名", "名簿"},
    {"年", "年表"},
    {"色", "背景色設定"},
    {"群", "家系グループ設定"},
}};

// A start-up step that failed for a reason start-up has no answer of its own for
// is reported as an unexpected error (its number and description, as every
// untrapped error is shown), and start-up goes on: the window opens.
void reportStartupError(const platform::RuntimeError& error)
{
    platform::MsgBox("実行時エラー '" + std::to_string(error.number) + "':\r\n\r\n" + error.description,
                     platform::vbCritical);
}

} // namespace

MainForm::MainForm()
    : Form("main"),
      m_chartElements(std::make_unique<drawing::CanvasChartElements>(
          drawing::ChartElementArrays{Label11, Label12, Label13, Line1, Line7, Image1, DPic}, &Text1)),
      m_personBoxes(std::make_unique<drawing::CanvasPersonBoxes>(DPic)),
      m_chartControls(std::make_unique<drawing::CanvasChartControls>(
          drawing::ChartControlArrays{Label11, Label12, Label13, Line1, Line7, Image1, DPic}, &Picture2))
{
    drawing::ChartViewControls view;
    view.window = this;
    view.Picture2 = &Picture2;
    view.Picture1 = &Picture1;
    view.HScroll1 = &HScroll1;
    view.VScroll1 = &VScroll1;
    view.TabStrip1 = &TabStrip1;
    view.Text1 = &Text1;
    view.fullScreenButton = &Command2[4];
    view.lblFocus = &lblFocus;
    view.Frame2 = &Frame2;
    view.menus = {&filemenu, &scrmenu, &setmenu, &helpmenu};
    view.Tab_ClickSkip = &Tab_ClickSkip;
    view.Fullscreen_Flag = &Fullscreen_Flag;
    m_chartView = std::make_unique<drawing::FormsChartView>(view);

    fileitem.onClick = [this](int index) { fileitem_Click(index); };
    helpitem.onClick = [this](int index) { helpitem_Click(index); };
    connectToolbarEvents();
    connectMenuEvents();
    connectChartEvents();
    Timer1.onTimer = [this] { Timer1_Timer(); };
}

MainForm::~MainForm()
{
    uninstallServices();
}

void MainForm::installServices()
{
    if (!m_services)
        m_services = std::make_unique<mainwindow::MainWindowServices>(*this);
    model::setWindowServices(m_services.get());
    layout::setChartElements(m_chartElements.get());
    drawing::setPersonBoxPictures(m_personBoxes.get());
    drawing::setChartControls(m_chartControls.get());
    layout::setChartView(m_chartView.get());
    // Every command that edits the family, in whatever window, is one step for 戻 (or
    // none) and leaves its autosave.
    platform::setEndOfCommandWork([] {
        model::settleUndoStep();
        (void)model::Save_AutosaveAfterEdits();
    });
}

void MainForm::uninstallServices()
{
    if (m_services && &model::windowServices() == m_services.get())
        model::setWindowServices(nullptr);
    if (&layout::chartElements() == m_chartElements.get())
        layout::setChartElements(nullptr);
    if (drawing::personBoxPictures() == m_personBoxes.get())
        drawing::setPersonBoxPictures(nullptr);
    if (drawing::chartControls() == m_chartControls.get())
        drawing::setChartControls(nullptr);
    if (&layout::chartView() == m_chartView.get())
        layout::setChartView(nullptr);
    platform::setEndOfCommandWork({});
}

// ---------------------------------------------------------------------------
// Design

void MainForm::design()
{
    setCaption(platform::AppTitle);
    move(600, 600, 12960, 7950);
    // The key handler must see Delete, F2, Esc and the shortcuts while the chart
    // or any other control has the focus.
    setKeyPreview(true);
    designMenus();
    designToolbar();
    designChart();
    designSideButtons();

    Picture3[0].move(0, 0, 15, 15);
    Picture3[0].setVisible(false);
    Image2.move(11925, 7170, 255, 255);
    Timer1.setInterval(0);
}

void MainForm::designMenus()
{
    filemenu.setCaption("ファイル");
    const std::vector<const char*> fileCaptions{
        "新規作成",     "開く",     "上書き保存", "名前を付けて保存",
        "-",            "ＣＳＶ入力", "ＣＳＶ出力", "-",
        "BMP出力",      "-",        "プリンタ設定", "印刷",
        "-",            "表示している家系グループを保存", "家系データの追加読み込み", "-",
        "終了"};
    for (int i = 0; i < static_cast<int>(fileCaptions.size()); ++i)
        fileitem[i].setCaption(fileCaptions[static_cast<size_t>(i)]);
    fileitem[7].setVisible(false);

    scrmenu.setCaption("表示");
    const std::vector<const char*> viewCaptions{"ＵＮＤＯ", "-", "入力画面", "関係設定画面", "年表画面",
                                                "名簿画面", "-", "関係追加画面", "-", "ヒントの表示"};
    for (int i = 0; i < static_cast<int>(viewCaptions.size()); ++i)
        scritem[i].setCaption(viewCaptions[static_cast<size_t>(i)]);
    for (int hidden : {0, 1, 6})
        scritem[hidden].setVisible(false);

    setmenu.setCaption("設定");
    const std::vector<std::pair<int, const char*>> settingCaptions{
        {0, "死亡表示"},  {1, "男女別表示"}, {2, "縦横表示"},     {4, "アイコン表示"},
        {5, "名字表示"},  {6, "表示モード"}, {7, "-"},            {8, "背景色設定"},
        {9, "-"},         {10, "フォント設定"}, {11, "-"},         {12, "子供の順番を入れ替える"}};
    for (const auto& [index, caption] : settingCaptions)
        setitem[index].setCaption(caption);
    setitem[5].setVisible(false);
    vertwide[0].setCaption("横書き");
    vertwide[1].setCaption("縦書き");
    vertwide[0].setChecked(true);
    dispmodeitem[0].setCaption("結婚履歴ごとに子供を表示する");
    dispmodeitem[1].setCaption("結婚履歴の子供をまとめる");
    dispmodeitem[2].setCaption("直系表示を有効にする");
    dispmodeitem[3].setCaption("男女表示を左右反転させる");
    dispmodeitem[0].setVisible(false);
    dispmodeitem[1].setVisible(false);
    dispmodeitem[1].setChecked(true);

    helpmenu.setCaption("ﾍﾙﾌﾟ");
    const std::vector<std::pair<int, const char*>> helpCaptions{
        {0, "デバック"}, {1, "Tevoraﾏﾆｭｱﾙ"}, {2, "ﾊﾞｰｼﾞｮﾝ"}, {4, "-"},
        {5, "Tevoraﾎｰﾑﾍﾟｰｼﾞ(ｵﾝﾗｲﾝ)"}, {7, "よくある質問(ｵﾝﾗｲﾝ)"}, {8, "サポート(ｵﾝﾗｲﾝ)"}};
    for (const auto& [index, caption] : helpCaptions)
        helpitem[index].setCaption(caption);
    helpitem[0].setVisible(false);
}

void MainForm::designToolbar()
{
    for (int i = 0; i < static_cast<int>(ToolButtons.size()); ++i) {
        forms::CommandButton& button = Command2[i];
        button.move(60 + i * ToolButtonStep, 105, ToolButtonSize, ToolButtonSize);
        button.showGlyph(ToolButtons[static_cast<size_t>(i)].glyph, ToolButtons[static_cast<size_t>(i)].hint);
        button.setTabStop(false);
    }

    lblNowPer.move(7380, 90, 1800, 255);
    lblNowPer.setToolTipText("現在選択されている子供です");
    const std::array<const char*, 3> childModes{"父", "母", "養子"};
    for (int i = 0; i < 3; ++i) {
        forms::OptionButton& option = optChMode[i];
        option.move(7380 + i * 600, 360, 585, 255);
        option.setCaption(childModes[static_cast<size_t>(i)]);
        // Beside its round mark a 585-twip button holds two full-width characters
        // ("養子") only at 7 points.
        option.setFontSize(7);
        option.setToolTipText(i < 2 ? "選択されている子供が誰の子供か指定します" : "養子の案内を表示します");
        option.setEnabled(false);
    }

    Label1.move(10605, 270, 405, 345);
    Label1.setCaption("表示倍率");
    // Its two lines of two characters fit the 405 x 345 twips at 7.5 points.
    Label1.setFontSize(7.5);
    Label1.setToolTipText("家系図の表示倍率を設定します");
    Text1.move(10995, 210, 617, 420);
    Text1.setText("100");
}

void MainForm::designChart()
{
    TabStrip1.move(45, ToolbarHeight, 11580, 300);
    TabStrip1.setToolTipText("「家系グループ」で表示順等を設定出来ます");
    // The two tabs every chart build keeps: the new-entry tab and all groups.
    TabStrip1.tabs().add(0, "", "");
    TabStrip1.tabs().add(0, "", "全グループ表示");

    Frame2.move(0, 960, 11550, 6180);
    Frame2.setBorderStyle(0);
    Picture2.move(0, 0, 11580, 6195);
    Picture2.setBorderStyle(0);
    Picture1.move(0, 0, 11520, 6135);
    Picture1.setBorderStyle(0);
    Picture1.setBackColor(forms::RGB(255, 255, 255));

    const std::array<forms::ElementArrayBase*, 7> arrays{&Label11, &Label12, &Label13, &Line1,
                                                         &Line7,   &Image1,  &DPic};
    for (forms::ElementArrayBase* array : arrays) {
        for (int i : {0, 1})
            array->elementAt(i).setVisible(false);
    }
    for (int i : {0, 1}) {
        DPic[i].setBorderStyle(0);
        DPic[i].setBackColor(forms::RGB(255, 255, 255));
    }
    lblFocus.setVisible(false);
    lblFocus.setBackStyle(0);
    lblFocus.setBorderStyle(1);

    for (int i : {0, 1}) {
        Text2[i].move(0, 0, 1219, 377);
        Text2[i].setBackColor(0xC0C0C0);
        Text2[i].setVisible(false);
    }

    HScroll1.move(0, 7170, 11550, 255);
    VScroll1.move(11610, 975, 255, 6150);
}

std::vector<forms::CommandButton*> MainForm::sideButtons()
{
    std::vector<forms::CommandButton*> buttons{&cmdEzCtrl, &cmdChDel};
    cmdChdMov.forEach([&buttons](forms::CommandButton& button) { buttons.push_back(&button); });
    for (forms::CommandButton* button : {&cmdDispOp, &CmdUndo, &cmdCategory, &Command1})
        buttons.push_back(button);
    return buttons;
}

std::vector<forms::Control*> MainForm::commands()
{
    std::vector<forms::Control*> controls;
    Command2.forEach([&controls](forms::CommandButton& button) { controls.push_back(&button); });
    optChMode.forEach([&controls](forms::OptionButton& option) { controls.push_back(&option); });
    controls.push_back(&Text1);
    for (forms::CommandButton* button : sideButtons())
        controls.push_back(button);
    return controls;
}

void MainForm::designSideButtons()
{
    struct Side {
        forms::CommandButton& button;
        const char* glyph;
        const char* hint;
    };
    const std::vector<Side> buttons{
        {cmdEzCtrl, "関", "関係追加画面"},
        {cmdChDel, "削", "選択されている子供を削除します"},
        {cmdChdMov[0], "≪", "選択されている子供を左端へ移動します"},
        {cmdChdMov[1], "＜", "選択されている子供を左へ一つ移動します"},
        {cmdChdMov[2], "＞", "選択されている子供を右へ一つ移動します"},
        {cmdChdMov[3], "≫", "選択されている子供を右端へ移動します"},
        {cmdDispOp, "表", "表示オプション"},
        {CmdUndo, "戻", "やり直し（アンドゥ）"},
        {cmdCategory, "類", "カテゴリ作成"},
    };
    double top = 975;
    for (const Side& side : buttons) {
        side.button.move(11955, top, ToolButtonSize, ToolButtonSize);
        side.button.showGlyph(side.glyph, side.hint);
        side.button.setTabStop(false);
        top += ToolButtonStep;
    }
    for (forms::CommandButton* off : {&cmdChDel, &cmdDispOp, &CmdUndo})
        off->setEnabled(false);
    cmdChdMov.forEach([](forms::CommandButton& button) { button.setEnabled(false); });
    Command1.move(11925, top + 120, 930, 375);
    Command1.setCaption("Command1");
    // Latin letters are half width in the fixed-pitch gothic: the caption fits the button.
    Command1.setFontName("ＭＳ ゴシック");
}

// ---------------------------------------------------------------------------
// Start-up

void MainForm::Form_Load()
{
    installServices();
    Tab_ClickSkip = 0;
    Fullscreen_Flag = 0;
    Last_BoxIdx = 0;
    NameEdit_Active = 0;
    Min_Width = width();
    Min_Height = height();
    Prev_ScaleWidth = scaleWidth();
    Prev_ScaleHeight = scaleHeight();
    // The window manager keeps the user's drag above the size at load.
    setMinimumSize(Min_Width, Min_Height);
    // The side buttons stand above the chart whatever the viewport does.
    for (forms::CommandButton* button : sideButtons())
        button->zOrder(0);
    // The tab strip has just been made from its design: it holds the two permanent
    // tabs and no tree tab that the new document would have to remove.
    layout::chart().tab_cnt = -1;

    model::InitAllSetting();
    layout::Init_ChartState();
    loadEraTable();
    enablePrintCommands();
    Picture3.load(1);
    Picture3[1].setVisible(false);
    Image2.setVisible(false);
    drawing::drawState().Draw_ForOutput = 0;
    reports::InitCsvParser();
    ensureSettingsFile();
    m_hintsAtStart = model::Get_QAMode() == 1;

    // A save a killed run left under way is completed or undone before any family is
    // read, and leaves no partial file behind.
    platform::settleInterruptedReplacements();
    bool loadedAtStart = false;
    try {
        loadedAtStart = recoverInterruptedEdit();
    } catch (const platform::RuntimeError& error) {
        // The user chose the interrupted edit; it stays the family of this start.
        loadedAtStart = true;
        reportStartupError(error);
    }
    if (!loadedAtStart) {
        try {
            openCommandLineFamily();
        } catch (const platform::RuntimeError& error) {
            reportStartupError(error);
        }
    }

    model::runState().DspOp_Person = 1;
    Clear_Selection();
}

void MainForm::Form_Activate()
{
    if (!m_hintsAtStart)
        return;
    m_hintsAtStart = false;
    mainwindow::otherWindows().showHints();
}

void MainForm::loadEraTable()
{
    const std::string path = platform::appFile(EraFileName);
    if (model::Load_NengoTbl(path) < 0)
        platform::MsgBox(std::string(EraFileMissingMessage) + "\r\n" + path, platform::vbOKOnly);
}

void MainForm::enablePrintCommands()
{
    const bool printerInstalled = forms::Printers().count() > 0;
    Command2[3].setEnabled(printerInstalled);
    fileitem[11].setEnabled(printerInstalled);
}

void MainForm::ensureSettingsFile()
{
    const std::string path = platform::appFile(SettingsFileName);
    if (platform::fileExists(path))
        return;
    try {
        platform::writeFileAtomically(path, "QAMODE,1\r\n");
    } catch (const platform::RuntimeError&) {
        // A program folder that cannot be written: start-up goes on without the
        // settings file, and Get_QAMode then asks for no hints window.
    }
}

// True when the user chose to reload the interrupted edit, whether or not it
// could be read: the command line is then left alone, so that a family opened
// from it cannot write its autosave over a copy kept for another try.
bool MainForm::recoverInterruptedEdit()
{
    const model::Recovery recovery = model::recoverAutosave(
        [this](model::StagedFamily& family) { showFamily(family, std::string(), LoadOrigin::Recovered); });
    if (recovery == model::Recovery::Recovered)
        LoadAfterDisp();
    return recovery == model::Recovery::Recovered || recovery == model::Recovery::NotRecovered;
}

void MainForm::openCommandLineFamily()
{
    std::vector<std::string> items(CommandLineItems);
    model::Split_Quoted(platform::Trim(platform::Command()), items, ",");
    std::string path = items[0];
    if (platform::Trim(path).empty())
        return;
    // A relative name means the folder the program was started from; the file
    // commands change the current folder later, so the family keeps its full path.
    if (path.front() != '/')
        path = platform::joinPath(platform::currentDirectory(), path);
    LoadKezFile(path);
    LoadAfterDisp();
}

// ---------------------------------------------------------------------------
// Shutdown

void MainForm::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    // Windows or the program itself closes the window: no question, and the
    // autosave copy stays for the next start.
    if (UnloadMode != forms::vbFormControlMenu)
        platform::EndProgram();

    if (Fullscreen_Flag == 1) {
        platform::MsgBox(FullscreenCloseMessage, platform::vbOKOnly);
        Cancel = 1;
        return;
    }
    // What the editors hold unregistered is settled before the family's own
    // question: registering it changes the family.
    if (!mainwindow::settleEditorsFirst()) {
        Cancel = 1;
        return;
    }
    if (model::tables().Data_Changed == 0) {
        Kill_Autosave();
        platform::EndProgram();
    }
    if (platform::MsgBox(ChangedEndQuestion, platform::vbOKCancel) != platform::vbOK) {
        Cancel = 1;
        return;
    }
    if (platform::MsgBox(SaveQuestion, platform::vbYesNo) == platform::vbYes && !saveBeforeEnd()) {
        // The user wanted the family saved and it was not (no name was chosen, or it
        // could not be written): ending now would lose it, and the autosave copy with
        // it. The window stays open.
        Cancel = 1;
        return;
    }
    Kill_Autosave();
    platform::EndProgram();
}

// The save of the shutdown question. True when the family was written; no chosen
// name shows its message, and a file that could not be written the writer's.
bool MainForm::saveBeforeEnd()
{
    model::Tables& t = model::tables();
    const std::string previousPath = t.Cur_FilePath;
    if (t.Cur_FilePath.empty()) {
        // The same dialog as Save As: it starts in the user's last folder and asks
        // before another family file is replaced.
        CommonDialog1.setCancelError(true);
        try {
            t.Cur_FilePath = askSavePath();
        } catch (const platform::RuntimeError&) {
            // A cancelled dialog, or one that failed, chooses no name.
            CommonDialog1.setFileName("");
        }
    }
    if (t.Cur_FilePath.empty()) {
        platform::MsgBox(NotSavedMessage, platform::vbOKOnly);
        return false;
    }
    if (!previousPath.empty() && !mainwindow::askBeforeReplacingChanged(t.Cur_FilePath))
        return false;
    if (model::save_file(t.Cur_FilePath)) {
        model::rememberFamilyFile(t.Cur_FilePath);
        // The program ends without the completion message, but a voice memo or
        // picture the save could not include is named.
        if (!model::leftOutMedia().empty())
            platform::MsgBox(model::savedFamilyMessage(), platform::vbOKOnly);
        return true;
    }
    model::restoreLeftOutMedia();
    t.Cur_FilePath = previousPath;
    return false;
}

void MainForm::Kill_Autosave()
{
    model::Kill_AutosaveFiles();
}

// ---------------------------------------------------------------------------
// Menu marks

void MainForm::setDisplayChecks()
{
    const model::Settings& s = model::settings();
    setitem[0].setChecked(s.Dispmode_Death == 1);
    setitem[1].setChecked(s.Dispmode_Manwoman == 1);
    vertwide[0].setChecked(s.write_state != 1);
    vertwide[1].setChecked(s.write_state == 1);
    setitem[4].setChecked(s.Dispmode_Icon == 1);
    setitem[5].setChecked(s.Dispmode_Fname == 1);
    dispmodeitem[0].setChecked(s.dispmode != 1);
    dispmodeitem[1].setChecked(s.dispmode == 1);
    dispmodeitem[2].setChecked(s.Dispmode_Tyokei == 1);
    dispmodeitem[3].setChecked(s.Dispmode_Flip == 1);
}

MainForm& main_form()
{
    static MainForm instance;
    return instance;
}

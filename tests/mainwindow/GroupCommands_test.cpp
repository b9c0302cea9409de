// File > "表示している家系グループを保存" and "家系データの追加読み込み" through the
// real menu, with family files written into the program folder.

#include "ChartFixture.h"

#include "document/GroupSave.h"
#include "document/MergeLoad.h"
#include "document/Snapshots.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "model/filestore/FileStore.h"

namespace mainwindow_test {
namespace {

constexpr int GroupSaveItem = 13;
constexpr int MergeLoadItem = 14;

class GroupCommands : public ChartTest {
protected:
    std::string homeFile(const std::string& name) const { return platform::joinPath(home.path(), name); }

    // Starts with the family of file "open.KEZ" (山田) loaded as by File > Open.
    std::string startWithOpenedFamily()
    {
        const std::string opened = writtenFamily("open.KEZ", "山田");
        start();
        dialogs.answerNext(forms::DialogAnswer::file(opened));
        window().fileitem[1].choose();
        EXPECT_EQ(tables().Cur_FilePath, opened);
        return opened;
    }

    // The file the family store wrote for the name.
    std::string writtenFamily(const std::string& name, const std::string& familyName)
    {
        return model::kezFileName(writeFamilyFile(name, familyName));
    }

    void merge(const std::string& path)
    {
        dialogs.answerNext(forms::DialogAnswer::file(path));
        window().fileitem[MergeLoadItem].choose();
    }
};

TEST_F(GroupCommands, MergeAppendsThePersonsAndTheFamilyKeepsItsOwnFile)
{
    const std::string appended = writtenFamily("more.KEZ", "佐藤");
    const std::string opened = startWithOpenedFamily();
    const std::string appendedBytes = read(appended);
    window().Text1.setText("150");
    windows.calls.clear();
    merge(appended);

    ASSERT_EQ(dialogs.requests().size(), 2u);
    const forms::DialogRequest& request = dialogs.requests()[1];
    EXPECT_EQ(request.kind, forms::DialogKind::Open);
    EXPECT_EQ(request.title, "家系図の追加読み込み");
    EXPECT_EQ(request.filter, "*.kez");
    EXPECT_EQ(request.fileName, "*.kez");
    EXPECT_EQ(request.startDirectory, home.path());

    std::vector<std::string> expected = familyOf("山田");
    for (const std::string& name : familyOf("佐藤"))
        expected.push_back(name);
    EXPECT_EQ(personNames(), expected);
    EXPECT_EQ(tables().Cur_FilePath, opened) << "the appended file does not become the family's file";
    EXPECT_EQ(window().caption(), opened);
    EXPECT_EQ(tables().Data_Changed, 1) << "closing the program must still ask before the merge is lost";
    EXPECT_EQ(windows.count("closePersonEditor"), 1);
    EXPECT_GE(windows.count("rebuildRelationLists"), 1);
    EXPECT_EQ(window().Text1.text(), "100");
    EXPECT_EQ(window().TabStrip1.selectedIndex(), 1);
    EXPECT_FALSE(platform::fileExists(model::undoSnapshotPath())) << "the merge cannot be undone";
    EXPECT_FALSE(window().CmdUndo.isEnabled());

    // Save writes the merged family to the family's own file, never to the appended one.
    answers.answerNext(platform::vbOK);
    window().fileitem[2].choose();
    EXPECT_EQ(read(appended), appendedBytes);
    model::InitAllSetting();
    ASSERT_TRUE(model::load_file(opened));
    EXPECT_EQ(personNames(), expected);
}

TEST_F(GroupCommands, MergeCancelledLeavesPathAndUndoSnapshot)
{
    const std::string opened = startWithOpenedFamily();
    tables().Data_Changed = 1;
    ASSERT_TRUE(model::Save_Undo());
    const std::string snapshot = read(model::undoSnapshotPath());
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    window().fileitem[MergeLoadItem].choose();

    EXPECT_EQ(tables().Cur_FilePath, opened);
    EXPECT_EQ(read(model::undoSnapshotPath()), snapshot);
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_TRUE(answers.shown().empty());
}

// The second file is read before anything of the open family is touched: one that
// cannot be read leaves the family, its undo snapshot and the person editor as they
// were.
TEST_F(GroupCommands, UnreadableMergeFileLeavesTheFamily)
{
    const std::string opened = startWithOpenedFamily();
    const std::string damaged = homeFile("damaged.KEZ");
    platform::writeWholeFile(damaged, DamagedFamilyText);
    tables().Data_Changed = 1;
    ASSERT_TRUE(model::Save_Undo());
    const std::string snapshot = read(model::undoSnapshotPath());
    model::runState().Entry_Open = 1;
    answers.answerNext(platform::vbOK);
    windows.calls.clear();
    merge(damaged);

    EXPECT_EQ(answers.shown().size(), 1u) << "the reader says why";
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(tables().Cur_FilePath, opened);
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_TRUE(window().CmdUndo.isEnabled());
    EXPECT_EQ(read(model::undoSnapshotPath()), snapshot);
    EXPECT_EQ(model::runState().Entry_Open, 1);
    EXPECT_EQ(windows.count("closePersonEditor"), 0);
    EXPECT_GE(windows.count("rebuildRelationLists"), 1) << "the lists are refreshed in any case";
}

TEST_F(GroupCommands, GroupSaveOnTheNewEntryOrAllTreesTabIsRefusedWithoutADialog)
{
    showFamily();
    const int trees = layout::chart().tree_cnt;
    const std::vector<std::pair<int, const char*>> refusals{{trees + 1, model::GroupSaveNewTabMessage},
                                                            {trees + 2, model::GroupSaveAllTabMessage}};
    for (const auto& [tab, message] : refusals) {
        window().TabStrip1.tabs().item(tab).setSelected(true);
        answers.answerNext(platform::vbOK);
        window().fileitem[GroupSaveItem].choose();
        ASSERT_FALSE(answers.shown().empty());
        EXPECT_EQ(answers.shown().back().text, message);
        EXPECT_EQ(answers.shown().back().title, model::GroupSaveTitle);
    }
    EXPECT_TRUE(dialogs.requests().empty());
}

TEST_F(GroupCommands, GroupSaveWritesOnlyTheTreeOfTheSelectedTab)
{
    start();
    buildFamily("山田");
    buildFamily("佐藤");
    drawing::Refresh_TabDisp();
    ASSERT_EQ(layout::chart().tree_cnt, 2);
    window().TabStrip1.tabs().item(1).setSelected(true);
    const std::vector<std::string> whole = personNames();
    const std::string path = homeFile("group.KEZ");
    dialogs.answerNext(forms::DialogAnswer::file(path));
    answers.answerNext(platform::vbOK);
    window().fileitem[GroupSaveItem].choose();

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{"保存が終了しました"}) << "ends as Save As does";
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].title, "家系図の保存");
    EXPECT_EQ(dialogs.requests()[0].filter, "*.kez");
    EXPECT_EQ(dialogs.requests()[0].fileName, window().TabStrip1.selectedItem().caption() + ".kez")
        << "the name of the shown tree is offered";
    EXPECT_EQ(personNames(), whole) << "the open family is whole again";
    const std::string written = model::kezFileName(path);
    ASSERT_TRUE(platform::fileExists(written));
    model::InitAllSetting();
    ASSERT_TRUE(model::load_file(written));
    const std::vector<std::string> group = personNames();
    EXPECT_EQ(group.size(), 3u);
    EXPECT_TRUE(group == familyOf("山田") || group == familyOf("佐藤"));
}

// The open family (山田, from "open.kez") with a second tree, the first tree's tab
// selected for a group save.
class GroupSaveOfTwoTrees : public GroupCommands {
protected:
    std::string startWithTwoTrees()
    {
        const std::string opened = writtenFamily("open", "山田");
        EXPECT_EQ(opened, homeFile("open.kez"));
        start();
        dialogs.answerNext(forms::DialogAnswer::file(opened));
        window().fileitem[1].choose();
        buildFamily("佐藤");
        drawing::Refresh_TabDisp();
        EXPECT_EQ(layout::chart().tree_cnt, 2);
        window().TabStrip1.tabs().item(1).setSelected(true);
        return opened;
    }
};

// The dialog asks about the name as typed; the file written is its ".kez" form, and
// that is the one the user is asked about.
TEST_F(GroupSaveOfTwoTrees, AsksBeforeReplacingTheFileActuallyWritten)
{
    const std::string other = writtenFamily("other", "鈴木");
    const std::string before = read(other);
    startWithTwoTrees();

    dialogs.answerNext(forms::DialogAnswer::file(homeFile("other")));
    answers.answerNext(platform::vbNo);
    window().fileitem[GroupSaveItem].choose();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{other + "\r\nは既に存在します。上書きしますか？"});
    EXPECT_NE(answers.shown()[0].style & platform::vbDefaultButton2, 0) << "No is the default";
    EXPECT_EQ(read(other), before) << "No writes nothing";

    answers.clearRecords();
    dialogs.answerNext(forms::DialogAnswer::file(homeFile("other")));
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    window().fileitem[GroupSaveItem].choose();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{other + "\r\nは既に存在します。上書きしますか？",
                                                              "保存が終了しました"}));
    EXPECT_NE(read(other), before);
}

// The dialog offers the shown tree's name as a family file, which the group save
// takes; a tree named like the open family's own file, which it would refuse, and
// a name the dialog would take for a pattern get no name offered.
TEST_F(GroupSaveOfTwoTrees, TheDialogOffersTheShownTreesNameNotTheFamilysOwnFile)
{
    const std::string opened = startWithTwoTrees();
    const std::string before = read(opened);
    // The tab of a family's tree shows the title of its marriage.
    const auto title = [](const std::string& familyName, const std::string& caption) {
        for (int k = 1; k <= model::LastSlot; ++k) {
            model::marry_data& m = tables().kou_buf[static_cast<size_t>(k)];
            if (m.InUse == model::SlotUsed && tables().per_buf[static_cast<size_t>(m.kou_titi)].F_name == familyName)
                m.kou_title = caption;
        }
        drawing::Refresh_TabDisp();
    };
    // Runs the group save for the tab with the caption; the name the dialog offered.
    const auto offeredFor = [this](const std::string& caption, const forms::DialogAnswer& answer) {
        forms::Tabs& tabs = window().TabStrip1.tabs();
        for (int tab = 1; tab <= tabs.count(); ++tab) {
            if (tabs.item(tab).caption() == caption)
                tabs.item(tab).setSelected(true);
        }
        EXPECT_EQ(window().TabStrip1.selectedItem().caption(), caption);
        dialogs.answerNext(answer);
        window().fileitem[GroupSaveItem].choose();
        return dialogs.requests().back().fileName;
    };
    title("山田", "山田家");
    title("佐藤", "OPEN");
    EXPECT_EQ(offeredFor("OPEN", forms::DialogAnswer::cancelled()), "");
    title("山田", "山田*");
    EXPECT_EQ(offeredFor("山田*", forms::DialogAnswer::cancelled()), "");

    // The name offered is taken as it stands.
    title("山田", "山田家");
    answers.answerNext(platform::vbOK);
    EXPECT_EQ(offeredFor("山田家", forms::DialogAnswer::file(homeFile("山田家.kez"))), "山田家.kez");
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{"保存が終了しました"});
    EXPECT_TRUE(platform::fileExists(homeFile("山田家.kez")));
    EXPECT_EQ(read(opened), before);
}

// Part of the family written over the file of the family being edited would leave the
// rest only in memory: the open family's own file, however the name is spelt, is
// refused and stays as it was, and so does the family on screen.
TEST_F(GroupSaveOfTwoTrees, TheOpenFamilysOwnFileIsRefused)
{
    const std::string opened = startWithTwoTrees();
    const std::string before = read(opened);
    const std::vector<std::string> whole = personNames();
    const int changed = tables().Data_Changed;
    const std::string refusal = model::GroupSaveOwnFileMessage;

    // Typed without its ending: the replace question comes first, then the refusal.
    dialogs.answerNext(forms::DialogAnswer::file(homeFile("open")));
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    window().fileitem[GroupSaveItem].choose();
    EXPECT_EQ(answers.shownTexts(),
              (std::vector<std::string>{opened + "\r\nは既に存在します。上書きしますか？", refusal}));
    EXPECT_EQ(answers.shown().back().title, model::GroupSaveTitle);

    // Another letter case and a detour through another folder.
    platform::makeDir(homeFile("sub"));
    for (const std::string& spelling : {homeFile("sub/../OPEN.KEZ"), homeFile("./open.kez")}) {
        answers.clearRecords();
        dialogs.answerNext(forms::DialogAnswer::file(spelling));
        answers.answerNext(platform::vbOK);
        window().fileitem[GroupSaveItem].choose();
        EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{refusal}) << spelling;
    }

    EXPECT_EQ(read(opened), before);
    EXPECT_FALSE(platform::fileExists(homeFile("OPEN.KEZ")));
    EXPECT_EQ(personNames(), whole);
    EXPECT_EQ(tables().Data_Changed, changed);
    EXPECT_EQ(tables().Cur_FilePath, opened);
}

// A file cut before its end marker may lack any of its marriages and children: the
// reader says so and nothing of it is added, and nothing of the open family is touched.
TEST_F(GroupCommands, MergeOfAFileCutBeforeItsEndMarkerIsRefused)
{
    const std::string whole = writtenFamily("more.KEZ", "佐藤");
    const std::string bytes = read(whole);
    const std::string cut = homeFile("cut.KEZ");
    platform::writeWholeFile(cut, bytes.substr(0, bytes.find("[kou_bufsection]")));
    const std::string opened = startWithOpenedFamily();
    ASSERT_TRUE(model::Save_Undo());
    windows.calls.clear();
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    merge(cut);

    EXPECT_EQ(answers.shownTexts(),
              (std::vector<std::string>{model::IncompleteFileMessage, model::MergeIncompleteMessage}));
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(tables().Cur_FilePath, opened);
    EXPECT_EQ(model::fileStore().EndOfDataF, 0);
    // Refused on what was read, before the undo snapshot or a window was touched.
    EXPECT_TRUE(window().CmdUndo.isEnabled());
    EXPECT_EQ(windows.count("closePersonEditor"), 0);
}

// A file of another kind is named as no family file, and nothing of it is added.
TEST_F(GroupCommands, MergeOfAFileOfAnotherKindNamesItAsNoFamilyFile)
{
    const std::string pdf = homeFile("report.KEZ");
    platform::writeWholeFile(pdf, "%PDF-1.4\n1 0 obj\n<< /Type /Catalog >>\nendobj\n%%EOF\n");
    const std::string opened = startWithOpenedFamily();
    answers.answerNext(platform::vbOK);
    merge(pdf);

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{model::NotFamilyFileMessage});
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(tables().Cur_FilePath, opened);
}

} // namespace
} // namespace mainwindow_test

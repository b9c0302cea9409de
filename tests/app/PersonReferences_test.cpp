// References to persons with the program's real windows: a person deleted in the
// person editor (card or table view) leaves no window naming him. The relationship
// editor's unregistered change that names him is settled with the question every
// command asks, and whatever still names him goes; its 登録 then cannot make a
// marriage of nobody, nor of the person who takes the freed slot next. The easy
// builder registers only the base person and the base marriage it names, lineage
// groups and copies let go of a deleted person, and a family file whose marriages,
// lineage groups or copies name empty person slots opens as damaged.

#include "drawing/ChartRebuild.h"
#include "entry/EntryForm.h"
#include "forms/DragDrop.h"
#include "mainwindow/MainForm.h"
#include "model/GroupLists.h"
#include "model/Lookups.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/filestore/FamilyFile.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/KakeGrpStatForm.h"

#include "EditorsFixture.h"
#include "support/qt/ScriptedDialogs.h"

#include <QTest>

#include <string>
#include <vector>

namespace {

using app_test::kou;
using app_test::per;
using app_test::personNamed;

const std::string DeleteOnCard = "本当に削除してよろしいですか?";

class PersonReferencesTest : public app_test::EditorsFixture {
protected:
    void SetUp() override
    {
        EditorsFixture::SetUp();
        hanako = model::set_per_buf(-1, "花子", "田中", 1, "");
        ctrl_form().Build_List();
    }

    // View > 入力画面 on 佐藤愛, card view.
    void openPersonEditor()
    {
        model::runState().Cur_PerIdx = static_cast<int16_t>(ai);
        main_form().scritem[2].choose();
        ASSERT_TRUE(entry_form().isLoaded());
        ASSERT_EQ(entry_form().Entry_CardView, -1);
    }

    // 新規 on the card, the names typed, 登録: the new person's slot.
    int registerOnCard(const std::string& familyName, const std::string& givenName)
    {
        entry_form().CMDFUNC[0].click();
        QTest::keyClicks(entry_form().Text1[0].widget(), QString::fromStdString(familyName));
        QTest::keyClicks(entry_form().Text1[1].widget(), QString::fromStdString(givenName));
        entry_form().CMDFUNC[1].click();
        return personNamed(givenName);
    }

    // ◀ on the card until it shows the person with this given name.
    static void showOnCard(const std::string& givenName)
    {
        for (int i = 0; i < 12 && entry_form().Text1[1].text() != givenName; ++i)
            entry_form().CMDFUNC[5].click();
        ASSERT_EQ(entry_form().Text1[1].text(), givenName);
    }

    // Drags a listed person (0 men, 1 women) onto a partner field (0 husband, 1 wife).
    static void dropOnPartnerField(int list, int person, int side)
    {
        startDrag(list, person);
        forms::dropOn(ctrl_form().Label2[side], 10, 10);
    }

    // Every used marriage names, as partner and child, persons of the family only.
    static void expectNoReferenceToNobody(const std::string& when)
    {
        for (int k = 1; k <= model::LastSlot; ++k) {
            const model::marry_data& m = kou(k);
            if (m.InUse != model::SlotUsed)
                continue;
            for (int partner : {m.kou_titi, m.kou_haha}) {
                EXPECT_TRUE(partner == model::BlankPartner || model::isUsedPerson(partner))
                    << when << ": partner " << partner << " of marriage " << k;
            }
            for (int s = 0; s <= model::LastChildSlot; ++s) {
                if (m.kou_kodo[s] != -1) {
                    EXPECT_TRUE(model::isUsedPerson(m.kou_kodo[s])) << when << ": child of marriage " << k;
                }
            }
        }
    }

    // The used marriages naming the person as partner or child.
    static int marriagesNaming(int person)
    {
        int count = 0;
        for (int k = 1; k <= model::LastSlot; ++k) {
            const model::marry_data& m = kou(k);
            if (m.InUse != model::SlotUsed)
                continue;
            bool names = m.kou_titi == person || m.kou_haha == person;
            for (int s = 0; s <= model::LastChildSlot; ++s)
                names = names || m.kou_kodo[s] == person;
            count += names ? 1 : 0;
        }
        return count;
    }

    // Saves the family to path with the person blocks of the persons left out of the
    // file, as a damaged file holds it.
    static void saveWithoutPersons(const std::string& path, std::initializer_list<int> persons)
    {
        ASSERT_TRUE(model::save_file(path));
        std::string bytes = platform::readWholeFile(path);
        for (int gone : persons) {
            const std::string start = "personal_data_start\r\n Index=" + std::to_string(gone) + "\r\n";
            const std::string end = "personal_data_end\r\n\r\n";
            const size_t from = bytes.find(start);
            ASSERT_NE(from, std::string::npos) << gone;
            bytes.erase(from, bytes.find(end, from) + end.size() - from);
        }
        platform::writeWholeFile(path, bytes);
    }

    // File > 開く of path, giving up the changed family: what the reader said of it.
    std::string openAndReport(const std::string& path)
    {
        ScriptedDialogs dialogs;
        dialogs.answerNext(forms::DialogAnswer::file(path));
        answers.answerNext(platform::vbOK); // the changed family is given up
        answers.answerNext(platform::vbOK);
        main_form().fileitem[1].choose();
        const std::vector<std::string> shown = answers.shownTexts();
        EXPECT_EQ(shown.size(), 2u);
        return shown.size() == 2 ? shown[1] : std::string();
    }

    int hanako = -1;
};

TEST_F(PersonReferencesTest, ACardDeletionSettlesTheRelationshipEditorsPartnerFieldThatNamesThePerson)
{
    openPersonEditor();
    const int tmp = registerOnCard("Tmp", "Man");
    ASSERT_GT(tmp, 0);
    // A new record in the relationship editor: Tmp Man and 田中花子, not registered.
    ctrl_form().CMDFUNC[0].click();
    dropOnPartnerField(0, tmp, 0);
    dropOnPartnerField(1, hanako, 1);
    ASSERT_EQ(ctrl_form().Label2[0].tag(), std::to_string(tmp));
    ASSERT_TRUE(ctrl_form().hasUnregisteredChange());
    showOnCard("Man");

    // キャンセル: nothing is deleted, the fields stay.
    answers.answerNext(platform::vbCancel);
    entry_form().CMDFUNC[2].click();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{entry::UnregisteredInputQuestion});
    answers.clearRecords();
    EXPECT_TRUE(model::isUsedPerson(tmp));
    EXPECT_EQ(ctrl_form().Label2[0].tag(), std::to_string(tmp));

    // いいえ, then the deletion: he leaves the husband field, the wife stays.
    answers.answerNext(platform::vbNo);
    answers.answerNext(platform::vbYes);
    entry_form().CMDFUNC[2].click();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{entry::UnregisteredInputQuestion, DeleteOnCard}));
    answers.clearRecords();
    ASSERT_FALSE(model::isUsedPerson(tmp));
    EXPECT_EQ(ctrl_form().Label2[0].caption(), "");
    EXPECT_EQ(ctrl_form().Label2[1].tag(), std::to_string(hanako));

    // 登録 there makes no marriage of nobody, now or once the slot is taken again.
    const int next = model::set_per_buf(-1, "次", "新", 0, "");
    ASSERT_EQ(next, tmp) << "the next person takes the freed slot";
    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[1].click();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{"結婚相手が指定されていません"});
    EXPECT_EQ(marriagesNaming(next), 0);
    expectNoReferenceToNobody("after 登録");
}

TEST_F(PersonReferencesTest, ARegistrationAnsweredYesKeepsThePersonItMadeAPartner)
{
    openPersonEditor();
    const int tmp = registerOnCard("Tmp", "Man");
    ctrl_form().CMDFUNC[0].click();
    dropOnPartnerField(0, tmp, 0);
    dropOnPartnerField(1, hanako, 1);
    showOnCard("Man");

    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    entry_form().CMDFUNC[2].click();
    EXPECT_EQ(answers.shownTexts(),
              (std::vector<std::string>{entry::UnregisteredInputQuestion, entry::PersonInMarriageMessage}));
    EXPECT_TRUE(model::isUsedPerson(tmp));
    EXPECT_EQ(marriagesNaming(tmp), 1);
}

TEST_F(PersonReferencesTest, ATableViewDeletionTakesThePersonOutOfTheChildrenList)
{
    const int tmp = model::set_per_buf(-1, "Man", "Tmp", 0, "");
    ctrl_form().Build_List();
    chooseMarriage(couple);
    // Tmp Man dragged into 子供関係 of 山田家, not registered.
    startDrag(0, tmp);
    forms::dropOn(ctrl_form().List2, 10, 10);
    ASSERT_EQ(ctrl_form().List2.listCount(), 2);

    openPersonEditor();
    entry_form().scritem[1].choose(); // the table view
    ASSERT_EQ(entry_form().Entry_CardView, 0);
    forms::FlexGrid& grid = entry_form().tb;
    int row = -1;
    for (int r = 1; r < grid.rows(); ++r) {
        if (grid.rowData(r) == tmp)
            row = r;
    }
    ASSERT_GT(row, 0);
    grid.setRow(row);
    answers.answerNext(platform::vbNo);
    answers.answerNext(platform::vbYes);
    entry_form().CMDFUNC[2].click();
    EXPECT_EQ(answers.shownTexts(),
              (std::vector<std::string>{entry::UnregisteredInputQuestion, entry::DeleteRowQuestion + std::to_string(row)}));
    answers.clearRecords();
    ASSERT_FALSE(model::isUsedPerson(tmp));
    ASSERT_EQ(ctrl_form().List2.listCount(), 1);
    EXPECT_EQ(ctrl_form().List2.itemData(0), ichiro);

    // The next new person takes the freed slot and is nobody's child after 登録.
    const int next = model::set_per_buf(-1, "次", "新", 0, "");
    ASSERT_EQ(next, tmp);
    ctrl_form().CMDFUNC[1].click();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(marriagesNaming(next), 0);
    EXPECT_EQ(kou(couple).kou_kodo[0], ichiro);
    expectNoReferenceToNobody("after 登録");
}

TEST_F(PersonReferencesTest, TheEasyBuilderLetsGoOfADeletedBasePersonAndNeverMarriesTheSlotsNextPerson)
{
    openPersonEditor();
    const int tmp = registerOnCard("Tmp", "Man");
    main_form().Command1.click(); // 関係追加画面
    ASSERT_TRUE(easyctl_form().isLoaded());
    easyctl_form().SetMotoNin(tmp); // as a click on his box does
    ASSERT_EQ(easyctl_form().Label3.caption(), "Tmp Man");
    showOnCard("Man");

    answers.answerNext(platform::vbYes);
    entry_form().CMDFUNC[2].click();
    answers.clearRecords();
    ASSERT_FALSE(model::isUsedPerson(tmp));
    EXPECT_EQ(easyctl_form().Label3.caption(), relations::NoBasePersonText);

    const int next = model::set_per_buf(-1, "次", "新", 0, "");
    ASSERT_EQ(next, tmp);
    easyctl_form().Option1[relations::EasyPerson::NewWoman].setValue(true);
    QTest::mouseClick(easyctl_form().Label1[relations::EasyRelation::Marriage].widget(), Qt::LeftButton);
    easyctl_form().Command1.click();
    EXPECT_EQ(marriagesNaming(next), 0);
    expectNoReferenceToNobody("after the builder's 登録");
}

TEST_F(PersonReferencesTest, TheEasyBuilderRefusesABaseSlotThatHoldsSomebodyElseAfterAnUndo)
{
    openPersonEditor();
    const int tmp = registerOnCard("Tmp", "Man"); // a step of its own for 戻
    entry_form().CMDFUNC[4].click();              // 戻る: the editor closes
    main_form().Command1.click();
    easyctl_form().SetMotoNin(tmp);
    ASSERT_EQ(easyctl_form().Label3.caption(), "Tmp Man");

    // 戻 takes Tmp Man back; the next person takes his slot.
    main_form().CmdUndo.click();
    ASSERT_FALSE(model::isUsedPerson(tmp));
    const int next = model::set_per_buf(-1, "次", "新", 0, "");
    ASSERT_EQ(next, tmp);
    easyctl_form().Option1[relations::EasyPerson::NewWoman].setValue(true);
    QTest::mouseClick(easyctl_form().Label1[relations::EasyRelation::Child].widget(), Qt::LeftButton);
    answers.answerNext(platform::vbOK);
    easyctl_form().Command1.click();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(relations::MissingBaseMessage) + "\r\n"});
    EXPECT_EQ(easyctl_form().Label3.caption(), relations::NoBasePersonText);
    EXPECT_EQ(marriagesNaming(next), 0);
}

TEST_F(PersonReferencesTest, TheEasyBuilderNeverGivesAChildToAMarriageThatTookThePickedOnesSlot)
{
    // 山田一郎 and 田中花子, picked in the builder through their couple mark.
    const int picked = model::set_kou_buf(-1, "通常", 0, 0, ichiro, hanako, 0, "山田家", 0);
    ASSERT_GT(picked, 0);
    drawing::Refresh_TabDisp();
    ctrl_form().Build_List();
    main_form().Command1.click(); // 関係追加画面
    ASSERT_TRUE(easyctl_form().isLoaded());
    const int mark = coupleMarkOf(picked);
    ASSERT_GT(mark, 0);
    main_form().Label11_Click(mark);
    ASSERT_EQ(easyctl_form().MotoKou, picked);
    ASSERT_EQ(easyctl_form().MotoNin, ichiro);

    // The marriage is deleted in the relationship editor; another couple's takes its slot.
    chooseMarriage(picked);
    answers.answerNext(platform::vbOK);
    ctrl_form().CMDFUNC[2].click();
    answers.clearRecords();
    ASSERT_FALSE(model::isUsedMarriage(picked));
    const int other = model::set_kou_buf(-1, "通常", 0, 0, jiro, hanako, 0, "鈴木家", 0);
    ASSERT_EQ(other, picked);

    // 新規男 as 子供 of the base: not a child of the couple that took the slot.
    easyctl_form().Option1[relations::EasyPerson::NewMan].setValue(true);
    QTest::mouseClick(easyctl_form().Label1[relations::EasyRelation::Child].widget(), Qt::LeftButton);
    const int before = app_test::usedPersons();
    easyctl_form().Command1.click();
    EXPECT_TRUE(answers.shown().empty());
    ASSERT_EQ(app_test::usedPersons(), before + 1);
    for (int s = 0; s <= model::LastChildSlot; ++s)
        EXPECT_EQ(kou(other).kou_kodo[s], -1) << "child slot " << s << " of 次郎 and 花子";
    const int family = model::Find_PersonMarry(ichiro);
    ASSERT_GT(family, 0) << "the child goes to a family of the base person";
    EXPECT_NE(family, other);
    EXPECT_NE(kou(family).kou_kodo[0], -1);
    expectNoReferenceToNobody("after the builder's 登録");
}

TEST_F(PersonReferencesTest, ALineageGroupNeverKeepsADeletedLeader)
{
    openPersonEditor();
    const int tmp = registerOnCard("Tmp", "Man");
    // A lineage group he leads, and the window with him dragged into its leader field.
    model::Add_GrpTitle();
    model::tables().GrpTitleList.back().TitleName = "Tmp家";
    model::tables().GrpTitleList.back().Leader = static_cast<int16_t>(tmp);
    main_form().Command2[14].click(); // the lineage-group button: 家系グループ設定
    ASSERT_TRUE(kakegrpstat_form().isLoaded());
    ASSERT_TRUE(kakegrpstat_form().lblLeader_OLEDragDrop(tmp, "Tmp Man"));
    showOnCard("Man");

    answers.answerNext(platform::vbYes);
    entry_form().CMDFUNC[2].click();
    answers.clearRecords();
    ASSERT_FALSE(model::isUsedPerson(tmp));
    EXPECT_EQ(model::tables().GrpTitleList.back().Leader, 0);
    EXPECT_EQ(kakegrpstat_form().lblLeader.tag(), "0");

    // 追加 with the field as it stands names no leader.
    model::set_per_buf(-1, "次", "新", 0, "");
    kakegrpstat_form().txtTitle.setText("新家");
    answers.answerNext(platform::vbOK);
    kakegrpstat_form().cmdAddTitle.click();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{"タイトルに割り付ける人物を設定して下さい"});
    for (const model::GrpTitleRec& group : model::tables().GrpTitleList)
        EXPECT_NE(group.Leader, tmp) << group.TitleName;
}

TEST_F(PersonReferencesTest, ACopyNeverKeepsADeletedSource)
{
    openPersonEditor();
    const int tmp = registerOnCard("Tmp", "Man");
    per(jiro).CopyIdx = static_cast<int16_t>(tmp); // 鈴木次郎 as a copy made of him
    showOnCard("Man");

    answers.answerNext(platform::vbYes);
    entry_form().CMDFUNC[2].click();
    answers.clearRecords();
    ASSERT_FALSE(model::isUsedPerson(tmp));
    const int next = model::set_per_buf(-1, "次", "新", 0, "");
    ASSERT_EQ(next, tmp);
    EXPECT_EQ(per(jiro).CopyIdx, -1) << "the copy does not name the slot's next person as its source";
}

TEST_F(PersonReferencesTest, AFamilyFileWhoseLeaderAndCopySourceAreGoneOpensUnnamedAsDamaged)
{
    const std::string path = home.file("\\family.kez");
    // 鈴木次郎 leads a lineage group and is the source of a copy; his person block is
    // gone from the file.
    model::Add_GrpTitle();
    model::tables().GrpTitleList.back().TitleName = "鈴木家";
    model::tables().GrpTitleList.back().Leader = static_cast<int16_t>(jiro);
    per(hanako).CopyIdx = static_cast<int16_t>(jiro);
    saveWithoutPersons(path, {jiro});

    const std::string report = openAndReport(path);
    EXPECT_NE(report.find("割り付ける人物の番号が正しくない家系グループの記録 1 件の人物を「なし」にしました"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("コピー元の人物番号が正しくない個人の記録 1 件のコピー元を「なし」にしました"), std::string::npos)
        << report;
    EXPECT_TRUE(model::tables().Cur_FilePath.empty()) << "a damaged family opens without a file name";
    ASSERT_EQ(model::tables().GrpTitleCount, 0);
    EXPECT_EQ(model::tables().GrpTitleList[0].TitleName, "鈴木家");
    EXPECT_EQ(model::tables().GrpTitleList[0].Leader, 0);
    EXPECT_EQ(per(personNamed("花子")).CopyIdx, -1);
}

TEST_F(PersonReferencesTest, AFamilyFileWhoseMarriagesNameEmptySlotsOpensUnnamedAsDamaged)
{
    const std::string path = home.file("\\family.kez");
    // The wife's and the son's person blocks are gone: the couple names an empty
    // slot, and so does the child of a second marriage.
    const int second = model::set_kou_buf(-1, "通常", 0, 0, jiro, hanako, 0, "", 0);
    ASSERT_GT(second, 0);
    ASSERT_GE(addChild(second, ichiro), 0);
    saveWithoutPersons(path, {ai, ichiro});

    const std::string report = openAndReport(path);
    EXPECT_NE(report.find("夫婦の番号が正しくない結婚関係の記録 1 件を読み込みませんでした"), std::string::npos) << report;
    EXPECT_NE(report.find("子供の番号が正しくない子供の記録 1 件を読み込みませんでした"), std::string::npos) << report;
    EXPECT_TRUE(model::tables().Cur_FilePath.empty()) << "a damaged family opens without a file name";
    EXPECT_EQ(personNamed("健"), ken);
    EXPECT_EQ(marriagesNaming(ken), 0);
    EXPECT_EQ(marriagesNaming(jiro), 1) << "the second marriage stays, without its child";
    expectNoReferenceToNobody("after opening");
}

} // namespace

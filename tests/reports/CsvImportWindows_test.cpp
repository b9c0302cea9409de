// The two windows of the CSV import driven headless: the read-settings window's
// preview and its settings boxes, and the mapping window's navigation, its answer
// to a field chosen twice, its "not imported" box, cancel and the refused close box.

#include "ReportsFixture.h"

#include "forms/Form.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "reports/FrmCsvInStat.h"
#include "reports/csvinset.h"
#include "reports/reports_state.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using reports_test::ReportsFixture;

class FrmCsvInStatTest : public ReportsFixture {
protected:
    // A window left open goes as the user closes it: "ｷｬﾝｾﾙ".
    void TearDown() override
    {
        if (form().isLoaded())
            form().Command3.onClick();
        ReportsFixture::TearDown();
    }

    FrmCsvInStatForm& form() { return frmcsvinstat_form(); }

    void openOn(const std::string& utf8)
    {
        const std::string path = home.path() + "/preview.csv";
        platform::writeWholeFile(path, platform::encodeCp932(utf8));
        form().CsvInPath = path;
        form().load();
    }

    std::vector<std::string> previewLines()
    {
        std::vector<std::string> lines;
        for (int i = 0; i < form().List1.listCount(); ++i)
            lines.push_back(form().List1.list(i));
        return lines;
    }
};

TEST_F(FrmCsvInStatTest, PreviewListsTheFieldsOfTheFirstRecord)
{
    openOn("名字,\"名,前\",男女\r\n山田,太郎,男\r\n");
    EXPECT_EQ(form().caption(), "CSV読込設定");
    EXPECT_EQ(previewLines(), (std::vector<std::string>{"項目00|名字", "項目01|名,前", "項目02|男女"}));
    EXPECT_EQ(form().Text1[0].text(), ",");
    EXPECT_EQ(form().Text1[1].text(), "\"");
    EXPECT_EQ(form().Text1[2].text(), "");
    EXPECT_EQ(form().Text1[3].text(), "");
}

TEST_F(FrmCsvInStatTest, FieldNumbersPastNinetyNineShowTheirLastTwoDigits)
{
    std::string line;
    for (int i = 0; i <= 101; ++i)
        line += (i ? "," : "") + std::to_string(i);
    openOn(line + "\r\n");
    const auto lines = previewLines();
    ASSERT_EQ(lines.size(), 102u);
    EXPECT_EQ(lines[99], "項目99|99");
    EXPECT_EQ(lines[100], "項目00|100");
    EXPECT_EQ(lines[101], "項目01|101");
}

TEST_F(FrmCsvInStatTest, ApplyTakesTheBoxesOverAndReadsAgain)
{
    openOn("a;b,c;d\r\n");
    EXPECT_EQ(previewLines().size(), 2u);
    form().Text1[0].setText(";");
    form().Text1[2].setText(" \\ ");
    EXPECT_EQ(reports::csvSettings().CsvDelim, ",");   // not taken over yet
    form().Command1.onClick();
    EXPECT_EQ(reports::csvSettings().CsvDelim, ";");
    EXPECT_EQ(reports::csvSettings().CsvEscCode, " \\ ");   // stored untrimmed
    EXPECT_EQ(previewLines(), (std::vector<std::string>{"項目00|a", "項目01|b,c", "項目02|d"}));
}

TEST_F(FrmCsvInStatTest, DecideWithoutApplyKeepsTheSettings)
{
    openOn("a\r\n");
    form().Text1[0].setText("\t");
    form().Command2.onClick();
    EXPECT_FALSE(form().isLoaded());
    EXPECT_EQ(reports::csvSettings().CsvDelim, ",");
}

TEST_F(FrmCsvInStatTest, UnreadableFileShowsTheReasonInThePreview)
{
    form().CsvInPath = home.path() + "/missing.csv";
    form().load();
    const auto lines = previewLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("error in loading CSV file", 0), 0u);
    // The reason is the user's word for it, never the system's English text.
    EXPECT_NE(lines[0].find("missing.csv: ファイルがありません"), std::string::npos) << lines[0];
}

class CsvinsetTest : public ReportsFixture {
protected:
    // A window left open (the close box is refused) goes as the user closes it:
    // "ｷｬﾝｾﾙ", which also sets every column back.
    void TearDown() override
    {
        if (form().isLoaded())
            form().Command3.onClick();
        ReportsFixture::TearDown();
    }

    CsvinsetForm& form() { return csvinset_form(); }

    void openWithTitles(const std::vector<std::string>& titles)
    {
        reports::CsvInState& state = reports::csvInState();
        for (size_t i = 0; i < titles.size(); ++i)
            state.csvin_tbl[i + 1].Title = titles[i];
        state.CsvInCount = static_cast<int16_t>(titles.size());
        form().load();
    }

    void pick(int field)
    {
        if (form().List1.listIndex() == field - 1)
            form().List1.onClick();
        else
            form().List1.setListIndex(field - 1);
    }

    int16_t setIdx(int row) const { return reports::csvInState().csvin_tbl[row].SetIdx; }
};

TEST_F(CsvinsetTest, OpensOnTheFirstColumnUndecided)
{
    openWithTitles({"名字", "名前", "性別"});
    EXPECT_EQ(form().caption(), "ＣＳＶインポート");
    EXPECT_EQ(form().Label3.caption(), "3");
    EXPECT_EQ(form().Label5.caption(), "1");
    EXPECT_EQ(form().Label1.caption(), "名字");
    EXPECT_EQ(form().Label6.caption(), "設定されていません");
    EXPECT_FALSE(form().Command2.isEnabled());
    ASSERT_EQ(form().List1.listCount(), 19);
    EXPECT_EQ(form().List1.list(0), "名字");
    EXPECT_EQ(form().List1.list(18), "戒名");
    EXPECT_EQ(form().List1.itemData(18), 19);
    for (int row = 0; row < reports::CsvInRowCount; ++row)
        EXPECT_EQ(setIdx(row), -1) << row;
}

// Shown as the import shows it, the window maps nothing until the user picks: the
// list getting the focus chooses no field.
TEST_F(CsvinsetTest, ShownModalTheFirstColumnStaysUnmappedUntilAPick)
{
    reports::CsvInState& state = reports::csvInState();
    state.csvin_tbl[1].Title = "名字";
    state.CsvInCount = 1;
    int16_t mappedOnShow = 99;
    bool nextEnabledOnShow = true;
    forms::onShown("csvinset", [&](forms::Form&) {
        form().List1.setFocus();
        QApplication::processEvents();
        mappedOnShow = setIdx(1);
        nextEnabledOnShow = form().Command2.isEnabled();
        form().Command3.onClick();
    });
    form().show(forms::ShowMode::Modal);
    forms::clearOnShown();
    EXPECT_EQ(mappedOnShow, -1);
    EXPECT_FALSE(nextEnabledOnShow);
}

TEST_F(CsvinsetTest, PickingAFieldSetsTheColumnAndEnablesNext)
{
    openWithTitles({"a", "b"});
    pick(2);
    EXPECT_EQ(setIdx(1), 2);
    EXPECT_EQ(reports::csvInState().csvin_tbl[1].Data, "名前");
    EXPECT_EQ(form().Label6.caption(), "名前");
    EXPECT_TRUE(form().Command2.isEnabled());
    form().Command2.onClick();
    EXPECT_EQ(form().Label5.caption(), "2");
    EXPECT_EQ(form().Label1.caption(), "b");
    EXPECT_FALSE(form().Command2.isEnabled());
    EXPECT_EQ(form().List1.listIndex(), -1);
    form().Command1.onClick();   // back to column 1 shows its choice
    EXPECT_EQ(form().Label6.caption(), "名前");
    EXPECT_EQ(form().List1.listIndex(), 1);
    form().Command1.onClick();   // on column 1 "戻る" only disables itself
    EXPECT_FALSE(form().Command1.isEnabled());
    EXPECT_EQ(form().Label5.caption(), "1");
}

TEST_F(CsvinsetTest, FieldChosenTwiceAsksAndNoKeepsBothColumns)
{
    openWithTitles({"a", "b"});
    pick(1);
    form().Command2.onClick();
    answers.answerNext(platform::vbNo);
    pick(1);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "既に設定されている項目を選択しました。新規設定を有効にしますか？");
    EXPECT_EQ(answers.shown()[0].style, platform::vbYesNo);
    EXPECT_EQ(setIdx(1), 1);
    EXPECT_EQ(setIdx(2), -1);
    EXPECT_FALSE(form().Command2.isEnabled());
}

TEST_F(CsvinsetTest, FieldChosenTwiceYesLeavesTheOtherColumnOut)
{
    openWithTitles({"a", "b"});
    pick(1);
    form().Command2.onClick();
    answers.answerNext(platform::vbYes);
    pick(1);
    EXPECT_EQ(setIdx(1), 0);
    EXPECT_EQ(setIdx(2), 1);
}

TEST_F(CsvinsetTest, NotInListBoxLeavesTheColumnOutAndClearingUndoesIt)
{
    openWithTitles({"a"});
    form().Check1.setValue(forms::vbChecked);
    EXPECT_EQ(setIdx(1), 0);
    EXPECT_EQ(form().Label6.caption(), "この項目はCSV取込を行いません");
    EXPECT_TRUE(form().Command2.isEnabled());
    form().Check1.setValue(forms::vbUnchecked);
    EXPECT_EQ(setIdx(1), -1);
    EXPECT_FALSE(form().Command2.isEnabled());
}

TEST_F(CsvinsetTest, NextOnTheLastColumnEndsTheMapping)
{
    openWithTitles({"a"});
    pick(5);
    form().Command2.onClick();
    EXPECT_FALSE(form().isLoaded());
    EXPECT_EQ(setIdx(1), 5);
}

TEST_F(CsvinsetTest, CancelSetsEveryColumnBackAndCloses)
{
    openWithTitles({"a", "b"});
    pick(1);
    form().Command2.onClick();
    pick(2);
    form().Command3.onClick();
    EXPECT_FALSE(form().isLoaded());
    EXPECT_EQ(setIdx(1), -1);
    EXPECT_EQ(setIdx(2), -1);
}

TEST_F(CsvinsetTest, CloseBoxIsRefused)
{
    openWithTitles({"a"});
    EXPECT_FALSE(form().unloadWithMode(forms::vbFormControlMenu));
    EXPECT_TRUE(form().isLoaded());
}

} // namespace

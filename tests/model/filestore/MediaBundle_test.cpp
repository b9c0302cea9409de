// The media bundle: its byte layout, collecting the media inside save_file, unpacking
// on load, and bundles that are damaged or hostile.

#include "FileStoreTest.h"

#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "model/filestore/MediaBundle.h"
#include "platform/AppPath.h"
#include "platform/BinaryFile.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include "support/SmallDisk.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

namespace model::testing {
namespace {

int16_t int16At(const std::string& bytes, size_t offset)
{
    return static_cast<int16_t>(static_cast<unsigned char>(bytes[offset])
                                | (static_cast<unsigned char>(bytes[offset + 1]) << 8));
}

int32_t int32At(const std::string& bytes, size_t offset)
{
    uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
    return static_cast<int32_t>(u);
}

void putInt16(std::string& bytes, int16_t value)
{
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
}

void putInt32(std::string& bytes, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

std::vector<std::string> sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

// A bundle of the given directory entries, with data area bytes appended.
std::string makeBundle(int16_t count, const std::vector<media_data>& entries, const std::string& data)
{
    std::string bytes;
    putInt16(bytes, count);
    for (const media_data& e : entries) {
        putInt16(bytes, e.MediaKind);
        putInt16(bytes, e.PerIdx);
        std::string name = platform::encodeCp932(e.FileName);
        name.resize(MediaNameBytes, ' ');
        bytes += name;
        putInt32(bytes, e.DataLen);
        putInt32(bytes, e.DataOfs);
    }
    return bytes + data;
}

media_data makeEntry(int16_t kind, const std::string& name, int32_t length, int32_t offset)
{
    media_data e;
    e.MediaKind = kind;
    e.PerIdx = 1;
    e.FileName = name;
    e.DataLen = length;
    e.DataOfs = offset;
    return e;
}

class MediaTest : public FileStoreTest {
protected:
    std::string voice(const std::string& name) const { return platform::joinPath(home.path(), "voice/" + name); }
    std::string face(const std::string& name) const { return platform::joinPath(home.path(), "face/" + name); }

    void addPerson(int slot)
    {
        personal_data& p = tables().per_buf[slot];
        p = clearedPerson(slot);
        p.InUse = SlotUsed;
        p.Name = "人" + std::to_string(slot);
    }
    void giveVoice(int slot, const std::string& name, const std::string& bytes)
    {
        tables().per_buf[slot].Voice_index = 0;
        tables().per_buf[slot].Voice_filename = name;
        platform::writeWholeFile(voice(name), bytes);
    }
    void givePicture(int slot, const std::string& name, const std::string& bytes)
    {
        tables().per_buf[slot].Picture_index = 0;
        tables().per_buf[slot].Picture_mode = 1;
        tables().per_buf[slot].Picture_filename = name;
        platform::writeWholeFile(face(name), bytes);
    }

    // Persons 3 and 9 with voice memos, person 3 with a face picture as well.
    void threeMediaFamily()
    {
        addPerson(3);
        addPerson(9);
        giveVoice(3, "voice3.wav", "RIFF-three");
        giveVoice(9, "voice9.wav", std::string(1000, 'n'));
        givePicture(3, "顔写真.bmp", "BM-picture-of-three");
    }

    std::vector<std::string> voiceFiles() const { return sorted(platform::listFiles(voice(""), "*")); }
    std::vector<std::string> faceFiles() const { return sorted(platform::listFiles(face(""), "*")); }

};

TEST_F(MediaTest, BundleLayoutOfThreeFiles)
{
    threeMediaFamily();
    saveTo(pathOf("family.KEZ"));

    const std::string bytes = platform::readWholeFile(pathOf("family.KED"));
    ASSERT_EQ(int16At(bytes, 0), 3);
    const size_t dataStart = 2 + 268 * 3;
    ASSERT_EQ(dataStart, 806u);
    ASSERT_EQ(bytes.size(), dataStart + 10 + 1000 + 19);

    struct Expected {
        int16_t kind;
        int16_t person;
        std::string name;
        int32_t length;
        int32_t offset;
    };
    const Expected expected[] = {
        {0, 3, "voice3.wav", 10, 0},
        {0, 9, "voice9.wav", 1000, 10},
        {1, 3, "顔写真.bmp", 19, 1010},
    };
    for (size_t i = 0; i < 3; ++i) {
        const size_t at = 2 + 268 * i;
        EXPECT_EQ(int16At(bytes, at), expected[i].kind) << "entry " << i + 1;
        EXPECT_EQ(int16At(bytes, at + 2), expected[i].person) << "entry " << i + 1;
        std::string name = platform::encodeCp932(expected[i].name);
        name.resize(256, ' ');
        EXPECT_EQ(bytes.substr(at + 4, 256), name) << "entry " << i + 1;
        EXPECT_EQ(int32At(bytes, at + 260), expected[i].length) << "entry " << i + 1;
        EXPECT_EQ(int32At(bytes, at + 264), expected[i].offset) << "entry " << i + 1;
    }
    EXPECT_EQ(bytes.substr(806, 10), "RIFF-three");
    EXPECT_EQ(bytes.substr(806 + 1010), "BM-picture-of-three");
    EXPECT_EQ(fileStore().media_buf[2].DataOfs, 10);
}

TEST_F(MediaTest, SaveAndLoadRestoreTheWorkFolders)
{
    threeMediaFamily();
    saveTo(pathOf("family.kez"));
    platform::deleteAllFiles(voice(""));
    platform::deleteAllFiles(face(""));
    platform::writeWholeFile(voice("stale.wav"), "from an earlier family");

    resetProgramState();
    ASSERT_TRUE(load_file(pathOf("family.kez")));

    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(voiceFiles(), (std::vector<std::string>{"voice3.wav", "voice9.wav"}));
    EXPECT_EQ(faceFiles(), std::vector<std::string>{"顔写真.bmp"});
    EXPECT_EQ(platform::readWholeFile(voice("voice9.wav")), std::string(1000, 'n'));
    EXPECT_EQ(platform::readWholeFile(face("顔写真.bmp")), "BM-picture-of-three");
    EXPECT_EQ(tables().per_buf[3].Picture_filename, "顔写真.bmp");
}

struct VanishedCase {
    const char* name;
    bool voiceGone;
    bool pictureGone;
    int entries;
};

void PrintTo(const VanishedCase& c, std::ostream* os)
{
    *os << c.name;
}

class VanishedMediaTest : public MediaTest, public ::testing::WithParamInterface<VanishedCase> {};

TEST_P(VanishedMediaTest, AMissingFileLosesItsReferenceOnly)
{
    const VanishedCase& c = GetParam();
    addPerson(2);
    giveVoice(2, "v2.wav", "voice");
    givePicture(2, "p2.jpg", "picture");
    if (c.voiceGone)
        platform::deleteFile(voice("v2.wav"));
    if (c.pictureGone)
        platform::deleteFile(face("p2.jpg"));

    saveTo(pathOf("f.kez"));

    const auto lines = fileLines(pathOf("f.kez"));
    const auto has = [&](const std::string& line) { return std::count(lines.begin(), lines.end(), line) == 1; };
    EXPECT_TRUE(has(c.voiceGone ? " Voice_index=-1" : " Voice_index= 0"));
    EXPECT_TRUE(has(c.pictureGone ? " Picture_index=-1" : " Picture_index= 0"));
    if (c.entries == 0) {
        EXPECT_FALSE(platform::fileExists(pathOf("f.ked")));
    } else {
        EXPECT_EQ(int16At(platform::readWholeFile(pathOf("f.ked")), 0), c.entries);
    }
    // The family file and its bundle always agree.
    resetProgramState();
    EXPECT_TRUE(load_file(pathOf("f.kez")));
    EXPECT_TRUE(answers.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Files, VanishedMediaTest,
                         ::testing::Values(VanishedCase{"VoiceGone", true, false, 1},
                                           VanishedCase{"PictureGone", false, true, 1},
                                           VanishedCase{"BothGone", true, true, 0},
                                           VanishedCase{"NoneGone", false, false, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MediaTest, WithoutMediaAnOlderBundleIsLeftAlone)
{
    platform::writeWholeFile(pathOf("f.ked"), "older bundle");
    addPerson(1);
    saveTo(pathOf("f.kez"));
    EXPECT_EQ(platform::readWholeFile(pathOf("f.ked")), "older bundle");
}

TEST_F(MediaTest, NamesWithFolderPartsAreNeverCollected)
{
    platform::writeWholeFile(pathOf("secret.txt"), "outside the work folder");
    addPerson(1);
    tables().per_buf[1].Voice_index = 0;
    tables().per_buf[1].Voice_filename = "../secret.txt";

    saveTo(pathOf("f.kez"));

    EXPECT_EQ(tables().per_buf[1].Voice_index, -1);
    EXPECT_FALSE(platform::fileExists(pathOf("f.ked")));
}

TEST_F(MediaTest, ACountThatDiffersFromTheFamilyFileIsReportedAndWhatItHoldsIsUnpacked)
{
    threeMediaFamily();
    saveTo(pathOf("f.kez"));
    platform::deleteAllFiles(voice(""));
    platform::writeWholeFile(voice("keep.wav"), "left from before");

    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(ReadKedFile(pathOf("f.ked"), 2));

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{BundleMismatchMessage});
    EXPECT_EQ(voiceFiles(), (std::vector<std::string>{"voice3.wav", "voice9.wav"}));
    EXPECT_EQ(faceFiles(), std::vector<std::string>{"顔写真.bmp"});
}

// The person whose file the bundle lacks is named, and refers to no file: not even to
// the one the bundle holds under another name.
TEST_F(MediaTest, ABundleThatLacksAFileTheFamilyNamesDoesNotBelongToIt)
{
    threeMediaFamily();
    saveTo(pathOf("f.kez"));
    // Another picture of the same count: the family names a file the bundle lacks.
    tables().per_buf[3].Picture_filename = "別の写真.bmp";

    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(ReadKedFile(pathOf("f.ked"), 3));
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{BundleMismatchMessage + "\r\n" + DroppedMediaHeading
                                                             + "\r\n「人3」の画像（別の写真.bmp）"});
    EXPECT_EQ(faceFiles(), std::vector<std::string>{"顔写真.bmp"});
    EXPECT_EQ(tables().per_buf[3].Picture_index, -1);
    EXPECT_EQ(tables().per_buf[3].Voice_index, 0) << "its memo is in the bundle";
}

// A bundle cut short: every file it holds whole is unpacked, and it is reported as
// not belonging to its family.
TEST_F(MediaTest, ACutBundleUnpacksEveryWholeFile)
{
    platform::writeWholeFile(voice("sentinel.wav"), "voice sentinel");
    const std::string whole =
        makeBundle(3, {makeEntry(0, "a.wav", 3, 0), makeEntry(1, "b.bmp", 4, 3), makeEntry(0, "c.wav", 2, 7)}, "abcBMPScc");
    // Each entry left out is named after the message.
    const std::map<size_t, std::string> leftOut = {
        {whole.size() - 1, "\r\n3 番目のファイル「c.wav」：データが途中で終わっています"},
        {whole.size() - 4,
         "\r\n2 番目のファイル「b.bmp」：データが途中で終わっています\r\n3 番目のファイル「c.wav」：データが途中で終わっています"},
        {2 + 268,
         "\r\n1 番目のファイル「a.wav」：データが途中で終わっています\r\n2～3 番目のファイル：画像情報が途中で終わっています"},
        {1, ""}};
    for (const auto& [cut, lines] : leftOut) {
        platform::writeWholeFile(pathOf("cut.KED"), whole.substr(0, cut));
        answers.clearRecords();
        answers.answerNext(platform::vbOK);
        EXPECT_FALSE(ReadKedFile(pathOf("cut.KED"), 3)) << cut;
        EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{BundleMismatchMessage + lines}) << cut;
        if (cut == whole.size() - 1) {
            EXPECT_EQ(voiceFiles(), std::vector<std::string>{"a.wav"});
            EXPECT_EQ(faceFiles(), std::vector<std::string>{"b.bmp"});
            EXPECT_EQ(platform::readWholeFile(face("b.bmp")), "BMPS");
        } else if (cut == whole.size() - 4) {
            EXPECT_EQ(voiceFiles(), std::vector<std::string>{"a.wav"});
            EXPECT_TRUE(faceFiles().empty());
        } else {
            EXPECT_TRUE(voiceFiles().empty()) << cut << ": no file lies whole in a bundle cut in its directory";
        }
    }
}

TEST_F(MediaTest, AMissingBundleCountsAsNoFiles)
{
    addPerson(1);
    giveVoice(1, "v.wav", "x");
    saveTo(pathOf("f.kez"));
    platform::deleteFile(pathOf("f.ked"));
    resetProgramState();

    answers.answerNext(platform::vbOK);
    EXPECT_TRUE(load_file(pathOf("f.kez"))) << "a bundle failure is no load failure";
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{BundleMismatchMessage + "\r\n" + DroppedMediaHeading
                                                             + "\r\n「人1」の音声（v.wav）"});
    EXPECT_EQ(fileStore().EndOfDataF, -1);
    EXPECT_TRUE(fileStore().loadDamaged) << "the family lacks media its file names";
    EXPECT_EQ(tables().per_buf[1].Voice_index, -1);
}

TEST_F(MediaTest, ALowerCaseFamilyFileHasALowerCaseBundleAndStillReadsAnOlderCapitalOne)
{
    addPerson(1);
    giveVoice(1, "v.wav", "voice");
    saveTo(pathOf("f.kez"));
    EXPECT_TRUE(platform::fileExists(pathOf("f.ked")));
    EXPECT_FALSE(platform::fileExists(pathOf("f.KED")));

    // Bundles used to end in ".KED" whatever the family file's spelling.
    platform::renameFile(pathOf("f.ked"), pathOf("f.KED"));
    resetProgramState();

    ASSERT_TRUE(load_file(pathOf("f.kez")));
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(voiceFiles(), std::vector<std::string>{"v.wav"});
}

// The bundle beside a family file in whatever case of its ending is the one read and
// rewritten; none is written beside it in another case.
TEST_F(MediaTest, TheBundleBesideTheFamilyInAnyCaseIsReadAndRewritten)
{
    addPerson(1);
    giveVoice(1, "v.wav", "voice");
    saveTo(pathOf("f.Kez"));
    ASSERT_TRUE(platform::fileExists(pathOf("f.Ked"))) << "a new bundle takes the family file's case";
    platform::renameFile(pathOf("f.Ked"), pathOf("f.kED"));

    giveVoice(1, "v.wav", "a newer voice");
    saveTo(pathOf("f.Kez"));
    EXPECT_FALSE(platform::fileExists(pathOf("f.Ked")));
    EXPECT_NE(platform::readWholeFile(pathOf("f.kED")).find("a newer voice"), std::string::npos);

    resetProgramState();
    ASSERT_TRUE(load_file(pathOf("f.Kez")));
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(platform::readWholeFile(voice("v.wav")), "a newer voice");
}

// A count no bundle can hold leaves no directory to read: the bundle is refused as a
// whole before the work folders are touched.
TEST_F(MediaTest, ABundleWithTooManyEntriesIsRefusedAndUnpacksNothing)
{
    platform::writeWholeFile(voice("sentinel.wav"), "voice sentinel");
    platform::writeWholeFile(pathOf("bad.KED"), makeBundle(3000, {}, ""));

    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(ReadKedFile(pathOf("bad.KED"), 3000));

    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_NE(answers.shown()[0].text.find("  "), std::string::npos) << "description, two blanks, number";
    EXPECT_EQ(answers.shown()[1].text, BundleReadFailedMessage);
    EXPECT_EQ(voiceFiles(), std::vector<std::string>{"sentinel.wav"});
    EXPECT_EQ(platform::readWholeFile(voice("sentinel.wav")), "voice sentinel");
}

// Hostile entries: each is left out and named in the bundle's one message, every
// other entry is unpacked, and nothing is ever written outside the work folders.
struct HostileCase {
    const char* name;
    int16_t expected;
    std::function<std::string()> bytes;
    std::string leftOut;             // the lines after the message
    std::vector<std::string> voices; // the voice folder afterwards
};

void PrintTo(const HostileCase& c, std::ostream* os)
{
    *os << c.name;
}

class HostileBundleTest : public MediaTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileBundleTest, LeavesOutTheBadEntryOnlyAndNamesIt)
{
    platform::writeWholeFile(voice("sentinel.wav"), "voice sentinel");
    platform::writeWholeFile(face("sentinel.bmp"), "face sentinel");
    platform::writeWholeFile(pathOf("bad.KED"), GetParam().bytes());

    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(ReadKedFile(pathOf("bad.KED"), GetParam().expected));

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{BundleMismatchMessage + GetParam().leftOut});
    EXPECT_EQ(voiceFiles(), GetParam().voices);
    EXPECT_TRUE(faceFiles().empty());
    EXPECT_FALSE(platform::fileExists(pathOf("evil.wav")));
    EXPECT_FALSE(platform::fileExists(platform::joinPath(home.path(), "..") + "/evil.wav"));
}

const std::string BadName = "：ファイル名が正しくありません";

INSTANTIATE_TEST_SUITE_P(
    Bundles, HostileBundleTest,
    ::testing::Values(
        HostileCase{"NegativeLength", 2,
                    [] { return makeBundle(2, {makeEntry(0, "a.wav", -5, 0), makeEntry(0, "b.wav", 1, 0)}, "x"); },
                    "\r\n1 番目のファイル「a.wav」：データ位置が正しくありません", {"b.wav"}},
        HostileCase{"NegativeOffset", 1, [] { return makeBundle(1, {makeEntry(0, "a.wav", 1, -1)}, "x"); },
                    "\r\n1 番目のファイル「a.wav」：データ位置が正しくありません", {}},
        HostileCase{"OffsetPastTheEnd", 2,
                    [] { return makeBundle(2, {makeEntry(0, "a.wav", 1, 1000), makeEntry(0, "b.wav", 1, 0)}, "x"); },
                    "\r\n1 番目のファイル「a.wav」：データが途中で終わっています", {"b.wav"}},
        HostileCase{"ParentFolderName", 2,
                    [] {
                        return makeBundle(2, {makeEntry(0, "good.wav", 1, 0), makeEntry(0, "..", 1, 1)},
                                                 "ab");
                    },
                    "\r\n2 番目のファイル" + BadName, {"good.wav"}},
        HostileCase{"DotName", 1, [] { return makeBundle(1, {makeEntry(1, "face/.", 1, 0)}, "a"); },
                    "\r\n1 番目のファイル" + BadName, {}},
        HostileCase{"BlankName", 1, [] { return makeBundle(1, {makeEntry(0, "   ", 1, 0)}, "a"); },
                    "\r\n1 番目のファイル" + BadName, {}},
        HostileCase{"NameEndingInASeparator", 1,
                    [] { return makeBundle(1, {makeEntry(0, "../evil.wav/", 1, 0)}, "a"); },
                    "\r\n1 番目のファイル" + BadName, {}},
        HostileCase{"ControlCharacterInName", 1,
                    [] { return makeBundle(1, {makeEntry(0, std::string("a\0b", 3), 1, 0)}, "a"); },
                    "\r\n1 番目のファイル" + BadName, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// An entry whose file cannot be written (a name longer than the file system takes, a
// folder in the way) is left out and named with the reason in a word, never the
// system's English text, and never as a bundle that does not belong to its family;
// every entry before and after it is unpacked.
TEST_F(MediaTest, AnEntryThatCannotBeWrittenCostsOnlyItself)
{
    // 90 kanji: 180 bytes in the bundle, 270 in a file name here, where 255 is the most.
    std::string longName;
    for (int i = 0; i < 90; ++i)
        longName += "長";
    longName += ".wav";
    platform::makeDir(face(""));
    platform::makeDir(face("folder.bmp"));
    platform::writeWholeFile(pathOf("b.KED"),
                             makeBundle(4,
                                        {makeEntry(0, longName, 3, 0), makeEntry(1, "a.bmp", 3, 3),
                                         makeEntry(1, "folder.bmp", 3, 6), makeEntry(0, "b.wav", 3, 9)},
                                        "lonBMafolwav"));

    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(ReadKedFile(pathOf("b.KED"), 4));

    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{BundleReadFailedMessage + std::string("\r\n1 番目のファイル「") + longName
                                       + "」：名前が長すぎます\r\n3 番目のファイル「folder.bmp」：書き込み先がフォルダーです"});
    EXPECT_EQ(faceFiles(), std::vector<std::string>{"a.bmp"});
    EXPECT_EQ(voiceFiles(), std::vector<std::string>{"b.wav"});
    EXPECT_EQ(platform::readWholeFile(face("a.bmp")), "BMa");
    EXPECT_EQ(platform::readWholeFile(voice("b.wav")), "wav");
}

// A second entry of a name already unpacked that belongs to no person of the family
// is left out and named; the first keeps its file. A memo and a picture of one name
// live in folders of their own.
TEST_F(MediaTest, ASecondEntryOfANameAlreadyUnpackedIsNamedAndReplacesNothing)
{
    media_data first = makeEntry(1, "same.bmp", 3, 0);
    media_data second = makeEntry(1, "same.bmp", 3, 6);
    second.PerIdx = 2;
    platform::writeWholeFile(pathOf("b.KED"),
                             makeBundle(4, {first, makeEntry(0, "same.bmp", 3, 3), second, makeEntry(1, "other.bmp", 3, 9)},
                                        "oneWAVtwooth"));

    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(ReadKedFile(pathOf("b.KED"), 4));

    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{BundleMismatchMessage + "\r\n3 番目のファイル「same.bmp」：前のファイルと名前が同じです"});
    EXPECT_EQ(platform::readWholeFile(face("same.bmp")), "one");
    EXPECT_EQ(platform::readWholeFile(voice("same.bmp")), "WAV");
    EXPECT_EQ(faceFiles(), (std::vector<std::string>{"other.bmp", "same.bmp"}));
    EXPECT_EQ(fileStore().media_buf[1].PerIdx, 1);
    EXPECT_EQ(fileStore().media_buf[3].FileName, "other.bmp") << "the entry left out is not listed";
}

// Two persons whose pictures (or memos) have one name, each in an entry of the slot
// it belongs to, as a family from elsewhere may have them: each person gets the file of
// its own entry, the second under a free name, and a save and reopen keeps both. A
// person whose entry is damaged refers to no file, never to the other person's, and
// the message names that person.
struct SharedNameCase {
    const char* name;
    int16_t kind;
    int damaged; // the entry (1 or 2) whose length is negative; 0 none
};

void PrintTo(const SharedNameCase& c, std::ostream* os)
{
    *os << c.name;
}

class SharedNameTest : public MediaTest, public ::testing::WithParamInterface<SharedNameCase> {
protected:
    // What each of persons 1 and 2 refers to: slot -> the bytes of its file.
    std::map<int, std::string> heldFiles() const
    {
        std::map<int, std::string> held;
        for (const int slot : {1, 2}) {
            const personal_data& p = tables().per_buf[slot];
            const bool voiceMemo = GetParam().kind == MediaVoice;
            if ((voiceMemo ? p.Voice_index : p.Picture_index) != -1)
                held[slot] = platform::readWholeFile(voiceMemo ? voice(p.Voice_filename) : face(p.Picture_filename));
        }
        return held;
    }
};

TEST_P(SharedNameTest, EachPersonHasTheFileOfItsOwnEntryOrNone)
{
    const SharedNameCase& c = GetParam();
    const bool voiceMemo = c.kind == MediaVoice;
    const std::string same = voiceMemo ? "same.wav" : "same.bmp";
    for (const int slot : {1, 2}) {
        addPerson(slot);
        voiceMemo ? giveVoice(slot, same, "one") : givePicture(slot, same, "one");
    }
    saveTo(pathOf("f.kez"));
    media_data first = makeEntry(c.kind, same, c.damaged == 1 ? -1 : 3, 0);
    media_data second = makeEntry(c.kind, same, c.damaged == 2 ? -1 : 3, 3);
    second.PerIdx = 2;
    platform::writeWholeFile(pathOf("f.ked"), makeBundle(2, {first, second}, "onetwo"));
    resetProgramState();

    std::map<int, std::string> expected{{1, "one"}, {2, "two"}};
    std::string message;
    if (c.damaged != 0) {
        expected.erase(c.damaged);
        const std::string number = std::to_string(c.damaged);
        message = BundleMismatchMessage + "\r\n" + number + " 番目のファイル「" + same + "」：データ位置が正しくありません\r\n"
                  + DroppedMediaHeading + "\r\n「人" + number + "」の" + (voiceMemo ? "音声" : "画像") + "（" + same + "）";
        answers.answerNext(platform::vbOK);
    }
    ASSERT_TRUE(load_file(pathOf("f.kez")));
    EXPECT_EQ(answers.shownTexts(), message.empty() ? std::vector<std::string>{} : std::vector<std::string>{message});
    EXPECT_EQ(heldFiles(), expected);

    saveTo(pathOf("g.kez"));
    EXPECT_TRUE(leftOutMedia().empty());
    resetProgramState();
    answers.clearRecords();
    ASSERT_TRUE(load_file(pathOf("g.kez")));
    EXPECT_TRUE(answers.shown().empty()) << "the saved bundle belongs to its family";
    EXPECT_EQ(heldFiles(), expected);
}

INSTANTIATE_TEST_SUITE_P(Entries, SharedNameTest,
                         ::testing::Values(SharedNameCase{"Pictures", MediaPicture, 0},
                                           SharedNameCase{"PicturesTheFirstDamaged", MediaPicture, 1},
                                           SharedNameCase{"PicturesTheSecondDamaged", MediaPicture, 2},
                                           SharedNameCase{"Memos", MediaVoice, 0},
                                           SharedNameCase{"MemosTheFirstDamaged", MediaVoice, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// A bundle that is no regular file, or larger than any bundle can be, is named for
// what it is, not as another family's; the persons it could not give their files are
// named and refer to none.
struct UnreadableBundleCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* reason;
};

void PrintTo(const UnreadableBundleCase& c, std::ostream* os)
{
    *os << c.name;
}

class UnreadableBundleTest : public MediaTest, public ::testing::WithParamInterface<UnreadableBundleCase> {};

TEST_P(UnreadableBundleTest, IsNamedForWhatItIs)
{
    addPerson(1);
    givePicture(1, "a.bmp", "picture");
    saveTo(pathOf("f.kez"));
    platform::deleteFile(pathOf("f.ked"));
    GetParam().make(pathOf("f.ked"));
    resetProgramState();

    answers.answerNext(platform::vbOK);
    ASSERT_TRUE(load_file(pathOf("f.kez")));
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{BundleReadFailedMessage + std::string("\r\n") + pathOf("f.ked")
                                                             + "\r\n（" + GetParam().reason + "）\r\n" + DroppedMediaHeading
                                                             + "\r\n「人1」の画像（a.bmp）"});
    EXPECT_EQ(tables().per_buf[1].Picture_index, -1);
    EXPECT_TRUE(fileStore().loadDamaged);
}

INSTANTIATE_TEST_SUITE_P(
    Bundles, UnreadableBundleTest,
    ::testing::Values(
        UnreadableBundleCase{"NamedPipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
                             "通常のファイルではありません"},
        UnreadableBundleCase{"LinkToADevice",
                             [](const std::string& path) { ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0); },
                             "通常のファイルではありません"},
        UnreadableBundleCase{"Folder", [](const std::string& path) { platform::makeDir(path); },
                             "ファイルではなくフォルダーです"},
        // 3 GiB of nothing, more than a full directory and all the data its 32-bit
        // offsets reach.
        UnreadableBundleCase{"LargerThanAnyBundle",
                             [](const std::string& path) {
                                 platform::writeWholeFile(path, "");
                                 ASSERT_EQ(::truncate(path.c_str(), off_t{3} << 30), 0);
                             },
                             "ファイルが大きすぎます"}),
    [](const auto& info) { return std::string(info.param.name); });

// A bundle of its family whose files do not fit on the disk says why, names the
// persons left without their files, and is not taken for another family's; what fits
// is unpacked.
TEST_F(MediaTest, ABundleThatCannotBeUnpackedOnAFullDiskSaysSo)
{
    addPerson(1);
    addPerson(2);
    givePicture(1, "large.bmp", std::string(100 * 1024, 'L'));
    givePicture(2, "small.bmp", std::string(2 * 1024, 's'));
    saveTo(pathOf("f.kez"));
    resetProgramState();
    platform::deleteAllFiles(face(""));
    support::SmallDisk disk(face(""), 32 * 1024);

    answers.answerNext(platform::vbOK);
    disk.whileFull(8 * 1024, [&] { ASSERT_TRUE(load_file(pathOf("f.kez"))); });

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{BundleReadFailedMessage + std::string("\r\n1 番目のファイル「large.bmp」：")
                                                             + disk.fullReason() + "\r\n" + DroppedMediaHeading
                                                             + "\r\n「人1」の画像（large.bmp）"});
    EXPECT_EQ(tables().per_buf[1].Picture_index, -1);
    EXPECT_EQ(platform::readWholeFile(face("small.bmp")), std::string(2 * 1024, 's'));
    EXPECT_TRUE(fileStore().loadDamaged) << "a plain save would lose the picture";
}

// Entries left out for their directory rows and for their files are named together,
// in bundle order.
TEST_F(MediaTest, EntriesLeftOutAreNamedInBundleOrderWhateverTheCause)
{
    std::string longName;
    for (int i = 0; i < 90; ++i)
        longName += "名";
    platform::writeWholeFile(pathOf("b.KED"),
                             makeBundle(3,
                                        {makeEntry(0, longName + ".wav", 1, 0), makeEntry(0, "a.wav", -1, 0),
                                         makeEntry(0, "b.wav", 1, 1)},
                                        "ab"));
    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(ReadKedFile(pathOf("b.KED"), 3));
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{BundleMismatchMessage + "\r\n1 番目のファイル「" + longName + ".wav」：名前が長すぎます"
                                       + "\r\n2 番目のファイル「a.wav」：データ位置が正しくありません"});
    EXPECT_EQ(voiceFiles(), std::vector<std::string>{"b.wav"});
}

// A bundle in another case beside a family file of that case is that family's: a
// family saved beside them under the same name in its own case gets a bundle of its own.
TEST_F(MediaTest, ABundleThatAnotherFamilyFileOwnsIsLeftToIt)
{
    addPerson(1);
    giveVoice(1, "theirs.wav", "their memo");
    saveTo(pathOf("fam.KEZ"));
    const std::string theirs = platform::readWholeFile(pathOf("fam.KED"));

    resetProgramState();
    addPerson(2);
    giveVoice(2, "ours.wav", "our memo");
    saveTo(pathOf("fam.kez"));

    EXPECT_EQ(platform::readWholeFile(pathOf("fam.KED")), theirs);
    ASSERT_TRUE(platform::fileExists(pathOf("fam.ked")));
    for (const auto& [family, memo] : {std::pair<std::string, std::string>{"fam.kez", "ours.wav"}, {"fam.KEZ", "theirs.wav"}}) {
        resetProgramState();
        ASSERT_TRUE(load_file(pathOf(family)));
        EXPECT_TRUE(answers.shown().empty()) << family;
        EXPECT_EQ(voiceFiles(), std::vector<std::string>{memo}) << family;
    }
}

TEST_F(MediaTest, FolderPartsOfBundledNamesAreDropped)
{
    platform::writeWholeFile(voice("old.wav"), "old");
    platform::writeWholeFile(pathOf("b.KED"),
                             makeBundle(2, {makeEntry(0, "../../evil.wav", 4, 0), makeEntry(1, "C:\\x\\顔.bmp", 3, 4)}, "evilpic"));

    EXPECT_TRUE(ReadKedFile(pathOf("b.KED"), 2));

    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(voiceFiles(), std::vector<std::string>{"evil.wav"}) << "emptied first, then unpacked";
    EXPECT_EQ(faceFiles(), std::vector<std::string>{"顔.bmp"});
    EXPECT_EQ(platform::readWholeFile(face("顔.bmp")), "pic");
    EXPECT_FALSE(platform::fileExists(pathOf("evil.wav")));
    EXPECT_EQ(fileStore().media_buf[1].FileName, "evil.wav");
}

TEST_F(MediaTest, BytesAfterTheLastFileAreIgnored)
{
    platform::writeWholeFile(pathOf("b.KED"), makeBundle(1, {makeEntry(0, "a.wav", 2, 1)}, "xab-trailing"));
    EXPECT_TRUE(ReadKedFile(pathOf("b.KED"), 1));
    EXPECT_EQ(platform::readWholeFile(voice("a.wav")), "ab");
}

TEST_F(MediaTest, AFailedBundleWriteLeavesTheOlderBundleWhole)
{
    addPerson(1);
    giveVoice(1, "v.wav", "voice");
    saveTo(pathOf("f.kez"));
    const std::string older = platform::readWholeFile(pathOf("f.ked"));

    // The bundle's temporary file cannot be made: a folder stands in its place.
    addPerson(2);
    giveVoice(2, "v2.wav", "new voice");
    platform::makeDir(pathOf("f.ked.part"));
    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(save_file(pathOf("f.kez")));

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(BundleWriteFailedMessage) + "\r\n" +
                                                             pathOf("f.ked") + "\r\n（書き込み先がフォルダーです）"});
    EXPECT_EQ(platform::readWholeFile(pathOf("f.ked")), older);
    EXPECT_NE(fileLines(pathOf("f.kez")), std::vector<std::string>{}) << "the family file itself was saved";
}

} // namespace
} // namespace model::testing

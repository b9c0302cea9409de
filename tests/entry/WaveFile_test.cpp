// The rule for a recording with sound data, on WAV files laid out as other
// programs write them: chunks before and after the data, an extensible header,
// a data size that claims more than the file holds, samples that are all silence.

#include "WaveBytes.h"

#include "entry/WaveFile.h"

#include "support/TempHome.h"

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

namespace entry_test {
namespace {

class WaveFileTest : public ::testing::Test {
protected:
    std::string write(const std::string& bytes)
    {
        const std::string path = home.file("\\voice\\memo.wav");
        platform::writeWholeFile(path, bytes);
        return path;
    }

    TempHome home;
};

// A chunk of an odd size is padded to an even length before the next one.
std::string chunk(const std::string& id, const std::string& body)
{
    std::string out = id;
    putLE(out, static_cast<uint32_t>(body.size()), 4);
    out += body;
    if (body.size() % 2 == 1)
        out += '\0';
    return out;
}

TEST_F(WaveFileTest, findsTheSoundAmongOtherChunksAndInAnExtensibleHeader)
{
    // 24-bit stereo in an extensible header naming PCM, a LIST chunk of odd
    // size before the data and another chunk after it.
    std::string format;
    putLE(format, 0xFFFE, 2);
    putLE(format, 2, 2);
    putLE(format, 48000, 4);
    putLE(format, 48000 * 6, 4);
    putLE(format, 6, 2);
    putLE(format, 24, 2);
    putLE(format, 22, 2);
    putLE(format, 24, 2);
    putLE(format, 3, 4);
    putLE(format, 1, 2);
    format += std::string(14, 'g');
    const std::string samples = "abcdefABCDEF";
    const std::string body = "WAVE" + chunk("fmt ", format) + chunk("LIST", "INFOx") + chunk("data", samples)
                             + chunk("cue ", "1234");
    std::string file = "RIFF";
    putLE(file, static_cast<uint32_t>(body.size()), 4);
    const auto sound = entry::readWaveSound(write(file + body));
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->format.formatTag, 1);
    EXPECT_EQ(sound->format.channels, 2);
    EXPECT_EQ(sound->format.sampleRate, 48000);
    EXPECT_EQ(sound->format.bitsPerSample, 24);
    EXPECT_EQ(sound->format.blockAlign, 6);
    EXPECT_EQ(sound->samples, samples);
}

TEST_F(WaveFileTest, aRecordingNeverFinishedCountsTheWholeFramesItHolds)
{
    // The sizes were never filled in: the data claims far more than follows.
    const std::string header = waveHeader(0xFFFFFFFF, 1, 2, 22050, 16, 0xFFFFFFF0);
    const auto sound = entry::readWaveSound(write(header + "0123456789"));
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->samples, "01234567") << "two whole frames of four bytes";
    EXPECT_FALSE(entry::holdsSound(write(header + "012")));
    EXPECT_FALSE(entry::holdsSound(write(std::string("RIFF\x04\0\0\0WAVE", 12))));
    EXPECT_FALSE(entry::holdsSound(home.file("\\voice\\none.wav")));
}

// Samples that are all silence (what a muted microphone gives) are no sound,
// in each format's own silence; one sample off it is.
TEST_F(WaveFileTest, samplesThatAreAllSilenceHoldNoSound)
{
    struct Silence {
        const char* format;
        int tag;
        int bits;
        std::string frames; // a run of silent frames, one channel
        char loud;          // a byte that makes the first sample sound
    };
    const std::string floatZeros = std::string(8, '\0') + std::string("\0\0\0\x80", 4); // +0, +0, -0
    const Silence silences[] = {
        {"16-bit", 1, 16, std::string(200, '\0'), '\x01'},
        {"8-bit", 1, 8, std::string(100, '\x80'), '\x7F'},
        {"float", 3, 32, floatZeros, '\x3F'},
        {"A-law", 6, 8, std::string(50, '\xD5') + std::string(50, '\x55'), '\x2A'},
        {"mu-law", 7, 8, std::string(50, '\xFF') + std::string(50, '\x7F'), '\x00'},
    };
    for (const Silence& silence : silences) {
        const auto size = static_cast<uint32_t>(silence.frames.size());
        const std::string header = waveHeader(36 + size, silence.tag, 1, 8000, silence.bits, size);
        EXPECT_FALSE(entry::holdsSound(write(header + silence.frames))) << silence.format;
        EXPECT_FALSE(entry::waveBytesHoldSound(header + silence.frames)) << silence.format;
        std::string loud = silence.frames;
        loud[silence.bits / 8 - 1] = silence.loud;
        EXPECT_TRUE(entry::holdsSound(write(header + loud))) << silence.format;
    }
}

TEST_F(WaveFileTest, whatIsWrittenIsThePlainLayoutAndReadsBack)
{
    const std::vector<int16_t> samples = sineSamples(440, 0.01);
    std::string bytes;
    for (int16_t s : samples)
        putLE(bytes, static_cast<uint16_t>(s), 2);
    const std::string path = home.file("\\voice\\written.wav");
    entry::writeWave(path, entry::WaveFormat{1, 1, 22050, 16, 2}, bytes);
    EXPECT_EQ(platform::readWholeFile(path), pcmWave(samples));
    const auto sound = entry::readWaveSound(path);
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->samples, bytes);
}

} // namespace
} // namespace entry_test

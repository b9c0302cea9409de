#pragma once
// WAV files for the voice memo tests, written out field by field, a reader of
// the plain 44-byte layout the recordings must have, and a comparison of bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace entry_test {

inline void putLE(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline uint32_t getLE(const std::string& in, size_t at, int bytes)
{
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(in[at + static_cast<size_t>(i)])) << (8 * i);
    return value;
}

// Compares file contents without printing them: a memo is kilobytes of samples.
inline ::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.size() << " bytes, not the " << expected.size() << " expected";
}

// The 44-byte header: RIFF, a 16-byte "fmt " chunk and the "data" chunk's
// head, with the sizes and format fields given as they stand.
inline std::string waveHeader(uint32_t riffSize, int tag, int channels, int rate, int bits, uint32_t dataSize)
{
    std::string out = "RIFF";
    putLE(out, riffSize, 4);
    out += "WAVEfmt ";
    putLE(out, 16, 4);
    putLE(out, static_cast<uint32_t>(tag), 2);
    putLE(out, static_cast<uint32_t>(channels), 2);
    putLE(out, static_cast<uint32_t>(rate), 4);
    putLE(out, static_cast<uint32_t>(rate * channels * bits / 8), 4);
    putLE(out, static_cast<uint32_t>(channels * bits / 8), 2);
    putLE(out, static_cast<uint32_t>(bits), 2);
    out += "data";
    putLE(out, dataSize, 4);
    return out;
}

// A 16-bit mono WAV file of the samples.
inline std::string pcmWave(const std::vector<int16_t>& samples, int rate = 22050)
{
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    std::string out = waveHeader(36 + dataSize, 1, 1, rate, 16, dataSize);
    for (int16_t s : samples)
        putLE(out, static_cast<uint16_t>(s), 2);
    return out;
}

inline std::vector<int16_t> sineSamples(double hz, double seconds, int rate = 22050, double amplitude = 12000)
{
    std::vector<int16_t> samples(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * hz * static_cast<double>(i) / rate));
    return samples;
}

// The samples of a 16-bit mono PCM file in the plain layout (nothing between
// "fmt " and "data", the sizes filled in); empty when the file is not one.
struct PlainWave {
    int rate = 0;
    std::vector<int16_t> samples;
};

inline PlainWave readPlainWave(const std::string& bytes)
{
    PlainWave wave;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 8, "WAVEfmt ") != 0
        || getLE(bytes, 16, 4) != 16 || getLE(bytes, 20, 2) != 1 || getLE(bytes, 22, 2) != 1
        || getLE(bytes, 34, 2) != 16 || bytes.compare(36, 4, "data") != 0
        || getLE(bytes, 40, 4) != bytes.size() - 44 || getLE(bytes, 4, 4) != bytes.size() - 8)
        return wave;
    wave.rate = static_cast<int>(getLE(bytes, 24, 4));
    for (size_t at = 44; at + 1 < bytes.size(); at += 2)
        wave.samples.push_back(static_cast<int16_t>(getLE(bytes, at, 2)));
    return wave;
}

// The loudness and the pitch of the sound in samples: the root mean square of
// the stretch between the first and the last loud sample, and its frequency
// from the zero crossings there.
struct Tone {
    double rms = 0;
    double hz = 0;
    double seconds = 0;
};

inline Tone measureTone(const std::vector<int16_t>& samples, int rate, int loud = 2000)
{
    Tone tone;
    size_t first = samples.size();
    size_t last = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) >= loud) {
            first = std::min(first, i);
            last = i;
        }
    }
    if (first >= last)
        return tone;
    double sum = 0;
    int crossings = 0;
    for (size_t i = first; i <= last; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
        if (i > first && (samples[i - 1] < 0) != (samples[i] < 0))
            ++crossings;
    }
    const double count = static_cast<double>(last - first + 1);
    tone.rms = std::sqrt(sum / count);
    tone.seconds = count / rate;
    tone.hz = crossings / 2.0 / tone.seconds;
    return tone;
}

} // namespace entry_test

#pragma once
// WAV files of the voice memos: the one rule for whether a file is a recording
// with sound data, reading the samples to play and writing a recording.

#include <optional>
#include <string>
#include <string_view>

namespace entry {

// The codes of the sample formats.
inline constexpr int PcmTag = 1;     // integer PCM
inline constexpr int FloatTag = 3;   // floating point
inline constexpr int ALawTag = 6;
inline constexpr int MuLawTag = 7;

// The layout of the samples, as the "fmt " chunk gives it.
struct WaveFormat {
    // One of the codes above, or another; for an extensible header, the code
    // its sub-format names.
    int formatTag = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    // Bytes of one sample frame (one sample of every channel).
    int blockAlign = 0;
};

// A WAV file's format and the whole sample frames of its data chunk.
struct WaveSound {
    WaveFormat format;
    std::string samples;
};

// Reads a WAV file that holds sound: "RIFF" and "WAVE", a "fmt " chunk with
// channels, a sample rate and a frame size, and a "data" chunk with at least
// one whole sample frame inside the file (a size field that claims more than
// the file holds counts what is there). Anything else gives nullopt: a missing
// or empty file, a header alone, a header whose format is zero.
std::optional<WaveSound> readWaveSound(const std::string& path);

// Whether samples of the format hold sound: at least one whole frame, and a
// sample that differs from the format's silence (zero; 128 for 8-bit PCM, +0
// and -0 for floating point, the two codes of zero for A-law and mu-law). A
// muted microphone gives frames that are all silence. Samples of a format this
// rule cannot read count as sound.
bool samplesHoldSound(const WaveFormat& format, std::string_view samples);

// Whether the file is a recording with sound data: readWaveSound reads it and
// its samples hold sound. Only such a file is offered as a memo or stored as one.
bool holdsSound(const std::string& path);
// The same for the bytes of a WAV file already read.
bool waveBytesHoldSound(std::string_view bytes);

// Writes the samples as a WAV file (RIFF, a 16-byte "fmt " chunk, "data").
// Raises platform::RuntimeError when the file cannot be written.
void writeWave(const std::string& path, const WaveFormat& format, std::string_view samples);

} // namespace entry

#include "entry/WaveFile.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace entry {

namespace {

constexpr int ExtensibleTag = 0xFFFE;

uint32_t read16(std::string_view bytes, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at]))
        | static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

uint32_t read32(std::string_view bytes, size_t at)
{
    return read16(bytes, at) | read16(bytes, at + 2) << 16;
}

void put16(std::string& out, uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

std::optional<WaveFormat> parseFormat(std::string_view chunk)
{
    if (chunk.size() < 16)
        return std::nullopt;
    WaveFormat format;
    format.formatTag = static_cast<int>(read16(chunk, 0));
    format.channels = static_cast<int>(read16(chunk, 2));
    format.sampleRate = static_cast<int>(read32(chunk, 4) & 0x7FFFFFFF);
    format.blockAlign = static_cast<int>(read16(chunk, 12));
    format.bitsPerSample = static_cast<int>(read16(chunk, 14));
    // An extensible header names the real format in the first two bytes of its sub-format.
    if (format.formatTag == ExtensibleTag && chunk.size() >= 26)
        format.formatTag = static_cast<int>(read16(chunk, 24));
    if (format.channels == 0 || format.sampleRate == 0 || format.blockAlign == 0)
        return std::nullopt;
    return format;
}

std::optional<WaveSound> parseWave(std::string_view bytes)
{
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<WaveFormat> format;
    std::string_view data;
    bool hasData = false;
    // The chunks follow one another, each padded to an even length; a size that
    // runs past the end of the file (a recording never finished) counts what is there.
    size_t at = 12;
    while (bytes.size() - at >= 8) {
        const std::string_view id = bytes.substr(at, 4);
        const uint64_t size = read32(bytes, at + 4);
        const size_t start = at + 8;
        const size_t present = static_cast<size_t>(std::min<uint64_t>(size, bytes.size() - start));
        const std::string_view body = bytes.substr(start, present);
        if (id == "fmt " && !format)
            format = parseFormat(body);
        else if (id == "data" && !hasData) {
            data = body;
            hasData = true;
        }
        const uint64_t next = start + size + (size & 1);
        if (next >= bytes.size())
            break;
        at = static_cast<size_t>(next);
    }
    if (!format || !hasData)
        return std::nullopt;
    const size_t frames = data.size() / static_cast<size_t>(format->blockAlign);
    if (frames == 0)
        return std::nullopt;
    return WaveSound{*format, std::string(data.substr(0, frames * static_cast<size_t>(format->blockAlign)))};
}

} // namespace

std::optional<WaveSound> readWaveSound(const std::string& path)
{
    if (!platform::fileExists(path))
        return std::nullopt;
    try {
        return parseWave(platform::readWholeFile(path));
    } catch (const platform::RuntimeError&) {
        return std::nullopt;
    }
}

bool samplesHoldSound(const WaveFormat& format, std::string_view samples)
{
    if (format.blockAlign <= 0 || samples.size() < static_cast<size_t>(format.blockAlign))
        return false;
    const auto anyByteBut = [samples](std::initializer_list<char> silent) {
        return std::any_of(samples.begin(), samples.end(), [silent](char byte) {
            return std::find(silent.begin(), silent.end(), byte) == silent.end();
        });
    };
    switch (format.formatTag) {
    case PcmTag:
        return format.bitsPerSample <= 8 ? anyByteBut({'\x80'}) : anyByteBut({'\0'});
    case FloatTag: {
        // Zero with either sign: every byte zero but the sign bit of the top one.
        const size_t sampleBytes = static_cast<size_t>(format.bitsPerSample / 8);
        if (sampleBytes == 0)
            return true;
        for (size_t at = 0; at < samples.size(); ++at) {
            const bool top = at % sampleBytes == sampleBytes - 1;
            if ((static_cast<unsigned char>(samples[at]) & (top ? 0x7F : 0xFF)) != 0)
                return true;
        }
        return false;
    }
    case ALawTag:
        return anyByteBut({'\xD5', '\x55'});
    case MuLawTag:
        return anyByteBut({'\xFF', '\x7F'});
    default:
        return true;
    }
}

bool holdsSound(const std::string& path)
{
    const std::optional<WaveSound> sound = readWaveSound(path);
    return sound && samplesHoldSound(sound->format, sound->samples);
}

bool waveBytesHoldSound(std::string_view bytes)
{
    const std::optional<WaveSound> sound = parseWave(bytes);
    return sound && samplesHoldSound(sound->format, sound->samples);
}

void writeWave(const std::string& path, const WaveFormat& format, std::string_view samples)
{
    std::string out;
    out.reserve(44 + samples.size() + 1);
    const uint32_t dataSize = static_cast<uint32_t>(samples.size());
    out += "RIFF";
    put32(out, 36 + dataSize + (dataSize & 1));
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, static_cast<uint32_t>(format.formatTag));
    put16(out, static_cast<uint32_t>(format.channels));
    put32(out, static_cast<uint32_t>(format.sampleRate));
    put32(out, static_cast<uint32_t>(format.sampleRate) * static_cast<uint32_t>(format.blockAlign));
    put16(out, static_cast<uint32_t>(format.blockAlign));
    put16(out, static_cast<uint32_t>(format.bitsPerSample));
    out += "data";
    put32(out, dataSize);
    out.append(samples);
    if (dataSize & 1)
        out += '\0';
    platform::writeWholeFile(path, out);
}

} // namespace entry

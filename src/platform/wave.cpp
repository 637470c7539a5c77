#include "wave.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t readU32(QByteArrayView b, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(b.data() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t readU16(QByteArrayView b, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(b.data() + at);
    return uint16_t(p[0] | p[1] << 8);
}

// The "fmt " chunk body; false when it does not describe plain PCM.
bool readFormat(QByteArrayView body, WaveData &out)
{
    if (body.size() < 16)
        return false;
    uint16_t tag = readU16(body, 0);
    // The extensible form carries the real format in its sub-format GUID.
    if (tag == kFormatExtensible && body.size() >= 26)
        tag = readU16(body, 24);
    const int channels = readU16(body, 2);
    const uint32_t rate = readU32(body, 4);
    const int blockAlign = readU16(body, 12);
    const int bits = readU16(body, 14);
    if (tag != kFormatPcm || (bits != 8 && bits != 16) || channels < 1 || channels > 8)
        return false;
    if (rate == 0 || rate > 768000 || blockAlign != channels * bits / 8)
        return false;
    out.sampleRate = int(rate);
    out.channels = channels;
    out.bitsPerSample = bits;
    return true;
}

} // namespace

std::optional<WaveData> parseWave(QByteArrayView bytes)
{
    if (bytes.size() < 12 || bytes.first(4) != "RIFF" || bytes.sliced(8, 4) != "WAVE")
        return std::nullopt;
    WaveData wave;
    bool haveFormat = false;
    std::optional<QByteArrayView> data;
    qsizetype at = 12;
    while (at + 8 <= bytes.size() && !(haveFormat && data)) {
        const QByteArrayView id = bytes.sliced(at, 4);
        const qsizetype declared = readU32(bytes, at + 4);
        const qsizetype available = bytes.size() - (at + 8);
        const QByteArrayView body = bytes.sliced(at + 8, std::min(declared, available));
        if (id == "fmt ") {
            if (declared > available || !readFormat(body, wave))
                return std::nullopt;
            haveFormat = true;
        } else if (id == "data") {
            data = body;
        }
        // Chunks are padded to an even length.
        at += 8 + declared + (declared & 1);
    }
    if (!haveFormat || !data)
        return std::nullopt;
    const qsizetype frameBytes = wave.channels * wave.bitsPerSample / 8;
    wave.pcm = data->first(data->size() - data->size() % frameBytes);
    if (wave.pcm.isEmpty())
        return std::nullopt;
    return wave;
}

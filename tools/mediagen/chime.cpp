// The end-of-roll sound: a bright three-note bell arpeggio, synthesised from
// a few exponentially decaying partials per note and written as a 16-bit
// stereo PCM WAVE file with a header of our own.
#include "generators.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>

namespace mediagen {

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kFrames = 71296;   // about 1.62 s
constexpr double kPeak = 0.7079; // -3 dBFS

struct Note
{
    double frequency;
    double onset;  // seconds
    double pan;    // 0 = left, 1 = right
};

struct Partial
{
    double ratio;
    double gain;
    double decay;  // time constant in seconds
};

constexpr Note kNotes[] = {{1046.50, 0.00, 0.35}, {1318.51, 0.12, 0.50}, {1567.98, 0.24, 0.65}};
constexpr Partial kPartials[] = {
    {1.0, 1.00, 0.55}, {1.0025, 0.25, 0.55}, {2.0, 0.42, 0.30}, {3.01, 0.20, 0.17}, {4.2, 0.09, 0.09}};

struct Stereo
{
    std::vector<double> left = std::vector<double>(kFrames, 0.0);
    std::vector<double> right = std::vector<double>(kFrames, 0.0);
};

double bellSample(double frequency, double t)
{
    double v = 0;
    for (const Partial &p : kPartials)
        v += p.gain * std::exp(-t / p.decay) * std::sin(2 * M_PI * frequency * p.ratio * t);
    // A 3 ms raised-cosine attack avoids a click at the strike.
    const double attack = 0.003;
    if (t < attack)
        v *= 0.5 - 0.5 * std::cos(M_PI * t / attack);
    return v;
}

void addNote(Stereo &out, const Note &note)
{
    // Equal-power panning keeps the loudness steady across the arpeggio.
    const double gl = std::cos(note.pan * M_PI / 2);
    const double gr = std::sin(note.pan * M_PI / 2);
    const int first = int(note.onset * kRate);
    for (int i = first; i < kFrames; ++i) {
        const double v = bellSample(note.frequency, double(i - first) / kRate);
        out.left[i] += gl * v;
        out.right[i] += gr * v;
    }
}

void normaliseAndFade(Stereo &s)
{
    double peak = 0;
    for (int i = 0; i < kFrames; ++i)
        peak = std::max({peak, std::abs(s.left[i]), std::abs(s.right[i])});
    const int fadeIn = kRate / 500;   // 2 ms
    const int fadeOut = kRate / 12;   // about 83 ms
    for (int i = 0; i < kFrames; ++i) {
        double g = kPeak / peak;
        if (i < fadeIn)
            g *= double(i) / fadeIn;
        if (i >= kFrames - fadeOut)
            g *= 0.5 + 0.5 * std::cos(M_PI * (i - (kFrames - fadeOut)) / fadeOut);
        s.left[i] *= g;
        s.right[i] *= g;
    }
}

void putLe16(QByteArray &b, quint16 v)
{
    const quint16 le = qToLittleEndian(v);
    b.append(reinterpret_cast<const char *>(&le), 2);
}

void putLe32(QByteArray &b, quint32 v)
{
    const quint32 le = qToLittleEndian(v);
    b.append(reinterpret_cast<const char *>(&le), 4);
}

QByteArray waveHeader(quint32 dataBytes)
{
    QByteArray h;
    h.append("RIFF");
    putLe32(h, 36 + dataBytes);
    h.append("WAVEfmt ");
    putLe32(h, 16);                        // fmt chunk size
    putLe16(h, 1);                         // PCM
    putLe16(h, kChannels);
    putLe32(h, kRate);
    putLe32(h, kRate * kChannels * 2);     // bytes per second
    putLe16(h, kChannels * 2);             // block align
    putLe16(h, 16);                        // bits per sample
    h.append("data");
    putLe32(h, dataBytes);
    return h;
}

QByteArray encode(const Stereo &s)
{
    QByteArray bytes = waveHeader(quint32(kFrames) * kChannels * 2);
    for (int i = 0; i < kFrames; ++i) {
        for (double v : {s.left[i], s.right[i]}) {
            const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
            putLe16(bytes, quint16(qint16(q)));
        }
    }
    return bytes;
}

} // namespace

bool writeChime(const QString &dir)
{
    Stereo sound;
    for (const Note &n : kNotes)
        addNote(sound, n);
    normaliseAndFade(sound);
    QFile file(QDir(dir).filePath(QStringLiteral("chime.wav")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = encode(sound);
    return file.write(bytes) == bytes.size();
}

} // namespace mediagen

#include "fireworks.h"

#include <cmath>

// The choreography of each show: when and where its shells go up. Bursts
// must open before about 2.5 s so that they are seen before the window closes
// at 3.5 s.

namespace {

constexpr QRgb kVivid[] = {0xffff3b3b, 0xffff8c1a, 0xffffe14d, 0xff4dff6a, 0xff3de0ff,
                           0xff6f8cff, 0xffb45aff, 0xffff4fd8, 0xfff2f4ff};
constexpr int kVividCount = int(std::size(kVivid));

} // namespace

void Fireworks::planPeony()
{
    static constexpr float kTimes[] = {0.0f, 0.15f, 0.4f, 0.65f, 0.9f, 1.15f, 1.4f, 1.7f, 1.95f, 2.2f};
    const float w = float(m_area.width()), h = float(m_area.height());
    for (float at : kTimes) {
        Shell s;
        s.launchAt = at;
        s.fromX = uniform(0.1f, 0.9f) * w;
        s.apexX = s.fromX + uniform(-0.06f, 0.06f) * w;
        s.apexY = uniform(0.12f, 0.42f) * h;
        s.riseTime = uniform(0.55f, 0.8f);
        s.speed = uniform(400, 520) * m_scale;
        s.stars = 80 + int(m_random.bounded(30));
        const int first = int(m_random.bounded(kVividCount));
        s.color1 = kVivid[first];
        s.color2 = kVivid[(first + 2 + int(m_random.bounded(kVividCount - 3))) % kVividCount];
        m_shells.push_back(s);
    }
}

void Fireworks::planGoldenRing()
{
    // A big ring in the middle first, then pairs from the sides inwards.
    static constexpr float kTimes[] = {0.0f, 0.35f, 0.35f, 0.8f, 1.2f, 1.2f, 1.65f, 2.05f};
    static constexpr float kPlaces[] = {0.5f, 0.2f, 0.8f, 0.5f, 0.32f, 0.68f, 0.15f, 0.85f};
    const float w = float(m_area.width()), h = float(m_area.height());
    for (size_t i = 0; i < std::size(kTimes); ++i) {
        Shell s;
        s.launchAt = kTimes[i] + uniform(0.0f, 0.08f);
        s.apexX = (kPlaces[i] + uniform(-0.04f, 0.04f)) * w;
        s.fromX = s.apexX;
        s.apexY = (i == 0 ? 0.32f : uniform(0.16f, 0.4f)) * h;
        s.riseTime = uniform(0.6f, 0.75f);
        s.speed = (i == 0 ? 540.0f : uniform(360, 440)) * m_scale;
        s.stars = 64 + int(m_random.bounded(16));
        s.color1 = 0xffffc43c;
        s.color2 = 0xffffeeb0;
        m_shells.push_back(s);
    }
}

void Fireworks::planWillow()
{
    // Comets from alternate bottom corners, arcing inwards.
    static constexpr float kTimes[] = {0.0f, 0.2f, 0.55f, 0.85f, 1.2f, 1.55f};
    const float w = float(m_area.width()), h = float(m_area.height());
    for (size_t i = 0; i < std::size(kTimes); ++i) {
        const bool left = i % 2 == 0;
        Shell s;
        s.launchAt = kTimes[i];
        s.fromX = (left ? uniform(0.02f, 0.2f) : uniform(0.8f, 0.98f)) * w;
        s.apexX = (left ? uniform(0.25f, 0.55f) : uniform(0.45f, 0.75f)) * w;
        s.apexY = uniform(0.1f, 0.3f) * h;
        s.riseTime = uniform(0.8f, 1.0f);
        s.speed = uniform(400, 480) * m_scale;
        s.stars = 70 + int(m_random.bounded(20));
        s.color1 = pick(kVivid, kVividCount);
        s.color2 = s.color1;
        m_shells.push_back(s);
    }
}

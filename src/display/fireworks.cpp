#include "fireworks.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDt = float(Fireworks::kStep);
constexpr QRgb kRocketWarm = 0xffffc27a;
constexpr QRgb kGlitterGold = 0xffffe6a0;
constexpr QRgb kCrackleWhite = 0xfffff8e6;

} // namespace

FireworksKind fireworksKindForChoice(int choice)
{
    switch (choice) {
    case 5: return FireworksKind::GoldenRing;
    case 6: return FireworksKind::Willow;
    default: return FireworksKind::Peony;
    }
}

float Spark::fade() const
{
    if (role == Role::Rocket)
        return 1.0f;
    // Full brightness for most of the life, then a quick fade: real stars
    // burn evenly and go out near the end.
    const float t = age / life;
    if (t < 0.6f)
        return 1.0f;
    return std::max(0.0f, (1.0f - t) / 0.4f);
}

Fireworks::Fireworks(FireworksKind kind, QSize area, quint32 seed)
    : m_kind(kind),
      m_area(area),
      m_scale(std::max(0.25f, float(area.height()) / 1080.0f)),
      m_gravity(420.0f * m_scale),
      m_random(seed)
{
    switch (kind) {
    case FireworksKind::Peony: planPeony(); break;
    case FireworksKind::GoldenRing: planGoldenRing(); break;
    case FireworksKind::Willow: planWillow(); break;
    }
    std::stable_sort(m_shells.begin(), m_shells.end(),
                     [](const Shell &a, const Shell &b) { return a.launchAt < b.launchAt; });
    m_sparks.reserve(4096);
    m_born.reserve(1024);
}

float Fireworks::uniform(float low, float high)
{
    return low + float(m_random.generateDouble()) * (high - low);
}

QRgb Fireworks::pick(const QRgb *colors, int count)
{
    return colors[m_random.bounded(count)];
}

void Fireworks::advanceTo(double seconds)
{
    while (time() + kStep / 2 <= seconds)
        step();
}

void Fireworks::step()
{
    ++m_steps;
    const float now = float(time());
    while (m_nextShell < int(m_shells.size()) && m_shells[size_t(m_nextShell)].launchAt <= now)
        launch(m_nextShell++);

    for (Spark &spark : m_sparks) {
        move(spark);
        shed(spark);
    }
    auto dead = std::remove_if(m_sparks.begin(), m_sparks.end(), [this](const Spark &s) {
        if (s.age < s.life)
            return false;
        if (s.role == Spark::Role::Rocket)
            burst(s);
        else if (s.role == Spark::Role::Star && m_kind == FireworksKind::Willow)
            crackle(s);
        return true;
    });
    m_sparks.erase(dead, m_sparks.end());
    m_sparks.insert(m_sparks.end(), m_born.begin(), m_born.end());
    m_born.clear();
}

void Fireworks::move(Spark &s)
{
    s.age += kDt;
    const float keep = std::max(0.0f, 1.0f - s.drag * kDt);
    s.vx *= keep;
    s.vy = s.vy * keep + m_gravity * s.gravity * kDt;
    if (s.trailEvery != 0 && ++s.stepCounter >= s.trailEvery) {
        s.stepCounter = 0;
        std::copy_backward(s.trailX.begin(), s.trailX.end() - 1, s.trailX.end());
        std::copy_backward(s.trailY.begin(), s.trailY.end() - 1, s.trailY.end());
        s.trailX[0] = s.x;
        s.trailY[0] = s.y;
        s.trailCount = quint8(std::min<int>(s.trailCount + 1, Spark::kTrailPoints));
    }
    s.x += s.vx * kDt;
    s.y += s.vy * kDt;
}

// Rockets leave sparks behind them; golden stars drop glitter.
void Fireworks::shed(const Spark &s)
{
    float chance = 0.0f;
    QRgb color = kGlitterGold;
    if (s.role == Spark::Role::Rocket) {
        chance = m_kind == FireworksKind::Willow ? 0.9f : 0.6f;
        color = m_kind == FireworksKind::Willow ? s.color : (m_kind == FireworksKind::Peony ? kRocketWarm : kGlitterGold);
    } else if (s.role == Spark::Role::Star && m_kind == FireworksKind::GoldenRing) {
        chance = 0.035f * s.fade();
    }
    if (chance <= 0.0f || uniform(0, 1) >= chance)
        return;
    Spark g;
    g.role = Spark::Role::Glitter;
    g.x = s.x + uniform(-1.5f, 1.5f) * m_scale;
    g.y = s.y + uniform(-1.5f, 1.5f) * m_scale;
    g.vx = s.vx * 0.12f + uniform(-18, 18) * m_scale;
    g.vy = s.vy * 0.12f + uniform(-10, 25) * m_scale;
    g.drag = 2.5f;
    g.gravity = 0.3f;
    g.life = s.role == Spark::Role::Rocket ? uniform(0.25f, 0.5f) : uniform(0.6f, 1.1f);
    g.size = uniform(1.2f, 1.9f) * m_scale;
    g.phase = uniform(0, 2 * kPi);
    g.color = color;
    m_born.push_back(g);
}

void Fireworks::crackle(const Spark &s)
{
    if (uniform(0, 1) >= 0.55f)
        return;
    const int pops = 2 + int(m_random.bounded(3));
    for (int i = 0; i < pops; ++i) {
        Spark c;
        c.role = Spark::Role::Crackle;
        c.x = s.x;
        c.y = s.y;
        const float angle = uniform(0, 2 * kPi);
        const float speed = uniform(50, 150) * m_scale;
        c.vx = std::cos(angle) * speed;
        c.vy = std::sin(angle) * speed;
        c.drag = 4.0f;
        c.gravity = 0.2f;
        c.life = uniform(0.08f, 0.22f);
        c.size = uniform(2.0f, 3.2f) * m_scale;
        c.color = kCrackleWhite;
        m_born.push_back(c);
    }
}

void Fireworks::launch(int shellIndex)
{
    const Shell &shell = m_shells[size_t(shellIndex)];
    Spark r;
    r.role = Spark::Role::Rocket;
    r.x = shell.fromX;
    r.y = float(m_area.height()) + 4 * m_scale;
    // Chosen so the rocket stops rising exactly at the apex after riseTime.
    const float rise = r.y - shell.apexY;
    const float t = shell.riseTime;
    r.vy = -2.0f * rise / t;
    r.vx = (shell.apexX - shell.fromX) / t;
    r.gravity = (2.0f * rise / (t * t)) / m_gravity;
    r.life = t;
    r.size = (m_kind == FireworksKind::Willow ? 3.0f : 2.2f) * m_scale;
    r.color = m_kind == FireworksKind::Willow ? shell.color1 : kRocketWarm;
    r.trailEvery = 1;
    r.shell = quint8(shellIndex);
    m_born.push_back(r);
}

void Fireworks::burst(const Spark &rocket)
{
    const Shell &shell = m_shells[rocket.shell];
    // A short white flash where the shell opens.
    Spark flash;
    flash.role = Spark::Role::Crackle;
    flash.x = rocket.x;
    flash.y = rocket.y;
    flash.life = 0.14f;
    flash.size = 9.0f * m_scale;
    flash.gravity = 0;
    flash.color = kCrackleWhite;
    m_born.push_back(flash);

    switch (m_kind) {
    case FireworksKind::Peony: burstPeony(shell, rocket.x, rocket.y); break;
    case FireworksKind::GoldenRing: burstRing(shell, rocket.x, rocket.y); break;
    case FireworksKind::Willow: burstWillow(shell, rocket.x, rocket.y); break;
    }
}

Spark Fireworks::star(float x, float y, float angle, float speed) const
{
    Spark s;
    s.role = Spark::Role::Star;
    s.x = x;
    s.y = y;
    s.vx = std::cos(angle) * speed;
    s.vy = std::sin(angle) * speed;
    return s;
}

// A sphere of stars seen from the front: directions uniform on the sphere,
// projected, so the rim is denser than the middle. The core has its own colour.
void Fireworks::burstPeony(const Shell &shell, float x, float y)
{
    for (int i = 0; i < shell.stars; ++i) {
        const float z = uniform(-1, 1);
        const float radial = std::sqrt(1 - z * z);
        Spark s = star(x, y, uniform(0, 2 * kPi), shell.speed * radial * uniform(0.92f, 1.05f));
        s.color = radial < 0.55f ? shell.color2 : shell.color1;
        s.life = uniform(1.2f, 1.7f);
        s.drag = 1.6f;
        s.gravity = 0.55f;
        s.size = 2.7f * m_scale;
        s.trailEvery = 2;
        m_born.push_back(s);
    }
}

// Two flat rings, tilted at random, all stars at nearly one speed.
void Fireworks::burstRing(const Shell &shell, float x, float y)
{
    const float tilt = uniform(0.55f, 1.0f);
    const float turn = uniform(0, 2 * kPi);
    const int inner = shell.stars * 3 / 5;
    for (int i = 0; i < shell.stars + inner; ++i) {
        const bool outer = i < shell.stars;
        const int n = outer ? shell.stars : inner;
        const float angle = 2 * kPi * float(outer ? i : i - shell.stars) / float(n) + uniform(-0.02f, 0.02f);
        const float speed = shell.speed * (outer ? 1.0f : 0.55f) * uniform(0.97f, 1.03f);
        const float dx = std::cos(angle), dy = std::sin(angle) * tilt;
        Spark s = star(x, y, 0, 0);
        s.vx = (dx * std::cos(turn) - dy * std::sin(turn)) * speed;
        s.vy = (dx * std::sin(turn) + dy * std::cos(turn)) * speed;
        s.color = outer ? shell.color1 : shell.color2;
        s.life = uniform(1.6f, 2.1f);
        s.drag = 1.1f;
        s.gravity = 0.45f;
        s.size = 2.4f * m_scale;
        s.trailEvery = 3;
        m_born.push_back(s);
    }
}

// Stars of every colour that lose their speed quickly and hang down in long
// trails; at the end of their life many of them crackle.
void Fireworks::burstWillow(const Shell &shell, float x, float y)
{
    static constexpr QRgb kRainbow[] = {0xffff4040, 0xffff9a2e, 0xffffe94a, 0xff5cff6e,
                                        0xff3fe6ff, 0xff6f8cff, 0xffc070ff, 0xffff5ccf};
    for (int i = 0; i < shell.stars; ++i) {
        const float z = uniform(-1, 1);
        const float radial = std::sqrt(1 - z * z);
        Spark s = star(x, y, uniform(0, 2 * kPi), shell.speed * radial * uniform(0.85f, 1.05f));
        s.color = pick(kRainbow, int(std::size(kRainbow)));
        s.life = uniform(1.7f, 2.4f);
        s.drag = 2.4f;
        s.gravity = 0.8f;
        s.size = 2.4f * m_scale;
        s.trailEvery = 4;
        m_born.push_back(s);
    }
}

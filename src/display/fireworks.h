#pragma once

#include <QRandomGenerator>
#include <QRgb>
#include <QSize>

#include <array>
#include <vector>

// The three celebrations that play over the wheel after a roll stops. Each is
// a particle simulation advanced in fixed steps of 1/60 s, so the same seed
// and the same area always give the same frames, with or without a window.
enum class FireworksKind {
    Peony,      // coloured bursts rising from the bottom, short trails
    GoldenRing, // rings of golden sparks shedding falling glitter
    Willow,     // comets that open into drooping multi-coloured willows, crackling at the end
};

// Choice values 4, 5 and 6 name the three effects; anything else is the first.
FireworksKind fireworksKindForChoice(int choice);

struct Spark
{
    enum class Role : quint8 { Rocket, Star, Glitter, Crackle };
    static constexpr int kTrailPoints = 8;

    Role role = Role::Star;
    float x = 0, y = 0;   // px
    float vx = 0, vy = 0; // px/s
    float age = 0, life = 1; // s
    float size = 2;       // radius of the bright head, px
    float drag = 0;       // share of the speed lost per second
    float gravity = 1;    // multiple of the show's gravity
    float phase = 0;      // twinkle phase of glitter
    QRgb color = 0xffffffff;
    quint8 shell = 0;       // rockets: index of the shell they carry
    quint8 trailEvery = 0;  // steps between trail samples; 0 = no trail
    quint8 trailCount = 0;  // valid trail points, newest first
    quint8 stepCounter = 0;
    std::array<float, kTrailPoints> trailX{};
    std::array<float, kTrailPoints> trailY{};

    // 1 while young, falling to 0 at the end of its life.
    float fade() const;
};

class Fireworks
{
public:
    static constexpr double kStep = 1.0 / 60.0;

    Fireworks(FireworksKind kind, QSize area, quint32 seed);

    FireworksKind kind() const { return m_kind; }
    QSize area() const { return m_area; }
    double time() const { return m_steps * kStep; }
    const std::vector<Spark> &sparks() const { return m_sparks; }

    void step();
    // Steps until time() reaches seconds; never goes back.
    void advanceTo(double seconds);

    // A shell: launched at a time from the bottom edge, bursting at its apex.
    struct Shell
    {
        float launchAt = 0;         // s
        float fromX = 0;            // px, on the bottom edge
        float apexX = 0, apexY = 0; // px
        float riseTime = 1;         // s from launch to apex
        float speed = 300;          // px/s of the burst's stars
        int stars = 80;
        QRgb color1 = 0, color2 = 0;
    };

private:
    void planPeony();
    void planGoldenRing();
    void planWillow();
    void launch(int shellIndex);
    void burst(const Spark &rocket);
    void burstPeony(const Shell &shell, float x, float y);
    void burstRing(const Shell &shell, float x, float y);
    void burstWillow(const Shell &shell, float x, float y);
    void move(Spark &spark);
    void shed(const Spark &spark);
    void crackle(const Spark &spark);
    Spark star(float x, float y, float angle, float speed) const;
    float uniform(float low, float high);
    QRgb pick(const QRgb *colors, int count);

    FireworksKind m_kind;
    QSize m_area;
    float m_scale; // screen height / 1080: the shows look alike on every screen
    float m_gravity;
    QRandomGenerator m_random;
    qint64 m_steps = 0;
    std::vector<Shell> m_shells;
    int m_nextShell = 0;
    std::vector<Spark> m_sparks;
    std::vector<Spark> m_born; // sparks made during a step, joined at its end
};

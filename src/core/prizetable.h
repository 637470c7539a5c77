#pragma once

#include <QtGlobal>
#include <array>

class SettingsFile;

// By probability the prize values are weights, by quantity they are stocks.
enum class DrawMode { ByProbability, ByQuantity };

// The eight prize values, slot 1 at index 0.
struct PrizeTable
{
    std::array<qint32, 8> values{};

    qint32 &operator[](int slot) { return values[slot - 1]; }
    qint32 operator[](int slot) const { return values[slot - 1]; }

    // 1, 2, 4, 8, 10, 15, 20, 50
    static PrizeTable defaults();
    // Start-up: the stored values when "一" is not empty, else the defaults.
    static PrizeTable fromSettings(const SettingsFile &settings);
};

// "lx" exactly "真" is by probability; anything else by quantity.
DrawMode readDrawMode(const SettingsFile &settings);
bool writeDrawMode(SettingsFile &settings, DrawMode mode);

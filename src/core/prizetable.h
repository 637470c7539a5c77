#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

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
    // Each text's leading number (0 when none).
    static PrizeTable fromTexts(const std::array<QString, 8> &texts);
};

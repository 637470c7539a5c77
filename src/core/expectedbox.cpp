#include "expectedbox.h"

void ExpectedBox::drawn(int slot)
{
    if (m_state && slot >= 1 && slot <= 8 && m_state->mode == DrawMode::ByQuantity)
        --m_state->box[slot - 1];
}

void ExpectedBox::voided(int slot, DrawMode mode)
{
    if (m_state && slot >= 1 && slot <= 8 && mode == DrawMode::ByQuantity)
        ++m_state->box[slot - 1];
}

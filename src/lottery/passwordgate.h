#pragma once

#include <QByteArray>
#include <array>
#include <functional>

class Draw;
class DrawHistory;
class SettingsFile;

// The ways into what is guarded, all behind the settings password: the menu
// entries 奖项设置, 中奖结果 and 公开抽奖. The password is read from
// config.a at every check and kept nowhere. Every opening builds its window afresh and runs it modally
// (through modalwindow::run, so tests answer the windows by its seam).
class PasswordGate
{
public:
    using SlotPictures = std::array<QByteArray, 8>;

    PasswordGate(SettingsFile &settings, DrawHistory &history, Draw &draw,
                 std::function<SlotPictures()> slotPictures);
    PasswordGate(const PasswordGate &) = delete;
    PasswordGate &operator=(const PasswordGate &) = delete;

    // 奖项设置: the password window, and from it the prize settings.
    void openPrizeSettings();
    // 中奖结果: a masked password prompt, then the results window.
    void openResults();
    // The masked password prompt of 中奖结果 and 公开抽奖: true when the
    // password given is the stored one (the operator is told otherwise).
    bool askPassword();

private:
    void openPrizeValuesWindow();

    SettingsFile &m_settings;
    DrawHistory &m_history;
    Draw &m_draw;
    std::function<SlotPictures()> m_slotPictures;
};

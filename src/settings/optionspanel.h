#pragma once

#include "widgets/unsavednotice.h"

#include <QPoint>

class IntervalTimer;
class PictureBox;
class QCheckBox;
class QLineEdit;
class SettingsFile;
class ShapeBox;
class WheelLayout;

// 时钟2 gives 按钮1 the keyboard focus this often while the options panel is
// closed, so the space bar always reaches it.
inline constexpr int kFocusIntervalMs = 200;

// The panel, the options it edits, the result picture it resizes and the
// focus timer it pauses while open.
struct OptionsControls
{
    ShapeBox *optionsPanel = nullptr;
    IntervalTimer *focusTimer = nullptr;
    PictureBox *resultPicture = nullptr;
    QLineEdit *resultWidthEdit = nullptr;
    QLineEdit *resultHeightEdit = nullptr;
    QLineEdit *rollSpeedEdit = nullptr;
    QLineEdit *autoStopEdit = nullptr;
    QLineEdit *wheelSizeEdit = nullptr;
    QCheckBox *effectsDisabledBox = nullptr;
};

// The display options panel 外形框2. Its edit boxes and check box are the
// live settings the roll reads; only Save writes them to config.a.
class OptionsPanel
{
public:
    OptionsPanel(const OptionsControls &controls, SettingsFile &settings, WheelLayout &wheel);

    // Shows the panel above its siblings and stops the focus timer, which
    // would otherwise pull the keyboard focus out of the edit boxes.
    void open();
    // Hides the panel and restarts the focus timer; the edited texts stay.
    void close();
    // The panel follows the mouse until the button is released; its
    // position is not stored.
    void move(QPoint pressPos);
    // Writes the options exactly as typed and applies the result picture's
    // size and the wheel size at once. When the file does not take them they
    // apply all the same, and the operator is told once per run.
    void save();

private:
    OptionsControls m_controls;
    SettingsFile &m_settings;
    WheelLayout &m_wheel;
    UnsavedNotice m_unsaved{QStringLiteral("显示设置")};
};

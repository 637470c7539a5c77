#pragma once

#include "core/config.h"
#include "core/displayoptions.h"
#include "widgets/unsavednotice.h"

#include <QObject>
#include <QPoint>
#include <functional>

class IntervalTimer;
class PictureBox;
class QCheckBox;
class QLineEdit;
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

// The display options panel 外形框2. It edits its own copy of the options:
// what its boxes hold, as typed, is the options in force, and every edit is
// handed on at once (the next roll rolls at a speed typed but not saved).
// Only Save stores them.
class OptionsPanel
{
public:
    using Changed = std::function<void(const DisplayOptions &)>;

    OptionsPanel(const OptionsControls &controls, Config config, WheelLayout &wheel,
                 Changed changed);

    // Puts options into the boxes, as start-up does with the stored ones;
    // they are then the options in force.
    void showOptions(const DisplayOptions &options);
    const DisplayOptions &options() const { return m_options; }

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
    void followBoxes();
    void edited(QString DisplayOptions::*text, const QString &typed);

    OptionsControls m_controls;
    Config m_config;
    WheelLayout &m_wheel;
    Changed m_changed;
    DisplayOptions m_options;
    UnsavedNotice m_unsaved{QStringLiteral("显示设置")};
    QObject m_connections; // the boxes' connections end with the panel
};

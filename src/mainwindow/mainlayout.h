#pragma once

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;
class IntervalTimer;
class Label;
class PictureBox;
class ShapeBox;
class TransparentLabel;

// Typed pointers to every control of the main window, so each component
// receives exactly the controls it works on. The widgets belong to the window.
struct MainControls
{
    QWidget *window = nullptr;

    // Directly on the window
    TransparentLabel *mainTitle = nullptr;     // 透明标签_主标题
    TransparentLabel *subTitle = nullptr;      // 透明标签_副标题
    ShapeBox *wheelFrame = nullptr;            // 外形框1
    PictureBox *resultPicture = nullptr;       // 图片框a_结果
    ShapeBox *optionsPanel = nullptr;          // 外形框2
    Label *hotKeyLabel = nullptr;              // 标签_zd
    TransparentLabel *designationFlag = nullptr; // 透明标签_zd
    IntervalTimer *rollTimer = nullptr;        // 时钟1
    IntervalTimer *autoStopTimer = nullptr;    // 时钟3_自动停止

    // Inside the wheel frame
    PictureBox *face = nullptr;                // 图片框_背景
    QPushButton *startButton = nullptr;        // 按钮1
    IntervalTimer *focusTimer = nullptr;       // 时钟2
    TransparentLabel *startCaption = nullptr;  // 透明标签_开始
    TransparentLabel *stopCaption = nullptr;   // 透明标签_结束
    std::array<PictureBox *, 8> slots{};       // 图片框1 … 图片框8

    // Inside the display options panel
    PictureBox *panelIcon = nullptr;           // 图片框9
    TransparentLabel *panelTitle = nullptr;    // 透明标签1
    Label *panelClose = nullptr;               // 标签8
    QGroupBox *panelGroup = nullptr;           // 分组框1
    Label *panelSizeLabel = nullptr;           // 标签6
    QLineEdit *resultWidthEdit = nullptr;      // 编辑框_奖品图片宽
    Label *panelTimesLabel = nullptr;          // 标签7
    QLineEdit *resultHeightEdit = nullptr;     // 编辑框_奖品图片高
    Label *panelSpeedLabel = nullptr;          // 标签9
    QLineEdit *rollSpeedEdit = nullptr;        // 编辑框_滚动速度
    QCheckBox *effectsDisabledBox = nullptr;   // 选择框_禁用特效
    QLineEdit *autoStopEdit = nullptr;         // 编辑框_自动停止
    Label *panelAutoStopLabel = nullptr;       // 标签1
    QLineEdit *wheelSizeEdit = nullptr;        // 编辑框_转盘大小
    Label *panelWheelSizeLabel = nullptr;      // 标签2
    QPushButton *saveButton = nullptr;         // 按钮_保存
};

// Creates every control of the main window on `window` with its name, kind,
// parent, geometry, initial state, caption and appearance.
MainControls buildMainLayout(QWidget *window);

// Font faces of the design that a Linux machine lacks are mapped to
// installed CJK faces of a similar look. Safe to call more than once.
void installFontSubstitutes();

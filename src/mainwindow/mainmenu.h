#pragma once

#include <array>

class QAction;
class QMenu;
class QWidget;

// The menu 设置 as a tree of actions. It is never shown as a menu bar; the
// right button opens it as a popup.
struct MainMenu
{
    QMenu *root = nullptr;                  // 设置
    QAction *prizeSettings = nullptr;       // 奖项设置
    QAction *otherSettings = nullptr;       // 其它设置
    QAction *enlarge = nullptr;             // 转盘放大 (hidden)
    QAction *mainTitle = nullptr;           // 主标题
    QAction *subTitle = nullptr;            // 副标题
    QAction *results = nullptr;             // 中奖结果
    QMenu *styleMenu = nullptr;             // 转盘样式
    std::array<QAction *, 4> styles{};      // 样式一 … 样式四
    QMenu *fontMenu = nullptr;              // 字体颜色设置
    QAction *mainTitleFont = nullptr;       // 主标题字体
    QAction *subTitleFont = nullptr;        // 副标题字体
    QMenu *backgroundMenu = nullptr;        // 背景图控制
    QAction *replaceBackground = nullptr;   // 更换背景图
    QAction *clearBackground = nullptr;     // 取消背景图
    QMenu *musicMenu = nullptr;             // 背景音乐控制
    QAction *replaceMusic = nullptr;        // 更换背景音乐
    QAction *enableMusic = nullptr;         // 启用背景音乐
    QAction *disableMusic = nullptr;        // 禁用背景音乐
    QMenu *sizeMenu = nullptr;              // 界面大小
    QAction *fullScreen = nullptr;          // 全屏
    QAction *windowed = nullptr;            // 窗口
    QAction *nextScreen = nullptr;          // 移到下一个屏幕 (enabled with two screens or more)
    QAction *publicDraw = nullptr;          // 公开抽奖 (checked: stored as on)
    QAction *help = nullptr;                // 帮助
    QAction *about = nullptr;               // 关于
    QAction *exit = nullptr;                // 退出
};

MainMenu buildMainMenu(QWidget *window);

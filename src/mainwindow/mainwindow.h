#pragma once

#include "core/config.h"
#include "core/draw.h"
#include "core/drawhistory.h"
#include "core/publicdraw.h"
#include "core/settingsfile.h"
#include "mainwindow/mainlayout.h"
#include "mainwindow/mainmenu.h"
#include "widgets/unsavednotice.h"

#include <QWidget>
#include <memory>

class BackgroundMusic;
class BackgroundPicture;
class ElementDragging;
class FontDialog;
class OptionsPanel;
class PendingSaves;
class PictureReplacement;
class GlobalHotKey;
class PrizePictures;
class PublicCaption;
class Roll;
class SecureRandom;
class RollScreen;
class OuterSize;
class QScreen;
class ScreenWatch;
class PasswordGate;
class Sound;
class StatusNotice;
class Titles;
class WheelLayout;
class WinEffects;

// The main window: the titles, the wheel, the result picture, the options
// panel and the popup menu. Its constructor builds the layout and the parts,
// binds every event and starts up: the stored settings applied in the one
// order startUp() lists. What is installed for the whole process (the
// core's files) is main()'s, before the window is made.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    MainWindow(const QString &runDir, std::unique_ptr<Sound> sound, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The hot key Shift+Q: the next landing is on the first ticket.
    void armDesignation();
    // The popup menu at a screen position.
    void openPopup(const QPoint &globalPos);
    // 退出: confirmation, then the program ends with code 0.
    void exitWithConfirmation();
    // The window mode, as the menu's 全屏 and 窗口 set it; stored at once.
    // Whether config.a took it.
    bool setFullScreen();
    bool setWindowed();
    // 移到下一个屏幕: the window goes to the next screen in its mode, and
    // that screen is stored for the next start.
    void moveToNextScreen();

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void tellWhenFilesAreConverted();
    void buildParts(const QString &runDir);
    void bindEvents();
    void bindRoll();
    void bindMenu();
    void bindPopups();
    void bindCustomisation();
    // Start-up: its steps in order (startup.cpp), and the window's own among them.
    void startUp();
    void applyStoredWindowMode();
    void watchScreens();
    // Shift+Q, registered once; never while the public mode is on.
    void registerHotKey();
    void startPublicMode(bool commitNow = false);
    void endPublicMode();
    // 公开抽奖 of the menu: behind the password, the mode switches, stored.
    void switchPublicMode();
    void exitAfterLastSaves();
    void followScreens();
    void layOutOnScreen(QScreen *screen);
    void recordWindowMode(bool windowed);

    SettingsFile m_settings;
    Config m_config{m_settings}; // the settings in it, typed
    DrawHistory m_history;
    Draw m_draw;
    MainControls m_controls;
    MainMenu m_menu;
    std::unique_ptr<Sound> m_sound;
    std::unique_ptr<PrizePictures> m_pictures;
    std::unique_ptr<WheelLayout> m_wheel;
    std::unique_ptr<BackgroundPicture> m_background;
    std::unique_ptr<BackgroundMusic> m_music;
    WinEffects *m_effects = nullptr;
    std::unique_ptr<RollScreen> m_rollView;
    std::unique_ptr<Roll> m_roll;
    std::unique_ptr<PasswordGate> m_gate;
    std::unique_ptr<FontDialog> m_fontDialog; // 通用对话框_字体设置, shared by both titles
    std::unique_ptr<OptionsPanel> m_optionsPanel;
    std::unique_ptr<Titles> m_titles;
    std::unique_ptr<ElementDragging> m_dragging;
    std::unique_ptr<PictureReplacement> m_replacement;
    StatusNotice *m_notice = nullptr; // 标签_保存提示; owned by the window
    std::unique_ptr<PendingSaves> m_pendingSaves;
    GlobalHotKey *m_hotKey = nullptr;
    OuterSize *m_outerSize = nullptr; // the windowed mode's frame; owned by the window
    ScreenWatch *m_screenWatch = nullptr; // owned by the window
    QRect m_laidOutFor; // the screen area the contents were last laid out for
    bool m_closing = false;
    bool m_windowed = false; // the window mode: framed, or full screen
    UnsavedNotice m_windowModeUnsaved{QStringLiteral("界面大小设置")}; // 全屏 and 窗口 of the menu
    // Public mode (公开抽奖=真 at start-up, or switched on from the menu):
    // the keys, in memory only. m_public: the mode in force.
    std::unique_ptr<SecureRandom> m_systemRandom;
    std::unique_ptr<publicdraw::Keys> m_keys;
    PublicCaption *m_publicCaption = nullptr;
    bool m_public = false;
};

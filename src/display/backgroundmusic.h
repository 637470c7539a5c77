#pragma once

#include "widgets/unsavednotice.h"

#include <QString>

class QAction;
class QWidget;
class SettingsFile;
class Sound;

// The roll music: wav/bjyy.mp3 beside the program, switched on and off by
// two menu items whose check marks are the live setting.
class BackgroundMusic
{
public:
    BackgroundMusic(SettingsFile &settings, Sound &sound, QAction *enableItem,
                    QAction *disableItem, QWidget *dialogParent);

    QString folder() const;
    QString path() const;

    void applyStoredSwitch();
    void enable();
    void disable();
    void replace();
    void startForRoll();
    void stop();

private:
    void check(bool on);

    SettingsFile &m_settings;
    Sound &m_sound;
    QAction *m_enableItem;
    QAction *m_disableItem;
    QWidget *m_dialogParent;
    UnsavedNotice m_switchUnsaved{QStringLiteral("背景音乐设置")};
};

#pragma once

#include "core/config.h"
#include "widgets/unsavednotice.h"

#include <QString>

class QAction;
class QWidget;
class Sound;

// The roll music: wav/bjyy.mp3 beside the program, switched on and off by
// two menu items whose check marks follow the live switch.
class BackgroundMusic
{
public:
    BackgroundMusic(Config config, Sound &sound, QAction *enableItem,
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

    Config m_config;
    Sound &m_sound;
    QAction *m_enableItem;
    QAction *m_disableItem;
    QWidget *m_dialogParent;
    bool m_on = false; // the live switch; the stored one is read at start-up
    UnsavedNotice m_switchUnsaved{QStringLiteral("背景音乐设置")};
};

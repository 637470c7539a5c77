#pragma once

// The platform's real player, made the way the program makes it, with the
// same two observers on both platforms: Qt Multimedia on Linux, PlaySound and
// MCI on Windows.
#include <QtGlobal>

#include <memory>

#if defined(Q_OS_WIN)
#include "platform/winsound.h"

#include <windows.h>
#include <mmsystem.h>

using PlatformSound = WinSound;

inline std::unique_ptr<PlatformSound> makePlatformSound() { return std::make_unique<WinSound>(); }
inline bool hasAudioOutput() { return waveOutGetNumDevs() > 0; }
#else
#include "platform/qtsound.h"

#include <QMediaDevices>

using PlatformSound = QtSound;

inline std::unique_ptr<PlatformSound> makePlatformSound()
{
    return std::make_unique<QtSound>(QMediaDevices::defaultAudioOutput());
}
inline bool hasAudioOutput() { return !QMediaDevices::defaultAudioOutput().isNull(); }
#endif

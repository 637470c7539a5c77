#pragma once

// The platform's real player with the same observers on both platforms:
// Qt Multimedia on Linux, on no output device, so that every machine gives
// the same result; PlaySound and MCI on Windows.
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

#include <QAudioDevice>

using PlatformSound = QtSound;

inline std::unique_ptr<PlatformSound> makePlatformSound()
{
    return std::make_unique<QtSound>(QAudioDevice());
}
#endif

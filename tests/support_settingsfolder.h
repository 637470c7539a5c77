#pragma once

#include "core/settingsfile.h"
#include "core/wholefile.h"
#include "platform/gbkcodec.h"

#include <QTemporaryDir>

// A fresh temporary run folder with its settings: config.a and jieguo.a are
// made there by the first write, as on a first run.
class SettingsFolder
{
public:
    SettingsFolder()
        : m_settings(m_dir.path(), gbkCodec())
    {
    }

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    SettingsFile &settings() { return m_settings; }

    // A data file as it is on disk; empty when it is missing.
    QByteArray bytes(DataFile file) const { return readWholeFile(m_settings.path(file)); }

private:
    QTemporaryDir m_dir;
    SettingsFile m_settings;
};

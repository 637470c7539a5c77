#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// Benchmarks of the windows run on an offscreen screen of 1920 × 1080, the
// size of a projector. Keep the object alive until the application ends.
class ProjectorScreen
{
public:
    ProjectorScreen()
    {
        if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            return;
        QFile config(m_dir.filePath(QStringLiteral("screen.json")));
        config.open(QIODevice::WriteOnly);
        config.write(R"({"screens": [{"name": "projector", "x": 0, "y": 0, "width": 1920, "height": 1080,
                        "logicalDpi": 96, "logicalDpiX": 96, "logicalDpiY": 96}]})");
        config.close();
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.fileName()).toUtf8());
    }

private:
    QTemporaryDir m_dir;
};

#pragma once

#include "platform/gbkcodec.h"
#include "support_fakesound.h"
#include "mainwindow/mainwindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

// A temporary run folder with data files written as GBK, and a main window
// built on it with a silent sound.
class RunFolder
{
public:
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

    // Writes `text` (UTF-8 in the test's source) to `name` in GBK.
    void writeGbk(const QString &name, const QString &text) const
    {
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(gbkCodec().encode(text));
    }

    void writeBytes(const QString &name, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(file(name)).absolutePath());
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }

    QString readGbk(const QString &name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? gbkCodec().decode(f.readAll()) : QString();
    }

    // Builds the window; `sound` stays valid as long as the window does.
    std::unique_ptr<MainWindow> openWindow(FakeSound **sound = nullptr) const
    {
        auto fake = std::make_unique<FakeSound>();
        if (sound)
            *sound = fake.get();
        return std::make_unique<MainWindow>(path(), std::move(fake));
    }

private:
    QTemporaryDir m_dir;
};

// The value of `key` in the run folder's config.a, or null when absent.
inline QString storedValue(const RunFolder &run, const QString &key)
{
    const QStringList lines = run.readGbk(QStringLiteral("config.a")).split(QStringLiteral("\r\n"));
    for (const QString &line : lines)
        if (line.startsWith(key + u'='))
            return line.mid(key.size() + 1);
    return {};
}

// A run folder ready to draw: by probability with the start-up defaults and
// a "picture" per slot (bytes naming the slot: a roll only carries them);
// `extra` is more INI text, sections included, written after that.
inline void prepareDrawable(const RunFolder &run, const QString &extra = {})
{
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n") + extra);
    for (int slot = 1; slot <= 8; ++slot)
        run.writeBytes(QStringLiteral("奖品图片/%1.jpg").arg(slot), QByteArray("picture ") + QByteArray::number(slot));
}

// The win count of `slot` as jieguo.a holds it, read here rather than by the
// program's own reader; 0 when it is not there.
inline int storedCount(const RunFolder &run, int slot)
{
    const QString text = run.readGbk(QStringLiteral("jieguo.a"));
    const QString key = QStringLiteral("j%1=").arg(slot);
    const int at = text.indexOf(key);
    return at < 0 ? 0 : text.mid(at + key.size()).section(QStringLiteral("\r\n"), 0, 0).toInt();
}

// The wins of all eight slots together.
inline int storedWins(const RunFolder &run)
{
    int total = 0;
    for (int slot = 1; slot <= 8; ++slot)
        total += storedCount(run, slot);
    return total;
}

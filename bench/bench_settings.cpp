// One key read and one key written in a settings file of 200 keys, beside a
// straightforward implementation that decodes the whole file to text and
// splits it into lines.

#include "core/inidocument.h"
#include "core/keys.h"
#include "core/settingsfile.h"
#include "platform/gbkcodec.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kKeys = 200;

QByteArray sampleFile()
{
    QString text = u"[zbt]\r\n"_qs;
    for (int i = 0; i < kKeys; ++i)
        text += u"键" + QString::number(i) + u"=值" + QString::number(i * 7) + u"\r\n";
    return gbkCodec().encode(text);
}

// A folder holding config.a with 200 keys; the key looked at is the last.
struct Fixture
{
    QTemporaryDir dir;
    SettingsFile settings{dir.path(), gbkCodec()};
    QString key = u"键" + QString::number(kKeys - 1);

    Fixture()
    {
        QFile file(settings.path(DataFile::Config));
        if (file.open(QIODevice::WriteOnly))
            file.write(sampleFile());
    }
};

// The naive way: the whole file as text, split into lines, each trimmed
// and cut at "=".
QStringList naiveLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return gbkCodec().decode(file.readAll()).split(u'\n');
}

QString naiveRead(const QString &path, const QString &section, const QString &key)
{
    bool inSection = false;
    for (const QString &raw : naiveLines(path)) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inSection && equals > 0
            && line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

bool naiveWrite(const QString &path, const QString &key, const QString &value)
{
    QStringList lines = naiveLines(path);
    for (QString &line : lines) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            line = key + u'=' + value + u'\r';
            break;
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(gbkCodec().encode(lines.join(u'\n'))) >= 0;
}

void BM_ReadKey(benchmark::State &state)
{
    Fixture fixture;
    for (auto _ : state)
        benchmark::DoNotOptimize(fixture.settings.readSetting(fixture.key));
}
BENCHMARK(BM_ReadKey);

void BM_ReadKey_NaiveBaseline(benchmark::State &state)
{
    Fixture fixture;
    const QString path = fixture.settings.path(DataFile::Config);
    for (auto _ : state)
        benchmark::DoNotOptimize(naiveRead(path, u"zbt"_qs, fixture.key));
}
BENCHMARK(BM_ReadKey_NaiveBaseline);

// Locked, atomic and durable: the lock file, a temporary file, its flush to
// disk and the rename all count.
void BM_WriteKey(benchmark::State &state)
{
    Fixture fixture;
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(fixture.settings.writeSetting(fixture.key, QString::number(++i)));
}
BENCHMARK(BM_WriteKey)->Unit(benchmark::kMicrosecond);

// Rewrites the file in place: no lock, and a crash can leave it torn.
void BM_WriteKey_NaiveBaseline(benchmark::State &state)
{
    Fixture fixture;
    const QString path = fixture.settings.path(DataFile::Config);
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(naiveWrite(path, fixture.key, QString::number(++i)));
}
BENCHMARK(BM_WriteKey_NaiveBaseline)->Unit(benchmark::kMicrosecond);

// Saving the eight prize values (奖项设置 确定) in one locked rewrite.
void BM_SaveEightKeys(benchmark::State &state)
{
    Fixture fixture;
    int i = 0;
    for (auto _ : state) {
        QList<std::pair<QStringView, QString>> entries;
        for (const QStringView key : keys::kPrizeValue)
            entries.append({key, QString::number(++i)});
        benchmark::DoNotOptimize(fixture.settings.writeMany(DataFile::Config, keys::kZbt, entries));
    }
}
BENCHMARK(BM_SaveEightKeys)->Unit(benchmark::kMicrosecond);

// The same key by key: eight locks, reads and synced replaces.
void BM_SaveEightKeys_KeyByKeyBaseline(benchmark::State &state)
{
    Fixture fixture;
    int i = 0;
    for (auto _ : state) {
        for (const QStringView key : keys::kPrizeValue)
            benchmark::DoNotOptimize(fixture.settings.writeSetting(key, QString::number(++i)));
    }
}
BENCHMARK(BM_SaveEightKeys_KeyByKeyBaseline)->Unit(benchmark::kMicrosecond);

// The lookup alone, without the file system.
void BM_LookUpInMemory(benchmark::State &state)
{
    const QByteArray text = sampleFile();
    const QByteArray key = gbkCodec().encode(u"键199");
    for (auto _ : state)
        benchmark::DoNotOptimize(IniDocument(text).value("zbt", key));
}
BENCHMARK(BM_LookUpInMemory);

void BM_LookUpInMemory_NaiveBaseline(benchmark::State &state)
{
    const QByteArray text = sampleFile();
    const QString key = u"键199"_qs;
    for (auto _ : state) {
        QString found;
        for (const QString &line : gbkCodec().decode(text).split(u'\n')) {
            const qsizetype equals = line.indexOf(u'=');
            if (equals > 0 && line.left(equals).trimmed() == key) {
                found = line.mid(equals + 1).trimmed();
                break;
            }
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_LookUpInMemory_NaiveBaseline);

} // namespace

BENCHMARK_MAIN();

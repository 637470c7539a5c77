// The two checkers, lunora-verify's (historycheck, in this process and as
// the program) and tools/verify_history.py, on 1,200 mutations of real
// histories: the same text, the same exit status, no crash, on every file.
#include "support_publiclines.h"
#include "support_publicrun.h"

#include "core/historycheck.h"
#include "core/historyfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

#include <random>

namespace {

constexpr int kFiles = 1200;

// Histories the program's own code writes (design wins, a designated one, a
// clearing, commitments, public draws, a prize value that needs quotes, a
// torn line), and one with every later kind of line.
QList<QByteArray> realHistories(const QString &dir)
{
    QList<QByteArray> bases;
    QDir().mkpath(dir + u"/a");
    QDir().mkpath(dir + u"/b");
    {
        Event event(dir + u"/a");
        event.settings.writeSetting(keys::kPrizeValue[2], u"10件, \"大\"奖"_qs);
        event.land(true);
        event.land();
        event.history.resetAll();
        event.goPublic();
        for (int i = 0; i < 5; ++i)
            event.land();
        QFile file(event.history.path());
        if (file.open(QIODevice::Append))
            file.write("2026-12-07 15:03:12,4,12,按数量,1,否,7,3 6 9");
        file.close();
        event.land();
        bases.append(readWholeFile(event.history.path()));
    }
    PublicLines lines(dir + u"/b/" + history::kFileName);
    const QString q = u"按数量"_qs, p = u"按概率"_qs;
    publicdraw::Box box{3, 3, 3, 3, 3, 3, 3, 3};
    lines.commit(q, box);
    for (int i = 0; i < 3; ++i)
        --box[lines.draw(q, box) - 1];
    lines.boxSet(q, {4, 0, 4, 0, 4, 0, 4, 0});
    const int slot = lines.draw(q, {4, 0, 4, 0, 4, 0, 4, 0});
    lines.voidWin(slot, q, 4, {4, 0, 4, 0, 4, 0, 4, 0});
    lines.publicEnd();
    lines.designWin(5);
    lines.commit(p, {1, 2, 3, 4, 5, 6, 7, 8}, 9);
    lines.draw(p, {1, 2, 3, 4, 5, 6, 7, 8});
    bases.append(readWholeFile(dir + u"/b/" + history::kFileName));
    return bases;
}

// Every check computed again, as whoever edits a file before its checks
// are made public can do: the mutation then meets the grammar and the
// draws' own checks, not only the chain.
QByteArray rechained(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    QByteArray previous;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        QByteArray &line = lines[i];
        const qsizetype comma = line.lastIndexOf(',');
        if (!line.endsWith('\r') || comma < 0 || line.endsWith(QByteArray(history::kTornMark.toUtf8() + '\r')))
            continue;
        previous = history::chainCheck(previous, line.first(comma));
        line = line.first(comma) + ',' + previous + '\r';
    }
    return lines.join('\n');
}

class Mutator
{
public:
    explicit Mutator(unsigned seed) : m_random(seed) {}
    int below(int n) { return int(m_random() % unsigned(std::max(n, 1))); }
    QByteArray mutate(QByteArray bytes);

private:
    QByteArray cellReplaced(const QByteArray &bytes);
    std::mt19937 m_random;
};

QByteArray Mutator::cellReplaced(const QByteArray &bytes)
{
    static const QList<QByteArray> kValues = {
        "", "0", "-1", "01", "1 2 3", "按概率", "是", "作废", "设置", "承诺", "公开抽奖结束", "清空中奖",
        QByteArray(64, '0'), QByteArray(64, 'A'), "0 0 0 0 0 0 0 0", "9 9 9 9 9 9 9 9", "2026-02-30 10:00:00",
        "2026-03-08 02:30:00", "2026-12-07 15:03:1\xEF\xBC\x92", "\xEF\xBC\x91", "1e+13", "3.5", "10000",
        "10001", "1765000000000", "\"a,b\"", "\"\"", "a\"b", " 1", "99999999999999999999"};
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 3)
        return bytes;
    QByteArray &line = lines[1 + below(int(lines.size()) - 2)];
    QList<QByteArray> cells = line.split(',');
    cells[below(int(cells.size()) - 1)] = kValues[below(int(kValues.size()))];
    line = cells.join(',');
    return lines.join('\n');
}

QByteArray Mutator::mutate(QByteArray bytes)
{
    static const QList<QByteArray> kBytes = {"\"", ",", "\r", "\n", "\xFF", "\xC0\x80", "\xED\xA0\x80",
                                            "\xF4\x90\x80\x80", "\xE6\x8C", " ", "0", "a", "\r\n", "\x00"};
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 3) // cut to its header already
        return bytes + kBytes[below(int(kBytes.size()))];
    const int at = below(int(bytes.size()));
    const int line = 1 + below(int(lines.size()) - 2);
    switch (below(10)) {
    case 0:
        bytes[at] = char(bytes[at] ^ (1 + below(255)));
        return bytes;
    case 1:
        return bytes.remove(at, 1 + below(3));
    case 2:
        return bytes.insert(at, kBytes[below(int(kBytes.size()))]);
    case 3:
        return bytes.left(at);
    case 4:
        lines.removeAt(line);
        return lines.join('\n');
    case 5:
        lines.insert(line, lines[line]);
        return lines.join('\n');
    case 6:
        if (line + 2 < lines.size())
            lines.swapItemsAt(line, line + 1);
        return lines.join('\n');
    case 7: // a line cut short and ended as torn, or left unfinished
        lines[line] = lines[line].left(below(int(lines[line].size())))
            + (below(2) ? ',' + history::kTornMark.toUtf8() + '\r' : QByteArray());
        return lines.join('\n');
    default:
        return cellReplaced(bytes);
    }
}

struct Verdict
{
    int exitCode = -1;
    QString text;
};

// verify_history.py's check() on every file, in one process.
QList<Verdict> pythonVerdicts(const QStringList &paths, const QList<bool> &publicOnly)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    QProcess process;
    process.setWorkingDirectory(QStringLiteral(LUNORA_SOURCE_DIR "/tools"));
    process.start(python, {QStringLiteral("-c"), QStringLiteral(
        "import sys, traceback, verify_history as v\n"
        "for item in sys.stdin.read().split('\\n')[:-1]:\n"
        "    flag, path = item.split(' ', 1)\n"
        "    try:\n"
        "        text, status = v.check(open(path, 'rb').read(), flag == '1')\n"
        "    except Exception:\n"
        "        text, status = 'CRASH ' + traceback.format_exc(), 3\n"
        "    sys.stdout.buffer.write(('%d\\x1f%s\\x1e' % (status, text)).encode())\n")});
    QByteArray input;
    for (qsizetype i = 0; i < paths.size(); ++i)
        input += (publicOnly[i] ? "1 " : "0 ") + paths[i].toUtf8() + '\n';
    process.write(input);
    process.closeWriteChannel();
    QList<Verdict> verdicts;
    if (!process.waitForFinished(120000))
        return verdicts;
    for (const QByteArray &record : process.readAllStandardOutput().split('\x1e')) {
        const qsizetype sep = record.indexOf('\x1f');
        if (sep > 0)
            verdicts.append({record.first(sep).toInt(), QString::fromUtf8(record.sliced(sep + 1))});
    }
    return verdicts;
}

} // namespace

class TestHistoryCorpus : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bothCheckersAgreeOnEveryMutation();
};

void TestHistoryCorpus::bothCheckersAgreeOnEveryMutation()
{
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        QSKIP("no python3 (under Wine)");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QList<QByteArray> bases = realHistories(dir.path());
    for (const QByteArray &base : bases)
        QVERIFY2(historycheck::check(base).ok(), qPrintable(historycheck::check(base).text()));
    Mutator mutator(20261207);
    QStringList paths;
    QList<bool> publicOnly;
    QList<historycheck::Report> reports;
    for (int i = 0; i < kFiles; ++i) {
        QByteArray bytes = bases[i % bases.size()];
        for (int m = 1 + mutator.below(2); m > 0; --m)
            bytes = mutator.mutate(bytes);
        if (mutator.below(3) > 0)
            bytes = rechained(bytes);
        paths.append(dir.filePath(QStringLiteral("%1.csv").arg(i)));
        QFile file(paths.last());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        publicOnly.append(mutator.below(4) == 0);
        reports.append(historycheck::check(bytes, {publicOnly.last()}));
    }
    const QList<Verdict> python = pythonVerdicts(paths, publicOnly);
    QCOMPARE(python.size(), kFiles);
    QSet<QString> failures;
    int passed = 0;
    for (int i = 0; i < kFiles; ++i) {
        const QString what = QStringLiteral("%1: %2").arg(paths[i], python[i].text);
        QVERIFY2(python[i].text == reports[i].text(), qPrintable(what + u"\nvs\n"_qs + reports[i].text()));
        QVERIFY2(python[i].exitCode == (reports[i].ok() ? 0 : 1), qPrintable(what));
        passed += reports[i].ok();
        failures.insert(reports[i].failure.left(30));
    }
    qInfo("%d of %d files pass; %d kinds of failure", passed, kFiles, int(failures.size()));
    // The corpus reaches far past the chain: files that pass, and many
    // different failures.
    QVERIFY2(passed > kFiles / 10 && failures.size() >= 15, qPrintable(QStringList(failures.values()).join(u'\n')));
    // The program itself prints what its check found, on a sample.
    for (int i = 0; i < kFiles; i += 97) {
        QProcess verify;
        verify.start(QStringLiteral(LUNORA_VERIFY), (publicOnly[i] ? QStringList{u"--public"_qs} : QStringList()) << paths[i]);
        QVERIFY(verify.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(verify.readAllStandardOutput()).remove(u'\r'), reports[i].text());
        QCOMPARE(verify.exitCode(), reports[i].ok() ? 0 : 1);
    }
}

QTEST_GUILESS_MAIN(TestHistoryCorpus)
#include "test_historycorpus.moc"

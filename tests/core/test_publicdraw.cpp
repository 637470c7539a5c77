// The public draw and the chained history, checked as an outsider would:
// the protocol against vectors computed apart (Python's hmac and hashlib),
// and every history the program writes run through both checkers,
// lunora-verify and tools/verify_history.py, which must agree.
#include "support_publiclines.h"
#include "support_publicrun.h"
#include "support_settingsfolder.h"

#include "core/draw.h"
#include "core/drawhistory.h"
#include "core/historycheck.h"
#include "core/historyfile.h"
#include "core/keys.h"
#include "core/publicdraw.h"
#include "core/securerandom.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

const QByteArray kHeader = "\xEF\xBB\xBF时间,奖项,奖品数值,抽奖方式,已中奖数量,指定,序号,票箱,停止时刻,票号,公开,校验\r\n";

struct Outcome
{
    int exitCode = -1;
    QString text;
};

Outcome runProgram(const QString &program, const QStringList &args, const QString &zone = {})
{
    QProcess process;
    if (!zone.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TZ"), zone);
        process.setProcessEnvironment(env);
    }
    process.start(program, args);
    if (!process.waitForFinished(60000))
        return {};
    // A console program's text ends its lines with CRLF on Windows.
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).remove(u'\r')};
}

} // namespace

class TestPublicDraw : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void protocolMatchesFixedVectors_data();
    void protocolMatchesFixedVectors();
    void chainMatchesFixedVectors();
    void checkersRecomputeFixedVectors_data();
    void checkersRecomputeFixedVectors();
    void historyVerifiesInBothCheckers();
    void everyKindOfTamperingFails_data();
    void everyKindOfTamperingFails();
    void tornLineMidChainStaysOutside();
    void killRightAfterALandingLeavesItVerifiable();
    void cutLastLineThenAnAppend_data();
    void cutLastLineThenAnAppend();
    void recordOfEveryKindIsListed();
    void recordEditsFail_data();
    void recordEditsFail();

private:
    QString historyPath() const { return m_dir->filePath(history::kFileName.toString()); }
    // Both checkers on the file: they must agree, and the program's own
    // checker in this process with them.
    Outcome verify(const QStringList &options = {}, const QString &zone = {});
    void rewrite(const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPublicDraw::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

Outcome TestPublicDraw::verify(const QStringList &options, const QString &zone)
{
    const Outcome verifier = runProgram(QStringLiteral(LUNORA_VERIFY), options + QStringList{historyPath()}, zone);
    const historycheck::Report report
        = historycheck::check(readWholeFile(historyPath()), {options.contains(u"--public"_qs)});
    [&] {
        QCOMPARE(verifier.text, report.text());
        QCOMPARE(verifier.exitCode, report.ok() ? 0 : 1);
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty()) { // under Wine
            qInfo("no python3: tools/verify_history.py not compared");
            return;
        }
        const Outcome tool = runProgram(
            python, QStringList{QStringLiteral(LUNORA_SOURCE_DIR "/tools/verify_history.py")} + options + QStringList{historyPath()},
            zone);
        QCOMPARE(tool.text, verifier.text);
        QCOMPARE(tool.exitCode, verifier.exitCode);
    }();
    return verifier;
}

void TestPublicDraw::rewrite(const QByteArray &bytes)
{
    QFile file(historyPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Computed with Python: hmac.new(key, msg, hashlib.sha256), key 00 01 … 1f.
void TestPublicDraw::protocolMatchesFixedVectors_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QList<qint64>>("box");
    QTest::addColumn<qint64>("moment");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<qint64>("ticket");
    QTest::addColumn<int>("slot");
    QTest::newRow("the issue's") << qint64(1) << QList<qint64>{1, 2, 4, 8, 10, 15, 20, 50} << qint64(1765000000000)
                                 << QByteArray("n=1;box=1,2,4,8,10,15,20,50;ms=1765000000000") << qint64(56) << 7;
    const qint64 m = 2147483647;
    QTest::newRow("largest box") << qint64(9999) << QList<qint64>{m, m, m, m, m, m, m, m} << qint64(0)
                                 << QByteArray("n=9999;box=2147483647,2147483647,2147483647,2147483647,"
                                               "2147483647,2147483647,2147483647,2147483647;ms=0")
                                 << qint64(15780407707) << 8;
    QTest::newRow("one ticket") << qint64(2) << QList<qint64>{0, 0, 0, 0, 0, 0, 0, 1} << qint64(1)
                                << QByteArray("n=2;box=0,0,0,0,0,0,0,1;ms=1") << qint64(1) << 8;
    // Microseconds: any moment of more than 13 digits.
    QTest::newRow("microseconds") << qint64(1) << QList<qint64>{1, 2, 4, 8, 10, 15, 20, 50}
                                  << qint64(1765000000123456)
                                  << QByteArray("n=1;box=1,2,4,8,10,15,20,50;us=1765000000123456") << qint64(66)
                                  << 8;
    QTest::newRow("14 digits") << qint64(3) << QList<qint64>{0, 5, 0, 0, 0, 0, 0, 2} << qint64(10000000000000)
                               << QByteArray("n=3;box=0,5,0,0,0,0,0,2;us=10000000000000") << qint64(1) << 2;
}

void TestPublicDraw::protocolMatchesFixedVectors()
{
    QFETCH(qint64, n);
    QFETCH(QList<qint64>, box);
    QFETCH(qint64, moment);
    QFETCH(QByteArray, message);
    QFETCH(qint64, ticket);
    QFETCH(int, slot);
    QByteArray key;
    for (int i = 0; i < 32; ++i)
        key += char(i);
    publicdraw::Box b{};
    std::copy(box.begin(), box.end(), b.begin());
    QCOMPARE(publicdraw::message(n, b, moment), message);
    const publicdraw::Ticket t = publicdraw::ticketOf(key, n, b, moment);
    QCOMPARE(t.ticket, ticket);
    QCOMPARE(t.slot, slot);
    QCOMPARE(publicdraw::previousKey(key).toHex(),
             QByteArray("630dcd2966c4336691125448bbb25b4ff412a49c732db2c8abc1b8581bd710dd"));
}

// hashlib.sha256(previous + body).hexdigest()
void TestPublicDraw::chainMatchesFixedVectors()
{
    QCOMPARE(history::chainCheck({}, "abc"),
             QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    QCOMPARE(history::chainCheck(QByteArray("ab").repeated(32), "x,y"),
             QByteArray("d951186d78dd094182e9bc8a8d981ec6428f0e393e8c48c4a990d9a4d4c85e3c"));
}

void TestPublicDraw::checkersRecomputeFixedVectors_data()
{
    QTest::addColumn<QString>("moment");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("ticket");
    QTest::addColumn<int>("exitCode");
    // Computed with Python, as above; "us=" when 停止时刻 has more than 13 digits.
    QTest::newRow("us=") << u"1765000000000000"_qs << 8 << u"101"_qs << 0;
    QTest::newRow("ms=, an earlier line") << u"1765000000000"_qs << 7 << u"56"_qs << 0;
    QTest::newRow("us=, another ticket") << u"1765000000000000"_qs << 8 << u"100"_qs << 1;
}

// Draw 1 of the vector above on a commitment whose K0 is SHA-256 of that
// key, in a file, through both checkers.
void TestPublicDraw::checkersRecomputeFixedVectors()
{
    QFETCH(QString, moment);
    QFETCH(int, slot);
    QFETCH(QString, ticket);
    QFETCH(int, exitCode);
    QByteArray key;
    for (int i = 0; i < 32; ++i)
        key += char(i);
    const QString box = u"1 2 4 8 10 15 20 50"_qs;
    QVERIFY(history::append(historyPath(), "2026-12-07 15:03:12,承诺,,按概率,,,," + box.toUtf8() + ",,,"
                                               + publicdraw::previousKey(key).toHex())
                .isEmpty());
    const QStringList draw{u"2026-12-07 15:03:13"_qs, QString::number(slot), u"1"_qs, u"按概率"_qs, u"1"_qs,
                           u"否"_qs, u"1"_qs, box, moment, ticket, QString::fromLatin1(key.toHex())};
    QVERIFY(history::append(historyPath(), draw.join(u',').toUtf8()).isEmpty());
    const Outcome outcome = verify();
    QCOMPARE(outcome.exitCode, exitCode);
    QVERIFY2(outcome.text.contains(exitCode == 0 ? u"public draws verified: 1\n"_qs
                                                 : u"FAILED at line 3: the ticket does not follow"_qs),
             qPrintable(outcome.text));
}

// A file from before the chain keeps its header and lines; the chain starts
// at its first new line, and the counts of both are looked at. A designated draw says 是, the next 否; a clearing
// and the commitment after it, then three public draws, all verify.
void TestPublicDraw::historyVerifiesInBothCheckers()
{
    const QByteArray before = "\xEF\xBB\xBF时间,奖项,奖品数值,抽奖方式,已中奖数量\r\n"
                              "2026-12-06 10:00:00,1,9,按数量,1\r\n";
    rewrite(before);
    Event event(m_dir->path());
    QCOMPARE(event.land(true), 1); // the first ticket
    QVERIFY(event.land(false) != 0);
    QVERIFY(event.history.resetAll());
    event.goPublic();
    for (int i = 0; i < 3; ++i)
        QVERIFY(event.land(true) != 0); // designation has no effect here
    const QByteArray bytes = readWholeFile(historyPath());
    QVERIFY(bytes.startsWith(before));
    const QList<history::Line> lines = history::lines(bytes);
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines[1].cells->at(5), u"是"_qs);
    QCOMPARE(lines[2].cells->at(5), u"否"_qs);
    QCOMPARE(lines[3].cells->at(1), u"清空中奖"_qs);
    QCOMPARE(lines[4].cells->at(1), u"承诺"_qs);
    QCOMPARE(lines[7].cells->at(6), u"3"_qs);
    QCOMPARE(lines[7].cells->at(5), u"否"_qs);

    const Outcome outcome = verify();
    QCOMPARE(outcome.exitCode, 0);
    // The old line's count is not in this jieguo.a: listed, not failed.
    QCOMPARE(outcome.text, u"line 3: slot 1 count started again at 1 with no clearing\n"_qs
                               u"lines chained: 7\npublic draws verified: 3\ndesignated wins: 1\n"
                               u"design-mode wins: 3\n设置 lines: 0\n作废 lines: 0\n公开抽奖结束 lines: 0\n"
                               u"torn lines: 0\ncommitment: "_qs
                               + lines[4].cells->at(10).left(16) + u"\nlast check: "_qs
                               + lines[7].cells->at(11).left(16) + u'\n');
}

// Each cell of a public draw changed, the chain left as it is, and changes
// whose whole chain was recomputed after them (what someone editing the
// file before any check was made public could do): the draw's own cells
// still give them away.
void TestPublicDraw::everyKindOfTamperingFails_data()
{
    QTest::addColumn<int>("cell"); // 0-based; -1: the line removed; 99: the public cells emptied
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("rechain");
    QTest::addColumn<QString>("failure");
    const QString chain = QStringLiteral("the check cell does not match the chain");
    const char *names[] = {"时间", "奖项", "奖品数值", "抽奖方式", "已中奖数量", "指定",
                           "序号", "票箱", "停止时刻", "票号", "公开", "校验"};
    const QString values[] = {u"2026-12-07 15:03:13"_qs, u"9"_qs, u"99"_qs, u"按概率"_qs, u"7"_qs, u"是"_qs,
                              u"3"_qs, u"1 2 3 4 5 6 7 8"_qs, u"1765000000000001"_qs, u"0"_qs,
                              QString(64, u'0'), QString(64, u'0')};
    for (int cell = 0; cell < 12; ++cell)
        QTest::addRow("%s", names[cell]) << cell << values[cell] << false << chain;
    QTest::newRow("奖项, rechained") << 1 << u"8"_qs << true << u"the slot does not follow from the ticket"_qs;
    QTest::newRow("票箱, rechained") << 7 << u"100 0 0 0 0 0 0 0"_qs << true
                                     << u"the box is not the one the record expects: "_qs;
    QTest::newRow("停止时刻, rechained") << 8 << u"1765000000000001"_qs << true
                                         << u"the ticket does not follow from the key, box and moment"_qs;
    QTest::newRow("公开, rechained") << 10 << QString(64, u'a') << true
                                     << u"the key does not hash to the previous key"_qs;
    QTest::newRow("指定, rechained") << 5 << u"是"_qs << true << u"a public draw marked as designated"_qs;
    QTest::newRow("line removed, rechained") << -1 << QString() << true
                                             << u"draw number 3 after 1: a draw is missing"_qs;
    QTest::newRow("public cells emptied, rechained") << 99 << QString() << true
                                                     << u"a win after a commitment that is not a public draw"_qs;
}

void TestPublicDraw::everyKindOfTamperingFails()
{
    QFETCH(int, cell);
    QFETCH(QString, value);
    QFETCH(bool, rechain);
    QFETCH(QString, failure);
    {
        Event event(m_dir->path());
        event.goPublic();
        for (int i = 0; i < 3; ++i)
            QVERIFY(event.land() != 0);
    }
    QList<QByteArray> lines = readWholeFile(historyPath()).split('\n');
    const int target = 2; // 0-based: header, 承诺, draw 1, draw 2 (file line 4), draw 3
    QStringList cells = QString::fromUtf8(lines[target + 1].chopped(1)).split(u',');
    if (cell == 99) {
        for (int i = 6; i <= 10; ++i)
            cells[i].clear();
    } else if (cell >= 0) {
        if (cells[cell] == value && cell == 1)
            value = u"1"_qs; // another slot than the drawn one
        QVERIFY(cells[cell] != value);
        cells[cell] = value;
    }
    lines[target + 1] = cells.join(u',').toUtf8() + '\r';
    if (cell < 0)
        lines.removeAt(target + 1);
    if (rechain) {
        QByteArray previous;
        for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
            QByteArray &line = lines[i];
            const QByteArray body = line.first(line.lastIndexOf(','));
            previous = history::chainCheck(previous, body);
            line = body + ',' + previous + '\r';
        }
    }
    rewrite(lines.join('\n'));
    const Outcome outcome = verify();
    QCOMPARE(outcome.exitCode, 1);
    // A removed line also shows as a count that rose by two: listed first.
    QVERIFY2(outcome.text.contains(u"FAILED at line 4: "_qs + failure), qPrintable(outcome.text));
}

// A power cut mid-line between two draws: the cut line is ended as torn,
// stays outside the chain, and the next line chains to the last whole one.
void TestPublicDraw::tornLineMidChainStaysOutside()
{
    Event event(m_dir->path());
    event.goPublic();
    QVERIFY(event.land() != 0);
    QFile file(historyPath());
    QVERIFY(file.open(QIODevice::Append));
    QVERIFY(file.write("2026-12-07 15:03:12,4,12,按数量,1,否,2,3 6 9") > 0);
    file.close();
    QVERIFY(event.land() != 0);
    QVERIFY(event.land() != 0);
    const QList<history::Line> lines = history::lines(readWholeFile(historyPath()));
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[2].torn);
    const Outcome outcome = verify();
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY2(outcome.text.startsWith(u"line 4: torn\nlines chained: 4\npublic draws verified: 3\n"_qs),
             qPrintable(outcome.text));
}

// A copy of this test, started with "--land", draws one public landing and
// is killed by SIGKILL the moment its line is written: that draw verifies
// from the file alone, and the next start commits anew.
void TestPublicDraw::killRightAfterALandingLeavesItVerifiable()
{
#ifdef Q_OS_UNIX
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--land"), m_dir->path()});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    Outcome outcome = verify();
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY2(outcome.text.contains(u"public draws verified: 1\n"_qs), qPrintable(outcome.text));
    Event next(m_dir->path());
    next.goPublic();
    QVERIFY(next.land() != 0);
    outcome = verify();
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY2(outcome.text.contains(u"public draws verified: 2\n"_qs), qPrintable(outcome.text));
    QCOMPARE(outcome.text.count(u"commitment: "_qs), 2);
#else
    QSKIP("needs SIGKILL");
#endif
}

void TestPublicDraw::cutLastLineThenAnAppend_data()
{
    QTest::addColumn<int>("cut");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("its line end") << 2 << 0;
    QTest::newRow("its line feed") << 1 << 0;
    QTest::newRow("into its check") << 10 << 1;
}

// A cut that leaves a whole record is ended at the next append, not voided;
// a cut into the check leaves a draw the audience saw with no line that
// verifies: a failure, named by that line.
void TestPublicDraw::cutLastLineThenAnAppend()
{
    QFETCH(int, cut);
    QFETCH(int, exitCode);
    Event event(m_dir->path());
    event.goPublic();
    for (int i = 0; i < 3; ++i)
        QVERIFY(event.land() != 0);
    const QByteArray whole = readWholeFile(historyPath());
    rewrite(whole.chopped(cut));
    QVERIFY(event.land() != 0);
    const QByteArray after = readWholeFile(historyPath());
    QCOMPARE(after.startsWith(whole), exitCode == 0);
    QCOMPARE(after.contains(history::kTornMark.toUtf8()), exitCode == 1);
    const Outcome outcome = verify();
    QCOMPARE(outcome.exitCode, exitCode);
    QVERIFY2(outcome.text.contains(exitCode == 0 ? u"public draws verified: 4\n"_qs
                                                 : u"FAILED at line 5: a public draw was cut short\n"_qs),
             qPrintable(outcome.text));
}

namespace {

publicdraw::Box minus(publicdraw::Box box, int slot, int by = 1)
{
    box[slot - 1] -= by;
    return box;
}

} // namespace

// Every kind of line, by quantity and by probability, with times inside a
// daylight saving gap of the checkers' zone: all listed in order, and every
// draw (moments in microseconds) recomputed.
void TestPublicDraw::recordOfEveryKindIsListed()
{
    PublicLines lines(historyPath());
    lines.time = u"2026-03-08 02:30:00"_qs; // no such time in New York
    const QString q = u"按数量"_qs, p = u"按概率"_qs;
    const publicdraw::Box b0{2, 2, 2, 2, 2, 2, 2, 2}, b3{5, 5, 5, 5, 5, 5, 5, 5}, odds{1, 2, 3, 4, 5, 6, 7, 8};
    QVERIFY(lines.commit(q, b0));
    const int s1 = lines.draw(q, b0);
    const publicdraw::Box b1 = minus(b0, s1);
    const int s2 = lines.draw(q, b1);
    QVERIFY(s1 && s2 && lines.boxSet(q, b3)); // line 5
    const int s3 = lines.draw(q, b3);
    QVERIFY(s3 && lines.voidWin(s3, q, 3, b3)); // line 7
    QVERIFY(lines.draw(q, b3) && lines.publicEnd() && lines.designWin(2, true) && lines.voidWin(2, q));
    QVERIFY(lines.commit(p, odds, 2) && lines.draw(p, odds) && lines.commit(p, odds, 3)); // lines 12 … 14
    QFile file(historyPath());
    QVERIFY(file.open(QIODevice::Append) && file.write("2026-03-08 02:30:00,3,9,按") > 0);
    file.close();
    QVERIFY(lines.draw(p, odds)); // line 16, after the torn line 15

    const Outcome outcome = verify({}, u"America/New_York"_qs);
    QCOMPARE(outcome.exitCode, 0);
    const QString expected = u"line 5: box changed before draw 3: "_qs + PublicLines::boxText(minus(b1, s2))
        + u" → 5 5 5 5 5 5 5 5\nline 7: draw 3 voided\nline 9: public draws ended\n"
          u"line 11: the win on line 10 voided\nline 14: restart after draw 1\nline 15: torn\n"
          u"lines chained: 14\npublic draws verified: 6\ndesignated wins: 1\ndesign-mode wins: 1\n"
          u"设置 lines: 1\n作废 lines: 2\n公开抽奖结束 lines: 1\ntorn lines: 1\n"_qs;
    QVERIFY2(outcome.text.startsWith(expected), qPrintable(outcome.text));
    QCOMPARE(outcome.text.count(u"commitment: "_qs), 3);
    // A design win after public mode ended is no failure, unless every win
    // must be public.
    QVERIFY(verify({u"--public"_qs})
                .text.endsWith(u"FAILED at line 10: a win that is not a public draw after the first commitment\n"_qs));
}

void TestPublicDraw::recordEditsFail_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("failure");
    QTest::newRow("box refilled unseen") << 0 << u"FAILED at line 5: the box is not the one the record expects: "_qs;
    QTest::newRow("a draw voided twice") << 1 << u"FAILED at line 6: draw 2 is not a draw that can still be voided"_qs;
    QTest::newRow("a draw never made voided") << 2 << u"FAILED at line 5: draw 5 is not a draw that can still be voided"_qs;
    QTest::newRow("a void after a clearing") << 3 << u"FAILED at line 6: a void with no win to void"_qs;
    QTest::newRow("a public draw voided as a design win") << 4 << u"FAILED at line 5: a void without 序号 of a public draw"_qs;
}

// Two public draws by quantity, then what no honest run writes.
void TestPublicDraw::recordEditsFail()
{
    QFETCH(int, variant);
    QFETCH(QString, failure);
    PublicLines lines(historyPath());
    const QString q = u"按数量"_qs;
    const publicdraw::Box b0{2, 2, 2, 2, 2, 2, 2, 2};
    QVERIFY(lines.commit(q, b0));
    const int s1 = lines.draw(q, b0);
    const int s2 = lines.draw(q, minus(b0, s1));
    QVERIFY(s1 && s2);
    switch (variant) {
    case 0: // a 设置 line that was there, taken out with every check after it
        QVERIFY(lines.draw(q, {5, 5, 5, 5, 5, 5, 5, 5}));
        break;
    case 1:
        QVERIFY(lines.voidWin(s2, q, 2, b0) && lines.voidWin(s2, q, 2, b0));
        break;
    case 2:
        QVERIFY(lines.voidWin(s2, q, 5, b0));
        break;
    case 3:
        QVERIFY(lines.clear() && lines.voidWin(s2, q));
        break;
    case 4:
        QVERIFY(lines.voidWin(s2, q));
        break;
    }
    const Outcome outcome = verify();
    QCOMPARE(outcome.exitCode, 1);
    QVERIFY2(outcome.text.contains(failure), qPrintable(outcome.text));
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--land") == 0) {
        QCoreApplication app(argc, argv);
        Event event(QString::fromLocal8Bit(argv[2]));
        event.goPublic();
        if (event.land() == 0)
            return 2;
#ifdef Q_OS_UNIX
        std::raise(SIGKILL);
#endif
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestPublicDraw test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_publicdraw.moc"

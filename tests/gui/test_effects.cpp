#include "display/effectswindow.h"
#include "display/fireworks.h"
#include "display/fireworkspainter.h"
#include "display/wineffects.h"
#include "support_wait.h"

#include <QApplication>
#include <QColor>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QtTest>

#include <cmath>
#include <set>

namespace {

EffectsWindow *openEffectsWindow()
{
    EffectsWindow *found = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("EffectsWindow") && w->isVisible()) {
            if (found)
                return nullptr; // more than one: a fault of its own
            found = qobject_cast<EffectsWindow *>(w);
        }
    }
    return found;
}

int visibleEffectsWindows()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->objectName() == QLatin1String("EffectsWindow") && w->isVisible() ? 1 : 0;
    return n;
}

struct ShowStats
{
    double goldShare = 0;  // stars whose colour is golden
    int distinctColours = 0;
    double rocketSlant = 0; // mean |vx / vy| of rockets at launch
    int stars = 0;
};

ShowStats statsAt(FireworksKind kind, double seconds)
{
    Fireworks show(kind, QSize(1920, 1080), 4242);
    ShowStats st;
    int rockets = 0;
    while (show.time() < seconds) {
        show.step();
        for (const Spark &s : show.sparks()) {
            if (s.role == Spark::Role::Rocket && s.age < 0.02f) {
                st.rocketSlant += std::fabs(s.vx / s.vy);
                ++rockets;
            }
        }
    }
    if (rockets > 0)
        st.rocketSlant /= rockets;
    std::set<QRgb> colours;
    int gold = 0;
    for (const Spark &s : show.sparks()) {
        if (s.role != Spark::Role::Star)
            continue;
        ++st.stars;
        colours.insert(s.color);
        const QColor c(s.color);
        gold += (c.hue() >= 30 && c.hue() <= 55) ? 1 : 0;
    }
    if (st.stars > 0) {
        st.goldShare = double(gold) / st.stars;
    }
    st.distinctColours = int(colours.size());
    return st;
}

bool sameSparks(const Fireworks &a, const Fireworks &b)
{
    if (a.sparks().size() != b.sparks().size())
        return false;
    for (size_t i = 0; i < a.sparks().size(); ++i) {
        const Spark &x = a.sparks()[i], &y = b.sparks()[i];
        if (x.x != y.x || x.y != y.y || x.vx != y.vx || x.color != y.color || x.role != y.role)
            return false;
    }
    return true;
}

// The offscreen plugin warns at every mask and raise; the shape itself is
// still kept on the widget, which is what the tests read.
void quietOffscreenWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    if (previous)
        previous(type, context, message);
}

} // namespace

class TestEffects : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void showOpensFullScreenUnfocusedWindow();
    void closesItselfWhenItsTimeIsUp();
    void closeIsImmediateAndHarmlessWhenClosed();
    void showDuringShowKeepsOneWindow();
    void choicesAreSpreadOverTheThree();
    void choiceValuesNameTheShows();
    void sameSeedGivesSameShow();
    void theThreeShowsDiffer();
    void surfacesDrawTheirOwnWay();

private:
    QWidget *m_main = nullptr;
    QPushButton *m_button = nullptr;
};

void TestEffects::initTestCase()
{
    qInstallMessageHandler(quietOffscreenWarnings);
}

void TestEffects::init()
{
    m_main = new QWidget;
    m_main->setObjectName(QStringLiteral("MainWindow"));
    auto *layout = new QVBoxLayout(m_main);
    m_button = new QPushButton(QStringLiteral("start"), m_main);
    layout->addWidget(m_button);
    m_main->resize(400, 300);
    m_main->show();
    m_main->activateWindow();
    m_button->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(m_main));
}

void TestEffects::cleanup()
{
    delete m_main;
    m_main = nullptr;
}

void TestEffects::showOpensFullScreenUnfocusedWindow()
{
    // Long enough that a slow machine checks the show before it closes.
    WinEffects effects(m_main, std::chrono::minutes(10));
    QVERIFY(!effects.isShowing());
    effects.showWinEffect();
    QVERIFY(effects.isShowing());

    EffectsWindow *window = openEffectsWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QString());
    QCOMPARE(window->geometry(), QRect(QPoint(0, 0), QGuiApplication::primaryScreen()->size()));
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(flags.testFlag(Qt::WindowTransparentForInput));
    QCOMPARE(window->windowType(), Qt::Tool);
    QVERIFY(window->testAttribute(Qt::WA_ShowWithoutActivating));

    // Frames go on; the main window and its button keep the keyboard.
    const double before = window->fireworks().time();
    QTRY_VERIFY_WITH_TIMEOUT(window->fireworks().time() > before + 0.1, kPatienceMs);
    QCOMPARE(QGuiApplication::focusWindow(), m_main->windowHandle());
    QCOMPARE(QApplication::activeWindow(), m_main);
    QCOMPARE(QApplication::focusWidget(), m_button);

    // The offscreen platform composites nothing: the window is cut to the
    // sparks rather than painted translucent (which would be solid black).
    QCOMPARE(window->surface(), EffectsWindow::Surface::Masked);
    QVERIFY(!window->testAttribute(Qt::WA_TranslucentBackground));
    QTRY_VERIFY_WITH_TIMEOUT(!window->fireworks().sparks().empty(), kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(QRect(QPoint(0, 0), window->size()).contains(window->mask().boundingRect()), kPatienceMs);
}

// A show lasts 3.5 s and then closes by itself; the test runs a short one
// rather than wait the real length.
void TestEffects::closesItselfWhenItsTimeIsUp()
{
    QCOMPARE(WinEffects(m_main).showLength(), std::chrono::milliseconds(3500));
    WinEffects effects(m_main, std::chrono::milliseconds(20));
    effects.showWinEffect();
    QPointer<EffectsWindow> window = openEffectsWindow();
    QVERIFY(window);
    QTRY_VERIFY_WITH_TIMEOUT(!effects.isShowing(), kPatienceMs);
    QVERIFY(window.isNull());
    QCOMPARE(visibleEffectsWindows(), 0);
}

void TestEffects::closeIsImmediateAndHarmlessWhenClosed()
{
    WinEffects effects(m_main);
    effects.closeWinEffect(); // nothing open: nothing happens
    QVERIFY(!effects.isShowing());

    effects.showWinEffect();
    QPointer<EffectsWindow> window = openEffectsWindow();
    QVERIFY(window);
    effects.closeWinEffect();
    QVERIFY(!effects.isShowing());
    QVERIFY(window.isNull());
    effects.closeWinEffect();
    QVERIFY(!effects.isShowing());
    // The close timer of a closed show must not fire into a later one: it
    // stops with its show, and the next show has its whole time again.
    QCOMPARE(effects.closesInMs(), -1);
    effects.showWinEffect();
    QVERIFY(effects.isShowing());
    QVERIFY(effects.closesInMs() > 3000);
    effects.closeWinEffect();
    QCOMPARE(effects.closesInMs(), -1);
}

void TestEffects::showDuringShowKeepsOneWindow()
{
    WinEffects effects(m_main);
    effects.showWinEffect();
    QPointer<EffectsWindow> first = openEffectsWindow();
    effects.showWinEffect();
    QVERIFY(first.isNull());
    QCOMPARE(visibleEffectsWindows(), 1);
    QVERIFY(effects.isShowing());
    effects.closeWinEffect();
    QCOMPARE(visibleEffectsWindows(), 0);
}

void TestEffects::choicesAreSpreadOverTheThree()
{
    WinEffects effects(m_main);
    QCOMPARE(effects.lastChoice(), 0);
    constexpr int kShows = 3000;
    int counts[3] = {0, 0, 0};
    for (int i = 0; i < kShows; ++i) {
        effects.showWinEffect();
        const int choice = effects.lastChoice();
        QVERIFY2(choice >= 4 && choice <= 6, qPrintable(QString::number(choice)));
        ++counts[choice - 4];
    }
    effects.closeWinEffect();
    for (int n : counts) {
        QVERIFY2(n > kShows / 4 && n < kShows * 42 / 100, qPrintable(QString::number(n)));
    }
}

void TestEffects::choiceValuesNameTheShows()
{
    QCOMPARE(fireworksKindForChoice(4), FireworksKind::Peony);
    QCOMPARE(fireworksKindForChoice(5), FireworksKind::GoldenRing);
    QCOMPARE(fireworksKindForChoice(6), FireworksKind::Willow);
}

void TestEffects::sameSeedGivesSameShow()
{
    for (FireworksKind kind : {FireworksKind::Peony, FireworksKind::GoldenRing, FireworksKind::Willow}) {
        Fireworks a(kind, QSize(1280, 1024), 99), b(kind, QSize(1280, 1024), 99), c(kind, QSize(1280, 1024), 100);
        a.advanceTo(2.0);
        b.advanceTo(2.0);
        c.advanceTo(2.0);
        QVERIFY(!a.sparks().empty());
        QVERIFY(sameSparks(a, b));
        QVERIFY(!sameSparks(a, c));
    }
}

void TestEffects::theThreeShowsDiffer()
{
    const ShowStats peony = statsAt(FireworksKind::Peony, 1.6);
    const ShowStats ring = statsAt(FireworksKind::GoldenRing, 1.6);
    const ShowStats willow = statsAt(FireworksKind::Willow, 1.6);
    QVERIFY(peony.stars > 50 && ring.stars > 50 && willow.stars > 50);
    // Rings are golden; the others are not mostly gold.
    QVERIFY2(ring.goldShare > 0.9, qPrintable(QString::number(ring.goldShare)));
    QVERIFY(peony.goldShare < 0.6);
    QVERIFY(willow.goldShare < 0.6);
    // Every willow shell mixes all its colours; a peony shell has two.
    QVERIFY(willow.distinctColours >= 7);
    QCOMPARE(ring.distinctColours, 2);
    // Willow comets arc in from the sides; ring rockets climb straight up.
    QVERIFY2(willow.rocketSlant > 0.2, qPrintable(QString::number(willow.rocketSlant)));
    QCOMPARE(ring.rocketSlant, 0.0);
    QVERIFY(peony.rocketSlant < 0.15);

    // Only the rings shed glitter, only the willows crackle.
    auto count = [](FireworksKind kind, Spark::Role role) {
        Fireworks show(kind, QSize(1920, 1080), 7);
        int n = 0;
        while (show.time() < 3.4) {
            show.step();
            for (const Spark &s : show.sparks())
                n += (s.role == role && s.life > 0.55f) ? 1 : 0; // rocket embers live shorter
        }
        return n;
    };
    QVERIFY(count(FireworksKind::GoldenRing, Spark::Role::Glitter) > 0);
    QCOMPARE(count(FireworksKind::Peony, Spark::Role::Glitter), 0);
    auto crackles = [](FireworksKind kind) {
        Fireworks show(kind, QSize(1920, 1080), 7);
        int n = 0;
        while (show.time() < 3.4) {
            show.step();
            for (const Spark &s : show.sparks())
                n += (s.role == Spark::Role::Crackle && s.size < 4) ? 1 : 0; // not the burst flash
        }
        return n;
    };
    QVERIFY(crackles(FireworksKind::Willow) > 0);
    QCOMPARE(crackles(FireworksKind::Peony), 0);
}

void TestEffects::surfacesDrawTheirOwnWay()
{
    EffectsWindow translucent(FireworksKind::Willow, 3, m_main, EffectsWindow::Surface::Translucent);
    QVERIFY(translucent.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!translucent.maskedFrame());
    translucent.show();
    QTRY_VERIFY_WITH_TIMEOUT(!translucent.fireworks().sparks().empty(), kPatienceMs);
    QVERIFY(translucent.mask().isEmpty());
    translucent.hide();

    EffectsWindow masked(FireworksKind::Willow, 3, m_main, EffectsWindow::Surface::Masked);
    QVERIFY(masked.maskedFrame());
    // Before the first spark the shape shows nothing at all (an empty mask
    // would show the whole window).
    QVERIFY(!masked.mask().isEmpty());
    QVERIFY(!QRect(QPoint(0, 0), masked.size()).intersects(masked.mask().boundingRect()));
    masked.show();
    QTRY_VERIFY_WITH_TIMEOUT(!masked.maskedFrame()->shape().isEmpty(), kPatienceMs);
    QCOMPARE(masked.mask(), masked.maskedFrame()->shape());
}

QTEST_MAIN(TestEffects)
#include "test_effects.moc"

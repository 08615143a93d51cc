// The frame timer on its own: when it ticks, the LagCount it passes, the frame rate it
// measures, and how Enabled and the application's active state start and stop it.
// The clock is a plain number the test sets; DoIdle is one round of idle processing.
#include "display/frametimer.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

using namespace vantrel;

namespace {

// Tick times k * span / n for k = 1..n, relative to the arming: n ticks spread evenly over
// `span` milliseconds, the last one exactly at its end.
QList<quint32> spread(quint32 n, quint32 span, quint32 offset = 0) {
    QList<quint32> times;
    for (quint32 k = 1; k <= n; ++k)
        times.append(offset + k * span / n);
    return times;
}

} // namespace

class FrameTimerTest : public QObject {
    Q_OBJECT

  private:
    std::uint32_t now = 0; // milliseconds, the fake clock
    std::vector<int> lags; // LagCount of every OnTimer call, in order
    QObject* sender = nullptr;
    std::unique_ptr<TDXTimer> timer;

    void makeTimer(bool activeOnly) {
        lags.clear();
        sender = nullptr;
        timer = std::make_unique<TDXTimer>();
        timer->setClock([this] { return now; });
        timer->setActiveOnly(activeOnly);
        timer->OnTimer = [this](QObject* from, int lag) {
            sender = from;
            lags.push_back(lag);
        };
    }

    // One round of idle processing at `ms`: the LagCount of its tick, 0 without a tick, or -1
    // when DoIdle's answer and the OnTimer calls disagree.
    int idleAt(std::uint32_t ms) {
        now = ms;
        const std::size_t calls = lags.size();
        const bool ticked = timer->DoIdle();
        if (lags.size() != calls + (ticked ? 1 : 0))
            return -1;
        return ticked ? lags.back() : 0;
    }

  private slots:
    void cleanup() { timer.reset(); }

    // The application is inactive until its first window is activated, and there is no
    // way back on the offscreen platform, so this runs first and covers both changes.
    void activeOnlyHoldsTicksWhileInactive() {
        if (QGuiApplication::applicationState() == Qt::ApplicationActive)
            QSKIP("needs the application inactive, as it is before its first window");
        makeTimer(true);
        now = 50;
        timer->setEnabled(true);
        QCOMPARE(idleAt(60), 0);
        // Without ActiveOnly it runs whatever the state, measuring from the change.
        now = 70;
        timer->setActiveOnly(false);
        QCOMPARE(idleAt(71), 1);
        timer->setActiveOnly(true);
        QCOMPARE(idleAt(90), 0);

        now = 100;
        QWidget window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QGuiApplication::applicationState(), Qt::ApplicationActive);
        // Resumed at 100: the pause is no lag, and the window starts afresh.
        QCOMPARE(idleAt(100), 0);
        QCOMPARE(idleAt(110), 10);
        for (std::uint32_t t = 120; t < 1100; t += 10)
            QCOMPARE(idleAt(t), 10);
        QCOMPARE(timer->FrameRate(), 0);
        QCOMPARE(idleAt(1100), 10);
        // 100 ticks since resuming; whether the one tick from before the pause is counted
        // too is left open.
        const int rate = timer->FrameRate();
        QVERIFY2(rate == 100 || rate == 101, qPrintable(QString::number(rate)));
    }

    void ticksAtMostOncePerMillisecond_data() {
        QTest::addColumn<quint32>("armedAt");
        QTest::addColumn<QList<quint32>>("clock");
        QTest::addColumn<QList<int>>("lagCounts"); // 0: no tick
        QTest::newRow("one tick per millisecond")
            << 1000u << QList<quint32>{1000, 1001, 1001, 1002} << QList<int>{0, 1, 0, 1};
        QTest::newRow("LagCount is the milliseconds since the previous tick")
            << 1000u << QList<quint32>{1005, 1006, 1106} << QList<int>{5, 1, 100};
        QTest::newRow("across the wrap of the 32-bit clock")
            << 0xFFFFFFFEu << QList<quint32>{0xFFFFFFFF, 0, 0, 4} << QList<int>{1, 1, 0, 4};
    }
    void ticksAtMostOncePerMillisecond() {
        QFETCH(quint32, armedAt);
        QFETCH(QList<quint32>, clock);
        QFETCH(QList<int>, lagCounts);
        makeTimer(false);
        now = armedAt;
        timer->setEnabled(true);
        for (qsizetype i = 0; i < clock.size(); ++i) {
            const int lag = idleAt(clock[i]);
            QVERIFY2(lag == lagCounts[i],
                     qPrintable(QStringLiteral("at %1: LagCount %2, expected %3")
                                    .arg(clock[i])
                                    .arg(lag)
                                    .arg(lagCounts[i])));
        }
        QCOMPARE(sender, timer.get());
    }

    void measuredRate_data() {
        QTest::addColumn<quint32>("armedAt");
        QTest::addColumn<QList<quint32>>("ticks"); // ms after arming, each one a tick
        QTest::addColumn<int>("rateBeforeLast");
        QTest::addColumn<int>("rateAfterLast");
        QTest::newRow("60 ticks in 1000 ms, 0 before") << 0u << spread(60, 1000) << 0 << 60;
        QTest::newRow("75 ticks in 1000 ms") << 0u << spread(75, 1000) << 0 << 75;
        QTest::newRow("every millisecond") << 0u << spread(1000, 1000) << 0 << 1000;
        QTest::newRow("61 ticks in 2000 ms: 30.5 rounds to 30")
            << 0u << spread(60, 60) + QList<quint32>{2000} << 0 << 30;
        QTest::newRow("63 ticks in 2000 ms: 31.5 rounds to 32")
            << 0u << spread(62, 62) + QList<quint32>{2000} << 0 << 32;
        QTest::newRow("window across the 32-bit wrap")
            << 0xFFFFFF38u << spread(50, 1000) << 0 << 50;
        QTest::newRow("the next window counts afresh")
            << 0u << spread(60, 1000) + spread(75, 1000, 1000) << 60 << 75;
    }
    void measuredRate() {
        QFETCH(quint32, armedAt);
        QFETCH(QList<quint32>, ticks);
        QFETCH(int, rateBeforeLast);
        QFETCH(int, rateAfterLast);
        makeTimer(false);
        now = armedAt;
        timer->setEnabled(true);
        for (qsizetype i = 0; i < ticks.size(); ++i) {
            if (i == ticks.size() - 1)
                QCOMPARE(timer->FrameRate(), rateBeforeLast);
            QVERIFY2(idleAt(armedAt + ticks[i]) > 0, qPrintable(QString::number(ticks[i])));
        }
        QCOMPARE(timer->FrameRate(), rateAfterLast);
    }

    void enabledArmsAndStops() {
        makeTimer(false);
        now = 1000;
        timer->setEnabled(true);
        QCOMPARE(idleAt(1005), 5);
        // Enabling an enabled timer changes nothing: the lag still runs from 1005.
        now = 1007;
        timer->setEnabled(true);
        QCOMPARE(idleAt(1008), 3);
        for (const quint32 t : spread(100, 1000))
            QVERIFY(idleAt(1000 + t) > 0);
        QCOMPARE(timer->FrameRate(), 102); // window from 1000, not from 1007

        timer->setEnabled(false);
        for (const std::uint32_t t : {2001u, 2500u, 4000u})
            QCOMPARE(idleAt(t), 0);
        QVERIFY(lags.size() == 102);

        // Re-armed at 5000: lag and window run from there.
        now = 5000;
        timer->setEnabled(true);
        QCOMPARE(idleAt(5000), 0);
        QCOMPARE(idleAt(5020), 20);
        for (std::uint32_t t = 5040; t < 6000; t += 20)
            QCOMPARE(idleAt(t), 20);
        QCOMPARE(timer->FrameRate(), 102);
        QCOMPARE(idleAt(6000), 20);
        QCOMPARE(timer->FrameRate(), 50);
    }

    // Left to itself, the timer ticks from the event loop on the real clock.
    void ticksFromTheEventLoop() {
        makeTimer(false);
        timer->setClock(&TDXTimer::systemClock);
        timer->setEnabled(true);
        QTRY_VERIFY(lags.size() >= 3);
        for (const int lag : lags)
            QVERIFY(lag >= 1);
        timer->setEnabled(false);
        const std::size_t ticks = lags.size();
        QTest::qWait(20);
        QCOMPARE(lags.size(), ticks);
    }
};

QTEST_MAIN(FrameTimerTest)
#include "frametimer_test.moc"

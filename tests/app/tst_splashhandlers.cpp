// SPDX-License-Identifier: GPL-3.0-or-later
#include "splashhandlers.h"

#include <QTest>

#include <string>
#include <vector>

using namespace tavrin;

namespace {

// The two windows as plain state, with every step recorded.
struct RecordedWindows final : SplashWindows {
    bool form1Exists() const override { return form1Created; }
    void createForm1() override
    {
        form1Created = true;
        ++form1Loads;
        steps.push_back("create");
    }
    void showForm1() override
    {
        form1Visible = true;
        steps.push_back("show");
    }
    void hideSplash() override
    {
        splashVisible = false;
        steps.push_back("hide");
    }

    bool form1Created = false;
    int form1Loads = 0;
    bool form1Visible = false;
    bool splashVisible = true;
    std::vector<std::string> steps;
};

using Steps = std::vector<std::string>;

}  // namespace

class TestSplashHandlers : public QObject {
    Q_OBJECT

private slots:
    // Catches a hand-over on an early tick (increment before the comparison,
    // or a comparison with the wrong count).
    void firstFiveTicksHandNothingOver()
    {
        RecordedWindows windows;
        SplashHandlers code(windows);
        for (int tick = 1; tick <= 5; ++tick) {
            code.Timer1_Timer();
            QVERIFY2(windows.steps.empty(), qPrintable(QStringLiteral("tick %1 handed over").arg(tick)));
        }
        QVERIFY(windows.splashVisible);
    }

    // Catches a missing or misordered hand-over step on the sixth tick.
    void sixthTickHandsOverInOrder()
    {
        RecordedWindows windows;
        SplashHandlers code(windows);
        for (int tick = 1; tick <= 6; ++tick)
            code.Timer1_Timer();
        QCOMPARE(windows.steps, (Steps{"create", "show", "hide"}));
        QVERIFY(windows.form1Visible);
        QVERIFY(!windows.splashVisible);
        QVERIFY(code.ticksDone());
    }

    // Catches a hand-over repeated by the ticks that follow the sixth.
    void ticksAfterTheSixthDoNothing()
    {
        RecordedWindows windows;
        SplashHandlers code(windows);
        for (int tick = 1; tick <= 6; ++tick)
            code.Timer1_Timer();
        const Steps afterSixth = windows.steps;
        for (int tick = 7; tick <= 200; ++tick)
            code.Timer1_Timer();
        QCOMPARE(windows.steps, afterSixth);
    }

    void clickHandsOverAtOnce_data()
    {
        QTest::addColumn<int>("ticksBefore");
        for (int ticks = 0; ticks <= 5; ++ticks)
            QTest::addRow("after %d ticks", ticks) << ticks;
    }
    // Catches a click that waits for the timer, that changes the count the
    // sixth tick waits for, or that creates the main window a second time
    // when the sixth tick comes.
    void clickHandsOverAtOnce()
    {
        QFETCH(int, ticksBefore);
        RecordedWindows windows;
        SplashHandlers code(windows);
        for (int tick = 0; tick < ticksBefore; ++tick)
            code.Timer1_Timer();
        code.Frame1_Click();
        QCOMPARE(windows.steps, (Steps{"create", "show", "hide"}));

        for (int tick = ticksBefore; tick < 5; ++tick)
            code.Timer1_Timer();
        QCOMPARE(windows.steps, (Steps{"create", "show", "hide"}));
        code.Timer1_Timer();
        // The sixth tick repeats show and hide, which changes nothing on screen.
        QCOMPARE(windows.steps, (Steps{"create", "show", "hide", "show", "hide"}));
        QVERIFY(windows.form1Visible);
        QVERIFY(!windows.splashVisible);
        QCOMPARE(windows.form1Loads, 1);
    }

    // Catches a main window made before the hand-over, or made again by a
    // later hand-over (its load handler would run twice).
    void mainWindowLoadsOnceAtTheFirstHandOver()
    {
        RecordedWindows windows;
        SplashHandlers code(windows);
        for (int tick = 1; tick <= 5; ++tick)
            code.Timer1_Timer();
        QCOMPARE(windows.form1Loads, 0);
        code.Frame1_Click();
        QCOMPARE(windows.form1Loads, 1);
        code.Frame1_Click();
        for (int tick = 6; tick <= 20; ++tick)
            code.Timer1_Timer();
        QCOMPARE(windows.form1Loads, 1);
    }

    // Catches a counter that overflows its 16 bits after about nine hours of
    // ticks (32,768 of them).
    void fortyThousandTicksRunWithoutFailure()
    {
        RecordedWindows windows;
        SplashHandlers code(windows);
        for (int tick = 1; tick <= 40000; ++tick)
            code.Timer1_Timer();
        QCOMPARE(windows.steps, (Steps{"create", "show", "hide"}));
        QVERIFY(code.ticksDone());
    }
};

QTEST_APPLESS_MAIN(TestSplashHandlers)
#include "tst_splashhandlers.moc"

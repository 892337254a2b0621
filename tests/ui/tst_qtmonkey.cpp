// SPDX-License-Identifier: GPL-3.0-or-later
// A seeded random player on the real window: clicks anywhere, right-button
// menus, keys, and answers to every prompt and question, checking the
// window's invariants after every event. A failure prints the seed and the
// events that replay it.
#include "captionframe.h"
#include "captionlabel.h"
#include "dialogs.h"
#include "graphicalbutton.h"
#include "mainwindow.h"
#include "shownslice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <memory>
#include <random>

using namespace tavrin;

namespace {

QStringList hostileNames()
{
    QStringList names{
        QString(),
        QStringLiteral("   "),
        QStringLiteral("Ann"),
        QStringLiteral("ann"),
        QStringLiteral("&"),
        QStringLiteral("&&"),
        QStringLiteral("<b>x</b>"),
        QStringLiteral("<img src=x>"),
        QString(10'000, QLatin1Char('m')),
        QStringLiteral("\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627"),
        QStringLiteral("\U0001F469\u200D\U0001F469\u200D\U0001F467 \U0001F3F3\uFE0F\u200D\U0001F308"),
        QStringLiteral("e\u0301\u0302\u0303 Zalgo\u0336\u0337"),
        QStringLiteral("\u4e09\u76ee\u4e26\u3079"),
        QStringLiteral("tab\there"),
        QStringLiteral("line\nbreak"),
        QStringLiteral("O"),
        QStringLiteral("X"),
        QStringLiteral("Draw"),
        QStringLiteral("5"),
    };
    return names;
}

// The main window with ending the program only counted: the test process
// lives on.
class CountingWindow final : public MainWindow {
public:
    void endProgram() override { ++ends; }
    int ends = 0;
};

}  // namespace

class QtMonkeyTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CountingWindow> window;
    std::mt19937 random;
    std::uint32_t seed = 0;
    std::deque<QString> recentEvents;
    long long events = 0;
    long long target = 0;
    QString firstTyped;
    QString secondTyped;
    int promptsAnswered = 0;
    bool inputInFlight = false;
    int questionsAnswered = 0;
    bool failed = false;
    QString failure;
    QStringList names = hostileNames();
    QString hugeName = QString(1'000'000, QLatin1Char('h'));

    int pick(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random); }

    void record(const QString& event)
    {
        recentEvents.push_back(event);
        if (recentEvents.size() > 200)
            recentEvents.pop_front();
        ++events;
    }

    QString pickName()
    {
        // The million-character name is rare: every prompt with it lays it out.
        if (pick(500) == 0)
            return hugeName;
        return names.at(pick(int(names.size())));
    }

    void fail(const QString& why)
    {
        if (failed)
            return;
        failed = true;
        QStringList lines{QStringLiteral("invariant broken after event %1: %2").arg(events).arg(why),
                          QStringLiteral("replay with TAVRIN_MONKEY_SEED=%1; last events:").arg(seed)};
        for (const QString& event : recentEvents)
            lines << QStringLiteral("  ") + event;
        failure = lines.join(QLatin1Char('\n'));
    }

    bool answerModal()
    {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            auto* menu = qobject_cast<QMenu*>(popup);
            const int choice = pick(4);
            if (menu && choice == 0) {
                record(QStringLiteral("menu: Play Again"));
                menu->close();
                window->findChild<QAction*>(QStringLiteral("mnupa"))->trigger();
            } else if (menu && choice == 1 && pick(20) == 0) {
                record(QStringLiteral("menu: Exit Game"));
                menu->close();
                window->findChild<QAction*>(QStringLiteral("mnue"))->trigger();
            } else {
                record(QStringLiteral("menu: Escape"));
                QTest::keyClick(popup, Qt::Key_Escape);
            }
            return true;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return false;
        if (auto* prompt = qobject_cast<NamePrompt*>(modal)) {
            const QString name = pickName();
            const int how = pick(6);
            QString answer;
            if (how == 0) {
                record(QStringLiteral("prompt: Escape"));
                QTest::keyClick(prompt, Qt::Key_Escape);
            } else if (how == 1) {
                record(QStringLiteral("prompt: default"));
                answer = prompt->field->text();
                QTest::keyClick(prompt, Qt::Key_Return);
            } else {
                record(QStringLiteral("prompt: name of %1 chars: %2").arg(name.size()).arg(name.left(40)));
                prompt->field->setText(name);
                answer = name;
                QTest::keyClick(prompt, Qt::Key_Return);
            }
            (promptsAnswered++ % 2 == 0 ? firstTyped : secondTyped) = answer;
            return true;
        }
        if (auto* box = qobject_cast<YesNoQuestion*>(modal)) {
            const int how = pick(4);
            ++questionsAnswered;
            record(QStringLiteral("question: %1").arg(QStringList{"Yes", "No", "Escape", "y key"}.at(how)));
            if (how == 0)
                box->yes->click();
            else if (how == 1)
                box->no->click();
            else if (how == 2)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                QTest::keyClick(box, Qt::Key_Return);
            return true;
        }
        return false;
    }

    void randomInput()
    {
        QWindow* handle = window->windowHandle();
        const int kind = pick(10);
        if (kind < 6) {
            // Mostly on the board, where the game happens.
            const QPoint point = pick(3) == 0 ? QPoint(pick(window->width()), pick(window->height()))
                                              : QPoint(150 + pick(150), 94 + pick(150));
            const Qt::MouseButton button = pick(8) == 0 ? Qt::RightButton : (pick(10) == 0 ? Qt::MiddleButton : Qt::LeftButton);
            record(QStringLiteral("click %1 at %2,%3").arg(int(button)).arg(point.x()).arg(point.y()));
            QTest::mouseClick(handle, button, {}, point);
        } else {
            static const QList<Qt::Key> keys{Qt::Key_0, Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5,
                                             Qt::Key_6, Qt::Key_7, Qt::Key_8, Qt::Key_9, Qt::Key_Return,
                                             Qt::Key_Space, Qt::Key_Tab, Qt::Key_Escape, Qt::Key_A, Qt::Key_Z};
            const Qt::Key key = keys.at(pick(int(keys.size())));
            record(QStringLiteral("key %1").arg(QKeySequence(key).toString()));
            QTest::keyClick(handle, key);
        }
    }

    void checkInvariants()
    {
        const auto& rules = window->handlers();
        if (rules.finishedGames() < 0 || rules.finishedGames() > 5)
            return fail(QStringLiteral("game count %1").arg(rules.finishedGames()));
        const bool boardShown = window->cell(0)->isVisible();
        const QString frame1 = static_cast<CaptionFrame*>(window->control(Control::Frame1))->caption();
        const QString frame2 = static_cast<CaptionFrame*>(window->control(Control::Frame2))->caption();
        const QString toMove = static_cast<CaptionLabel*>(window->control(Control::Label4))->caption();
        if (boardShown && toMove != frame1 && toMove != frame2)
            return fail(QStringLiteral("turn label names neither player"));
        if (boardShown && (frame1 != firstTyped || frame2 != secondTyped))
            return fail(QStringLiteral("frames do not show the typed names"));
        const auto* label4 = static_cast<CaptionLabel*>(window->control(Control::Label4));
        if (label4->textFormat() != Qt::PlainText || label4->text() != shownSlice(toMove, CaptionAnchor::Start))
            return fail(QStringLiteral("turn label does not show the name as plain text"));

        int wins = 0;
        QListWidget* lists[] = {window->list(ScoreList::List1), window->list(ScoreList::List2)};
        for (QListWidget* list : lists) {
            if (list->count() != rules.finishedGames())
                return fail(QStringLiteral("%1 score entries for %2 games").arg(list->count()).arg(rules.finishedGames()));
            for (int i = 0; i < list->count(); ++i) {
                const QString entry = list->item(i)->text();
                if (entry != QLatin1String("0") && entry != QLatin1String("1"))
                    return fail(QStringLiteral("score entry %1").arg(entry));
                wins += entry == QLatin1String("1");
            }
        }
        if (wins > rules.finishedGames())
            return fail(QStringLiteral("more wins than games"));

        QList<int> red;
        for (int i = 0; i < kCellCount; ++i) {
            const GraphicalButton* cell = window->cell(i);
            const QString caption = cell->text();
            const bool taken = caption == QLatin1String("O") || caption == QLatin1String("X");
            if (taken && cell->isEnabled())
                return fail(QStringLiteral("taken cell %1 is enabled").arg(i));
            if (!taken && caption != QString::number(i + 1))
                return fail(QStringLiteral("cell %1 shows %2").arg(i).arg(caption));
            if (cell->shownFaceColor() != cell->palette().color(QPalette::Button)) {
                if (cell->shownFaceColor() != QColor(255, 0, 0))
                    return fail(QStringLiteral("cell %1 has a stray colour").arg(i));
                red << i;
            }
        }
        QList<int> line;
        for (const Form1::Line& candidate : Form1::kLines) {
            const QString first = window->cell(candidate.first)->text();
            if (first == window->cell(candidate.middle)->text() && first == window->cell(candidate.last)->text()) {
                line = {candidate.first, candidate.middle, candidate.last};
                std::sort(line.begin(), line.end());
                break;
            }
        }
        if (red != line)
            return fail(QStringLiteral("red cells do not match the winning line"));
    }

    // While an input is being handled, modal prompts, questions and menus
    // it opens are answered from fresh timers: a timer fires inside a modal
    // loop only if it is not the one whose handler opened that loop.
    void watchForModals()
    {
        if (!inputInFlight)
            return;
        answerModal();
        QTimer::singleShot(1, this, &QtMonkeyTest::watchForModals);
    }

    void step()
    {
        inputInFlight = true;
        QTimer::singleShot(1, this, &QtMonkeyTest::watchForModals);
        randomInput();
        inputInFlight = false;
        if (!QApplication::activeModalWidget() && !QApplication::activePopupWidget())
            checkInvariants();
    }

private slots:
    void initTestCase()
    {
        // The offscreen platform warns on every dialog it cannot size natively;
        // a hundred thousand events would drown the report in those lines.
        static QtMessageHandler previous = nullptr;
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.startsWith(QLatin1String("This plugin does not support")))
                previous(type, context, text);
        });
    }

    void randomPlayKeepsTheWindowConsistent()
    {
        seed = qEnvironmentVariableIsSet("TAVRIN_MONKEY_SEED")
                   ? qEnvironmentVariable("TAVRIN_MONKEY_SEED").toUInt()
                   : std::random_device{}();
        target = qEnvironmentVariableIsSet("TAVRIN_QT_MONKEY_EVENTS")
                     ? qEnvironmentVariable("TAVRIN_QT_MONKEY_EVENTS").toLongLong()
                     : 100'000;
        random.seed(seed);
        window = std::make_unique<CountingWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));

        QElapsedTimer clock;
        clock.start();
        while (!failed && events < target) {
            step();
            QCoreApplication::processEvents();
        }
        // Let any open modal loop unwind.
        while (QWidget* open = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                                  : QApplication::activePopupWidget()) {
            open->close();
            QCoreApplication::processEvents();
        }
        if (failed)
            QFAIL(qPrintable(failure));
        const double minutes = double(clock.elapsed()) / 60000.0;
        qInfo("seed %u: %lld events in %.1f s, %.0f events a minute; %d names typed, %d matches ended, %d ends asked",
              seed, events, double(clock.elapsed()) / 1000.0, double(events) / minutes, promptsAnswered,
              questionsAnswered, window->ends);
        // A run that never got past the menu would prove nothing.
        if (target >= 10'000)
            QVERIFY(questionsAnswered > 0);
        window.reset();
    }
};

QTEST_MAIN(QtMonkeyTest)
#include "tst_qtmonkey.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader learns from the main window, read in-process through
// QAccessible on the offscreen platform: names, roles, states and the focus
// order. The offscreen platform has no accessibility bridge, so change
// events are left to the end-to-end test over AT-SPI.
#include "announcer.h"
#include "graphicalbutton.h"
#include "mainwindow.h"
#include "modaldialogs.h"

#include <QAccessible>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace tavrin;
using namespace tavrin::testing;

namespace {

QAccessibleInterface* accessible(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (iface == nullptr)
        qFatal("no accessible interface for %s", object->metaObject()->className());
    return iface;
}

QString nameOf(QObject* object)
{
    return accessible(object)->text(QAccessible::Name);
}

QStringList itemNames(QObject* list)
{
    QAccessibleInterface* iface = accessible(list);
    QStringList names;
    for (int i = 0; i < iface->childCount(); ++i)
        names << iface->child(i)->text(QAccessible::Name);
    return names;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;

    void startGame(const QString& first, const QString& second)
    {
        answerNamePrompts(first, second);
        QTest::mouseClick(window->control(Control::Command2), Qt::LeftButton);
        QTRY_VERIFY(window->cell(0)->isVisible());
        // The prompts took the activation; keys go to the board again.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    QStringList cellNames() const
    {
        QStringList names;
        for (int i = 0; i < kCellCount; ++i)
            names << nameOf(window->cell(i));
        return names;
    }

    QString heard() const { return window->findChild<Announcer*>(QStringLiteral("announcer"))->text(); }

    void play(std::initializer_list<int> cells)
    {
        for (int index : cells)
            QTest::mouseClick(window->cell(index), Qt::LeftButton);
    }

    static QStringList openBoardNames()
    {
        QStringList names;
        for (int i = 1; i <= kCellCount; ++i)
            names << QStringLiteral("Cell %1, empty").arg(i);
        return names;
    }

private slots:
    void init()
    {
        window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    void cleanup() { window.reset(); }

    void newCellsAreNamedByPlaceAndEmpty()
    {
        // Catches a cell that reads out only its bare digit, or one named
        // after its index instead of the digit a player presses.
        QCOMPARE(cellNames(), openBoardNames());
        for (int i = 0; i < kCellCount; ++i)
            QCOMPARE(accessible(window->cell(i))->role(), QAccessible::Button);
    }

    void movesRenameTheCellAndDisableIt()
    {
        // Catches a name set once at creation and never again, and a taken
        // cell that still offers itself as pressable.
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        QCOMPARE(cellNames(), openBoardNames());

        QTest::mouseClick(window->cell(4), Qt::LeftButton);
        QCOMPARE(nameOf(window->cell(4)), QStringLiteral("Cell 5, O"));
        QVERIFY(accessible(window->cell(4))->state().disabled);
        QVERIFY(!accessible(window->cell(0))->state().disabled);

        window->cell(0)->setFocus();
        QTest::keyClick(window->cell(0), Qt::Key_9);
        QCOMPARE(nameOf(window->cell(8)), QStringLiteral("Cell 9, X"));
        QVERIFY(accessible(window->cell(8))->state().disabled);
        QCOMPARE(nameOf(window->cell(0)), QStringLiteral("Cell 1, empty"));
    }

    void clearingTheBoardNamesEveryCellEmptyAgain()
    {
        // Catches names left on "O"/"X" after Continue writes the digits back.
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        for (int index : {0, 1, 3, 2, 6})
            QTest::mouseClick(window->cell(index), Qt::LeftButton);
        QCOMPARE(nameOf(window->cell(6)), QStringLiteral("Cell 7, O"));
        for (int i = 0; i < kCellCount; ++i)
            QVERIFY(accessible(window->cell(i))->state().disabled);
        QTest::mouseClick(window->control(Control::Command3), Qt::LeftButton);
        QCOMPARE(cellNames(), openBoardNames());
        for (int i = 0; i < kCellCount; ++i)
            QVERIFY(!accessible(window->cell(i))->state().disabled);
    }

    void everyCaptionWriteRenamesTheCell_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::newRow("nought") << "O" << "Cell 4, O";
        QTest::newRow("cross") << "X" << "Cell 4, X";
        QTest::newRow("its own digit") << "4" << "Cell 4, empty";
        QTest::newRow("another digit") << "7" << "Cell 4, 7";
    }

    void everyCaptionWriteRenamesTheCell()
    {
        // Catches names kept beside the caption by a path other than the
        // one operation that writes captions.
        QFETCH(QString, caption);
        QFETCH(QString, name);
        window->setCellCaption(3, caption.toStdU16String());
        QCOMPARE(nameOf(window->cell(3)), name);
        QCOMPARE(window->cell(3)->text(), caption);
    }

    void framesListsAndLabelsReadThePlainPlayerNames()
    {
        // Catches the frame's doubled "&" (or a dropped one) reaching the
        // screen reader, and score lists that do not say whose they are.
        const QString first = QStringLiteral("Tom & <b>Jerry</b>");
        const QString second = QStringLiteral("&&");
        startGame(first, second);
        QCOMPARE(nameOf(window->control(Control::Frame1)), first);
        QCOMPARE(nameOf(window->control(Control::Frame2)), second);
        QCOMPARE(accessible(window->control(Control::Frame1))->role(), QAccessible::Grouping);
        QCOMPARE(nameOf(window->control(Control::Label3)), QStringLiteral("Current Player"));
        QCOMPARE(nameOf(window->control(Control::Label4)), first);
        QCOMPARE(accessible(window->control(Control::Label4))->role(), QAccessible::StaticText);
        QCOMPARE(nameOf(window->control(Control::List1)), QStringLiteral("Scores of ") + first);
        QCOMPARE(nameOf(window->control(Control::List2)), QStringLiteral("Scores of ") + second);

        QTest::mouseClick(window->cell(0), Qt::LeftButton);
        QCOMPARE(nameOf(window->control(Control::Label4)), second);
    }

    void resultScreenReadsBannerWinnerScoresAndContinue()
    {
        // Catches controls that show a text but report another, or none.
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        for (int index : {0, 1, 3, 2, 6})
            QTest::mouseClick(window->cell(index), Qt::LeftButton);
        QCOMPARE(nameOf(window->control(Control::Label1)), QStringLiteral("WINNER"));
        QCOMPARE(nameOf(window->control(Control::Label2)), QStringLiteral("Ann"));
        QWidget* next = window->control(Control::Command3);
        QCOMPARE(nameOf(next), QStringLiteral("Continue"));
        QCOMPARE(accessible(next)->role(), QAccessible::Button);
        QVERIFY(!accessible(next)->state().invisible);
        QCOMPARE(accessible(window->control(Control::List1))->role(), QAccessible::List);
        QCOMPARE(itemNames(window->control(Control::List1)), QStringList{QStringLiteral("Game 1: won")});
        QCOMPARE(itemNames(window->control(Control::List2)), QStringList{QStringLiteral("Game 1: lost")});
        QCOMPARE(window->list(ScoreList::List2)->item(0)->text(), QStringLiteral("0"));
        QCOMPARE(accessible(window->control(Control::List2))->child(0)->role(), QAccessible::ListItem);
    }

    void mainMenuOffersOnlyPlayNowWithTheFocus()
    {
        // Catches hidden controls reported as there, and a window that
        // opens without telling where the focus is.
        QWidget* playNow = window->control(Control::Command2);
        QCOMPARE(nameOf(playNow), QStringLiteral("Play Now"));
        QVERIFY(accessible(playNow)->state().focused);
        QCOMPARE(accessible(window.get())->focusChild(), accessible(playNow));
        QCOMPARE(nameOf(window.get()), QStringLiteral("Tavrin"));
        QVERIFY(accessible(window->cell(0))->state().invisible);
        QVERIFY(accessible(window->control(Control::Frame1))->state().invisible);
    }

    void captionsWithAnAmpersandAreReadAsWritten()
    {
        // Catches button names that drop "&" as a mnemonic marker.
        window->setCaption(Control::Command3, u"Next & last");
        QCOMPARE(nameOf(window->control(Control::Command3)), QStringLiteral("Next & last"));
        window->setCaption(Control::Label2, u"R&D");
        QCOMPARE(nameOf(window->control(Control::Label2)), QStringLiteral("R&D"));
    }

    void veryLongNamesAreReadOnlyInPart()
    {
        // Catches a million-character name sent whole to the screen reader
        // on every change.
        const QString name = QStringLiteral("N") + QString(1'000'000, QLatin1Char('a'));
        window->setCaption(Control::Frame1, name.toStdU16String());
        window->setCaption(Control::Label4, name.toStdU16String());
        window->setCaption(Control::Command3, name.toStdU16String());
        for (Control c : {Control::Frame1, Control::Label4, Control::Command3, Control::List1}) {
            const QString read = nameOf(window->control(c));
            QVERIFY2(read.size() <= 4096 + 16, qPrintable(QString::number(read.size())));
            QVERIFY(read.size() >= 4000);
            QVERIFY(read.contains(QStringLiteral("Naaa")));
        }
        // The rules still read back the whole name.
        QCOMPARE(window->caption(Control::Frame1).size(), name.size());
    }

    void tabMovesTheFocusThroughCellsThenLists()
    {
        // Catches a tab order that follows creation (lists before cells) or
        // stops on labels and frames, as a keyboard player would hear it.
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        window->cell(0)->setFocus(Qt::TabFocusReason);
        QList<QWidget*> expected;
        for (int i = 0; i < kCellCount; ++i)
            expected << window->cell(i);
        expected << window->control(Control::List1) << window->control(Control::List2) << window->cell(0);
        QStringList heard{nameOf(QApplication::focusWidget())};
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            QCOMPARE(focused, expected.at(i));
            QVERIFY(accessible(focused)->state().focused);
            QCOMPARE(accessible(window.get())->focusChild(), accessible(focused));
            heard << nameOf(focused);
        }
        QStringList names = openBoardNames();
        names << QStringLiteral("Scores of Ann") << QStringLiteral("Scores of Bob") << names.first();
        QCOMPARE(heard, names);
        for (Control c : {Control::Label1, Control::Label2, Control::Label3, Control::Label4, Control::Frame1,
                          Control::Frame2})
            QVERIFY(!accessible(window->control(c))->state().focusable);
    }

    void takenCellsAreSkippedByTab()
    {
        // Catches a disabled (taken) cell that still takes the focus.
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        QTest::mouseClick(window->cell(1), Qt::LeftButton);
        window->cell(0)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(window->cell(0), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window->cell(2));
        QCOMPARE(nameOf(QApplication::focusWidget()), QStringLiteral("Cell 3, empty"));
    }

    void eachStepIsAnnouncedInThePlayersWords()
    {
        // Catches a move, a result or a new board that only the screen
        // shows, the wrong player named, and a draw told as a win.
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        QCOMPARE(heard(), QStringLiteral("Ann plays O, Bob plays X. Ann to play, O."));
        play({4});
        QCOMPARE(heard(), QStringLiteral("Ann plays O in 5. Bob to play, X."));
        // Whose turn it is, once: the cell the step hands the focus to adds
        // nothing, a cell the player moves to adds it.
        QCOMPARE(accessible(QApplication::focusWidget())->text(QAccessible::Description), QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(accessible(QApplication::focusWidget())->text(QAccessible::Description), QStringLiteral("Bob to play, X"));
        play({0, 1, 7, 2, 6, 3, 5});
        QCOMPARE(heard(), QStringLiteral("Bob plays X in 6. Ann to play, O."));
        play({8});
        QCOMPARE(heard(), QStringLiteral("Ann plays O in 9. Draw. Ann 0, Bob 0."));
        QTest::mouseClick(window->control(Control::Command3), Qt::LeftButton);
        QCOMPARE(heard(), QStringLiteral("New board. Bob to play, X."));
        play({0, 1, 3, 2, 6});
        QCOMPARE(heard(), QStringLiteral("Bob plays X in 7. WINNER Bob, left column. Ann 0, Bob 1."));
        QCOMPARE(itemNames(window->control(Control::List1)),
                 (QStringList{QStringLiteral("Game 1: draw"), QStringLiteral("Game 2: lost")}));
        QCOMPARE(itemNames(window->control(Control::List2)),
                 (QStringList{QStringLiteral("Game 1: draw"), QStringLiteral("Game 2: won")}));

        window->control(Control::List1)->setFocus();
        QTest::keyClick(window->control(Control::List1), Qt::Key_Return);
        QCOMPARE(heard(), QStringLiteral("New board. Ann to play, O."));
        play({4});
        QTest::keyClick(window->cell(0), Qt::Key_Return);
        QCOMPARE(heard(), QStringLiteral("New board. Bob to play, X."));
    }

    void refusedKeysTheBoardAndTheTotalsAreSpoken()
    {
        // Catches a digit on a taken cell or after the game heard as nothing,
        // a board that cannot be heard without changing it, and score
        // lists that give no totals or keep their only entry silent.
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        play({0, 1, 3});
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
        QCOMPARE(heard(), QStringLiteral("Cell 1 is taken, O."));
        QCOMPARE(window->caption(Control::Label4), u"Bob");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_B);
        QCOMPARE(heard(), QStringLiteral("Row 1: O, X, 3. Row 2: O, 5, 6. Row 3: 7, 8, 9."));
        play({4, 6});
        QCOMPARE(QApplication::focusWidget(), window->control(Control::List1));
        QTest::keyClick(window->control(Control::List1), Qt::Key_Down);
        QCOMPARE(heard(), QStringLiteral("Game 1: won"));
        for (auto [list, answer] : {std::pair{Control::List1, "Enter"}, std::pair{Control::List2, "Continue"}}) {
            QTest::keyClick(window->control(list), Qt::Key_5);
            QCOMPARE(heard(), QStringLiteral("The game is over. Press %1 for a new board.").arg(QLatin1String(answer)));
        }
        QCOMPARE(accessible(window->control(Control::List1))->text(QAccessible::Description),
                 QStringLiteral("Ann: 1 win in 1 game"));
        QCOMPARE(accessible(window->control(Control::List2))->text(QAccessible::Description),
                 QStringLiteral("Bob: 0 wins in 1 game"));
    }

    void theFifthResultIsHeardBeforeTheQuestion()
    {
        // Catches a match end whose last game is announced only after the
        // question, or never, and answers that leave the player unsure
        // where they are.
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        for (int game = 0; game < 4; ++game) {
            play({0, 3, 1, 4, 2});
            QTest::mouseClick(window->control(Control::Command3), Qt::LeftButton);
        }
        QString duringQuestion;
        for (bool yes : {true, false}) {
            whenModalOpens([&duringQuestion, this, yes](QWidget* modal) {
                duringQuestion = heard();
                answerQuestion(modal, yes);
            });
            play({0, 3, 1, 4, 2});
            QCOMPARE(duringQuestion, QStringLiteral("Ann plays O in 3. WINNER Ann, top row. Ann 3, Bob 2."));
            QCOMPARE(heard(), QLatin1String(yes ? "New match. Ann to play, O." : "Main menu: Play Now."));
            if (yes) {
                for (int game = 0; game < 4; ++game) {
                    play({0, 3, 1, 4, 2});
                    QTest::mouseClick(window->control(Control::Command3), Qt::LeftButton);
                }
            }
        }
    }

    void announcementsReadAnyNameAsPlainText()
    {
        // Catches names taken for markup, lost when empty, or sent whole
        // however long they are.
        const QString odd = QStringLiteral("<b>&amp;</b> \u05d3\u05df \U0001F600");
        startGame(odd, QString());
        QCOMPARE(heard(), QStringLiteral("%1 plays O, Second player plays X. %1 to play, O.").arg(odd));
        play({0});
        QCOMPARE(heard(), QStringLiteral("%1 plays O in 1. Second player to play, X.").arg(odd));
        window.reset();
        init();
        const QString huge = QStringLiteral("N") + QString(100'000, QLatin1Char('a'));
        startGame(huge, huge + QLatin1Char('b'));
        QVERIFY2(heard().size() < 20'000, qPrintable(QString::number(heard().size())));
        QVERIFY(heard().startsWith(QStringLiteral("Naaa")));
    }

    void shownControlsReadAsVisible()
    {
        // Catches controls that the screen shows but report themselves
        // invisible, and the announcer taking the focus or a click.
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        play({0, 3, 1, 4, 2});
        for (Control c : {Control::Label1, Control::Label2, Control::Label3, Control::Label4, Control::Command3,
                          Control::List1})
            QVERIFY(!accessible(window->control(c))->state().invisible);
        for (int i = 0; i < kCellCount; ++i)
            QVERIFY(!accessible(window->cell(i))->state().invisible);
        auto* announcer = window->findChild<Announcer*>(QStringLiteral("announcer"));
        QCOMPARE(accessible(announcer)->role(), QAccessible::Notification);
        QVERIFY(announcer->size().isEmpty());
        QVERIFY(!accessible(announcer)->state().focusable);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamefixture.h"

#include <QTest>

using namespace tavrin;
using namespace tavrin::testing;

namespace {
const QString kQuestion = QStringLiteral("Press YES to play again & NO to go to main menu.");

// Plays one game to its end with the outcome 'F' (first player wins), 'S'
// (second player wins) or 'D' (drawn), whoever opens it.
void playGame(Game& game, char outcome)
{
    const bool equalNames = game.first() == game.second();
    const bool firstOpens = game.toMove() == game.first();
    if (equalNames) {
        QVERIFY2(outcome == 'F', "equal names can only give first-player wins");
        game.play({0, 1, 2});
    } else if (outcome == 'D') {
        game.play({0, 1, 2, 4, 3, 5, 7, 6, 8});
    } else if ((outcome == 'F') == firstOpens) {
        game.play({0, 3, 1, 4, 2});
    } else {
        game.play({0, 3, 1, 4, 8, 5});
    }
}

// Plays the games of `outcomes`, pressing Continue after each but the
// fifth of a match.
void playGames(Game& game, const QString& outcomes)
{
    for (const QChar outcome : outcomes) {
        playGame(game, outcome.toLatin1());
        if (game.form.finishedGames() != 0)
            game.form.Command3_Click();
    }
}

QString message(const QStringList& lines)
{
    return lines.join(u'\r');
}

// Everything a player could see, for before/after comparisons.
QString describe(const Game& game)
{
    return QStringList{shownControls(game.mem),
                       boardOf(game.mem),
                       paintOf(game.mem),
                       listOf(game.mem.list1).join(u','),
                       listOf(game.mem.list2).join(u','),
                       q(game.mem.caption(Control::Frame1)),
                       q(game.mem.caption(Control::Frame2)),
                       q(game.mem.caption(Control::Label2)),
                       q(game.mem.caption(Control::Label4)),
                       QString::number(game.mem.focusedCell),
                       QString::number(game.form.finishedGames())}
        .join(u'|');
}

// The main menu after a reset: only "Play Now" (and "Continue" if it was
// left shown), a fresh hidden board, empty lists, no games counted.
void verifyMainMenu(const Game& game, const QString& shown = QStringLiteral("Command2"))
{
    QCOMPARE(shownControls(game.mem), shown);
    QCOMPARE(boardOf(game.mem), QStringLiteral(".../.../..."));
    QCOMPARE(paintOf(game.mem), QStringLiteral(".../.../..."));
    QVERIFY(game.mem.list1.empty() && game.mem.list2.empty());
    QCOMPARE(int{game.form.finishedGames()}, 0);
}
}  // namespace

class TestMatch : public QObject {
    Q_OBJECT

private slots:
    // The fifth finished game, won or drawn, ends the match with a message
    // composed exactly: carriage returns only, no trailing break, one blank
    // before each total, the winner named first in lines 3 and 4.
    void fifthGameEndsTheMatchWithItsResult_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("games");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first player wins 3-2")
            << "Ann" << "Bob" << "FSFSF"
            << message({"Ann VS Bob", "Ann wins the match.", "Ann secured  3", "Bob secured  2", kQuestion});
        QTest::newRow("first player wins 5-0")
            << "Ann" << "Bob" << "FFFFF"
            << message({"Ann VS Bob", "Ann wins the match.", "Ann secured  5", "Bob secured  0", kQuestion});
        QTest::newRow("second player wins 3-2")
            << "Ann" << "Bob" << "SFSFS"
            << message({"Ann VS Bob", "Bob wins the match.", "Bob secured  3", "Ann secured  2", kQuestion});
        QTest::newRow("second player wins 4-0 with a draw")
            << "Ann" << "Bob" << "SSDSS"
            << message({"Ann VS Bob", "Bob wins the match.", "Bob secured  4", "Ann secured  0", kQuestion});
        QTest::newRow("drawn 2-2-1")
            << "Ann" << "Bob" << "FSDFS"
            << message({"Ann VS Bob", "Match draw.", "Ann secured  2", "Bob secured  2", kQuestion});
        QTest::newRow("five draws")
            << "Ann" << "Bob" << "DDDDD"
            << message({"Ann VS Bob", "Match draw.", "Ann secured  0", "Bob secured  0", kQuestion});
        QTest::newRow("four wins then a draw")
            << "Ann" << "Bob" << "FFSFD"
            << message({"Ann VS Bob", "Ann wins the match.", "Ann secured  3", "Bob secured  1", kQuestion});
        QTest::newRow("both names empty")
            << "" << "" << "FFFFF"
            << message({" VS ", " wins the match.", " secured  5", " secured  0", kQuestion});
        QTest::newRow("first name empty")
            << "" << "Bob" << "SSSFF"
            << message({" VS Bob", "Bob wins the match.", "Bob secured  3", " secured  2", kQuestion});
        QTest::newRow("names with markup and ampersand")
            << "<b>x</b>" << "A & B" << "FFFSS"
            << message({"<b>x</b> VS A & B", "<b>x</b> wins the match.", "<b>x</b> secured  3", "A & B secured  2",
                        kQuestion});
    }
    void fifthGameEndsTheMatchWithItsResult()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, games);
        QFETCH(QString, expected);
        Game game;
        game.playNow(first.toStdU16String(), second.toStdU16String());

        playGames(game, games.left(4));
        QVERIFY2(game.mem.messages.empty(), "four games are no match");
        QCOMPARE(int{game.form.finishedGames()}, 4);

        playGame(game, games.back().toLatin1());
        QCOMPARE(int(game.mem.messages.size()), 1);
        QCOMPARE(q(game.mem.messages[0]), expected);
        QCOMPARE(int{game.mem.messageStyles[0]}, 52);
        QCOMPARE(q(game.window.messageTitles[0]), QStringLiteral("Tavrin"));
    }

    // The question comes after all of the fifth game's own steps, with
    // "Continue" already hidden.
    void questionSeesTheFinishedFifthGame_data()
    {
        QTest::addColumn<QString>("games");
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("paint");
        QTest::addColumn<QString>("label2");
        QTest::addColumn<QString>("list1");
        QTest::addColumn<QString>("list2");
        QTest::newRow("won") << "FFFFF" << "XX-/OOO/--X" << ".../rrr/..." << "Ann" << "1,1,1,1,1" << "0,0,0,0,0";
        QTest::newRow("drawn") << "FFFFD" << "XOX/XOO/OXX" << ".../.../..." << "Draw" << "1,1,1,1,0"
                               << "0,0,0,0,0";
    }
    void questionSeesTheFinishedFifthGame()
    {
        QFETCH(QString, games);
        QFETCH(QString, board);
        QFETCH(QString, paint);
        QFETCH(QString, label2);
        QFETCH(QString, list1);
        QFETCH(QString, list2);
        Game game;
        game.playNow(u"Ann", u"Bob");
        QString seen;
        game.window.beforeMessage = [&] {
            seen = QStringList{shownControls(game.mem), boardOf(game.mem), paintOf(game.mem),
                               q(game.mem.caption(Control::Label2)), listOf(game.mem.list1).join(u','),
                               listOf(game.mem.list2).join(u','), QString::number(game.form.finishedGames())}
                       .join(u'|');
        };
        playGames(game, games);
        const QString screen = QStringLiteral("Label1 Label2 Label3 Label4 Frame1 Frame2 List1 List2 cells");
        QCOMPARE(seen, QStringList({screen, board, paint, label2, list1, list2, "5"}).join(u'|'));
    }

    // Yes: a new match between the same players, opened by the first
    // player whoever won, and lasting five games again.
    void yesStartsANewMatchWithTheSamePlayers()
    {
        Game game;
        game.playNow(u"Ann", u"Bob");
        game.mem.msgBoxAnswers.push_back(kAnswerYes);
        playGames(game, "SSSSF");
        QCOMPARE(int(game.mem.messages.size()), 1);
        const int focusRequests = game.window.focusRequests;

        QCOMPARE(shownControls(game.mem), kGameScreen);
        QCOMPARE(boardOf(game.mem), QStringLiteral(".../.../..."));
        QCOMPARE(paintOf(game.mem), QStringLiteral(".../.../..."));
        QVERIFY(game.mem.list1.empty() && game.mem.list2.empty());
        QCOMPARE(q(game.toMove()), QStringLiteral("Ann"));
        QCOMPARE(q(game.first()), QStringLiteral("Ann"));
        QCOMPARE(q(game.second()), QStringLiteral("Bob"));
        QCOMPARE(game.mem.focusedCell, 0);
        QCOMPARE(int{game.form.finishedGames()}, 0);
        QCOMPARE(int(game.mem.prompts.size()), 2);

        playGames(game, "FFFF");
        QCOMPARE(int(game.mem.messages.size()), 1);
        playGames(game, "F");
        QCOMPARE(int(game.mem.messages.size()), 2);
        QCOMPARE(q(game.mem.messages[1]),
                 message({"Ann VS Bob", "Ann wins the match.", "Ann secured  5", "Bob secured  0", kQuestion}));
        // The second question was answered No: no focus asked after it.
        QCOMPARE(game.window.focusRequests, focusRequests + 4);
        verifyMainMenu(game);
    }

    // Any answer but Yes (No, or the box closed) goes to the main menu; the
    // next Play Now asks for names again.
    void otherAnswersGoToTheMainMenu_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("No") << int{kAnswerNo};
        QTest::newRow("Cancel code") << 2;
        QTest::newRow("OK code") << 1;
        QTest::newRow("zero") << 0;
    }
    void otherAnswersGoToTheMainMenu()
    {
        QFETCH(int, answer);
        Game game;
        game.playNow(u"Ann", u"Bob");
        game.mem.msgBoxAnswers.push_back(static_cast<Integer>(answer));
        playGames(game, "FSFSD");
        QCOMPARE(int(game.mem.messages.size()), 1);

        verifyMainMenu(game);
        QCOMPARE(game.mem.focusedCell, -1);
        QCOMPARE(q(game.first()), QStringLiteral("Ann"));
        QCOMPARE(q(game.second()), QStringLiteral("Bob"));

        game.playNow(u"Cat", u"Dan");
        QCOMPARE(int(game.mem.prompts.size()), 4);
        QCOMPARE(shownControls(game.mem), kGameScreen);
        QCOMPARE(q(game.toMove()), QStringLiteral("Cat"));
    }

    // Play Again discards the match: the next one lasts five more games.
    void playAgainMidMatchDiscardsTheMatch()
    {
        Game game;
        game.playNow(u"Ann", u"Bob");
        playGames(game, "FS");
        game.play({4});
        game.form.mnupa_Click();
        verifyMainMenu(game);
        QCOMPARE(int(game.mem.prompts.size()), 2);

        game.playNow(u"Cat", u"Dan");
        QCOMPARE(q(game.toMove()), QStringLiteral("Cat"));
        playGames(game, "FFFF");
        QVERIFY(game.mem.messages.empty());
        playGames(game, "S");
        QCOMPARE(q(game.mem.messages.at(0)),
                 message({"Cat VS Dan", "Cat wins the match.", "Cat secured  4", "Dan secured  1", kQuestion}));
    }

    void playAgainOnTheMainMenuChangesNothing_data()
    {
        QTest::addColumn<bool>("afterMatch");
        QTest::newRow("at start") << false;
        QTest::newRow("after a match answered No") << true;
    }
    void playAgainOnTheMainMenuChangesNothing()
    {
        QFETCH(bool, afterMatch);
        Game game;
        if (afterMatch) {
            game.playNow(u"Ann", u"Bob");
            playGames(game, "FFFFF");
        }
        const QString before = describe(game);
        game.form.mnupa_Click();
        QCOMPARE(describe(game), before);
        verifyMainMenu(game);
    }

    // Play Again leaves "Continue" as it finds it; it stays shown into the
    // next match, where pressing it just clears the board.
    void playAgainWhileContinueIsShownKeepsIt()
    {
        Game game;
        game.playNow(u"Ann", u"Bob");
        playGame(game, 'F');
        game.form.mnupa_Click();
        verifyMainMenu(game, QStringLiteral("Command2 Command3"));

        game.playNow(u"Cat", u"Dan");
        QCOMPARE(shownControls(game.mem), QStringLiteral("Command3 ") + kGameScreen);
        game.play({0, 4});
        game.form.Command3_Click();
        QCOMPARE(shownControls(game.mem), kGameScreen);
        QCOMPARE(boardOf(game.mem), QStringLiteral(".../.../..."));
        QCOMPARE(q(game.toMove()), QStringLiteral("Cat"));
        QCOMPARE(int{game.form.finishedGames()}, 0);

        playGames(game, "FSFSS");
        QCOMPARE(int(game.mem.messages.size()), 1);
        QCOMPARE(q(game.mem.messages[0]),
                 message({"Cat VS Dan", "Dan wins the match.", "Dan secured  3", "Cat secured  2", kQuestion}));
        verifyMainMenu(game);
    }

    // Continue pressed on the main menu: cell 0 is hidden, so nothing may
    // take the focus and nothing may fail; "Continue" itself goes away.
    void continueWithTheBoardHiddenTakesNoFocus()
    {
        Game game;
        game.playNow(u"Ann", u"Bob");
        playGame(game, 'S');
        game.form.mnupa_Click();

        QVERIFY_THROWS_NO_EXCEPTION(game.form.Command3_Click());
        QCOMPARE(game.mem.focusedCell, -1);
        verifyMainMenu(game);
    }

    // Only the right button opens the menu, and opening it changes nothing.
    void mouseUpPopsUpOnlyForTheRightButton_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("popups");
        QTest::newRow("left") << 1 << 0;
        QTest::newRow("right") << 2 << 1;
        QTest::newRow("left and right") << 3 << 0;
        QTest::newRow("middle") << 4 << 0;
        QTest::newRow("none") << 0 << 0;
    }
    void mouseUpPopsUpOnlyForTheRightButton()
    {
        QFETCH(int, button);
        QFETCH(int, popups);
        Game game;
        game.playNow(u"Ann", u"Bob");
        game.play({0});
        const QString before = describe(game);
        game.form.Form_MouseUp(static_cast<Integer>(button));
        QCOMPARE(game.mem.popups, popups);
        QCOMPARE(describe(game), before);
    }

    // Exit Game and closing the window end the program without a question.
    void exitEndsTheProgramAtOnce_data()
    {
        QTest::addColumn<bool>("closeWindow");
        QTest::newRow("Exit Game") << false;
        QTest::newRow("window closed") << true;
    }
    void exitEndsTheProgramAtOnce()
    {
        QFETCH(bool, closeWindow);
        Game game;
        game.playNow(u"Ann", u"Bob");
        playGames(game, "FFFF");
        game.play({0});
        const QString before = describe(game);
        if (closeWindow)
            game.form.Form_Unload();
        else
            game.form.mnue_Click();
        QCOMPARE(game.mem.ends, 1);
        QVERIFY(game.mem.messages.empty());
        QCOMPARE(describe(game), before);
    }

    // Enter in List1 works like Continue even while "Continue" is hidden;
    // every other key does nothing.
    void list1KeyPressRunsContinueOnlyForEnter_data()
    {
        QTest::addColumn<bool>("gameFinished");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("clears");
        QTest::newRow("Enter mid-game") << false << 13 << true;
        QTest::newRow("Enter on a finished game") << true << 13 << true;
        QTest::newRow("digit 1") << false << int{'1'} << false;
        QTest::newRow("space") << false << int{' '} << false;
        QTest::newRow("line feed") << false << 10 << false;
        QTest::newRow("escape") << true << 27 << false;
        QTest::newRow("Enter plus 256") << true << 269 << false;
        QTest::newRow("Enter minus 256") << true << -243 << false;
    }
    void list1KeyPressRunsContinueOnlyForEnter()
    {
        QFETCH(bool, gameFinished);
        QFETCH(int, key);
        QFETCH(bool, clears);
        Game game;
        game.playNow(u"Ann", u"Bob");
        playGames(game, "F");
        if (gameFinished)
            playGame(game, 'S');
        else
            game.play({0, 4});
        const QString before = describe(game);
        const QStringList list1 = listOf(game.mem.list1);
        const QString toMove = q(game.toMove());

        game.form.List1_KeyPress(static_cast<Integer>(key));
        if (!clears) {
            QCOMPARE(describe(game), before);
            return;
        }
        QCOMPARE(shownControls(game.mem), kGameScreen);
        QCOMPARE(boardOf(game.mem), QStringLiteral(".../.../..."));
        QCOMPARE(paintOf(game.mem), QStringLiteral(".../.../..."));
        QCOMPARE(listOf(game.mem.list1), list1);
        QCOMPARE(q(game.toMove()), toMove);
        QCOMPARE(int{game.form.finishedGames()}, gameFinished ? 2 : 1);
        QCOMPARE(game.mem.focusedCell, 0);
    }
};

QTEST_GUILESS_MAIN(TestMatch)
#include "tst_match.moc"

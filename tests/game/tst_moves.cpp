// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamefixture.h"

#include <QTest>

using namespace tavrin;
using namespace tavrin::testing;

namespace {
constexpr int kFirst = 1;
constexpr int kSecond = 2;

// A board already holding a complete line that no check has judged yet: if
// a key ran the result check, the line would be found and the game won.
constexpr std::string_view kUnjudgedLine = "OOO/XX./...";

void setToMove(Game& game, int player)
{
    game.mem.setCaption(Control::Label4, player == kFirst ? game.first() : game.second());
}
}  // namespace

class TestMoves : public QObject {
    Q_OBJECT

private slots:
    // The lists are designed holding "1"; a match must start from empty ones.
    void formLoadEmptiesBothLists()
    {
        MemoryForm mem;
        QCOMPARE(listOf(mem.list1), QStringList{"1"});
        QCOMPARE(listOf(mem.list2), QStringList{"1"});
        Form1 form(mem);
        form.Form_Load();
        QVERIFY(mem.list1.empty());
        QVERIFY(mem.list2.empty());
        QCOMPARE(shownControls(mem), QStringLiteral("Command2"));
    }

    // Cancel gives empty text, which must be taken as a name, not replaced
    // by the default or asked again.
    void playNowTakesTheNamesAsTyped_data()
    {
        QTest::addColumn<bool>("defaults");
        QTest::addColumn<QString>("typed1");
        QTest::addColumn<QString>("typed2");
        QTest::addColumn<QString>("afterTwoMoves");
        QTest::newRow("defaults confirmed") << true << "Player 1" << "Player 2" << "OX./.../...";
        QTest::newRow("both cancelled") << false << "" << "" << "OO./.../...";
        QTest::newRow("first cancelled") << false << "" << "Bob" << "OX./.../...";
        QTest::newRow("second cancelled") << false << "Ann" << "" << "OX./.../...";
        QTest::newRow("names typed") << false << "Ann" << "Bob" << "OX./.../...";
    }
    void playNowTakesTheNamesAsTyped()
    {
        QFETCH(bool, defaults);
        QFETCH(QString, typed1);
        QFETCH(QString, typed2);
        QFETCH(QString, afterTwoMoves);
        Game game;
        if (defaults)
            game.form.Command2_Click();
        else
            game.playNow(typed1.toStdU16String(), typed2.toStdU16String());

        QCOMPARE(int(game.mem.prompts.size()), 2);
        QCOMPARE(q(game.mem.prompts[0]), QStringLiteral("Enter name of first player"));
        QCOMPARE(q(game.mem.prompts[1]), QStringLiteral("Enter name of second player"));
        QCOMPARE(q(game.window.inputTitles[0]), QStringLiteral("Tavrin"));
        QCOMPARE(q(game.window.inputTitles[1]), QStringLiteral("Tavrin"));
        QCOMPARE(q(game.window.inputDefaults[0]), QStringLiteral("Player 1"));
        QCOMPARE(q(game.window.inputDefaults[1]), QStringLiteral("Player 2"));

        QCOMPARE(q(game.first()), typed1);
        QCOMPARE(q(game.second()), typed2);
        QCOMPARE(q(game.toMove()), typed1);
        QCOMPARE(shownControls(game.mem), kGameScreen);
        QCOMPARE(boardOf(game.mem), QStringLiteral(".../.../..."));
        QVERIFY(game.mem.list1.empty() && game.mem.list2.empty());
        QCOMPARE(int{game.form.finishedGames()}, 0);

        game.play({0, 1});
        QCOMPARE(boardOf(game.mem), afterTwoMoves);
    }

    // The mark follows the name in Label4, not a count of moves.
    void moveWritesTheMarkAndPassesTheTurn_data()
    {
        QTest::addColumn<int>("mover");
        QTest::addColumn<QString>("board");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("next");
        QTest::newRow("first player, centre") << kFirst << ".../.../..." << 4 << ".../.O./..." << kSecond;
        QTest::newRow("second player, centre") << kSecond << ".../.../..." << 4 << ".../.X./..." << kFirst;
        QTest::newRow("first player, last cell") << kFirst << "OX./.X./..." << 8 << "OX./.X./..O" << kSecond;
        QTest::newRow("second player, top left") << kSecond << ".../.O./..." << 0 << "X../.O./..." << kFirst;
    }
    void moveWritesTheMarkAndPassesTheTurn()
    {
        QFETCH(int, mover);
        QFETCH(QString, board);
        QFETCH(int, cell);
        QFETCH(QString, expected);
        QFETCH(int, next);
        Game game;
        game.playNow(u"Ann", u"Bob");
        setBoard(game.mem, board.toStdString());
        setToMove(game, mover);

        game.play({cell});
        QCOMPARE(boardOf(game.mem), expected);
        QCOMPARE(q(game.toMove()), q(next == kFirst ? game.first() : game.second()));
        QCOMPARE(shownControls(game.mem), kGameScreen);
        QCOMPARE(paintOf(game.mem), QStringLiteral(".../.../..."));
        QVERIFY(game.mem.list1.empty() && game.mem.list2.empty());
    }

    // With neither name in Label4 no mark is written, but the board is
    // still judged: the unjudged line on it must be found.
    void clickWithNeitherPlayerToMoveOnlyJudgesTheBoard()
    {
        Game game;
        game.playNow(u"Ann", u"Bob");
        setBoard(game.mem, kUnjudgedLine);
        game.mem.setCaption(Control::Label4, u"Zed");

        game.play({8});
        QCOMPARE(boardOf(game.mem), QStringLiteral("OOO/XX-/---"));
        QCOMPARE(q(game.toMove()), QStringLiteral("Zed"));
        QCOMPARE(q(game.mem.caption(Control::Label2)), QStringLiteral("Ann"));
        QCOMPARE(int{game.form.finishedGames()}, 1);
    }

    // Equal names make every move the first player's: the turn never passes.
    void equalNamesAlwaysWriteO_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("both empty") << "";
        QTest::newRow("both Ann") << "Ann";
        QTest::newRow("both X") << "X";
    }
    void equalNamesAlwaysWriteO()
    {
        QFETCH(QString, name);
        Game game;
        game.playNow(name.toStdU16String(), name.toStdU16String());
        const QString boards[] = {"O../.../...", "OO./.../...", "OO./O../...", "OO./O.O/..."};
        int move = 0;
        for (const int cell : {0, 1, 3, 5}) {
            game.play({cell});
            QCOMPARE(boardOf(game.mem), boards[move++]);
            QCOMPARE(q(game.toMove()), name);
        }
    }

    // Names are compared case-sensitively: these are two players.
    void namesDifferingOnlyInCaseAlternate_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("ann, Ann") << "ann" << "Ann";
        QTest::newRow("ANN, Ann") << "ANN" << "Ann";
        QTest::newRow("a, A") << "a" << "A";
    }
    void namesDifferingOnlyInCaseAlternate()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        Game game;
        game.playNow(first.toStdU16String(), second.toStdU16String());
        game.play({0});
        QCOMPARE(q(game.toMove()), second);
        game.play({1, 2});
        QCOMPARE(boardOf(game.mem), QStringLiteral("OXO/.../..."));
        QCOMPARE(q(game.toMove()), second);
    }

    // The digit names the target cell; the focused cell plays no part.
    void digitKeyPlaysItsOwnCell_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<int>("mover");
        QTest::addColumn<int>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1 with focus on cell 8") << ".../.../..." << kFirst << 8 << int{'1'} << "O../.../...";
        QTest::newRow("9 with focus on cell 0") << ".../.../..." << kFirst << 0 << int{'9'} << ".../.../..O";
        QTest::newRow("5 with focus on cell 4") << ".../.../..." << kFirst << 4 << int{'5'} << ".../.O./...";
        QTest::newRow("3 by the second player") << "O../.../..." << kSecond << 5 << int{'3'} << "O.X/.../...";
        QTest::newRow("7 with focus on cell 2") << "O../.X./..." << kFirst << 2 << int{'7'} << "O../.X./O..";
    }
    void digitKeyPlaysItsOwnCell()
    {
        QFETCH(QString, board);
        QFETCH(int, mover);
        QFETCH(int, focus);
        QFETCH(int, key);
        QFETCH(QString, expected);
        Game game;
        game.playNow(u"Ann", u"Bob");
        setBoard(game.mem, board.toStdString());
        setToMove(game, mover);

        game.form.Command1_KeyPress(static_cast<Integer>(focus), static_cast<Integer>(key));
        QCOMPARE(boardOf(game.mem), expected);
        QCOMPARE(q(game.toMove()), q(mover == kFirst ? game.second() : game.first()));
    }

    // A key that plays nothing must not run the result check either; the
    // unjudged line on the board would show it. Codes are 16-bit: 305 and
    // -207 are "1" plus or minus 256 for a handler that truncates to a byte.
    void keysThatPlayNothingChangeNothing_data()
    {
        QTest::addColumn<int>("focus");
        QTest::addColumn<int>("key");
        QTest::newRow("5 on taken cell 4") << 5 << int{'5'};
        QTest::newRow("1 on taken cell 0") << 8 << int{'1'};
        QTest::newRow("4 on taken cell 3") << 6 << int{'4'};
        QTest::newRow("0") << 5 << int{'0'};
        QTest::newRow("colon after 9") << 5 << int{':'};
        QTest::newRow("slash before 0") << 5 << int{'/'};
        QTest::newRow("letter a") << 5 << int{'a'};
        QTest::newRow("letter O") << 5 << int{'O'};
        QTest::newRow("space") << 5 << int{' '};
        QTest::newRow("line feed") << 5 << 10;
        QTest::newRow("escape") << 5 << 27;
        QTest::newRow("tab") << 5 << 9;
        QTest::newRow("code 0") << 5 << 0;
        QTest::newRow("1 plus 256") << 5 << 305;
        QTest::newRow("1 minus 256") << 5 << -207;
        QTest::newRow("Enter plus 256") << 5 << 269;
        QTest::newRow("largest code") << 5 << 32767;
        QTest::newRow("smallest code") << 5 << -32768;
    }
    void keysThatPlayNothingChangeNothing()
    {
        QFETCH(int, focus);
        QFETCH(int, key);
        Game game;
        game.playNow(u"Ann", u"Bob");
        setBoard(game.mem, kUnjudgedLine);
        setToMove(game, kFirst);

        game.form.Command1_KeyPress(static_cast<Integer>(focus), static_cast<Integer>(key));
        QCOMPARE(boardOf(game.mem), QStringLiteral("OOO/XX./..."));
        QCOMPARE(q(game.toMove()), QStringLiteral("Ann"));
        QCOMPARE(shownControls(game.mem), kGameScreen);
        QVERIFY(game.mem.list1.empty() && game.mem.list2.empty());
        QCOMPARE(int{game.form.finishedGames()}, 0);
        QCOMPARE(game.window.focusRequests, 0);
    }

    // Enter mid-game abandons the game without a trace; the player to move
    // keeps the turn and the finished games of the match stay counted.
    void enterOnACellClearsTheBoardAndKeepsTheTurn_data()
    {
        QTest::addColumn<bool>("gameFinishedBefore");
        QTest::addColumn<int>("focus");
        QTest::addColumn<int>("mover");
        QTest::addColumn<QString>("board");
        QTest::newRow("first player to move") << false << 2 << kFirst << "O../.X./...";
        QTest::newRow("second player to move") << false << 7 << kSecond << "O../.X./..O";
        QTest::newRow("after a finished game") << true << 8 << kFirst << "XO./.../...";
    }
    void enterOnACellClearsTheBoardAndKeepsTheTurn()
    {
        QFETCH(bool, gameFinishedBefore);
        QFETCH(int, focus);
        QFETCH(int, mover);
        QFETCH(QString, board);
        Game game;
        game.playNow(u"Ann", u"Bob");
        if (gameFinishedBefore) {
            game.play({0, 3, 1, 4, 2});
            game.form.Command3_Click();
        }
        const QStringList list1 = listOf(game.mem.list1);
        const QStringList list2 = listOf(game.mem.list2);
        const int finished = game.form.finishedGames();
        setBoard(game.mem, board.toStdString());
        setToMove(game, mover);
        game.mem.focusedCell = focus;

        game.form.Command1_KeyPress(static_cast<Integer>(focus), kEnterKey);
        QCOMPARE(boardOf(game.mem), QStringLiteral(".../.../..."));
        QCOMPARE(paintOf(game.mem), QStringLiteral(".../.../..."));
        QCOMPARE(shownControls(game.mem), kGameScreen);
        QCOMPARE(q(game.toMove()), q(mover == kFirst ? game.first() : game.second()));
        QCOMPARE(listOf(game.mem.list1), list1);
        QCOMPARE(listOf(game.mem.list2), list2);
        QCOMPARE(int{game.form.finishedGames()}, finished);
        QCOMPARE(game.mem.focusedCell, 0);

        game.play({4});
        QCOMPARE(boardOf(game.mem), mover == kFirst ? QStringLiteral(".../.O./...") : QStringLiteral(".../.X./..."));
    }

    // After a win the loser is to move, and Continue must not change that.
    void continueAfterAWinLetsTheLoserOpen_data()
    {
        QTest::addColumn<QList<int>>("moves");
        QTest::addColumn<QString>("loser");
        QTest::addColumn<QStringList>("list1");
        QTest::addColumn<QStringList>("list2");
        QTest::newRow("first player wins") << QList<int>{0, 3, 1, 4, 2} << "Bob" << QStringList{"1"} << QStringList{"0"};
        QTest::newRow("second player wins")
            << QList<int>{0, 3, 1, 4, 8, 5} << "Ann" << QStringList{"0"} << QStringList{"1"};
    }
    void continueAfterAWinLetsTheLoserOpen()
    {
        QFETCH(QList<int>, moves);
        QFETCH(QString, loser);
        QFETCH(QStringList, list1);
        QFETCH(QStringList, list2);
        Game game;
        game.playNow(u"Ann", u"Bob");
        for (const int cell : moves)
            game.play({cell});
        QCOMPARE(shownControls(game.mem), kResultScreen);
        QVERIFY(paintOf(game.mem).contains(u'r'));

        game.form.Command3_Click();
        QCOMPARE(boardOf(game.mem), QStringLiteral(".../.../..."));
        QCOMPARE(paintOf(game.mem), QStringLiteral(".../.../..."));
        QCOMPARE(shownControls(game.mem), kGameScreen);
        QCOMPARE(game.mem.focusedCell, 0);
        QCOMPARE(q(game.toMove()), loser);
        QCOMPARE(listOf(game.mem.list1), list1);
        QCOMPARE(listOf(game.mem.list2), list2);
        QCOMPARE(int{game.form.finishedGames()}, 1);
    }

    // A drawn game has nine moves, so its opener also made the last one and
    // the other player opens the next game.
    void continueAfterADrawLetsTheSecondMoverOpen_data()
    {
        QTest::addColumn<int>("opener");
        QTest::addColumn<QString>("drawn");
        QTest::addColumn<QString>("nextMark");
        QTest::newRow("first player opened") << kFirst << "OXO/OXX/XOO" << "X";
        QTest::newRow("second player opened") << kSecond << "XOX/XOO/OXX" << "O";
    }
    void continueAfterADrawLetsTheSecondMoverOpen()
    {
        QFETCH(int, opener);
        QFETCH(QString, drawn);
        QFETCH(QString, nextMark);
        Game game;
        game.playNow(u"Ann", u"Bob");
        setToMove(game, opener);
        game.play({0, 1, 2, 4, 3, 5, 7, 6, 8});
        QCOMPARE(boardOf(game.mem), drawn);
        QCOMPARE(q(game.mem.caption(Control::Label2)), QStringLiteral("Draw"));

        game.form.Command3_Click();
        QCOMPARE(q(game.toMove()), q(opener == kFirst ? game.second() : game.first()));
        game.play({4});
        QCOMPARE(boardOf(game.mem), QStringLiteral(".../.%1./...").arg(nextMark));
    }
};

QTEST_GUILESS_MAIN(TestMoves)
#include "tst_moves.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamefixture.h"

#include <QTest>

using namespace tavrin;
using namespace tavrin::testing;

namespace {
// A game in progress between Ann ("O") and Bob ("X") with the board given
// and the mover's name in Label4.
void setUpGame(Game& game, const QString& board, const QString& mover)
{
    game.playNow(u"Ann", u"Bob");
    setBoard(game.mem, board.toStdString());
    game.mem.setCaption(Control::Label4, mover.toStdU16String());
}
}  // namespace

class TestResult : public QObject {
    Q_OBJECT

private slots:
    // Every line of the table, for both marks: a wrong or missing table
    // entry, a winner taken from the wrong frame or score entries swapped.
    void completedLineWinsTheGame_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("mover");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("paint");
        QTest::addColumn<QString>("winner");
        QTest::addColumn<QString>("entry1");
        QTest::addColumn<QString>("entry2");

        QTest::newRow("O left column") << "OX./OX./..." << "Ann" << 6 << "r../r../r.." << "Ann" << "1" << "0";
        QTest::newRow("O middle column") << "XO./XO./..." << "Ann" << 7 << ".r./.r./.r." << "Ann" << "1" << "0";
        QTest::newRow("O right column") << "X.O/X.O/..." << "Ann" << 8 << "..r/..r/..r" << "Ann" << "1" << "0";
        QTest::newRow("O top row") << "OO./XX./..." << "Ann" << 2 << "rrr/.../..." << "Ann" << "1" << "0";
        QTest::newRow("O middle row") << "XX./OO./..." << "Ann" << 5 << ".../rrr/..." << "Ann" << "1" << "0";
        QTest::newRow("O bottom row") << "XX./.../OO." << "Ann" << 8 << ".../.../rrr" << "Ann" << "1" << "0";
        QTest::newRow("O diagonal") << "OX./XO./..." << "Ann" << 8 << "r../.r./..r" << "Ann" << "1" << "0";
        QTest::newRow("O antidiagonal") << "XXO/.O./..." << "Ann" << 6 << "..r/.r./r.." << "Ann" << "1" << "0";

        QTest::newRow("X left column") << "XO./XO./..O" << "Bob" << 6 << "r../r../r.." << "Bob" << "0" << "1";
        QTest::newRow("X middle column") << "OX./OX./..O" << "Bob" << 7 << ".r./.r./.r." << "Bob" << "0" << "1";
        QTest::newRow("X right column") << "O.X/O.X/.O." << "Bob" << 8 << "..r/..r/..r" << "Bob" << "0" << "1";
        QTest::newRow("X top row") << "XX./OO./O.." << "Bob" << 2 << "rrr/.../..." << "Bob" << "0" << "1";
        QTest::newRow("X middle row") << "OO./XX./O.." << "Bob" << 5 << ".../rrr/..." << "Bob" << "0" << "1";
        QTest::newRow("X bottom row") << "OO./O../XX." << "Bob" << 8 << ".../.../rrr" << "Bob" << "0" << "1";
        QTest::newRow("X diagonal") << "XO./OX./O.." << "Bob" << 8 << "r../.r./..r" << "Bob" << "0" << "1";
        QTest::newRow("X antidiagonal") << "OOX/OX./..." << "Bob" << 6 << "..r/.r./r.." << "Bob" << "0" << "1";
    }
    void completedLineWinsTheGame()
    {
        QFETCH(QString, board);
        QFETCH(QString, mover);
        QFETCH(int, cell);
        QFETCH(QString, paint);
        QFETCH(QString, winner);
        QFETCH(QString, entry1);
        QFETCH(QString, entry2);
        Game game;
        setUpGame(game, board, mover);

        game.play({cell});
        QCOMPARE(shownControls(game.mem), kResultScreen);
        QCOMPARE(q(game.mem.caption(Control::Label2)), winner);
        QCOMPARE(listOf(game.mem.list1), QStringList{entry1});
        QCOMPARE(listOf(game.mem.list2), QStringList{entry2});
        QCOMPARE(int{game.form.finishedGames()}, 1);
        QCOMPARE(paintOf(game.mem), paint);
        for (Integer i = 0; i < kCellCount; ++i)
            QVERIFY2(!game.mem.cell(i).enabled, "a finished board takes no moves");
        // The turn passed before the check, so the loser is to move.
        QCOMPARE(q(game.toMove()), winner == u"Ann" ? QStringLiteral("Bob") : QStringLiteral("Ann"));
        QVERIFY(game.mem.messages.empty());
    }

    // The draw test must only run when no line is complete.
    void ninthMoveCompletingALineIsAWin_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("mover");
        QTest::addColumn<QString>("winner");
        QTest::addColumn<QString>("entry1");
        QTest::newRow("O completes right column") << "XOO/OXO/XX." << "Ann" << "Ann" << "1";
        QTest::newRow("X completes right column") << "OXX/XOX/OO." << "Bob" << "Bob" << "0";
    }
    void ninthMoveCompletingALineIsAWin()
    {
        QFETCH(QString, board);
        QFETCH(QString, mover);
        QFETCH(QString, winner);
        QFETCH(QString, entry1);
        Game game;
        setUpGame(game, board, mover);

        game.play({8});
        QCOMPARE(q(game.mem.caption(Control::Label2)), winner);
        QCOMPARE(listOf(game.mem.list1), QStringList{entry1});
        QCOMPARE(paintOf(game.mem), QStringLiteral("..r/..r/..r"));
        QCOMPARE(int{game.form.finishedGames()}, 1);
    }

    // Only the first complete line in table order counts and is painted.
    void moveCompletingTwoLinesCountsOneGame()
    {
        Game game;
        setUpGame(game, "XOX/O.O/XOX", "Ann");

        game.play({4});
        QCOMPARE(paintOf(game.mem), QStringLiteral(".r./.r./.r."));
        QCOMPARE(listOf(game.mem.list1), QStringList{"1"});
        QCOMPARE(listOf(game.mem.list2), QStringList{"0"});
        QCOMPARE(int{game.form.finishedGames()}, 1);
        QCOMPARE(q(game.mem.caption(Control::Label2)), QStringLiteral("Ann"));
    }

    // Where one move leaves two complete lines, only the earlier one in the
    // table counts. Each row pins one pair of neighbours in the table; some
    // boards hold a line no check has judged yet, which play cannot reach
    // but a reordered table would paint.
    void firstCompleteLineInTableOrderCounts_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("paint");
        QTest::newRow("left column before middle column") << "OO./OO./O.." << 7 << "r../r../r..";
        QTest::newRow("middle column before right column") << ".OO/.OO/.O." << 8 << ".r./.r./.r.";
        QTest::newRow("right column before top row") << "OO./..O/..O" << 2 << "..r/..r/..r";
        QTest::newRow("top row before middle row") << "OOO/OO./..." << 5 << "rrr/.../...";
        QTest::newRow("middle row before bottom row") << ".../OO./OOO" << 5 << ".../rrr/...";
        QTest::newRow("bottom row before diagonal") << "O../.O./OO." << 8 << ".../.../rrr";
        QTest::newRow("diagonal before antidiagonal") << "O.O/.O./O.." << 8 << "r../.r./..r";
    }
    void firstCompleteLineInTableOrderCounts()
    {
        QFETCH(QString, board);
        QFETCH(int, cell);
        QFETCH(QString, paint);
        Game game;
        setUpGame(game, board, "Ann");

        game.play({cell});
        QCOMPARE(paintOf(game.mem), paint);
        QCOMPARE(listOf(game.mem.list1), QStringList{"1"});
        QCOMPARE(int{game.form.finishedGames()}, 1);
    }

    // The winner is told by the mark "O" of the line, not by the names or
    // by who moved: a player named "Draw" or "X" still wins as a player.
    void winnerIsFoundByTheMarkNotTheName_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("mover");
        QTest::addColumn<QString>("board");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("paint");
        QTest::addColumn<QString>("winner");
        QTest::addColumn<QString>("entry1");
        QTest::newRow("first named X") << "X" << "O" << "X" << "OO./XX./..." << 2 << "rrr/.../..." << "X" << "1";
        QTest::newRow("second named Draw")
            << "Ann" << "Draw" << "Draw" << "XX./OO./O.." << 2 << "rrr/.../..." << "Draw" << "0";
        QTest::newRow("both empty") << "" << "" << "" << "OO./.../..." << 2 << "rrr/.../..." << "" << "1";
        // An unjudged line of "X" comes before the mover's new middle row.
        QTest::newRow("line of the player who did not move")
            << "Ann" << "Bob" << "Ann" << "XXX/OO./..." << 5 << "rrr/.../..." << "Bob" << "0";
    }
    void winnerIsFoundByTheMarkNotTheName()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, mover);
        QFETCH(QString, board);
        QFETCH(int, cell);
        QFETCH(QString, paint);
        QFETCH(QString, winner);
        QFETCH(QString, entry1);
        Game game;
        game.playNow(first.toStdU16String(), second.toStdU16String());
        setBoard(game.mem, board.toStdString());
        game.mem.setCaption(Control::Label4, mover.toStdU16String());

        game.play({cell});
        QCOMPARE(q(game.mem.caption(Control::Label2)), winner);
        QCOMPARE(listOf(game.mem.list1), QStringList{entry1});
        QCOMPARE(paintOf(game.mem), paint);
    }

    // A full board without a line: "Draw", a "0" in both lists, no paint.
    void fullBoardWithoutALineIsADraw_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("mover");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("final");
        QTest::newRow("O moves last") << "OXO/OXX/XO." << "Ann" << 8 << "OXO/OXX/XOO";
        QTest::newRow("X moves last") << "XOX/XOO/OX." << "Bob" << 8 << "XOX/XOO/OXX";
        QTest::newRow("last move in the centre") << "OXO/X.O/XOX" << "Ann" << 4 << "OXO/XOO/XOX";
    }
    void fullBoardWithoutALineIsADraw()
    {
        QFETCH(QString, board);
        QFETCH(QString, mover);
        QFETCH(int, cell);
        QFETCH(QString, final);
        Game game;
        setUpGame(game, board, mover);

        game.play({cell});
        QCOMPARE(boardOf(game.mem), final);
        QCOMPARE(shownControls(game.mem), kResultScreen);
        QCOMPARE(q(game.mem.caption(Control::Label2)), QStringLiteral("Draw"));
        QCOMPARE(listOf(game.mem.list1), QStringList{"0"});
        QCOMPARE(listOf(game.mem.list2), QStringList{"0"});
        QCOMPARE(int{game.form.finishedGames()}, 1);
        QCOMPARE(paintOf(game.mem), QStringLiteral(".../.../..."));
    }

    // Two equal marks and an open cell, or three digits, are no line; a
    // board with open cells is no draw.
    void moveFinishingNothingChangesNothing_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("mover");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first move") << ".../.../..." << "Ann" << 4 << ".../.O./...";
        QTest::newRow("two in a line, third open") << "O../.X./..." << "Ann" << 3 << "O../OX./...";
        QTest::newRow("lines of mixed marks") << "OX./XO./..." << "Ann" << 2 << "OXO/XO./...";
        QTest::newRow("eighth move") << "OXO/XXO/O.." << "Bob" << 8 << "OXO/XXO/O.X";
    }
    void moveFinishingNothingChangesNothing()
    {
        QFETCH(QString, board);
        QFETCH(QString, mover);
        QFETCH(int, cell);
        QFETCH(QString, expected);
        Game game;
        setUpGame(game, board, mover);

        game.play({cell});
        QCOMPARE(boardOf(game.mem), expected);
        QCOMPARE(shownControls(game.mem), kGameScreen);
        QCOMPARE(paintOf(game.mem), QStringLiteral(".../.../..."));
        QVERIFY(game.mem.list1.empty() && game.mem.list2.empty());
        QCOMPARE(int{game.form.finishedGames()}, 0);
        QCOMPARE(q(game.mem.caption(Control::Label2)), QString());
        QVERIFY(game.mem.messages.empty());
    }
};

QTEST_GUILESS_MAIN(TestResult)
#include "tst_result.moc"

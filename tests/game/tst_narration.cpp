// SPDX-License-Identifier: GPL-3.0-or-later
// What a player who cannot see the board hears, from the rules' own events.
// That the window speaks it, and when, is tested in tests/ui.
#include "gamefixture.h"
#include "narration.h"

#include <QTest>

using namespace tavrin;
using namespace tavrin::testing;

namespace {

// Keeps what was told at the match's end, when the question comes.
struct Listener final : Narration {
    QString atQuestion;
    void matchEnded(Integer firstTotal, Integer secondTotal) override
    {
        atQuestion = QStringLiteral("%1 (%2:%3) %4")
                         .arg(q(takeNews()))
                         .arg(firstTotal)
                         .arg(secondTotal)
                         .arg(q(newestScoreEntry(Player::Second)));
    }
};

}  // namespace

class TestNarration : public QObject {
    Q_OBJECT

private slots:
    void winsNameTheirLine_data()
    {
        QTest::addColumn<QList<int>>("line");
        QTest::addColumn<QString>("name");
        QTest::newRow("left column") << QList<int>{0, 3, 6} << "left column";
        QTest::newRow("middle column") << QList<int>{1, 4, 7} << "middle column";
        QTest::newRow("right column") << QList<int>{2, 5, 8} << "right column";
        QTest::newRow("top row") << QList<int>{0, 1, 2} << "top row";
        QTest::newRow("middle row") << QList<int>{3, 4, 5} << "middle row";
        QTest::newRow("bottom row") << QList<int>{6, 7, 8} << "bottom row";
        QTest::newRow("falling diagonal") << QList<int>{0, 4, 8} << "diagonal from top left";
        QTest::newRow("rising diagonal") << QList<int>{2, 4, 6} << "diagonal from top right";
    }

    void winsNameTheirLine()
    {
        // Catches a line named out of step with the one the rules found.
        QFETCH(QList<int>, line);
        QFETCH(QString, name);
        Listener heard;
        Game game(heard);
        game.playNow(u"Ann", u"Bob");
        QList<int> others;
        for (int i = 0; i < kCellCount && others.size() < 2; ++i) {
            if (!line.contains(i))
                others << i;
        }
        game.play({line[0], others[0], line[1], others[1]});
        heard.takeNews();
        game.play({line[2]});
        QCOMPARE(q(heard.takeNews()),
                 QStringLiteral("Ann plays O in %1. WINNER Ann, %2. Ann 1, Bob 0.").arg(line[2] + 1).arg(name));
        QCOMPARE(q(heard.newestScoreEntry(Player::First)), QStringLiteral("Game 1: won"));
        QCOMPARE(q(heard.newestScoreEntry(Player::Second)), QStringLiteral("Game 1: lost"));
    }

    void theMatchEndIsToldBeforeTheQuestionThenTheAnswer()
    {
        // Catches a fifth result told after the question or lost, totals
        // other than the question's, and the main menu told when it was
        // already there.
        Listener heard;
        Game game(heard);
        game.playNow(u"Ann", u"Bob");
        game.mem.msgBoxAnswers = {kAnswerYes, kAnswerNo};
        for (const char* answer : {"New match. Ann to play, O.", "Main menu: Play Now."}) {
            for (int won = 0; won < 4; ++won) {
                game.play({0, 3, 1, 4, 2});
                game.form.Command3_Click();
            }
            game.play({0, 1, 2, 4, 3, 5, 7, 6});
            heard.takeNews();
            game.play({8});
            QCOMPARE(heard.atQuestion, QStringLiteral("Ann plays O in 9. Draw. Ann 2, Bob 2. (2:2) Game 5: draw"));
            QCOMPARE(q(heard.takeNews()), QLatin1String(answer));
        }
        QCOMPARE(q(heard.turnText()), QString());
        game.form.mnupa_Click();
        QCOMPARE(q(heard.takeNews()), QString());
    }

    void namesAreSpokenHoweverTheyAreTyped()
    {
        // Catches equal names told apart by their marks, an empty name left
        // unsaid, and a huge one said whole or cut inside a character.
        Narration heard;
        Game game(heard);
        game.playNow(u"Ann", u"Ann");
        game.play({0});
        QCOMPARE(q(heard.takeNews()), QStringLiteral("Ann plays O, Ann plays X. Ann plays O in 1. Ann to play, O."));
        game.form.GoToMainMenu();
        game.playNow(u"", std::u16string(4095, u'a') + u"\U0001F600");
        QCOMPARE(q(heard.takeNews()), QStringLiteral("First player plays O, %1 plays X. First player to play, O.")
                                          .arg(QString(4095, QLatin1Char('a'))));
        game.form.Command1_KeyPress(0, 13);
        QCOMPARE(q(heard.takeNews()), QStringLiteral("New board. First player to play, O."));
    }

    void askedForAndRefusedSentences()
    {
        // Catches totals out of step with the results, a board read in
        // another order, and window lines run together or empty ones said.
        Narration heard;
        Game game(heard);
        game.playNow(u"Ann", u"Bob");
        QCOMPARE(q(heard.scoreSummary(Player::First)), QStringLiteral("Ann: 0 wins in 0 games"));
        game.play({0, 3, 1, 4, 2});
        QCOMPARE(q(heard.scoreSummary(Player::First)), QStringLiteral("Ann: 1 win in 1 game"));
        QCOMPARE(q(heard.scoreSummary(Player::Second)), QStringLiteral("Bob: 0 wins in 1 game"));
        QCOMPARE(q(takenCellText(4, u"X")), QStringLiteral("Cell 5 is taken, X."));
        QCOMPARE(q(gameOverText(true)), QStringLiteral("The game is over. Press Enter for a new board."));
        QCOMPARE(q(gameOverText(false)), QStringLiteral("The game is over. Press Continue for a new board."));
        QCOMPARE(q(boardText({u"O", u"X", u"3", u"4", u"O", u"6", u"7", u"8", u"9"})),
                 QStringLiteral("Row 1: O, X, 3. Row 2: 4, O, 6. Row 3: 7, 8, 9."));
        QCOMPARE(q(spokenLines({u"Tavrin", u"", u"Version: 6.0", u"Beware: three in a row wins!"})),
                 QStringLiteral("Tavrin. Version: 6.0. Beware: three in a row wins!"));
    }
};

QTEST_APPLESS_MAIN(TestNarration)
#include "tst_narration.moc"

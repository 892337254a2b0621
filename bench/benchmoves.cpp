// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of a move: a click on an open cell through the Qt main window
// (run it on the offscreen platform), repaint included, and the same move
// through the in-memory window. Prints one "key microseconds" line per trial.
//
// Usage: benchmoves [trials [qt-moves [memory-moves]]]
#include "form1.h"
#include "graphicalbutton.h"
#include "mainwindow.h"
#include "memoryform.h"

#include <QApplication>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace tavrin;

namespace {

using Clock = std::chrono::steady_clock;

// Wins the left column for O; five of these games end a match.
constexpr Integer kWinningOrder[] = {0, 1, 3, 2, 6};

// The main window with its prompts and the match-end question answered at
// once, as a player pressing Return would: the default names, then Yes.
class ScriptedWindow final : public MainWindow {
public:
    std::u16string inputBox(std::u16string_view, std::u16string_view, std::u16string_view defaultText) override
    {
        return std::u16string(defaultText);
    }
    Integer msgBox(std::u16string_view, Integer, std::u16string_view) override { return kAnswerYes; }
};

enum class Repaint { Pending, Whole };

// Plays whole games until `moves` moves are made; returns microseconds per
// move, counting only the clicks on cells and the painting they cause.
double qtMoves(ScriptedWindow& window, int moves, Repaint repaint)
{
    Clock::duration spent{};
    int made = 0;
    while (made < moves) {
        for (const Integer cell : kWinningOrder) {
            const auto begin = Clock::now();
            QTest::mouseClick(window.cell(cell), Qt::LeftButton);
            if (repaint == Repaint::Whole)
                window.repaint();
            else
                QCoreApplication::sendPostedEvents();
            spent += Clock::now() - begin;
            ++made;
        }
        // The fifth game's question started a fresh match on a clear board.
        if (window.handlers().finishedGames() != 0)
            window.handlers().Command3_Click();
        QCoreApplication::sendPostedEvents();
    }
    return std::chrono::duration<double, std::micro>(spent).count() / made;
}

double memoryMoves(int moves)
{
    testing::MemoryForm form;
    form.msgBoxAnswers.assign(static_cast<std::size_t>(moves / 25 + 1), kAnswerYes);
    Form1 rules(form);
    rules.Form_Load();
    rules.Command2_Click();
    Clock::duration spent{};
    int made = 0;
    while (made < moves) {
        for (const Integer cell : kWinningOrder) {
            const auto begin = Clock::now();
            rules.Command1_Click(cell);
            spent += Clock::now() - begin;
            ++made;
        }
        if (rules.finishedGames() != 0)
            rules.Command3_Click();
    }
    return std::chrono::duration<double, std::micro>(spent).count() / made;
}

int argument(int argc, char** argv, int index, int fallback)
{
    return argc > index ? std::atoi(argv[index]) : fallback;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int trials = argument(argc, argv, 1, 9);
    const int qtMoveCount = argument(argc, argv, 2, 2000);
    const int memoryMoveCount = argument(argc, argv, 3, 200000);

    ScriptedWindow window;
    window.show();
    // Until the platform reports the window exposed, painting is skipped.
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.handlers().Command2_Click();
    window.repaint();
    // Warm-up: glyph caches, the first red cells, the first match end.
    qtMoves(window, 100, Repaint::Pending);
    memoryMoves(1000);

    for (int trial = 0; trial < trials; ++trial) {
        std::printf("qt_move_us %.3f\n", qtMoves(window, qtMoveCount, Repaint::Pending));
        std::printf("qt_move_whole_repaint_us %.3f\n", qtMoves(window, qtMoveCount, Repaint::Whole));
        std::printf("memory_move_us %.4f\n", memoryMoves(memoryMoveCount));
        std::fflush(stdout);
    }
    return 0;
}

#pragma once

#include "narration.h"

namespace tavrin {

class Announcer;
class MainWindow;

// Speaks what the rules tell to players who cannot see the board, and gives
// the cells and score entries their spoken context as it changes.
class Narrator final : public Narration {
public:
    explicit Narrator(MainWindow& window);

    // Speaks the news told since the last call, if any: after each handler,
    // and before the question at a match's end.
    void speak();

    void matchStarted(std::u16string_view first, std::u16string_view second, MatchStart how) override;
    void markPlaced(Integer cell, std::u16string_view mark, std::u16string_view nextToMove) override;
    void gameWon(Player winner, const Line& line) override;
    void gameDrawn() override;
    void matchEnded(Integer firstTotal, Integer secondTotal) override;
    void mainMenuShown() override;

private:
    void describeTurn();
    void describeNewestEntries();

    MainWindow& window;
    Announcer* announcer;
};

}  // namespace tavrin

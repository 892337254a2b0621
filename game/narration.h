// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "formcontrols.h"
#include "gameevents.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

// The game in a few plain sentences, for players who cannot see the board,
// built from what the rules tell: "Ann plays O in 5. Bob to play, X."
class Narration : public GameEvents {
public:
    void matchStarted(std::u16string_view first, std::u16string_view second, MatchStart how) override;
    void markPlaced(Integer cell, std::u16string_view mark, std::u16string_view nextToMove) override;
    void gameWon(Player winner, const Line& line) override;
    void gameDrawn() override;
    void boardCleared() override;
    void mainMenuShown() override;

    // What happened since the last call, empty when nothing did.
    std::u16string takeNews();
    // Who moves next, as a cell describes it: "Bob to play, X"; empty at
    // the main menu.
    std::u16string turnText() const;
    // How the newest entry of a player's score list reads: "Game 2: won",
    // "lost" or "draw".
    std::u16string newestScoreEntry(Player player) const;
    // A score list's total: "Zebedee: 3 wins in 5 games".
    std::u16string scoreSummary(Player player) const;

private:
    std::u16string spokenName(Player player) const;
    void tell(std::u16string_view sentence);
    void tellResult(std::u16string_view outcome);

    std::u16string firstName, secondName;
    Player toMove = Player::First;
    bool atMainMenu = true;
    Integer firstTotal = 0, secondTotal = 0, games = 0;
    std::optional<Player> lastWinner;  // none after a draw
    std::u16string news;
    bool turnFollows = false;
};

// Sentences for what a player asks to hear, or for a key the rules refuse,
// which is otherwise silent.

// A digit whose cell is taken: "Cell 5 is taken, O."
std::u16string takenCellText(Integer index, std::u16string_view mark);
// A digit after a game is over, and how to go on: Enter in the first
// player's score list, the Continue button elsewhere.
std::u16string gameOverText(bool enterContinues);
// The board row by row from the top, an open cell by its number:
// "Row 1: O, X, 3. Row 2: 4, O, 6. Row 3: 7, 8, 9."
std::u16string boardText(const std::array<std::u16string, kCellCount>& captions);
// Lines of a window read as sentences, the empty ones left out: "Tavrin.
// Beware: three in a row wins!"
std::u16string spokenLines(const std::vector<std::u16string>& lines);

}  // namespace tavrin

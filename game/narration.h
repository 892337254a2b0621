#pragma once

#include "gameevents.h"

#include <string>

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

private:
    std::u16string spokenName(Player player) const;
    void tell(std::u16string_view sentence);
    void tellResult(std::u16string_view outcome);

    std::u16string firstName, secondName;
    Player toMove = Player::First;
    bool atMainMenu = true;
    Integer firstTotal = 0, secondTotal = 0, games = 0;
    bool lastDrawn = false;
    Player lastWinner = Player::First;
    std::u16string news;
    bool turnFollows = false;
};

}  // namespace tavrin

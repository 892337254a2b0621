// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "basictypes.h"

#include <string_view>

namespace tavrin {

// Three cells that win a game when they hold the same mark, with the name
// a player hears for them.
struct Line {
    Integer first, middle, last;
    std::u16string_view name;
};

enum class Player { First, Second };

// Play Now asks for the names; the Yes answer at a match's end keeps them.
enum class MatchStart { NewPlayers, SamePlayers };

// What happened, told by the rules once they have written it into the
// controls, and before they ask for the focus. Names are the captions as
// written; a listener must not call back into the rules. Every event does
// nothing unless overridden.
class GameEvents {
public:
    virtual ~GameEvents() = default;

    // The board is open and `first` moves first.
    virtual void matchStarted(std::u16string_view /*first*/, std::u16string_view /*second*/, MatchStart /*how*/) {}
    // `mark` now stands in `cell`; the turn label names `nextToMove`.
    virtual void markPlaced(Integer /*cell*/, std::u16string_view /*mark*/, std::u16string_view /*nextToMove*/) {}
    virtual void gameWon(Player /*winner*/, const Line& /*line*/) {}
    virtual void gameDrawn() {}
    // Continue or Enter: every cell open again, the turn unchanged.
    virtual void boardCleared() {}
    // The fifth game is over; the question comes next.
    virtual void matchEnded(Integer /*firstTotal*/, Integer /*secondTotal*/) {}
    virtual void mainMenuShown() {}

    // Listens to nothing.
    static GameEvents& none()
    {
        static GameEvents nobody;
        return nobody;
    }
};

}  // namespace tavrin

#pragma once

#include "formcontrols.h"

#include <QString>

#include <array>
#include <functional>

namespace tavrin {

class Announcer;
class MainWindow;

// What a player sees of the game, as the window's controls show it.
struct ScreenState {
    std::array<QString, kCellCount> cells;
    std::array<bool, kCellCount> red{};
    bool mainMenu = false;
    bool result = false;
    QString playNow, banner, outcome;  // Command2, Label1, Label2
    QString turn, first, second;       // Label4, Frame1, Frame2
    int firstTotal = 0;
    int secondTotal = 0;
    int games = 0;
};

// What a screen reader calls a score list: after the player named by the
// frame it lies in or over.
QString scoreListName(const QString& player);

// What a screen reader calls a cell: where it is and what it holds.
QString cellAccessibleName(Integer index, const QString& caption);

ScreenState readScreen(const MainWindow& window);

// Who moves next, as a cell describes it: "Bob to play, X".
QString turnText(const ScreenState& state);

// What changed from `before` to `after` in a few plain sentences, empty when
// nothing a player needs to hear changed. With `always`, an open board is
// announced even when it was open before.
QString announcement(const ScreenState& before, const ScreenState& after, bool always = false);

// Speaks what the window's handlers change, to players who cannot see it:
// reads the controls before and after each handler and announces the
// difference. Gives the cells and score entries their spoken context too.
class Narrator {
public:
    explicit Narrator(MainWindow& window);

    // Runs `handler`, then announces what it changed (see announcement()).
    void narrate(const std::function<void()>& handler, bool always = false);
    // Announces what changed so far, before a question stops the handler.
    void announceChanges(bool always = false);

private:
    void describeControls(const ScreenState& state);

    MainWindow& window;
    Announcer* announcer;
    ScreenState before;
};

}  // namespace tavrin

#pragma once

#include "narration.h"

namespace tavrin {

class Announcer;
class MainWindow;

// Speaks what the rules tell to players who cannot see the board, and gives
// the cells and score entries their spoken context.
class Narrator final : public Narration {
public:
    explicit Narrator(MainWindow& window);

    // Speaks the news told since the last call, if any, and brings the
    // cells' and the newest score entries' descriptions up to date: after
    // each handler, and before the question at a match's end.
    void speak();

    void matchEnded(Integer firstTotal, Integer secondTotal) override;

private:
    MainWindow& window;
    Announcer* announcer;
};

}  // namespace tavrin

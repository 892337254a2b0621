// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "accessibleeventhold.h"
#include "narration.h"

#include <QString>

#include <optional>

namespace tavrin {

class Announcer;
class MainWindow;

// Speaks what the rules tell to players who cannot see the board, and gives
// the cells and score entries their spoken context as it changes.
class Narrator final : public Narration {
public:
    explicit Narrator(MainWindow& window);

    // Runs a handler of the rules, then speaks what it did. What the step
    // raises for screen readers is held and follows the news, each change
    // once and the focus only where it came to rest.
    template <class Handler>
    void step(Handler handler)
    {
        if (stepping) {
            handler();
            return;
        }
        hold.emplace();
        stepping = true;
        handler();
        stepping = false;
        speak();
    }
    // Runs a prompt or question with its events sent as they come; the
    // step's later events are held again.
    template <class Dialog>
    auto ask(Dialog dialog)
    {
        hold.reset();
        auto answer = dialog();
        if (stepping)
            hold.emplace();
        return answer;
    }
    // Speaks the news told since the last call, if any, then what the step
    // raised: after each handler, and before the question at a match's end.
    void speak();
    // Says `text` at once, for what no step changes.
    void say(const QString& text);
    // What a cell taking the focus adds to its name: whose turn it is, but
    // nothing while a step runs, whose news says it first.
    QString cellDescription() const;

    void matchStarted(std::u16string_view first, std::u16string_view second, MatchStart how) override;
    void gameWon(Player winner, const Line& line) override;
    void gameDrawn() override;
    void matchEnded(Integer firstTotal, Integer secondTotal) override;

private:
    void describeNewestEntries();
    void describeTotals();

    MainWindow& window;
    Announcer* announcer;
    std::optional<AccessibleEventHold> hold;
    bool stepping = false;
};

}  // namespace tavrin

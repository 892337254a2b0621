// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace tavrin {

// Holds back the accessibility events that one step of the game raises,
// for screen readers that speak events in the order they come and stop at
// the next key: the step's announcement can then go first, and the rest
// follow shortened, each name or state change once and the focus only where
// it came to rest (disabling a focused cell hands the focus on, cell by
// cell). Fewer events also keep Orca from thinking itself flooded, when it
// drops every notification still queued. One hold at a time; a hold made
// while another is on holds nothing.
class AccessibleEventHold {
public:
    AccessibleEventHold();
    ~AccessibleEventHold();
    AccessibleEventHold(const AccessibleEventHold&) = delete;
    AccessibleEventHold& operator=(const AccessibleEventHold&) = delete;

    // Sends the events that `first` raises, then those held so far, and
    // holds no more.
    void release(const std::function<void()>& first = {});

private:
    bool owner = false;
};

}  // namespace tavrin

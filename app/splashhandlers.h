// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "basictypes.h"
#include "splashwindows.h"

namespace tavrin {

// The splash window's handlers and its form-level variable.
class SplashHandlers {
public:
    explicit SplashHandlers(SplashWindows& windows) : windows(windows) {}

    // Runs on every tick of the one-second timer.
    void Timer1_Timer();
    // Runs on a click on the frame itself, not on a label or the picture.
    void Frame1_Click();

    // True once the sixth tick has run: later ticks change nothing.
    bool ticksDone() const { return splashTicks > kHandOverTick; }

    // The count that the sixth tick finds.
    static constexpr Integer kHandOverTick = 5;

private:
    void handOver();

    SplashWindows& windows;
    Integer splashTicks = 0;
};

}  // namespace tavrin

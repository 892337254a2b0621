// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavrin {

// What the splash's handlers do to the program's two windows.
class SplashWindows {
public:
    virtual ~SplashWindows() = default;

    virtual bool form1Exists() const = 0;
    // Creating the main window runs its load handler.
    virtual void createForm1() = 0;
    // Shows the main window, modeless and without an owner.
    virtual void showForm1() = 0;
    // Hides the splash; it stays loaded and its timer keeps running.
    virtual void hideSplash() = 0;
};

}  // namespace tavrin

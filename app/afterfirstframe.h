// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QWidget;

namespace tavrin {

// Runs `task` once, after `window` has drawn its first frame and handed it to
// the window system (or when it is hidden first): work the first frame does
// not need stops delaying it.
void afterFirstFrame(QWidget& window, std::function<void()> task);

}  // namespace tavrin

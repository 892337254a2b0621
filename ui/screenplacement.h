// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace tavrin {

// Where a window's client area goes, designed at `client`, with `frame` the
// margins its decorations add: where designed, if the framed window lies
// within `available`; else moved the least it must, and a window larger
// than `available` with its frame's top-left corner on it.
QRect placedOnScreen(const QRect& client, const QMargins& frame, const QRect& available);

// Keeps a top-level window at its present (designed) geometry where that
// lies on its screen, and else moves it as placedOnScreen says: now, and
// once more at its first paint, when its decorations' margins are known.
// Only on X11: elsewhere the windowing system places windows.
void keepOnScreen(QWidget& window);

}  // namespace tavrin

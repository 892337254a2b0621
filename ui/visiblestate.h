// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace tavrin {

// Qt's AT-SPI bridge (6.4 to 6.8 at least) tells screen readers that a
// widget being shown or hidden is now "showing" or not, but never that it
// is "visible". A reader that met the widget hidden (Orca reads the whole
// window when it opens) keeps it invisible in its cache for good, and its
// flat review then skips the turn label, the result and every cell that
// never had the focus. From this call on, the missing change goes over the
// bridge's own connection whenever `window` or one of its widgets is shown
// or hidden. It does nothing while no screen reader listens, where the
// bridge is not Qt's AT-SPI bridge, or with a Qt newer than those checked:
// the desktop test of the accessibility bus says whether one still needs it.
void reportVisibleStates(QWidget& window);

}  // namespace tavrin

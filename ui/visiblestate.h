#pragma once

class QWidget;

namespace tavrin {

// Qt 6.4's AT-SPI bridge tells screen readers that a widget being shown or
// hidden is now "showing" or not, but never that it is "visible". A reader
// that met the widget hidden (Orca reads the whole window when it opens)
// keeps it invisible in its cache for good, and its flat review then skips
// the turn label, the result and every cell that never had the focus.
// This sends the missing change over the bridge's own connection whenever
// one of `root`'s descendants is shown or hidden. It does nothing while no
// screen reader listens, or where the bridge is not Qt's AT-SPI bridge.
void reportVisibleStates(QWidget& root);

}  // namespace tavrin

#pragma once

namespace tavrin {

// Qt 6.4's AT-SPI bridge tells screen readers that a widget being shown or
// hidden is now "showing" or not, but never that it is "visible". A reader
// that met the widget hidden (Orca reads the whole window when it opens)
// keeps it invisible in its cache for good, and its flat review then skips
// the turn label, the result and every cell that never had the focus.
// From this call on, the missing change goes over the bridge's own
// connection whenever a widget of the application is shown or hidden. It
// does nothing while no screen reader listens, or where the bridge is not
// Qt's AT-SPI bridge. Needs the QApplication.
void reportVisibleStates();

}  // namespace tavrin

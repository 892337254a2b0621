// What a screen reader learns from the main window, read in-process through
// QAccessible on the offscreen platform: names, roles, states and the focus
// order. The offscreen platform has no accessibility bridge, so change
// events are left to the end-to-end test over AT-SPI.
#include "graphicalbutton.h"
#include "mainwindow.h"
#include "modaldialogs.h"
#include "tst_accessibility.moc"

// The main window on the offscreen platform: layout, fonts, orders, painting
// and the event wiring that reaches the rules.
#include "captionframe.h"
#include "designfonts.h"
#include "graphicalbutton.h"
#include "mainwindow.h"
#include "modaldialogs.h"
#include "tst_mainwindow.moc"

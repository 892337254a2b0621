// SPDX-License-Identifier: GPL-3.0-or-later
#include "splashhandlers.h"

namespace tavrin {

void SplashHandlers::Timer1_Timer()
{
    if (splashTicks == kHandOverTick)
        handOver();
    // Nothing reads the count after the sixth tick; counting on would pass
    // the 16-bit limit after about nine hours.
    if (!ticksDone())
        splashTicks = addSaturated(splashTicks, 1);
}

void SplashHandlers::Frame1_Click()
{
    handOver();
}

void SplashHandlers::handOver()
{
    if (!windows.form1Exists())
        windows.createForm1();
    windows.showForm1();
    windows.hideSplash();
}

}  // namespace tavrin

// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into mutter by the desktop tests, so that they check the
// program's drawing rather than a race of mutter 43 (Debian 12's), fixed in
// mutter 46 by "compositor/x11: Sync again at the end of before_paint".
// Mutter 43 takes a window's picture for the screen before its
// XDamageSubtract has reached the X server; whatever the window draws in
// between, inside the damage already reported, is never reported again, and
// the screen keeps the older picture. Waiting for the server after each
// subtraction, as mutter 46 does before it composites, closes that gap.
#include <dlfcn.h>

extern "C" {

struct _XDisplay;
using XID = unsigned long;

int XDamageSubtract(_XDisplay* display, XID damage, XID repair, XID parts)
{
    using Subtract = int (*)(_XDisplay*, XID, XID, XID);
    using Sync = int (*)(_XDisplay*, int);
    static const auto subtract = reinterpret_cast<Subtract>(dlsym(RTLD_NEXT, "XDamageSubtract"));
    static const auto sync = reinterpret_cast<Sync>(dlsym(RTLD_DEFAULT, "XSync"));
    if (subtract == nullptr)
        return 0;
    const int status = subtract(display, damage, repair, parts);
    if (sync != nullptr)
        sync(display, 0);
    return status;
}

}  // extern "C"

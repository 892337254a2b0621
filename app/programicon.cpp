// SPDX-License-Identifier: GPL-3.0-or-later
#include "programicon.h"

namespace tavrin {

QIcon programIcon()
{
    QIcon icon;
    for (const int size : kTitleBarIconSizes)
        icon.addFile(QStringLiteral(":/tavrin/icons/tavrin-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace tavrin

#include "programicon.h"

namespace tavrin {

QIcon programIcon()
{
    QIcon icon;
    // Title bars and window switchers need no more than these; the larger
    // renditions are for the desktop's icon theme.
    for (const int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/tavrin/icons/tavrin-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace tavrin

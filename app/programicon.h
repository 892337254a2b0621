#pragma once

#include <QIcon>

namespace tavrin {

// The program's icon as window title bars show it. Its images load only
// when a window asks for them.
QIcon programIcon();

}  // namespace tavrin

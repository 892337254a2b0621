// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

namespace tavrin {

// A standard push button whose caption wraps onto further lines when it is
// wider than the button, as large captions on tall buttons need. Enter and
// Return press it while it has the focus, as Space does.
class WrappingButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tavrin

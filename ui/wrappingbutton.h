#pragma once

#include <QPushButton>

namespace tavrin {

// A standard push button whose caption wraps onto further lines when it is
// wider than the button, as large captions on tall buttons need.
class WrappingButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tavrin

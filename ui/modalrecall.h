// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace tavrin {

// While a modal dialog is open, the keyboard belongs to it. Where the
// compositor lets a click activate the window behind it (Wayland knows no
// modal windows), activating `mainWindow` hands the keyboard back to the
// dialog and shows the dialog again if it was minimised.
class ModalRecall : public QObject {
public:
    explicit ModalRecall(QWidget& mainWindow);

private:
    void focusWindowChanged(QWindow* window);
    void recall(QWidget* dialog);
    void makeAnew(QWidget* dialog);

    QWidget& mainWindow;
    QPointer<QWidget> recalled;
};

}  // namespace tavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "modalrecall.h"

#include "dialogs.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <QWidget>

namespace tavrin {

namespace {

// How long an activation may take to arrive before the dialog is shown
// afresh: a compositor that grants it does so within a few milliseconds.
constexpr int kActivationWaitMs = 250;

}  // namespace

ModalRecall::ModalRecall(QWidget& mainWindow) : QObject(&mainWindow), mainWindow(mainWindow)
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &ModalRecall::focusWindowChanged);
}

void ModalRecall::focusWindowChanged(QWindow* window)
{
    QWidget* dialog = QApplication::activeModalWidget();
    if (window == nullptr || window != mainWindow.windowHandle() || dialog == nullptr || dialog == &mainWindow)
        return;
    // After the activation has been handled: the dialog's own request would
    // otherwise race the one that brought the main window forward.
    QTimer::singleShot(0, dialog, [this, dialog] { recall(dialog); });
}

void ModalRecall::recall(QWidget* dialog)
{
    if (!dialog->isVisible() || QApplication::activeModalWidget() != dialog)
        return;
    // Minimised where Qt is told of it (X11, Qt's own title bars).
    if (dialog->isMinimized())
        dialog->showNormal();
    dialog->raise();
    dialog->activateWindow();
    // A compositor may refuse the activation, and on Wayland a minimised
    // window says nothing of it: if the main window still has the keyboard
    // a moment later, the dialog comes back as a new window, which the
    // compositor shows and focuses. Once for each activation of the main
    // window, so that a compositor that keeps it there is not fought.
    recalled = dialog;
    QTimer::singleShot(kActivationWaitMs, dialog, [this, dialog] {
        if (recalled == dialog && QGuiApplication::focusWindow() == mainWindow.windowHandle() &&
            QApplication::activeModalWidget() == dialog)
            makeAnew(dialog);
        recalled = nullptr;
    });
}

void ModalRecall::makeAnew(QWidget* dialog)
{
    // Only Wayland keeps quiet about a refused activation or a minimised
    // window; an X11 window manager keeps modal dialogs in reach itself.
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    if (auto* programDialog = qobject_cast<ProgramDialog*>(dialog))
        programDialog->comeBack();
}

}  // namespace tavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "screenplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace tavrin {

namespace {

QRect availableArea(const QWidget& window, const QRect& client)
{
    const QScreen* screen = QGuiApplication::screenAt(client.center());
    return (screen != nullptr ? screen : window.screen())->availableGeometry();
}

QMargins frameMargins(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

// Places the window again once it has been drawn for the first time: by
// then the window manager has put its decorations around it.
class FirstPaintPlacement : public QObject {
public:
    FirstPaintPlacement(QWidget& window, const QRect& designed) : QObject(&window), window(window), designed(designed)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            window.setGeometry(placedOnScreen(designed, frameMargins(window), availableArea(window, designed)));
            deleteLater();
        }
        return false;
    }

private:
    QWidget& window;
    const QRect designed;
};

}  // namespace

QRect placedOnScreen(const QRect& client, const QMargins& frame, const QRect& available)
{
    const QRect framed = client.marginsAdded(frame);
    // Right and bottom edges first, so that the top-left corner wins where
    // the window is larger than the screen.
    const int dx = std::max(std::min(available.right() - framed.right(), 0), available.left() - framed.left());
    const int dy = std::max(std::min(available.bottom() - framed.bottom(), 0), available.top() - framed.top());
    return client.translated(dx, dy);
}

void keepOnScreen(QWidget& window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    const QRect designed = window.geometry();
    window.setGeometry(placedOnScreen(designed, {}, availableArea(window, designed)));
    new FirstPaintPlacement(window, designed);
}

}  // namespace tavrin

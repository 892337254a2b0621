// SPDX-License-Identifier: GPL-3.0-or-later
#include "afterfirstframe.h"

#include <QEvent>
#include <QWidget>

#include <utility>

namespace tavrin {

namespace {

class FirstFrameWatch final : public QObject {
public:
    FirstFrameWatch(QWidget& window, std::function<void()> task) : QObject(&window), task(std::move(task))
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint || event->type() == QEvent::Hide) {
            watched->removeEventFilter(this);
            // Qt sends the frame to the window system in the same call that
            // paints it; a queued call runs after that.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    task();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> task;
};

}  // namespace

void afterFirstFrame(QWidget& window, std::function<void()> task)
{
    new FirstFrameWatch(window, std::move(task));
}

}  // namespace tavrin

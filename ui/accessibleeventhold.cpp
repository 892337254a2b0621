// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibleeventhold.h"

#include <QAccessible>
#include <QPointer>

#include <algorithm>
#include <utility>

#include <vector>

namespace tavrin {

namespace {

struct HeldEvent {
    QPointer<QObject> object;
    QAccessible::Event type;
    int child;
    QAccessible::State states;
};

bool holding = false;
QAccessible::UpdateHandler previousHandler = nullptr;
std::vector<HeldEvent> held;

void holdingHandler(QAccessibleEvent* event);

void forward(QAccessibleEvent* event)
{
    if (previousHandler != nullptr) {
        previousHandler(event);
        return;
    }
    // Without a handler, Qt hands the event to the platform's bridge.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(holdingHandler);
}

bool sameChange(const HeldEvent& a, const HeldEvent& b)
{
    return a.object == b.object && a.type == b.type && a.child == b.child && a.states == b.states;
}

void holdingHandler(QAccessibleEvent* event)
{
    const QAccessible::Event type = event->type();
    const bool kept = type == QAccessible::Focus || type == QAccessible::NameChanged
                      || type == QAccessible::DescriptionChanged || type == QAccessible::StateChanged;
    if (!holding || !kept || event->object() == nullptr) {
        forward(event);
        return;
    }
    HeldEvent entry{event->object(), type, event->child(), {}};
    if (type == QAccessible::StateChanged)
        entry.states = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates();
    if (type == QAccessible::Focus) {
        // Only where the focus comes to rest is news.
        std::erase_if(held, [](const HeldEvent& e) { return e.type == QAccessible::Focus; });
    } else if (std::any_of(held.begin(), held.end(), [&entry](const HeldEvent& e) { return sameChange(e, entry); })) {
        // A screen reader reads the name or state as it is when it comes to the event.
        return;
    }
    held.push_back(entry);
}

void send(const HeldEvent& entry)
{
    if (entry.object.isNull())
        return;
    if (entry.type == QAccessible::StateChanged) {
        QAccessibleStateChangeEvent event(entry.object, entry.states);
        event.setChild(entry.child);
        QAccessible::updateAccessibility(&event);
        return;
    }
    QAccessibleEvent event(entry.object, entry.type);
    event.setChild(entry.child);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

AccessibleEventHold::AccessibleEventHold()
{
    if (holding || !QAccessible::isActive())
        return;
    owner = holding = true;
    previousHandler = QAccessible::installUpdateHandler(holdingHandler);
}

AccessibleEventHold::~AccessibleEventHold()
{
    release();
}

void AccessibleEventHold::release(const std::function<void()>& first)
{
    if (!owner) {
        if (first)
            first();
        return;
    }
    owner = holding = false;
    if (first)
        first();
    // The focus goes last, after the changes that lead to it.
    std::stable_partition(held.begin(), held.end(), [](const HeldEvent& e) { return e.type != QAccessible::Focus; });
    const std::vector<HeldEvent> events = std::exchange(held, {});
    for (const HeldEvent& entry : events)
        send(entry);
    QAccessible::installUpdateHandler(previousHandler);
}

}  // namespace tavrin

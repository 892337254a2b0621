// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tavrin {

namespace {

// Qt gives a plain widget the role of a client area, which screen readers
// pass over; a notification is spoken when it shows.
QAccessibleInterface* notificationFactory(const QString& /*className*/, QObject* object)
{
    if (auto* announcer = qobject_cast<Announcer*>(object))
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    return nullptr;
}

}  // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent)
{
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(notificationFactory);
        return true;
    }();
    setObjectName(QStringLiteral("announcer"));
    setGeometry(0, 0, 0, 0);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void Announcer::announce(const QString& text)
{
    setAccessibleName(text);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(this, text);
    QAccessible::updateAccessibility(&event);
#else
    // Before announcement events, screen readers (Orca) speak a
    // notification each time it turns from hidden to showing.
    hide();
    show();
#endif
}

}  // namespace tavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "visiblestate.h"

#include <QWidget>

// The versions whose bridge is known to send no "visible" change.
#define TAVRIN_REPORT_VISIBLE QT_CONFIG(accessibility_atspi_bridge) && QT_VERSION < QT_VERSION_CHECK(6, 9, 0)

#if TAVRIN_REPORT_VISIBLE
#include <QAccessible>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEvent>
#endif

namespace tavrin {

#if TAVRIN_REPORT_VISIBLE

namespace {

// Watches the whole application, as each widget receives its own Show and
// Hide, and reports those of the widgets in its parent window.
class VisibleStateReporter : public QObject {
public:
    explicit VisibleStateReporter(QWidget& window) : QObject(&window), window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &window && QAccessible::isActive())
            report(watched, event->type() == QEvent::Show);
        return false;
    }

private:
    static void report(QObject* object, bool visible)
    {
        // The connection and the object paths are those Qt's bridge
        // (src/gui/accessible/linux) registers; the signal is the one it
        // sends for "showing", with the arguments libatspi reads.
        QDBusConnection bus(QStringLiteral("a11y"));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
        if (!bus.isConnected() || iface == nullptr)
            return;
        const QString path = QStringLiteral("/org/a11y/atspi/accessible/%1").arg(QAccessible::uniqueId(iface));
        QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"),
                                                         QStringLiteral("StateChanged"));
        signal << QStringLiteral("visible") << int(visible) << 0 << QVariant::fromValue(QDBusVariant(0))
               << QVariantMap();
        bus.send(signal);
    }

    QWidget& window;
};

}  // namespace

void reportVisibleStates(QWidget& window)
{
    QCoreApplication::instance()->installEventFilter(new VisibleStateReporter(window));
}

#else

void reportVisibleStates(QWidget& /*window*/) {}

#endif

}  // namespace tavrin

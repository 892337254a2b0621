#include "visiblestate.h"

#include <QtGui/qtguiglobal.h>

#if QT_CONFIG(accessibility_atspi_bridge)
#include <QAccessible>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEvent>
#endif

namespace tavrin {

#if QT_CONFIG(accessibility_atspi_bridge)

namespace {

class VisibleStateReporter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && watched->isWidgetType() &&
            QAccessible::isActive())
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
};

}  // namespace

void reportVisibleStates()
{
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new VisibleStateReporter(app));
}

#else

void reportVisibleStates() {}

#endif

}  // namespace tavrin

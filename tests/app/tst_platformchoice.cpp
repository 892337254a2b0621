// SPDX-License-Identifier: GPL-3.0-or-later
#include "platformchoice.h"

#include <QTest>

using tavrin::preferredPlatform;

// Which platform the program asks Qt for, from the session's environment.
class TestPlatformChoice : public QObject {
    Q_OBJECT
private slots:
    void gnomeWaylandRunsThroughXWayland_data();
    void gnomeWaylandRunsThroughXWayland();
};

void TestPlatformChoice::gnomeWaylandRunsThroughXWayland_data()
{
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QByteArray>("session");
    QTest::addColumn<QByteArray>("desktop");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("GNOME Wayland") << QByteArray() << QByteArray("wayland") << QByteArray("GNOME") << QByteArray(":0")
                                   << QByteArray("xcb;wayland");
    QTest::newRow("Ubuntu's GNOME") << QByteArray() << QByteArray("wayland") << QByteArray("ubuntu:GNOME")
                                    << QByteArray(":0") << QByteArray("xcb;wayland");
    QTest::newRow("the player's choice") << QByteArray("wayland") << QByteArray("wayland") << QByteArray("GNOME")
                                         << QByteArray(":0") << QByteArray();
    QTest::newRow("no XWayland") << QByteArray() << QByteArray("wayland") << QByteArray("GNOME") << QByteArray()
                                 << QByteArray();
    QTest::newRow("GNOME on X11") << QByteArray() << QByteArray("x11") << QByteArray("GNOME") << QByteArray(":0")
                                  << QByteArray();
    QTest::newRow("KDE Wayland") << QByteArray() << QByteArray("wayland") << QByteArray("KDE") << QByteArray(":0")
                                 << QByteArray();
    QTest::newRow("GNOME-Flashback is not GNOME alone")
        << QByteArray() << QByteArray("wayland") << QByteArray("GNOME-Flashback") << QByteArray(":0") << QByteArray();
}

void TestPlatformChoice::gnomeWaylandRunsThroughXWayland()
{
    // Catches GNOME missed in a list of desktops, a player's QT_QPA_PLATFORM
    // overridden, or X11 asked for where no XWayland runs.
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, session);
    QFETCH(QByteArray, desktop);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, expected);
    QCOMPARE(preferredPlatform(chosen, session, desktop, display), expected);
}

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "tst_platformchoice.moc"

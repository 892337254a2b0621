#include "frmsplash.h"
#include "mainwindow.h"
#include "programicon.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tavrin"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tavrin.Tavrin"));
    QApplication::setWindowIcon(tavrin::programIcon());

    tavrin::frmSplash splash([] { return new tavrin::MainWindow; });
    splash.show();
    return QApplication::exec();
}

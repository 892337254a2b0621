// SPDX-License-Identifier: GPL-3.0-or-later
// The floor any Qt Widgets program stands on: one window with one button.
// Two shapes: laid out (the window sizes itself to the button, so fonts and
// text are measured before the window maps), or with --fixed-geometry placed
// by hand (the text is first measured when it is drawn).
#include <QApplication>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[])
{
    const bool fixedGeometry = argc > 1 && std::strcmp(argv[1], "--fixed-geometry") == 0;
    QApplication app(argc, argv);
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("Button"), &window);
    if (fixedGeometry) {
        window.setFixedSize(200, 100);
        button->setGeometry(9, 9, 182, 82);
    } else {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(button);
    }
    window.show();
    return QApplication::exec();
}

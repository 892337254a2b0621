// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "qtconversions.h"
#include "splashborder.h"
#include "splashhandlers.h"
#include "splashwindows.h"

#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

namespace tavrin {

class ClickFrame;

// The splash window the program starts on. Its controls carry their designed
// names as object names (Frame1, imgLogo, lblVersion, Timer1, ...).
class frmSplash : public QWidget, private SplashWindows {
    Q_OBJECT
public:
    // Makes the main window, which its caller owns; called once, at the
    // first hand-over.
    using Form1Factory = std::function<QWidget&()>;

    // Builds the controls, centres the window and starts the timer.
    explicit frmSplash(Form1Factory createForm1);

    static constexpr QSize kClientSize = twipsRect(0, 0, 7290, 4170).size();

    SplashHandlers& handlers() { return code; }
    // The main window, once the hand-over has made it.
    QWidget* form1() const { return Form1; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void onTimer();

    // SplashWindows
    bool form1Exists() const override;
    void createForm1() override;
    void showForm1() override;
    void hideSplash() override;

    SplashHandlers code{*this};
    Form1Factory form1Factory;
    // The line this window draws around its client area.
    static constexpr int ownBorder = kSplashBorder;
    QWidget* Form1 = nullptr;
    ClickFrame* Frame1 = nullptr;
    QTimer* Timer1 = nullptr;
};

}  // namespace tavrin

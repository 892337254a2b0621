// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmsplash.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <optional>

using namespace tavrin;

namespace {

// A splash whose main window is a bare widget, counted as it is made.
struct Fixture {
    Fixture()
        : splash(std::make_unique<frmSplash>([this]() -> QWidget& {
              ++form1Loads;
              return form1.emplace();
          }))
    {
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash.get()));
    }

    template <typename T = QLabel>
    T* control(const char* name) const
    {
        return splash->findChild<T*>(QLatin1String(name));
    }

    bool handedOver() const { return splash->form1() != nullptr && splash->form1()->isVisible() && !splash->isVisible(); }
    bool untouched() const { return form1Loads == 0 && splash->form1() == nullptr && splash->isVisible(); }

    void tick() const { QVERIFY(QMetaObject::invokeMethod(control<QTimer>("Timer1"), "timeout")); }

    int form1Loads = 0;
    std::optional<QWidget> form1;
    std::unique_ptr<frmSplash> splash;
};

QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

}  // namespace

class TestSplash : public QObject {
    Q_OBJECT

private slots:
    // Catches a wrong client size, a resizable window or one not centred,
    // and a border line missing, doubled or drawn over the client area.
    void windowIsFixedAndCentredInsideOneLine()
    {
        Fixture f;
        const QSize framed(486 + 2, 278 + 2);
        QCOMPARE(f.splash->size(), framed);
        QCOMPARE(f.splash->minimumSize(), framed);
        QCOMPARE(f.splash->maximumSize(), framed);
        QCOMPARE(f.splash->geometry().center(), f.splash->screen()->geometry().center());
        const QImage shot = f.splash->grab().toImage();
        const QRgb line = f.splash->palette().color(QPalette::Shadow).rgb();
        for (const QPoint& p : {QPoint(0, 0), QPoint(240, 0), QPoint(487, 279), QPoint(0, 140), QPoint(487, 140)})
            QCOMPARE(shot.pixel(p), line);
        QCOMPARE(shot.pixel(1, 1), f.splash->palette().color(QPalette::Window).rgb());
    }

    // Catches a title bar, a close or resize button, or a task-bar entry.
    void windowHasNoTitleBarNoButtonsNoTaskBarEntry()
    {
        Fixture f;
        const Qt::WindowFlags flags = f.splash->windowFlags();
        QCOMPARE(f.splash->windowType(), Qt::Tool);  // tool windows get no task-bar button
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        for (const Qt::WindowType hint : {Qt::WindowTitleHint, Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint,
                                          Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                                          Qt::WindowContextHelpButtonHint})
            QVERIFY2(!flags.testFlag(hint), qPrintable(QString::number(hint, 16)));
        QVERIFY(f.splash->windowTitle().isEmpty());
    }

    // Catches the frame misplaced, so that the strips of window around it
    // have the wrong widths.
    void frameCoversAllButTheStrips()
    {
        Fixture f;
        auto* frame = f.control<QGroupBox>("Frame1");
        QVERIFY(frame);
        QCOMPARE(frame->geometry(), twips(120, 0, 7080, 4050).translated(1, 1));  // inside the line
        QCOMPARE(frame->title(), QString());
        QCOMPARE(frame->geometry().left() - 1, 8);                            // left strip
        QCOMPARE(f.splash->width() - 1 - frame->geometry().right() - 1, 6);  // right strip
        QCOMPARE(f.splash->height() - 1 - frame->geometry().bottom() - 1, 8);
    }

    void labelsAreLaidOutAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("designed");
        QTest::addColumn<bool>("sizesToText");
        QTest::addColumn<int>("alignment");
        // The packaged family that stands in for the designed one.
        QTest::addColumn<QString>("family");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<int>("weight");
        QTest::addColumn<bool>("italic");
        const int centred = Qt::AlignHCenter;
        const int right = Qt::AlignRight;
        const int left = Qt::AlignLeft;
        QTest::newRow("lblLicenseTo") << "lblLicenseTo" << twips(120, 240, 6855, 495) << false << centred
                                      << "Cabin Sketch" << 24.0 << 400 << true;
        QTest::newRow("lblCompanyProduct") << "lblCompanyProduct" << twips(2925, 945, 3450, 585) << true
                                           << centred << "League Spartan" << 36.0 << 400 << true;
        QTest::newRow("lblProductName") << "lblProductName" << twips(2130, 1440, 4680, 945) << true << centred
                                        << "Lobster Two" << 36.0 << 700 << true;
        QTest::newRow("lblPlatform") << "lblPlatform" << twips(3675, 2340, 3180, 360) << true << right
                                     << "Goudy Bookletter 1911" << 15.75 << 700 << false;
        QTest::newRow("lblVersion") << "lblVersion" << twips(5115, 2700, 1740, 240) << true << right << "Liberation Sans"
                                    << 12.0 << 700 << false;
        QTest::newRow("lblCopyright") << "lblCopyright" << twips(4080, 3060, 2895, 255) << false << left
                                      << "Comfortaa" << 9.75 << 400 << false;
        QTest::newRow("lblCompany") << "lblCompany" << twips(4080, 3270, 2895, 255) << false << left
                                    << "Comfortaa" << 9.75 << 400 << false;
        QTest::newRow("lblWarning") << "lblWarning" << twips(120, 3480, 6855, 435) << false << centred
                                    << "Blankenburg_UNZ1A" << 24.0 << 700 << false;
    }
    // Catches a label misplaced, sized wrongly, self-sized when it should
    // not be (or the reverse), or given the wrong font or alignment.
    void labelsAreLaidOutAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRect, designed);
        QFETCH(bool, sizesToText);
        QFETCH(int, alignment);
        QFETCH(QString, family);
        QFETCH(qreal, points);
        QFETCH(int, weight);
        QFETCH(bool, italic);

        Fixture f;
        auto* label = f.control(qPrintable(name));
        QVERIFY(label);
        QCOMPARE(label->parentWidget(), f.control<QWidget>("Frame1"));
        QVERIFY(label->isVisibleTo(f.splash.get()));
        QVERIFY(label->isEnabled());
        QCOMPARE(label->pos(), designed.topLeft());
        if (sizesToText) {
            const QSize needed = label->fontMetrics().size(Qt::TextSingleLine, label->text());
            QCOMPARE(label->size(), needed);
        } else {
            QCOMPARE(label->size(), designed.size());
        }
        QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);

        const QFont font = label->font();
        QCOMPARE(font.family(), family);
        QCOMPARE(font.pointSizeF(), points);
        QCOMPARE(font.weight(), weight);
        QCOMPARE(font.italic(), italic);
        QVERIFY(!font.underline());
        QVERIFY(!font.strikeOut());

        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(!label->text().isEmpty());
        QVERIFY(!label->text().contains(QLatin1Char('\n')));
        QVERIFY(!label->wordWrap());
    }

    // Catches a fixed label whose chosen text runs past its edges.
    void fixedLabelsHoldTheirTextOnOneLine_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"lblLicenseTo", "lblCopyright", "lblCompany", "lblWarning"})
            QTest::newRow(name) << name;
    }
    void fixedLabelsHoldTheirTextOnOneLine()
    {
        QFETCH(QString, name);
        Fixture f;
        auto* label = f.control(qPrintable(name));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    }

    // Catches the product name or version line changed.
    void productNameAndVersionReadAsDesigned()
    {
        Fixture f;
        QCOMPARE(f.control("lblProductName")->text(), QStringLiteral("Tavrin"));
        QCOMPARE(f.control("lblVersion")->text(), QStringLiteral("Version: 6.0"));
    }

    // Catches the product name drawn behind the line above it.
    void productNameLiesInFrontOfCompanyProduct()
    {
        Fixture f;
        auto* frame = f.control<QWidget>("Frame1");
        auto* front = f.control("lblProductName");
        auto* back = f.control("lblCompanyProduct");
        const QRect overlap = front->geometry() & back->geometry();
        QVERIFY(!overlap.isEmpty());
        QCOMPARE(frame->childAt(overlap.center()), front);
        QVERIFY(frame->children().indexOf(front) > frame->children().indexOf(back));
    }

    // Catches a picture kept in proportion, left unscaled, or misplaced.
    void logoIsStretchedToFillItsBox()
    {
        Fixture f;
        auto* imgLogo = f.control("imgLogo");
        QVERIFY(imgLogo);
        QCOMPARE(imgLogo->geometry(), twips(120, 915, 1935, 2145));
        QCOMPARE(imgLogo->size(), QSize(129, 143));

        const QImage source(QStringLiteral(":/tavrin/logo.jpg"));
        QCOMPARE(source.size(), QSize(162, 144));
        const QImage expected =
            source.scaled(imgLogo->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
        const QImage shown = imgLogo->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), expected.size());
        int worst = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb a = shown.pixel(x, y);
                const QRgb b = expected.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b))});
            }
        }
        QVERIFY2(worst <= 2, qPrintable(QStringLiteral("largest difference %1").arg(worst)));
    }

    // Catches a timer with the wrong period or one started late.
    void timerRunsEverySecondFromTheStart()
    {
        Fixture f;
        auto* timer = f.control<QTimer>("Timer1");
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(timer->isActive());
        QVERIFY(!timer->isSingleShot());
    }

    // Catches a hand-over on the wrong tick, a main window made early, or a
    // timer that goes on waking the program once it has nothing left to do.
    void sixthTickHandsOverAndStopsTheTimer()
    {
        Fixture f;
        for (int tick = 1; tick <= 5; ++tick)
            f.tick();
        QVERIFY(f.untouched());
        QVERIFY(f.control<QTimer>("Timer1")->isActive());
        f.tick();
        QVERIFY(f.handedOver());
        QCOMPARE(f.form1Loads, 1);
        QVERIFY(!f.control<QTimer>("Timer1")->isActive());
    }

    // Catches a frame that ignores clicks, or a main window made twice when
    // the sixth tick follows an early click.
    void clickOnFrameHandsOverAtOnce_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("left") << int(Qt::LeftButton);
        QTest::newRow("right") << int(Qt::RightButton);
    }
    void clickOnFrameHandsOverAtOnce()
    {
        QFETCH(int, button);
        Fixture f;
        f.tick();
        f.tick();
        auto* frame = f.control<QWidget>("Frame1");
        const QPoint bare(300, 130);
        QCOMPARE(frame->childAt(bare), nullptr);
        QTest::mouseClick(frame, Qt::MouseButton(button), {}, bare);
        QVERIFY(f.handedOver());
        QCOMPARE(f.form1Loads, 1);

        QWidget* const form1 = f.splash->form1();
        const QRect form1Place = form1->geometry();
        for (int tick = 3; tick <= 6; ++tick)
            f.tick();
        QVERIFY(f.handedOver());
        QCOMPARE(f.splash->form1(), form1);
        QCOMPARE(form1->geometry(), form1Place);
        QCOMPARE(f.form1Loads, 1);
    }

    void clickOffTheFrameSurfaceDoesNothing_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("spot");  // in the target; a null point means its centre
        for (const char* name : {"lblLicenseTo", "imgLogo", "lblCompanyProduct", "lblProductName", "lblPlatform",
                                 "lblVersion", "lblCopyright", "lblCompany", "lblWarning"})
            QTest::newRow(name) << name << QPoint();
        QTest::newRow("left strip") << "frmSplash" << QPoint(3, 139);
        QTest::newRow("right strip") << "frmSplash" << QPoint(483, 139);
        QTest::newRow("bottom strip") << "frmSplash" << QPoint(243, 274);
    }
    // Catches labels or the picture passing their clicks on to the frame,
    // or the window's own strips handing over.
    void clickOffTheFrameSurfaceDoesNothing()
    {
        QFETCH(QString, target);
        QFETCH(QPoint, spot);
        Fixture f;
        QWidget* widget = target == QLatin1String("frmSplash") ? f.splash.get() : f.control<QWidget>(qPrintable(target));
        QVERIFY(widget);
        if (spot.isNull())
            spot = widget->rect().center();
        QCOMPARE(widget->childAt(spot), nullptr);
        QTest::mouseClick(widget, Qt::LeftButton, {}, spot);
        QTest::mouseClick(widget, Qt::RightButton, {}, spot);
        QVERIFY(f.untouched());
    }

    // Catches the middle button taken for a click.
    void middleButtonOnFrameDoesNothing()
    {
        Fixture f;
        QTest::mouseClick(f.control<QWidget>("Frame1"), Qt::MiddleButton, {}, QPoint(300, 130));
        QVERIFY(f.untouched());
    }

    // Catches a press on a label that is completed as a frame click when
    // released over the frame.
    void pressOnLabelReleasedOnFrameDoesNothing()
    {
        Fixture f;
        auto* frame = f.control<QWidget>("Frame1");
        auto* label = f.control("lblWarning");
        QTest::mousePress(label, Qt::LeftButton, {}, label->rect().center());
        QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(300, 130));
        QVERIFY(f.untouched());
    }

    // Catches keys that close the splash or hand over (Escape, Enter, Space).
    void keysDoNothing()
    {
        Fixture f;
        f.splash->activateWindow();
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Tab,
                                  Qt::Key_1, Qt::Key_A, Qt::Key_F4})
            QTest::keyClick(f.splash.get(), key);
        QTest::keyClick(f.splash.get(), Qt::Key_F4, Qt::AltModifier);
        QVERIFY(f.untouched());
    }

    // Catches a window-manager close request (Alt+F4) that closes the splash
    // and with it the program.
    void closeRequestIsRefused()
    {
        Fixture f;
        QCloseEvent request;
        QApplication::sendEvent(f.splash->windowHandle(), &request);
        QVERIFY(!request.isAccepted());
        QVERIFY(f.untouched());
        QVERIFY(!f.splash->close());
        QVERIFY(f.untouched());
    }

    // Catches a hidden splash that refuses to close: the program's end asks
    // every window to close and stops when one refuses.
    void hiddenSplashDoesNotHoldUpTheEnd()
    {
        Fixture f;
        QTest::mouseClick(f.control<QWidget>("Frame1"), Qt::LeftButton, {}, QPoint(300, 130));
        QVERIFY(f.handedOver());
        // Once handed over the splash may have let its native window go.
        QWindow* handle = f.splash->windowHandle();
        QVERIFY(!handle || handle->close());
    }

    // Catches a splash that deletes the main window its owner made, which
    // the owner then deletes a second time.
    void splashLeavesTheMainWindowToItsOwner()
    {
        Fixture f;
        QTest::mouseClick(f.control<QWidget>("Frame1"), Qt::LeftButton, {}, QPoint(300, 130));
        QPointer<QWidget> form1 = f.splash->form1();
        QCOMPARE(form1.data(), &*f.form1);
        f.splash.reset();
        QVERIFY(form1);
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"

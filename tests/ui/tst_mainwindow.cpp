// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on the offscreen platform: layout, fonts, orders, painting
// and the event wiring that reaches the rules.
#include "captionfit.h"
#include "captionframe.h"
#include "graphicalbutton.h"
#include "mainwindow.h"
#include "modaldialogs.h"
#include "screenplacement.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace tavrin;
using namespace tavrin::testing;

namespace {

QPoint centreOf(const QWidget* widget, const QWidget* relativeTo)
{
    return widget->mapTo(relativeTo, widget->rect().center());
}

// The main window with ending the program only counted: the test process
// lives on.
class CountingWindow final : public MainWindow {
public:
    void endProgram() override { ++ends; }
    int ends = 0;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CountingWindow> window;

    void startGame(const QString& first, const QString& second)
    {
        answerNamePrompts(first, second);
        QTest::mouseClick(window->control(Control::Command2), Qt::LeftButton);
    }

    static QColor pixelAt(QWidget* widget, QPoint point)
    {
        return widget->grab().toImage().pixelColor(point);
    }

private slots:
    void init()
    {
        window = std::make_unique<CountingWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    void windowOpensAtItsPlaceShowingOnlyPlayNow()
    {
        QCOMPARE(window->geometry(), QRect(426, 238, 453, 363));
        QCOMPARE(window->windowTitle(), QStringLiteral("Tavrin"));
        const auto shown = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : shown) {
            if (child->isWindow())
                continue;
            QCOMPARE(child->isVisible(), child == window->control(Control::Command2));
        }
        QCOMPARE(window->focusWidget(), window->control(Control::Command2));
    }

    void controlsHaveTheirDesignedGeometry_data()
    {
        QTest::addColumn<int>("control");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Command3") << int(Control::Command3) << QRect(144, 40, 161, 41);
        QTest::newRow("Command2") << int(Control::Command2) << QRect(120, 88, 209, 169);
        QTest::newRow("List2") << int(Control::List2) << QRect(360, 88, 33, 224);
        QTest::newRow("Frame2") << int(Control::Frame2) << QRect(328, 40, 105, 313);
        QTest::newRow("Frame1") << int(Control::Frame1) << QRect(16, 40, 105, 313);
        QTest::newRow("List1 in Frame1") << int(Control::List1) << QRect(40, 48, 33, 224);
        QTest::newRow("Label4") << int(Control::Label4) << QRect(144, 48, 153, 33);
        QTest::newRow("Label3") << int(Control::Label3) << QRect(128, 8, 185, 25);
        QTest::newRow("Label2") << int(Control::Label2) << QRect(152, 304, 137, 41);
        QTest::newRow("Label1") << int(Control::Label1) << QRect(152, 256, 137, 25);
    }

    void controlsHaveTheirDesignedGeometry()
    {
        QFETCH(int, control);
        QFETCH(QRect, geometry);
        QCOMPARE(window->control(static_cast<Control>(control))->geometry(), geometry);
    }

    void cellsFormAThreeByThreeBoardThatOverlapsByOnePixel()
    {
        for (int i = 0; i < kCellCount; ++i) {
            QCOMPARE(window->cell(i)->geometry(), QRect(152 + 48 * (i % 3), 96 + 48 * (i / 3), 49, 49));
            QCOMPARE(window->cell(i)->text(), QString::number(i + 1));
        }
    }

    void fontsAreRequestedAsDesigned_data()
    {
        QTest::addColumn<int>("control");
        // The packaged family that stands in for the designed one.
        QTest::addColumn<QString>("family");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<int>("weight");
        QTest::addColumn<bool>("italic");
        QTest::newRow("Command3") << int(Control::Command3) << "Dancing Script" << 15.75 << 700 << false;
        QTest::newRow("Command2") << int(Control::Command2) << "StayPuft" << 48.0 << 400 << true;
        QTest::newRow("List2") << int(Control::List2) << "Kaushan Script" << 14.25 << 700 << false;
        QTest::newRow("List1") << int(Control::List1) << "Kaushan Script" << 14.25 << 700 << false;
        QTest::newRow("Frame1") << int(Control::Frame1) << "Yanone Kaffeesatz" << 15.75 << 700 << false;
        QTest::newRow("Frame2") << int(Control::Frame2) << "Yanone Kaffeesatz" << 15.75 << 700 << false;
        QTest::newRow("Label4") << int(Control::Label4) << "Leckerli One" << 21.75 << 700 << true;
        QTest::newRow("Label3") << int(Control::Label3) << "Comic Neue" << 14.25 << 700 << false;
        QTest::newRow("Label2") << int(Control::Label2) << "Roboto Slab" << 18.0 << 800 << false;
        QTest::newRow("Label1") << int(Control::Label1) << "Kaushan Script" << 18.0 << 700 << true;
    }

    void fontsAreRequestedAsDesigned()
    {
        QFETCH(int, control);
        QFETCH(QString, family);
        QFETCH(qreal, points);
        QFETCH(int, weight);
        QFETCH(bool, italic);
        const QFont font = window->control(static_cast<Control>(control))->font();
        QCOMPARE(font.families().value(0), family);
        QCOMPARE(font.pointSizeF(), points);
        QCOMPARE(int(font.weight()), weight);
        QCOMPARE(font.italic(), italic);
    }

    void cellFontIsTheBoardFont()
    {
        const QFont font = window->cell(4)->font();
        QCOMPARE(font.families().value(0), QStringLiteral("Lobster Two"));
        QCOMPARE(font.pointSizeF(), 15.75);
        QCOMPARE(int(font.weight()), 700);
    }

    // Catches a font package missing from the installed lists: Qt would
    // quietly draw the default family instead.
    void shownFamiliesAreInstalled()
    {
        for (const QWidget* control : window->findChildren<QWidget*>()) {
            if (control->testAttribute(Qt::WA_SetFont))
                QCOMPARE(QFontInfo(control->font()).family(), control->font().families().value(0));
        }
    }

    void listOneMovesAndHidesWithItsFrameButListTwoDoesNot()
    {
        QCOMPARE(window->list(ScoreList::List1)->parentWidget(), window->control(Control::Frame1));
        QCOMPARE(window->list(ScoreList::List2)->parentWidget(), window.get());
        for (Control c : {Control::Frame1, Control::Frame2, Control::List1, Control::List2})
            window->setVisible(c, true);
        window->setVisible(Control::Frame1, false);
        QVERIFY(!window->list(ScoreList::List1)->isVisible());
        window->setVisible(Control::Frame2, false);
        QVERIFY(window->list(ScoreList::List2)->isVisible());
    }

    void listsAreEmptyOnceTheWindowIsLoaded()
    {
        QCOMPARE(window->list(ScoreList::List1)->count(), 0);
        QCOMPARE(window->list(ScoreList::List2)->count(), 0);
    }

    void tabOrderRunsThroughCellsListsAndButtons()
    {
        QList<QWidget*> expected;
        for (int i = 0; i < kCellCount; ++i)
            expected << window->cell(i);
        expected << window->control(Control::List1) << window->control(Control::List2)
                 << window->control(Control::Command2) << window->control(Control::Command3);
        for (QWidget* widget : expected)
            widget->show();
        for (Control c : {Control::Label1, Control::Label2, Control::Label3, Control::Label4, Control::Frame1,
                          Control::Frame2})
            window->setVisible(c, true);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->cell(0)->setFocus(Qt::TabFocusReason);
        QList<QWidget*> visited{window->focusWidget()};
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
            visited << window->focusWidget();
        }
        QCOMPARE(visited, expected);
    }

    void continueLiesInFrontOfTheTurnLabelAndHigherCellsInFront()
    {
        window->setVisible(Control::Label4, true);
        window->setVisible(Control::Command3, true);
        const QPoint insideBoth = centreOf(window->control(Control::Label4), window.get());
        QCOMPARE(window->childAt(insideBoth), window->control(Control::Command3));
        window->setVisible(Control::Command2, false);
        for (int i = 0; i < kCellCount; ++i)
            window->setCellVisible(i, true);
        // The one-pixel overlap between cells 0 and 1 belongs to cell 1.
        QCOMPARE(window->childAt(QPoint(200, 120)), window->cell(1));
        window->setVisible(Control::Command2, true);
        QCOMPARE(window->childAt(centreOf(window->cell(4), window.get())), window->control(Control::Command2));
    }

    void paintedCellIsRedAndContinueRestoresTheButtonFace()
    {
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        QTRY_VERIFY(window->cell(0)->isVisible());
        for (int index : {0, 1, 3, 2, 6})
            QTest::mouseClick(window->cell(index), Qt::LeftButton);
        QVERIFY(window->control(Control::Command3)->isVisible());
        const QPoint faceSpot(10, 10);
        QCOMPARE(pixelAt(window->cell(3), faceSpot), QColor(255, 0, 0));
        QVERIFY(pixelAt(window->cell(4), faceSpot) != QColor(255, 0, 0));
        QTest::mouseClick(window->control(Control::Command3), Qt::LeftButton);
        QCOMPARE(pixelAt(window->cell(3), faceSpot), window->cell(3)->palette().color(QPalette::Button));
        QCOMPARE(window->focusWidget(), window->cell(0));
    }

    void namesAreShownAsPlainText()
    {
        const QString name = QStringLiteral("Tom & <b>Jerry</b>");
        startGame(name, QStringLiteral("&&"));
        QTRY_VERIFY(window->cell(0)->isVisible());
        QCOMPARE(window->caption(Control::Frame1), name.toStdU16String());
        QCOMPARE(window->caption(Control::Frame2), u"&&");
        QCOMPARE(window->caption(Control::Label4), name.toStdU16String());
        auto* frame = static_cast<CaptionFrame*>(window->control(Control::Frame1));
        QCOMPARE(frame->title(), QStringLiteral("Tom && <b>Jerry</b>"));
        auto* label = static_cast<QLabel*>(window->control(Control::Label4));
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }

    void clicksAndDigitKeysPlaceAlternateMarks()
    {
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        QTRY_VERIFY(window->cell(0)->isVisible());
        QTest::mouseClick(window->cell(4), Qt::LeftButton);
        QCOMPARE(window->cell(4)->text(), QStringLiteral("O"));
        QVERIFY(!window->cell(4)->isEnabled());
        window->cell(0)->setFocus();
        QTest::keyClick(window->cell(0), Qt::Key_9);
        QCOMPARE(window->cell(8)->text(), QStringLiteral("X"));
        QTest::keyClick(window->cell(0), Qt::Key_0);
        QTest::keyClick(window->cell(0), Qt::Key_A);
        QCOMPARE(window->caption(Control::Label4), u"Ann");
        QTest::keyClick(window->cell(0), Qt::Key_Space);
        QCOMPARE(window->cell(0)->text(), QStringLiteral("O"));
    }

    void enterOnACellOrTheFirstListClearsTheBoard()
    {
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        QTRY_VERIFY(window->cell(0)->isVisible());
        QTest::mouseClick(window->cell(4), Qt::LeftButton);
        QTest::keyClick(window->cell(0), Qt::Key_Return);
        QCOMPARE(window->cell(4)->text(), QStringLiteral("5"));
        QVERIFY(window->cell(4)->isEnabled());
        QCOMPARE(window->caption(Control::Label4), u"Bob");

        QTest::mouseClick(window->cell(4), Qt::LeftButton);
        QTest::keyClick(window->control(Control::List2), Qt::Key_Return);
        QCOMPARE(window->cell(4)->text(), QStringLiteral("X"));
        QTest::keyClick(window->control(Control::List1), Qt::Key_Return);
        QCOMPARE(window->cell(4)->text(), QStringLiteral("5"));
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("key");
        QTest::newRow("Return on Play Now") << int(Control::Command2) << int(Qt::Key_Return);
        QTest::newRow("Enter on Continue") << int(Control::Command3) << int(Qt::Key_Enter);
    }

    // Catches buttons that ignore Enter outside a dialog, as Qt's do.
    void enterPressesTheFocusedButton()
    {
        QFETCH(int, button);
        QFETCH(int, key);
        auto* pressed = qobject_cast<QPushButton*>(window->control(static_cast<Control>(button)));
        pressed->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        pressed->setFocus();
        int clicks = 0;
        connect(pressed, &QPushButton::clicked, this, [&clicks] { ++clicks; });
        if (pressed == window->control(Control::Command2))
            answerNamePrompts(QStringLiteral("Ann"), QStringLiteral("Bob"));
        QTest::keyClick(pressed, Qt::Key(key));
        QCOMPARE(clicks, 1);
    }

    void rightReleaseOverTheBareWindowOpensTheMenu()
    {
        QStringList captions;
        for (QAction* action : window->findChild<QMenu*>(QStringLiteral("mnumenu"))->actions())
            captions << action->text();
        QCOMPARE(captions, (QStringList{QStringLiteral("Play Again"), QStringLiteral("Exit Game")}));

        bool opened = false;
        QTimer::singleShot(50, [&opened] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                opened = true;
                popup->close();
            }
        });
        QTest::mouseClick(window.get(), Qt::RightButton, {}, QPoint(20, 20));
        QTRY_VERIFY(opened);
    }

    void otherReleasesOpenNoMenu_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("overControl");
        QTest::newRow("left on window") << int(Qt::LeftButton) << false;
        QTest::newRow("middle on window") << int(Qt::MiddleButton) << false;
        QTest::newRow("right on Play Now") << int(Qt::RightButton) << true;
    }

    void otherReleasesOpenNoMenu()
    {
        QFETCH(int, button);
        QFETCH(bool, overControl);
        bool opened = false;
        QTimer::singleShot(100, [&opened] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                opened = true;
                popup->close();
            }
        });
        const QPoint where = overControl ? centreOf(window->control(Control::Command2), window.get()) : QPoint(20, 20);
        QWidget* target = window->childAt(where) ? window->childAt(where) : window.get();
        QTest::mouseClick(target, Qt::MouseButton(button), {}, target->mapFrom(window.get(), where));
        QTest::qWait(150);
        QVERIFY(!opened);
    }

    void menuKeyAndShiftF10OpenTheMenuAtTheFocus()
    {
        // Catches a menu that only the mouse can open, one opened away from
        // where the keyboard is, and items that act otherwise.
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        QTRY_VERIFY(window->cell(0)->isVisible());
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        const std::pair<QKeyCombination, QWidget*> cases[] = {{Qt::Key_Menu, window->cell(4)},
                                                              {Qt::SHIFT | Qt::Key_F10, window->control(Control::Command2)}};
        for (const auto& [keys, focused] : cases) {
            focused->setFocus();
            QPoint at;
            QTimer::singleShot(50, [&at, this] {
                auto* menu = window->findChild<QMenu*>();
                QCOMPARE(QApplication::activePopupWidget(), menu);
                at = menu->pos();
                // Opened by keyboard at its first item, which a screen reader reads at once.
                QCOMPARE(menu->activeAction(), menu->actions().first());
                QTest::keyClick(menu, Qt::Key_Return);
            });
            QTest::keyClick(focused, keys.key(), keys.keyboardModifiers());
            QCOMPARE(at, focused->mapToGlobal(focused->rect().center()));
            // Play Again: the main menu, from a game too.
            QVERIFY(window->control(Control::Command2)->isVisible() && !window->cell(4)->isVisible());
        }
    }

    void captionsFitTheirControls()
    {
        // Catches a name cut at its control's edges or shown as a slice with
        // nothing to tell, a shortened name whose whole text is nowhere,
        // fitting that touches a name that fits, and one that fits at a
        // smaller size shortened or drawn at the floor size instead.
        const QString longName = QStringLiteral("Max & <b>Moritz</b> Alexander Friedrich von Hohenzollern-Sigmar");
        window->setCaption(Control::Label2, u"Bartholomew");
        // Drawn whole at a smaller size: nothing hidden, no tooltip.
        QVERIFY(window->control(Control::Label2)->toolTip().isEmpty());
        const QWidget* label2 = window->control(Control::Label2);
        const QString wide = QStringLiteral("Bartholomew");
        QVERIFY(QFontMetricsF(label2->font()).horizontalAdvance(wide) > label2->contentsRect().width());
        const CaptionFit smaller = fitCaption(wide, label2->font(), label2->contentsRect().size(), Qt::AlignHCenter);
        QVERIFY(smaller.font.pointSizeF() < label2->font().pointSizeF());
        QVERIFY(smaller.font.pointSizeF() > kLegibleFloorPoints);
        QCOMPARE(smaller.text, wide);
        QVERIFY(!smaller.shortened);
        for (Control c : {Control::Label4, Control::Frame1}) {
            window->setCaption(c, longName.toStdU16String());
            QVERIFY(window->control(c)->toolTip().contains(longName.toHtmlEscaped()));
            QCOMPARE(QAccessible::queryAccessibleInterface(window->control(c))->text(QAccessible::Name), longName);
        }
        window->setCaption(Control::Label4, u"Ann");
        auto* label = static_cast<QLabel*>(window->control(Control::Label4));
        QLabel plain(QStringLiteral("Ann"));
        plain.setAlignment(label->alignment());
        plain.setFont(label->font());
        plain.resize(label->size());
        QCOMPARE(label->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 plain.grab().toImage().convertToFormat(QImage::Format_RGB32));
        // The turn label keeps the fit of the name before; it comes back whole.
        window->setCaption(Control::Label4, longName.toStdU16String());
        QVERIFY(label->toolTip().contains(longName.toHtmlEscaped()));
    }

    void windowMovesTheLeastItMustToLieOnTheScreen_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("client");
        QTest::newRow("room to spare") << QRect(0, 0, 1920, 1080) << QPoint(426, 238);
        QTest::newRow("800 by 600") << QRect(0, 0, 800, 600) << QPoint(346, 232);
        QTest::newRow("960 by 540, a 1920 by 1080 screen at 200 %") << QRect(0, 0, 960, 540) << QPoint(426, 172);
        QTest::newRow("panel along the top") << QRect(0, 240, 1920, 840) << QPoint(426, 260);
        QTest::newRow("smaller than the window") << QRect(0, 0, 400, 300) << QPoint(1, 20);
    }

    void windowMovesTheLeastItMustToLieOnTheScreen()
    {
        // Catches a window whose side, foot or title bar is off the screen,
        // or one moved further than it must. The frame is openbox's: a
        // 20-pixel title bar, 1-pixel sides and a 5-pixel foot.
        QFETCH(QRect, available);
        QFETCH(QPoint, client);
        QCOMPARE(placedOnScreen(MainWindow::kDesignedGeometry, QMargins(1, 20, 1, 5), available),
                 QRect(client, MainWindow::kDesignedGeometry.size()));
    }

    void menuItemsGoBackToTheMenuAndEndTheProgram()
    {
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        QTRY_VERIFY(window->cell(0)->isVisible());
        window->findChild<QAction*>(QStringLiteral("mnupa"))->trigger();
        QVERIFY(window->control(Control::Command2)->isVisible());
        QVERIFY(!window->cell(0)->isVisible());
        window->findChild<QAction*>(QStringLiteral("mnue"))->trigger();
        QCOMPARE(window->ends, 1);
        window->close();
        QCOMPARE(window->ends, 2);
    }

    void matchEndAsksYesOrNoAndNoReturnsToTheMenu()
    {
        startGame(QStringLiteral("Ann"), QStringLiteral("Bob"));
        QTRY_VERIFY(window->cell(0)->isVisible());
        QString shownText;
        for (int game = 0; game < 5; ++game) {
            if (game == 4) {
                whenModalOpens([&shownText](QWidget* modal) {
                    auto* box = qobject_cast<YesNoQuestion*>(modal);
                    QVERIFY(box);
                    shownText = box->message->text();
                    QTest::keyClick(box, Qt::Key_Escape);
                });
            }
            // Whoever opens the game wins it down the left column.
            for (int index : {0, 1, 3, 2, 6})
                QTest::mouseClick(window->cell(index), Qt::LeftButton);
            if (game < 4)
                QTest::mouseClick(window->control(Control::Command3), Qt::LeftButton);
        }
        QVERIFY(shownText.startsWith(QStringLiteral("\u200E\u2068Ann\u2069 VS \u2068Bob\u2069\n\u200E\u2068Ann\u2069 wins "
                                                    "the match.\n\u200E\u2068Ann\u2069 secured  3\n")));
        QVERIFY(window->control(Control::Command2)->isVisible());
        QCOMPARE(window->handlers().finishedGames(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

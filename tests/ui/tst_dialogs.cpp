// SPDX-License-Identifier: GPL-3.0-or-later
// The prompt and the message box as the rules rely on them: answers, defaults,
// buttons, icon and line breaks.
#include "dialogs.h"
#include "modaldialogs.h"

#include <QAccessible>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

using namespace tavrin;
using namespace tavrin::testing;

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void promptShowsItsTitleAndPreselectsTheDefault()
    {
        QString title;
        QString prompt;
        QString selected;
        whenModalOpens([&](QWidget* modal) {
            title = modal->windowTitle();
            prompt = static_cast<NamePrompt*>(modal)->label->text();
            selected = static_cast<NamePrompt*>(modal)->field->selectedText();
            QTest::keyClick(modal, Qt::Key_Return);
        });
        const QString answer = runInputBox(nullptr, QStringLiteral("Enter name"), QStringLiteral("Tavrin"),
                                           QStringLiteral("Player 1"));
        QCOMPARE(answer, QStringLiteral("Player 1"));
        QCOMPARE(title, QStringLiteral("Tavrin"));
        QCOMPARE(prompt, QStringLiteral("Enter name"));
        QCOMPARE(selected, QStringLiteral("Player 1"));
    }

    void typingReplacesTheSelectedDefault()
    {
        whenModalOpens([](QWidget* modal) {
            NameField* edit = static_cast<NamePrompt*>(modal)->field;
            QTest::keyClicks(edit, QStringLiteral("Zo & <b>"));
            edit->insert(QStringLiteral("\u00eb"));
            QTest::keyClick(modal, Qt::Key_Return);
        });
        QCOMPARE(runInputBox(nullptr, QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("Player 2")),
                 QStringLiteral("Zo & <b>\u00eb"));
    }

    void cancellingThePromptGivesEmptyText_data()
    {
        QTest::addColumn<bool>("useEscape");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Escape key") << true;
    }

    void cancellingThePromptGivesEmptyText()
    {
        QFETCH(bool, useEscape);
        whenModalOpens([useEscape](QWidget* modal) {
            if (useEscape)
                QTest::keyClick(modal, Qt::Key_Escape);
            else
                static_cast<NamePrompt*>(modal)->buttons->button(QDialogButtonBox::Cancel)->click();
        });
        QCOMPARE(runInputBox(nullptr, QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("Player 1")),
                 QString());
    }

    void closingThePromptGivesEmptyText()
    {
        whenModalOpens([](QWidget* modal) { modal->close(); });
        QCOMPARE(runInputBox(nullptr, QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("x")), QString());
    }

    void yesNoQuestionHasWarningIconYesDefaultAndLineBreaks()
    {
        QImage icon;
        QAccessible::Role role = QAccessible::NoRole;
        QString title;
        QString shown;
        QString readOut;
        QStringList buttons;
        QString defaultButton;
        Qt::TextFormat format = Qt::AutoText;
        whenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<YesNoQuestion*>(modal);
            icon = box->icon->pixmap().toImage();
            role = QAccessible::queryAccessibleInterface(box)->role();
            title = box->windowTitle();
            shown = box->message->text();
            readOut = box->message->accessibleName();
            format = box->message->textFormat();
            for (QPushButton* button : {box->yes, box->no}) {
                buttons << button->text();
                if (button->isDefault())
                    defaultButton = button->text();
            }
            QTest::keyClick(box, Qt::Key_Return);
        });
        const int answer =
            askYesNo(nullptr, QStringLiteral("a <b>&</b>\rb\rc"), {}, QStringLiteral("Tavrin"));
        QCOMPARE(answer, kAnswerYes);
        const int iconSize = QApplication::style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
        QCOMPARE(icon, QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize).toImage());
        // Orca says "alert" for it.
        QCOMPARE(role, QAccessible::AlertMessage);
        QCOMPARE(title, QStringLiteral("Tavrin"));
        QCOMPARE(shown, QStringLiteral("\u200Ea <b>&</b>\n\u200Eb\n\u200Ec"));
        QCOMPARE(readOut, QStringLiteral("a <b>&</b>\nb\nc"));
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(buttons.size(), 2);
        QVERIFY(defaultButton.contains(QStringLiteral("Yes")));
    }

    void noAndClosingAnswerSeven_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("No button") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("closed") << 2;
    }

    void noAndClosingAnswerSeven()
    {
        QFETCH(int, how);
        whenModalOpens([how](QWidget* modal) {
            auto* box = qobject_cast<YesNoQuestion*>(modal);
            if (how == 0)
                box->no->click();
            else if (how == 1)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
        QCOMPARE(askYesNo(nullptr, QStringLiteral("q"), {}, QStringLiteral("Tavrin")), kAnswerNo);
    }

    void carriageReturnsBecomeLineBreaksOnScreen()
    {
        const QFontMetrics metrics(QApplication::font());
        QCOMPARE(messageDisplayText(QStringLiteral("a\rb\r\nc"), {}, metrics, 640),
                 QStringLiteral("\u200Ea\n\u200Eb\n\u200Ec"));
    }

    // Catches a question whose long names push the totals, or " VS " and the
    // second name, out of the box.
    void longNamesGiveWayInTheirMiddleAndEveryLineKeepsItsEnd()
    {
        const QFontMetrics metrics(QApplication::font());
        const QString first = QStringLiteral("Zo\U0001F600") + QString(1'000'000, QLatin1Char('w')) + QStringLiteral("!");
        const QString second = QStringLiteral("Bo") + QString(3'000, QLatin1Char('b')) + QStringLiteral("?");
        const QString text = first + QStringLiteral(" VS ") + second + QStringLiteral("\r") + first +
                             QStringLiteral(" secured  3\rBob secured  2");
        const QStringList lines = messageDisplayText(text, {first, second}, metrics, 640).split('\n');
        QCOMPARE(lines.size(), 3);
        const QString ellipsis(QChar(0x2026));
        QVERIFY(lines[0].startsWith(QStringLiteral("\u200E\u2068Zo\U0001F600www")));
        QVERIFY(lines[0].contains(QStringLiteral("w!\u2069 VS \u2068Bob")));
        QVERIFY(lines[0].endsWith(QStringLiteral("bb?\u2069")));
        QCOMPARE(lines[0].count(ellipsis), 2);
        QVERIFY(lines[1].startsWith(QStringLiteral("\u200E\u2068Zo\U0001F600www")));
        QVERIFY(lines[1].endsWith(QStringLiteral("w!\u2069 secured  3")));
        QCOMPARE(lines[1].count(ellipsis), 1);
        QCOMPARE(lines[2], QStringLiteral("\u200EBob secured  2"));
        for (const QString& line : lines)
            QVERIFY(metrics.horizontalAdvance(line) <= 640);
    }

    void everyLineRunsLeftToRightWhateverTheNamesScript()
    {
        // Catches lines that take a right-to-left name's direction, reordered
        // (".wins the match \u05e9\u05e8\u05d4") and aligned right, and a name whose own
        // isolates close ours early or leave one open.
        const QString sarah = QStringLiteral("\u05e9\u05e8\u05d4 \u05dc\u05d5\u05d9");
        const QString stray = QStringLiteral("\u2069x\u2067y");
        const QStringList lines = messageDisplayText(sarah + QStringLiteral(" VS ") + stray + QStringLiteral("\r") +
                                                         sarah + QStringLiteral(" wins the match."),
                                                     {sarah, stray}, QFontMetrics(QApplication::font()), 640)
                                      .split('\n');
        const QString open = QStringLiteral("\u200E\u2068");
        const QString close(QChar(0x2069));
        QCOMPARE(lines, (QStringList{open + sarah + close + QStringLiteral(" VS \u2068x\u2067y") + close + close,
                                     open + sarah + close + QStringLiteral(" wins the match.")}));
        for (const QString& line : lines)
            QVERIFY(!line.isRightToLeft());
    }

    void dialogsOfferNoMinimiseOrMaximiseButton()
    {
        // Catches a prompt or question that can be minimised out of reach
        // while it blocks the main window, or resized, which lets a window
        // manager offer to maximise it.
        QList<Qt::WindowFlags> seen;
        QList<bool> oneSize;
        const auto note = [&seen, &oneSize](QWidget* modal) {
            seen << (modal->windowFlags() & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint));
            oneSize << (modal->minimumSize() == modal->maximumSize());
            modal->close();
        };
        whenModalOpens(note);
        runInputBox(nullptr, QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("x"));
        whenModalOpens(note);
        askYesNo(nullptr, QStringLiteral("q"), {}, QStringLiteral("t"));
        const Qt::WindowFlags titleAndClose = Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        QCOMPARE(seen, (QList<Qt::WindowFlags>{titleAndClose, titleAndClose}));
        QCOMPARE(oneSize, (QList<bool>{true, true}));
    }

    void aMinimisedDialogComesBack()
    {
        // Catches a dialog minimised from a title bar that offers it whatever
        // the flags (Qt's own, on Wayland) and left where nothing restores
        // it, while the main window waits for its answer.
        bool back = false;
        whenModalOpens([&back](QWidget* modal) {
            QWindow* window = modal->windowHandle();
            window->setWindowState(Qt::WindowMinimized);
            back = QTest::qWaitFor([window] { return window->windowState() == Qt::WindowNoState && window->isVisible(); });
            modal->close();
        });
        runInputBox(nullptr, QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("x"));
        QVERIFY(back);
    }

    void promptTakesAVeryLongNameWhole()
    {
        const QString name(100'000, QLatin1Char('n'));
        whenModalOpens([name](QWidget* modal) {
            static_cast<NamePrompt*>(modal)->field->setText(name);
            QTest::keyClick(modal, Qt::Key_Return);
        });
        QCOMPARE(runInputBox(nullptr, QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("x")), name);
    }

    // Catches a prompt that keeps repainting a very long name for its
    // blinking cursor: each repaint lays out the whole text, and a million
    // characters kept the program busy all the time.
    void aVeryLongNameIsRepaintedOnlyWhenItChanges()
    {
        QApplication::setCursorFlashTime(100);
        QList<int> paints;
        whenModalOpens([&paints](QWidget* modal) {
            NameField& field = *static_cast<NamePrompt*>(modal)->field;
            PaintCount count(field);
            const auto paintsWithin = [&count](int milliseconds) {
                const int before = count.paints;
                QTest::qWait(milliseconds);
                return count.paints - before;
            };
            paints << paintsWithin(300);
            field.insert(QString(100'000, QLatin1Char('n')));
            QTest::keyClick(&field, Qt::Key_Left);
            paints << paintsWithin(100) << paintsWithin(300);
            QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(&field, QStringLiteral("Ann"));
            paints << paintsWithin(300);
            QTest::keyClick(modal, Qt::Key_Return);
        });
        QCOMPARE(runInputBox(nullptr, QStringLiteral("p"), QStringLiteral("t"), QString()), QStringLiteral("Ann"));
        QCOMPARE(paints.size(), 4);
        QVERIFY(paints[0] > 0);
        QVERIFY(paints[1] > 0);
        QCOMPARE(paints[2], 0);
        QVERIFY(paints[3] > 0);
    }

private:
    struct PaintCount : QObject {
        explicit PaintCount(QWidget& widget) { widget.installEventFilter(this); }
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
        int paints = 0;
    };
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"

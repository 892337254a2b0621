// The prompt and the message box as the rules rely on them: answers, defaults,
// buttons, icon and line breaks.
#include "dialogs.h"
#include "modaldialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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
            prompt = static_cast<QInputDialog*>(modal)->labelText();
            selected = modal->findChild<QLineEdit*>()->selectedText();
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
            auto* edit = modal->findChild<QLineEdit*>();
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
                modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
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
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString shown;
        QString readOut;
        QStringList buttons;
        QString defaultButton;
        Qt::TextFormat format = Qt::AutoText;
        whenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            icon = box->icon();
            title = box->windowTitle();
            shown = box->text();
            for (const QLabel* label : box->findChildren<QLabel*>())
                readOut += label->text() == shown ? label->accessibleName() : QString();
            format = box->textFormat();
            for (QAbstractButton* button : box->buttons())
                buttons << (box->standardButton(button) == QMessageBox::Yes ? QStringLiteral("Yes") : QStringLiteral("No"));
            defaultButton = box->defaultButton()->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        const int answer =
            askYesNo(nullptr, QStringLiteral("a <b>&</b>\rb\rc"), {}, QStringLiteral("Tavrin"));
        QCOMPARE(answer, kAnswerYes);
        QCOMPARE(icon, QMessageBox::Warning);
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
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (how == 0)
                box->button(QMessageBox::No)->click();
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
            modal->findChild<QLineEdit*>()->setText(name);
            QTest::keyClick(modal, Qt::Key_Return);
        });
        QCOMPARE(runInputBox(nullptr, QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("x")), name);
    }

    // Catches a prompt that keeps repainting a very long name for its
    // blinking cursor: each repaint lays out the whole text, and a million
    // characters kept the program busy all the time.
    void cursorStopsBlinkingWhileTheNameIsVeryLong()
    {
        const int flashTime = QApplication::cursorFlashTime();
        QVERIFY(flashTime > 0);
        int withLongName = -1;
        int withShortName = -1;
        whenModalOpens([&](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>();
            edit->insert(QString(100'000, QLatin1Char('n')));
            withLongName = QApplication::cursorFlashTime();
            edit->setText(QStringLiteral("Ann"));
            withShortName = QApplication::cursorFlashTime();
            edit->insert(QString(100'000, QLatin1Char('n')));
            QTest::keyClick(modal, Qt::Key_Return);
        });
        runInputBox(nullptr, QStringLiteral("p"), QStringLiteral("t"), QString());
        QCOMPARE(withLongName, 0);
        QCOMPARE(withShortName, flashTime);
        QCOMPARE(QApplication::cursorFlashTime(), flashTime);
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"

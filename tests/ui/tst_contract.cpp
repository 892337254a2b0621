// SPDX-License-Identifier: GPL-3.0-or-later
// The rules are tested against the in-memory window. Every case here runs
// against that window and against the Qt one, so that the behaviour the
// rules were tested with is the behaviour players get.
#include "graphicalbutton.h"
#include "mainwindow.h"
#include "memoryform.h"
#include "modaldialogs.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace tavrin;
using namespace tavrin::testing;

namespace {

enum class PromptAnswer { KeepDefault, Type, Cancel };

// A window under test, with readers for what the operations themselves
// cannot read back.
class Subject {
public:
    virtual ~Subject() = default;
    virtual FormControls& form() = 0;
    virtual bool cellShown(Integer index) const = 0;
    virtual bool cellHasFocus(Integer index) const = 0;
    virtual Color cellColor(Integer index) const = 0;
    virtual bool shown(Control control) const = 0;
    virtual int listCount(ScoreList list) const = 0;
    // Answers the next prompt; `typed` is used with PromptAnswer::Type.
    virtual void answerPrompt(PromptAnswer answer, const std::u16string& typed) = 0;
    virtual void answerQuestion(bool yes) = 0;
};

class MemorySubject final : public Subject {
public:
    MemorySubject() { Form1(memory).Form_Load(); }

    FormControls& form() override { return memory; }
    bool cellShown(Integer index) const override { return memory.cell(index).visible; }
    bool cellHasFocus(Integer index) const override { return memory.focusedCell == index; }
    Color cellColor(Integer index) const override { return memory.cell(index).backColor; }
    bool shown(Control control) const override { return memory.isVisible(control); }
    int listCount(ScoreList list) const override { return static_cast<int>(memory.items(list).size()); }
    void answerPrompt(PromptAnswer answer, const std::u16string& typed) override
    {
        if (answer != PromptAnswer::KeepDefault)
            memory.inputAnswers.push_back(answer == PromptAnswer::Type ? typed : std::u16string{});
    }
    void answerQuestion(bool yes) override { memory.msgBoxAnswers.push_back(yes ? kAnswerYes : kAnswerNo); }

private:
    MemoryForm memory;
};

class QtSubject final : public Subject {
public:
    QtSubject()
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    FormControls& form() override { return window; }
    bool cellShown(Integer index) const override { return !window.cell(index)->isHidden(); }
    bool cellHasFocus(Integer index) const override { return window.cell(index)->hasFocus(); }
    Color cellColor(Integer index) const override
    {
        const GraphicalButton* cell = window.cell(index);
        const QColor face = cell->shownFaceColor();
        if (face == cell->palette().color(QPalette::Button))
            return kButtonFace;
        return static_cast<Color>(face.red()) | static_cast<Color>(face.green()) << 8 |
               static_cast<Color>(face.blue()) << 16;
    }
    bool shown(Control control) const override { return !window.control(control)->isHidden(); }
    int listCount(ScoreList list) const override { return window.list(list)->count(); }
    void answerPrompt(PromptAnswer answer, const std::u16string& typed) override
    {
        const QString text = QString::fromStdU16String(typed);
        whenModalOpens([answer, text](QWidget* modal) {
            if (answer == PromptAnswer::Type)
                qobject_cast<NamePrompt*>(modal)->field->setText(text);
            QTest::keyClick(modal, answer == PromptAnswer::Cancel ? Qt::Key_Escape : Qt::Key_Return);
        });
    }
    void answerQuestion(bool yes) override
    {
        whenModalOpens([yes](QWidget* modal) {
            QVERIFY(qobject_cast<YesNoQuestion*>(modal));
            tavrin::testing::answerQuestion(modal, yes);
        });
    }

private:
    MainWindow window;
};

constexpr Control kCaptioned[] = {Control::Command2, Control::Command3, Control::Label1, Control::Label2,
                                  Control::Label3,   Control::Label4,   Control::Frame1, Control::Frame2};
constexpr Control kAll[] = {Control::Command2, Control::Command3, Control::Label1, Control::Label2, Control::Label3,
                            Control::Label4,   Control::Frame1,   Control::Frame2, Control::List1,  Control::List2};

void addHiddenOrDisabledRows()
{
    QTest::addColumn<bool>("hide");
    QTest::newRow("hidden") << true;
    QTest::newRow("disabled") << false;
}

// Hides or disables the cell, as the row says.
void makeUnfocusable(FormControls& form, Integer index, bool hide)
{
    if (hide)
        form.setCellVisible(index, false);
    else
        form.setCellEnabled(index, false);
}

void showBoard(FormControls& form)
{
    for (Integer i = 0; i < kCellCount; ++i)
        form.setCellVisible(i, true);
}

}  // namespace

class ContractTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Subject> subject;

    FormControls& form() { return subject->form(); }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("qt");
        QTest::newRow("in-memory window") << false;
        QTest::newRow("Qt window") << true;
    }

    void init()
    {
        QFETCH_GLOBAL(bool, qt);
        if (qt)
            subject = std::make_unique<QtSubject>();
        else
            subject = std::make_unique<MemorySubject>();
    }

    void cleanup() { subject.reset(); }

    // Catches a starting state that differs between the two windows.
    void loadedWindowShowsOnlyPlayNowWithEmptyLists()
    {
        const std::map<Control, std::u16string> captions{{Control::Command2, u"Play Now"},
                                                         {Control::Command3, u"Continue"},
                                                         {Control::Label1, u"WINNER"},
                                                         {Control::Label3, u"Current Player"}};
        for (const Control control : kAll) {
            const auto found = captions.find(control);
            QCOMPARE(form().caption(control), found == captions.end() ? std::u16string{} : found->second);
            QCOMPARE(subject->shown(control), control == Control::Command2);
        }
        for (Integer i = 0; i < kCellCount; ++i) {
            QCOMPARE(form().cellCaption(i), openCellCaption(i));
            QVERIFY(form().cellEnabled(i));
            QVERIFY(!subject->cellShown(i));
            QCOMPARE(subject->cellColor(i), kButtonFace);
        }
        QCOMPARE(subject->listCount(ScoreList::List1), 0);
        QCOMPARE(subject->listCount(ScoreList::List2), 0);
    }

    void captionsReadBackExactlyAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("ampersand") << QStringLiteral("&");
        QTest::newRow("mnemonic-like") << QStringLiteral("Tom && &Jerry");
        QTest::newRow("markup") << QStringLiteral("<b>Zo\u00eb</b> <img src=x>");
        QTest::newRow("emoji") << QStringLiteral("\U0001F600\U0001F44D\U0001F3FD");
        QTest::newRow("right to left") << QStringLiteral("\u05e9\u05dc\u05d5\u05dd Ann");
        QTest::newRow("blanks") << QStringLiteral("  a  ");
        QTest::newRow("empty") << QString();
        QTest::newRow("10,000 characters") << QString(10'000, QLatin1Char('n'));
    }

    // Catches a control that rewrites its caption: mnemonics, markup, trimming
    // or clipping would break the rules' comparisons of names.
    void captionsReadBackExactlyAsWritten()
    {
        QFETCH(QString, text);
        const std::u16string written = text.toStdU16String();
        for (const Control control : kCaptioned) {
            form().setCaption(control, written);
            QCOMPARE(form().caption(control), written);
        }
        for (Integer i = 0; i < kCellCount; ++i) {
            form().setCellCaption(i, written);
            QCOMPARE(form().cellCaption(i), written);
        }
    }

    // Catches lists that sort, drop or reorder entries, or fail on an index
    // past the end, which the match totals read.
    void listsKeepOrderAndReadPastTheEndAsEmpty()
    {
        for (const ScoreList list : {ScoreList::List1, ScoreList::List2}) {
            for (const std::u16string_view item : {u"1", u"0", u"&", u"1"})
                form().addItem(list, item);
            QCOMPARE(subject->listCount(list), 4);
            QCOMPARE(form().listItem(list, 0), u"1");
            QCOMPARE(form().listItem(list, 1), u"0");
            QCOMPARE(form().listItem(list, 2), u"&");
            QCOMPARE(form().listItem(list, 3), u"1");
            QCOMPARE(form().listItem(list, 4), u"");
            QCOMPARE(form().listItem(list, 9), u"");
            QCOMPARE(form().listItem(list, -1), u"");
        }
        form().clearList(ScoreList::List1);
        QCOMPARE(subject->listCount(ScoreList::List1), 0);
        QCOMPARE(form().listItem(ScoreList::List1, 0), u"");
        QCOMPARE(subject->listCount(ScoreList::List2), 4);
    }

    void flagsReadBackAsWritten()
    {
        for (const bool flag : {true, false}) {
            for (const Control control : kAll) {
                form().setVisible(control, flag);
                QCOMPARE(subject->shown(control), flag);
            }
            for (Integer i = 0; i < kCellCount; ++i) {
                form().setCellVisible(i, flag);
                QCOMPARE(subject->cellShown(i), flag);
                form().setCellEnabled(i, !flag);
                QCOMPARE(form().cellEnabled(i), !flag);
            }
        }
    }

    void coloursReadBackAsWritten()
    {
        showBoard(form());
        for (const Color color : {kPureRed, Color{0x00FF8000}, Color{0}, kButtonFace}) {
            form().setCellBackColor(4, color);
            QCOMPARE(subject->cellColor(4), color);
        }
    }

    void focusRequestTakesAShownEnabledCell()
    {
        showBoard(form());
        form().setCellFocus(4);
        QVERIFY(subject->cellHasFocus(4));
        form().setCellFocus(0);
        QVERIFY(subject->cellHasFocus(0));
        QVERIFY(!subject->cellHasFocus(4));
    }

    void hiddenOrDisabledCellIgnoresAFocusRequest_data() { addHiddenOrDisabledRows(); }

    // Catches a focus request that reaches a cell which cannot hold the
    // focus, as Continue can ask for after Play Again.
    void hiddenOrDisabledCellIgnoresAFocusRequest()
    {
        QFETCH(bool, hide);
        showBoard(form());
        form().setCellFocus(4);
        makeUnfocusable(form(), 0, hide);
        form().setCellFocus(0);
        QVERIFY(!subject->cellHasFocus(0));
        QVERIFY(subject->cellHasFocus(4));
    }

    void focusLeavesACellThatIsDisabledOrHidden_data() { addHiddenOrDisabledRows(); }

    // Catches a taken or hidden cell that keeps the focus, and with it the
    // digit keys.
    void focusLeavesACellThatIsDisabledOrHidden()
    {
        QFETCH(bool, hide);
        showBoard(form());
        form().setCellFocus(4);
        makeUnfocusable(form(), 4, hide);
        QVERIFY(!subject->cellHasFocus(4));
    }

    void promptAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default kept") << int(PromptAnswer::KeepDefault) << QString() << QStringLiteral("Player 1");
        QTest::newRow("typed") << int(PromptAnswer::Type) << QStringLiteral("Zo\u00eb & <b>")
                               << QStringLiteral("Zo\u00eb & <b>");
        QTest::newRow("typed empty") << int(PromptAnswer::Type) << QString() << QString();
        QTest::newRow("cancelled") << int(PromptAnswer::Cancel) << QStringLiteral("Ann") << QString();
    }

    void promptAnswers()
    {
        QFETCH(int, answer);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        subject->answerPrompt(static_cast<PromptAnswer>(answer), typed.toStdU16String());
        QCOMPARE(form().inputBox(u"Enter name of first player", u"Tavrin", u"Player 1"), expected.toStdU16String());
    }

    void questionAnswersYesOrNo()
    {
        subject->answerQuestion(true);
        QCOMPARE(form().msgBox(u"a\rb", kYesNoExclamation, u"Tavrin"), kAnswerYes);
        subject->answerQuestion(false);
        QCOMPARE(form().msgBox(u"a\rb", kYesNoExclamation, u"Tavrin"), kAnswerNo);
    }
};

QTEST_MAIN(ContractTest)
#include "tst_contract.moc"

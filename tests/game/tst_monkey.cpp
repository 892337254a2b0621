// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamefixture.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

using namespace tavrin;
using namespace tavrin::testing;

namespace {

// splitmix64: tiny, fast, and the same sequence on every platform, so a
// seed replays a run exactly.
class Random {
public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= result < n.
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(((next() >> 32) * n) >> 32); }

private:
    std::uint64_t state;
};

std::vector<std::u16string> hostileNames()
{
    std::vector<std::u16string> names{
        u"",
        u" ",
        u"Player 1",
        u"Player 2",
        u"ann",
        u"Ann",
        u"ANN",
        u"&",
        u"&&",
        u"<b>x</b>",
        u"<img src=x>",
        u"\u05E9\u05DC\u05D5\u05DD",                                   // Hebrew, right to left
        u"\u0645\u0631\u062D\u0628\u0627 abc",                         // Arabic mixed with Latin
        u"\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466",  // family: emoji joined by ZWJ
        u"\U0001F3F3\uFE0F\u200D\U0001F308",                           // rainbow flag
        u"e\u0301\u0323",                                              // combining marks
        u"\u4E2D\u6587\u540D\u5B57",                                   // CJK
        u"\t",
        u"a\nb",
        u"a\rb",
        u"O",
        u"X",
        u"Draw",
        u"5",
        u"0",
        u"1",
        std::u16string(1, char16_t{0xD800}),  // lone surrogate
        std::u16string(1000, u'W'),
    };
    std::u16string mixed;
    for (int i = 0; i < 10000; ++i)
        mixed += i % 97 == 0 ? u'\u202E' : static_cast<char16_t>(u'a' + i % 26);
    names.push_back(mixed);
    return names;
}

enum class Action : std::uint8_t { Click, CellKey, Continue, PlayNow, ListKey, MouseUp, PlayAgain };

struct Event {
    std::uint64_t number = 0;
    Action action = Action::Click;
    Integer cell = 0;  // clicked or focused cell
    Integer code = 0;  // key code or mouse button
    std::uint16_t name1 = 0, name2 = 0;
    Integer answer = 0;  // the answer to a match-end question, should one come
    bool asked = false;  // whether the question came
};

// Our own copy of the lines, in the order the first complete one is chosen.
constexpr std::array<std::array<Integer, 3>, 8> kLineCells{{
    {0, 3, 6}, {1, 4, 7}, {2, 5, 8}, {0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {0, 4, 8}, {2, 4, 6},
}};

std::string printable(const std::u16string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < 24; ++i) {
        const char16_t c = text[i];
        if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else
            out += QStringLiteral("\\u%1").arg(int{c}, 4, 16, QLatin1Char('0')).toStdString();
    }
    if (text.size() > 24)
        out += "... (" + std::to_string(text.size()) + " units)";
    return '"' + out + '"';
}

// Drives Form1 with random events over `window` (the in-memory window
// `mem`, maybe behind a faulty wrapper) and checks the rules' invariants
// after every event and at every match-end question.
class Monkey final : public ForwardingForm {
public:
    Monkey(MemoryForm& state, FormControls& window, std::uint64_t seed)
        : ForwardingForm(window), mem(state), random(seed), seed(seed), names(hostileNames())
    {
        form.Form_Load();
    }

    // Empty when every invariant held over `events` events, otherwise the
    // failure with the seed and the events that led to it.
    std::string run(std::uint64_t events)
    {
        for (std::uint64_t n = 0; n < events; ++n) {
            const Event event = pick(n);
            ring[n % ring.size()] = event;
            const int questionsBefore = questions;
            try {
                step(event);
            } catch (const std::exception& error) {
                fail(std::string("exception: ") + error.what());
            }
            ring[n % ring.size()].asked = questions != questionsBefore;
            if (!failure.empty())
                return report(n);
        }
        return {};
    }

    int matchesEnded() const { return questions; }
    std::uint64_t gamesFinished() const { return gameTally; }
    std::uint64_t namesEntered() const { return playNows; }

    Integer msgBox(std::u16string_view text, Integer style, std::u16string_view title) override
    {
        ++questions;
        checkQuestion(text, style, title);
        return ForwardingForm::msgBox(text, style, title);
    }

private:
    Event pick(std::uint64_t number)
    {
        Event event;
        event.number = number;
        std::array<Integer, kCellCount> open{};
        std::uint32_t openCount = 0;
        for (Integer i = 0; i < kCellCount; ++i) {
            if (mem.cell(i).visible && mem.cell(i).enabled)
                open[openCount++] = i;
        }
        // The runtime only delivers events to controls that are shown and
        // enabled; List1 shows only inside a shown Frame1.
        const bool listShown = mem.isVisible(Control::List1) && mem.isVisible(Control::Frame1);
        const std::array<std::uint32_t, 7> weights{
            openCount > 0 ? 600u : 0u,
            openCount > 0 ? 300u : 0u,
            mem.isVisible(Control::Command3) ? 400u : 0u,
            mem.isVisible(Control::Command2) ? 400u : 0u,
            listShown ? 15u : 0u,
            10u,
            3u,
        };
        std::uint32_t total = 0;
        for (const std::uint32_t weight : weights)
            total += weight;
        std::uint32_t roll = random.below(total);
        std::size_t chosen = 0;
        while (roll >= weights[chosen])
            roll -= weights[chosen++];
        event.action = static_cast<Action>(chosen);

        if (openCount > 0)
            event.cell = open[random.below(openCount)];
        event.code = keyCode(event.action);
        const auto nameCount = static_cast<std::uint32_t>(names.size());
        event.name1 = static_cast<std::uint16_t>(random.below(nameCount));
        event.name2 = random.below(10) == 0 ? event.name1 : static_cast<std::uint16_t>(random.below(nameCount));
        const std::uint32_t answer = random.below(10);
        event.answer = answer < 5 ? kAnswerYes : answer < 9 ? kAnswerNo : Integer{2};
        return event;
    }

    Integer keyCode(Action action)
    {
        if (action == Action::MouseUp)
            return static_cast<Integer>(random.below(5));
        const std::uint32_t roll = random.below(100);
        if (action == Action::ListKey)
            return roll < 50 ? kEnterKey : static_cast<Integer>(random.next());
        if (roll < 70)
            return static_cast<Integer>('1' + random.below(9));
        if (roll < 75)
            return '0';
        if (roll < 77)
            return kEnterKey;
        if (roll < 90)
            return static_cast<Integer>(32 + random.below(95));
        return static_cast<Integer>(random.next());
    }

    void step(const Event& event)
    {
        mem.msgBoxAnswers.clear();
        mem.msgBoxAnswers.push_back(event.answer);
        const int questionsBefore = questions;
        const int finishedBefore = form.finishedGames();

        // The effect a move must have, worked out before it is made.
        Integer target = -1;
        if (event.action == Action::Click)
            target = event.cell;
        else if (event.action == Action::CellKey && event.code >= '1' && event.code <= '9')
            target = static_cast<Integer>(event.code - '1');
        const bool moves = target >= 0 && mem.cell(target).enabled;
        std::u16string mark;
        std::u16string nextToMove;
        if (moves) {
            const std::u16string toMove = mem.caption(Control::Label4);
            if (toMove == mem.caption(Control::Frame1)) {
                mark = kFirstMark;
                nextToMove = mem.caption(Control::Frame2);
            } else if (toMove == mem.caption(Control::Frame2)) {
                mark = kSecondMark;
                nextToMove = mem.caption(Control::Frame1);
            }
        }
        const bool clears = event.action == Action::Continue ||
                            (event.code == kEnterKey &&
                             (event.action == Action::CellKey || event.action == Action::ListKey));

        switch (event.action) {
        case Action::Click:
            form.Command1_Click(event.cell);
            break;
        case Action::CellKey:
            form.Command1_KeyPress(event.cell, event.code);
            break;
        case Action::Continue:
            form.Command3_Click();
            break;
        case Action::PlayNow:
            mem.inputAnswers.clear();
            mem.inputAnswers.push_back(names[event.name1]);
            mem.inputAnswers.push_back(names[event.name2]);
            form.Command2_Click();
            break;
        case Action::ListKey:
            form.List1_KeyPress(event.code);
            break;
        case Action::MouseUp:
            form.Form_MouseUp(event.code);
            break;
        case Action::PlayAgain:
            form.mnupa_Click();
            break;
        }
        if (!failure.empty())
            return;

        const bool matchEnded = questions != questionsBefore;
        const int finished = form.finishedGames();
        gameTally += matchEnded || finished == finishedBefore + 1;
        playNows += event.action == Action::PlayNow;
        if (matchEnded || (finished == 0 && finishedBefore != 0 && event.action == Action::PlayAgain)) {
            wonInMatch = 0;
        } else if (finished == finishedBefore + 1) {
            wonInMatch += firstCompleteLine() >= 0 ? 1 : 0;
        } else if (finished != finishedBefore) {
            return fail("finished games went from " + std::to_string(finishedBefore) + " to " +
                        std::to_string(finished));
        }

        if (moves && !matchEnded && !mark.empty()) {
            if (mem.cell(target).caption != mark || mem.cell(target).enabled)
                return fail("the move did not write its mark into cell " + std::to_string(target));
            if (mem.caption(Control::Label4) != nextToMove)
                return fail("the move did not pass the turn");
        }
        if (matchEnded)
            checkAnswerTaken(event.answer == kAnswerYes);
        if (event.action == Action::PlayNow &&
            (mem.caption(Control::Frame1) != names[event.name1] || mem.caption(Control::Frame2) != names[event.name2] ||
             mem.caption(Control::Label4) != names[event.name1] || mem.isVisible(Control::Command2)))
            return fail("Play Now did not start a match between the names typed");
        if (clears && !matchEnded) {
            for (Integer i = 0; i < kCellCount; ++i) {
                const auto& cell = mem.cell(i);
                if (!cell.enabled || cell.caption != openCellCaption(i) || cell.backColor != kButtonFace)
                    return fail("Continue left cell " + std::to_string(i) + " uncleared");
            }
            if (mem.isVisible(Control::Label1) || mem.isVisible(Control::Label2) || mem.isVisible(Control::Command3))
                return fail("Continue left the result shown");
        }
        checkState();
    }

    // Yes opens a fresh board for the same players, first player to move;
    // any other answer leaves only the main menu.
    void checkAnswerTaken(bool yes)
    {
        const bool boardShown = mem.cell(0).visible;
        if (yes && (!boardShown || mem.caption(Control::Label4) != mem.caption(Control::Frame1) ||
                    mem.focusedCell != 0 || !mem.list1.empty()))
            return fail("Yes did not start a new match for the same players");
        if (!yes && (boardShown || !mem.isVisible(Control::Command2) || mem.isVisible(Control::Command3) ||
                     mem.isVisible(Control::Label4) || mem.isVisible(Control::Frame1) || mem.isVisible(Control::List2)))
            return fail("No did not go back to the main menu");
        for (Integer i = 0; i < kCellCount; ++i) {
            if (!mem.cell(i).enabled)
                return fail("the answer left cell " + std::to_string(i) + " disabled");
        }
    }

    // Index into kLineCells of the first line of three equal captions, or -1.
    int firstCompleteLine() const
    {
        for (std::size_t l = 0; l < kLineCells.size(); ++l) {
            const auto& cells = kLineCells[l];
            if (mem.cell(cells[0]).caption == mem.cell(cells[1]).caption &&
                mem.cell(cells[1]).caption == mem.cell(cells[2]).caption)
                return static_cast<int>(l);
        }
        return -1;
    }

    // Checks the score lists against the finished games; `games` is the
    // count the lists must hold, `won` how many of those games were won.
    void checkLists(int games, int won)
    {
        if (static_cast<int>(mem.list1.size()) != games || static_cast<int>(mem.list2.size()) != games)
            return fail("the lists hold " + std::to_string(mem.list1.size()) + " and " +
                        std::to_string(mem.list2.size()) + " entries after " + std::to_string(games) +
                        " finished games");
        int ones = 0;
        for (std::size_t i = 0; i < mem.list1.size(); ++i) {
            const std::u16string& a = mem.list1[i];
            const std::u16string& b = mem.list2[i];
            if ((a != u"0" && a != u"1") || (b != u"0" && b != u"1") || (a == u"1" && b == u"1"))
                return fail("score entries " + printable(a) + " and " + printable(b) + " at index " +
                            std::to_string(i));
            ones += (a == u"1") + (b == u"1");
        }
        if (ones != won)
            return fail(std::to_string(ones) + " winning entries for " + std::to_string(won) + " won games");
    }

    // The board's cells, colours and result banner agree with each other.
    void checkBoard(bool finishedGameShown)
    {
        const int line = firstCompleteLine();
        bool allDisabled = true;
        bool allTaken = true;
        for (Integer i = 0; i < kCellCount; ++i) {
            const auto& cell = mem.cell(i);
            const bool taken = cell.caption == kFirstMark || cell.caption == kSecondMark;
            if (!taken && cell.caption != openCellCaption(i))
                return fail("cell " + std::to_string(i) + " shows " + printable(cell.caption));
            if (taken && cell.enabled)
                return fail("taken cell " + std::to_string(i) + " is enabled");
            if (cell.visible != mem.cell(0).visible)
                return fail("cell " + std::to_string(i) + " is shown apart from the others");
            allDisabled = allDisabled && !cell.enabled;
            allTaken = allTaken && taken;
            const bool onLine = line >= 0 && (kLineCells[static_cast<std::size_t>(line)][0] == i ||
                                              kLineCells[static_cast<std::size_t>(line)][1] == i ||
                                              kLineCells[static_cast<std::size_t>(line)][2] == i);
            if (cell.backColor != (onLine ? kPureRed : kButtonFace))
                return fail("cell " + std::to_string(i) + " has colour " + std::to_string(cell.backColor) +
                            (line >= 0 ? " on a board won by line " + std::to_string(line) : " on a board not won"));
        }
        if (finishedGameShown != (line >= 0 || allDisabled))
            return fail(finishedGameShown ? "a result is shown for a game in play" : "a finished game shows no result");
        if (!finishedGameShown)
            return;
        if (!mem.isVisible(Control::Label2))
            return fail("WINNER is shown without the result");
        if (line < 0 && !allTaken)
            return fail("a board with open cells was finished without a line");
        const std::u16string winner =
            line < 0 ? std::u16string(kDrawCaption)
                     : mem.cell(kLineCells[static_cast<std::size_t>(line)][0]).caption == kFirstMark
                           ? mem.caption(Control::Frame1)
                           : mem.caption(Control::Frame2);
        if (mem.caption(Control::Label2) != winner)
            return fail("the result shows " + printable(mem.caption(Control::Label2)) + " instead of " +
                        printable(winner));
        if (mem.list1.empty())
            return fail("a finished game left no score entry");
        const std::u16string expected1 =
            line < 0 ? u"0" : mem.cell(kLineCells[static_cast<std::size_t>(line)][0]).caption == kFirstMark ? u"1" : u"0";
        const std::u16string expected2 = line < 0 ? u"0" : expected1 == u"1" ? u"0" : u"1";
        if (mem.list1.back() != expected1 || mem.list2.back() != expected2)
            return fail("the last score entries do not match the shown result");
    }

    void checkState()
    {
        const int finished = form.finishedGames();
        if (finished < 0 || finished > 4)
            return fail("finished games " + std::to_string(finished) + " between matches");
        checkLists(finished, wonInMatch);
        if (!failure.empty())
            return;
        const bool boardShown = mem.cell(0).visible;
        if (boardShown) {
            const std::u16string toMove = mem.caption(Control::Label4);
            if (toMove != mem.caption(Control::Frame1) && toMove != mem.caption(Control::Frame2))
                return fail("Label4 names " + printable(toMove) + ", neither player");
        }
        const bool resultShown = mem.isVisible(Control::Label1);
        if (resultShown && (!boardShown || !mem.isVisible(Control::Command3)))
            return fail("WINNER is shown without the board or Continue");
        if (!resultShown && mem.isVisible(Control::Label2))
            return fail("the result is shown without WINNER");
        if (boardShown)
            checkBoard(resultShown);
    }

    // At the question the fifth game is finished and on screen, Continue is
    // hidden, and the message reports the lists' totals.
    void checkQuestion(std::u16string_view text, Integer style, std::u16string_view title)
    {
        if (form.finishedGames() != 5)
            return fail("a question after " + std::to_string(form.finishedGames()) + " games");
        if (style != kYesNoExclamation || title != kTitle)
            return fail("question style " + std::to_string(style));
        if (mem.isVisible(Control::Command3))
            return fail("Continue is offered with the match-end question");
        if (!mem.isVisible(Control::Label1))
            return fail("the fifth game's result is not shown at the question");
        const int won = wonInMatch + (firstCompleteLine() >= 0 ? 1 : 0);
        checkLists(5, won);
        if (!failure.empty())
            return;
        checkBoard(true);
        if (!failure.empty())
            return;

        int firstTotal = 0;
        int secondTotal = 0;
        for (std::size_t i = 0; i < 5; ++i) {
            firstTotal += mem.list1[i] == u"1";
            secondTotal += mem.list2[i] == u"1";
        }
        const std::u16string first = mem.caption(Control::Frame1);
        const std::u16string second = mem.caption(Control::Frame2);
        const auto secured = [](const std::u16string& name, int total) {
            return name + u" secured  " + static_cast<char16_t>(u'0' + total);
        };
        std::u16string expected = first + u" VS " + second + u"\r";
        if (firstTotal > secondTotal)
            expected += first + u" wins the match.\r" + secured(first, firstTotal) + u"\r" +
                        secured(second, secondTotal);
        else if (secondTotal > firstTotal)
            expected += second + u" wins the match.\r" + secured(second, secondTotal) + u"\r" +
                        secured(first, firstTotal);
        else
            expected += u"Match draw.\r" + secured(first, firstTotal) + u"\r" + secured(second, secondTotal);
        expected += u"\rPress YES to play again & NO to go to main menu.";
        if (text != expected)
            return fail("match-end message differs: " + printable(std::u16string(text)));
    }

    void fail(const std::string& reason)
    {
        if (failure.empty())
            failure = reason;
    }

    std::string describe(const Event& event) const
    {
        const std::string cell = std::to_string(event.cell);
        const std::string code = std::to_string(event.code);
        switch (event.action) {
        case Action::Click:
            return "click cell " + cell + answered(event);
        case Action::CellKey:
            return "key " + code + " on cell " + cell + answered(event);
        case Action::Continue:
            return "Continue";
        case Action::PlayNow:
            return "Play Now with " + printable(names[event.name1]) + " and " + printable(names[event.name2]);
        case Action::ListKey:
            return "key " + code + " in List1";
        case Action::MouseUp:
            return "mouse button " + code + " released";
        case Action::PlayAgain:
            return "Play Again";
        }
        return {};
    }

    static std::string answered(const Event& event)
    {
        return event.asked ? ", match ends, answer " + std::to_string(event.answer) : std::string();
    }

    std::string report(std::uint64_t number) const
    {
        std::string text = "event " + std::to_string(number) + " of seed " + std::to_string(seed) + ": " + failure +
                           "\nreplay: TAVRIN_MONKEY_SEED=" + std::to_string(seed) +
                           " TAVRIN_MONKEY_MOVES=" + std::to_string(number + 1) + "\nlast events:\n";
        const std::uint64_t first = number + 1 > ring.size() ? number + 1 - ring.size() : 0;
        for (std::uint64_t n = first; n <= number; ++n)
            text += "  #" + std::to_string(n) + " " + describe(ring[n % ring.size()]) + "\n";
        return text;
    }

    MemoryForm& mem;
    Form1 form{*this};
    Random random;
    std::uint64_t seed;
    std::vector<std::u16string> names;
    std::array<Event, 64> ring{};
    int questions = 0;
    int wonInMatch = 0;
    std::uint64_t gameTally = 0;
    std::uint64_t playNows = 0;
    std::string failure;
};

// Faults that a real implementation of the rules or of the window could
// have; the monkey must notice each of them.
struct FaultyWindow final : ForwardingForm {
    FaultyWindow(MemoryForm& window, int fault) : ForwardingForm(window), fault(fault) {}

    enum Fault { LosesScoreEntry, LeavesCellEnabled, KeepsRed, KeepsTurn, WritesZeroForO };
    int fault;
    int calls = 0;

    void addItem(ScoreList list, std::u16string_view item) override
    {
        if (fault == LosesScoreEntry && ++calls % 301 == 0)
            return;
        inner.addItem(list, item);
    }
    void setCellEnabled(Integer index, bool enabled) override
    {
        if (fault == LeavesCellEnabled && !enabled && index == 4 && ++calls % 53 == 0)
            return;
        inner.setCellEnabled(index, enabled);
    }
    void setCellBackColor(Integer index, Color color) override
    {
        if (fault == KeepsRed && color == kButtonFace && index == 8 && ++calls % 97 == 0)
            return;
        inner.setCellBackColor(index, color);
    }
    void setCaption(Control control, std::u16string_view text) override
    {
        if (fault == KeepsTurn && control == Control::Label4 && ++calls % 211 == 0)
            return;
        inner.setCaption(control, text);
    }
    void setCellCaption(Integer index, std::u16string_view caption) override
    {
        if (fault == WritesZeroForO && caption == kFirstMark && ++calls % 401 == 0)
            caption = u"0";
        inner.setCellCaption(index, caption);
    }
};

std::uint64_t environmentNumber(const char* name, std::uint64_t fallback)
{
    bool ok = false;
    const std::uint64_t value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

constexpr std::uint64_t kDefaultSeed = 20250611;
constexpr std::uint64_t kDefaultMoves = 10'000'000;

}  // namespace

class TestMonkey : public QObject {
    Q_OBJECT

private slots:
    // Millions of random moves, keys, answers and hostile names; the rules'
    // invariants must hold after every one of them.
    void randomPlayKeepsTheRules()
    {
        const std::uint64_t seed = environmentNumber("TAVRIN_MONKEY_SEED", kDefaultSeed);
        const std::uint64_t moves = environmentNumber("TAVRIN_MONKEY_MOVES", kDefaultMoves);
        MemoryForm mem;
        Monkey monkey(mem, mem, seed);
        QElapsedTimer timer;
        timer.start();
        const std::string failure = monkey.run(moves);
        const double seconds = std::max<double>(timer.nsecsElapsed() / 1e9, 1e-9);
        QVERIFY2(failure.empty(), failure.c_str());
        qInfo("monkey: seed %llu, %llu events in %.2f s, %.0f events per minute; %llu games, %d matches, "
              "%llu name entries",
              static_cast<unsigned long long>(seed), static_cast<unsigned long long>(moves), seconds,
              static_cast<double>(moves) / seconds * 60.0, static_cast<unsigned long long>(monkey.gamesFinished()),
              monkey.matchesEnded(), static_cast<unsigned long long>(monkey.namesEntered()));
        // A run that never ends a match has not tested much.
        if (moves >= 100'000)
            QVERIFY(monkey.matchesEnded() > 100);
    }

    // The checks are only worth the run if they fail on a broken window,
    // and a failure is only worth its report if the seed replays it.
    void monkeyCatchesAFaultyWindow_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("score entry lost") << int{FaultyWindow::LosesScoreEntry};
        QTest::newRow("taken cell left enabled") << int{FaultyWindow::LeavesCellEnabled};
        QTest::newRow("red left on a cleared cell") << int{FaultyWindow::KeepsRed};
        QTest::newRow("turn not passed") << int{FaultyWindow::KeepsTurn};
        QTest::newRow("wrong mark written") << int{FaultyWindow::WritesZeroForO};
    }
    void monkeyCatchesAFaultyWindow()
    {
        QFETCH(int, fault);
        const auto runOnce = [fault] {
            MemoryForm mem;
            FaultyWindow faulty(mem, fault);
            Monkey monkey(mem, faulty, 7);
            return monkey.run(1'000'000);
        };
        const std::string failure = runOnce();
        QVERIFY2(!failure.empty(), "the fault went unnoticed");
        QVERIFY(failure.find("TAVRIN_MONKEY_SEED=7 ") != std::string::npos);
        QVERIFY(failure.find("last events:\n  #") != std::string::npos);
        QCOMPARE(runOnce(), failure);
    }
};

QTEST_GUILESS_MAIN(TestMonkey)
#include "tst_monkey.moc"

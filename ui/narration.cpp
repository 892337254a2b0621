#include "narration.h"

#include "announcer.h"
#include "form1.h"
#include "graphicalbutton.h"
#include "mainwindow.h"
#include "qtconversions.h"
#include "shownslice.h"

#include <QListWidget>

namespace tavrin {

namespace {

const QString kFirst = toQString(kFirstMark);
const QString kSecond = toQString(kSecondMark);

// The names of Form1::kLines, in its order.
constexpr std::array<const char*, Form1::kLines.size()> kLineNames{
    "left column", "middle column", "right column", "top row",
    "middle row",  "bottom row",    "diagonal from top left", "diagonal from top right",
};

int total(const QListWidget& list)
{
    int sum = 0;
    for (int row = 0; row < list.count(); ++row)
        sum += leadingNumber(toU16(list.item(row)->text()));
    return sum;
}

// A name as spoken: an empty one by the player's place, a huge one by its start.
QString spokenName(const QString& name, bool first)
{
    if (name.isEmpty())
        return first ? QStringLiteral("First player") : QStringLiteral("Second player");
    return shownSlice(name, CaptionAnchor::Start);
}

bool isOpen(const ScreenState& state, std::size_t index)
{
    return state.cells.at(index) == toQString(openCellCaption(static_cast<Integer>(index)));
}

bool boardOpen(const ScreenState& state)
{
    for (std::size_t i = 0; i < state.cells.size(); ++i) {
        if (!isOpen(state, i))
            return false;
    }
    return !state.result;
}

QString moveSentence(const ScreenState& state, std::size_t index)
{
    const QString& mark = state.cells.at(index);
    const bool first = mark == kFirst;
    return QStringLiteral("%1 plays %2 in %3.")
        .arg(spokenName(first ? state.first : state.second, first), mark, QString::number(index + 1));
}

QString resultSentence(const ScreenState& state)
{
    QString outcome = QStringLiteral("%1.").arg(state.outcome);
    const auto red = [&state](Integer index) { return state.red.at(static_cast<std::size_t>(index)); };
    for (std::size_t l = 0; l < Form1::kLines.size(); ++l) {
        const Form1::Line& line = Form1::kLines.at(l);
        if (!(red(line.first) && red(line.middle) && red(line.last)))
            continue;
        const bool first = state.cells.at(static_cast<std::size_t>(line.first)) == kFirst;
        outcome = QStringLiteral("%1 %2, %3.")
                      .arg(state.banner, spokenName(state.outcome, first), QLatin1String(kLineNames.at(l)));
        break;
    }
    return QStringLiteral("%1 %2 %3, %4 %5.")
        .arg(outcome, spokenName(state.first, true), QString::number(state.firstTotal),
             spokenName(state.second, false), QString::number(state.secondTotal));
}

QString turnSentence(const ScreenState& state)
{
    return turnText(state) + QLatin1Char('.');
}

// "Game 2: won", "lost" or "draw", from an entry and the other list's entry beside it.
QString scoreEntryText(int row, const QListWidget& own, const QListWidget& other)
{
    const auto value = [row](const QListWidget& list) {
        const QListWidgetItem* item = list.item(row);
        return item ? leadingNumber(toU16(item->text())) : -1;
    };
    const int mine = value(own);
    const char* word = mine > 0 ? "won" : (mine == 0 && value(other) == 0 ? "draw" : "lost");
    return QStringLiteral("Game %1: %2").arg(QString::number(row + 1), QLatin1String(word));
}

void describeScores(QListWidget& own, const QListWidget& other)
{
    for (int row = 0; row < own.count(); ++row) {
        const QString text = scoreEntryText(row, own, other);
        if (own.item(row)->data(Qt::AccessibleTextRole).toString() != text)
            own.item(row)->setData(Qt::AccessibleTextRole, text);
    }
}

}  // namespace

QString scoreListName(const QString& player)
{
    if (player.isEmpty())
        return QStringLiteral("Scores");
    return QStringLiteral("Scores of %1").arg(shownSlice(player, CaptionAnchor::Start));
}

QString cellAccessibleName(Integer index, const QString& caption)
{
    const QString number = QString::number(index + 1);
    if (caption == toQString(openCellCaption(index)))
        return QStringLiteral("Cell %1, empty").arg(number);
    return QStringLiteral("Cell %1, %2").arg(number, shownSlice(caption, CaptionAnchor::Start));
}

ScreenState readScreen(const MainWindow& window)
{
    ScreenState state;
    for (Integer i = 0; i < kCellCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        state.cells.at(index) = toQString(window.cellCaption(i));
        state.red.at(index) = window.cell(i)->shownFaceColor() == toQColor(kPureRed);
    }
    const auto shown = [&window](Control c) { return window.control(c)->isVisibleTo(&window); };
    const auto caption = [&window](Control c) { return toQString(window.caption(c)); };
    state.mainMenu = shown(Control::Command2);
    state.result = shown(Control::Label1);
    state.playNow = caption(Control::Command2);
    state.banner = caption(Control::Label1);
    state.outcome = caption(Control::Label2);
    state.turn = caption(Control::Label4);
    state.first = caption(Control::Frame1);
    state.second = caption(Control::Frame2);
    state.firstTotal = total(*window.list(ScoreList::List1));
    state.secondTotal = total(*window.list(ScoreList::List2));
    state.games = window.list(ScoreList::List1)->count();
    return state;
}

QString turnText(const ScreenState& state)
{
    // The rules find the mover's mark by comparing with the first name first.
    const bool first = state.turn == state.first;
    if (!first && state.turn != state.second)
        return QStringLiteral("%1 to play").arg(shownSlice(state.turn, CaptionAnchor::Start));
    return QStringLiteral("%1 to play, %2").arg(spokenName(state.turn, first), first ? kFirst : kSecond);
}

QString announcement(const ScreenState& before, const ScreenState& after, bool always)
{
    if (after.mainMenu)
        return before.mainMenu ? QString() : QStringLiteral("Main menu: %1.").arg(after.playNow);
    if (before.mainMenu) {
        return QStringLiteral("%1 plays %2, %3 plays %4. %5")
            .arg(spokenName(after.first, true), kFirst, spokenName(after.second, false), kSecond,
                 turnSentence(after));
    }
    QStringList parts;
    for (std::size_t i = 0; i < after.cells.size(); ++i) {
        if (isOpen(before, i) && !isOpen(after, i))
            parts << moveSentence(after, i);
    }
    if (after.result && !before.result)
        parts << resultSentence(after);
    else if (boardOpen(after) && (!boardOpen(before) || always))
        parts << (after.games < before.games ? QStringLiteral("New match.") : QStringLiteral("New board."))
              << turnSentence(after);
    else if (!parts.isEmpty())
        parts << turnSentence(after);
    return parts.join(QLatin1Char(' '));
}

Narrator::Narrator(MainWindow& window) : window(window), announcer(new Announcer(&window)) {}

void Narrator::narrate(const std::function<void()>& handler, bool always)
{
    before = readScreen(window);
    handler();
    announceChanges(always);
}

void Narrator::announceChanges(bool always)
{
    const ScreenState after = readScreen(window);
    describeControls(after);
    const QString text = announcement(before, after, always);
    if (!text.isEmpty())
        announcer->announce(text);
    before = after;
}

void Narrator::describeControls(const ScreenState& state)
{
    const QString turn = state.mainMenu ? QString() : turnText(state);
    for (Integer i = 0; i < kCellCount; ++i) {
        if (window.cell(i)->accessibleDescription() != turn)
            window.cell(i)->setAccessibleDescription(turn);
    }
    QListWidget& first = *window.list(ScoreList::List1);
    QListWidget& second = *window.list(ScoreList::List2);
    describeScores(first, second);
    describeScores(second, first);
}

}  // namespace tavrin

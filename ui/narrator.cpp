#include "narrator.h"

#include "announcer.h"
#include "graphicalbutton.h"
#include "mainwindow.h"
#include "qtconversions.h"

#include <QListWidget>

namespace tavrin {

Narrator::Narrator(MainWindow& window) : window(window), announcer(new Announcer(&window)) {}

void Narrator::speak()
{
    const std::u16string news = takeNews();
    if (!news.empty())
        announcer->announce(toQString(news));
}

void Narrator::matchStarted(std::u16string_view first, std::u16string_view second, MatchStart how)
{
    Narration::matchStarted(first, second, how);
    describeTurn();
}

void Narrator::markPlaced(Integer cell, std::u16string_view mark, std::u16string_view nextToMove)
{
    Narration::markPlaced(cell, mark, nextToMove);
    describeTurn();
}

void Narrator::gameWon(Player winner, const Line& line)
{
    Narration::gameWon(winner, line);
    describeNewestEntries();
}

void Narrator::gameDrawn()
{
    Narration::gameDrawn();
    describeNewestEntries();
}

void Narrator::matchEnded(Integer firstTotal, Integer secondTotal)
{
    Narration::matchEnded(firstTotal, secondTotal);
    // The finished game is heard before the question takes the focus.
    speak();
}

void Narrator::mainMenuShown()
{
    Narration::mainMenuShown();
    describeTurn();
}

void Narrator::describeTurn()
{
    const QString turn = toQString(turnText());
    for (Integer i = 0; i < kCellCount; ++i) {
        if (window.cell(i)->accessibleDescription() != turn)
            window.cell(i)->setAccessibleDescription(turn);
    }
}

void Narrator::describeNewestEntries()
{
    for (const Player player : {Player::First, Player::Second}) {
        QListWidget* list = window.list(player == Player::First ? ScoreList::List1 : ScoreList::List2);
        if (QListWidgetItem* newest = list->item(list->count() - 1))
            newest->setData(Qt::AccessibleTextRole, toQString(newestScoreEntry(player)));
    }
}

}  // namespace tavrin

// SPDX-License-Identifier: GPL-3.0-or-later
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
    const QString news = toQString(takeNews());
    const auto announce = [this, &news] {
        if (!news.isEmpty())
            announcer->announce(news);
    };
    if (hold) {
        hold->release(announce);
        hold.reset();
    } else {
        announce();
    }
    // The news has just said whose turn it is (a screen reader speaks
    // nothing for a description that turns empty).
    if (auto* focused = qobject_cast<GraphicalButton*>(window.focusWidget()))
        focused->setAccessibleDescription({});
}

void Narrator::say(const QString& text)
{
    announcer->announce(text);
}

QString Narrator::cellDescription() const
{
    return stepping ? QString() : toQString(turnText());
}

void Narrator::matchStarted(std::u16string_view first, std::u16string_view second, MatchStart how)
{
    Narration::matchStarted(first, second, how);
    describeTotals();
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

void Narrator::describeNewestEntries()
{
    for (const Player player : {Player::First, Player::Second}) {
        QListWidget* list = window.list(player == Player::First ? ScoreList::List1 : ScoreList::List2);
        if (QListWidgetItem* newest = list->item(list->count() - 1))
            newest->setData(Qt::AccessibleTextRole, toQString(newestScoreEntry(player)));
    }
    describeTotals();
}

void Narrator::describeTotals()
{
    for (const Player player : {Player::First, Player::Second}) {
        QListWidget* list = window.list(player == Player::First ? ScoreList::List1 : ScoreList::List2);
        list->setAccessibleDescription(toQString(scoreSummary(player)));
    }
}

}  // namespace tavrin

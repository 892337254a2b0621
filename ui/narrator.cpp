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
    const QString turn = toQString(turnText());
    for (Integer i = 0; i < kCellCount; ++i) {
        if (window.cell(i)->accessibleDescription() != turn)
            window.cell(i)->setAccessibleDescription(turn);
    }
    for (const Player player : {Player::First, Player::Second}) {
        const QListWidget* list = window.list(player == Player::First ? ScoreList::List1 : ScoreList::List2);
        QListWidgetItem* newest = list->item(list->count() - 1);
        const QString entry = toQString(newestScoreEntry(player));
        if (newest != nullptr && newest->data(Qt::AccessibleTextRole).toString() != entry)
            newest->setData(Qt::AccessibleTextRole, entry);
    }
    const std::u16string news = takeNews();
    if (!news.empty())
        announcer->announce(toQString(news));
}

void Narrator::matchEnded(Integer firstTotal, Integer secondTotal)
{
    Narration::matchEnded(firstTotal, secondTotal);
    // The finished game is heard before the question takes the focus.
    speak();
}

}  // namespace tavrin

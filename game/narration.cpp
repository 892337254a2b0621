// SPDX-License-Identifier: GPL-3.0-or-later
#include "narration.h"

#include "form1.h"

#include <algorithm>
#include <utility>

namespace tavrin {

// Enough of a name to know it by; a huge one is read by its start.
constexpr std::size_t kSpokenNameLength = 4096;

void Narration::matchStarted(std::u16string_view first, std::u16string_view second, MatchStart how)
{
    firstName = first;
    secondName = second;
    toMove = Player::First;
    atMainMenu = false;
    firstTotal = secondTotal = games = 0;
    if (how == MatchStart::SamePlayers)
        news = u"New match.";
    else
        news = spokenName(Player::First) + u" plays " + std::u16string(kFirstMark) + u", " +
               spokenName(Player::Second) + u" plays " + std::u16string(kSecondMark) + u".";
    turnFollows = true;
}

void Narration::markPlaced(Integer cell, std::u16string_view mark, std::u16string_view nextToMove)
{
    // Equal names make every move the first player's, as the rules find it.
    const Player mover = mark == kFirstMark ? Player::First : Player::Second;
    toMove = nextToMove == firstName ? Player::First : Player::Second;
    tell(spokenName(mover) + u" plays " + std::u16string(mark) + u" in " +
         decimalText(static_cast<Integer>(cell + 1)) + u".");
    turnFollows = true;
}

void Narration::gameWon(Player winner, const Line& line)
{
    ++(winner == Player::First ? firstTotal : secondTotal);
    lastWinner = winner;
    tellResult(std::u16string(kWinnerBanner) + u" " + spokenName(winner) + u", " + std::u16string(line.name) + u".");
}

void Narration::gameDrawn()
{
    lastWinner.reset();
    tellResult(std::u16string(kDrawCaption) + u".");
}

void Narration::tellResult(std::u16string_view outcome)
{
    ++games;
    tell(std::u16string(outcome) + u" " + spokenName(Player::First) + u" " + decimalText(firstTotal) + u", " +
         spokenName(Player::Second) + u" " + decimalText(secondTotal) + u".");
    turnFollows = false;
}

void Narration::tell(std::u16string_view sentence)
{
    if (!news.empty())
        news += u' ';
    news += sentence;
}

void Narration::boardCleared()
{
    news = u"New board.";
    turnFollows = true;
}

void Narration::mainMenuShown()
{
    news = atMainMenu ? u"" : u"Main menu: " + std::u16string(kPlayNowCaption) + u".";
    atMainMenu = true;
    turnFollows = false;
}

std::u16string Narration::takeNews()
{
    if (turnFollows)
        tell(turnText() + u".");
    turnFollows = false;
    return std::exchange(news, {});
}

std::u16string Narration::turnText() const
{
    if (atMainMenu)
        return {};
    return spokenName(toMove) + u" to play, " + std::u16string(toMove == Player::First ? kFirstMark : kSecondMark);
}

std::u16string Narration::newestScoreEntry(Player player) const
{
    const char16_t* word = !lastWinner ? u"draw" : player == lastWinner ? u"won" : u"lost";
    return u"Game " + decimalText(games) + u": " + word;
}

std::u16string Narration::scoreSummary(Player player) const
{
    const Integer wins = player == Player::First ? firstTotal : secondTotal;
    return spokenName(player) + u": " + decimalText(wins) + (wins == 1 ? u" win in " : u" wins in ") +
           decimalText(games) + (games == 1 ? u" game" : u" games");
}

std::u16string Narration::spokenName(Player player) const
{
    const std::u16string& name = player == Player::First ? firstName : secondName;
    if (name.empty())
        return player == Player::First ? u"First player" : u"Second player";
    std::size_t length = std::min(name.size(), kSpokenNameLength);
    if (length < name.size() && (name[length - 1] & 0xFC00) == 0xD800)
        --length;  // not half a surrogate pair
    return name.substr(0, length);
}

std::u16string takenCellText(Integer index, std::u16string_view mark)
{
    return u"Cell " + decimalText(static_cast<Integer>(index + 1)) + u" is taken, " + std::u16string(mark) + u".";
}

std::u16string gameOverText(bool enterContinues)
{
    return enterContinues ? u"The game is over. Press Enter for a new board."
                          : u"The game is over. Press Continue for a new board.";
}

std::u16string boardText(const std::array<std::u16string, kCellCount>& captions)
{
    std::u16string text;
    for (Integer row = 0; row < 3; ++row) {
        text += (row == 0 ? u"Row " : u" Row ") + decimalText(static_cast<Integer>(row + 1)) + u": ";
        for (Integer column = 0; column < 3; ++column)
            text += (column == 0 ? u"" : u", ") + captions.at(static_cast<std::size_t>(row * 3 + column));
        text += u'.';
    }
    return text;
}

std::u16string spokenLines(const std::vector<std::u16string>& lines)
{
    std::u16string text;
    for (const std::u16string& line : lines) {
        if (line.empty())
            continue;
        if (!text.empty())
            text += u' ';
        text += line;
        if (line.back() != u'.' && line.back() != u'!' && line.back() != u'?')
            text += u'.';
    }
    return text;
}

}  // namespace tavrin

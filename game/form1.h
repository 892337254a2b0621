// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "basictypes.h"
#include "formcontrols.h"
#include "gameevents.h"

#include <array>
#include <initializer_list>
#include <string>

namespace tavrin {

// The main window's handlers and form-level variables. All state other than
// these variables lives in the window's controls, reached through FormControls.
class Form1 {
public:
    Form1(FormControls& controls, GameEvents& listener = GameEvents::none()) : form(controls), events(listener) {}

    void Form_Load();
    // 0 <= Index < kCellCount.
    void Command1_Click(Integer Index);
    void Command1_KeyPress(Integer Index, Integer KeyAscii);
    void Command2_Click();
    void Command3_Click();
    void Form_MouseUp(Integer Button);
    void Form_Unload();
    void List1_KeyPress(Integer KeyAscii);
    void mnupa_Click();
    void mnue_Click();

    void GoToMainMenu();

    Integer finishedGames() const { return gameCount; }

    using Line = tavrin::Line;
    // Examined in this order; the first complete line wins.
    static constexpr std::array<Line, 8> kLines{{
        {0, 3, 6, u"left column"}, {1, 4, 7, u"middle column"}, {2, 5, 8, u"right column"},
        {0, 1, 2, u"top row"},     {3, 4, 5, u"middle row"},    {6, 7, 8, u"bottom row"},
        {0, 4, 8, u"diagonal from top left"}, {2, 4, 6, u"diagonal from top right"},
    }};

private:
    // What clearing the board writes on each cell; each caller lists the
    // writes in its own order.
    enum class CellWrite { Enable, Hide, OpenCaption, ButtonFace };
    void rewriteCells(std::initializer_list<CellWrite> writes);

    void CheckResult();
    void winSteps(const Line& line);
    void drawSteps();
    void matchEnd();
    std::u16string matchResultText(Integer firstTotal, Integer secondTotal) const;
    void startMatchWithSamePlayers();

    FormControls& form;
    GameEvents& events;
    std::u16string firstPlayerName;
    std::u16string secondPlayerName;
    Integer keyCell = 0;
    Integer gameCount = 0;
};

// Caption of an open cell: its digit, "1" for index 0.
std::u16string openCellCaption(Integer index);

inline constexpr std::u16string_view kTitle = u"Tavrin";
inline constexpr std::u16string_view kFirstMark = u"O";
inline constexpr std::u16string_view kSecondMark = u"X";
inline constexpr std::u16string_view kDrawCaption = u"Draw";
inline constexpr std::u16string_view kWinnerBanner = u"WINNER";
inline constexpr std::u16string_view kPlayNowCaption = u"Play Now";

}  // namespace tavrin

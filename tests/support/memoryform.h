// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form1.h"
#include "formcontrols.h"

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tavrin::testing {

// The main window as plain data, in its starting state, with scripted
// answers for prompts and message boxes.
struct MemoryForm final : FormControls {
    struct Cell {
        std::u16string caption;
        bool enabled = true;
        bool visible = false;
        Color backColor = kButtonFace;
    };
    std::array<Cell, kCellCount> cells;
    std::map<Control, std::u16string> captions{{Control::Command2, u"Play Now"},
                                               {Control::Command3, u"Continue"},
                                               {Control::Label1, u"WINNER"},
                                               {Control::Label3, u"Current Player"}};
    std::map<Control, bool> visible{{Control::Command2, true}};
    // As designed: one entry, which the load handler clears unseen.
    std::vector<std::u16string> list1{u"1"};
    std::vector<std::u16string> list2{u"1"};
    int focusedCell = -1;

    std::deque<std::u16string> inputAnswers;  // empty queue answers with the default
    std::deque<Integer> msgBoxAnswers;        // empty queue answers No
    std::vector<std::u16string> prompts;
    std::vector<std::u16string> messages;
    std::vector<Integer> messageStyles;
    int popups = 0;
    int ends = 0;

    MemoryForm()
    {
        for (Integer i = 0; i < kCellCount; ++i)
            cells[static_cast<std::size_t>(i)].caption = openCellCaption(i);
    }

    Cell& cell(Integer index) { return cells.at(static_cast<std::size_t>(index)); }
    const Cell& cell(Integer index) const { return cells.at(static_cast<std::size_t>(index)); }
    bool isVisible(Control control) const
    {
        const auto found = visible.find(control);
        return found != visible.end() && found->second;
    }
    std::vector<std::u16string>& items(ScoreList list) { return list == ScoreList::List1 ? list1 : list2; }
    const std::vector<std::u16string>& items(ScoreList list) const
    {
        return list == ScoreList::List1 ? list1 : list2;
    }

    std::u16string cellCaption(Integer index) const override { return cell(index).caption; }
    void setCellCaption(Integer index, std::u16string_view caption) override { cell(index).caption = caption; }
    bool cellEnabled(Integer index) const override { return cell(index).enabled; }
    void setCellEnabled(Integer index, bool enabled) override
    {
        cell(index).enabled = enabled;
        if (!enabled && focusedCell == index)
            focusedCell = -1;
    }
    void setCellVisible(Integer index, bool shown) override
    {
        cell(index).visible = shown;
        if (!shown && focusedCell == index)
            focusedCell = -1;
    }
    void setCellBackColor(Integer index, Color color) override { cell(index).backColor = color; }
    void setCellFocus(Integer index) override
    {
        if (cell(index).visible && cell(index).enabled)
            focusedCell = index;
    }

    std::u16string caption(Control control) const override
    {
        const auto found = captions.find(control);
        return found == captions.end() ? std::u16string{} : found->second;
    }
    void setCaption(Control control, std::u16string_view text) override { captions[control] = text; }
    void setVisible(Control control, bool shown) override { visible[control] = shown; }

    void clearList(ScoreList list) override { items(list).clear(); }
    void addItem(ScoreList list, std::u16string_view item) override { items(list).emplace_back(item); }
    std::u16string listItem(ScoreList list, Integer index) const override
    {
        const auto& entries = items(list);
        return index >= 0 && static_cast<std::size_t>(index) < entries.size()
                   ? entries[static_cast<std::size_t>(index)]
                   : std::u16string{};
    }

    std::u16string inputBox(std::u16string_view prompt, std::u16string_view /*title*/,
                            std::u16string_view defaultText) override
    {
        prompts.emplace_back(prompt);
        if (inputAnswers.empty())
            return std::u16string(defaultText);
        std::u16string answer = inputAnswers.front();
        inputAnswers.pop_front();
        return answer;
    }
    Integer msgBox(std::u16string_view text, Integer style, std::u16string_view /*title*/) override
    {
        messages.emplace_back(text);
        messageStyles.push_back(style);
        if (msgBoxAnswers.empty())
            return kAnswerNo;
        const Integer answer = msgBoxAnswers.front();
        msgBoxAnswers.pop_front();
        return answer;
    }
    void popupMenu() override { ++popups; }
    void endProgram() override { ++ends; }
};

}  // namespace tavrin::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form1.h"
#include "memoryform.h"

#include <QString>
#include <QStringList>
#include <QTest>

#include <functional>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace tavrin::testing {

inline QString q(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Passes every operation on to another window; tests override the few
// operations they want to watch or break.
struct ForwardingForm : FormControls {
    explicit ForwardingForm(FormControls& window) : inner(window) {}

    FormControls& inner;

    std::u16string cellCaption(Integer index) const override { return inner.cellCaption(index); }
    void setCellCaption(Integer index, std::u16string_view caption) override { inner.setCellCaption(index, caption); }
    bool cellEnabled(Integer index) const override { return inner.cellEnabled(index); }
    void setCellEnabled(Integer index, bool enabled) override { inner.setCellEnabled(index, enabled); }
    void setCellVisible(Integer index, bool shown) override { inner.setCellVisible(index, shown); }
    void setCellBackColor(Integer index, Color color) override { inner.setCellBackColor(index, color); }
    void setCellFocus(Integer index) override { inner.setCellFocus(index); }
    std::u16string caption(Control control) const override { return inner.caption(control); }
    void setCaption(Control control, std::u16string_view text) override { inner.setCaption(control, text); }
    void setVisible(Control control, bool shown) override { inner.setVisible(control, shown); }
    void clearList(ScoreList list) override { inner.clearList(list); }
    void addItem(ScoreList list, std::u16string_view item) override { inner.addItem(list, item); }
    std::u16string listItem(ScoreList list, Integer index) const override { return inner.listItem(list, index); }
    std::u16string inputBox(std::u16string_view prompt, std::u16string_view title,
                            std::u16string_view defaultText) override
    {
        return inner.inputBox(prompt, title, defaultText);
    }
    Integer msgBox(std::u16string_view text, Integer style, std::u16string_view title) override
    {
        return inner.msgBox(text, style, title);
    }
    void popupMenu() override { inner.popupMenu(); }
    void endProgram() override { inner.endProgram(); }
};

// Records what the in-memory window cannot tell: titles and defaults of
// prompts, focus requests, and the window's state at the moment the
// match-end question is asked.
struct RecordingForm final : ForwardingForm {
    explicit RecordingForm(MemoryForm& window) : ForwardingForm(window), mem(window) {}

    MemoryForm& mem;
    std::vector<std::u16string> inputTitles;
    std::vector<std::u16string> inputDefaults;
    std::vector<std::u16string> messageTitles;
    int focusRequests = 0;
    std::function<void()> beforeMessage;

    void setCellFocus(Integer index) override
    {
        ++focusRequests;
        mem.setCellFocus(index);
    }
    std::u16string inputBox(std::u16string_view prompt, std::u16string_view title,
                            std::u16string_view defaultText) override
    {
        inputTitles.emplace_back(title);
        inputDefaults.emplace_back(defaultText);
        return mem.inputBox(prompt, title, defaultText);
    }
    Integer msgBox(std::u16string_view text, Integer style, std::u16string_view title) override
    {
        messageTitles.emplace_back(title);
        if (beforeMessage)
            beforeMessage();
        return mem.msgBox(text, style, title);
    }
};

// One main window with its rules, loaded as at program start.
struct Game {
    explicit Game(GameEvents& listener = GameEvents::none()) : form(window, listener) { form.Form_Load(); }

    MemoryForm mem;
    RecordingForm window{mem};
    Form1 form;

    // Play Now with the names typed into the two prompts.
    void playNow(std::u16string_view first, std::u16string_view second)
    {
        mem.inputAnswers.emplace_back(first);
        mem.inputAnswers.emplace_back(second);
        form.Command2_Click();
    }

    std::u16string first() const { return mem.caption(Control::Frame1); }
    std::u16string second() const { return mem.caption(Control::Frame2); }
    std::u16string toMove() const { return mem.caption(Control::Label4); }

    void play(std::initializer_list<int> cells)
    {
        for (const int cell : cells)
            form.Command1_Click(static_cast<Integer>(cell));
    }
};

// Writes a board such as "OX./.O./..O": '.' open, 'O' and 'X' taken and
// disabled; '/' only separates rows.
inline void setBoard(MemoryForm& mem, std::string_view board)
{
    Integer index = 0;
    for (const char c : board) {
        if (c == '/')
            continue;
        MemoryForm::Cell& cell = mem.cell(index);
        cell.caption = c == '.' ? openCellCaption(index) : std::u16string(1, static_cast<char16_t>(c));
        cell.enabled = c == '.';
        ++index;
    }
    if (index != kCellCount)
        qFatal("board needs nine cells: %s", std::string(board).c_str());
}

// The board as setBoard writes it; '-' marks an open cell that is disabled
// (a finished game), '?' a caption that belongs to no cell state.
inline QString boardOf(const MemoryForm& mem)
{
    QString board;
    for (Integer i = 0; i < kCellCount; ++i) {
        if (i > 0 && i % 3 == 0)
            board += u'/';
        const MemoryForm::Cell& cell = mem.cell(i);
        if (cell.caption == openCellCaption(i))
            board += cell.enabled ? u'.' : u'-';
        else if ((cell.caption == u"O" || cell.caption == u"X") && !cell.enabled)
            board += QChar(cell.caption.front());
        else
            board += u'?';
    }
    return board;
}

// Cell colours as a board: 'r' pure red, '.' button face, '?' anything else.
inline QString paintOf(const MemoryForm& mem)
{
    QString paint;
    for (Integer i = 0; i < kCellCount; ++i) {
        if (i > 0 && i % 3 == 0)
            paint += u'/';
        const Color color = mem.cell(i).backColor;
        paint += color == kPureRed ? u'r' : color == kButtonFace ? u'.' : u'?';
    }
    return paint;
}

inline QStringList listOf(const std::vector<std::u16string>& entries)
{
    QStringList list;
    for (const auto& entry : entries)
        list << q(entry);
    return list;
}

// Names of the shown controls in a fixed order; "cells" when all nine are
// shown, otherwise each shown cell by its index.
inline QString shownControls(const MemoryForm& mem)
{
    static const std::pair<Control, const char*> names[] = {
        {Control::Command2, "Command2"}, {Control::Command3, "Command3"}, {Control::Label1, "Label1"},
        {Control::Label2, "Label2"},     {Control::Label3, "Label3"},     {Control::Label4, "Label4"},
        {Control::Frame1, "Frame1"},     {Control::Frame2, "Frame2"},     {Control::List1, "List1"},
        {Control::List2, "List2"},
    };
    QStringList shown;
    for (const auto& [control, name] : names) {
        if (mem.isVisible(control))
            shown << QString::fromLatin1(name);
    }
    QStringList cells;
    for (Integer i = 0; i < kCellCount; ++i) {
        if (mem.cell(i).visible)
            cells << QStringLiteral("Command1(%1)").arg(i);
    }
    if (cells.size() == kCellCount)
        shown << QStringLiteral("cells");
    else
        shown << cells;
    return shown.join(u' ');
}

inline const QString kGameScreen = QStringLiteral("Label3 Label4 Frame1 Frame2 List1 List2 cells");
inline const QString kResultScreen = QStringLiteral("Command3 Label1 Label2 Label3 Label4 Frame1 Frame2 List1 List2 cells");

}  // namespace tavrin::testing

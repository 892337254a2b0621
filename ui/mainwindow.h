// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form1.h"
#include "formcontrols.h"
#include "narrator.h"
#include "qtconversions.h"

#include <QWidget>

#include <array>
#include <variant>

class QListWidget;
class QMenu;
class QAction;
class QPushButton;

namespace tavrin {

class CaptionFrame;
class CaptionLabel;
class GraphicalButton;

// The main window: its controls, menu and event wiring. The rules in Form1
// read and write the controls through the FormControls operations.
class MainWindow : public QWidget, public FormControls {
    Q_OBJECT
public:
    // Builds the controls and runs the form's load handler.
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Client area, in pixels, and where it is placed on the screen.
    static constexpr QRect kDesignedGeometry = twipsRect(6390, 3570, 6795, 5445);

    Form1& handlers() { return rules; }

    // Controls, by their designed names.
    GraphicalButton* cell(int index) const { return Command1.at(static_cast<std::size_t>(index)); }
    QWidget* control(Control which) const;
    QListWidget* list(ScoreList which) const;

    // FormControls
    std::u16string cellCaption(Integer index) const override;
    void setCellCaption(Integer index, std::u16string_view caption) override;
    bool cellEnabled(Integer index) const override;
    void setCellEnabled(Integer index, bool enabled) override;
    void setCellVisible(Integer index, bool visible) override;
    void setCellBackColor(Integer index, Color color) override;
    void setCellFocus(Integer index) override;
    std::u16string caption(Control control) const override;
    void setCaption(Control control, std::u16string_view caption) override;
    void setVisible(Control control, bool visible) override;
    void clearList(ScoreList list) override;
    void addItem(ScoreList list, std::u16string_view item) override;
    std::u16string listItem(ScoreList list, Integer index) const override;
    std::u16string inputBox(std::u16string_view prompt, std::u16string_view title,
                            std::u16string_view defaultText) override;
    Integer msgBox(std::u16string_view text, Integer style, std::u16string_view title) override;
    void popupMenu() override;
    void endProgram() override;

    using QWidget::setVisible;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenu();
    void setTabOrder();
    // Opens the menu at the control that holds the keyboard focus.
    void popupAtFocus();
    // What to say for a key that the rules will refuse, empty for others.
    QString refusal(int code, bool enterContinues) const;
    // Reads the board out, row by row.
    void readBoard();

    // Each control with the type that says how it shows a caption.
    using TypedControl = std::variant<QPushButton*, CaptionLabel*, CaptionFrame*, QListWidget*>;
    TypedControl typedControl(Control which) const;

    // Runs a handler of the rules, then speaks what it did.
    template <class Handler>
    void handle(Handler handler)
    {
        narrator.step(handler);
    }

    Narrator narrator{*this};
    Form1 rules{*this, narrator};
    std::array<GraphicalButton*, kCellCount> Command1{};
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    CaptionLabel* Label1 = nullptr;
    CaptionLabel* Label2 = nullptr;
    CaptionLabel* Label3 = nullptr;
    CaptionLabel* Label4 = nullptr;
    CaptionFrame* Frame1 = nullptr;
    CaptionFrame* Frame2 = nullptr;
    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QMenu* mnumenu = nullptr;
    QAction* mnupa = nullptr;
    QAction* mnue = nullptr;
    bool ending = false;
};

}  // namespace tavrin

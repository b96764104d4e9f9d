#pragma once
// The player's record: games played, solved and given up, the share solved, the
// current and the best run of solved games, the average guesses of a solved game,
// and a bar chart of solved games by their guesses (1 to 9, 10 or more) with the bar
// of the last solved game marked. A dialog of the main window: it is centred on it
// and blocks it while open; Return, Escape, CLOSE and the close box close it.
//
// Everything but the button is painted by the dialog itself, on the game's cream,
// in colours that an 8-bit colour cube shows without mixing them up.
#include "game/GameStatistics.h"
#include "gui/Dialog.h"

class ButtonCustom;
class DrawContext;

class FormStatistics : public Dialog {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 334;

    // Shows a copy of `statistics`; it does not follow later games.
    FormStatistics(Form* owner, const GameStatistics& statistics);

    void Paint() override;
    // Return and keypad Enter close the dialog as Escape does.
    bool KeyChar(int c) override;

    ButtonCustom* CloseButton() const { return closeButton_; }

    // Each column of figures as a label, each bar of the chart too ("4 guesses: 7
    // games"), then CLOSE.
    void DescribeTree(AccessibleNodes& nodes) override;

protected:
    void BuildControls() override;
    GUIElement* SafeFocus() override;

private:
    void DrawFigures(DrawContext& dc);
    void DrawChart(DrawContext& dc);

    GameStatistics statistics_;
    ButtonCustom* closeButton_ = nullptr;
};

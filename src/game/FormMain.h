#pragma once
// The main window and the controller of the game: the banner, the covered code, the
// input row, the buttons and the attempts counter on the left; the board of ten
// guess rows with their answers on the right. It owns the game record, stores it
// after every change and draws the board from it as a whole.
//
// Every move of the player takes one road, Play: the input handlers (clicks, keys,
// the buttons, the answers to the questions) only decide which move is meant.
#include <X11/Xlib.h>
#include <array>
#include <cstdint>
#include <string>

#include "game/GameRecord.h"
#include "game/Move.h"
#include "game/PegSheet.h"
#include "gui/Form.h"
#include "image/DisplayImage.h"

class ButtonCustom;
class CellControl;
class Child;
class FormAbout;
class FormStatistics;
class ImageFrame;
class MyImage;
class ScreenConnection;
class Timer;

class FormMain : public Form {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;
    static constexpr int kBoardColumns = 6;
    static constexpr int kBoardCells = 66;  // 11 rows x 6 columns
    static constexpr int kExitQuestion = 1000;
    static constexpr int kAbandonQuestion = 1001;
    static constexpr int kAnswerYes = 3;

    FormMain(ScreenConnection* screen, const std::string& title);
    ~FormMain() override;

    void Paint() override;
    void EmptyHook2() override {}
    void OnUserMessage() override {}
    void OnDialogResult(int id, int result) override;
    // The right button on an input peg moves it back one colour.
    void OtherButtonDown(Point p) override;

    // --- the main form's own virtual operations, in their fixed order ---
    virtual void CreateControls();
    virtual bool AskExit();
    virtual void OnResized() {}
    virtual bool AcceptKeyChar() { return true; }
    virtual bool IsKeyAllowed(int key) { return key != 9 && key != 13; }
    virtual void OnKeyDown() {}
    virtual void OnKeyUp() {}
    virtual void MainHookA() {}
    virtual void MainHookB() {}
    virtual void OnElementMouseDown(GUIElement* element);
    virtual void OnFormMouseDown();
    virtual void MainHookC() {}
    virtual void MainHookD() {}
    virtual void OnCommand(GUIElement* element);
    virtual void MainHookE() {}
    virtual void MainHookF() {}

    // --- board display and play ---
    // The one road of every move, in one order: applies the move (to input peg 0..3,
    // colour 0..7) to the record; when that changed it, draws the changed input peg,
    // stores the record, redraws the board, and last tells what the move has to tell
    // (the win, a store that fails). A peg move changes only its peg, drawn before
    // the store so that the server draws while the store syncs; Go and Abandon
    // change the board, which is redrawn once the record is stored, so that a board
    // on the screen is always a stored one. Exit changes no record: it stops the
    // timer and ends the event loop. True when the record changed.
    bool Play(Move move, int peg = 0, int colour = 0);
    void SetPegColour(ImageFrame* frame, int colour);
    void ShowRow(int row, const std::string& record);
    void ClearRow(int row);
    void RefreshBoard();
    void OpenAbout();
    // S: the player's record of finished games, in a dialog of this window.
    void OpenStatistics();
    // H while playing: sets the input row to the guess that narrows the fitting
    // codes down best (each peg a SetPeg move) and says how many codes fit.
    void ShowHint();

    // --- keyboard play ---
    // The peg keys (PegKey) act on the current input peg, on the key's press; H, S
    // and F1 open the hint, the statistics and the keys in any state of the game.
    void PlayKeyDown(KeySym key);
    // Return and keypad Enter act as GO / NEW GAME when no button has the focus.
    // Acts on the key's release, as a focused button does.
    void PlayKeyUp(KeySym key);

    const GameRecord& Record() const { return record_; }

    // --- what a screen reader is told ---
    // INFO and EXIT, the covered code, the four input pegs (named by place and colour;
    // the current one has the focus while no button has it), GO and CANCEL, the
    // attempts, the board as a list of the guesses on it read out, newest last, and a
    // notification that reads out each guess with its answer.
    void DescribeTree(AccessibleNodes& nodes) override;
    // A peg's actions are its clicks: the next colour, the colour before.
    bool DoNodeAction(uint32_t key, int index) override;
    // A peg that takes the focus is the one the keys act on.
    bool FocusNode(uint32_t key) override;

private:
    ImageFrame* NewSheetFrame(int picture);
    ImageFrame* BoardPeg(int row, int column) const;
    void PlaceOnScreen();
    void BuildPictures();
    void TellIfNotStored();
    // GO, or NEW GAME when the press came after the end was seen.
    void PlayGo();
    // Shows the current-peg mark (from the first peg key on) or takes it away.
    void ShowPegMark(bool shown);
    void PaintPegMark();
    // A click on the blocked window, or a close request: beep and show the dialog.
    void SignalBlocked();
    // The input peg (0..3) whose frame has id `key`, or -1.
    int InputPegOf(uint32_t key) const;
    // What the notification reads out next: a guess with its answer, the code given up.
    void Announce(const std::string& words);

    ButtonCustom* infoButton_ = nullptr;
    ButtonCustom* goButton_ = nullptr;
    ButtonCustom* cancelButton_ = nullptr;
    ButtonCustom* exitButton_ = nullptr;
    MyImage* titleImage_ = nullptr;
    CellControl* attemptsCell_ = nullptr;
    std::array<ImageFrame*, kBoardCells + 1> boardFrames_{};  // entries 1..66
    std::array<CellControl*, kBoardRows + 1> rowCells_{};     // entries 1..10
    DisplayImagePtr aboutPicture_;
    DisplayImagePtr bannerPicture_;
    PegSheet sheet_;
    GameRecord record_;
    std::array<ImageFrame*, kCodeLength> inputFrames_{};
    std::array<ImageFrame*, kCodeLength> codeFrames_{};
    FormAbout* aboutForm_ = nullptr;
    FormStatistics* statisticsForm_ = nullptr;
    Timer* gameTimer_ = nullptr;
    bool firstPaintDone_ = false;
    bool storeFailureTold_ = false;  // the player hears once per run that storing fails
    int currentPeg_ = 0;             // the input peg (0..3) the keys act on
    bool pegMarkShown_ = false;
    bool pegClicked_ = false;          // the click the form hears next was on an input peg
    Time endShownAt_ = 0;              // the server time the game's end was drawn; 0 unknown
    std::string announcement_;         // the notification's text
    uint32_t announcementSerial_ = 0;  // grows with every announcement, even of the same text
};

// Command handler of the form's buttons.
void ButtonCommand(Child* element);
// Mouse-down callback of the form itself and of its input pegs.
void PegMouseDown(GUIElement* element, uint64_t userData, Point p);

#pragma once
// The main window and the controller of the game: the banner, the covered code, the
// input row, the buttons and the attempts counter on the left; the board of ten
// guess rows with their answers on the right. It owns the game record, stores it
// after every change and draws the board from it as a whole.
#include <X11/Xlib.h>
#include <array>
#include <cstdint>
#include <string>

#include "game/GameRecord.h"
#include "gui/Form.h"

class ButtonCustom;
class CellControl;
class Child;
class FormAbout;
class ImageFrame;
class MyImage;
class ScreenConnection;
class Timer;

class FormMain : public Form {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;
    static constexpr int kBoardCells = 66;  // 11 rows x 6 columns
    static constexpr int kExitQuestion = 1000;
    static constexpr int kAbandonQuestion = 1001;
    static constexpr int kAnswerYes = 3;

    FormMain(ScreenConnection* screen, const std::string& title);
    ~FormMain() override;

    void Paint() override;
    void EmptyHook2() override;
    void OnUserMessage() override;
    // Gives the window manager the icon pixmap, once the window exists.
    void OnCreated() override;
    void OnDialogResult(int id, int result) override;
    // The right button on an input peg moves it back one colour.
    void OtherButtonDown(Point p) override;

    // --- the main form's own virtual operations, in their fixed order ---
    virtual void CreateControls();
    virtual bool AskExit();
    virtual void OnResized();
    virtual bool AcceptKeyChar();
    virtual bool IsKeyAllowed(int key);
    virtual void OnKeyDown();
    virtual void OnKeyUp();
    virtual void MainHookA();
    virtual void MainHookB();
    virtual void OnElementMouseDown(GUIElement* element);
    virtual void OnFormMouseDown();
    virtual void MainHookC();
    virtual void MainHookD();
    virtual void OnCommand(GUIElement* element);
    virtual void MainHookE();
    virtual void MainHookF();

    // --- board display and play ---
    void SetPegColour(ImageFrame* frame, int colour);
    std::string ReadInputRow();
    void ShowRow(int row, const std::string& record);
    void ClearRow(int row);
    void RefreshBoard();
    void OpenAbout();

    // --- keyboard play ---
    // Digits 1..8 set the current input peg and move on; Left and Right move the
    // current peg; Up and Down step its colour. Acts on the key's press.
    void PlayKeyDown(KeySym key);
    // Return and keypad Enter act as GO / NEW GAME when no button has the focus.
    // Acts on the key's release, as a focused button does.
    void PlayKeyUp(KeySym key);
    // The input peg (0..3) the keys act on.
    int CurrentPeg() const { return currentPeg_; }

    const GameRecord& Record() const { return record_; }

private:
    ImageFrame* NewSheetFrame(int picture);
    ImageFrame* BoardPeg(int row, int column) const;
    void LoadSheet();
    void PlaceOnScreen();
    void BuildPictures();
    void StoreRecord();
    void TellIfNotStored();
    // GO or NEW GAME, unless it repeats the last one within the double-click time
    // with nothing played in between.
    void PlayGo();
    // A peg changed by click or key: shown, stored, and counted as a move.
    void ChangeInputPeg(int index, int colour);
    // Shows the current-peg mark (from the first peg key on) or takes it away.
    void ShowPegMark(bool shown);
    void PaintPegMark();
    // A click on the blocked window, or a close request: beep and show the dialog.
    void SignalBlocked();

    ButtonCustom* infoButton_ = nullptr;
    ButtonCustom* goButton_ = nullptr;
    ButtonCustom* cancelButton_ = nullptr;
    ButtonCustom* exitButton_ = nullptr;
    MyImage* titleImage_ = nullptr;
    CellControl* attemptsCell_ = nullptr;
    std::array<ImageFrame*, kBoardCells + 1> boardFrames_{};  // entries 1..66
    std::array<CellControl*, kBoardRows + 1> rowCells_{};     // entries 1..10
    XImage* aboutPicture_ = nullptr;
    XImage* bannerPicture_ = nullptr;
    int32_t sheetSize_ = 0;
    unsigned char* sheetData_ = nullptr;
    GameRecord record_;
    std::array<ImageFrame*, kCodeLength> inputFrames_{};
    std::array<ImageFrame*, kCodeLength> codeFrames_{};
    FormAbout* aboutForm_ = nullptr;
    Timer* gameTimer_ = nullptr;
    bool firstPaintDone_ = false;
    bool storeFailureTold_ = false;  // the player hears once per run that storing fails
    int currentPeg_ = 0;
    bool pegMarkShown_ = false;
    // The last GO / NEW GAME and whether anything was played since.
    Time lastGo_ = 0;
    Pixmap iconImage_ = 0;
    bool lastGoByKey_ = false;
    bool movedSinceGo_ = true;
};

// Command handler of the form's buttons.
void ButtonCommand(Child* element);
// Mouse-down callback of the form itself and of its input pegs.
void PegMouseDown(GUIElement* element, uint64_t userData, Point p);

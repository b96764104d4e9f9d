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
    void OnDialogResult(int id, int result) override;

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

    const GameRecord& Record() const { return record_; }

private:
    ImageFrame* NewSheetFrame(int picture);
    ImageFrame* BoardPeg(int row, int column) const;
    void LoadSheet();
    void BuildPictures();
    void StoreRecord();
    void TellIfNotStored();

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
};

// Command handler of the form's buttons.
void ButtonCommand(Child* element);
// Mouse-down callback of the form itself and of its input pegs.
void PegMouseDown(GUIElement* element, uint64_t userData, Point p);

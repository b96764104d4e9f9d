#include "game/FormMain.h"

#include <X11/keysym.h>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/Application.h"
#include "app/Log.h"
#include "app/ProductInfo.h"
#include "app/ScreenConnection.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/ImageFrame.h"
#include "controls/Timer.h"
#include "dialogs/FormAbout.h"
#include "dialogs/FormMsgBox.h"
#include "game/GameStore.h"
#include "game/WholeFile.h"
#include "gui/DrawContext.h"
#include "image/BuiltinPictures.h"
#include "image/DisplayImage.h"
#include "image/MyImage.h"
#include "image/PackedPicture.h"
#include "util/Beep.h"

namespace {
constexpr const char* kSheetPath = "Data/resources50x40.bin";
constexpr int kSheetWidth = 750;
constexpr int kSheetHeight = 40;
constexpr int32_t kSheetBytes = kSheetWidth * kSheetHeight * 3;
constexpr int kCell = 50;  // a sheet picture is 50 x 40
constexpr int kCellHeight = 40;

constexpr int64_t kCream = 0xFFFDE5;
constexpr int64_t kWhite = 0xFFFFFF;
constexpr int64_t kBlack = 0x000000;

// Sheet pictures.
constexpr int kPictureRightPiece = 2;
constexpr int kPictureLeftPiece = 3;
constexpr int kPictureBottomPiece = 4;
constexpr int kPictureBottomRight = 5;
constexpr int kPictureBottomLeft = 6;
constexpr int kPictureCovered = 13;
constexpr int kPictureHole = 14;
// Colour value 0..8 to the sheet picture showing it.
constexpr int kColourPicture[] = {0, 1, 7, 8, 9, 10, 11, 12, 13};

constexpr int kTimerInterval = 400;

// A second GO within this time, with nothing played in between, is the second half
// of a double click, not a new move.
constexpr Time kDoubleClickTime = 400;  // ms

// The current-peg mark: a bar under the input peg, on the cream band above GO.
constexpr int kMarkInsetX = 5;
constexpr int kMarkY = 285;
constexpr int kMarkWidth = 40;
constexpr int kMarkHeight = 5;

FormMain* AsMain(GUIElement* e) { return static_cast<FormMain*>(e); }

// Forwarders from the element callbacks to the form's virtual operations.
void LoadForwarder(GUIElement* e, uint64_t) { AsMain(e)->CreateControls(); }
bool QueryCloseForwarder(GUIElement* e) { return AsMain(e)->AskExit(); }
void ResizedForwarder(GUIElement* e, int64_t) { AsMain(e)->OnResized(); }
bool AcceptEveryChar(GUIElement*, int) { return true; }
void KeyDownForwarder(GUIElement* e, KeySym k)
{
    AsMain(e)->PlayKeyDown(k);
    AsMain(e)->OnKeyDown();
}
void KeyUpForwarder(GUIElement* e, KeySym k)
{
    AsMain(e)->PlayKeyUp(k);
    AsMain(e)->OnKeyUp();
}
void TimerTick(Timer* t)
{
    if (GUIElement* f = t->OwningForm()) static_cast<Form*>(f)->OnUserMessage();
}

std::string WinTitle() { return std::string(kProductName) + " - " + kWebAddress; }
}  // namespace

void ButtonCommand(Child* element)
{
    if (!element) return;
    GUIElement* form = element->IsKind(kKindForm) ? element : element->OwningFormOrMain();
    if (form) AsMain(form)->OnCommand(element);
}

void PegMouseDown(GUIElement* element, uint64_t, Point)
{
    if (element->IsKind(kKindForm)) {
        AsMain(element)->OnFormMouseDown();
    } else if (element->IsChild()) {
        if (GUIElement* form = element->OwningFormOrMain()) AsMain(form)->OnElementMouseDown(element);
    }
}

// ---------------------------------------------------------------- lifetime

FormMain::FormMain(ScreenConnection* screen, const std::string& title) : Form(nullptr)
{
    if (screen) SetScreen(screen);
    SetSize(kWidth, kHeight);
    PlaceOnScreen();
    SetTitle(title);
    SetOnLoad(LoadForwarder);
    SetOnQueryClose(QueryCloseForwarder);
    SetOnResized(ResizedForwarder);
    SetOnKeyChar(AcceptEveryChar);
    SetOnKeyDown(KeyDownForwarder);
    SetOnKeyUp(KeyUpForwarder);
    SetOnMouseDown(PegMouseDown);
    SetBackColor(kCream);
    LoadSheet();
    SetNetIcon(std::vector<unsigned long>(kWindowIcons, kWindowIcons + kWindowIconsLength));
    Create();
    if (!Application::MainForm()) Application::SetMainForm(this);
}

FormMain::~FormMain()
{
    if (gameTimer_) {
        gameTimer_->Stop();
        delete gameTimer_;
    }
    DestroyWindow();
    if (iconImage_ && GetDisplay()) XFreePixmap(GetDisplay(), iconImage_);
    delete aboutForm_;
    delete exitButton_;
    delete infoButton_;
    delete goButton_;
    delete cancelButton_;
    delete titleImage_;
    for (ImageFrame* f : inputFrames_) delete f;
    for (ImageFrame* f : codeFrames_) delete f;
    delete attemptsCell_;
    for (ImageFrame* f : boardFrames_) delete f;
    for (CellControl* c : rowCells_) delete c;
    FreeDisplayImage(aboutPicture_);
    FreeDisplayImage(bannerPicture_);
    std::free(sheetData_);
}

void FormMain::PlaceOnScreen()
{
    // The window keeps its usual place where it fits; on a smaller screen it moves
    // up and left as far as needed, to the top-left corner at most, so that its
    // buttons are not off the screen.
    if (!screen_ || !screen_->GetDisplay()) return;
    const int outerWidth = kWidth + 2, outerHeight = kHeight + 2;  // with the border
    const Point at = GetPosition();
    SetPosition(std::clamp(screen_->GetScreenWidth() - outerWidth, 0, at.x),
                std::clamp(screen_->GetScreenHeight() - outerHeight, 0, at.y));
}

void FormMain::LoadSheet()
{
    // Only the sheet's own bytes are read: whatever follows them is not the frames' business.
    std::int64_t fileLength = 0;
    LoadFileStart(kSheetPath, kSheetBytes, sheetData_, sheetSize_, fileLength);
    if (!sheetData_) return;
    if (sheetSize_ != kSheetBytes) {
        // The frames read a full 750 x 40 sheet; a short file is set aside as if missing.
        WriteLog(std::string(kSheetPath) + ": wrong size " + std::to_string(sheetSize_) + ", expected " +
                 std::to_string(kSheetBytes));
        std::free(sheetData_);
        sheetData_ = nullptr;
        sheetSize_ = 0;
    } else if (fileLength > kSheetBytes) {
        WriteLog(std::string(kSheetPath) + ": " + std::to_string(fileLength) + " bytes, using the first " +
                 std::to_string(kSheetBytes));
    }
}

// Stores the record after a change and tells the player, once per run, when it cannot be.
void FormMain::StoreRecord()
{
    // The change is on the screen before the disk work starts. The server, woken by
    // the repaint, usually runs on this CPU, and the store's millisecond of system
    // calls would keep it waiting; a round trip lets it draw first.
    if (Display* d = GetDisplay()) XSync(d, False);
    SaveGame(record_);
    TellIfNotStored();
}

void FormMain::TellIfNotStored()
{
    if (storeFailureTold_ || StoreFailure().empty()) return;
    storeFailureTold_ = true;
    ShowMessageBox(this, "The game cannot be stored: " + StoreFailure(), kProductName);
}

ImageFrame* FormMain::NewSheetFrame(int picture)
{
    auto* frame = new ImageFrame(this, sheetData_, 1, kSheetWidth, kSheetHeight, picture, 0);
    frame->SetTransparent(false);
    frame->SetSize(kCell, kCellHeight);
    return frame;
}

void FormMain::CreateControls()
{
    titleImage_ = new MyImage(this, nullptr);
    titleImage_->SetPosition(15, 30);
    titleImage_->SetSize(kBannerWidth, kBannerHeight);
    titleImage_->Create();

    auto makeButton = [this](const char* caption, int x, int y, uint32_t fore, int64_t back) {
        auto* b = new ButtonCustom(this, caption);
        b->SetPosition(x, y);
        b->SetSize(97, 28);
        b->SetCommand(ButtonCommand);
        b->SetForeColor(fore);
        b->SetBackColor(back);
        return b;
    };
    infoButton_ = makeButton("INFO", 473, 40, 0x000000, kCream);
    infoButton_->Create();
    exitButton_ = makeButton("EXIT", 580, 40, 0x000000, kCream);
    exitButton_->Create();

    for (int k = 0; k < kCodeLength; ++k) {
        codeFrames_[k] = NewSheetFrame(kPictureCovered);
        codeFrames_[k]->SetPosition(55 + 51 * k, 190);
        codeFrames_[k]->Create();
    }
    for (int k = 0; k < kCodeLength; ++k) {
        ImageFrame* f = NewSheetFrame(0);
        f->value = "0";
        f->SetPosition(55 + 51 * k, 241);
        f->SetOnMouseDown(PegMouseDown);
        f->SetMarkB(true);
        f->Create();
        inputFrames_[k] = f;
    }

    goButton_ = makeButton("GO", 55, 316, 0xFFFFFF, 0x00AA00);
    goButton_->SetMarkB(true);
    goButton_->Create();
    cancelButton_ = makeButton("CANCEL", 162, 316, 0xFFFFFF, 0xFF0000);
    cancelButton_->SetMarkB(true);
    cancelButton_->Create();

    attemptsCell_ = new CellControl(this);
    attemptsCell_->SetBackColor(GetBackColor());
    attemptsCell_->SetForeColor(0x000000);
    attemptsCell_->SetBorder(true);
    attemptsCell_->SetSize(204, 25);
    attemptsCell_->SetText("");
    attemptsCell_->SetPosition(55, 356);
    attemptsCell_->Create();

    for (int i = 1; i <= kBoardCells; ++i) {
        const int q = i / 6, r = i % 6;
        const int column = r != 0 ? r : 6;
        const int row = r != 0 ? q + 1 : q;
        const bool bottom = row == 11;
        int picture;
        if (column == 1)
            picture = bottom ? kPictureBottomLeft : kPictureLeftPiece;
        else if (column == 6)
            picture = bottom ? kPictureBottomRight : kPictureRightPiece;
        else
            picture = bottom ? kPictureBottomPiece : kPictureHole;
        ImageFrame* f = NewSheetFrame(picture);
        f->SetBackColor(kBlack);
        f->SetPosition(375 + kCell * column, 40 + kCellHeight * row);
        f->Create();
        boardFrames_[i] = f;
        if (column == 6 && row <= kBoardRows) {
            auto* cell = new CellControl(this);
            cell->SetBackColor(kWhite);
            cell->SetForeColor(0x000000);
            cell->SetSize(70, 15);
            cell->SetText("");
            cell->SetPosition(700, 40 * row + 45);
            cell->Create();
            rowCells_[row] = cell;
        }
    }

    gameTimer_ = new Timer(this, kTimerInterval);
    gameTimer_->SetOnTick(TimerTick);
    gameTimer_->Create();
}

// ---------------------------------------------------------------- painting

void FormMain::BuildPictures()
{
    std::vector<unsigned char> banner = UnpackPicture(kBannerWidth, kBannerHeight, kBannerPicture);
    bannerPicture_ = MakeDisplayImage(this, banner.data(), kBannerWidth, kBannerHeight);
    titleImage_->SetImage(bannerPicture_);
    titleImage_->Create();
    std::vector<unsigned char> about = UnpackPicture(kAboutWidth, kAboutHeight, kAboutPicture);
    aboutPicture_ = MakeDisplayImage(this, about.data(), kAboutWidth, kAboutHeight);
}

void FormMain::Paint()
{
    if (created_) {
        if (!firstPaintDone_) {
            // The stored game is read at the first paint, when the window can show it.
            firstPaintDone_ = true;
            BuildPictures();
            LoadGame(record_);
            RefreshBoard();
            TellIfNotStored();
        }
        DrawContext dc(this);
        const Point size = GetSize();
        // A fill covers one pixel less than its width and height: one more each way
        // makes the white reach x 14, the right edge and the bottom row.
        dc.FillRectangle(315, 0, size.x - 315 + 1, size.y + 1, 0, -1, kWhite);
        dc.FillRectangle(0, 0, 15 + 1, size.y + 1, 0, -1, kWhite);
    }
    Form::Paint();
    if (pegMarkShown_) PaintPegMark();
}

// The icon of the old hints is the bitmap and mask Form makes from the window's
// icons: the conventions want a bitmap there, and a full-colour pixmap shows as noise.
void FormMain::OnCreated() {}

void FormMain::EmptyHook2() {}
void FormMain::OnUserMessage() {}

// ---------------------------------------------------------------- hooks

bool FormMain::AskExit()
{
    // A close request while a dialog is open is answered like a click on the
    // blocked window; a second question on top of the dialog would unblock the
    // window under it.
    if (!IsEnabled()) {
        SignalBlocked();
        return false;
    }
    AskYesNo(kExitQuestion, this, "Do you really want to go exit?", "Exit");
    return false;
}

void FormMain::OnResized() {}
bool FormMain::AcceptKeyChar() { return true; }
bool FormMain::IsKeyAllowed(int key) { return key != 9 && key != 13; }
void FormMain::OnKeyDown() {}
void FormMain::OnKeyUp() {}
void FormMain::MainHookA() {}
void FormMain::MainHookB() {}
void FormMain::MainHookC() {}
void FormMain::MainHookD() {}
void FormMain::MainHookE() {}
void FormMain::MainHookF() {}

void FormMain::OnFormMouseDown()
{
    if (IsEnabled()) {
        ShowPegMark(false);
        return;
    }
    SignalBlocked();
}

void FormMain::SignalBlocked()
{
    // A dialog blocks the window: say so and bring the dialog forward, with the
    // keyboard, which a window manager may just have given to this window.
    if (Form* child = GetModalChild()) {
        Beep();
        child->Show();
        child->SetFocus();
    }
}

void FormMain::OnCommand(GUIElement* element)
{
    const uint32_t id = element->GetId();
    if (exitButton_ && id == exitButton_->GetId()) {
        if (AskExit()) Application::SetQuit(true);
    } else if (goButton_ && id == goButton_->GetId()) {
        PlayGo();
    } else if (cancelButton_ && id == cancelButton_->GetId()) {
        AskYesNo(kAbandonQuestion, this, "You want to leave?", "Question");
    } else if (infoButton_ && id == infoButton_->GetId()) {
        OpenAbout();
    }
}

void FormMain::PlayGo()
{
    // Measured in the server's time of the clicks, so that a slow repaint between
    // them does not turn a double click into two moves.
    // A click and then Return are two deliberate presses, whatever their pace.
    const Time now = Application::InputTime();
    const bool byKey = Application::DispatchingKey();
    if (!movedSinceGo_ && byKey == lastGoByKey_ && now != 0 && lastGo_ != 0 && now - lastGo_ < kDoubleClickTime) return;
    lastGo_ = now;
    lastGoByKey_ = byKey;
    movedSinceGo_ = false;
    currentPeg_ = 0;
    if (record_.IsOver()) {
        if (record_.StartNewGame()) {
            StoreRecord();
            RefreshBoard();
        }
    } else if (record_.SubmitGuess()) {
        SaveGame(record_);
        RefreshBoard();
        // The win comes first; a failure to store is told at the next change.
        if (record_.gameState == GameState::Solved)
            ShowMessageBox(this, "perfect, you won!", WinTitle());
        else
            TellIfNotStored();
    }
}

void FormMain::OnDialogResult(int id, int result)
{
    // An answer is a move of its own: a GO right after it is never a double click.
    movedSinceGo_ = true;
    if (result != kAnswerYes) return;
    if (id == kExitQuestion) {
        if (gameTimer_) gameTimer_->Stop();
        Application::SetQuit(true);
    } else if (id == kAbandonQuestion) {
        if (record_.AbandonGame()) {
            StoreRecord();
            RefreshBoard();
        }
    }
}

void FormMain::OnElementMouseDown(GUIElement* element)
{
    if (!element || record_.gameState != GameState::Playing) return;
    for (int k = 0; k < kCodeLength; ++k) {
        if (!inputFrames_[k] || element->GetId() != inputFrames_[k]->GetId()) continue;
        if (record_.CyclePegColour(k + 1)) ChangeInputPeg(k, record_.currentGuess[k]);
        return;
    }
}

void FormMain::OtherButtonDown(Point p)
{
    Form::OtherButtonDown(p);
    ShowPegMark(false);
    if (Application::PointerButton() != Button3 || record_.gameState != GameState::Playing) return;
    for (int k = 0; k < kCodeLength; ++k) {
        ImageFrame* f = inputFrames_[k];
        if (!f || !f->IsCreated() || !f->IsVisible() || !f->HitTest(p)) continue;
        if (record_.StepPegColourBack(k + 1)) ChangeInputPeg(k, record_.currentGuess[k]);
        return;
    }
}

void FormMain::ChangeInputPeg(int index, int colour)
{
    SetPegColour(inputFrames_[index], colour);
    StoreRecord();
    movedSinceGo_ = true;
}

// ---------------------------------------------------------------- keyboard play

namespace {
// The colour 0..7 that digit key 1..8 (top row or keypad) stands for, or -1.
int DigitColour(KeySym k)
{
    if (k >= XK_1 && k <= XK_8) return static_cast<int>(k - XK_1);
    if (k >= XK_KP_1 && k <= XK_KP_8) return static_cast<int>(k - XK_KP_1);
    return -1;
}
}  // namespace

void FormMain::PlayKeyDown(KeySym key)
{
    if (!IsEnabled() || record_.gameState != GameState::Playing || !inputFrames_[0]) return;
    const int position = currentPeg_ + 1;
    if (const int colour = DigitColour(key); colour >= 0) {
        if (record_.SetPegColour(position, colour)) ChangeInputPeg(currentPeg_, colour);
        currentPeg_ = (currentPeg_ + 1) % kCodeLength;
    } else if (key == XK_Left || key == XK_KP_Left) {
        currentPeg_ = (currentPeg_ + kCodeLength - 1) % kCodeLength;
    } else if (key == XK_Right || key == XK_KP_Right) {
        currentPeg_ = (currentPeg_ + 1) % kCodeLength;
    } else if (key == XK_Up || key == XK_KP_Up) {
        if (record_.CyclePegColour(position)) ChangeInputPeg(currentPeg_, record_.currentGuess[currentPeg_]);
    } else if (key == XK_Down || key == XK_KP_Down) {
        if (record_.StepPegColourBack(position)) ChangeInputPeg(currentPeg_, record_.currentGuess[currentPeg_]);
    } else {
        return;
    }
    ShowPegMark(true);
}

void FormMain::PlayKeyUp(KeySym key)
{
    if (key != XK_Return && key != XK_KP_Enter) return;
    if (!IsEnabled() || !goButton_) return;
    // A focused button takes Return itself.
    if (GUIElement* focus = Application::Focused(); focus && focus->IsKind(kKindButton)) return;
    PlayGo();
}

void FormMain::ShowPegMark(bool shown)
{
    if (shown == pegMarkShown_ && !shown) return;
    pegMarkShown_ = shown;
    PaintPegMark();
}

void FormMain::PaintPegMark()
{
    if (!created_ || Application::Loading()) return;
    DrawContext dc(this);
    const bool playing = record_.gameState == GameState::Playing;
    for (int k = 0; k < kCodeLength; ++k) {
        const bool marked = pegMarkShown_ && playing && k == currentPeg_;
        // A fill covers one pixel less than its width and height.
        dc.FillRectangle(55 + 51 * k + kMarkInsetX, kMarkY, kMarkWidth + 1, kMarkHeight + 1, 0, -1,
                         marked ? kBlack : kCream);
    }
}

void FormMain::OpenAbout()
{
    delete aboutForm_;
    aboutForm_ = new FormAbout(this);
    aboutForm_->SetScreen(GetScreen());
    aboutForm_->SetPicture(aboutPicture_, kAboutWidth, kAboutHeight);
    aboutForm_->SetTitleLine(std::string(kProductName) + " " + kProductVersion);
    aboutForm_->SetCreditLine(kCreditLine);
    aboutForm_->SetNotice(kNotice);
    aboutForm_->SetWebAddress(kWebAddress);
    aboutForm_->Show();
}

// ---------------------------------------------------------------- the board

ImageFrame* FormMain::BoardPeg(int row, int column) const { return boardFrames_[6 * (row - 1) + column]; }

void FormMain::SetPegColour(ImageFrame* frame, int colour)
{
    if (!frame) return;
    frame->value = std::to_string(colour);
    if (colour >= 0 && colour <= kCoveredColour) frame->SetFrame(kColourPicture[colour], 0);
}

std::string FormMain::ReadInputRow()
{
    std::string row;
    for (ImageFrame* f : inputFrames_)
        if (f) row += f->value;
    return row;
}

void FormMain::ShowRow(int row, const std::string& record)
{
    GuessRecord guess;
    if (!ParseGuessRecord(record, guess)) {
        ClearRow(row);
        return;
    }
    for (int k = 0; k < kCodeLength; ++k) SetPegColour(BoardPeg(row, k + 2), guess.colours[k]);
    if (rowCells_[row]) rowCells_[row]->SetText(AnswerText(guess.exact, guess.colourOnly));
}

void FormMain::ClearRow(int row)
{
    for (int column = 2; column <= 5; ++column)
        if (ImageFrame* f = BoardPeg(row, column)) f->SetFrame(kPictureHole, 0);
    if (rowCells_[row]) rowCells_[row]->SetText("");
}

void FormMain::RefreshBoard()
{
    if (!goButton_) return;
    auto showInput = [this] {
        for (int k = 0; k < kCodeLength; ++k) SetPegColour(inputFrames_[k], record_.currentGuess[k]);
    };
    auto revealCode = [this] {
        for (int k = 0; k < kCodeLength; ++k)
            SetPegColour(codeFrames_[k],
                         k < static_cast<int>(record_.secretCode.size()) ? record_.secretCode[k] - '0' : 0);
    };
    switch (record_.gameState) {
    case GameState::Abandoned:
        showInput();
        for (ImageFrame* f : inputFrames_) f->Hide();
        revealCode();
        goButton_->SetText("NEW GAME");
        cancelButton_->SetText("CANCEL");
        cancelButton_->Enable(false);
        break;
    case GameState::Solved:
        for (ImageFrame* f : inputFrames_) f->SetTag("");
        showInput();
        revealCode();
        goButton_->SetText("NEW GAME");
        cancelButton_->SetText("CANCEL");
        cancelButton_->Enable(false);
        break;
    case GameState::Playing:
        showInput();
        for (ImageFrame* f : codeFrames_) SetPegColour(f, kCoveredColour);
        for (ImageFrame* f : inputFrames_) {
            f->Show();
            f->SetTag("click to change color");
        }
        goButton_->SetText("GO");
        cancelButton_->SetText("CANCEL");
        cancelButton_->Enable(true);
        break;
    }

    const std::array<std::string, kBoardRows> rows = BoardRows(record_.guessHistory);
    for (int n = 1; n <= kBoardRows; ++n) {
        if (rows[n - 1].empty())
            ClearRow(n);
        else
            ShowRow(n, rows[n - 1]);
    }
    attemptsCell_->SetText(AttemptsText(record_.Attempts()));
    if (pegMarkShown_) PaintPegMark();
}

#include "game/FormMain.h"

#include <X11/keysym.h>
#include <algorithm>
#include <string>
#include <utility>

#include "app/Application.h"
#include "app/InputHabits.h"
#include "app/Log.h"
#include "app/ProductInfo.h"
#include "app/ScreenConnection.h"
#include "app/StartPhases.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/ImageFrame.h"
#include "controls/Timer.h"
#include "dialogs/FormAbout.h"
#include "dialogs/FormMsgBox.h"
#include "game/FormStatistics.h"
#include "game/GameStore.h"
#include "game/HintFinder.h"
#include "game/GameColours.h"
#include "game/MainLayout.h"
#include "game/PegKey.h"
#include "game/PegSheet.h"
#include "gui/DrawContext.h"
#include "image/BuiltinPictures.h"
#include "image/MyImage.h"
#include "image/PackedPicture.h"
#include "util/Beep.h"

using namespace main_layout;
using namespace game_colours;

namespace {
FormMain* AsMain(GUIElement* e) { return static_cast<FormMain*>(e); }

void TimerTick(Timer* t)
{
    if (GUIElement* f = t->OwningForm()) static_cast<Form*>(f)->OnUserMessage();
}

std::string WinTitle() { return std::string(kProductName) + " - " + kWebAddress; }

// The code's colours, read out.
std::string CodeWords(const std::string& code)
{
    std::string words;
    for (char c : code) words += (words.empty() ? "" : ", ") + std::string(ColourName(c - '0'));
    return words;
}

// Keys of what the main window describes that is no control of its own.
constexpr uint32_t kCodeNode = AccessibleNode::kOwnKeys + 1;
constexpr uint32_t kBoardNode = AccessibleNode::kOwnKeys + 2;
constexpr uint32_t kNoticeNode = AccessibleNode::kOwnKeys + 3;
constexpr uint32_t kFirstGuessKey = AccessibleNode::kOwnKeys + 1000;  // + the guess's number

// The rectangle from the top-left corner of `first` to the bottom-right one of `last`.
void SpanBox(AccessibleNode& node, GUIElement* first, GUIElement* last)
{
    if (!first || !last) return;
    const Point a = first->GetPosition(), b = last->GetPosition(), size = last->GetSize();
    node.SetBox(a.x, a.y, b.x + size.x - a.x, b.y + size.y - a.y);
}
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
    // Forwarders from the element callbacks to the form's virtual operations.
    SetOnLoad([](GUIElement* e, uint64_t) { AsMain(e)->CreateControls(); });
    SetOnQueryClose([](GUIElement* e) { return AsMain(e)->AskExit(); });
    SetOnResized([](GUIElement* e, int64_t) { AsMain(e)->OnResized(); });
    SetOnKeyChar([](GUIElement*, int) { return true; });
    SetOnKeyDown([](GUIElement* e, KeySym k) { AsMain(e)->PlayKeyDown(k), AsMain(e)->OnKeyDown(); });
    SetOnKeyUp([](GUIElement* e, KeySym k) { AsMain(e)->PlayKeyUp(k), AsMain(e)->OnKeyUp(); });
    SetOnMouseDown(PegMouseDown);
    SetBackColor(kCream);
    sheet_.Load();
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
    delete aboutForm_;
    delete statisticsForm_;
    DeleteChildren();
}

void FormMain::PlaceOnScreen()
{
    // The window keeps its usual place where it fits; on a smaller screen it moves
    // up and left as far as needed, to the top-left corner at most, so that its
    // buttons are not off the screen.
    if (!screen_ || !screen_->GetDisplay()) return;
    const int s = Scale();
    const int outerWidth = kWidth * s + 2, outerHeight = kHeight * s + 2;  // with the border
    const Point at = GetPosition();
    SetPosition(std::clamp(screen_->GetScreenWidth() - outerWidth, 0, at.x),
                std::clamp(screen_->GetScreenHeight() - outerHeight, 0, at.y));
}

void FormMain::TellIfNotStored()
{
    if (storeFailureTold_ || StoreFailure().empty()) return;
    storeFailureTold_ = true;
    ShowMessageBox(this, "The game cannot be stored: " + StoreFailure(), kProductName);
}

ImageFrame* FormMain::NewSheetFrame(int picture)
{
    auto* frame = new ImageFrame(this, sheet_.Data(), 1, PegSheet::kWidth, PegSheet::kHeight, picture, 0);
    frame->SetTransparent(false);
    frame->SetSize(PegSheet::kCellWidth, PegSheet::kCellHeight);
    return frame;
}

void FormMain::CreateControls()
{
    titleImage_ = new MyImage(this, nullptr);
    titleImage_->SetPosition(15, 30);
    titleImage_->SetSize(kBannerWidth, kBannerHeight);
    titleImage_->Create();

    auto makeButton = [this](const char* caption, int x, int y, uint32_t fore, int64_t back, bool markB) {
        auto* b = new ButtonCustom(this, caption);
        b->SetPosition(x, y);
        b->SetSize(97, 28);
        b->SetCommand(ButtonCommand);
        b->SetForeColor(fore);
        b->SetBackColor(back);
        if (markB) b->SetMarkB(true);
        b->Create();
        return b;
    };
    infoButton_ = makeButton("INFO", 473, 40, kBlack, kCream, false);
    exitButton_ = makeButton("EXIT", 580, 40, kBlack, kCream, false);

    for (int k = 0; k < kCodeLength; ++k) {
        codeFrames_[k] = NewSheetFrame(PegSheet::kCovered);
        codeFrames_[k]->SetPosition(PegX(k), kCodeRowY);
        codeFrames_[k]->Create();
    }
    for (int k = 0; k < kCodeLength; ++k) {
        ImageFrame* f = NewSheetFrame(0);
        f->value = "0";
        f->SetPosition(PegX(k), kInputRowY);
        f->SetOnMouseDown(PegMouseDown);
        f->SetMarkB(true);
        f->Create();
        inputFrames_[k] = f;
    }

    goButton_ = makeButton("GO", kPegRowX, 316, kWhite, kGoGreen, true);
    cancelButton_ = makeButton("CANCEL", 162, 316, kWhite, kCancelRed, true);

    auto makeCell = [this](int64_t back, bool border, int x, int y, int width, int height) {
        auto* cell = new CellControl(this);
        cell->SetBackColor(back);
        cell->SetForeColor(0x000000);
        if (border) cell->SetBorder(true);
        cell->SetSize(width, height);
        cell->SetText("");
        cell->SetPosition(x, y);
        cell->Create();
        return cell;
    };
    attemptsCell_ = makeCell(GetBackColor(), true, kPegRowX, 356, 204, 25);

    for (int i = 1; i <= kBoardCells; ++i) {
        const int row = (i - 1) / kBoardColumns + 1, column = (i - 1) % kBoardColumns + 1;
        ImageFrame* f = NewSheetFrame(PegSheet::BoardPicture(row, column));
        f->SetBackColor(kBlack);
        f->SetPosition(375 + PegSheet::kCellWidth * column, 40 + PegSheet::kCellHeight * row);
        f->Create();
        boardFrames_[i] = f;
        if (column == kBoardColumns && row <= kBoardRows)
            rowCells_[row] = makeCell(kWhite, false, 700, 40 * row + 45, 70, 15);
    }

    gameTimer_ = new Timer(this, kTimerInterval);
    gameTimer_->SetOnTick(TimerTick);
    gameTimer_->Create();
}

// ---------------------------------------------------------------- painting

void FormMain::BuildPictures()
{
    std::vector<unsigned char> banner = UnpackPicture(kBannerWidth, kBannerHeight, kBannerPicture);
    bannerPicture_.reset(MakeDisplayImage(this, banner.data(), kBannerWidth, kBannerHeight));
    titleImage_->SetImage(bannerPicture_.get());
    titleImage_->Create();
    std::vector<unsigned char> about = UnpackPicture(kAboutWidth, kAboutHeight, kAboutPicture);
    aboutPicture_.reset(MakeDisplayImage(this, about.data(), kAboutWidth, kAboutHeight));
}

void FormMain::Paint()
{
    const bool first = created_ && !firstPaintDone_;
    if (created_) {
        if (first) {
            // The stored game is read at the first paint, when the window can show it.
            // The controls take it without drawing: the whole window is painted once below.
            firstPaintDone_ = true;
            HoldPaints(true);
            StartPhases::Enter(StartPhases::kPictures);
            BuildPictures();
            StartPhases::Enter(StartPhases::kStoreRead);
            LoadGame(record_);
            StartPhases::Enter(StartPhases::kFirstPaint);
            RefreshBoard();
            HoldPaints(false);
            // Without the pictures the game still plays: the answers and the count of
            // guesses are text, and the player learns where the pictures are missing.
            if (!sheet_.Data())
                ShowMessageBox(this, PegSheet::MissingText(), kProductName);
            else
                TellIfNotStored();
        }
        DrawContext dc(this);
        const Point size = GetSize();
        dc.FillArea(315, 0, size.x - 315, size.y, kWhite);
        dc.FillArea(0, 0, 15, size.y, kWhite);
    }
    Form::Paint();
    if (pegMarkShown_) PaintPegMark();
    if (first) StartPhases::Finish();
}

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

void FormMain::OnFormMouseDown()
{
    if (IsEnabled()) {
        // A click on an input peg moved the mark there; a click elsewhere takes it away.
        if (!std::exchange(pegClicked_, false)) ShowPegMark(false);
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
    // NEW GAME answers only a press that went down once the end had been on show a
    // while: a quicker one is the tail of the input that ended the game.
    const Time pressed = Application::PressTime();
    if (record_.IsOver() && endShownAt_ != 0 && pressed != 0 &&
        pressed <= endShownAt_ + InputHabits::kMultiClickInterval)
        return;
    currentPeg_ = 0;
    Play(Move::Go);
}

bool FormMain::Play(Move move, int peg, int colour)
{
    if (move == Move::Exit) {
        if (gameTimer_) gameTimer_->Stop();
        Application::SetQuit(true);
        return false;
    }
    const bool wasOver = record_.IsOver();
    if (!record_.Apply(move, peg + 1, colour)) return false;
    const bool pegMove = move != Move::Go && move != Move::Abandon;
    if (pegMove) {
        SetPegColour(inputFrames_[peg], record_.currentGuess[peg]);
        // The server, woken by the repaint, usually runs on this CPU, and the store's
        // millisecond of system calls would keep it waiting; a round trip lets it
        // draw the peg first.
        if (Display* d = GetDisplay()) XSync(d, False);
    }
    SaveGame(record_);
    if (!pegMove) RefreshBoard();
    if (move == Move::Abandon)
        Announce("Given up. The code was " + CodeWords(record_.secretCode) + ".");
    else if (move == Move::Go && wasOver)
        Announce("New game: a new code is hidden.");
    else if (move == Move::Go)
        Announce(GuessWords(record_.Attempts(), HistoryRecords(record_.guessHistory).back()));
    if (record_.IsOver()) endShownAt_ = Application::InputTime();
    // The win comes first; a failure to store is told at the next change.
    if (move == Move::Go && record_.gameState == GameState::Solved)
        ShowMessageBox(this, "perfect, you won!", WinTitle());
    else
        TellIfNotStored();
    return true;
}

void FormMain::OnDialogResult(int id, int result)
{
    if (result != kAnswerYes) return;
    if (id == kExitQuestion)
        Play(Move::Exit);
    else if (id == kAbandonQuestion)
        Play(Move::Abandon);
}

void FormMain::OnElementMouseDown(GUIElement* element)
{
    if (!element || record_.gameState != GameState::Playing) return;
    for (int k = 0; k < kCodeLength; ++k) {
        if (!inputFrames_[k] || element->GetId() != inputFrames_[k]->GetId()) continue;
        Play(Move::CyclePeg, k);
        // The clicked peg is the one the keys act on next, and the mark, if shown, follows.
        currentPeg_ = k;
        pegClicked_ = true;
        if (pegMarkShown_) PaintPegMark();
        return;
    }
}

void FormMain::OtherButtonDown(Point p)
{
    Form::OtherButtonDown(p);
    for (int k = 0; k < kCodeLength && Application::PointerButton() == Button3; ++k) {
        ImageFrame* f = inputFrames_[k];
        if (!f || !f->IsCreated() || !f->IsVisible() || !f->HitTest(p)) continue;
        // As a left click: the buttons lose the keyboard and the keys act on this peg.
        FocusControl(nullptr);
        if (record_.gameState != GameState::Playing) break;
        Play(Move::StepPegBack, k);
        currentPeg_ = k;
        if (pegMarkShown_) PaintPegMark();
        return;
    }
    ShowPegMark(false);
}

// ---------------------------------------------------------------- keyboard play

void FormMain::PlayKeyDown(KeySym key)
{
    if (!IsEnabled()) return;
    if (key == XK_F1) return ShowMessageBox(this, PegKey::kKeysText, "Keys");
    if (key == XK_s || key == XK_S) return OpenStatistics();
    if (key == XK_h || key == XK_H) return ShowHint();
    if (record_.gameState != GameState::Playing || !inputFrames_[0]) return;
    const PegKey meaning = PegKey::Read(key, currentPeg_);
    if (!meaning.known) return;
    // The keys now act on the pegs: a button lets the keyboard go, so that Return
    // plays GO and a screen reader follows the current peg.
    if (GUIElement* focus = Application::Focused(); focus && focus->HostForm() == this) FocusControl(nullptr);
    if (meaning.moves) Play(meaning.move, currentPeg_, meaning.colour);
    currentPeg_ = meaning.nextPeg;
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
        dc.FillArea(PegX(k) + kMarkInsetX, kMarkY, kMarkWidth, kMarkHeight, marked ? kBlack : kCream);
    }
}

void FormMain::OpenAbout()
{
    delete aboutForm_;
    aboutForm_ = new FormAbout(this);
    aboutForm_->SetPicture(aboutPicture_.get(), kAboutWidth, kAboutHeight);
    aboutForm_->SetProductLines();
    aboutForm_->Show();
}

void FormMain::OpenStatistics()
{
    delete statisticsForm_;
    statisticsForm_ = new FormStatistics(this, record_.statistics);
    statisticsForm_->Show();
}

void FormMain::ShowHint()
{
    if (record_.gameState != GameState::Playing || !inputFrames_[0]) return;
    const HintResult hint = HintFinder::Find(record_.guessHistory);
    for (int k = 0; k < kCodeLength && hint.codesLeft > 0; ++k) {
        const int colour = hint.guess[static_cast<size_t>(k)] - '0';
        if (record_.currentGuess[static_cast<size_t>(k)] != colour) Play(Move::SetPeg, k, colour);
    }
    // A peg move may just have told that the game cannot be stored; that box stays.
    if (IsEnabled()) ShowMessageBox(this, HintFinder::Message(hint), "Hint");
}

// ---------------------------------------------------------------- the board

ImageFrame* FormMain::BoardPeg(int row, int column) const { return boardFrames_[kBoardColumns * (row - 1) + column]; }

void FormMain::SetPegColour(ImageFrame* frame, int colour)
{
    if (!frame) return;
    frame->value = std::to_string(colour);
    if (const int picture = PegSheet::ColourPicture(colour); picture >= 0) frame->SetFrame(picture, 0);
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
        if (ImageFrame* f = BoardPeg(row, column)) f->SetFrame(PegSheet::kHole, 0);
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
    // A solved game keeps its winning guess on show; an abandoned one hides the input row.
    const bool over = record_.IsOver();
    if (record_.gameState == GameState::Solved)
        for (ImageFrame* f : inputFrames_) f->SetTag("");
    showInput();
    if (over) {
        if (record_.gameState == GameState::Abandoned)
            for (ImageFrame* f : inputFrames_) f->Hide();
        revealCode();
    } else {
        for (ImageFrame* f : codeFrames_) SetPegColour(f, kCoveredColour);
        for (ImageFrame* f : inputFrames_) {
            f->Show();
            f->SetTag("click to change color");
        }
    }
    goButton_->SetText(over ? "NEW GAME" : "GO");
    cancelButton_->SetText("CANCEL");
    cancelButton_->Enable(!over);

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

// ---------------------------------------------------------------- what a screen reader is told

void FormMain::Announce(const std::string& words)
{
    announcement_ = words;
    ++announcementSerial_;
}

int FormMain::InputPegOf(uint32_t key) const
{
    for (int k = 0; k < kCodeLength; ++k)
        if (inputFrames_[k] && inputFrames_[k]->GetId() == key) return k;
    return -1;
}

void FormMain::DescribeTree(AccessibleNodes& nodes)
{
    if (!goButton_) return;
    auto control = [&nodes](GUIElement* e) { DescribeControl(e, nodes); };
    control(infoButton_);
    control(exitButton_);

    const bool playing = record_.gameState == GameState::Playing;
    AccessibleNode code = AccessibleNode::Painted(kCodeNode, 0, AccessibleRole::Label,
                                                  playing ? "Code: hidden" : "Code: " + CodeWords(record_.secretCode));
    SpanBox(code, codeFrames_[0], codeFrames_[kCodeLength - 1]);
    nodes.push_back(code);

    // The keys act on the current peg while no button has the keyboard: that peg has the focus.
    GUIElement* focus = Application::Focused();
    const bool pegsFocused = playing && IsEnabled() && (!focus || focus->HostForm() != this);
    for (int k = 0; k < kCodeLength; ++k) {
        AccessibleNode peg;
        peg.key = inputFrames_[k]->GetId();
        inputFrames_[k]->DescribePlace(peg);
        peg.role = AccessibleRole::PushButton;
        peg.name = "Peg " + std::to_string(k + 1) + " of " + std::to_string(kCodeLength) + ": " +
                   ColourName(record_.currentGuess[k]);
        peg.actions = {"next colour", "previous colour"};
        peg.SetEnabled(playing);
        peg.Set(AccessibleState::Focusable, playing);
        peg.Set(AccessibleState::Focused, pegsFocused && k == currentPeg_);
        nodes.push_back(peg);
    }
    control(goButton_);
    control(cancelButton_);
    control(attemptsCell_);

    AccessibleNode board = AccessibleNode::Painted(kBoardNode, 0, AccessibleRole::List, "Board");
    SpanBox(board, BoardPeg(1, 1), BoardPeg(kBoardRows, kBoardColumns));
    nodes.push_back(board);
    // The guesses on the board, oldest first; the newest sits in row 1 once the board is full.
    const std::vector<std::string> records = HistoryRecords(record_.guessHistory);
    const int count = static_cast<int>(records.size());
    for (int n = std::max(1, count - kBoardRows + 1); n <= count; ++n) {
        AccessibleNode item =
            AccessibleNode::Painted(kFirstGuessKey + static_cast<uint32_t>(n), kBoardNode, AccessibleRole::ListItem,
                                    GuessWords(n, records[static_cast<size_t>(n - 1)]));
        const int row = std::max(count, kBoardRows) - n + 1;
        SpanBox(item, BoardPeg(row, 1), BoardPeg(row, kBoardColumns));
        nodes.push_back(item);
    }

    AccessibleNode notice = AccessibleNode::Painted(kNoticeNode, 0, AccessibleRole::Notification, announcement_);
    notice.SetShowing(announcementSerial_ > 0);
    notice.shownSerial = announcementSerial_;
    SpanBox(notice, attemptsCell_, attemptsCell_);
    nodes.push_back(notice);
}

bool FormMain::DoNodeAction(uint32_t key, int index)
{
    const int k = InputPegOf(key);
    if (k < 0) return Form::DoNodeAction(key, index);
    if (!IsEnabled() || record_.gameState != GameState::Playing || index < 0 || index > 1) return false;
    // As a left or a right click on the peg: the buttons lose the keyboard to it.
    FocusControl(nullptr);
    Play(index == 0 ? Move::CyclePeg : Move::StepPegBack, k);
    currentPeg_ = k;
    if (pegMarkShown_) PaintPegMark();
    return true;
}

bool FormMain::FocusNode(uint32_t key)
{
    const int k = InputPegOf(key);
    if (k < 0) return Form::FocusNode(key);
    if (!IsEnabled() || record_.gameState != GameState::Playing) return false;
    SetFocus();
    FocusControl(nullptr);
    currentPeg_ = k;
    ShowPegMark(true);
    return true;
}

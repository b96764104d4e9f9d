// The main game window on the private X server, in a working directory of its own
// with a copy of the game's Data folder: its controls and background, the stored game
// it loads at its first paint, the board drawn from the record, and what the pegs, the
// four buttons and the answers to its questions do. Clicks are hand-made events
// handed to the event loop's dispatch.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Colours.h"
#include "FormWorld.h"
#include "StoredGame.h"
#include "StandInCommands.h"
#include "app/ProductInfo.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/ImageFrame.h"
#include "controls/Timer.h"
#include "dialogs/FormAbout.h"
#include "dialogs/FormMsgBox.h"
#include "game/FormMain.h"
#include "image/MyImage.h"

using form_events::Click;
using form_events::CloseBox;
using form_events::ControlRect;
using form_events::PaintOnFirstExpose;
using form_events::Rect;
using form_events::Stroke;
using form_events::WindowRect;

namespace {

constexpr int kPictureCovered = 13, kPictureHole = 14;
// The sheet picture of each colour value 0..8.
constexpr int kPictureOf[] = {0, 1, 7, 8, 9, 10, 11, 12, 13};

class FormMainTest : public FormTest {
protected:
    bool dataCopied_ = CopyData();
    stand_in::Programs programs;
    std::unique_ptr<FormMain> form;

    FormMainTest()
    {
        EXPECT_TRUE(dataCopied_);
        EXPECT_TRUE(programs.Add("aplay"));
    }
    ~FormMainTest() override
    {
        DestroyMessageBox();
        form.reset();
        EXPECT_TRUE(stand_in::ReapAll());
    }

    bool CopyData()
    {
        std::error_code ec;
        std::filesystem::copy(QUORREL_DATA_DIR, dir.File("Data"), std::filesystem::copy_options::recursive, ec);
        return !ec && dir.Exists("Data/resources50x40.bin") && dir.Exists("Data/beep.wav");
    }

    // A stored game for the form to find at its first paint.
    void StoreGame(const std::string& history, const std::string& code, int state, std::array<int, 4> input = {})
    {
        std::string digits;
        for (int d : input) digits += std::to_string(d);
        for (const auto& [key, value] : GameValues(code, history, std::to_string(state), digits))
            ASSERT_TRUE(dir.WriteFile(kValueDir + key, value));
    }
    std::string Stored(const std::string& key) const
    {
        std::string text = dir.ReadFile(kValueDir + key);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return text;
    }

    // The window, constructed; Open() also hands it its first Expose.
    void Construct()
    {
        form = std::make_unique<FormMain>(screen.get(), "Quorrel test");
        ASSERT_TRUE(form->IsCreated());
        XSync(display, False);
    }
    void Open()
    {
        Construct();
        PaintOnFirstExpose(*form, form.get());
    }

    // Controls by kind and place on the window.
    template <typename T>
    T* At(const char* kind, int x, int y)
    {
        for (GUIElement* e : Application::CollectChildren(form->GetId()))
            if (e->IsKind(kind) && e->GetPosition() == Point{x, y}) return static_cast<T*>(e);
        ADD_FAILURE() << "no " << kind << " at " << x << ", " << y;
        return nullptr;
    }
    ImageFrame* Input(int k) { return At<ImageFrame>(kKindImageFrame, 55 + 51 * (k - 1), 241); }
    ImageFrame* Code(int k) { return At<ImageFrame>(kKindImageFrame, 55 + 51 * (k - 1), 190); }
    // Peg k (1..4) of board row n (1..10).
    ImageFrame* Peg(int n, int k) { return At<ImageFrame>(kKindImageFrame, 375 + 50 * (k + 1), 40 + 40 * n); }
    CellControl* Answer(int n) { return At<CellControl>(kKindCellControl, 700, 40 * n + 45); }
    CellControl* Attempts() { return At<CellControl>(kKindCellControl, 55, 356); }
    ButtonCustom* GoButton() { return At<ButtonCustom>(kKindButton, 55, 316); }
    ButtonCustom* CancelButton() { return At<ButtonCustom>(kKindButton, 162, 316); }

    void ClickMain(int x, int y) { Click(*form, x, y, form.get()); }
    void ClickGo() { ClickMain(55 + 48, 316 + 14); }
    void ClickCancel() { ClickMain(162 + 48, 316 + 14); }
    void ClickInfo() { ClickMain(473 + 48, 40 + 14); }
    void ClickExit() { ClickMain(580 + 48, 40 + 14); }
    void ClickInput(int k) { ClickMain(55 + 51 * (k - 1) + 25, 241 + 20); }
    // The open message box's YES (or OK) and NO.
    void AnswerFirst() { Click(*CurrentMessageBox(), 185, 124, form.get()); }
    void AnswerSecond() { Click(*CurrentMessageBox(), 65, 124, form.get()); }

    // The four pegs of board row n as colour digits, "" for a row showing holes.
    std::string RowColours(int n)
    {
        std::string s;
        for (int k = 1; k <= 4; ++k) {
            ImageFrame* f = Peg(n, k);
            if (f->GetFrame().x == kPictureHole) return "";
            s += f->value;
            EXPECT_EQ(f->GetFrame().x, kPictureOf[std::stoi(f->value)]) << "row " << n << " peg " << k;
        }
        return s;
    }
    std::string InputColours()
    {
        std::string s;
        for (int k = 1; k <= 4; ++k) {
            s += Input(k)->value;
            EXPECT_EQ(Input(k)->GetFrame().x, kPictureOf[std::stoi(Input(k)->value)]);
        }
        return s;
    }
    std::vector<int> CodePictures()
    {
        std::vector<int> p;
        for (int k = 1; k <= 4; ++k) p.push_back(Code(k)->GetFrame().x);
        return p;
    }
    FormAbout* OpenAboutForm()
    {
        for (GUIElement* e : Application::Forms())
            if (e != form.get() && static_cast<Form*>(e)->GetTitle() == "Info...") return static_cast<FormAbout*>(e);
        return nullptr;
    }
    void ExpectBlockedBy(Form* dialog)
    {
        EXPECT_FALSE(form->IsEnabled());
        EXPECT_TRUE(form->GetMarkA());
        EXPECT_EQ(form->GetModalChild(), dialog);
    }
    void ExpectFree()
    {
        EXPECT_TRUE(form->IsEnabled());
        EXPECT_FALSE(form->GetMarkA());
        EXPECT_EQ(form->GetModalChild(), nullptr);
    }
};

// ---------------------------------------------------------------- the window

TEST_F(FormMainTest, TheWindowIsTheMainFormOfEightHundredBySixHundred)
{
    Open();
    EXPECT_EQ(Application::MainForm(), form.get());
    EXPECT_EQ(form->GetTitle(), "Quorrel test");
    const Rect r = WindowRect(display, form->GetWindow());
    EXPECT_EQ(r.w, 800);
    EXPECT_EQ(r.h, 600);
    EXPECT_EQ(form->GetBackColor(), kCream);
}

TEST_F(FormMainTest, TheControlsAreMadeInOrderAtTheirPlaces)
{
    Open();
    const Application::ElementList list = Application::CollectChildren(form->GetId());
    ASSERT_EQ(list.size(), 91u);
    size_t i = 0;
    auto next = [&](const char* kind, Rect r) -> GUIElement* {
        GUIElement* e = list[i++];
        EXPECT_TRUE(e->IsKind(kind)) << "entry " << i - 1 << " is " << e->GetKind() << ", not " << kind;
        EXPECT_EQ(ControlRect(e), r) << "entry " << i - 1;
        EXPECT_TRUE(e->IsCreated()) << "entry " << i - 1;
        return e;
    };
    auto button = [&](const char* caption, Rect r, uint32_t fore, int64_t back, bool markB) {
        auto* b = static_cast<ButtonCustom*>(next(kKindButton, r));
        EXPECT_EQ(b->GetText(), caption);
        EXPECT_EQ(b->GetForeColor(), fore);
        EXPECT_EQ(b->GetBackColor(), back);
        EXPECT_EQ(b->GetMarkB(), markB);
    };

    auto* banner = static_cast<MyImage*>(next(kKindImage, {15, 30, 300, 75}));
    EXPECT_NE(banner->GetImage(), nullptr);
    button("INFO", {473, 40, 97, 28}, 0x000000, kCream, false);
    button("EXIT", {580, 40, 97, 28}, 0x000000, kCream, false);
    for (int k = 0; k < 4; ++k) {
        auto* f = static_cast<ImageFrame*>(next(kKindImageFrame, {55 + 51 * k, 190, 50, 40}));
        EXPECT_EQ(f->GetFrame(), (Point{kPictureCovered, 0}));
        EXPECT_FALSE(f->IsTransparent());
    }
    for (int k = 0; k < 4; ++k) {
        auto* f = static_cast<ImageFrame*>(next(kKindImageFrame, {55 + 51 * k, 241, 50, 40}));
        EXPECT_EQ(f->GetFrame(), (Point{0, 0}));
        EXPECT_EQ(f->value, "0");
        EXPECT_FALSE(f->IsTransparent());
        EXPECT_TRUE(f->GetMarkB());
        EXPECT_EQ(f->GetTag(), "click to change color");
    }
    button("GO", {55, 316, 97, 28}, 0xFFFFFF, 0x00AA00, true);
    button("CANCEL", {162, 316, 97, 28}, 0xFFFFFF, 0xFF0000, true);
    auto* attempts = static_cast<CellControl*>(next(kKindCellControl, {55, 356, 204, 25}));
    EXPECT_TRUE(attempts->HasBorder());
    EXPECT_EQ(attempts->GetBackColor(), kCream);
    EXPECT_EQ(attempts->GetForeColor(), 0x000000);

    for (int row = 1; row <= 11; ++row) {
        for (int column = 1; column <= 6; ++column) {
            SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(column));
            auto* f = static_cast<ImageFrame*>(next(kKindImageFrame, {375 + 50 * column, 40 + 40 * row, 50, 40}));
            const bool bottom = row == 11;
            const int picture = column == 1   ? (bottom ? 6 : 3)
                                : column == 6 ? (bottom ? 5 : 2)
                                              : (bottom ? 4 : kPictureHole);
            EXPECT_EQ(f->GetFrame(), (Point{picture, 0}));
            EXPECT_EQ(f->GetBackColor(), 0x000000);
            EXPECT_FALSE(f->IsTransparent());
            if (column == 6 && row <= 10) {
                auto* cell = static_cast<CellControl*>(next(kKindCellControl, {700, 40 * row + 45, 70, 15}));
                EXPECT_EQ(cell->GetBackColor(), kWhite);
                EXPECT_EQ(cell->GetText(), "");
            }
        }
    }
    auto* timer = static_cast<Timer*>(list[i++]);
    ASSERT_TRUE(timer->IsKind(kKindTimer));
    EXPECT_EQ(timer->GetInterval(), 400u);
    EXPECT_FALSE(timer->IsRunning());
    EXPECT_NE(timer->GetId(), 0u);
}

TEST_F(FormMainTest, TheBackgroundIsWhiteAtTheEdgesAndCreamInTheLeftBand)
{
    Open();
    WindowPixels px(display, form->GetWindow(), 800, 600);
    ASSERT_TRUE(px.Ok());
    // Full height: the left strip, between the left band and the board, right of everything.
    EXPECT_EQ(px.CountOther(0, 0, 15, 600, kWhite), 0);
    EXPECT_EQ(px.CountOther(315, 0, 110, 600, kWhite), 0);
    EXPECT_EQ(px.CountOther(770, 0, 30, 600, kWhite), 0);
    // Above and below the controls on the right.
    EXPECT_EQ(px.CountOther(315, 0, 485, 40, kWhite), 0);
    EXPECT_EQ(px.CountOther(315, 520, 485, 80, kWhite), 0);
    // The cream band, where no control covers it.
    EXPECT_EQ(px.CountOther(15, 0, 300, 30, kCream), 0);
    EXPECT_EQ(px.CountOther(15, 105, 40, 495, kCream), 0);
    EXPECT_EQ(px.CountOther(15, 385, 300, 215, kCream), 0);
    EXPECT_EQ(px.CountOther(260, 105, 55, 280, kCream), 0);
}

TEST_F(FormMainTest, WithAPegSheetOfTheWrongSizeTheGameStillStartsAndPlays)
{
    ASSERT_TRUE(dir.WriteFile("Data/resources50x40.bin", std::string(100, '\x7f')));
    StoreGame("", "0123", 0);
    Open();
    EXPECT_NE(Log().find("Data/resources50x40.bin: wrong size 100, expected 90000"), std::string::npos) << Log();
    EXPECT_EQ(Input(1)->GetImage(), nullptr);
    EXPECT_EQ(Peg(1, 1)->GetImage(), nullptr);
    ASSERT_NE(CurrentMessageBox(), nullptr) << "the missing pictures are not told";
    AnswerFirst();

    ClickInput(1);
    ClickGo();
    EXPECT_EQ(form->Record().guessHistory, "100002");
    EXPECT_EQ(RowColours(10), "1000");
}

TEST_F(FormMainTest, WithoutAPegSheetTheGameStillStarts)
{
    std::filesystem::remove(dir.File("Data/resources50x40.bin"));
    Open();
    EXPECT_NE(Log().find("Data/resources50x40.bin: non trovato"), std::string::npos) << Log();
    // A box names the folder the pictures were looked for in; the game plays on.
    ASSERT_NE(CurrentMessageBox(), nullptr);
    EXPECT_NE(CurrentMessageBox()->GetMessage().find(dir.File("Data") + "/"), std::string::npos)
        << CurrentMessageBox()->GetMessage();
    AnswerFirst();
    ClickGo();
    EXPECT_EQ(form->Record().Attempts(), 1);
}

// ---------------------------------------------------------------- the stored game

TEST_F(FormMainTest, TheStoredGameIsLoadedAtTheFirstPaintAndNotAgain)
{
    StoreGame("123403;456700", "0123", 0, {1, 2, 3, 4});
    Construct();
    EXPECT_EQ(form->Record().guessHistory, "");

    PaintOnFirstExpose(*form, form.get());
    EXPECT_EQ(form->Record().guessHistory, "123403;456700");
    EXPECT_EQ(form->Record().secretCode, "0123");
    EXPECT_EQ(InputColours(), "1234");
    EXPECT_EQ(RowColours(10), "1234");
    EXPECT_EQ(RowColours(9), "4567");

    StoreGame("", "7777", 1);
    form->Paint();
    EXPECT_EQ(form->Record().guessHistory, "123403;456700");
    EXPECT_EQ(form->Record().gameState, GameState::Playing);
    EXPECT_EQ(RowColours(9), "4567");
}

TEST_F(FormMainTest, AtTheFirstStartANewGameIsDrawnAndStored)
{
    Open();
    EXPECT_TRUE(IsValidSecretCode(form->Record().secretCode));
    EXPECT_EQ(Stored("Quorrel_Code"), form->Record().secretCode);
    EXPECT_EQ(Stored("stato"), "0");
    EXPECT_EQ(Stored("Quorrel_Bag"), "");
}

// ---------------------------------------------------------------- the board

TEST_F(FormMainTest, ANewGameShowsAnEmptyBoardACoveredCodeAndGo)
{
    StoreGame("", "0123", 0);
    Open();
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(RowColours(n), "") << "row " << n;
        EXPECT_EQ(Answer(n)->GetText(), "") << "row " << n;
    }
    EXPECT_EQ(Attempts()->GetText(), "Attempts: 00");
    EXPECT_EQ(CodePictures(), (std::vector<int>{13, 13, 13, 13}));
    EXPECT_EQ(InputColours(), "0000");
    EXPECT_EQ(GoButton()->GetText(), "GO");
    EXPECT_TRUE(CancelButton()->IsEnabled());
}

TEST_F(FormMainTest, TheFirstGuessIsInTheBottomRowAndTheSecondAboveIt)
{
    StoreGame("123403;456700", "0123", 0);
    Open();
    EXPECT_EQ(RowColours(10), "1234");
    EXPECT_EQ(Answer(10)->GetText(), "P 0 C 3");
    EXPECT_EQ(RowColours(9), "4567");
    EXPECT_EQ(Answer(9)->GetText(), "P 0 C 0");
    for (int n = 1; n <= 8; ++n) EXPECT_EQ(RowColours(n), "") << "row " << n;
    EXPECT_EQ(Attempts()->GetText(), "Attempts: 02");
}

TEST_F(FormMainTest, AfterTwelveGuessesTheNewestIsOnTopAndTheTwoOldestAreGone)
{
    std::vector<std::string> guesses;
    std::string history;
    for (int g = 1; g <= 12; ++g) {
        // Distinct guesses: colours g, g+1, g+2, g+3 (mod 8), exact g mod 4, no colour-only.
        std::string guess;
        for (int k = 0; k < 4; ++k) guess += static_cast<char>('0' + (g + k) % 8);
        guesses.push_back(guess);
        history += (history.empty() ? "" : ";") + guess + std::to_string(g % 4) + "0";
    }
    StoreGame(history, "0123", 0);
    Open();
    for (int n = 1; n <= 10; ++n) {
        const int g = 12 - (n - 1);  // row 1 the 12th guess, row 10 the 3rd
        EXPECT_EQ(RowColours(n), guesses[g - 1]) << "row " << n;
        EXPECT_EQ(Answer(n)->GetText(), "P " + std::to_string(g % 4) + " C 0") << "row " << n;
    }
    EXPECT_EQ(Attempts()->GetText(), "Attempts: 12");
}

TEST_F(FormMainTest, AnAbandonedGameHidesTheInputRevealsTheCodeAndOffersANewGame)
{
    StoreGame("123403", "0127", 1, {5, 5, 5, 5});
    Open();
    for (int k = 1; k <= 4; ++k) EXPECT_FALSE(Input(k)->IsVisible()) << k;
    EXPECT_EQ(CodePictures(), (std::vector<int>{0, 1, 7, 12}));
    EXPECT_EQ(GoButton()->GetText(), "NEW GAME");
    EXPECT_EQ(CancelButton()->GetText(), "CANCEL");
    EXPECT_FALSE(CancelButton()->IsEnabled());
    EXPECT_EQ(RowColours(10), "1234");

    // The hidden pegs are gone from the window: the left band shows there.
    WindowPixels px(display, form->GetWindow(), 800, 600);
    EXPECT_EQ(px.CountOther(56, 242, 48, 38, kCream), 0);
}

TEST_F(FormMainTest, ASolvedGameShowsTheWinningGuessRevealsTheCodeAndIgnoresThePegs)
{
    StoreGame("123403;012340", "0123", 2, {0, 1, 2, 3});
    Open();
    EXPECT_EQ(InputColours(), "0123");
    for (int k = 1; k <= 4; ++k) {
        EXPECT_TRUE(Input(k)->IsVisible()) << k;
        EXPECT_EQ(Input(k)->GetTag(), "") << k;
    }
    EXPECT_EQ(CodePictures(), (std::vector<int>{0, 1, 7, 8}));
    EXPECT_EQ(GoButton()->GetText(), "NEW GAME");
    EXPECT_FALSE(CancelButton()->IsEnabled());

    ClickInput(1);
    form->OnElementMouseDown(Input(2));
    EXPECT_EQ(InputColours(), "0123");
    EXPECT_EQ(Stored("col1"), "0");
    EXPECT_EQ(Stored("col2"), "1");
}

// ---------------------------------------------------------------- the input pegs

TEST_F(FormMainTest, APressOnAnInputPegAdvancesItsColourAndStoresIt)
{
    StoreGame("", "0123", 0);
    Open();
    for (int expected : {1, 2, 3, 4, 5, 6, 7, 0}) {
        ClickInput(2);
        EXPECT_EQ(Input(2)->value, std::to_string(expected));
        EXPECT_EQ(Input(2)->GetFrame().x, kPictureOf[expected]);
        EXPECT_EQ(form->Record().currentGuess[1], expected);
        EXPECT_EQ(Stored("col2"), std::to_string(expected));
    }
    EXPECT_EQ(InputColours(), "0000");
    form->OnElementMouseDown(nullptr);
    form->OnElementMouseDown(GoButton());
    EXPECT_EQ(InputColours(), "0000");
}

// ---------------------------------------------------------------- GO and NEW GAME

TEST_F(FormMainTest, GoScoresTheInputRowStoresItAndClearsTheInput)
{
    StoreGame("", "0123", 0);
    Open();
    ClickInput(2);
    ClickInput(2);  // 0 2 0 0 against 0 1 2 3: the first 0 is exact, the 2 misplaced
    ClickGo();
    EXPECT_EQ(form->Record().guessHistory, "020011");
    EXPECT_EQ(Stored("Quorrel_Bag"), "020011");
    EXPECT_EQ(RowColours(10), "0200");
    EXPECT_EQ(Answer(10)->GetText(), "P 1 C 1");
    EXPECT_EQ(InputColours(), "0000");
    EXPECT_EQ(Stored("col2"), "0");
    EXPECT_EQ(Attempts()->GetText(), "Attempts: 01");
    EXPECT_EQ(CodePictures(), (std::vector<int>{13, 13, 13, 13}));
    EXPECT_EQ(CurrentMessageBox(), nullptr);
}

TEST_F(FormMainTest, SolvingRevealsTheCodeThenCongratulates)
{
    StoreGame("", "0123", 0, {0, 1, 2, 3});
    Open();
    ClickGo();
    EXPECT_EQ(form->Record().gameState, GameState::Solved);
    EXPECT_EQ(Stored("stato"), "2");
    EXPECT_EQ(RowColours(10), "0123");
    EXPECT_EQ(Answer(10)->GetText(), "P 4 C 0");
    EXPECT_EQ(CodePictures(), (std::vector<int>{0, 1, 7, 8}));
    EXPECT_EQ(GoButton()->GetText(), "NEW GAME");
    EXPECT_FALSE(CancelButton()->IsEnabled());

    FormMsgBox* box = CurrentMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->IsQuestion());
    EXPECT_EQ(box->GetBoxId(), 0);
    EXPECT_EQ(box->Label()->GetText(), "perfect, you won!");
    EXPECT_EQ(box->GetTitle(), std::string("Quorrel - ") + kWebAddress);
    ExpectBlockedBy(box);

    AnswerFirst();
    ExpectFree();
    EXPECT_EQ(form->Record().gameState, GameState::Solved);
}

TEST_F(FormMainTest, NewGameDrawsACodeAndClearsTheBoard)
{
    StoreGame("123403;012340", "0123", 2, {0, 1, 2, 3});
    Open();
    ClickGo();
    EXPECT_EQ(form->Record().gameState, GameState::Playing);
    EXPECT_EQ(form->Record().guessHistory, "");
    EXPECT_TRUE(IsValidSecretCode(form->Record().secretCode));
    EXPECT_EQ(Stored("Quorrel_Code"), form->Record().secretCode);
    EXPECT_EQ(Stored("stato"), "0");
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(RowColours(n), "") << "row " << n;
    EXPECT_EQ(InputColours(), "0000");
    EXPECT_EQ(CodePictures(), (std::vector<int>{13, 13, 13, 13}));
    EXPECT_EQ(GoButton()->GetText(), "GO");
    EXPECT_TRUE(CancelButton()->IsEnabled());
    EXPECT_EQ(Attempts()->GetText(), "Attempts: 00");
    EXPECT_EQ(CurrentMessageBox(), nullptr);
}

TEST_F(FormMainTest, NewGameAfterGivingUpShowsTheInputRowAgain)
{
    StoreGame("123403", "0123", 1);
    Open();
    ClickGo();
    for (int k = 1; k <= 4; ++k) {
        EXPECT_TRUE(Input(k)->IsVisible()) << k;
        EXPECT_TRUE(Input(k)->IsCreated()) << k;
        EXPECT_EQ(Input(k)->GetTag(), "click to change color");
    }
    ClickInput(3);
    EXPECT_EQ(InputColours(), "0010");
}

// ---------------------------------------------------------------- CANCEL

TEST_F(FormMainTest, CancelAsksAndNoChangesNothing)
{
    StoreGame("123403", "0123", 0, {1, 0, 0, 0});
    Open();
    ClickCancel();
    FormMsgBox* box = CurrentMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->IsQuestion());
    EXPECT_EQ(box->GetBoxId(), 1001);
    EXPECT_EQ(box->Label()->GetText(), "You want to leave?");
    EXPECT_EQ(box->GetTitle(), "Question");
    ExpectBlockedBy(box);

    AnswerSecond();
    ExpectFree();
    EXPECT_EQ(form->Record().gameState, GameState::Playing);
    EXPECT_EQ(Stored("stato"), "0");
    EXPECT_EQ(InputColours(), "1000");
}

TEST_F(FormMainTest, CancelAnsweredYesGivesTheGameUpAndKeepsTheGuesses)
{
    StoreGame("123403", "0123", 0, {1, 0, 0, 0});
    Open();
    ClickCancel();
    AnswerFirst();
    ExpectFree();
    EXPECT_EQ(form->Record().gameState, GameState::Abandoned);
    EXPECT_EQ(Stored("stato"), "1");
    EXPECT_EQ(Stored("col1"), "0");
    for (int k = 1; k <= 4; ++k) EXPECT_FALSE(Input(k)->IsVisible()) << k;
    EXPECT_EQ(CodePictures(), (std::vector<int>{0, 1, 7, 8}));
    EXPECT_EQ(RowColours(10), "1234");
    EXPECT_FALSE(CancelButton()->IsEnabled());

    // A disabled CANCEL asks nothing.
    FormMsgBox* answered = CurrentMessageBox();
    ClickCancel();
    EXPECT_EQ(CurrentMessageBox(), answered);
    ExpectFree();
}

// ---------------------------------------------------------------- EXIT and the answers

TEST_F(FormMainTest, ExitAsksAndOnlyYesEndsTheLoop)
{
    Open();
    ClickExit();
    FormMsgBox* box = CurrentMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->IsQuestion());
    EXPECT_EQ(box->GetBoxId(), 1000);
    EXPECT_EQ(box->Label()->GetText(), "Do you really want to go exit?");
    EXPECT_EQ(box->GetTitle(), "Exit");
    EXPECT_FALSE(Application::Quit());

    AnswerSecond();
    EXPECT_FALSE(Application::Quit());
    EXPECT_TRUE(form->IsCreated());

    ClickExit();
    AnswerFirst();
    EXPECT_TRUE(Application::Quit());
}

TEST_F(FormMainTest, TheCloseBoxAsksTheExitQuestionAndKeepsTheWindow)
{
    Open();
    CloseBox(*form, form.get());
    EXPECT_TRUE(form->IsCreated());
    ASSERT_NE(CurrentMessageBox(), nullptr);
    EXPECT_EQ(CurrentMessageBox()->GetBoxId(), 1000);
    EXPECT_FALSE(Application::Quit());
    EXPECT_FALSE(form->AskExit());
}

TEST_F(FormMainTest, OnlyYesToTheTwoQuestionsChangesAnything)
{
    StoreGame("123403", "0123", 0);
    Open();
    form->OnDialogResult(1000, 4);
    form->OnDialogResult(1000, 0);
    form->OnDialogResult(1001, 4);
    form->OnDialogResult(1001, 1);
    form->OnDialogResult(7, 3);
    form->OnDialogResult(0, 1);
    EXPECT_FALSE(Application::Quit());
    EXPECT_EQ(form->Record().gameState, GameState::Playing);

    form->OnDialogResult(1001, 3);
    EXPECT_EQ(form->Record().gameState, GameState::Abandoned);
    EXPECT_FALSE(Application::Quit());
    form->OnDialogResult(1000, 3);
    EXPECT_TRUE(Application::Quit());
}

// ---------------------------------------------------------------- INFO

TEST_F(FormMainTest, InfoOpensTheAboutBoxCentredOnTheWindowWithTheGamesTexts)
{
    Open();
    ClickInfo();
    FormAbout* about = OpenAboutForm();
    ASSERT_NE(about, nullptr);
    ExpectBlockedBy(about);
    const Point at = form->GetPosition();
    const Rect r = WindowRect(display, about->GetWindow());
    EXPECT_EQ(r, (Rect{at.x + 100, at.y + 195, 600, 210}));

    const Application::ElementList list = Application::CollectChildren(about->GetId());
    ASSERT_EQ(list.size(), 8u);
    EXPECT_NE(static_cast<MyImage*>(list[1])->GetImage(), nullptr);
    EXPECT_EQ(list[2]->GetText(), "Quorrel 1.0.0.0");
    EXPECT_EQ(list[3]->GetText(), kCreditLine);
    EXPECT_EQ(about->WebCell()->GetText(), kWebAddress);
    EXPECT_EQ(about->MailCell()->GetText(), std::string(kMailbox) + "@" + std::string(kWebAddress).substr(12));
    EXPECT_EQ(list[6]->GetText(), kNotice);

    Stroke(*about, XK_Escape, form.get());
    ExpectFree();
}

TEST_F(FormMainTest, InfoAgainReplacesTheFirstAboutBox)
{
    Open();
    ClickInfo();
    FormAbout* first = OpenAboutForm();
    ASSERT_NE(first, nullptr);
    const uint32_t firstId = first->GetId();
    Stroke(*first, XK_Escape, form.get());
    ClickInfo();

    int abouts = 0;
    for (GUIElement* e : Application::Forms()) {
        EXPECT_NE(e->GetId(), firstId);
        abouts += e != form.get();
    }
    EXPECT_EQ(abouts, 1);
    ASSERT_NE(OpenAboutForm(), nullptr);
    ExpectBlockedBy(OpenAboutForm());
}

TEST_F(FormMainTest, InfoWhileTheAboutBoxIsOpenLeavesTheWindowBlockedByTheNewOne)
{
    Open();
    ClickInfo();
    form->OpenAbout();
    FormAbout* second = OpenAboutForm();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Application::Forms().size(), 2u);
    ExpectBlockedBy(second);
    Stroke(*second, XK_Return, form.get());
    ExpectFree();
}

TEST_F(FormMainTest, TheWindowCanGoWhileItsAboutBoxIsOpen)
{
    Open();
    ClickInfo();
    ASSERT_NE(OpenAboutForm(), nullptr);
    form.reset();
    EXPECT_EQ(Application::Forms().size(), 0u);
}

TEST_F(FormMainTest, ReturnOnTheAboutBoxClosesItAndOpensNoOther)
{
    Open();
    ClickInfo();  // INFO now holds the focus of the window below
    FormAbout* about = OpenAboutForm();
    ASSERT_NE(about, nullptr);
    const uint32_t id = about->GetId();
    Stroke(*about, XK_Return, form.get());
    ExpectFree();
    ASSERT_NE(OpenAboutForm(), nullptr);
    EXPECT_EQ(OpenAboutForm()->GetId(), id);
    EXPECT_FALSE(OpenAboutForm()->IsCreated());
}

TEST_F(FormMainTest, ReturnOnTheWinMessageDoesNotStartANewGame)
{
    StoreGame("", "0123", 0, {0, 1, 2, 3});
    Open();
    ClickGo();  // GO now holds the focus of the window below
    ASSERT_NE(CurrentMessageBox(), nullptr);
    Stroke(*CurrentMessageBox(), XK_Return, form.get());
    EXPECT_EQ(form->Record().gameState, GameState::Solved);
    EXPECT_EQ(form->Record().guessHistory, "012340");
}

// ---------------------------------------------------------------- the blocked window

TEST_F(FormMainTest, AClickOnTheBlockedWindowBeepsAndRaisesTheDialog)
{
    StoreGame("", "0123", 0);
    Open();
    ClickCancel();
    FormMsgBox* box = CurrentMessageBox();
    ASSERT_NE(box, nullptr);
    XLowerWindow(display, box->GetWindow());
    XSync(display, False);

    ClickGo();  // lands on the blocked window, not on GO
    ASSERT_TRUE(programs.WaitForRun("aplay"));
    EXPECT_EQ(programs.Args("aplay"), (std::vector<std::string>{"Data/beep.wav"}));
    EXPECT_EQ(form->Record().Attempts(), 0);
    ClickInput(1);
    EXPECT_EQ(InputColours(), "0000");

    // The dialog is the topmost window again.
    XSync(display, False);
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count));
    ASSERT_GT(count, 0u);
    EXPECT_EQ(children[count - 1], box->GetWindow());
    XFree(children);

    EXPECT_TRUE(stand_in::ReapAll());
    ExpectBlockedBy(box);
}

TEST_F(FormMainTest, AClickOnTheFreeWindowDoesNotBeep)
{
    Open();
    ClickMain(390, 560);
    ClickMain(30, 500);
    EXPECT_FALSE(programs.Ran("aplay"));
}

TEST_F(FormMainTest, TheBlockedWindowBeepsForAnAboutBoxToo)
{
    Open();
    ClickInfo();
    ASSERT_NE(OpenAboutForm(), nullptr);
    ClickMain(390, 560);
    ASSERT_TRUE(programs.WaitForRun("aplay"));
    EXPECT_TRUE(stand_in::ReapAll());
}

}  // namespace

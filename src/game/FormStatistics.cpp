#include "game/FormStatistics.h"

#include <algorithm>
#include <string>

#include "controls/ButtonCustom.h"
#include "game/GameColours.h"
#include "gui/DrawContext.h"

namespace {
constexpr int kCarriageReturn = 13;

using namespace game_colours;

// The bars in the GO button's green, the last solved game's in orange. On an 8-bit
// screen the green becomes the cube's 0x00BF00 and the orange stays itself, so the
// two kinds of bar stay apart.
constexpr int64_t kBarColour = kGoGreen;
constexpr int64_t kLastBarColour = 0xFF8000;

constexpr int kLineHeight = 18;
constexpr int kFiguresY = 12;
constexpr int kLabelWidth = 110;
constexpr int kValueWidth = 50;

// The chart: a white box of one column per count of guesses, framed in black.
constexpr int kChartX = 20;
constexpr int kChartY = 116;
constexpr int kChartWidth = 360;
constexpr int kChartHeight = 160;
constexpr int kColumnWidth = kChartWidth / GameStatistics::kBuckets;
constexpr int kBarWidth = 24;
constexpr int kTextHeight = 15;
constexpr int kBaseline = kChartY + kChartHeight - kTextHeight - 6;  // below the bars
constexpr int kBarMaxHeight = 100;

constexpr int kButtonWidth = 97;
constexpr int kButtonHeight = 28;
constexpr int kButtonY = 292;

std::string Count(std::int64_t n) { return std::to_string(n); }

// The widest text make(places) gives that fits w pixels: a count too wide for its
// place shows in its short form rather than losing digits.
template <typename Make>
std::string Fitting(DrawContext& dc, int w, Make make)
{
    std::string text = make(32);
    for (int places = static_cast<int>(text.size()) - 1; places >= 1 && dc.TextWidth(text) > w; --places)
        text = make(places);
    return text;
}

std::string FittingCount(DrawContext& dc, int w, std::int64_t n)
{
    return Fitting(dc, w, [n](int places) { return GameStatistics::CountText(n, places); });
}

void CloseClicked(Child* button)
{
    if (Form* form = button->HostForm()) static_cast<FormStatistics*>(form)->Close(Dialog::kResultNone);
}
}  // namespace

FormStatistics::FormStatistics(Form* owner, const GameStatistics& statistics)
    : Dialog(owner, kWidth, kHeight), statistics_(statistics)
{
    SetTitle("Statistics");
    SetBackColor(kCream);
}

bool FormStatistics::KeyChar(int c)
{
    if (c == kCarriageReturn) {
        Close(kResultNone);
        return false;
    }
    return Dialog::KeyChar(c);
}

void FormStatistics::BuildControls()
{
    closeButton_ = new ButtonCustom(this, "CLOSE");
    closeButton_->SetSize(kButtonWidth, kButtonHeight);
    closeButton_->SetPosition((kWidth - kButtonWidth) / 2, kButtonY);
    closeButton_->SetBackColor(kCream);
    closeButton_->SetCommand(CloseClicked);
    closeButton_->Create();
}

GUIElement* FormStatistics::SafeFocus() { return closeButton_; }

void FormStatistics::Paint()
{
    if (created_) {
        DrawContext dc(this);
        // Nothing behind the dialog shows through: the whole window is painted.
        dc.FillArea(0, 0, kWidth, kHeight, kCream);
        DrawFigures(dc);
        DrawChart(dc);
    }
    Form::Paint();
}

void FormStatistics::DrawFigures(DrawContext& dc)
{
    const GameStatistics& s = statistics_;
    const std::string average = Fitting(dc, kValueWidth, [&s](int places) { return s.AverageText(places); });
    struct Figure {
        const char* label;
        std::string value;
    };
    auto count = [&dc](std::int64_t n) { return FittingCount(dc, kValueWidth, n); };
    const Figure left[] = {{"Games played", count(s.Played())},
                           {"Solved", count(s.Solved())},
                           {"Given up", count(s.GivenUp())},
                           {"Share solved", Count(s.SolvedPercent()) + "%"}};
    const Figure right[] = {
        {"Current run", count(s.CurrentRun())}, {"Best run", count(s.BestRun())}, {"Average guesses", average}};
    auto column = [&dc](const auto& figures, int x) {
        int y = kFiguresY;
        for (const Figure& f : figures) {
            dc.DrawText(x, y, kLabelWidth, kTextHeight, f.label, kBlack, -1, 0);
            dc.DrawText(x + kLabelWidth, y, kValueWidth, kTextHeight, f.value, kBlack, -1, 1);
            y += kLineHeight;
        }
    };
    column(left, kChartX);
    column(right, kChartX + kChartWidth - kLabelWidth - kValueWidth);
}

void FormStatistics::DrawChart(DrawContext& dc)
{
    const auto& solved = statistics_.SolvedByGuesses();
    const int last = statistics_.LastSolvedBucket();

    const int captionY = kChartY - kTextHeight - 4;
    dc.DrawText(kChartX, captionY, 200, kTextHeight, "Solved games by guesses", kBlack, -1, 0);
    if (last >= 0) {
        const int keyX = kChartX + kChartWidth - 130;
        dc.FillArea(keyX, captionY + 3, 10, 10, kLastBarColour);
        dc.DrawRectangle(keyX, captionY + 3, 10, 10, 1, kBlack);
        dc.DrawText(keyX + 15, captionY, 115, kTextHeight, "the last solved", kBlack, -1, 0);
    }

    dc.FillArea(kChartX, kChartY, kChartWidth, kChartHeight, kWhite);
    dc.DrawRectangle(kChartX, kChartY, kChartWidth, kChartHeight, 1, kBlack);
    dc.DrawLineSolid(kChartX + 4, kBaseline, kChartX + kChartWidth - 5, kBaseline, kBlack);

    const std::int64_t most = std::max<std::int64_t>(1, *std::max_element(solved.begin(), solved.end()));
    for (int b = 0; b < GameStatistics::kBuckets; ++b) {
        const int x = kChartX + b * kColumnWidth;
        const std::int64_t n = solved[static_cast<size_t>(b)];
        // A bar of one game among thousands still shows as a sliver.
        const int height = n == 0 ? 0 : std::max(2, static_cast<int>(n * kBarMaxHeight / most));
        const int top = kBaseline - height;
        if (height > 0) {
            const int barX = x + (kColumnWidth - kBarWidth) / 2;
            dc.FillArea(barX, top, kBarWidth, height, b == last ? kLastBarColour : kBarColour);
            dc.DrawRectangle(barX, top, kBarWidth, height, 1, kBlack);
        }
        dc.DrawText(x, top - kTextHeight - 1, kColumnWidth, kTextHeight, FittingCount(dc, kColumnWidth, n), kBlack, -1,
                    2);
        const std::string guesses = b + 1 < GameStatistics::kBuckets ? Count(b + 1) : Count(b + 1) + "+";
        dc.DrawText(x, kBaseline + 3, kColumnWidth, kTextHeight, guesses, kBlack, -1, 2);
    }
}

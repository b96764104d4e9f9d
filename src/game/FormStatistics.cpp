#include "game/FormStatistics.h"

#include <algorithm>
#include <string>
#include <vector>

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

// One figure as painted: its label and its value.
struct Figure {
    const char* label;
    std::string value;
};

// The two columns of figures, left and right, each count as `count` writes it.
template <typename CountText>
std::vector<Figure> LeftFigures(const GameStatistics& s, CountText count)
{
    return {{"Games played", count(s.Played())},
            {"Solved", count(s.Solved())},
            {"Given up", count(s.GivenUp())},
            {"Share solved", Count(s.SolvedPercent()) + "%"}};
}

template <typename CountText>
std::vector<Figure> RightFigures(const GameStatistics& s, CountText count, const std::string& average)
{
    return {{"Current run", count(s.CurrentRun())}, {"Best run", count(s.BestRun())}, {"Average guesses", average}};
}

constexpr int kRightColumnX = kChartX + kChartWidth - kLabelWidth - kValueWidth;

// A bar of the chart read out: "4 guesses: 7 games", the last "10 or more guesses".
std::string BarWords(int bucket, std::int64_t games)
{
    std::string words = Count(bucket + 1);
    words += bucket + 1 == GameStatistics::kBuckets ? " or more guesses: " : bucket == 0 ? " guess: " : " guesses: ";
    words += Count(games);
    words += games == 1 ? " game" : " games";
    return words;
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
    auto count = [&dc](std::int64_t n) { return FittingCount(dc, kValueWidth, n); };
    auto column = [&dc](const std::vector<Figure>& figures, int x) {
        int y = kFiguresY;
        for (const Figure& f : figures) {
            dc.DrawText(x, y, kLabelWidth, kTextHeight, f.label, kBlack, -1, 0);
            dc.DrawText(x + kLabelWidth, y, kValueWidth, kTextHeight, f.value, kBlack, -1, 1);
            y += kLineHeight;
        }
    };
    column(LeftFigures(s, count), kChartX);
    column(RightFigures(s, count, average), kRightColumnX);
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

void FormStatistics::DescribeTree(AccessibleNodes& nodes)
{
    uint32_t key = AccessibleNode::kOwnKeys;
    auto label = [&nodes, &key](std::string name, int x, int y, int w, int h) {
        nodes.push_back(AccessibleNode::Painted(++key, 0, AccessibleRole::Label, std::move(name)));
        nodes.back().SetBox(x, y, w, h);
    };
    // A column of figures is one text of a line each: a reader reads it whole, or line by line.
    auto column = [&label, &nodes](const std::vector<Figure>& figures, int x) {
        std::string lines;
        for (const Figure& f : figures) lines += (lines.empty() ? "" : "\n") + std::string(f.label) + ": " + f.value;
        const int rows = static_cast<int>(figures.size());
        label(lines, x, kFiguresY, kLabelWidth + kValueWidth, (rows - 1) * kLineHeight + kTextHeight);
        nodes.back().text = lines;
        nodes.back().Set(AccessibleState::MultiLine);
    };
    // A reader hears the whole numbers, which need no room.
    column(LeftFigures(statistics_, Count), kChartX);
    column(RightFigures(statistics_, Count, statistics_.AverageText(32)), kRightColumnX);
    label("Solved games by guesses", kChartX, kChartY - kTextHeight - 4, 200, kTextHeight);
    const auto& solved = statistics_.SolvedByGuesses();
    for (int b = 0; b < GameStatistics::kBuckets; ++b) {
        std::string words = BarWords(b, solved[static_cast<size_t>(b)]);
        if (b == statistics_.LastSolvedBucket()) words += ", the last solved";
        label(std::move(words), kChartX + b * kColumnWidth, kChartY, kColumnWidth, kChartHeight);
    }
    Dialog::DescribeTree(nodes);
}

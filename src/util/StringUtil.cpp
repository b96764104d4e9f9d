#include "util/StringUtil.h"

namespace {

// Fixed to the C locale's set so that the result never depends on setlocale.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::string Trim(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsSpace(text[begin])) ++begin;
    while (end > begin && IsSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string IntToText(std::int64_t n) { return IntToTextPadded(n, '0', 0); }

std::string IntToTextPadded(std::int64_t n, char fill, int width)
{
    std::string text = std::to_string(n);
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), fill);
    return text;
}

std::string WithTrailingSlash(const std::string& path)
{
    if (path.empty()) return path;
    const char last = path.back();
    if (last == '/' || last == '\\' || last == ':') return path;
    return path + "/";
}

std::vector<std::string> Split(const std::string& text, const std::string& sep)
{
    std::vector<std::string> pieces;
    if (text.empty() || sep.empty()) return pieces;
    std::size_t start = 0;
    for (std::size_t hit = text.find(sep); hit != std::string::npos; hit = text.find(sep, start)) {
        pieces.push_back(text.substr(start, hit - start));
        start = hit + sep.size();
    }
    if (start < text.size()) pieces.push_back(text.substr(start));
    return pieces;
}

#include "StoredGame.h"

#include <algorithm>

std::map<std::string, std::string> GameValues(const std::string& code, const std::string& history,
                                              const std::string& state, const std::string& input)
{
    std::map<std::string, std::string> values = {
        {kValueKeys[0], history + "\n"}, {kValueKeys[1], code + "\n"}, {kValueKeys[2], state + "\n"}};
    for (std::size_t k = 0; k < 4; ++k) values[kValueKeys[3 + k]] = input.substr(k, 1) + "\n";
    return values;
}

std::vector<std::string> Records(const std::string& history)
{
    std::vector<std::string> out;
    for (std::size_t start = 0; !history.empty() && start <= history.size();) {
        const std::size_t end = std::min(history.find(';', start), history.size());
        out.push_back(history.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

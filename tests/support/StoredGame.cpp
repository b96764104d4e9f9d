#include "StoredGame.h"

std::map<std::string, std::string> GameValues(const std::string& code, const std::string& history,
                                              const std::string& state, const std::string& input)
{
    std::map<std::string, std::string> values = {
        {kValueKeys[0], history + "\n"}, {kValueKeys[1], code + "\n"}, {kValueKeys[2], state + "\n"}};
    for (std::size_t k = 0; k < 4; ++k) values[kValueKeys[3 + k]] = input.substr(k, 1) + "\n";
    return values;
}

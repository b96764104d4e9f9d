#pragma once
// The stored game as the tests write and read it: seven value files below
// Settings/Quorrel.exe/dati/ of the game's working directory, by key.
#include <array>
#include <map>
#include <string>
#include <vector>

inline constexpr const char* kValueDir = "Settings/Quorrel.exe/dati/";
inline constexpr std::array<const char*, 7> kValueKeys = {"Quorrel_Bag", "Quorrel_Code", "stato", "col1",
                                                          "col2",        "col3",         "col4"};

// The seven value files of a game, each value with its line feed: the history, the
// code, the state and `input`, the input row's four colour digits.
std::map<std::string, std::string> GameValues(const std::string& code, const std::string& history = "",
                                              const std::string& state = "0", const std::string& input = "0000");
// The guess records of a stored history, oldest first; none for "".
std::vector<std::string> Records(const std::string& history);

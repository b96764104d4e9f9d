#pragma once
// The stored game. A small settings store keeps every value in a one-line file of its
// own below "Settings" in the working directory, at
// Settings/<application>/<section>/<key>; the game's seven values live in
// Settings/Quorrel.exe/dati/. Values are replaced whole and never half-written (see
// TextFile::ReplaceLines), so a crash leaves each file either old or new.
#include "game/GameRecord.h"

#include <string>

inline constexpr const char* kSettingsRoot = "Settings";
inline constexpr const char* kGameApplication = "Quorrel.exe";
inline constexpr const char* kGameSection = "dati";
inline constexpr const char* kHistoryKey = "Quorrel_Bag";
inline constexpr const char* kCodeKey = "Quorrel_Code";
inline constexpr const char* kStateKey = "stato";
// The input row's keys are "col1" to "col4".
inline constexpr const char* kColourKeyPrefix = "col";

// The path of a value file. Creates the missing directories on the way (not the file).
std::string SettingsPath(const std::string& application, const std::string& section,
                         const std::string& key);

// The value file's lines of any length, each followed by "\r\n"; empty when the file
// is missing, unreadable or empty.
std::string ReadSetting(const std::string& application, const std::string& section,
                        const std::string& key);

// Replaces the value file with value and a line feed. True when it was written.
bool WriteSetting(const std::string& application, const std::string& section,
                  const std::string& key, const std::string& value);

// Stores the whole record: history, code, state, then col1..col4, stopping at the
// first value that cannot be written. True when all seven were written.
bool SaveGame(const GameRecord& record);

// Restores the record from the store. With no stored game (no state value) a fresh
// game is drawn and stored. Damaged values are repaired, each repair logged in one
// line: a state other than 0, 1, 2 or a code that is not four digits 0..7 gives a
// fresh game, stored at once; a colour that is not one digit 0..7 reads as 0; history
// records that are not valid guess records are dropped. A repaired record is stored
// again so that the disk matches the game shown. Always returns true.
bool LoadGame(GameRecord& record);

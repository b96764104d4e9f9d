#include "game/GameStore.h"

#include "app/Log.h"
#include "util/FileUtil.h"
#include "util/StringUtil.h"
#include "util/TextFile.h"

namespace {

std::string ReadGameValue(const std::string& key)
{
    return Trim(ReadSetting(kGameApplication, kGameSection, key));
}

bool WriteGameValue(const std::string& key, const std::string& value)
{
    return WriteSetting(kGameApplication, kGameSection, key, value);
}

std::string ColourKey(int position)
{
    return kColourKeyPrefix + IntToText(position);
}

// Only the exact texts "0", "1", "2": a strtol-style reading would turn "2x" or "-1"
// into a state the board cannot show.
bool ParseState(const std::string& text, GameState& state)
{
    if (text.size() != 1 || text[0] < '0' || text[0] > '2') return false;
    state = static_cast<GameState>(text[0] - '0');
    return true;
}

void StartFreshGame(GameRecord& record)
{
    record.guessHistory.clear();
    record.secretCode = DrawSecretCode();
    record.currentGuess.fill(0);
    record.gameState = GameState::Playing;
    SaveGame(record);
}

// Keeps the valid records of a stored history; true when some had to go.
bool DropDamagedRecords(std::string& history)
{
    std::string kept;
    int dropped = 0;
    for (const std::string& piece : HistoryRecords(history)) {
        if (!IsValidGuessRecord(piece)) {
            ++dropped;
            continue;
        }
        if (!kept.empty()) kept += ";";
        kept += piece;
    }
    history = kept;
    if (dropped > 0)
        WriteLog(std::string(kHistoryKey) + ": dropped " + IntToText(dropped) + " damaged guess records");
    return dropped > 0;
}

} // namespace

std::string SettingsPath(const std::string& application, const std::string& section,
                         const std::string& key)
{
    std::string path = kSettingsRoot;
    for (const std::string* part : {&application, &section}) {
        EnsureDirectory(path);
        path = WithTrailingSlash(path) + *part;
    }
    EnsureDirectory(path);
    return WithTrailingSlash(path) + key;
}

std::string ReadSetting(const std::string& application, const std::string& section,
                        const std::string& key)
{
    // Unlimited lines: a long game's history grows past any fixed buffer.
    return TextFile(SettingsPath(application, section, key)).ReadAllText(TextFile::kNoLineLimit);
}

bool WriteSetting(const std::string& application, const std::string& section,
                  const std::string& key, const std::string& value)
{
    return TextFile(SettingsPath(application, section, key)).ReplaceLines({value});
}

bool SaveGame(const GameRecord& record)
{
    if (!WriteGameValue(kHistoryKey, record.guessHistory)) return false;
    if (!WriteGameValue(kCodeKey, record.secretCode)) return false;
    if (!WriteGameValue(kStateKey, IntToText(static_cast<int>(record.gameState)))) return false;
    for (int position = 1; position <= kCodeLength; ++position) {
        if (!WriteGameValue(ColourKey(position), IntToText(record.currentGuess[position - 1]))) return false;
    }
    return true;
}

bool LoadGame(GameRecord& record)
{
    record.currentGuess.fill(0);
    // A save cut short by a crash leaves its unrenamed new file; nothing else would
    // ever remove it, and one more would gather at every such crash.
    const std::string statePath = SettingsPath(kGameApplication, kGameSection, kStateKey);
    TextFile::RemoveAbandonedReplacements(statePath.substr(0, statePath.rfind('/')));
    const std::string stateText = ReadGameValue(kStateKey);
    if (stateText.empty()) {
        StartFreshGame(record);
        return true;
    }
    GameState state = GameState::Playing;
    if (!ParseState(stateText, state)) {
        WriteLog(std::string(kStateKey) + ": damaged game state, starting a new game");
        StartFreshGame(record);
        return true;
    }
    const std::string code = ReadGameValue(kCodeKey);
    if (!IsValidSecretCode(code)) {
        WriteLog(std::string(kCodeKey) + ": damaged code, starting a new game");
        StartFreshGame(record);
        return true;
    }
    record.gameState = state;
    record.secretCode = code;
    record.guessHistory = ReadGameValue(kHistoryKey);
    bool repaired = DropDamagedRecords(record.guessHistory);
    for (int position = 1; position <= kCodeLength; ++position) {
        const std::string key = ColourKey(position);
        const std::string text = ReadGameValue(key);
        if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kColourCount) {
            record.currentGuess[position - 1] = text[0] - '0';
        } else {
            WriteLog(key + ": damaged colour, reading it as 0");
            repaired = true;
        }
    }
    if (repaired) SaveGame(record);
    return true;
}

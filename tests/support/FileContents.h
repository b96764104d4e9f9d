#pragma once
// Reading and writing whole files by path, for tests that look at what the program
// wrote or hand it prepared input.
#include <string>

// The whole file at `path`, or "" when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// The exact bytes of a file, or "<missing>" when it cannot be read.
std::string FileBytes(const std::string& path);
// The program's log.txt in the folder `dir`, or "" when there is none.
std::string ReadLog(const std::string& dir = ".");
// Writes `contents` as the whole file, making its folders; false when it cannot.
bool WriteWholeFile(const std::string& path, const std::string& contents);
// Writes `bytes` as the whole file (no folders are made).
void PutFile(const std::string& path, const std::string& bytes);

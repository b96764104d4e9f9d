#pragma once
// Reading a data file into memory in one piece.
#include <cstdint>
#include <string>

// Reads the whole file into a new buffer from malloc, which the caller owns and
// releases with free, and sets size to its length in bytes. On any failure buffer
// and size are left as they were and one line is logged: path + ": non trovato" for
// a missing file, "Errore loading " + path when the file cannot be opened, is larger
// than 2 GiB, memory runs out or fewer bytes than its size could be read.
void LoadWholeFile(const std::string& path, unsigned char*& buffer, std::int32_t& size);

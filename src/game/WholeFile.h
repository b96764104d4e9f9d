#pragma once
// Reading a data file into memory in one piece.
#include <cstdint>
#include <string>

// Reads the whole file into a new buffer from malloc, which the caller owns and
// releases with free, and sets size to its length in bytes. On any failure buffer
// and size are left as they were and one line is logged: path + ": non trovato" for
// a missing file, "Errore loading " + path when the file cannot be opened, is not a
// regular file (a FIFO or a device is never waited for), is larger than 2 GiB,
// memory runs out or fewer bytes than its size could be read.
void LoadWholeFile(const std::string& path, unsigned char*& buffer, std::int32_t& size);

// As LoadWholeFile, but reads at most maxBytes from the start of the file, so that an
// oversized file costs no more than a right one; fileLength gets the whole file's
// length, which tells the caller whether the file was longer.
void LoadFileStart(const std::string& path, std::int64_t maxBytes, unsigned char*& buffer, std::int32_t& size,
                   std::int64_t& fileLength);

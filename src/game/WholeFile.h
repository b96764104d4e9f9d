#pragma once
// Reading a data file into memory in one piece.
#include <cstdint>
#include <string>
#include <vector>

// Reads the whole file into `data` and returns true. On any failure `data` is left
// as it was, false is returned and one line is logged: path + ": non trovato" for a
// missing file, "Errore loading " + path when the file cannot be opened, is not a
// regular file (a FIFO or a device is never waited for), is larger than 2 GiB,
// memory runs out or fewer bytes than its size could be read.
bool LoadWholeFile(const std::string& path, std::vector<unsigned char>& data);

// As LoadWholeFile, but reads at most maxBytes from the start of the file, so that an
// oversized file costs no more than a right one; fileLength gets the whole file's
// length, which tells the caller whether the file was longer.
bool LoadFileStart(const std::string& path, std::int64_t maxBytes, std::vector<unsigned char>& data,
                   std::int64_t& fileLength);

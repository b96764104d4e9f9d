#include "game/WholeFile.h"

#include "app/Log.h"
#include "util/BinaryFile.h"
#include "util/FileUtil.h"

#include <limits>
#include <new>

bool LoadWholeFile(const std::string& path, std::vector<unsigned char>& data)
{
    std::int64_t fileLength = 0;
    return LoadFileStart(path, std::numeric_limits<std::int64_t>::max(), data, fileLength);
}

bool LoadFileStart(const std::string& path, std::int64_t maxBytes, std::vector<unsigned char>& data,
                   std::int64_t& fileLength)
{
    if (!FileExists(path)) {
        WriteLog(path + ": non trovato");
        return false;
    }
    BinaryFile file;
    file.OpenRead(path);
    fileLength = FileSize(path);
    const std::int64_t length = fileLength < maxBytes ? fileLength : maxBytes;
    if (file.Failed() || length > std::numeric_limits<std::int32_t>::max()) {
        WriteLog("Errore loading " + path);
        return false;
    }
    std::vector<unsigned char> read;
    try {
        read.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        WriteLog("Errore loading " + path);
        return false;
    }
    if (file.ReadAt(0, read.data(), length) != length || file.Failed()) {
        WriteLog("Errore loading " + path);
        return false;
    }
    file.Close();
    data = std::move(read);
    return true;
}

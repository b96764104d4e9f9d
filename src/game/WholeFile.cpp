#include "game/WholeFile.h"

#include "app/Log.h"
#include "util/BinaryFile.h"
#include "util/FileUtil.h"

#include <cstdlib>
#include <limits>

void LoadWholeFile(const std::string& path, unsigned char*& buffer, std::int32_t& size)
{
    std::int64_t fileLength = 0;
    LoadFileStart(path, std::numeric_limits<std::int64_t>::max(), buffer, size, fileLength);
}

void LoadFileStart(const std::string& path, std::int64_t maxBytes, unsigned char*& buffer, std::int32_t& size,
                   std::int64_t& fileLength)
{
    if (!FileExists(path)) {
        WriteLog(path + ": non trovato");
        return;
    }
    BinaryFile file;
    file.OpenRead(path);
    fileLength = FileSize(path);
    const std::int64_t length = fileLength < maxBytes ? fileLength : maxBytes;
    if (file.Failed() || length > std::numeric_limits<std::int32_t>::max()) {
        WriteLog("Errore loading " + path);
        return;
    }
    // malloc(0) may give null, which would look like "nothing loaded"; one spare
    // byte keeps the result of an empty file a real buffer.
    auto* data = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(length) + 1));
    if (!data || file.ReadAt(0, data, length) != length || file.Failed()) {
        std::free(data);
        WriteLog("Errore loading " + path);
        return;
    }
    file.Close();
    buffer = data;
    size = static_cast<std::int32_t>(length);
}

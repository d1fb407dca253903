#include "engine/text/fontdata.h"

#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/text/default_font.h"

#include <cstdio>

#include <sys/stat.h>

std::unique_ptr<TMvecFont> TFontData::LoadFile(const str& name)
{
    // Names written for another system use backslashes; ours open with slashes.
    str path = name;
    path.replace("\\", "/", str::kReplaceAll);
    char full[qm::kPathBufferSize];
    std::FILE* file = qm::OpenResource(path.c_str(), full);
    if (!file) {
        // The built-in face is asked for by a name that is no file.
        if (name != str(kDefaultName))
            WriteDbg("Font file %s not found; another face stands in", path.c_str());
        return nullptr;
    }
    std::unique_ptr<TMvecFont> font;
    // A folder opens too, and reports a size no buffer can hold: only a
    // regular file is read.
    struct stat info;
    const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    if (regular && std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        if (size >= 0 && std::fseek(file, 0, SEEK_SET) == 0) {
            std::unique_ptr<unsigned char[]> bytes(new unsigned char[size_t(size) + 1]);
            if (std::fread(bytes.get(), 1, size_t(size), file) == size_t(size))
                font = std::make_unique<TMvecFont>(std::move(bytes), size_t(size));
        }
    }
    std::fclose(file);
    if (!font) {
        WriteDbg("Font file could not be read: %s", full);
    } else if (!font->HasHeader() || font->GetGlyphCount() == 0) {
        // Nothing of it can be drawn: the fallback face stands in, as for a missing file.
        WriteDbg("Font file %s holds no usable glyph (damaged?); another face stands in", full);
        font.reset();
    } else if (font->GetDamagedGlyphCount() > 0) {
        WriteDbg("Font file %s is damaged: %d of its glyphs are left out", full, font->GetDamagedGlyphCount());
    }
    return font;
}

TMvecFont* TFontData::GetMvec(const str& name)
{
    auto cached = mByName.find(name);
    if (cached != mByName.end())
        return cached->second;

    TMvecFont* font = nullptr;
    std::unique_ptr<TMvecFont> loaded;
    if (name == str(kDefaultName))
        loaded = TMvecFont::FromBytes(kDefaultFont, kDefaultFontSize);
    else
        loaded = LoadFile(name);
    if (loaded) {
        font = loaded.get();
        mOwned.push_back(std::move(loaded));
    } else {
        // A missing file is the fallback face; a missing fallback the built-in font.
        font = GetMvec(name == str(kFallbackName) ? kDefaultName : kFallbackName);
    }
    if (!font)
        WriteDbg("Font not found: %s", name.c_str());
    mByName[name] = font;
    return font;
}

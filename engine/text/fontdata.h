// TFontData: every font the program has loaded, by the name it was asked
// for. Fonts are loaded on first use and kept until the cache dies.
#pragma once

#include "engine/base/str.h"
#include "engine/text/mvecfont.h"

#include <map>
#include <memory>
#include <vector>

class TFontData {
public:
    // The name that selects the built-in font, and the face used for any
    // character a run's own font lacks.
    static constexpr const char* kDefaultName = "__DEFAULT";
    static constexpr const char* kFallbackName = "fonts/default.mvec";

    // The font for a name: "__DEFAULT" is the built-in font; any other name is
    // a resource file (backslashes read as slashes); a file that cannot be
    // opened gives "fonts/default.mvec", and failing that the built-in font.
    // The answer is cached under the name asked for.
    TMvecFont* GetMvec(const str& name);

private:
    static std::unique_ptr<TMvecFont> LoadFile(const str& name);

    // Each name maps to a font; names that fell back share the fallback's
    // instance, so unknown names cost no more than a map entry.
    std::map<str, TMvecFont*> mByName;
    std::vector<std::unique_ptr<TMvecFont>> mOwned;
};

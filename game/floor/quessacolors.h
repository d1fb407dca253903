// TQuessaColors: the named clothing colours of "assets/quessa/colors.inf", in
// file order, shared by the whole program from first use to Release.
#pragma once

#include "engine/base/str.h"

#include <list>

struct TColorEntry {
    str name;
    float r = 0, g = 0, b = 0;  // 0..1
};

class TQuessaColors {
public:
    static const std::list<TColorEntry>& GetInstance();
    static void Release();
    // Empty past the end.
    static str ColorName(int index);
    // Null for an unknown name.
    static const TColorEntry* Find(str name);
    // Reads a colour list from XML text ("clothing" of "color" name r g b, 0-255).
    static std::list<TColorEntry> Parse(const str& text);
};

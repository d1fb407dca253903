// TQuessaColors: the named clothing colours of "assets/quessa/colors.inf", in
// file order. The game's start-up reads the list once and deletes it at quit;
// GetInstance() answers null outside that time, and then there is no colour
// to tint with (ColorName answers empty, Find null).
#pragma once

#include "engine/base/str.h"

#include <list>

struct TColorEntry {
    str name;
    float r = 0, g = 0, b = 0;  // 0..1
};

class TQuessaColors {
public:
    static constexpr const char* kColorsFile = "assets/quessa/colors.inf";

    // Reads kColorsFile and publishes the list.
    TQuessaColors();
    // Publishes the given list (tests).
    explicit TQuessaColors(std::list<TColorEntry> colours);
    // Withdraws the list.
    ~TQuessaColors();
    TQuessaColors(const TQuessaColors&) = delete;
    TQuessaColors& operator=(const TQuessaColors&) = delete;

    static TQuessaColors* GetInstance();
    const std::list<TColorEntry>& Colors() const { return mColours; }

    // Empty past the end, or with no list.
    static str ColorName(int index);
    // Null for an unknown name, or with no list.
    static const TColorEntry* Find(str name);
    // Reads a colour list from XML text ("clothing" of "color" name r g b, 0-255).
    static std::list<TColorEntry> Parse(const str& text);

private:
    std::list<TColorEntry> mColours;
};

// TCredits ("CreditsWindow"): the credits text of the file the definition
// names, in three columns (left | right, or one centred line) that scroll
// upwards without end, after a 3 s pause.
#pragma once

#include "engine/base/color.h"
#include "engine/base/str.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <cstdint>

class TTextGraphic;

// One credits line as text markup: blanks trimmed, "[...]" in the header
// colour, ended by a line feed.
str CreditLine(const str& line, const str& headerColor);

// The three columns' texts of a credits file (each ends with the blank gap).
struct TCreditsColumns {
    str left, right, centre;
};
TCreditsColumns ReadCredits(const char* file, const str& headerColor, int fontSize);

// The scroll offset in pixels elapsed ms after the first draw.
int CreditsScroll(std::uint32_t elapsed, int scrollLength);

class TCredits : public TScriptedWindow<TCredits> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr int kTop = 150;
    static constexpr int kBottom = 500;
    static constexpr int kGap = 350;

    TCredits();
    ~TCredits() override;

    bool Init() override;
    void Draw() override;
    bool OnTaskAnimate() override;

    int GetScrollLength() const { return mScrollLength; }
    int GetFontSize() const { return mFontSize; }
    const TTextGraphic* GetColumn(int i) const { return mColumns[i]; }

private:
    void DrawColumn(TTextGraphic* column, int scroll, int left, int right);

    TTextGraphic* mColumns[3] = {};  // left, right, centre
    std::uint32_t mStartTime = 0;
    bool mStarted = false;
    int mScrollLength = 0;
    str mFont;
    int mFontSize = 16;
    TColor mFontColor{1, 1, 1, 1};
    str mHeaderColor = "ffffff";
    str mFile;
};


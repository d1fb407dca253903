// TTextGraphic: a block of markup text laid out into lines of runs inside a
// fixed width, drawn glyph by glyph through the span rasteriser, and
// hit-tested for links.
//
// Markup: <b> <i> <u> (and their closing tags), <font size="" color="" face="">,
// <a id="" color="">, <outline size="" color="">, <center> <left> <right>,
// <br pad="">, </p>, <tab pos="">, <cursor>; a backslash shows the next
// character as it is. Horizontal positions are kept in quarter pixels ("q").
#pragma once

#include "engine/base/str.h"
#include "engine/text/minivecdraw.h"
#include "engine/text/mvecfont.h"
#include "engine/text/text_types.h"
#include "engine/text/textstate.h"

#include <memory>
#include <vector>

class TTexture;

struct TTextRun {
    TMvecFont* font = nullptr;   // measured and drawn with
    float scale = 0;             // quarter pixels per font unit
    int size = 0;                // markup size in pixels; 0 for a run that holds nothing
    int baseline = 0;            // q from the line top
    TMvecFont* ownFont = nullptr;  // the face's font when `font` is the fallback
    TColor colour;
    bool bold = false, italic = false, underline = false, cursor = false;
    int start = 0, end = -2;     // inclusive byte range; end < start: empty
    int left = 0, right = 0;     // pixels from the line's origin
    str linkId;
    TColor linkColour;
    float outlineSize = 0;
    TColor outlineColour;
    int tab = 0;                 // q; 0 = none
};

struct TTextLine {
    int height = 0;      // pixels
    int baseline = 0;    // q
    int x = 0;           // pixels: the line's anchor
    float xOffset = 0;   // pixels
    std::vector<TTextRun> runs;
};

class TTextGraphic {
public:
    enum {
        kHAlignLeft = 0,
        kHAlignCenter = 1,
        kHAlignRight = 2,
        kVAlignTop = 0,
        kVAlignCenter = 4,
        kVAlignBottom = 8,
    };

    // A laid-out graphic owned by the caller, freed with Destroy. An empty
    // font name is the built-in font.
    static TTextGraphic* Create(str text, int width, int height, int justification, const char* font, int size,
                                const TColor& colour);
    void Destroy();  // null-safe through the static form below
    static void Destroy(TTextGraphic* graphic)
    {
        if (graphic)
            graphic->Destroy();
    }

    void SetText(str text);
    void SetColor(const TColor& colour);
    // An outline around the whole text (size in pixels, 0 for none), as if
    // it were wrapped in <outline>; it stays when the text changes.
    void SetOutline(float size, const TColor& colour);
    void SetRotation(float degrees, int cx, int cy);

    // Draws the lines from the scroll line on into rect: on the screen, or
    // into a texture (a render target or a system-memory texture).
    void Draw(const TRect& rect, float scale, int extraLinePixels, float opacity,
              std::shared_ptr<TTexture> target = nullptr);
    // The same into any lockable surface (target empty: the display).
    void DrawInto(const TRect& rect, float scale, int extraLinePixels, float opacity,
                  std::shared_ptr<TSpanTarget> target);
    // The link id under a point, or "".
    str Pick(const TPoint& point, int extraLinePixels) const;
    // Hovers the link under point (null: none); true when the hovered link changed.
    bool Rollover(const TPoint* point, int extraLinePixels);

    int GetLineCount() const { return int(mLines.size()); }
    int GetMaxScroll(float scale, int extraLinePixels) const;
    void GetTextBounds(TRect* out) const;
    const std::vector<TTextLine>& GetLines() const { return mLines; }
    const str& GetText() const { return mText; }
    float GetVerticalOffset() const { return mVerticalOffset; }

    // The first line shown; the owning widget writes it directly.
    int mScrollLine = 0;

private:
    TTextGraphic() = default;
    ~TTextGraphic() = default;

    void RenderText();
    void DrawLine(const TTextLine& line, float y, const TRect& rect, float scale, float drawScale, bool viewport,
                  float viewportScale, float opacity, const std::shared_ptr<TSpanTarget>& target,
                  TQmMiniVecDraw& draw);
    TColor RunColour(const TTextRun& run) const;

    str mText;
    TTextState mState;
    TRect mBounds;  // left, right in q; top, bottom in pixels
    int mWidth = 0, mHeight = 0;
    float mRotationCos = 1, mRotationSin = 0;
    int mRotationX = 0, mRotationY = 0;
    std::vector<TTextLine> mLines;
    str mFontName;
    int mFontSize = 16;
    TColor mColour;
    float mVerticalOffset = 0;
    str mHoveredLink;
    int mJustification = 0;
};

// Fills the box (x1, y1)-(x2, y2), in font units scaled by the rasteriser's
// scale, with colour slot 1, the pen at (x, y) quarter pixels.
void DrawBox(TQmMiniVecDraw* draw, int x1, int y1, int x2, int y2, int x, int y);

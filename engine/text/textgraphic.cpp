#include "engine/text/textgraphic.h"

#include "engine/base/debuglog.h"
#include "engine/text/textservices.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Rounds half away from zero; values beyond an int saturate (NaN gives 0).
int RoundHalfAway(float v)
{
    if (!(v == v))
        return 0;
    return int(std::lround(std::clamp(v, -2.0e9f, 2.0e9f)));
}

// Truncates toward zero, saturating like RoundHalfAway.
int Truncate(float v)
{
    if (!(v == v))
        return 0;
    return int(std::clamp(v, -2.0e9f, 2.0e9f));
}

// Quarter pixels to whole pixels: rounded, then divided truncating.
int QuarterToPixels(float q) { return RoundHalfAway(q) / 4; }

// Decodes the character at `at`; a backslash makes the character after it
// plain text. `next` receives the byte after the step. Nothing is read past
// `length`: a sequence cut off by the end of the text is decoded as far as it
// goes, and a backslash at the very end escapes nothing (code 0).
unsigned long DecodeStep(const char* text, int length, int at, int* next)
{
    int start = at;
    if (text[at] == '\\') {
        if (at + 1 >= length) {
            *next = length;
            return 0;
        }
        start = at + 1;
    }
    const unsigned char lead = static_cast<unsigned char>(text[start]);
    const int want = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const int n = std::min(want, length - start);
    unsigned long code = want == 1 ? lead : lead & (0xFFu >> (want + 1));
    for (int i = 1; i < n; ++i)
        code = (code << 6) | (static_cast<unsigned char>(text[start + i]) & 0x3Fu);
    if (n < want)
        code = 0xFFFD;  // cut off by the end of the text
    *next = start + n;
    return code;
}

TTextRun MakeRun(const TTextState& state, int position, TMvecFont* fallback)
{
    TTextRun run;
    const TFontEntry& entry = state.Font();
    TMvecFont* font = GetFontData().GetMvec(entry.face);
    run.font = font;
    if (fallback) {
        run.ownFont = font;
        run.font = fallback;
    }
    run.size = entry.size;
    run.colour = entry.colour;
    if (run.font) {
        const float height = run.font->GetAscent() + run.font->GetDescent();
        run.scale = height > 0 ? run.font->GetLinePercent() * float(entry.size) * 4 / height : 0;
        if (entry.face.find("lithos") >= 0)
            run.scale *= 0.7f;  // that face draws large for its size
        run.baseline = Truncate(run.scale * (run.font->GetAscent() + run.font->GetLeading(true)));
    }
    run.bold = state.mBold;
    run.italic = state.mItalic;
    run.underline = state.mUnderline;
    run.linkId = state.mLinkId;
    run.linkColour = state.mLinkColour;
    run.outlineSize = state.mOutlineSize;
    run.outlineColour = state.mOutlineColour;
    run.start = position;
    return run;
}

}  // namespace

// --- Creation and changes ----------------------------------------------------

TTextGraphic* TTextGraphic::Create(str text, int width, int height, int justification, const char* font, int size,
                                   const TColor& colour)
{
    TTextGraphic* graphic = new TTextGraphic;
    graphic->mJustification = justification;
    graphic->mFontName = font && *font ? str(font) : str(TFontData::kDefaultName);
    graphic->mFontSize = size;
    graphic->mColour = colour;
    graphic->mHeight = height;
    graphic->mWidth = width;
    graphic->SetText(text);
    return graphic;
}

void TTextGraphic::Destroy() { delete this; }

void TTextGraphic::SetText(str text)
{
    if (text == mText)
        return;
    mText = text;
    RenderText();
}

void TTextGraphic::SetColor(const TColor& colour)
{
    if (SameColour(colour, mColour))
        return;
    mColour = colour;
    RenderText();
}

void TTextGraphic::SetOutline(float size, const TColor& colour)
{
    mState.SetBaseOutline(size, colour);
    RenderText();
}

void TTextGraphic::SetRotation(float degrees, int cx, int cy)
{
    const double radians = double(degrees) * M_PI / 180.0;
    mRotationCos = float(std::cos(radians));
    mRotationSin = float(std::sin(radians));
    if (std::fabs(mRotationCos - 1) < 0.0001f && std::fabs(mRotationSin) < 0.0001f) {
        mRotationCos = 1;
        mRotationSin = 0;
    }
    mRotationX = cx;
    mRotationY = cy;
    RenderText();
}

// --- Layout -----------------------------------------------------------------

void TTextGraphic::RenderText()
{
    mBounds = TRect{};
    mLines.clear();
    mState.Reset(mFontName, mFontSize, mColour);
    // Horizontal bounds are gathered in quarter pixels.
    long boundsLeft = LONG_MAX, boundsRight = 0;
    int total = 0;

    TMvecFont* fallback = GetFontData().GetMvec(TFontData::kFallbackName);
    const char* text = mText.c_str();
    const int length = mText.length();
    int pos = 0;
    int nextJustification = -1;
    bool useFallback = false;

    while (pos < length) {
        TTextLine line;
        bool justificationChanged = false, lineBreak = false;
        int pad = 0;
        // The last space of the line: where it is, what follows it, the pen
        // there, which run holds it and the markup state at that point.
        int spaceAt = -1, afterSpace = 0;
        size_t spaceRun = 0;
        float spacePen = 0;
        TTextState stateAtSpace;
        float pen = 0, overhang = 0, lead = 0;
        bool firstGlyph = true, italicPrevious = false;
        float leftOutline = 0, rightOutline = 0;

        do {
            TTextRun run = MakeRun(mState, pos, useFallback ? fallback : nullptr);
            run.left = QuarterToPixels(pen);
            if (run.italic != italicPrevious && run.font) {
                pen += run.scale / 3 * (italicPrevious ? run.font->GetAscent() : run.font->GetDescent());
                italicPrevious = run.italic;
            }
            int items = 0;
            bool closed = false, discarded = false;
            while (!closed) {
                int tagLength = 0, tab = 0;
                bool cursor = false, tagBreak = false, tagJustification = false;
                if (mState.ParseTag(text + pos, &tagLength, &tagBreak, &pad, &cursor, &tagJustification, &tab)) {
                    run.end = pos - 1;
                    run.cursor = cursor;
                    closed = true;
                    if (cursor || tagBreak)
                        ++items;
                    pos += tagLength;
                    lineBreak = lineBreak || tagBreak || tagJustification;
                    justificationChanged = justificationChanged || tagJustification;
                    if (tab) {
                        pen = float(tab);
                        run.tab = tab;
                    }
                    break;
                }

                ++items;
                int next = pos;
                const unsigned long code = DecodeStep(text, length, pos, &next);
                if (code == ' ') {
                    spaceAt = pos;
                    afterSpace = next;
                    spacePen = pen;
                    spaceRun = line.runs.size();
                    stateAtSpace = mState;
                }
                if (code == '\n') {
                    run.end = pos - 1;
                    lineBreak = true;
                    pos = next;
                    break;
                }
                if (!run.font) {
                    WriteDbg("ERROR: FONT missing in text when attempting to render string %s.", text);
                } else {
                    // A character the face has again leaves the fallback run; one
                    // the face lacks and the fallback has starts a fallback run.
                    // Either way it stays counted in the run it leaves, so that
                    // run keeps its size and baseline in the line.
                    if (run.ownFont && run.ownFont->GetGlyphIndex(code) >= 0) {
                        run.end = pos - 1;
                        useFallback = false;
                        break;
                    }
                    const int glyph = run.font->GetGlyphIndex(code);
                    if (glyph < 0 && !run.ownFont && fallback && fallback != run.font &&
                        fallback->GetGlyphIndex(code) >= 0) {
                        run.end = pos - 1;
                        useFallback = true;
                        break;
                    }
                    if (glyph >= 0) {
                        const float advance = run.font->GetGlyphAdvance(glyph);
                        const float maxX = run.font->GetGlyphMaxX(glyph);
                        const float start = pen + overhang;
                        if (maxX > advance) {
                            pen = start + maxX * run.scale;
                            overhang = run.scale * (advance - maxX);
                        } else {
                            pen = start + advance * run.scale;
                            overhang = 0;
                        }
                        if (firstGlyph) {
                            lead = 4 - run.scale * run.font->GetGlyphMinX(glyph);
                            pen += lead;
                            leftOutline = run.outlineSize;
                            firstGlyph = false;
                        }
                        rightOutline = run.outlineSize;
                    }
                }

                if (RoundHalfAway((leftOutline + 1 + rightOutline) * 4 + pen) > mWidth * 4) {
                    lineBreak = true;
                    if (spaceAt >= 0 && spacePen != 0) {
                        // Wrap at the last space, which disappears. When it lies in an
                        // earlier run, the runs after it are dropped and the markup
                        // state goes back to what it was there, so the next line
                        // lays that text out again from the same state.
                        pen = spacePen;
                        pos = afterSpace;
                        if (spaceRun < line.runs.size()) {
                            line.runs.resize(spaceRun + 1);
                            line.runs.back().end = spaceAt - 1;
                            line.runs.back().right = QuarterToPixels(pen);
                            mState = stateAtSpace;
                            discarded = true;
                        } else {
                            run.end = spaceAt - 1;
                        }
                    } else {
                        run.end = next - 1;  // no space: cut after this character
                        pos = next;
                    }
                    break;
                }
                if (next >= length)
                    run.end = length - 1;
                pos = next;
                closed = next >= length;
            }

            if (!discarded) {
                run.right = QuarterToPixels(pen);
                if (items == 0) {
                    run.size = 0;
                    run.baseline = 0;
                }
                line.runs.push_back(run);
            }
        } while (!lineBreak && pos < length);

        for (const TTextRun& run : line.runs) {
            line.height = std::max(line.height, run.size);
            line.baseline = std::max(line.baseline, run.baseline);
        }
        line.height += pad;
        const int w = QuarterToPixels(pen);
        const int flags = nextJustification != -1 ? nextJustification : mJustification;
        if (flags & kHAlignCenter) {
            line.x = mWidth / 2;
            line.xOffset = -w * 0.5f;
        } else if (flags & kHAlignRight) {
            line.x = mWidth - RoundHalfAway(rightOutline);
            line.xOffset = float(-w);
        } else {
            line.x = RoundHalfAway(leftOutline);
            line.xOffset = 0;
        }
        const long lineLeft = RoundHalfAway(4 * (line.x + line.xOffset));
        boundsLeft = std::min(boundsLeft, lineLeft);
        boundsRight = std::max(boundsRight, lineLeft + RoundHalfAway(pen));
        line.xOffset += lead / 4 + 0.5f;
        // A justification tag ends its line, which keeps the old justification.
        if (justificationChanged)
            nextJustification = mState.Justification();
        total += line.height;
        mLines.push_back(std::move(line));
    }

    if (mJustification & kVAlignCenter) {
        mBounds.y1 = mHeight / 2;
        mBounds.y2 = mHeight - mBounds.y1;
        mVerticalOffset = -total * 0.5f;
    } else if (mJustification & kVAlignBottom) {
        mBounds.y1 = mBounds.y2 = mHeight;
        mVerticalOffset = float(-total);
    } else {
        mBounds.y1 = 0;
        mBounds.y2 = total;
        mVerticalOffset = 0;
    }
    mBounds.x1 = boundsLeft == LONG_MAX ? 0 : int(boundsLeft);
    mBounds.x2 = int(boundsRight);
}

void TTextGraphic::GetTextBounds(TRect* out) const
{
    if (!out)
        return;
    *out = mBounds;
    out->x1 = mBounds.x1 / 4;
    out->x2 = mBounds.x2 / 4;
}

// --- Hit testing ---------------------------------------------------------------

str TTextGraphic::Pick(const TPoint& point, int extraLinePixels) const
{
    float y = mBounds.y1 + mVerticalOffset;
    for (size_t i = size_t(std::max(mScrollLine, 0)); i < mLines.size(); ++i) {
        const TTextLine& line = mLines[i];
        if (y - extraLinePixels <= point.y && point.y < y + line.height) {
            const float origin = line.x + line.xOffset;
            for (const TTextRun& run : line.runs)
                if (origin + run.left <= point.x && point.x < origin + run.right)
                    return run.linkId;
        }
        y += extraLinePixels + line.height;
    }
    return str();
}

bool TTextGraphic::Rollover(const TPoint* point, int extraLinePixels)
{
    str hovered = point ? Pick(*point, extraLinePixels) : str();
    if (hovered == mHoveredLink)
        return false;
    mHoveredLink = hovered;
    return true;
}

int TTextGraphic::GetMaxScroll(float scale, int extraLinePixels) const
{
    if (mLines.empty())
        return 0;
    // Logged in the words this check has always had, which log readers search for.
    if (mBounds.y1 != 0)
        WriteDbg("ASSERT(%s) FAILED!! %s, %d",
                 "mBounds.mY1==0 && \"TTextGraphic::GetMaxScroll can only be called on text that is top-justified "
                 "(kVAlignTop)\"",
                 QM_SOURCE_FILE, __LINE__);
    QM_ASSERT(mRotationCos == 1);
    QM_ASSERT(mRotationSin == 0);
    const int count = GetLineCount();
    float sum = 0;
    for (int k = 0; k < count; ++k) {
        sum += (mLines[count - 1 - k].height + extraLinePixels) * scale;
        if (sum > mHeight)
            return count - k;
    }
    return 0;
}

// --- Drawing -------------------------------------------------------------------

TColor TTextGraphic::RunColour(const TTextRun& run) const
{
    const bool hovered = mHoveredLink.length() > 0 && run.linkId == mHoveredLink;
    return hovered ? run.linkColour : run.colour;
}

void TTextGraphic::DrawInto(const TRect& rect, float scale, int extraLinePixels, float opacity,
                            std::shared_ptr<TSpanTarget> target)
{
    const TTextServices& services = GetTextServices();
    if (!services.rasterizer)
        return;
    TQmMiniVecDraw& draw = *services.rasterizer;
    float viewportScale = 1;
    const bool viewport = !target && services.display && services.display->GetViewPortScale(&viewportScale);
    const float drawScale = viewport ? scale * viewportScale : scale;
    draw.mRotationCos = mRotationCos;
    draw.mRotationSin = mRotationSin;

    float y = mBounds.y1 + scale * mVerticalOffset;
    const float height = float(rect.y2 - rect.y1);
    for (size_t i = size_t(std::max(mScrollLine, 0)); i < mLines.size(); ++i) {
        const TTextLine& line = mLines[i];
        const float bottom = y + mFontSize * scale;
        if (!line.runs.empty() && bottom >= 0 && bottom <= height)
            DrawLine(line, y, rect, scale, drawScale, viewport, viewportScale, opacity, target, draw);
        y += extraLinePixels + line.height;
    }
    draw.Stop();
}

void TTextGraphic::DrawLine(const TTextLine& line, float y, const TRect& rect, float scale, float s, bool viewport,
                            float v, float opacity, const std::shared_ptr<TSpanTarget>& target, TQmMiniVecDraw& draw)
{
    const float cs = mRotationCos, sn = mRotationSin;
    float penX = 0, penY = 0;
    bool italicPrevious = false;
    for (const TTextRun& run : line.runs) {
        if (!run.font)
            continue;
        draw.mItalic = run.italic;
        draw.mStrokeWidth[0] = draw.mStrokeWidth[1] = 0;
        if (run.outlineSize != 0) {
            draw.mStrokeWidth[0] = run.outlineSize;
            draw.SetColor(255, run.outlineColour, opacity);
        }
        if (run.bold || run.font->GetForceBold()) {
            const float w = run.size * scale * 0.0125f * run.font->GetBoldScale();
            const int stroke = run.outlineSize != 0 ? 1 : 0;
            draw.mStrokeWidth[stroke] = w;
            draw.SetColor(stroke ? 254 : 255, RunColour(run), opacity);
            if (stroke)
                draw.mStrokeWidth[0] += w;
        }
        if (viewport) {
            draw.mStrokeWidth[0] *= v;
            draw.mStrokeWidth[1] *= v;
        }

        float ox = line.x + scale * line.xOffset, oy = (line.baseline * 0.25f + y) * scale;
        if (sn != 0) {
            const float dx = ox - mRotationX, dy = oy - mRotationY;
            ox = dx * cs - dy * sn + mRotationX;
            oy = dx * sn + dy * cs + mRotationY;
        }
        if (viewport) {
            ox = float(Truncate(rect.x1 * v + 0.5f)) + ox * v;
            oy = float(Truncate(rect.y1 * v + 0.5f)) + oy * v;
        } else {
            ox += rect.x1;
            oy += rect.y1;
        }
        draw.Start(ox, oy, target);
        draw.SetColor(1, RunColour(run), opacity);

        if (run.italic != italicPrevious) {
            const float shift = s * run.scale / 3 *
                                (italicPrevious ? run.font->GetAscent() : run.font->GetDescent());
            penX += shift * cs;
            penY += shift * sn;
            italicPrevious = run.italic;
        }
        const float startX = penX, startY = penY;
        float advanceSum = 0;
        const char* text = mText.c_str();
        const int length = mText.length();
        for (int at = run.start; at <= run.end && at < length;) {
            int next = at;
            const unsigned long code = DecodeStep(text, length, at, &next);
            at = next;
            const int glyph = run.font->GetGlyphIndex(code);
            if (glyph < 0)
                continue;
            draw.mScaleX = s * run.scale;
            draw.mScaleY = s * run.scale * run.font->GetGlyphScaleY(glyph);
            draw.Draw(run.font->GetGlyphData(glyph), RoundHalfAway(penX), Truncate(penY));
            const float advance = run.font->GetGlyphAdvance(glyph);
            penX += advance * run.scale * s * cs;
            penY += advance * run.scale * s * sn;
            advanceSum += advance;
        }
        if (run.tab) {
            penX = run.tab * s * cs;
            penY = run.tab * s * sn;
        }
        if (run.cursor) {
            draw.mScaleX = 1;
            draw.mScaleY = s * run.scale;
            DrawBox(&draw, 0, RoundHalfAway(run.font->GetDescent()), 3, -RoundHalfAway(run.font->GetAscent()),
                    RoundHalfAway(penX), Truncate(penY));
        }
        if (run.underline && advanceSum > 0) {
            draw.mScaleX = s * run.scale * advanceSum;
            draw.mScaleY = 1;
            draw.mStrokeWidth[0] = draw.mStrokeWidth[1] = 0;
            draw.mItalic = false;
            DrawBox(&draw, 0, 8, 1, 11, RoundHalfAway(startX), Truncate(startY));
        }
    }
}

void DrawBox(TQmMiniVecDraw* draw, int x1, int y1, int x2, int y2, int x, int y)
{
    if (!draw)
        return;
    unsigned char outline[2 + 5 * 5 + 1];
    unsigned char* p = outline;
    auto command = [&p](unsigned char op, int px, int py) {
        *p++ = op;
        for (int v : {px, py}) {
            const int16_t c = int16_t(std::clamp(v, -255, 255) * 128);
            *p++ = uint8_t(uint16_t(c) & 0xff);
            *p++ = uint8_t(uint16_t(c) >> 8);
        }
    };
    *p++ = 2;
    *p++ = 1;
    command(4, x1, y1);
    command(5, x2, y1);
    command(5, x2, y2);
    command(5, x1, y2);
    command(5, x1, y1);
    *p = 8;
    // Never cached: the outline lives on this stack frame, so its address says
    // nothing about its shape.
    draw->Draw(outline, x, y, false);
}

// The description of an animation: the sheet it is cut from, its frames with
// their registration and anchor points, and its Lua script; and the two file
// forms it is read from.
//
// ".anm" (integers 4-byte little-endian and signed; a string is a 4-byte
// length and that many bytes, no terminator, a length of 0 or less being the
// empty string):
//   "ANIM", two reserved values, sequence name, source
//   "IMGN", registration x, y, image width, height, image transform (4 floats),
//           image name, mask name
//   "FRMS", frame count, per frame: registration x, y, x, y, w, h,
//           transform (6 floats), name, anchor count, per anchor: x, y, name
//   optionally "SCRP" and the script
// Animation ".xml": <sequence name source> holding <img name mask regx regy w
// h xform> with <framelist> of <frame name x y w h regx regy xform> holding
// <anchor name x y>, and <script luascript="..."> (or the script as content).
//
// Files come from disk and may be damaged: every count, length and size is
// checked against the bytes that are left before anything is allocated.
#pragma once

#include "engine/base/str.h"
#include "engine/render/rendertypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TTexture;
class TXmlNode;

// The first image-transform value of an animation whose frames carry no transforms.
inline constexpr float kNoImageTransform = -1e7f;

struct TAnimAnchor {
    str name;
    int x = 0, y = 0;  // relative to the frame's top left
};

struct TAnimFrame {
    str name;
    int x = 0, y = 0, w = 0, h = 0;  // the frame's rectangle in the sheet
    int regX = 0, regY = 0;          // relative to the frame's top left
    std::vector<TAnimAnchor> anchors;
    // 2x2 matrix (a, b, c, d) and a translation, applied when drawing the frame.
    float transform[6] = {1, 0, 0, 1, 0, 0};

    // The rectangle in the sheet; edges saturate instead of overflowing.
    TRect SheetRect() const;
};

struct TAnimationRecord {
    str sequenceName, source;  // informational
    str path;                  // the name the animation was requested by
    str image, mask;           // sheet and alpha mask, relative to directory
    str directory;             // path up to its last '/' or '\'
    str palette;               // the last palette file loaded
    str script;                // Lua source
    int width = 0, height = 0;  // largest frame size: the size of the drawing surface
    int lastBlittedFrame = -1;
    int currentFrame = 0;
    int regX = 0, regY = 0;
    int imageWidth = 0, imageHeight = 0;
    float imageTransform[4] = {kNoImageTransform, 0, 0, 0};
    std::shared_ptr<TTexture> sheet;
    std::vector<TAnimFrame> frames;

    int FrameCount() const { return static_cast<int>(frames.size()); }
    bool IsFrame(int index) const { return index >= 0 && index < FrameCount(); }
    bool FramesCarryTransforms() const { return imageTransform[0] != kNoImageTransform; }
    // (-regx, -regy, w - regx, h - regy), or all zero for a bad index.
    TRect FrameBox(int index) const;
    // The first anchor of that name in the frame; false for a bad index or a missing name.
    bool FindAnchor(int index, const str& name, int* x, int* y) const;
    // Sets width and height to the largest frame size.
    void MeasureFrames();
};

// "function DoAnim()\n    delay(60);\n    frames{1,...,count};\nend\n"
// (no frames line without frames). Scripts number frames from 1.
str DefaultAnimationScript(int frameCount);

// Reads ".anm" bytes. On success the file's fields and frames replace the
// record's (a missing script becomes the default one); on failure the record
// is left as it was. False for a wrong tag, a count, length or size beyond the
// bytes that are left, or a frame of negative size.
bool ReadAnmBytes(const std::uint8_t* data, std::size_t size, TAnimationRecord* record);
bool ReadAnmFile(const char* fullPath, TAnimationRecord* record);

// Reads a parsed animation ".xml" document (the holder node of ParseFile).
// `path` names the file in the log. A missing sequence fails at once; a
// missing img, framelist or frame logs and makes the result false, but the
// rest (and the script) is still read.
bool ReadAnimationXml(const TXmlNode& document, const str& path, TAnimationRecord* record);

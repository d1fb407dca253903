#include "engine/render/animationfile.h"

#include "engine/base/debuglog.h"
#include "engine/base/xml.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Saturate(long long value)
{
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// ---------------------------------------------------------------- ".anm"

// The smallest a frame and an anchor can be on disk: a count read from the
// file is believed only when that many of them could still follow.
constexpr std::size_t kMinFrameBytes = 6 * 4 + 6 * 4 + 4 + 4;  // numbers, transform, name, anchor count
constexpr std::size_t kMinAnchorBytes = 4 + 4 + 4;             // x, y, name

// Reads little-endian values from a byte range; every read says whether the bytes were there.
class TAnmCursor {
public:
    TAnmCursor(const std::uint8_t* data, std::size_t size) : mData(data), mSize(size) {}

    std::size_t Left() const { return mSize - mPos; }

    bool Tag(const char* tag)
    {
        if (Left() < 4 || std::memcmp(mData + mPos, tag, 4) != 0)
            return false;
        mPos += 4;
        return true;
    }
    bool PeekTag(const char* tag) const { return Left() >= 4 && std::memcmp(mData + mPos, tag, 4) == 0; }

    bool Int(int* out)
    {
        if (Left() < 4)
            return false;
        const std::uint8_t* p = mData + mPos;
        std::uint32_t bits = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                             std::uint32_t(p[3]) << 24;
        *out = std::int32_t(bits);
        mPos += 4;
        return true;
    }
    bool Float(float* out)
    {
        int bits;
        if (!Int(&bits))
            return false;
        std::memcpy(out, &bits, 4);
        return true;
    }
    bool String(str* out)
    {
        int length;
        if (!Int(&length))
            return false;
        if (length <= 0) {
            *out = str();
            return true;
        }
        if (std::size_t(length) > Left())
            return false;
        *out = str(reinterpret_cast<const char*>(mData + mPos), length);
        mPos += std::size_t(length);
        return true;
    }
    // A count of items at least `itemBytes` long each that can still follow.
    bool Count(int* out, std::size_t itemBytes)
    {
        return Int(out) && *out >= 0 && std::size_t(*out) <= Left() / itemBytes;
    }

private:
    const std::uint8_t* mData;
    std::size_t mSize;
    std::size_t mPos = 0;
};

bool ReadAnmFrame(TAnmCursor& in, TAnimFrame* frame)
{
    int* numbers[] = {&frame->regX, &frame->regY, &frame->x, &frame->y, &frame->w, &frame->h};
    for (int* number : numbers)
        if (!in.Int(number))
            return false;
    for (float& value : frame->transform)
        if (!in.Float(&value))
            return false;
    int anchorCount;
    if (!in.String(&frame->name) || !in.Count(&anchorCount, kMinAnchorBytes))
        return false;
    frame->anchors.resize(std::size_t(anchorCount));
    for (TAnimAnchor& anchor : frame->anchors)
        if (!in.Int(&anchor.x) || !in.Int(&anchor.y) || !in.String(&anchor.name))
            return false;
    return true;
}

bool ReadAnm(TAnmCursor& in, TAnimationRecord* out)
{
    int reserved;
    if (!in.Tag("ANIM") || !in.Int(&reserved) || !in.Int(&reserved))
        return false;
    if (!in.String(&out->sequenceName) || !in.String(&out->source))
        return false;
    if (!in.Tag("IMGN"))
        return false;
    if (!in.Int(&out->regX) || !in.Int(&out->regY) || !in.Int(&out->imageWidth) || !in.Int(&out->imageHeight))
        return false;
    for (float& value : out->imageTransform)
        if (!in.Float(&value))
            return false;
    if (!in.String(&out->image) || !in.String(&out->mask))
        return false;
    int frameCount;
    if (!in.Tag("FRMS") || !in.Count(&frameCount, kMinFrameBytes))
        return false;
    out->frames.resize(std::size_t(frameCount));
    for (TAnimFrame& frame : out->frames)
        if (!ReadAnmFrame(in, &frame))
            return false;
    if (in.Tag("SCRP"))
        return in.String(&out->script);
    out->script = DefaultAnimationScript(out->FrameCount());
    return true;
}

// A frame of negative size has no pixels to copy and no sensible box.
bool FrameSizesValid(const TAnimationRecord& record, const str& path)
{
    for (const TAnimFrame& frame : record.frames)
        if (frame.w < 0 || frame.h < 0) {
            WriteDbg("Animation %s has a frame of negative size", path.c_str());
            return false;
        }
    return true;
}

// ---------------------------------------------------------------- ".xml"

// atoi's reading (blanks, sign, digits, anything after ignored), with values
// beyond the range of int held at its ends.
int XmlInt(const str& text)
{
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    return Saturate(value);
}

// Up to `count` blank-separated numbers into values; the values after the
// last number given are left alone. Returns how many were read.
int XmlFloats(const str& text, float* values, int count)
{
    const char* p = text.c_str();
    int read = 0;
    while (read < count) {
        while (*p == ' ')
            ++p;
        if (!*p)
            break;
        values[read++] = float(std::atof(p));
        while (*p && *p != ' ')
            ++p;
    }
    return read;
}

void ReadXmlImage(const TXmlNode& img, TAnimationRecord* out)
{
    out->image = img.GetAttribute("name");
    out->mask = img.GetAttribute("mask");
    out->regX = XmlInt(img.GetAttribute("regx"));
    out->regY = XmlInt(img.GetAttribute("regy"));
    out->imageWidth = XmlInt(img.GetAttribute("w"));
    out->imageHeight = XmlInt(img.GetAttribute("h"));
    XmlFloats(img.GetAttribute("xform"), out->imageTransform, 4);
}

// Children named `name`, in document order.
std::vector<TXmlNode*> ChildrenNamed(const TXmlNode& parent, const char* name)
{
    std::vector<TXmlNode*> found;
    TXmlNode& node = const_cast<TXmlNode&>(parent);  // iteration moves the cursor only
    node.ResetChildren();
    str childName;
    TXmlNode* child = nullptr;
    while (node.GetNextChild(&childName, &child))
        if (childName == str(name))
            found.push_back(child);
    return found;
}

void ReadXmlFrame(const TXmlNode& element, const TAnimFrame* previous, TAnimFrame* frame)
{
    frame->name = element.GetAttribute("name");
    frame->x = XmlInt(element.GetAttribute("x"));
    frame->y = XmlInt(element.GetAttribute("y"));
    frame->w = XmlInt(element.GetAttribute("w"));
    frame->h = XmlInt(element.GetAttribute("h"));
    str regX = element.GetAttribute("regx");
    if (regX.length()) {
        frame->regX = XmlInt(regX);
        frame->regY = XmlInt(element.GetAttribute("regy"));
    } else if (previous) {
        frame->regX = previous->regX;
        frame->regY = previous->regY;
    }
    str transform = element.GetAttribute("xform");
    if (transform.length())
        XmlFloats(transform, frame->transform, 6);
    else if (previous)
        std::copy(std::begin(previous->transform), std::end(previous->transform), frame->transform);
    for (TXmlNode* anchorElement : ChildrenNamed(element, "anchor")) {
        TAnimAnchor anchor;
        anchor.name = anchorElement->GetAttribute("name");
        anchor.x = XmlInt(anchorElement->GetAttribute("x"));
        anchor.y = XmlInt(anchorElement->GetAttribute("y"));
        frame->anchors.push_back(anchor);
    }
}

}  // namespace

// ---------------------------------------------------------------- record

TRect TAnimFrame::SheetRect() const
{
    return {x, y, Saturate((long long)x + w), Saturate((long long)y + h)};
}

TRect TAnimationRecord::FrameBox(int index) const
{
    if (!IsFrame(index))
        return {};
    const TAnimFrame& f = frames[std::size_t(index)];
    return {Saturate(-(long long)f.regX), Saturate(-(long long)f.regY), Saturate((long long)f.w - f.regX),
            Saturate((long long)f.h - f.regY)};
}

bool TAnimationRecord::FindAnchor(int index, const str& name, int* x, int* y) const
{
    if (!IsFrame(index))
        return false;
    for (const TAnimAnchor& anchor : frames[std::size_t(index)].anchors)
        if (anchor.name == name) {
            if (x)
                *x = anchor.x;
            if (y)
                *y = anchor.y;
            return true;
        }
    return false;
}

void TAnimationRecord::MeasureFrames()
{
    width = height = 0;
    for (const TAnimFrame& frame : frames) {
        width = std::max(width, frame.w);
        height = std::max(height, frame.h);
    }
}

str DefaultAnimationScript(int frameCount)
{
    std::string text = "function DoAnim()\n    delay(60);\n";
    if (frameCount > 0) {
        text += "    frames{";
        for (int i = 1; i <= frameCount; ++i)
            text += (i == 1 ? "" : ",") + std::to_string(i);
        text += "};\n";
    }
    text += "end\n";
    return str(text.c_str());
}

bool ReadAnmBytes(const std::uint8_t* data, std::size_t size, TAnimationRecord* record)
{
    if (!record || (!data && size))
        return false;
    TAnimationRecord read;
    TAnmCursor in(data, size);
    if (!ReadAnm(in, &read) || !FrameSizesValid(read, record->path))
        return false;
    record->sequenceName = read.sequenceName;
    record->source = read.source;
    record->regX = read.regX;
    record->regY = read.regY;
    record->imageWidth = read.imageWidth;
    record->imageHeight = read.imageHeight;
    std::copy(std::begin(read.imageTransform), std::end(read.imageTransform), record->imageTransform);
    record->image = read.image;
    record->mask = read.mask;
    record->frames = std::move(read.frames);
    record->script = read.script;
    record->lastBlittedFrame = -1;
    record->MeasureFrames();
    return true;
}

bool ReadAnmFile(const char* fullPath, TAnimationRecord* record)
{
    std::FILE* file = std::fopen(fullPath, "rb");
    if (!file)
        return false;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    bool readError = std::ferror(file) != 0;
    std::fclose(file);
    return !readError && ReadAnmBytes(bytes.data(), bytes.size(), record);
}

bool ReadAnimationXml(const TXmlNode& document, const str& path, TAnimationRecord* record)
{
    TXmlNode* sequence = document.GetChild("sequence");
    if (!sequence) {
        WriteDbg("Animation %s does not contain a sequence node", path.c_str());
        return false;
    }
    bool ok = true;
    record->sequenceName = sequence->GetAttribute("name");
    record->source = sequence->GetAttribute("source");

    TXmlNode* img = sequence->GetChild("img");
    if (img)
        ReadXmlImage(*img, record);
    else {
        WriteDbg("Animation %s does not contain an img node", path.c_str());
        ok = false;
    }

    // The frame list belongs inside the img element; one written next to it,
    // directly in the sequence, is read as well.
    TXmlNode* framelist = img ? img->GetChild("framelist") : nullptr;
    if (!framelist)
        framelist = sequence->GetChild("framelist");
    if (!framelist) {
        WriteDbg("Animation %s does not contain a framelist node", path.c_str());
        ok = false;
    } else {
        std::vector<TXmlNode*> elements = ChildrenNamed(*framelist, "frame");
        if (elements.empty()) {
            WriteDbg("Animation %s does not contain any frames!", path.c_str());
            ok = false;
        }
        record->frames.clear();
        record->frames.resize(elements.size());
        for (std::size_t i = 0; i < elements.size(); ++i)
            ReadXmlFrame(*elements[i], i ? &record->frames[i - 1] : nullptr, &record->frames[i]);
        record->lastBlittedFrame = -1;
        record->MeasureFrames();
        if (!FrameSizesValid(*record, path))
            ok = false;
    }

    if (TXmlNode* script = sequence->GetChild("script")) {
        str text = script->GetAttribute("luascript");
        record->script = text.length() ? text : script->GetContent();
    } else {
        record->script = DefaultAnimationScript(record->FrameCount());
    }
    return ok;
}

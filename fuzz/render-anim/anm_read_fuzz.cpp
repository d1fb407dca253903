// Feeds arbitrary bytes to both animation readers: as an ".anm" file and as
// an animation ".xml" document; then asks every frame for its box and
// anchors. Nothing may crash, overrun or allocate beyond the input's size
// (a count is believed only when that many items could still follow).
#include "engine/base/xml.h"
#include "engine/render/animationfile.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

void Exercise(const TAnimationRecord& record)
{
    TRect box;
    for (int i = -1; i <= record.FrameCount(); ++i) {
        box = TRect::Union(box, record.FrameBox(i));
        int x = 0, y = 0;
        record.FindAnchor(i, str("hand"), &x, &y);
        if (record.IsFrame(i))
            (void)record.frames[std::size_t(i)].SheetRect();
    }
    (void)DefaultAnimationScript(record.FrameCount());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TAnimationRecord anm;
    if (ReadAnmBytes(data, size, &anm))
        Exercise(anm);

    TXmlNode document;
    document.ParseBytes(reinterpret_cast<const char*>(data), int(std::min<std::size_t>(size, INT_MAX)));
    TAnimationRecord xml;
    ReadAnimationXml(document, str("fuzz"), &xml);
    Exercise(xml);
    return 0;
}

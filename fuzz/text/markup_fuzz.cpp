// Fuzzes the markup layout: any text lays out, hit-tests and draws without
// reading outside its bytes or the layout's stacks. The first two bytes pick
// the box width and the justification.
#include "engine/text/textgraphic.h"
#include "engine/text/textservices.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TQmMiniVecDraw draw;
    static auto surface = std::make_shared<TMemorySurface>(128, 64);
    SetTextServices(TTextServices{nullptr, &draw, nullptr});
    const int width = size > 0 ? 8 + data[0] : 100;
    const int justification = size > 1 ? data[1] & 15 : 0;
    const std::string text(reinterpret_cast<const char*>(data) + (size > 2 ? 2 : size), size > 2 ? size - 2 : 0);
    TTextGraphic* graphic = TTextGraphic::Create(text.c_str(), width, 60, justification, "", 12, TColor{1, 1, 1, 1});
    graphic->Pick(TPoint{width / 2, 5}, 2);
    TPoint point{10, 10};
    graphic->Rollover(&point, 0);
    graphic->GetMaxScroll(1.0f, 0);
    graphic->DrawInto(TRect{0, 0, 127, 63}, 1.0f, 0, 1.0f, surface);
    graphic->Destroy();
    SetTextServices(TTextServices{});
    return 0;
}

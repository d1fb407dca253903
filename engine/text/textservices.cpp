#include "engine/text/textservices.h"

namespace {

TTextServices gServices;

}  // namespace

void SetTextServices(const TTextServices& services) { gServices = services; }

const TTextServices& GetTextServices() { return gServices; }

TFontData& GetFontData()
{
    if (gServices.fonts)
        return *gServices.fonts;
    static TFontData own;
    return own;
}

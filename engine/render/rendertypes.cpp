#include "engine/render/rendertypes.h"

#include <algorithm>

TRect TRect::Intersect(const TRect& o) const
{
    TRect r{std::max(x1, o.x1), std::max(y1, o.y1), std::min(x2, o.x2), std::min(y2, o.y2)};
    if (r.IsEmpty())
        return {};
    return r;
}

TRect TRect::Union(const TRect& o) const
{
    if (IsEmpty())
        return o;
    if (o.IsEmpty())
        return *this;
    return {std::min(x1, o.x1), std::min(y1, o.y1), std::max(x2, o.x2), std::max(y2, o.y2)};
}

#include "engine/platform/headless/headlessbackend.h"

namespace qm {

THeadlessBackend::~THeadlessBackend()
{
    if (log)
        log->push_back("backend");
}

void THeadlessBackend::Sleep(int ms)
{
    sleeps.push_back(ms);
    now += static_cast<std::uint32_t>(ms);
}

bool THeadlessBackend::WaitEvent(TRawEvent* out, int)
{
    if (pending.empty())
        return false;
    *out = pending.front();
    pending.pop_front();
    return true;
}

void THeadlessBackend::MousePosition(int* x, int* y)
{
    *x = mouseX;
    *y = mouseY;
}

bool THeadlessBackend::OpenWindow(int w, int h)
{
    if (windowFails)
        return false;
    window = true;
    width = w;
    height = h;
    return true;
}

bool THeadlessBackend::SetFullscreen(bool on)
{
    if (!window || fullscreenFails)
        return false;
    fullscreen = on;
    return true;
}

void THeadlessBackend::WarpMouseToCentre()
{
    ++warps;
    mouseX = width / 2;
    mouseY = height / 2;
}

void THeadlessBackend::DrawableSize(int* w, int* h)
{
    *w = window ? width : 0;
    *h = window ? height : 0;
}

bool THeadlessBackend::OpenUrl(const char* url)
{
    urls.emplace_back(url);
    return true;
}

}  // namespace qm

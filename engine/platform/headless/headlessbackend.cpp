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
    int w = 0, h = 0;
    DrawableSize(&w, &h);
    mouseX = w / 2;
    mouseY = h / 2;
}

void THeadlessBackend::DrawableSize(int* w, int* h)
{
    const bool desktop = fullscreen && desktopWidth > 0 && desktopHeight > 0;
    *w = !window ? 0 : desktop ? desktopWidth : width;
    *h = !window ? 0 : desktop ? desktopHeight : height;
}

bool THeadlessBackend::OpenUrl(const char* url)
{
    urls.emplace_back(url);
    return !browserFails;
}

}  // namespace qm

#include "engine/render/gl/gltexturepages.h"

#include "engine/base/debuglog.h"

#include <algorithm>

// The handler goes with the context and has drawn what it held.
TGLTexturePages::~TGLTexturePages()
{
    for (const auto& page : mPages)
        glDeleteTextures(1, &page->texture);
}

bool TGLTexturePages::AddPage()
{
    mWork.BeginGLWork(EGLWork::kRecordable, 0);  // a new texture: nothing has drawn from it
    while (glGetError() != GL_NO_ERROR) {
    }
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    auto page = std::make_unique<TPage>();
    glGenTextures(1, &page->texture);
    glBindTexture(GL_TEXTURE_2D, page->texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // What no image covers is never sampled: it is left undefined.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kPageSize, kPageSize, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    glBindTexture(GL_TEXTURE_2D, GLuint(previous));
    if (glGetError() != GL_NO_ERROR) {
        WriteDbg("No texture page of %dx%d: images keep textures of their own", kPageSize, kPageSize);
        glDeleteTextures(1, &page->texture);
        return false;
    }
    mPages.push_back(std::move(page));
    return true;
}

bool TGLTexturePages::Allocate(int width, int height, TGLPageRegion* region)
{
    if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide)
        return false;
    for (const auto& page : mPages)
        if (page->packer.Allocate(width, height, &region->rect)) {
            region->texture = page->texture;
            return true;
        }
    if (!AddPage() || !mPages.back()->packer.Allocate(width, height, &region->rect))
        return false;
    region->texture = mPages.back()->texture;
    return true;
}

void TGLTexturePages::Free(const TGLPageRegion& region)
{
    auto page = std::find_if(mPages.begin(), mPages.end(),
                             [&](const auto& p) { return p->texture == region.texture; });
    if (page == mPages.end())
        return;
    (*page)->packer.Free(region.rect);
    if ((*page)->packer.IsEmpty())
        DeletePage(page);
}

void TGLTexturePages::DeletePage(std::vector<std::unique_ptr<TPage>>::iterator page)
{
    mWork.BeginGLWork(EGLWork::kTextureWrite, (*page)->texture);
    glDeleteTextures(1, &(*page)->texture);
    mPages.erase(page);
}

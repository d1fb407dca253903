#include "engine/render/gl/glframerecorder.h"

#include "engine/base/debuglog.h"
#include "engine/render/gl/glstate.h"
#include "engine/render/gl/glstats.h"

#include <utility>

TGLFrameRecorder::TGLFrameRecorder(IGLRecordHost& host, const TGLQuadPrograms& programs)
    : mHost(host), mPrograms(programs)
{
}

void TGLFrameRecorder::SetPartialRedraw(bool on)
{
    mPartialRedraw = on;
    mLastFrameShown = false;
}

bool TGLFrameRecorder::BeginFrame(bool toWindow, int width, int height)
{
    mWidth = width;
    mHeight = height;
    // Any frame that is not recorded leaves the window unlike the record.
    mRecording = toWindow && mSwapKeepsWindow && mPartialRedraw;
    if (!mRecording)
        mLastFrameShown = false;
    mFrame.Clear();
    return mRecording;
}

void TGLFrameRecorder::BeforeWork(EGLWork kind, GLuint texture)
{
    switch (kind) {
    case EGLWork::kRecordable:
        return;
    case EGLWork::kUnrecordable:
        DrawRecorded();
        return;
    case EGLWork::kTextureWrite:
        // Runs recorded from the texture must be drawn with the pixels it has now.
        if (mRecording && mFrame.Uses(texture))
            DrawRecorded();
        if (texture)
            ++mGenerations[texture];
        return;
    }
}

bool TGLFrameRecorder::MayRecordRun()
{
    if (!mRecording || mHost.DrawsIntoTarget())
        return false;
    // The record draws with the 2D pass's projection: a run drawn outside
    // one is drawn now, with what was recorded before it.
    if (mHost.InRecordablePass())
        return true;
    DrawRecorded();
    return false;
}

TGLDrawRuns::TRunState TGLFrameRecorder::RunState(TGLDrawRuns::EKind kind, GLuint texture) const
{
    TGLDrawRuns::TRunState state;
    state.kind = kind;
    state.texture = texture;
    const auto generation = mGenerations.find(texture);
    state.generation = generation == mGenerations.end() ? 0 : generation->second;
    state.scissor = mHost.GetScissorBox();
    return state;
}

bool TGLFrameRecorder::TakeSprites(GLuint texture, EBlendModes blend, EFilteringModes filter, const void* vertices,
                                   int count)
{
    if (!MayRecordRun())
        return false;
    TGLDrawRuns::TRunState state = RunState(TGLDrawRuns::EKind::kSprites, texture);
    state.blend = blend;
    state.filter = filter;
    mFrame.Add(state, vertices, count);
    return true;
}

bool TGLFrameRecorder::TakeGlyphs(GLuint atlas, const void* vertices, int count)
{
    if (!MayRecordRun())
        return false;
    mFrame.Add(RunState(TGLDrawRuns::EKind::kGlyphs, atlas), vertices, count);
    return true;
}

bool TGLFrameRecorder::TakeLines(const void* vertices, int count)
{
    if (!MayRecordRun())
        return false;
    // Lines are drawn with the whole display as scissor box.
    TGLDrawRuns::TRunState state = RunState(TGLDrawRuns::EKind::kLines, 0);
    state.scissor = {0, 0, mWidth, mHeight};
    mFrame.Add(state, vertices, count);
    return true;
}

bool TGLFrameRecorder::RecordCopy(GLuint framebuffer, GLuint texture, TPoint source, const TRect& placed)
{
    if (!mRecording || mHost.DrawsIntoTarget())
        return false;
    TGLDrawRuns::TRunState state = RunState(TGLDrawRuns::EKind::kBlit, texture);
    state.framebuffer = framebuffer;
    state.source = source;
    state.placed = placed;
    mFrame.Add(state, nullptr, 0);
    return true;
}

void TGLFrameRecorder::DrawRecorded()
{
    if (!mRecording)
        return;
    mRecording = false;
    DrawRecord(nullptr);
    mFrame.Clear();
    // Drawn partly at once, the frame is not all in the record.
    mLastFrameShown = false;
    ++GLDrawStats().wholeFrames;
}

void TGLFrameRecorder::FinishFrame()
{
    if (!mRecording)
        return;
    mRecording = false;
    TGLDrawStats& stats = GLDrawStats();
    if (mLastFrameShown) {
        constexpr std::size_t kMostRectangles = 16;
        const std::vector<TRect> changed = mFrame.ChangedSince(mLastFrame, mWidth, mHeight, kMostRectangles);
        DrawRecord(&changed);
        ++stats.partialFrames;
        for (const TRect& r : changed)
            stats.redrawnPixels += std::int64_t(r.Width()) * r.Height();
        if (mCheckPartialFrames)
            CheckAgainstWholeRedraw();
    } else {
        DrawRecord(nullptr);
        ++stats.wholeFrames;
        stats.redrawnPixels += std::int64_t(mWidth) * mHeight;
    }
    std::swap(mFrame, mLastFrame);
    mFrame.Clear();
    mLastFrameShown = true;
}

void TGLFrameRecorder::DrawRecord(const std::vector<TRect>* within)
{
    mHost.BindWindow();
    glViewport(0, 0, mWidth, mHeight);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_SCISSOR_TEST);
    {
        TScopedPixelProjection projection(mWidth, mHeight);
        if (within)
            mFrame.DrawWithin(mPrograms, *within, mWidth, mHeight);
        else
            mFrame.DrawWhole(mPrograms, mWidth, mHeight);
    }
    glPopAttrib();
    mHost.RestoreSurface();
}

void TGLFrameRecorder::CheckAgainstWholeRedraw()
{
    std::vector<unsigned char> part(std::size_t(mWidth) * mHeight * 4), whole(part.size());
    auto readWindow = [&](std::vector<unsigned char>& into) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, mWidth, mHeight, GL_RGBA, GL_UNSIGNED_BYTE, into.data());
    };
    readWindow(part);
    DrawRecord(nullptr);
    readWindow(whole);
    mHost.RestoreSurface();
    if (part != whole) {
        ++mPartialFrameMismatches;
        WriteDbg("A frame drawn where it changed differs from the same frame drawn whole");
    }
}

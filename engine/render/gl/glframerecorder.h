// Frames recorded rather than drawn, and drawn at their end only where they
// changed. Where the window keeps its pixels across a swap (a copying swap,
// as software GL's on X does), a frame that goes straight to the window is
// recorded: the queues' runs (IGLRunSink) and the framebuffer copies, with
// their state. At the frame's end it is compared with the frame before,
// which the window still shows, and drawn only inside the rectangles where
// the two differ (gldrawruns.h), which gives every pixel a whole redraw
// would. GL work the record cannot keep (glwork.h) draws what was recorded,
// whole, and the rest of the frame is drawn at once; the frame after it is
// then drawn whole.
//
// The recorder owns both frames (the one being recorded and the one the
// window shows), the textures' generations, and the check that draws every
// partial frame whole again (tests and the level benchmark).
#pragma once

#include "engine/render/gl/gldrawruns.h"
#include "engine/render/gl/glspritebatch.h"
#include "engine/render/gl/glwork.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

class TGLQuadPrograms;

// What the recorder asks of the display handler.
class IGLRecordHost {
public:
    // Runs are drawn into a render target now (never recorded).
    virtual bool DrawsIntoTarget() const = 0;
    // A 2D pass is open (or a joined one waits): the record's projection.
    virtual bool InRecordablePass() const = 0;
    // The scissor box runs and copies are drawn with now, in screen pixels.
    virtual const TRect& GetScissorBox() const = 0;
    // Binds the window, rows top first, for the record's drawing; and then
    // the surface drawn to now again, with its scissor box.
    virtual void BindWindow() = 0;
    virtual void RestoreSurface() = 0;

protected:
    ~IGLRecordHost() = default;
};

class TGLFrameRecorder : public IGLRunSink {
public:
    TGLFrameRecorder(IGLRecordHost& host, const TGLQuadPrograms& programs);

    // Whether the context's swap leaves the frame in the back buffer: only
    // then can a frame be drawn over the one before.
    void SetSwapKeepsWindow(bool keeps) { mSwapKeepsWindow = keeps; }
    bool SwapKeepsWindow() const { return mSwapKeepsWindow; }
    // On by default; off, every frame is drawn whole.
    void SetPartialRedraw(bool on);

    // A frame of width x height begins; it is recorded when it goes to the
    // window and the window keeps what the last one drew. True: recorded.
    bool BeginFrame(bool toWindow, int width, int height);
    bool IsRecording() const { return mRecording; }
    // What GL work of that kind means for the record (the handler has sent
    // the queued runs on already).
    void BeforeWork(EGLWork kind, GLuint texture);
    // Records a copy of the framebuffer whose texture is `texture`, from
    // `source` to the screen box `placed`; false when the frame is not recorded.
    bool RecordCopy(GLuint framebuffer, GLuint texture, TPoint source, const TRect& placed);
    // The frame's end: drawn where it changed since the frame the window
    // shows, or whole.
    void FinishFrame();
    // The window no longer shows the last recorded frame as it was drawn (a
    // display or window change, black over it, another frame shown): the
    // next recorded frame is drawn whole.
    void ForgetWindow() { mLastFrameShown = false; }

    // Each frame drawn in part is drawn whole again and compared; the count
    // of frames that differed.
    void SetCheckPartialFrames(bool on) { mCheckPartialFrames = on; }
    int GetPartialFrameMismatches() const { return mPartialFrameMismatches; }

    // IGLRunSink: the queues' runs, recorded while a frame is.
    bool TakeSprites(GLuint texture, EBlendModes blend, EFilteringModes filter, const void* vertices,
                     int count) override;
    bool TakeGlyphs(GLuint atlas, const void* vertices, int count) override;
    bool TakeLines(const void* vertices, int count) override;

private:
    // Whether a run may be recorded now (drawn to the screen in a 2D pass);
    // when the frame is recorded but the run may not be, the recording stops.
    bool MayRecordRun();
    TGLDrawRuns::TRunState RunState(TGLDrawRuns::EKind kind, GLuint texture) const;
    // Draws what was recorded, whole, and stops recording.
    void DrawRecorded();
    void DrawRecord(const std::vector<TRect>* within);
    void CheckAgainstWholeRedraw();

    IGLRecordHost& mHost;
    const TGLQuadPrograms& mPrograms;
    int mWidth = 0, mHeight = 0;
    bool mSwapKeepsWindow = false;
    bool mPartialRedraw = true;
    bool mRecording = false;       // this frame is recorded, not yet drawn
    bool mLastFrameShown = false;  // the window holds mLastFrame, drawn whole
    TGLDrawRuns mFrame, mLastFrame;
    // Bumped each time a texture's pixels change, so that a run drawn from
    // it compares unequal with the same run of an earlier frame.
    std::unordered_map<GLuint, std::uint32_t> mGenerations;
    bool mCheckPartialFrames = false;
    int mPartialFrameMismatches = 0;
};

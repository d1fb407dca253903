// The kinds of GL work, as they bear on a frame being recorded
// (glframerecorder.h). Every method of the display handler, the texture data
// and the texture pages that calls GL opens with one BeginGLWork call that
// names its kind; only checks that return before any work, and calls that
// get the GL names the work needs (they name their own work), come before it
// (tests/render/glwork/check-gl-work holds the sources to that). The queued
// sprites, glyphs and lines go first (to GL or the record), so drawing keeps
// its order, and then the kind decides what happens to the record. A wrong
// kind leaves stale pixels on the window, so when in doubt a method is
// kUnrecordable: that costs a frame drawn whole, never a wrong pixel.
#pragma once

#include "engine/render/gl/glheaders.h"

#include <cstdint>

enum class EGLWork : std::uint8_t {
    // Can go on while a frame is recorded: it draws nothing onto the screen
    // at once (GL state the record sets again itself, objects made, a render
    // target's begin and end), or it draws through the queues and the record.
    kRecordable,
    // Cannot be recorded: it draws onto the screen at once, reads it back, or
    // changes state that the recorded runs would be drawn with. What was
    // recorded is drawn first, whole, the rest of the frame at once, and the
    // next frame whole.
    kUnrecordable,
    // Changes the pixels of one texture (an upload, a fill, drawing into it,
    // deleting it). A recorded frame that already drew from it is drawn
    // first, as with kUnrecordable; runs drawn from it afterwards compare as
    // changed with every earlier frame's.
    kTextureWrite,
};

// Where GL work is announced: the display handler.
class IGLWorkGate {
public:
    // `texture` is the GL name a kTextureWrite changes (0: none).
    virtual void BeginGLWork(EGLWork kind, GLuint texture) = 0;

protected:
    ~IGLWorkGate() = default;
};

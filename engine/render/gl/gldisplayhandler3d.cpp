// The handler's 3D state: depth, culling, shading, matrices, lights and
// materials. None of it can be recorded (the record draws 2D passes only), so
// each call draws what a recorded frame holds first.
#include "engine/render/gl/gldisplayhandler.h"

#include <array>
#include <numbers>

namespace {

// Matrices are row-vector (p' = p x M) and row-major, which is the memory
// layout glLoadMatrixf expects of GL's column-vector, column-major matrices.
const GLfloat* GLMatrix(const TMat4& m)
{
    return &m.m[0].x;
}

// The 3D matrices come in a left-handed convention; this turns them into
// GL's (z negated: RotateY(pi) followed by Scale(-1, 1, 1)).
TMat4 Handedness()
{
    TMat4 h;
    h.RotateY(std::numbers::pi_v<float>);
    h.Scale(-1, 1, 1);
    return h;
}

// A colour as the four floats GL's light and material calls take.
std::array<GLfloat, 4> Rgba(const TColor& c)
{
    return {c.r, c.g, c.b, c.a};
}

GLenum FrontFaceOnSurface(GLenum windingOnScreen)
{
    return windingOnScreen == GL_CCW ? GL_CW : GL_CCW;
}

}  // namespace

bool TGLDisplayHandler::Begin3d()
{
    BeginGLWork(EGLWork::kUnrecordable);
    ClearDepthIfPending();
    SetFilteringMode(kFilterLinear);
    glPushAttrib(GL_ENABLE_BIT);
    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(FrontFaceOnSurface(GL_CCW));
    return true;
}

void TGLDisplayHandler::End3d()
{
    BeginGLWork(EGLWork::kUnrecordable);
    glPopAttrib();
}

// Called by Begin3d and the depth setters after they named their work.
void TGLDisplayHandler::ClearDepthIfPending()
{
    if (!mDepthClearPending || mRenderTarget)
        return;
    mDepthClearPending = false;
    if (mDepthClearBox.x2 >= 1 && mDepthClearBox.y2 >= 1)
        glScissor(mDepthClearBox.x1, SurfaceRow(mDepthClearBox.y1, mDepthClearBox.y2), mDepthClearBox.x2,
                  mDepthClearBox.y2);
    GLboolean mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthMask(mask);
    ApplyScissor();
}

void TGLDisplayHandler::SetShadeMode(EShadeModes mode)
{
    BeginGLWork(EGLWork::kUnrecordable);
    glShadeModel(mode == kShadeFlat ? GL_FLAT : GL_SMOOTH);
}

void TGLDisplayHandler::SetZBufferWrite(bool on)
{
    BeginGLWork(EGLWork::kUnrecordable);
    if (on)
        ClearDepthIfPending();
    glDepthMask(on ? GL_TRUE : GL_FALSE);
}

void TGLDisplayHandler::SetZBufferTest(bool on)
{
    BeginGLWork(EGLWork::kUnrecordable);
    if (on)
        ClearDepthIfPending();
    if (on)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

void TGLDisplayHandler::SetCullMode(ECullModes mode)
{
    BeginGLWork(EGLWork::kUnrecordable);
    switch (mode) {
    case kCullNone:
        glDisable(GL_CULL_FACE);
        break;
    case kCullClockwise:
        glEnable(GL_CULL_FACE);
        glFrontFace(FrontFaceOnSurface(GL_CW));
        break;
    case kCullCounterClockwise:
        glEnable(GL_CULL_FACE);
        glFrontFace(FrontFaceOnSurface(GL_CCW));
        break;
    }
}

void TGLDisplayHandler::SetAmbientColor(const TColor& colour)
{
    BeginGLWork(EGLWork::kUnrecordable);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, Rgba(colour).data());
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
}

void TGLDisplayHandler::LoadModelView()
{
    BeginGLWork(EGLWork::kUnrecordable);
    TMat4 loaded = mWorldView * Handedness();
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(GLMatrix(loaded));
}

void TGLDisplayHandler::SetWorldMatrix(const TMat4* m)
{
    if (!m)
        return;
    mWorld = *m;
    mWorldView = mWorld * mView;
    LoadModelView();
}

void TGLDisplayHandler::SetViewMatrix(const TMat4* m)
{
    if (!m)
        return;
    mView = *m;
    mWorldView = mWorld * mView;
    LoadModelView();
}

void TGLDisplayHandler::SetProjectionMatrix(const TMat4* m)
{
    BeginGLWork(EGLWork::kUnrecordable);
    if (!m)
        return;
    mProjection = *m;
    TMat4 loaded = mProjection;
    loaded.Scale(-1, 1, 1);
    // Every surface is stored top row first and the present flips it; a 3D
    // projection is flipped here as well so 3D content comes out upright.
    // The flip reverses the winding seen in window space (see FrontFaceOnSurface).
    loaded.Scale(1, -1, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(GLMatrix(loaded));
    glMatrixMode(GL_MODELVIEW);
}

void TGLDisplayHandler::SetView(const TVec3& eye, const TVec3& at, const TVec3& up)
{
    TMat4 h = Handedness();
    TMat4 view;
    view.LookAt(h * eye, h * at, h * up);
    SetViewMatrix(&view);
}

void TGLDisplayHandler::SetPerspectiveProjection(float nearZ, float farZ, float fovY, float aspect)
{
    if (aspect == 0.0f)
        aspect = mViewport.y2 > 0 ? float(mViewport.x2) / float(mViewport.y2) : 1.0f;
    TMat4 projection;
    projection.Perspective(nearZ, farZ, fovY, aspect);
    projection.Scale(0.88f, 0.88f, 1.0f);
    SetProjectionMatrix(&projection);
}

void TGLDisplayHandler::SetOrthogonalProjection(float nearZ, float farZ)
{
    float x = float(mViewport.x1), y = float(mViewport.y1);
    TMat4 projection;
    projection.Orthogonal(x, x + mViewport.x2, y, y + mViewport.y2, nearZ, farZ);
    SetProjectionMatrix(&projection);
}

void TGLDisplayHandler::GetWorldMatrix(TMat4* m)
{
    if (m)
        *m = mWorld;
}

void TGLDisplayHandler::GetViewMatrix(TMat4* m)
{
    if (m)
        *m = mView;
}

void TGLDisplayHandler::GetProjectionMatrix(TMat4* m)
{
    if (m)
        *m = mProjection;
}

void TGLDisplayHandler::SetMaterial(const TMaterial* material)
{
    BeginGLWork(EGLWork::kUnrecordable);
    // No material is black, opaque and dull.
    const TMaterial m =
        material ? *material : TMaterial{{0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, Rgba(m.diffuse).data());
    glMaterialfv(GL_FRONT, GL_AMBIENT, Rgba(m.ambient).data());
    glMaterialfv(GL_FRONT, GL_SPECULAR, Rgba(m.specular).data());
    glMaterialfv(GL_FRONT, GL_EMISSION, Rgba(m.emissive).data());
    glMaterialf(GL_FRONT, GL_SHININESS, m.power);
}

void TGLDisplayHandler::SetLight(int index, const TLight* light)
{
    BeginGLWork(EGLWork::kUnrecordable);
    if (index < 0 || index > 3)
        return;
    GLenum id = GLenum(GL_LIGHT0 + index);
    if (!light) {
        glDisable(id);
        return;
    }
    TMat4 h = Handedness();
    TVec3 position = h * light->position;
    TVec3 direction = h * light->direction;
    glEnable(GL_LIGHTING);
    glEnable(id);
    glLightfv(id, GL_AMBIENT, Rgba(light->ambient).data());
    glLightfv(id, GL_DIFFUSE, Rgba(light->diffuse).data());
    glLightfv(id, GL_SPECULAR, Rgba(light->specular).data());
    GLfloat at[4] = {position.x, position.y, position.z, 1};
    GLfloat towards[4] = {direction.x, direction.y, direction.z, 0};
    if (light->kind == TLight::kPoint) {
        glLightfv(id, GL_POSITION, at);
    } else if (light->kind == TLight::kSpot) {
        glLightfv(id, GL_SPOT_DIRECTION, towards);
        glLightfv(id, GL_POSITION, at);
    } else {
        glLightfv(id, GL_POSITION, towards);
    }
}

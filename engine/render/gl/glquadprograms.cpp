#include "engine/render/gl/glquadprograms.h"

#include "engine/base/debuglog.h"
#include "engine/render/gl/glstate.h"

namespace {

// Position and texture coordinate as the fixed pipeline takes them; the
// colour clamped as it clamps vertex colours.
const char* const kVertexSource =
    "#version 130\n"
    "out vec2 texel;\n"
    "out vec4 tint;\n"
    "void main() {\n"
    "    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;\n"
    "    texel = gl_MultiTexCoord0.xy;\n"
    "    tint = clamp(gl_Color, 0.0, 1.0);\n"
    "}\n";

const char* const kModulateSource =
    "#version 130\n"
    "uniform sampler2D image;\n"
    "in vec2 texel;\n"
    "in vec4 tint;\n"
    "void main() { gl_FragColor = texture(image, texel) * tint; }\n";

const char* const kReplaceSource =
    "#version 130\n"
    "uniform sampler2D image;\n"
    "in vec2 texel;\n"
    "void main() { gl_FragColor = texture(image, texel); }\n";

GLuint CompileStage(GLenum kind, const char* source)
{
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled)
        return shader;
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    WriteDbg("A quad shader does not compile; the fixed pipeline draws instead: %s", log);
    glDeleteShader(shader);
    return 0;
}

GLuint LinkProgram(const char* fragmentSource)
{
    GLuint vertex = CompileStage(GL_VERTEX_SHADER, kVertexSource);
    GLuint fragment = vertex ? CompileStage(GL_FRAGMENT_SHADER, fragmentSource) : 0;
    GLuint program = 0;
    if (vertex && fragment) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            WriteDbg("A quad shader program does not link; the fixed pipeline draws instead");
            glDeleteProgram(program);
            program = 0;
        }
    }
    // Attached shaders go with their program.
    if (vertex)
        glDeleteShader(vertex);
    if (fragment)
        glDeleteShader(fragment);
    return program;
}

}  // namespace

void TGLQuadPrograms::Build()
{
    if (mBuilt)
        return;
    mBuilt = true;
    if (!GLVersionAtLeast(3, 0))  // GLSL 1.30 comes with GL 3.0
        return;
    mModulate = LinkProgram(kModulateSource);
    mReplace = mModulate ? LinkProgram(kReplaceSource) : 0;
    if (!mReplace && mModulate) {
        glDeleteProgram(mModulate);
        mModulate = 0;
    }
}

void TGLQuadPrograms::Release()
{
    if (mModulate)
        glDeleteProgram(mModulate);
    if (mReplace)
        glDeleteProgram(mReplace);
    mModulate = mReplace = 0;
    mBuilt = false;
}

GLuint TGLQuadPrograms::UsableNow(GLuint program)
{
    // Lighting and fog are what the programs leave out; the handler never
    // turns on texture matrices or texture coordinate generation.
    return program && !glIsEnabled(GL_LIGHTING) && !glIsEnabled(GL_FOG) ? program : 0;
}

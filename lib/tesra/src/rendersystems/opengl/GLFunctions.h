#pragma once

// The one place that pulls in the OpenGL headers; everything past GL 1.1 is reached through `gl`.
#include <GL/gl.h>
#include <GL/glext.h>

namespace tesra
{
    namespace opengl
    {
        struct Functions
        {
            PFNGLACTIVETEXTUREPROC ActiveTexture = nullptr;
            PFNGLBLENDEQUATIONSEPARATEPROC BlendEquationSeparate = nullptr;
            PFNGLBLENDFUNCSEPARATEPROC BlendFuncSeparate = nullptr;
            PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
            PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
            PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
            PFNGLFRAMEBUFFERTEXTURE2DPROC FramebufferTexture2D = nullptr;
            PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
            PFNGLGENBUFFERSPROC GenBuffers = nullptr;
            PFNGLDELETEBUFFERSPROC DeleteBuffers = nullptr;
            PFNGLBINDBUFFERPROC BindBuffer = nullptr;
            PFNGLBUFFERDATAPROC BufferData = nullptr;
            PFNGLCREATESHADERPROC CreateShader = nullptr;
            PFNGLSHADERSOURCEPROC ShaderSource = nullptr;
            PFNGLCOMPILESHADERPROC CompileShader = nullptr;
            PFNGLGETSHADERIVPROC GetShaderiv = nullptr;
            PFNGLGETSHADERINFOLOGPROC GetShaderInfoLog = nullptr;
            PFNGLDELETESHADERPROC DeleteShader = nullptr;
            PFNGLCREATEPROGRAMPROC CreateProgram = nullptr;
            PFNGLATTACHSHADERPROC AttachShader = nullptr;
            PFNGLBINDATTRIBLOCATIONPROC BindAttribLocation = nullptr;
            PFNGLLINKPROGRAMPROC LinkProgram = nullptr;
            PFNGLGETPROGRAMIVPROC GetProgramiv = nullptr;
            PFNGLGETPROGRAMINFOLOGPROC GetProgramInfoLog = nullptr;
            PFNGLDELETEPROGRAMPROC DeleteProgram = nullptr;
            PFNGLUSEPROGRAMPROC UseProgram = nullptr;
            PFNGLGETUNIFORMLOCATIONPROC GetUniformLocation = nullptr;
            PFNGLUNIFORM1IPROC Uniform1i = nullptr;
            PFNGLUNIFORM1FPROC Uniform1f = nullptr;
            PFNGLVERTEXATTRIBPOINTERPROC VertexAttribPointer = nullptr;
            PFNGLENABLEVERTEXATTRIBARRAYPROC EnableVertexAttribArray = nullptr;
            PFNGLDISABLEVERTEXATTRIBARRAYPROC DisableVertexAttribArray = nullptr;
            PFNGLVERTEXATTRIB1FPROC VertexAttrib1f = nullptr;
            // Optional (GL 3.2): null where the driver lacks them.
            PFNGLFENCESYNCPROC FenceSync = nullptr;
            PFNGLCLIENTWAITSYNCPROC ClientWaitSync = nullptr;
            PFNGLDELETESYNCPROC DeleteSync = nullptr;

            /// Resolves every entry point through the current context; false when one is missing.
            bool load();
        };

        extern Functions gl;
    } // namespace opengl
} // namespace tesra

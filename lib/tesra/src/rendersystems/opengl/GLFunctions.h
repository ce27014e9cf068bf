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

            /// Resolves every entry point through the current context; false when one is missing.
            bool load();
        };

        extern Functions gl;
    } // namespace opengl
} // namespace tesra

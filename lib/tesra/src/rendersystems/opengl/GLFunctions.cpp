#include "GLFunctions.h"

#include <SDL.h>

namespace tesra
{
    namespace opengl
    {
        Functions gl;

        template <typename T> static bool resolve(T& target, const char* name)
        {
            target = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
            return target != nullptr;
        }

        bool Functions::load()
        {
            bool ok = true;
            ok &= resolve(ActiveTexture, "glActiveTexture");
            ok &= resolve(BlendEquationSeparate, "glBlendEquationSeparate");
            ok &= resolve(BlendFuncSeparate, "glBlendFuncSeparate");
            ok &= resolve(GenFramebuffers, "glGenFramebuffers");
            ok &= resolve(DeleteFramebuffers, "glDeleteFramebuffers");
            ok &= resolve(BindFramebuffer, "glBindFramebuffer");
            ok &= resolve(FramebufferTexture2D, "glFramebufferTexture2D");
            ok &= resolve(CheckFramebufferStatus, "glCheckFramebufferStatus");
            ok &= resolve(GenBuffers, "glGenBuffers");
            ok &= resolve(DeleteBuffers, "glDeleteBuffers");
            ok &= resolve(BindBuffer, "glBindBuffer");
            ok &= resolve(BufferData, "glBufferData");
            return ok;
        }
    } // namespace opengl
} // namespace tesra

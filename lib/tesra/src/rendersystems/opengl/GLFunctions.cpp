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
            ok &= resolve(CreateShader, "glCreateShader");
            ok &= resolve(ShaderSource, "glShaderSource");
            ok &= resolve(CompileShader, "glCompileShader");
            ok &= resolve(GetShaderiv, "glGetShaderiv");
            ok &= resolve(GetShaderInfoLog, "glGetShaderInfoLog");
            ok &= resolve(DeleteShader, "glDeleteShader");
            ok &= resolve(CreateProgram, "glCreateProgram");
            ok &= resolve(AttachShader, "glAttachShader");
            ok &= resolve(BindAttribLocation, "glBindAttribLocation");
            ok &= resolve(LinkProgram, "glLinkProgram");
            ok &= resolve(GetProgramiv, "glGetProgramiv");
            ok &= resolve(GetProgramInfoLog, "glGetProgramInfoLog");
            ok &= resolve(DeleteProgram, "glDeleteProgram");
            ok &= resolve(UseProgram, "glUseProgram");
            ok &= resolve(GetUniformLocation, "glGetUniformLocation");
            ok &= resolve(Uniform1i, "glUniform1i");
            ok &= resolve(Uniform1f, "glUniform1f");
            ok &= resolve(VertexAttribPointer, "glVertexAttribPointer");
            ok &= resolve(EnableVertexAttribArray, "glEnableVertexAttribArray");
            ok &= resolve(DisableVertexAttribArray, "glDisableVertexAttribArray");
            ok &= resolve(VertexAttrib1f, "glVertexAttrib1f");
            if (!resolve(FenceSync, "glFenceSync") || !resolve(ClientWaitSync, "glClientWaitSync") ||
                !resolve(DeleteSync, "glDeleteSync"))
            {
                FenceSync = nullptr;
                ClientWaitSync = nullptr;
                DeleteSync = nullptr;
            }
            return ok;
        }
    } // namespace opengl
} // namespace tesra

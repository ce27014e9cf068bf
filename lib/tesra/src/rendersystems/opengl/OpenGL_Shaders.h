#pragma once

#include <tesra/Shader.h>

namespace tesra
{
    // Shader files hold precompiled bytecode of another graphics interface, which this back-end cannot run:
    // loading reports the same failures as a driver that rejects the code, and nothing is ever bound.

    class OpenGL_PixelShader : public PixelShader
    {
    public:
        bool load(const hstring& filename) override;
        void setConstantsB(const int* data, unsigned int count) override;
        void setConstantsI(const int* data, unsigned int count) override;
        void setConstantsF(const float* data, unsigned int count) override;
    };

    class OpenGL_VertexShader : public VertexShader
    {
    public:
        bool load(const hstring& filename) override;
        void setConstantsB(const int* data, unsigned int count) override;
        void setConstantsI(const int* data, unsigned int count) override;
        void setConstantsF(const float* data, unsigned int count) override;
    };
} // namespace tesra

#pragma once

#include <quortypes/hstring.h>

namespace tesra
{
    /// A compiled pixel shader of the render back-end.
    class PixelShader
    {
    public:
        virtual ~PixelShader() = default;
        virtual bool load(const hstring& filename) = 0;
        virtual void setConstantsB(const int* data, unsigned int count) = 0;
        virtual void setConstantsI(const int* data, unsigned int count) = 0;
        virtual void setConstantsF(const float* data, unsigned int count) = 0;
    };

    /// A compiled vertex shader of the render back-end.
    class VertexShader
    {
    public:
        virtual ~VertexShader() = default;
        virtual bool load(const hstring& filename) = 0;
        virtual void setConstantsB(const int* data, unsigned int count) = 0;
        virtual void setConstantsI(const int* data, unsigned int count) = 0;
        virtual void setConstantsF(const float* data, unsigned int count) = 0;
    };
} // namespace tesra

#pragma once

#include <kavtypes/Matrix4.h>
#include <tesra/Color.h>

namespace tesra
{
    class Texture;
    class PixelShader;
    class VertexShader;

    /// What the render back-end believes the device state to be, so that redundant changes are skipped.
    class RenderState
    {
    public:
        static constexpr int UNSET = 0x7FFFFFFF;

        Texture* texture = nullptr;
        int blendMode = UNSET;
        int colorMode = UNSET;
        float colorModeFactor = 1.0f;
        Color color = Color(0, 0, 0, 255);
        kavtypes::Matrix4 projectionMatrix;
        int filter = UNSET;
        int addressMode = UNSET;
        PixelShader* pixelShader = nullptr;
        VertexShader* vertexShader = nullptr;

        void reset() { *this = RenderState(); }
    };
} // namespace tesra

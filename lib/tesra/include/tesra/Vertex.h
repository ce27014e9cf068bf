#pragma once

namespace tesra
{
    // Vertex records as handed to RenderSystem::render. Colours are packed 0xRRGGBBAA.
    // Tightly packed standard-layout records: the render back-end hands them to the GPU as they are.

    struct PlainVertex
    {
        float x = 0.0f, y = 0.0f, z = 0.0f;

        PlainVertex() = default;
        PlainVertex(float x, float y, float z = 0.0f) : x(x), y(y), z(z) {}
        void set(float x, float y, float z = 0.0f)
        {
            this->x = x;
            this->y = y;
            this->z = z;
        }
    };

    struct ColoredVertex
    {
        float x = 0.0f, y = 0.0f, z = 0.0f;
        unsigned int color = 0xFFFFFFFF;

        ColoredVertex() = default;
        ColoredVertex(float x, float y, float z, unsigned int color) : x(x), y(y), z(z), color(color) {}
    };

    struct TexturedVertex
    {
        float x = 0.0f, y = 0.0f, z = 0.0f;
        float u = 0.0f, v = 0.0f;

        TexturedVertex() = default;
        TexturedVertex(float x, float y, float z, float u, float v) : x(x), y(y), z(z), u(u), v(v) {}
    };

    struct ColoredTexturedVertex
    {
        float x = 0.0f, y = 0.0f, z = 0.0f;
        unsigned int color = 0xFFFFFFFF;
        float u = 0.0f, v = 0.0f;

        ColoredTexturedVertex() = default;
        ColoredTexturedVertex(float x, float y, float z, unsigned int color, float u, float v)
            : x(x), y(y), z(z), color(color), u(u), v(v)
        {
        }
    };

    static_assert(sizeof(PlainVertex) == 12, "PlainVertex must be 12 bytes");
    static_assert(sizeof(ColoredVertex) == 16, "ColoredVertex must be 16 bytes");
    static_assert(sizeof(TexturedVertex) == 20, "TexturedVertex must be 20 bytes");
    static_assert(sizeof(ColoredTexturedVertex) == 24, "ColoredTexturedVertex must be 24 bytes");
} // namespace tesra

#pragma once

#include <quortypes/hstring.h>

namespace tesra
{
    /// The one GLSL program every draw goes through. It does what the fixed-function texture combiners did
    /// for each colour mode, and samples the texture of the unit a vertex names, so that draws from several
    /// textures can go to GL as one.
    class OpenGL_DrawProgram
    {
    public:
        /// The fixed-function combiner each colour mode stands for.
        enum Combine
        {
            COMBINE_MODULATE = 0,
            COMBINE_INTERPOLATE = 1,
            COMBINE_VERTEX_COLOR = 2
        };
        /// The vertex attribute naming a vertex's texture unit; below 0 draws the vertex colour alone.
        static const unsigned int slotAttribute = 7;

        OpenGL_DrawProgram() = default;
        ~OpenGL_DrawProgram();
        OpenGL_DrawProgram(const OpenGL_DrawProgram&) = delete;
        OpenGL_DrawProgram& operator=(const OpenGL_DrawProgram&) = delete;

        /// Compiles and links the program for `units` texture units (the current context's); throws with
        /// the driver's log when it cannot.
        void create(int units);
        /// Forgets the program without GL calls, for a context that is already gone.
        void abandon() { program = 0; }
        void destroy();
        bool isCreated() const { return program != 0; }
        int getUnits() const { return units; }

        void use();
        /// Interpolation factor quantised to a byte, as the combiners' constant colour was.
        void setCombine(Combine combine, float factor);

    private:
        unsigned int program = 0;
        int units = 0;
        int combineLocation = -1;
        int factorLocation = -1;
        int appliedCombine = -1;
        float appliedFactor = -1.0f;

        static hstring makeFragmentSource(int units);
    };
} // namespace tesra

#pragma once

#include <map>

#include <quortypes/hstring.h>

namespace tesra
{
    /// The GLSL programs every draw goes through. Together they do what the fixed-function texture combiners
    /// did for each colour mode, and sample the texture of the unit a vertex names, so that draws from
    /// several textures can go to GL as one. A software renderer pays for every branch at every pixel, so
    /// each run takes a program made for it: its colour mode, no more units than it samples, and the
    /// untextured branch only when it has untextured vertices.
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

        /// Compiles and links the program for all `units` texture units of the current context, the one
        /// every run can use; throws with the driver's log when it cannot.
        void create(int units);
        /// Forgets the programs without GL calls, for a context that is already gone.
        void abandon();
        void destroy();
        int getUnits() const { return units; }

        /// The colour mode of the runs that follow; the interpolation factor is quantised to a byte, as
        /// the combiners' constant colour was.
        void setCombine(Combine combine, float factor);
        /// Makes the program for a run sampling units 0 to unitsUsed - 1 (0: none), with or without
        /// untextured vertices, the current one. A run sampling one unit only names it in `onlyUnit`, and
        /// gets the one-texture program reading that unit.
        void use(int unitsUsed, bool untextured, int onlyUnit = -1);

    private:
        struct Variant
        {
            unsigned int id = 0;
            int factorLocation = -1;
            float appliedFactor = -1.0f;
            int samplerLocation = -1; ///< the first sampler's, which a one-texture run points at its unit
            int appliedUnit = 0;
        };

        int units = 0;
        Combine combine = COMBINE_MODULATE;
        float factor = 1.0f;
        std::map<int, Variant> variants;
        unsigned int current = 0;

        Variant& getVariant(int unitsUsed, bool untextured);
        static hstring makeFragmentSource(int units, Combine combine, bool untextured);
        static unsigned int link(const hstring& fragmentSource, int units);
    };
} // namespace tesra

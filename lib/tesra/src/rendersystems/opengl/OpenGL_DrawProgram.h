#pragma once

#include <map>

#include <quortypes/hstring.h>

namespace tesra
{
    /// The GLSL programs every draw goes through. Together they do what the fixed-function texture combiners
    /// did for each colour mode, and sample the texture of the unit a vertex names, so that draws from
    /// several textures can go to GL as one. The unit is either an index into an array of samplers, which
    /// the software renderer resolves once per group of pixels of one triangle, or a tree of branches, which
    /// a software renderer would run whole at every pixel. Each run takes a program made for it: its colour
    /// mode, no more units than it samples, the untextured branch only when it has untextured vertices, no
    /// vertex colour when all of its vertices are opaque white and, on the software renderer, interpolation
    /// without the perspective division when nothing is projected in perspective.
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
        /// every run can use; throws with the driver's log when it cannot. `indexed` picks the unit by an
        /// index into the samplers, for a renderer that shades the pixels of one triangle together.
        void create(int units, bool indexed = false);
        /// Switches between the two ways of picking the unit, keeping the colour mode.
        void setIndexed(bool indexed);
        bool isIndexed() const { return indexed; }
        /// Forgets the programs without GL calls, for a context that is already gone.
        void abandon();
        void destroy();
        int getUnits() const { return units; }

        /// The colour mode of the runs that follow; the interpolation factor is quantised to a byte, as
        /// the combiners' constant colour was.
        void setCombine(Combine combine, float factor);
        /// Makes the program for a run sampling units 0 to unitsUsed - 1 (0: none), with or without
        /// untextured vertices, the current one. A run sampling one unit only names it in `onlyUnit`, and
        /// gets the one-texture program reading that unit. `white`: every vertex is opaque white; `affine`:
        /// w is 1 at every vertex (no perspective projection).
        void use(int unitsUsed, bool untextured, int onlyUnit = -1, bool white = false, bool affine = false);

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
        bool indexed = false;
        bool affineKnown = false; ///< whether the driver takes the programs without perspective was tried
        bool affineWorks = false;
        Combine combine = COMBINE_MODULATE;
        float factor = 1.0f;
        std::map<int, Variant> variants;
        unsigned int current = 0;

        Variant& getVariant(int unitsUsed, bool untextured, bool white, bool affine);
        static hstring makeFragmentSource(int units, Combine combine, bool untextured, bool indexed,
                                          bool white, bool affine);
        static unsigned int link(const hstring& fragmentSource, int units, bool indexed, bool affine);
    };
} // namespace tesra

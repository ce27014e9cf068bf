#pragma once

namespace tesra
{
    /// Primitive kinds a vertex array is drawn as.
    enum class RenderOperation : int
    {
        TRIANGLE_LIST = 1,
        TRIANGLE_STRIP = 2,
        TRIANGLE_FAN = 3,
        LINE_LIST = 4,
        LINE_STRIP = 5,
        POINT_LIST = 6
    };

    enum class BlendMode : int
    {
        DEFAULT = 0,
        ALPHA = 1,
        ADD = 2,
        SUBTRACT = 3,
        OVERWRITE = 4
    };

    enum class ColorMode : int
    {
        DEFAULT = 0,
        MULTIPLY = 1,
        LERP = 2,
        ALPHA_MAP = 3
    };

    /// Number of primitives that `count` vertices make for an operation (0 for unknown operations).
    int getPrimitiveCount(RenderOperation operation, int count);
} // namespace tesra

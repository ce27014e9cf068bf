#include <tesra/RenderModes.h>

namespace tesra
{
    int getPrimitiveCount(RenderOperation operation, int count)
    {
        switch (operation)
        {
        case RenderOperation::TRIANGLE_LIST:
            return count / 3;
        case RenderOperation::TRIANGLE_STRIP:
        case RenderOperation::TRIANGLE_FAN:
            return count - 2;
        case RenderOperation::LINE_LIST:
            return count / 2;
        case RenderOperation::LINE_STRIP:
            return count - 1;
        case RenderOperation::POINT_LIST:
            return count;
        }
        return 0;
    }
} // namespace tesra

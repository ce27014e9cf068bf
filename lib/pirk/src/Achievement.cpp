#include <cmath>

#include <pirk/Achievement.h>

namespace pirk
{
    bool Achievement::isCompleted()
    {
        return std::fabs(this->progress - 100.0) < 0.01;
    }
} // namespace pirk

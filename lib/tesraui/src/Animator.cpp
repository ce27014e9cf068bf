#include <tesraui/Animator.h>

namespace tesraui
{
    Animator::Animator(const hstring& name) : Object(name, kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f)) {}
} // namespace tesraui

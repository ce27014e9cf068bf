#include <tesraui/Animators.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    // After every object factory, in this order.
    void _registerAnimatorFactories()
    {
        registerAnimatorFactory("AlphaChanger", &Animators::AlphaChanger::createInstance);
        registerAnimatorFactory("BlueChanger", &Animators::BlueChanger::createInstance);
        registerAnimatorFactory("FrameAnimation", &Animators::FrameAnimation::createInstance);
        registerAnimatorFactory("GreenChanger", &Animators::GreenChanger::createInstance);
        registerAnimatorFactory("MoverX", &Animators::MoverX::createInstance);
        registerAnimatorFactory("MoverY", &Animators::MoverY::createInstance);
        registerAnimatorFactory("RedChanger", &Animators::RedChanger::createInstance);
        registerAnimatorFactory("ResizerX", &Animators::ResizerX::createInstance);
        registerAnimatorFactory("ResizerY", &Animators::ResizerY::createInstance);
        registerAnimatorFactory("Rotator", &Animators::Rotator::createInstance);
        registerAnimatorFactory("ScalerX", &Animators::ScalerX::createInstance);
        registerAnimatorFactory("ScalerY", &Animators::ScalerY::createInstance);
        registerAnimatorFactory("TiledScrollerX", &Animators::TiledScrollerX::createInstance);
        registerAnimatorFactory("TiledScrollerY", &Animators::TiledScrollerY::createInstance);
    }
} // namespace tesraui

#include <quortypes/Log.h>
#include <tesraui/Animators.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/TiledImage.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    namespace Animators
    {
        // Looked up at every read and write, since the box may change its image at any time.
        static TiledImage* findTiledImage(Object* parent, const char* className)
        {
            ImageBox* box = dynamic_cast<ImageBox*>(parent);
            if (box == nullptr)
            {
                quortypes::Log::errorf(
                    logTag, "Animators::%s: parent object '%s' not a subclass of Objects::ImageBox!",
                    className, parent != nullptr ? parent->getName().c_str() : "null");
                return nullptr;
            }
            Image* image = box->getImage();
            TiledImage* tiled = dynamic_cast<TiledImage*>(image);
            if (tiled == nullptr)
            {
                quortypes::Log::errorf(
                    logTag, "Animators::%s: Image '%s' in ImageBox '%s' not a subclass of TiledImage!",
                    className, image != nullptr ? image->getName().c_str() : "null", box->getName().c_str());
            }
            return tiled;
        }

        Animator* TiledScrollerX::createInstance(const hstring& name)
        {
            return new TiledScrollerX(name);
        }

        float TiledScrollerX::getObjectValue()
        {
            TiledImage* image = findTiledImage(parent, "TiledScrollerX");
            return image != nullptr ? image->getScroll().x : 0.0f;
        }

        void TiledScrollerX::setObjectValue(float value)
        {
            TiledImage* image = findTiledImage(parent, "TiledScrollerX");
            if (image != nullptr)
            {
                image->setScroll(kavtypes::Vector2(value, image->getScroll().y));
            }
        }

        Animator* TiledScrollerY::createInstance(const hstring& name)
        {
            return new TiledScrollerY(name);
        }

        float TiledScrollerY::getObjectValue()
        {
            TiledImage* image = findTiledImage(parent, "TiledScrollerY");
            return image != nullptr ? image->getScroll().y : 0.0f;
        }

        void TiledScrollerY::setObjectValue(float value)
        {
            TiledImage* image = findTiledImage(parent, "TiledScrollerY");
            if (image != nullptr)
            {
                image->setScroll(kavtypes::Vector2(image->getScroll().x, value));
            }
        }
    } // namespace Animators
} // namespace tesraui

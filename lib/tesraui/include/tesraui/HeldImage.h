#pragma once

#include <tesraui/Image.h>
#include <tesraui/LifeToken.h>

namespace tesraui
{
    // An image an object or a composite image keeps to draw later. The image counts its holders, so that
    // images that free themselves once unused stay while anything still holds them; one deleted all the
    // same reads as null here rather than as freed memory.
    class HeldImage
    {
    public:
        HeldImage() = default;
        // Implicit: it stands wherever a plain image pointer is kept.
        HeldImage(Image* image) { *this = image; }

        HeldImage& operator=(Image* image)
        {
            // Buttons choose their image every frame; holding the same one again costs nothing.
            if (image != get())
            {
                this->image = image;
                life = (image != nullptr ? image->holders.watch() : LifeToken::Watch());
            }
            return *this;
        }

        Image* get() const { return life.isAlive() ? image : nullptr; }
        operator Image*() const { return get(); }
        Image* operator->() const { return get(); }

    private:
        Image* image = nullptr;
        LifeToken::Watch life;
    };
} // namespace tesraui

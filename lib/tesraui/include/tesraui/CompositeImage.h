#pragma once

#include <utility>

#include <tesraui/HeldImage.h>
#include <tesraui/Image.h>

namespace tesraui
{
    // Draws other images laid out in a frame of its own size, scaled to the rectangle it is drawn into.
    class CompositeImage : public Image
    {
    public:
        typedef std::pair<HeldImage, kavtypes::Rectangle> ImageRef;

        CompositeImage(const hstring& name, kavtypes::Vector2 size);
        ~CompositeImage() override = default;

        void draw(const harray<tesra::TexturedVertex>& vertices, const tesra::Color& color) override;
        void draw(const kavtypes::Rectangle& rect, const tesra::Color& color) override;

        // The images are held, not owned. A reference that would draw this composite inside itself is refused
        // with a quortypes::exception naming both, and nothing changes.
        void addImageRef(Image* image, const kavtypes::Rectangle& rect);
        // True when drawing the image draws this composite: it is this one, or its references lead here.
        bool isDrawnBy(const Image* image) const;
        void clearImageRefs() { imageRefs.clear(); }
        const harray<ImageRef>& getImageRefs() const { return imageRefs; }

    protected:
        harray<ImageRef> imageRefs;
    };
} // namespace tesraui

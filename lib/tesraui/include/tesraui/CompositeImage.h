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

        // Composites a draw passes through at most, one inside the other: drawing goes down them by
        // recursion.
        static const int maxNesting = 64;

        // The images are held, not owned. A reference that would draw this composite inside itself, or nest
        // composites deeper than maxNesting, is refused with a quortypes::exception naming both, and nothing
        // changes.
        void addImageRef(Image* image, const kavtypes::Rectangle& rect);
        // Puts these references in place of the present ones, or refuses them as addImageRef does and changes
        // nothing.
        void setImageRefs(const harray<ImageRef>& references);
        // Why this composite may not draw these references instead of its own: "a reference to '<image>' ..."
        // for the first one that would draw it inside itself or nest composites too deep; empty when it may.
        hstring refusal(const harray<ImageRef>& references) const;
        // True when drawing the image draws this composite: it is this one, or its references lead here.
        bool isDrawnBy(const Image* image) const;
        // The composites a draw of the image passes through at most, one inside the other: 0 for an image
        // that is no composite, 1 for a composite of plain images.
        static int nestingOf(const Image* image);
        void clearImageRefs() { imageRefs.clear(); }
        const harray<ImageRef>& getImageRefs() const { return imageRefs; }

    protected:
        harray<ImageRef> imageRefs;
    };
} // namespace tesraui

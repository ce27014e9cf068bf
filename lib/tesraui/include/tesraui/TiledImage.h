#pragma once

#include <tesraui/Image.h>

namespace tesraui
{
    // Repeats its source over the rectangle. A positive tile value is a count of tiles across the
    // rectangle, zero or less a tile size in pixels (negated).
    class TiledImage : public Image
    {
    public:
        TiledImage(Texture* texture, const hstring& name, kavtypes::Rectangle sourceRect, float tileW,
                   float tileH);
        ~TiledImage() override = default;

        void draw(const kavtypes::Rectangle& rect, const tesra::Color& color) override;
        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

        kavtypes::Vector2 getTile() const { return tile; }
        void setTile(const kavtypes::Vector2& value) { tile = value; }
        kavtypes::Vector2 getScroll() const { return scroll; }
        void setScroll(const kavtypes::Vector2& value) { scroll = value; }

    protected:
        kavtypes::Vector2 tile;
        kavtypes::Vector2 scroll;

        // Draws one tile cut to clip; answers the edges that were cut (0x10 left, 0x100 right, 0x1 top,
        // 0x1000 bottom) when skipUnclipped is set, and then leaves an uncut tile undrawn. Only tiles that
        // can be seen come here.
        virtual int _drawTile(const kavtypes::Rectangle& clip, const kavtypes::Rectangle& tileRect,
                              const tesra::Color& color, bool skipUnclipped);

    private:
        static const PropertyTable<TiledImage>& _properties();
    };
} // namespace tesraui

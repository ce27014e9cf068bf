#include <cmath>

#include <quortypes/util.h>
#include <tesra/RenderSystem.h>
#include <tesraui/Texture.h>
#include <tesraui/TiledImage.h>
#include <tesraui/tesraui.h>

#include "PropertyRows.h"

namespace tesraui
{
    static const int CLIP_TOP = 0x1;
    static const int CLIP_LEFT = 0x10;
    static const int CLIP_RIGHT = 0x100;
    static const int CLIP_BOTTOM = 0x1000;

    // Cuts a tile to a clip span along one axis and its source span in proportion; returns the flags of
    // the ends cut.
    static int clipSpan(float clipStart, float clipSize, float& tileStart, float& tileSize,
                        float& sourceStart, float& sourceSize, int startFlag, int endFlag)
    {
        int flags = 0;
        if (clipStart >= tileStart)
        {
            float d = clipStart - tileStart;
            float cut = sourceSize * d / tileSize;
            sourceStart += cut;
            sourceSize -= cut;
            tileStart += d;
            tileSize -= d;
            flags |= startFlag;
        }
        if (tileStart + tileSize >= clipStart + clipSize)
        {
            float d = tileStart + tileSize - (clipStart + clipSize);
            sourceSize -= sourceSize * d / tileSize;
            tileSize -= d;
            flags |= endFlag;
        }
        return flags;
    }

    TiledImage::TiledImage(Texture* texture, const hstring& name, kavtypes::Rectangle sourceRect, float tileW,
                           float tileH)
        : Image(texture, name, sourceRect), tile(tileW, tileH)
    {
    }

    const PropertyTable<TiledImage>& TiledImage::_properties()
    {
        using Rows = PropertyRows<TiledImage>;
        static const PropertyTable<TiledImage> table = {
            Rows::vectorRow("tile", &TiledImage::tile),
            Rows::vectorRow("scroll", &TiledImage::scroll),
            Rows::partRow("tile_w", &TiledImage::tile, &kavtypes::Vector2::x),
            Rows::partRow("tile_h", &TiledImage::tile, &kavtypes::Vector2::y),
            Rows::partRow("scroll_x", &TiledImage::scroll, &kavtypes::Vector2::x),
            Rows::partRow("scroll_y", &TiledImage::scroll, &kavtypes::Vector2::y),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(TiledImage, Image, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(TiledImage, Image, _properties)

    void TiledImage::draw(const kavtypes::Rectangle& rect, const tesra::Color& color)
    {
        float tw = tile.x > 0.0f ? rect.w / tile.x : -tile.x;
        float th = tile.y > 0.0f ? rect.h / tile.y : -tile.y;
        // A zero tile or an empty rectangle has no tiles to draw; dividing by it would never end. A tile
        // under one unit (a size of -1e-5, or more tiles than units) shows nothing either and would take
        // millions of draws.
        if (!(tw >= 1.0f) || !(th >= 1.0f) || !(rect.w > 0.0f) || !(rect.h > 0.0f) || !std::isfinite(tw) ||
            !std::isfinite(th))
        {
            return;
        }
        float ox = quortypes::modPositive(scroll.x, tw) - tw;
        float oy = quortypes::modPositive(scroll.y, th) - th;
        int nx = (int)ceilf((rect.w - ox) / tw);
        int ny = (int)ceilf((rect.h - oy) / th);
        // One quad repeats the image only through a wrapping texture; a clamping one would smear its edge.
        bool fast = false;
        if (this->texture != nullptr && this->texture->hasRenderTexture() && this->texture->isLoaded() &&
            this->texture->getAddressMode() == tesra::Texture::AddressMode::WRAP)
        {
            const kavtypes::Rectangle& s = this->sourceRect;
            fast = s.x == 0.0f && s.y == 0.0f && s.w == (float)this->texture->getWidth() &&
                   s.h == (float)this->texture->getHeight();
        }
        // The first and last columns and rows that needed no cut bound the block drawn as one quad.
        int firstColumn = nx, lastColumn = -1, firstRow = ny, lastRow = -1;
        for (int j = 0; j < ny; ++j)
        {
            for (int i = 0; i < nx; ++i)
            {
                kavtypes::Rectangle tileRect(rect.x + ox + i * tw, rect.y + oy + j * th, tw, th);
                int flags = _drawTile(rect, tileRect, color, fast);
                if (fast && (flags & (CLIP_LEFT | CLIP_RIGHT)) == 0)
                {
                    firstColumn = std::min(firstColumn, i);
                    lastColumn = std::max(lastColumn, i);
                }
                if (fast && (flags & (CLIP_TOP | CLIP_BOTTOM)) == 0)
                {
                    firstRow = std::min(firstRow, j);
                    lastRow = std::max(lastRow, j);
                }
            }
        }
        if (fast && lastColumn >= firstColumn && lastRow >= firstRow)
        {
            int columns = lastColumn - firstColumn + 1;
            int rows = lastRow - firstRow + 1;
            kavtypes::Rectangle saved = this->sourceRect;
            // Coordinates past 1 repeat the image through the texture's wrapping address mode.
            setSourceRect(kavtypes::Rectangle(saved.x, saved.y, saved.w * columns, saved.h * rows));
            Image::draw(kavtypes::Rectangle(rect.x + ox + firstColumn * tw, rect.y + oy + firstRow * th,
                                            tw * columns, th * rows),
                        color);
            setSourceRect(saved);
        }
    }

    int TiledImage::_drawTile(const kavtypes::Rectangle& clip, const kavtypes::Rectangle& tileRect,
                              const tesra::Color& color, bool skipUnclipped)
    {
        kavtypes::Rectangle t = tileRect;
        kavtypes::Rectangle saved = this->sourceRect;
        kavtypes::Rectangle s = saved;
        int flags = clipSpan(clip.x, clip.w, t.x, t.w, s.x, s.w, CLIP_LEFT, CLIP_RIGHT) |
                    clipSpan(clip.y, clip.h, t.y, t.h, s.y, s.h, CLIP_TOP, CLIP_BOTTOM);
        if (skipUnclipped && flags == 0)
        {
            return 0;
        }
        if (t.w > 0.0f && t.h > 0.0f)
        {
            setSourceRect(s);
            Image::draw(t, color);
            setSourceRect(saved);
        }
        return skipUnclipped ? flags : 0;
    }
} // namespace tesraui

#include <algorithm>
#include <climits>
#include <cmath>

#include <kavtypes/Matrix4.h>

#include <quortypes/util.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
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

    // The part of rect the render system shows under its matrices in force: the corners of the projection's
    // square mapped back into rect's plane, bounding the part that can be seen. Empty when the plane is
    // flattened to a line; rect itself when the matrices do not map it flatly (a perspective), or when
    // there is no render system.
    static kavtypes::Rectangle visiblePart(const kavtypes::Rectangle& rect)
    {
        tesra::RenderSystem* rs = tesra::rendersys;
        if (rs == nullptr)
        {
            return rect;
        }
        kavtypes::Matrix4 matrix = rs->getProjectionMatrix();
        matrix.multiply(rs->getModelviewMatrix());
        const float* m = matrix.data;
        if (m[3] != 0.0f || m[7] != 0.0f || m[15] == 0.0f)
        {
            return rect;
        }
        // A point (x, y) of the plane lands at (m0 x + m4 y + m12, m1 x + m5 y + m13) / m15.
        const double a = m[0], b = m[4], c = m[1], d = m[5];
        const double determinant = a * d - b * c;
        if (determinant == 0.0 || !std::isfinite(determinant))
        {
            return kavtypes::Rectangle();
        }
        // A little past the square: a pixel offset or rounding must not cut a tile that shows.
        const double edge = 1.01;
        double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
        for (const double cornerX : {-edge, edge})
        {
            for (const double cornerY : {-edge, edge})
            {
                const double u = cornerX * m[15] - m[12];
                const double v = cornerY * m[15] - m[13];
                const double x = (d * u - b * v) / determinant;
                const double y = (a * v - c * u) / determinant;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        if (!std::isfinite(left) || !std::isfinite(right) || !std::isfinite(top) || !std::isfinite(bottom))
        {
            return rect;
        }
        left = std::max(left, (double)rect.x);
        top = std::max(top, (double)rect.y);
        right = std::min(right, (double)rect.x + rect.w);
        bottom = std::min(bottom, (double)rect.y + rect.h);
        if (right <= left || bottom <= top)
        {
            return kavtypes::Rectangle();
        }
        return kavtypes::Rectangle((float)left, (float)top, (float)(right - left), (float)(bottom - top));
    }

    // The tiles of size from origin that meet the span [start, start + length), as first and one past the
    // last, within [0, count).
    static void tileSpan(double origin, double size, double start, double length, double count, int& first,
                         int& end)
    {
        const double low = std::floor((start - origin) / size);
        const double high = std::ceil((start + length - origin) / size);
        first = (int)std::clamp(low, 0.0, count);
        end = (int)std::clamp(high, 0.0, count);
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
        // A tile's place that is no number (a scroll or corner of NaN or infinity) cannot be counted to.
        if (!std::isfinite(rect.x + ox) || !std::isfinite(rect.y + oy))
        {
            return;
        }
        // Only the tiles that can be seen are visited: a rectangle far larger than the screen would
        // otherwise cost a draw per tile of all of it.
        const kavtypes::Rectangle visible = visiblePart(rect);
        if (!(visible.w > 0.0f) || !(visible.h > 0.0f))
        {
            return;
        }
        // Counted in doubles and bounded before they become ints: the counts of a huge rectangle of small
        // tiles overflow an int.
        const double columns = std::min(std::ceil(((double)rect.w - ox) / tw), (double)INT_MAX);
        const double rows = std::min(std::ceil(((double)rect.h - oy) / th), (double)INT_MAX);
        int startColumn = 0, endColumn = 0, startRow = 0, endRow = 0;
        tileSpan((double)rect.x + ox, tw, visible.x, visible.w, columns, startColumn, endColumn);
        tileSpan((double)rect.y + oy, th, visible.y, visible.h, rows, startRow, endRow);
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
        int firstColumn = endColumn, lastColumn = -1, firstRow = endRow, lastRow = -1;
        for (int j = startRow; j < endRow; ++j)
        {
            for (int i = startColumn; i < endColumn; ++i)
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

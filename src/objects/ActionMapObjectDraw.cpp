#include <cmath>
#include <cstring>
#include <vector>

#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/Texture.h>
#include <tesra/tesra.h>
#include <tesraui/tesraui.h>

#include "ActionMap.h"
#include "DebugNames.h"
#include "Session.h"
#include "objects/ActionMapObject.h"
#include "objects/VumoViewportObject.h"

namespace vumo
{
    namespace
    {
        const int ellipsePoints = 91;

        int powerOfTwoAtLeast(int value)
        {
            int result = 1;
            while (result < value)
            {
                result *= 2;
            }
            return result;
        }
    } // namespace

    bool ActionMapObject::debugMapFits()
    {
        if (this->debugTooLarge)
        {
            return false;
        }
        ActionMap* map = this->getMap();
        if (map == nullptr)
        {
            return false;
        }
        // The display is one texture of the map's pixels, built from a buffer of all of them.
        const int limit = tesra::rendersys->getMaxTextureSize();
        if (map->getWidth() <= limit && map->getHeight() <= limit)
        {
            return true;
        }
        this->debugTooLarge = true;
        quortypes::Log::errorf(
            Session::logTag,
            "%s.amp: %d x %d pixels is too large to show, the largest texture is %d pixels "
            "wide",
            map->getName().c_str(), map->getWidth(), map->getHeight(), limit);
        return false;
    }

    bool ActionMapObject::createDebugTexture()
    {
        ActionMap* map = this->getMap();
        if (map == nullptr)
        {
            return false;
        }
        const int width = map->getWidth();
        const int height = map->getHeight();
        if (width <= 0 || height <= 0)
        {
            return false;
        }
        std::vector<unsigned char> pixels((size_t)width * height * 4, 0);
        const uint32_t key = this->getOwnColor() & 0xFFFFFF00;
        const unsigned char* masks = map->getMasks();
        int left = width;
        int top = height;
        int right = 0;
        int bottom = 0;
        bool painted = false;
        for (const ActionMapRegion& region : map->getRegions())
        {
            if (key != 0 && region.color != key)
            {
                continue;
            }
            if (key != 0)
            {
                left = region.left;
                top = region.top;
                right = region.right;
                bottom = region.bottom;
            }
            else
            {
                left = std::min(left, region.left);
                top = std::min(top, region.top);
                right = std::max(right, region.right);
                bottom = std::max(bottom, region.bottom);
            }
            painted = true;
            for (int y = std::max(region.top, 0); y <= std::min(region.bottom, height - 1); ++y)
            {
                for (int x = std::max(region.left, 0); x <= std::min(region.right, width - 1); ++x)
                {
                    if (region.hasPixel(masks, x, y))
                    {
                        unsigned char* p = &pixels[((size_t)y * width + x) * 4];
                        p[0] = (unsigned char)(region.color >> 24);
                        p[1] = (unsigned char)(region.color >> 16);
                        p[2] = (unsigned char)(region.color >> 8);
                        p[3] = 127;
                    }
                }
            }
        }
        // Nothing painted, or regions lying wholly off the map: there is nothing to show.
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, width - 1);
        bottom = std::min(bottom, height - 1);
        if (!painted || right < left || bottom < top)
        {
            return false;
        }
        this->debugSourceRect.set((float)left, (float)top, (float)(right - left), (float)(bottom - top));
        auto isPainted = [&](int x, int y) { return pixels[((size_t)y * width + x) * 4 + 3] != 0; };
        if (this->selectMode)
        {
            std::vector<unsigned char> full((size_t)width * height, 0);
            for (int y = top; y <= bottom; ++y)
            {
                for (int x = left; x <= right; ++x)
                {
                    if (!isPainted(x, y))
                    {
                        continue;
                    }
                    bool all = true;
                    for (int ny = std::max(y - 2, 0); all && ny <= std::min(y + 2, height - 1); ++ny)
                    {
                        for (int nx = std::max(x - 2, 0); all && nx <= std::min(x + 2, width - 1); ++nx)
                        {
                            all = isPainted(nx, ny);
                        }
                    }
                    full[(size_t)y * width + x] = (all ? 2 : 1);
                }
            }
            for (size_t i = 0; i < full.size(); ++i)
            {
                if (full[i] != 0)
                {
                    const unsigned char value = (full[i] == 2 ? 255 : 0);
                    pixels[i * 4] = pixels[i * 4 + 1] = pixels[i * 4 + 2] = value;
                }
            }
        }
        const int sourceW = right - left;
        const int sourceH = bottom - top;
        const int textureW = powerOfTwoAtLeast(sourceW);
        const int textureH = powerOfTwoAtLeast(sourceH);
        std::vector<unsigned char> data((size_t)textureW * textureH * 4, 0);
        for (int y = 0; y < sourceH; ++y)
        {
            memcpy(&data[(size_t)y * textureW * 4], &pixels[((size_t)(top + y) * width + left) * 4],
                   (size_t)sourceW * 4);
        }
        quortypes::Log::debugf(Session::logTag, "%s.amp: creating %d x %d debug texture",
                               map->getName().c_str(), textureW, textureH);
        this->debugTexture.reset(tesra::rendersys->createTexture(data.data(), textureW, textureH));
        return this->debugTexture != nullptr;
    }

    void ActionMapObject::drawMarker(float x, float y)
    {
        kavtypes::Vector2 viewport = tesra::rendersys->getViewport().getSize();
        if (Session::getViewport() != nullptr)
        {
            viewport = Session::getViewport()->getSize();
        }
        const float side = 0.005f * viewport.length();
        const kavtypes::Rectangle square(x - side * 0.5f, y - side * 0.5f, side, side);
        tesra::rendersys->drawFilledRect(square, tesra::Color(0, 0, 0, 127));
        tesra::rendersys->drawRect(square, tesra::Color(255, 255, 255, 127));
    }

    void ActionMapObject::drawShape(const kavtypes::Rectangle& r)
    {
        const tesra::Color fill =
            (this->selectMode ? tesra::Color(255, 255, 255, 128) : tesra::Color(this->regionColor, 128));
        const tesra::Color outline(0, 0, 0, 255);
        if (this->shape == SHAPE_RECT)
        {
            tesra::rendersys->drawFilledRect(r, fill);
            if (this->selectMode)
            {
                tesra::rendersys->drawRect(r, outline);
            }
        }
        else if (this->shape == SHAPE_ELLIPSE)
        {
            tesra::PlainVertex vertices[ellipsePoints + 1];
            const float cx = r.x + r.w * 0.5f;
            const float cy = r.y + r.h * 0.5f;
            vertices[0].set(cx, cy);
            for (int i = 0; i < ellipsePoints; ++i)
            {
                const double angle = i * 4.0 * M_PI / 180.0;
                vertices[i + 1].set(cx + (float)std::cos(angle) * r.w * 0.5f,
                                    cy + (float)std::sin(angle) * r.h * 0.5f);
            }
            tesra::rendersys->render(tesra::RenderOperation::TRIANGLE_FAN, vertices, ellipsePoints + 1, fill);
            if (this->selectMode)
            {
                tesra::rendersys->render(tesra::RenderOperation::LINE_STRIP, vertices + 1, ellipsePoints,
                                         outline);
            }
        }
    }

    void ActionMapObject::_draw()
    {
        if (!DebugNames::isActionMapDebugEnabled() || tesra::rendersys == nullptr)
        {
            return;
        }
        const kavtypes::Rectangle r = this->getDrawRect();
        // A map gone with its chapter has nothing to show.
        ActionMap* map = this->getMap();
        if (this->mapGiven && map == nullptr)
        {
            return;
        }
        if (map != nullptr)
        {
            if (this->debugTexture == nullptr && !this->debugMapFits())
            {
                return;
            }
            if (this->debugTexture == nullptr)
            {
                this->createDebugTexture();
            }
            const float mapW = (float)map->getWidth();
            const float mapH = (float)map->getHeight();
            if (this->debugTexture != nullptr && mapW > 0.0f && mapH > 0.0f)
            {
                const kavtypes::Rectangle& s = this->debugSourceRect;
                tesra::rendersys->setTexture(this->debugTexture.get());
                tesra::rendersys->drawTexturedRect(
                    kavtypes::Rectangle(r.x + s.x * r.w / mapW, r.y + s.y * r.h / mapH, s.w * r.w / mapW,
                                        s.h * r.h / mapH),
                    kavtypes::Rectangle(0.0f, 0.0f, s.w / this->debugTexture->getWidth(),
                                        s.h / this->debugTexture->getHeight()));
                tesra::rendersys->setTexture(nullptr);
            }
            if (this->selectMode)
            {
                return;
            }
        }
        else
        {
            this->drawShape(r);
        }
        // A collapsed object places no marker: its scale would divide by zero.
        if (this->selectMode || this->rect.w == 0.0f || this->rect.h == 0.0f)
        {
            return;
        }
        if (map == nullptr)
        {
            this->drawMarker(this->center.x * r.w / this->rect.w + r.x,
                             this->center.y * r.h / this->rect.h + r.y);
            return;
        }
        const float mapW = (float)map->getWidth();
        const float mapH = (float)map->getHeight();
        if (mapW <= 0.0f || mapH <= 0.0f)
        {
            return;
        }
        // Region centres are map pixels: scaled onto the drawing rectangle like the regions themselves.
        for (const ActionMapRegion& region : map->getRegions())
        {
            this->drawMarker(region.centerX * r.w / mapW + r.x, region.centerY * r.h / mapH + r.y);
        }
    }
} // namespace vumo

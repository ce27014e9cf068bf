#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/Texture.h>

namespace tesraui
{
    Image::Image(Texture* texture, const hstring& name, kavtypes::Rectangle sourceRect)
        : texture(texture), name(name), sourceRect(sourceRect)
    {
    }

    hstring Image::getFullName() const
    {
        return dataset != nullptr ? dataset->getName() + "." + this->name : this->name;
    }

    void Image::setSourceRect(const kavtypes::Rectangle& value)
    {
        this->sourceRect = value;
        textureCoordinatesLoaded = false;
    }

    void Image::setRotated(bool value)
    {
        rotated = value;
        textureCoordinatesLoaded = false;
    }

    void Image::setInvertX(bool value)
    {
        invertX = value;
        textureCoordinatesLoaded = false;
    }

    void Image::setInvertY(bool value)
    {
        invertY = value;
        textureCoordinatesLoaded = false;
    }

    void Image::_updateTexCoords()
    {
        if (textureCoordinatesLoaded || this->texture == nullptr)
        {
            return;
        }
        float w = (float)this->texture->getWidth();
        float h = (float)this->texture->getHeight();
        if (w <= 0.0f || h <= 0.0f)
        {
            return; // not loaded yet: try again on the next draw
        }
        textureCoordinatesLoaded = true;
        const kavtypes::Rectangle& s = this->sourceRect;
        tesra::TexturedVertex* v = this->vertices;
        if (!rotated)
        {
            v[0].u = v[2].u = s.x / w;
            v[1].u = v[3].u = (s.x + s.w) / w;
            v[0].v = v[1].v = s.y / h;
            v[2].v = v[3].v = (s.y + s.h) / h;
        }
        else
        {
            // The region is taken turned a quarter: its width runs down the texture.
            v[0].u = v[1].u = (s.x + s.h) / w;
            v[2].u = v[3].u = s.x / w;
            v[0].v = v[2].v = s.y / h;
            v[1].v = v[3].v = (s.y + s.w) / h;
        }
        // Mirroring follows the source's own axes, which a quarter turn lays the other way across the quad.
        int acrossX = rotated ? 2 : 1;
        int acrossY = rotated ? 1 : 2;
        if (invertX)
        {
            std::swap(v[0].u, v[acrossX].u);
            std::swap(v[3 - acrossX].u, v[3].u);
        }
        if (invertY)
        {
            std::swap(v[0].v, v[acrossY].v);
            std::swap(v[3 - acrossY].v, v[3].v);
        }
    }

    tesra::Color Image::_blendedColor(const tesra::Color& color) const
    {
        return this->color == tesra::Color() ? color : color * this->color;
    }

    bool Image::_bindTexture()
    {
        if (this->texture == nullptr)
        {
            return false;
        }
        this->texture->load(false);
        tesra::rendersys->setTexture(this->texture->getRenderTexture());
        return true;
    }

    void Image::_setRenderModes()
    {
        tesra::rendersys->setTextureBlendMode(blendMode);
        tesra::rendersys->setTextureColorMode(colorMode, colorModeFactor);
    }

    void Image::_resetRenderModes()
    {
        tesra::rendersys->setTextureBlendMode(tesra::BlendMode::DEFAULT);
        tesra::rendersys->setTextureColorMode(tesra::ColorMode::DEFAULT, 1.0f);
    }

    static bool isOpaqueWhite(const tesra::Color& color)
    {
        return color.r == 255 && color.g == 255 && color.b == 255 && color.a == 255;
    }

    void Image::draw(const kavtypes::Rectangle& rect, const tesra::Color& color)
    {
        tesra::Color drawColor = _blendedColor(color);
        tesra::TexturedVertex* v = this->vertices;
        v[0].x = v[2].x = rect.x;
        v[1].x = v[3].x = rect.x + rect.w;
        v[0].y = v[1].y = rect.y;
        v[2].y = v[3].y = rect.y + rect.h;
        if (!_bindTexture())
        {
            return;
        }
        _updateTexCoords();
        _setRenderModes();
        if (isOpaqueWhite(drawColor))
        {
            tesra::rendersys->render(tesra::RenderOperation::TRIANGLE_STRIP, v, 4);
        }
        else
        {
            tesra::rendersys->render(tesra::RenderOperation::TRIANGLE_STRIP, v, 4, drawColor);
        }
        _resetRenderModes();
    }

    void Image::draw(const harray<tesra::TexturedVertex>& vertices, const tesra::Color& color)
    {
        if (vertices.size() == 0 || !_bindTexture())
        {
            return;
        }
        tesra::Color drawColor = _blendedColor(color);
        float w = (float)this->texture->getWidth();
        float h = (float)this->texture->getHeight();
        if (w <= 0.0f || h <= 0.0f)
        {
            return;
        }
        harray<tesra::TexturedVertex> mapped = vertices;
        const kavtypes::Rectangle& s = this->sourceRect;
        for (tesra::TexturedVertex& vertex : mapped)
        {
            vertex.u = (vertex.u * s.w + s.x) / w;
            vertex.v = (vertex.v * s.h + s.y) / h;
        }
        _setRenderModes();
        if (isOpaqueWhite(drawColor))
        {
            tesra::rendersys->render(tesra::RenderOperation::TRIANGLE_LIST, mapped.data(),
                                     (int)mapped.size());
        }
        else
        {
            tesra::rendersys->render(tesra::RenderOperation::TRIANGLE_LIST, mapped.data(), (int)mapped.size(),
                                     drawColor);
        }
        _resetRenderModes();
    }

    NullImage::NullImage() : Image(nullptr, "null", kavtypes::Rectangle()) {}

    void NullImage::draw(const harray<tesra::TexturedVertex>&, const tesra::Color&) {}

    void NullImage::draw(const kavtypes::Rectangle&, const tesra::Color&) {}
} // namespace tesraui

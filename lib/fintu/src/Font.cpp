#include <algorithm>

#include <tesra/Texture.h>
#include <fintu/Font.h>

namespace fintu
{
    Font::Font(const hstring& name) : name(name) {}

    Font::~Font()
    {
        clearAtlases();
        name = "";
    }

    void Font::clearAtlases()
    {
        characters.clear();
        textures.clear();
    }

    tesra::Texture* Font::getTexture(unsigned int code)
    {
        for (const std::unique_ptr<FontTexture>& atlas : textures)
        {
            if (std::find(atlas->characters.begin(), atlas->characters.end(), code) !=
                atlas->characters.end())
            {
                return atlas->texture.get();
            }
        }
        return nullptr;
    }

    bool Font::hasChar(unsigned int code)
    {
        return characters.find(code) != characters.end();
    }

    RenderRectangle Font::makeRenderRectangle(const kavtypes::Rectangle& area,
                                              const kavtypes::Rectangle& dest, unsigned int code)
    {
        RenderRectangle result;
        result.dest = dest;
        if (!dest.intersects(area))
        {
            return result;
        }
        tesra::Texture* texture = getTexture(code);
        if (texture == nullptr)
        {
            return result;
        }
        kavtypes::Vector2 t(1.0f / texture->getWidth(), 1.0f / texture->getHeight());
        auto it = characters.find(code);
        CharacterDefinition g = (it != characters.end() ? it->second : CharacterDefinition());
        float left = (area.x > dest.x ? (area.x - dest.x) / dest.w : 0.0f);
        float top = (area.y > dest.y ? (area.y - dest.y) / dest.h : 0.0f);
        float right = (dest.right() > area.right() ? (dest.right() - area.right()) / dest.w : 0.0f);
        float bottom = (dest.bottom() > area.bottom() ? (dest.bottom() - area.bottom()) / dest.h : 0.0f);
        kavtypes::Vector2 kept(1.0f - left - right, 1.0f - top - bottom);
        result.dest = kavtypes::Rectangle(dest.x + dest.w * left, dest.y + dest.h * top, dest.w * kept.x,
                                          dest.h * kept.y);
        result.src = kavtypes::Rectangle((g.x + g.w * left) * t.x, (g.y + g.h * top) * t.y,
                                         g.w * kept.x * t.x, g.h * kept.y * t.y);
        return result;
    }
} // namespace fintu

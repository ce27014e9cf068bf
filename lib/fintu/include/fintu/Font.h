#pragma once

#include <map>
#include <memory>

#include <kavtypes/Rectangle.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace tesra
{
    class Texture;
}

namespace fintu
{
    /// Where a glyph sits in its atlas and how it is placed against the pen, in pixels.
    struct CharacterDefinition
    {
        float x = 0.0f;
        float y = 0.0f;
        float w = 0.0f;
        float h = 0.0f;
        float bx = 0.0f;
        float by = 0.0f;
        float advance = 0.0f;

        CharacterDefinition() = default;
        CharacterDefinition(float x, float y, float w, float h, float bx, float by, float advance)
            : x(x), y(y), w(w), h(h), bx(bx), by(by), advance(advance)
        {
        }
    };

    /// One glyph atlas and the characters drawn on it.
    struct FontTexture
    {
        std::unique_ptr<tesra::Texture> texture;
        harray<unsigned int> characters;
    };

    /// One glyph quad: texture coordinates (0 to 1) and screen rectangle.
    struct RenderRectangle
    {
        kavtypes::Rectangle src;
        kavtypes::Rectangle dest;
    };

    typedef std::map<unsigned int, CharacterDefinition> CharacterMap;

    /// A font's metrics, glyph definitions and atlases. This base serves fonts whose definitions and atlases
    /// are filled in advance; kinds that rasterise on demand override getTexture and hasChar.
    class Font
    {
    public:
        explicit Font(const hstring& name);
        virtual ~Font();

        const hstring& getName() const { return name; }
        float getHeight() const { return height * scale * baseScale; }
        float getLineHeight() const { return lineHeight * scale * baseScale; }
        float getDescender() const { return descender * scale * baseScale; }
        float getScale() const { return scale * baseScale; }
        void setScale(float value) { scale = value; }
        float getBaseScale() const { return baseScale; }
        bool isCustomDescender() const { return customDescender; }
        bool isLoaded() const { return loaded; }
        const CharacterMap& getCharacters() const { return characters; }
        const harray<std::unique_ptr<FontTexture>>& getTextures() const { return textures; }

        virtual tesra::Texture* getTexture(unsigned int code);
        virtual bool hasChar(unsigned int code);

        /// The quad of one glyph placed at `dest`, clipped to `area` with texture coordinates that follow the
        /// clipped fraction.
        RenderRectangle makeRenderRectangle(const kavtypes::Rectangle& area, const kavtypes::Rectangle& dest,
                                            unsigned int code);

    protected:
        hstring name;
        float height = 0.0f;
        float scale = 1.0f;
        float baseScale = 1.0f;
        float lineHeight = 0.0f;
        float descender = 0.0f;
        bool customDescender = false;
        bool loaded = false;
        CharacterMap characters;
        harray<std::unique_ptr<FontTexture>> textures;

        /// Deletes every atlas and forgets every definition.
        void clearAtlases();
    };
} // namespace fintu

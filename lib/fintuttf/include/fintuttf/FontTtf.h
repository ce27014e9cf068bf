#pragma once

#include <memory>

#include <quortypes/hstring.h>
#include <fintu/Font.h>

namespace quortypes
{
    class FileBase;
}

namespace fintuttf
{
    /// A TrueType or OpenType font rasterised by FreeType into 1024 x 1024 atlases as characters are first
    /// needed.
    class FontTtf : public fintu::Font
    {
    public:
        /// An empty file name takes the installed font of that name.
        FontTtf(const hstring& fontFilename, const hstring& name, float height, float scale, float lineHeight,
                float descender, bool loadBasicAscii = false);
        /// The descender comes from the font.
        FontTtf(const hstring& fontFilename, const hstring& name, float height, float scale, float lineHeight,
                bool loadBasicAscii = false);
        /// The bytes are copied.
        FontTtf(const unsigned char* data, int size, const hstring& name, float height, float scale,
                float lineHeight, float descender, bool loadBasicAscii = false);
        ~FontTtf() override;

        const hstring& getFontFilename() const { return fontFilename; }

        tesra::Texture* getTexture(unsigned int code) override;
        bool hasChar(unsigned int code) override;

    protected:
        int penX = 0;
        int penY = 0;
        int rowHeight = 0;
        int fontDataSize = 0;
        hstring fontFilename;
        bool loadBasicAscii = false;
        std::unique_ptr<unsigned char[]> fontData; ///< FreeType's face reads it: it goes after the face

        void initMetrics(float height, float scale, float lineHeight);
        void loadFace();
        void startAtlases();
        bool addAtlas();
        void renderGlyph(unsigned int code, bool quiet);
        void freeFontData();
        void readWhole(quortypes::FileBase& file);
    };
} // namespace fintuttf

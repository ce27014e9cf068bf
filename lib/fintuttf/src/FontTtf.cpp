#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <tesra/RenderSystem.h>
#include <tesra/Texture.h>
#include <tesra/tesra.h>
#include <fintu/Renderer.h>
#include <fintuttf/FontTtf.h>
#include <fintuttf/fintuttf.h>

namespace fintuttf
{
    namespace
    {
        // The glyph's coverage as one byte per pixel into `result`, its rows `stride` bytes apart.
        void copyCoverage(const FT_Bitmap& bitmap, unsigned char* result, size_t stride)
        {
            const int width = (int)bitmap.width;
            const int rows = (int)bitmap.rows;
            // with a negative pitch the rows run upwards from the end of the buffer
            const unsigned char* top =
                bitmap.buffer + (bitmap.pitch < 0 ? -(ptrdiff_t)bitmap.pitch * (rows - 1) : 0);
            for (int y = 0; y < rows; ++y)
            {
                const unsigned char* row = top + (ptrdiff_t)y * bitmap.pitch;
                unsigned char* out = result + (size_t)y * stride;
                if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                {
                    memcpy(out, row, (size_t)width);
                    continue;
                }
                for (int x = 0; x < width; ++x)
                {
                    switch (bitmap.pixel_mode)
                    {
                    case FT_PIXEL_MODE_MONO:
                        out[x] = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
                        break;
                    case FT_PIXEL_MODE_GRAY2:
                        out[x] = ((row[x >> 2] >> (6 - 2 * (x & 3))) & 3) * 85;
                        break;
                    case FT_PIXEL_MODE_GRAY4:
                        out[x] = ((row[x >> 1] >> (4 - 4 * (x & 1))) & 15) * 17;
                        break;
                    case FT_PIXEL_MODE_BGRA:
                        out[x] = row[x * 4 + 3];
                        break;
                    default:
                        out[x] = row[x];
                        break;
                    }
                }
            }
        }

        // Into a one-byte atlas the coverage goes straight into its system copy, and up to video memory
        // with every other glyph added before the atlas is drawn with; other atlases convert it.
        void writeGlyph(tesra::Texture* texture, const FT_Bitmap& bitmap, int x, int y)
        {
            const int width = (int)bitmap.width, rows = (int)bitmap.rows;
            if (texture->getFormat() == tesra::Image::FORMAT_ALPHA && texture->getData() != nullptr)
            {
                tesra::Texture::Lock lock = texture->lock(x, y, width, rows);
                if (!lock.failed && lock.systemBuffer)
                {
                    copyCoverage(bitmap, lock.data + (size_t)lock.dy * lock.dataWidth + lock.dx,
                                 (size_t)lock.dataWidth);
                    texture->unlockLater(lock);
                    return;
                }
                texture->unlock(lock, false);
            }
            std::vector<unsigned char> pixels((size_t)width * rows);
            copyCoverage(bitmap, pixels.data(), (size_t)width);
            texture->write(0, 0, width, rows, x, y, pixels.data(), width, rows, tesra::Image::FORMAT_ALPHA);
        }
    } // namespace

    FontTtf::FontTtf(const hstring& fontFilename, const hstring& name, float height, float scale,
                     float lineHeight, float descender, bool loadBasicAscii)
        : fintu::Font(name), fontFilename(fontFilename), loadBasicAscii(loadBasicAscii)
    {
        initMetrics(height, scale, lineHeight);
        this->descender = descender;
        this->customDescender = true;
        loadFace();
    }

    FontTtf::FontTtf(const hstring& fontFilename, const hstring& name, float height, float scale,
                     float lineHeight, bool loadBasicAscii)
        : fintu::Font(name), fontFilename(fontFilename), loadBasicAscii(loadBasicAscii)
    {
        initMetrics(height, scale, lineHeight);
        this->customDescender = false;
        loadFace();
    }

    FontTtf::FontTtf(const unsigned char* data, int size, const hstring& name, float height, float scale,
                     float lineHeight, float descender, bool loadBasicAscii)
        : fintu::Font(name), loadBasicAscii(loadBasicAscii)
    {
        initMetrics(height, scale, lineHeight);
        this->descender = descender;
        this->customDescender = true;
        if (data != nullptr && size > 0)
        {
            fontData.reset(new unsigned char[size]);
            memcpy(fontData.get(), data, size);
            fontDataSize = size;
        }
        loadFace();
    }

    void FontTtf::initMetrics(float height, float scale, float lineHeight)
    {
        this->height = height;
        this->scale = scale;
        this->baseScale = scale;
        this->lineHeight = lineHeight;
    }

    FontTtf::~FontTtf()
    {
        // Only a loaded font has a face to give back.
        if (this->loaded)
        {
            removeFace(this);
        }
        freeFontData();
    }

    void FontTtf::freeFontData()
    {
        fontData.reset();
        fontDataSize = 0;
    }

    void FontTtf::readWhole(quortypes::FileBase& file)
    {
        fontDataSize = std::max((int)file.getSize(), 0);
        fontData.reset(new unsigned char[std::max(fontDataSize, 1)]);
        fontDataSize = std::max(file.readRaw(fontData.get(), fontDataSize), 0);
        file.close();
    }

    void FontTtf::loadFace()
    {
        if (fontDataSize == 0)
        {
            if (fontFilename == "")
            {
                fontFilename = getSystemFontFilename(name);
            }
            if (fontFilename == "")
            {
                quortypes::Log::warn(logTag, "Could not find system font: " + quortypes::Log::quote(name));
                return;
            }
            if (!quortypes::Resource::exists(fontFilename) && !quortypes::File::exists(fontFilename))
            {
                quortypes::Log::error(logTag, "Could not find: " + fontFilename);
                return;
            }
        }
        // FreeType takes the pixel height as a whole 16-bit number: one that is no size, or past that, cannot
        // be asked for (and would overflow the conversion below).
        const float largest = 65535.0f;
        if (!(height > 0.0f && height <= largest))
        {
            quortypes::Log::errorf(logTag, "Font '%s': height %f is not a size between 0 and %.0f.",
                                   name.c_str(), height, largest);
            return;
        }
        if (lineHeight == 0.0f)
        {
            lineHeight = height;
        }
        FT_Library library = getLibrary();
        if (fontDataSize == 0)
        {
            if (quortypes::Resource::exists(fontFilename))
            {
                quortypes::Resource file(fontFilename);
                readWhole(file);
            }
            else
            {
                quortypes::File file(fontFilename);
                readWhole(file);
            }
        }
        FT_Face face = nullptr;
        FT_Error error = FT_New_Memory_Face(library, fontData.get(), fontDataSize, 0, &face);
        if (error != 0)
        {
            if (error == FT_Err_Unknown_File_Format)
            {
                quortypes::Log::error(logTag, "Format not supported in: " + fontFilename);
            }
            else
            {
                quortypes::Log::error(logTag, "Could not read face 0 in: " + fontFilename +
                                                  "; Error code: " + hstring((int)error));
            }
            freeFontData();
            return;
        }
        FT_Size_RequestRec request;
        request.type = FT_SIZE_REQUEST_TYPE_REAL_DIM;
        request.width = 0;
        request.height = (FT_Long)(int)(height + 0.5f) * 64;
        request.horiResolution = 0;
        request.vertResolution = 0;
        if (FT_Request_Size(face, &request) != 0)
        {
            quortypes::Log::error(logTag, "Could not set font size in: " + fontFilename);
            freeFontData();
            FT_Done_Face(face);
            return;
        }
        if (!customDescender)
        {
            descender = (float)-((face->size->metrics.descender + 63) >> 6);
        }
        addFace(this, face);
        startAtlases();
        loaded = true;
    }

    void FontTtf::startAtlases()
    {
        addAtlas();
        penX = 0;
        penY = 0;
        rowHeight = 0;
        if (loadBasicAscii)
        {
            for (unsigned int code = 32; code <= 127; ++code)
            {
                renderGlyph(code, true);
            }
        }
    }

    bool FontTtf::addAtlas()
    {
        std::unique_ptr<tesra::Texture> texture;
        tesra::RenderSystem* system = tesra::rendersys;
        const int size = getTextureSize();
        if (system != nullptr)
        {
            if (isAllowAlphaTextures())
            {
                texture.reset(system->createTexture(size, size, tesra::Color(0, 0, 0, 0),
                                                    tesra::Image::FORMAT_ALPHA,
                                                    tesra::Texture::Type::MANAGED));
                if (texture == nullptr || !texture->isLoaded())
                {
                    texture.reset();
                    quortypes::Log::warn(logTag, "Trying a RGBA format.");
                }
            }
            if (texture == nullptr)
            {
                texture.reset(system->createTexture(size, size, tesra::Color(255, 255, 255, 0),
                                                    system->getNativeTextureFormat(tesra::Image::FORMAT_RGBA),
                                                    tesra::Texture::Type::MANAGED));
            }
        }
        auto atlas = std::make_unique<fintu::FontTexture>();
        atlas->texture = std::move(texture);
        textures.push_back(std::move(atlas));
        return textures.back()->texture != nullptr;
    }

    void FontTtf::renderGlyph(unsigned int code, bool quiet)
    {
        if (characters.find(code) != characters.end())
        {
            return;
        }
        FT_Face face = getFace(this);
        if (face == nullptr)
        {
            return;
        }
        FT_UInt index = FT_Get_Char_Index(face, code == 0xA0 ? 0x20 : code);
        if (index == 0)
        {
            if (!quiet && code >= 0x20)
            {
                quortypes::Log::debugf(logTag, "Character '0x%X' does not exist in: %s", code,
                                       fontFilename.c_str());
            }
            return;
        }
        // a glyph that failed to load or render leaves the previous bitmap in the slot: nothing is packed
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0)
        {
            quortypes::Log::error(logTag, "Could not load glyph from: " + fontFilename);
            return;
        }
        FT_GlyphSlot slot = face->glyph;
        if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        {
            quortypes::Log::error(logTag, "Could not render glyph from: " + fontFilename);
            return;
        }
        const FT_Bitmap& bitmap = slot->bitmap;
        const int size = getTextureSize();
        const int baseline = (int)height + (int)((face->size->metrics.descender + 63) >> 6);
        const int dy = baseline - slot->bitmap_top;
        const int cellWidth = (int)bitmap.width + 4;
        const int cellHeight = (int)bitmap.rows + std::max(0, dy) + 4;
        // a cell larger than an atlas would be written outside it
        if (cellWidth > size || cellHeight > size)
        {
            quortypes::Log::warnf(logTag,
                                  "Font '%s': character 0x%X (%d x %d) does not fit in a %d x %d texture!",
                                  name.c_str(), code, cellWidth, cellHeight, size, size);
            return;
        }
        penX += std::max(0, slot->bitmap_left);
        if (penX + cellWidth > size)
        {
            penY += rowHeight;
            penX = 0;
            rowHeight = cellHeight;
        }
        else
        {
            rowHeight = std::max(rowHeight, cellHeight);
        }
        if (rowHeight + penY > size)
        {
            quortypes::Log::debugf(logTag, "Font '%s': character 0x%X does not fit, creating new texture.",
                                   name.c_str(), code);
            addAtlas();
            penX = 0;
            penY = 0;
        }
        tesra::Texture* texture = textures.back()->texture.get();
        if (texture != nullptr && bitmap.width > 0 && bitmap.rows > 0)
        {
            writeGlyph(texture, bitmap, penX + 2, penY + std::max(0, dy) + 2);
        }
        fintu::CharacterDefinition definition;
        definition.x = (float)penX;
        definition.y = (float)penY;
        definition.w = (float)cellWidth;
        definition.h = (float)cellHeight;
        definition.bx = (float)((slot->metrics.horiBearingX + 63) >> 6);
        definition.by =
            (float)((baseline - std::min(0, dy)) - (int)((face->size->metrics.ascender + 63) >> 6));
        definition.advance = (float)((slot->metrics.horiAdvance + 63) >> 6);
        characters[code] = definition;
        textures.back()->characters.push_back(code);
        penX += cellWidth;
    }

    tesra::Texture* FontTtf::getTexture(unsigned int code)
    {
        bool lost = false;
        for (const std::unique_ptr<fintu::FontTexture>& atlas : textures)
        {
            lost = lost || (atlas->texture != nullptr && !atlas->texture->isLoaded());
        }
        if (lost)
        {
            // cached render sequences of any text may point at the atlases about to be deleted
            if (fintu::renderer != nullptr)
            {
                fintu::renderer->clearCache();
            }
            clearAtlases();
            startAtlases();
        }
        renderGlyph(code, false);
        return fintu::Font::getTexture(code);
    }

    bool FontTtf::hasChar(unsigned int code)
    {
        renderGlyph(code, false);
        return fintu::Font::hasChar(code);
    }
} // namespace fintuttf

#include <algorithm>
#include <memory>
#include <utility>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>

namespace fintu
{
    namespace
    {
        const char* const colorTable[][2] = {
            {"white", "FFFFFFFF"},        {"black", "000000FF"},        {"grey", "7F7F7FFF"},
            {"red", "FF0000FF"},          {"green", "00FF00FF"},        {"blue", "0000FFFF"},
            {"yellow", "FFFF00FF"},       {"magenta", "FF00FFFF"},      {"cyan", "00FFFFFF"},
            {"orange", "FF7F00FF"},       {"pink", "FF007FFF"},         {"teal", "00FF7FFF"},
            {"neon", "7FFF00FF"},         {"purple", "7F00FFFF"},       {"aqua", "007FFFFF"},
            {"light_grey", "BFBFBFFF"},   {"light_red", "FF7F7FFF"},    {"light_green", "7FFF7FFF"},
            {"light_blue", "7F7FFFFF"},   {"light_yellow", "FFFF7FFF"}, {"light_magenta", "FF7FFFFF"},
            {"light_cyan", "7FFFFFFF"},   {"light_orange", "FFBF7FFF"}, {"light_pink", "FF7FBFFF"},
            {"light_teal", "7FFFBFFF"},   {"light_neon", "BFFF7FFF"},   {"light_purple", "BF7FFFFF"},
            {"light_aqua", "7FBFFFFF"},   {"dark_grey", "3F3F3FFF"},    {"dark_red", "7F0000FF"},
            {"dark_green", "007F00FF"},   {"dark_blue", "00007FFF"},    {"dark_yellow", "7F7F00FF"},
            {"dark_magenta", "7F007FFF"}, {"dark_cyan", "007F7FFF"},    {"dark_orange", "7F3F00FF"},
            {"dark_pink", "7F003FFF"},    {"dark_teal", "007F3FFF"},    {"dark_neon", "3F7F00FF"},
            {"dark_purple", "3F007FFF"},  {"dark_aqua", "003F7FFF"},
        };
    } // namespace

    Renderer::Renderer()
    {
        for (const auto& entry : colorTable)
        {
            colors[entry[0]] = entry[1];
        }
    }

    Renderer::~Renderer()
    {
        defaultFont = nullptr;
        clearCache();
        // In the order of their first names, as fonts have always gone.
        for (auto& entry : fonts)
        {
            this->takeFont(entry.second).reset();
        }
        this->ownedFonts.clear();
        fonts.clear();
    }

    void Renderer::registerFont(Font* font, bool allowDefault)
    {
        this->checkFontName(font);
        if (!this->owns(font))
        {
            this->ownedFonts.emplace_back(font);
        }
        this->addFontName(font, allowDefault);
    }

    void Renderer::registerFont(std::unique_ptr<Font> font, bool allowDefault)
    {
        this->checkFontName(font.get());
        Font* raw = font.get();
        this->ownedFonts.push_back(std::move(font));
        this->addFontName(raw, allowDefault);
    }

    bool Renderer::owns(Font* font) const
    {
        return std::any_of(this->ownedFonts.begin(), this->ownedFonts.end(),
                           [font](const std::unique_ptr<Font>& owned) { return owned.get() == font; });
    }

    std::unique_ptr<Font> Renderer::takeFont(Font* font)
    {
        for (auto it = this->ownedFonts.begin(); it != this->ownedFonts.end(); ++it)
        {
            if (it->get() == font)
            {
                std::unique_ptr<Font> result = std::move(*it);
                this->ownedFonts.erase(it);
                return result;
            }
        }
        return nullptr;
    }

    void Renderer::checkFontName(Font* font)
    {
        quortypes::Log::write(logTag, "Registering font: " + quortypes::Log::quote(font->getName()));
        if (fonts.hasKey(font->getName()))
        {
            throw quortypes::exception(
                formatString("'%s' '%s' already exists in '%s'", font->getName().c_str(), "font", "fintu"),
                "src/Renderer", 249);
        }
    }

    void Renderer::addFontName(Font* font, bool allowDefault)
    {
        fonts[font->getName()] = font;
        if (defaultFont == nullptr && allowDefault)
        {
            defaultFont = font;
        }
        clearCache();
    }

    std::unique_ptr<Font> Renderer::unregisterFont(Font* font)
    {
        if (!fonts.hasValue(font))
        {
            throw quortypes::_resource_not_exists("font", font->getName(), "fintu", "src/Renderer", 263);
        }
        for (auto it = fonts.begin(); it != fonts.end();)
        {
            it = (it->second == font ? fonts.erase(it) : std::next(it));
        }
        if (defaultFont == font)
        {
            defaultFont = (fonts.size() > 0 ? fonts.begin()->second : nullptr);
        }
        clearCache();
        return this->takeFont(font);
    }

    void Renderer::destroyFont(Font* font)
    {
        unregisterFont(font).reset();
    }

    Font* Renderer::getFont(const hstring& name)
    {
        if (name == "" && defaultFont != nullptr)
        {
            defaultFont->setScale(1.0f);
            return defaultFont;
        }
        auto it = fonts.find(name);
        if (it != fonts.end())
        {
            it->second->setScale(1.0f);
            return it->second;
        }
        int colon = name.find(':');
        if (colon < 0)
        {
            return nullptr;
        }
        Font* result = getFont(name.subString(0, colon));
        if (result != nullptr)
        {
            result->setScale(name.subString(colon + 1).toFloat());
        }
        return result;
    }

    bool Renderer::hasFont(const hstring& name) const
    {
        return (name == "" && defaultFont != nullptr) || fonts.hasKey(name);
    }

    void Renderer::setShadowOffset(const kavtypes::Vector2& value)
    {
        if (shadowOffset != value)
        {
            shadowOffset = value;
            clearCache();
        }
    }

    void Renderer::setBorderOffset(float value)
    {
        if (borderOffset != value)
        {
            borderOffset = value;
            clearCache();
        }
    }

    void Renderer::setUseIdeographWords(bool value)
    {
        if (useIdeographWords != value)
        {
            useIdeographWords = value;
            clearCache();
        }
    }

    void Renderer::setCacheSize(int size)
    {
        textCache.setMaxSize(size);
        unformattedTextCache.setMaxSize(size);
        lineCache.setMaxSize(size);
        textCache.trim();
        unformattedTextCache.trim();
        lineCache.trim();
    }

    void Renderer::clearCache()
    {
        if (textCache.size() > 0)
        {
            quortypes::Log::writef(logTag, "Clearing %d text cache entries...", textCache.size());
            textCache.clear();
        }
        if (unformattedTextCache.size() > 0)
        {
            quortypes::Log::writef(logTag, "Clearing %d unformatted text cache entries...",
                                   unformattedTextCache.size());
            unformattedTextCache.clear();
        }
        if (lineCache.size() > 0)
        {
            quortypes::Log::writef(logTag, "Clearing %d line calculation cache entries...", lineCache.size());
            lineCache.clear();
        }
    }
} // namespace fintu

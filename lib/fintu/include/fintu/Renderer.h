#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <unordered_set>
#include <vector>

#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <tesra/Color.h>
#include <fintu/Cache.h>
#include <fintu/Font.h>
#include <fintu/FormatTag.h>
#include <fintu/RenderLine.h>
#include <fintu/RenderSequence.h>

namespace fintu
{
    /// Horizontal formatting values; the wrapped ones and JUSTIFIED break lines that do not fit.
    enum Horizontal
    {
        CENTER = 1,
        LEFT = 3,
        RIGHT = 4,
        LEFT_WRAPPED = 5,
        RIGHT_WRAPPED = 6,
        CENTER_WRAPPED = 7,
        JUSTIFIED = 8
    };

    enum Vertical
    {
        TOP = 0,
        CENTER_VERTICAL = 1,
        BOTTOM = 2
    };

    /// The font registry, the tag machine, layout and drawing. Layout and drawing keep their working state
    /// in the object, so no call may be made while another one runs.
    class Renderer
    {
    public:
        Renderer();
        ~Renderer();

        // registry
        const hdict<Font*>& getFonts() const { return fonts; }
        Font* getDefaultFont() const { return defaultFont; }
        const hdict<hstring>& getColors() const { return colors; }
        /// Takes the font over, unless it holds it already under another name; a font refused (its name is
        /// taken) stays the caller's.
        void registerFont(Font* font, bool allowDefault = true);
        /// As above; a font refused goes.
        void registerFont(std::unique_ptr<Font> font, bool allowDefault = true);
        /// Forgets every name of the font and hands it back.
        std::unique_ptr<Font> unregisterFont(Font* font);
        void destroyFont(Font* font);
        /// "name", "" for the default font, or "name:scale"; sets the font's scale on every success.
        Font* getFont(const hstring& name);
        bool hasFont(const hstring& name) const;

        // effects and caches
        const kavtypes::Vector2& getShadowOffset() const { return shadowOffset; }
        void setShadowOffset(const kavtypes::Vector2& value);
        const tesra::Color& getShadowColor() const { return shadowColor; }
        float getBorderOffset() const { return borderOffset; }
        void setBorderOffset(float value);
        const tesra::Color& getBorderColor() const { return borderColor; }
        bool isUseIdeographWords() const { return useIdeographWords; }
        void setUseIdeographWords(bool value);
        void setCacheSize(int size);
        void clearCache();
        const Cache<CacheEntryText>& getTextCache() const { return textCache; }
        const Cache<CacheEntryText>& getUnformattedTextCache() const { return unformattedTextCache; }
        const Cache<CacheEntryLine>& getLineCache() const { return lineCache; }

        // tags
        hstring parseTags(const hstring& text, harray<FormatTag>& tags);
        hstring prepareFormattedText(const hstring& fontName, const hstring& text, harray<FormatTag>& tags);
        harray<FormatTag> makeDefaultTags(const hstring& fontName);
        void initializeTags(const harray<FormatTag>& tags);
        void processTags(const hstring& text, int index);
        void processTagsForDrawing(int index);

        // layout
        harray<RenderLine> createRenderLines(kavtypes::Rectangle rect, const hstring& text,
                                             harray<FormatTag> tags, int horzFormatting, int vertFormatting,
                                             kavtypes::Vector2 offset = kavtypes::Vector2(),
                                             bool keepWrappedSpaces = false);
        harray<RenderWord> createRenderWords(kavtypes::Rectangle rect, const hstring& text,
                                             harray<FormatTag> tags);
        RenderLine calculateFittingLine(kavtypes::Rectangle rect, const hstring& text,
                                        harray<FormatTag> tags);
        float getTextWidth(const hstring& fontName, const hstring& text);
        float getTextHeight(const hstring& fontName, const hstring& text, float width);

        // drawing
        void drawText(const hstring& fontName, kavtypes::Rectangle rect, const hstring& text,
                      int horzFormatting, int vertFormatting, tesra::Color color = tesra::Color(),
                      kavtypes::Vector2 offset = kavtypes::Vector2());
        void createRenderSequences(kavtypes::Rectangle rect, harray<RenderLine> lines,
                                   harray<FormatTag> tags);
        void drawRenderSequences(const CacheEntryText& sequences, tesra::Color color);
        void drawRenderSequence(const RenderSequence& sequence, tesra::Color color);
        /// The lines of the last text laid out for drawing.
        const harray<RenderLine>& getLines() const { return lines; }

    protected:
        enum Effect
        {
            EFFECT_NONE = 0,
            EFFECT_SHADOW = 1,
            EFFECT_BORDER = 2
        };

        hdict<Font*> fonts;                            ///< by every name a font is registered under
        std::vector<std::unique_ptr<Font>> ownedFonts; ///< each registered font once
        Font* defaultFont = nullptr;
        hdict<hstring> colors;
        kavtypes::Vector2 shadowOffset = kavtypes::Vector2(1.0f, 1.0f);
        tesra::Color shadowColor = tesra::Color(0, 0, 0, 255);
        float borderOffset = 1.0f;
        tesra::Color borderColor = tesra::Color(0, 0, 0, 255);
        bool useIdeographWords = false;
        Cache<CacheEntryText> textCache;
        Cache<CacheEntryText> unformattedTextCache;
        Cache<CacheEntryLine> lineCache;

        // tag state
        harray<FormatTag> pendingTags;
        int pendingIndex = 0;
        harray<FormatTag> tagStack;
        FormatTag currentTag;
        FormatTag nextTag;
        hstring fontName;
        Font* font = nullptr;
        CharacterMap characters;
        bool metricsTaken = false;
        float fontHeight = 0.0f;
        float lineHeight = 0.0f;
        float descender = 0.0f;
        float fontScale = 1.0f;
        float textScale = 1.0f;
        float scale = 1.0f;

        // drawing state
        tesra::Color textColor;
        tesra::Color effectShadowColor;
        tesra::Color effectBorderColor;
        int effect = EFFECT_NONE;
        int wordStart = 0;
        unsigned int code = 0;
        tesra::Texture* texture = nullptr;
        RenderSequence textSequence;
        RenderSequence shadowSequence;
        RenderSequence borderSequence;
        harray<RenderSequence> textSequences;
        harray<RenderSequence> shadowSequences;
        harray<RenderSequence> borderSequences;
        harray<RenderLine> lines;
        CacheEntryText textKey;
        CacheEntryLine lineKey;
        /// Texts already reported as not fitting their rectangle, by a hash of the text, its first font and
        /// the rectangle's size, the oldest first: a label laid out again in every frame reports once.
        std::deque<size_t> unfitReported;
        std::unordered_set<size_t> unfitReportedSet;

        void popLayoutTag();
        void popDrawingTag();
        void takeNextTag(int sentinel);
        void selectFont(const hstring& name);
        /// Resolves a colour name or hexadecimal text; false, with a warning, when it is neither.
        bool resolveColor(const hstring& text, tesra::Color& color);
        void checkSequences();
        void reportUnfit(kavtypes::Rectangle rect, const hstring& plain, const harray<FormatTag>& tags);

        /// The text up to its first zero byte, with every character offered to the first tag's font.
        bool owns(Font* font) const;
        /// The font's owner out of ownedFonts; null when the renderer does not hold it.
        std::unique_ptr<Font> takeFont(Font* font);
        /// Logs the registration and throws when the font's name is taken.
        void checkFontName(Font* font);
        void addFontName(Font* font, bool allowDefault);
        hstring prepareLayoutText(const hstring& text, const harray<FormatTag>& tags);
        /// Advance and extent of one character at pen position `ax` with the current font and scale.
        void measureCharacter(unsigned int code, float ax, float& charAdvance, float& charExtent,
                              CharacterDefinition** definition = nullptr);
    };

    /// The one renderer, made by init() and deleted by destroy().
    extern Renderer* renderer;
} // namespace fintu

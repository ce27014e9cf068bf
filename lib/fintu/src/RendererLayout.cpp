#include <algorithm>
#include <functional>
#include <string>

#include <quortypes/Log.h>
#include <quortypes/util.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>

namespace fintu
{
    namespace
    {
        // Texts remembered as reported not to fit; more than a screen's worth of labels.
        const size_t maxUnfitReported = 256;

        bool isIdeograph(unsigned int c)
        {
            return (c >= 0x3040 && c <= 0x309F) || (c >= 0x30A0 && c <= 0x30FF) ||
                   (c >= 0x3400 && c <= 0x4DFF) || (c >= 0x4E00 && c <= 0x9FFF) ||
                   (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x2A6DF) ||
                   (c >= 0x2F800 && c <= 0x2FA1F);
        }

        bool isBreakCharacter(unsigned int c)
        {
            static const unsigned int breaks[] = {
                0x2015, 0x2025, 0x2026, 0x3000, 0x3001, 0x3002, 0x3009, 0x300B, 0x300D, 0x300F,
                0x3011, 0x3015, 0x3017, 0x3019, 0x301B, 0x301C, 0x30FB, 0x30FC, 0x4E00, 0xFF01,
                0xFF09, 0xFF0C, 0xFF1A, 0xFF1E, 0xFF1F, 0xFF3D, 0xFF5D, 0xFF60, 0xFF63};
            return std::find(std::begin(breaks), std::end(breaks), c) != std::end(breaks);
        }

        bool isWrapping(int horzFormatting)
        {
            return horzFormatting == LEFT_WRAPPED || horzFormatting == RIGHT_WRAPPED ||
                   horzFormatting == CENTER_WRAPPED || horzFormatting == JUSTIFIED;
        }

        void moveLine(RenderLine& line, float dx)
        {
            line.rect.x += dx;
            for (RenderWord& word : line.words)
            {
                word.rect.x += dx;
            }
        }
    } // namespace

    hstring Renderer::prepareLayoutText(const hstring& text, const harray<FormatTag>& tags)
    {
        hstring result = text;
        int zero = text.find('\0');
        if (zero >= 0)
        {
            quortypes::Log::warnf(logTag, "Text '%s' has \\0 character before the actual end!",
                                  quortypes::Log::quote(text).c_str());
            result = text.subString(0, zero);
        }
        Font* first = (tags.size() > 0 ? getFont(tags.front().data) : nullptr);
        if (first != nullptr)
        {
            for (int i = 0, length = 1; i < result.size(); i += std::max(length, 1))
            {
                first->hasChar(result.unicodeCharAt(i, &length));
            }
        }
        return result;
    }

    void Renderer::measureCharacter(unsigned int code, float ax, float& charAdvance, float& charExtent,
                                    CharacterDefinition** definition)
    {
        // a character the font lacks takes no room
        CharacterDefinition& c = characters[code];
        if (definition != nullptr)
        {
            *definition = &c;
        }
        float advance = c.advance;
        float extent = c.w + c.bx;
        if (-(scale * c.bx) > ax)
        {
            advance = c.advance - c.bx;
            extent = c.w;
        }
        charAdvance = advance * scale;
        charExtent = std::max(extent * scale, charAdvance);
    }

    void Renderer::reportUnfit(kavtypes::Rectangle rect, const hstring& plain, const harray<FormatTag>& tags)
    {
        const std::hash<std::string> hash;
        size_t key = hash(plain);
        key = key * 31 + hash(tags.size() > 0 ? std::string(tags[0].data) : std::string());
        key = key * 31 + std::hash<float>()(rect.w);
        key = key * 31 + std::hash<float>()(rect.h);
        if (!this->unfitReportedSet.insert(key).second)
        {
            return;
        }
        this->unfitReported.push_back(key);
        if (this->unfitReported.size() > maxUnfitReported)
        {
            this->unfitReportedSet.erase(this->unfitReported.front());
            this->unfitReported.pop_front();
        }
        quortypes::Log::warn(logTag, "String does not fit in rect: " + quortypes::Log::quote(plain));
    }

    harray<RenderWord> Renderer::createRenderWords(kavtypes::Rectangle rect, const hstring& text,
                                                   harray<FormatTag> tags)
    {
        const hstring plain = prepareLayoutText(text, tags);
        initializeTags(tags);
        processTags(plain, 0);
        harray<RenderWord> words;
        const int size = plain.size();
        bool spaces = true;
        int i = 0;
        while (i < size)
        {
            RenderWord word;
            word.start = i;
            float ax = 0.0f;
            float extent = 0.0f;
            int taken = 0;
            bool tooWide = false;
            bool newline = false;
            int j = i;
            while (j < size)
            {
                int length = 1;
                unsigned int c = plain.unicodeCharAt(j, &length);
                length = std::max(length, 1);
                if (c == '\n')
                {
                    newline = (taken == 0);
                    break;
                }
                if ((c == ' ') != spaces)
                {
                    break;
                }
                processTags(plain, j);
                float charAdvance = 0.0f;
                float charExtent = 0.0f;
                measureCharacter(c, ax, charAdvance, charExtent);
                if (extent + charExtent > rect.w)
                {
                    tooWide = true;
                    break;
                }
                word.charWidths.push_back(charAdvance);
                extent = ax + charExtent;
                ax += charAdvance;
                ++taken;
                j += length;
                if (!spaces && j < size)
                {
                    unsigned int next = plain.unicodeCharAt(j);
                    if (useIdeographWords ? (isIdeograph(c) || isBreakCharacter(c)) && !isBreakCharacter(next)
                                          : isBreakCharacter(c) && taken >= 2)
                    {
                        break;
                    }
                }
            }
            if (newline)
            {
                j = i + 1;
            }
            else if (taken == 0)
            {
                if (tooWide)
                {
                    this->reportUnfit(rect, plain, tags);
                    return words;
                }
                spaces = !spaces;
                continue;
            }
            word.text = plain.subString(i, j - i);
            word.count = j - i;
            word.spaces = (spaces && !newline ? word.count : 0);
            word.rect = kavtypes::Rectangle(rect.x, rect.y, ax, 0.0f);
            word.fullWidth = extent;
            words.push_back(word);
            spaces = !spaces;
            i = j;
        }
        return words;
    }

    harray<RenderLine> Renderer::createRenderLines(kavtypes::Rectangle rect, const hstring& text,
                                                   harray<FormatTag> tags, int horzFormatting,
                                                   int vertFormatting, kavtypes::Vector2 offset,
                                                   bool keepWrappedSpaces)
    {
        harray<RenderWord> words = createRenderWords(rect, text, tags);
        const bool wrapping = isWrapping(horzFormatting);
        harray<RenderLine> result;
        RenderLine line;
        float width = 0.0f;
        auto startLine = [&]()
        {
            line = RenderLine();
            line.rect = kavtypes::Rectangle(rect.x, rect.y, 0.0f, fontHeight);
            width = 0.0f;
        };
        auto endLine = [&]()
        {
            harray<RenderWord>& lineWords = line.words;
            if (wrapping && !keepWrappedSpaces)
            {
                while (lineWords.size() > 0 && lineWords.front().spaces > 0)
                {
                    lineWords.erase(lineWords.begin());
                }
                while (lineWords.size() > 0 && lineWords.back().spaces > 0)
                {
                    lineWords.pop_back();
                }
            }
            if (lineWords.size() > 0)
            {
                RenderWord& last = lineWords.back();
                last.rect.w = std::max(last.rect.w, last.fullWidth);
                float x = lineWords.front().rect.x;
                line.text = "";
                line.spaces = 0;
                for (RenderWord& word : lineWords)
                {
                    word.rect.x = x;
                    x += word.rect.w;
                    line.text += word.text;
                    line.spaces += word.spaces;
                }
                line.rect.w = x - lineWords.front().rect.x;
            }
            line.rect.y = rect.y + result.size() * lineHeight;
            result.push_back(line);
            startLine();
        };
        startLine();
        const int count = words.size();
        for (int k = 0; k < count; ++k)
        {
            RenderWord& word = words[k];
            if (word.text == "\n")
            {
                line.terminated = true;
                endLine();
                continue;
            }
            bool endAfter = (k == count - 1);
            if (wrapping && width + word.fullWidth > rect.w)
            {
                if (line.words.size() > 0)
                {
                    endLine();
                    --k;
                    continue;
                }
                endAfter = true;
            }
            if (line.words.size() == 0)
            {
                line.start = word.start;
            }
            word.rect.y += result.size() * lineHeight;
            width += word.rect.w;
            line.words.push_back(word);
            line.count += word.count;
            if (endAfter)
            {
                endLine();
            }
        }
        // vertical placement
        float lineCount =
            (float)result.size() + (result.size() > 0 && result.back().terminated ? 1.0f : 0.0f);
        float dy = offset.y;
        if (vertFormatting == CENTER_VERTICAL)
        {
            dy = (lineCount * lineHeight - rect.h + descender) * 0.5f + offset.y;
        }
        else if (vertFormatting == BOTTOM)
        {
            dy = lineCount * lineHeight - rect.h + descender + offset.y;
        }
        harray<RenderLine> visible;
        for (RenderLine& current : result)
        {
            current.rect.y -= dy;
            for (RenderWord& word : current.words)
            {
                word.rect.y -= dy;
            }
            if (current.rect.w != 0.0f && current.rect.h != 0.0f && !current.rect.intersects(rect))
            {
                continue;
            }
            visible.push_back(current);
        }
        // horizontal placement
        const int visibleCount = visible.size();
        for (int k = 0; k < visibleCount; ++k)
        {
            RenderLine& current = visible[k];
            switch (horzFormatting)
            {
            case LEFT:
            case LEFT_WRAPPED:
                moveLine(current, -offset.x);
                break;
            case CENTER:
            case CENTER_WRAPPED:
                moveLine(current, (rect.w - current.rect.w) * 0.5f - offset.x);
                break;
            case RIGHT:
            case RIGHT_WRAPPED:
                moveLine(current, rect.w - offset.x - current.rect.w);
                break;
            case JUSTIFIED:
                if (current.terminated || k == visibleCount - 1)
                {
                    break;
                }
                if (current.spaces == 0)
                {
                    moveLine(current, (rect.w - current.rect.w) * 0.5f - offset.x);
                    break;
                }
                {
                    float wordsWidth = 0.0f;
                    for (const RenderWord& word : current.words)
                    {
                        if (word.spaces == 0)
                        {
                            wordsWidth += word.rect.w;
                        }
                    }
                    float spaceWidth = (rect.w - wordsWidth) / current.spaces;
                    float shift = 0.0f;
                    harray<RenderWord> kept;
                    for (RenderWord& word : current.words)
                    {
                        if (word.spaces > 0)
                        {
                            shift += (spaceWidth - word.rect.w) * word.spaces;
                            continue;
                        }
                        word.rect.x += quortypes::roundToInt(shift);
                        kept.push_back(word);
                    }
                    current.words = kept;
                }
                break;
            default:
                break;
            }
        }
        return visible;
    }

    RenderLine Renderer::calculateFittingLine(kavtypes::Rectangle rect, const hstring& text,
                                              harray<FormatTag> tags)
    {
        const hstring plain = prepareLayoutText(text, tags);
        initializeTags(tags);
        processTags(plain, 0);
        RenderLine line;
        float ax = 0.0f;
        float end = 0.0f;
        const int size = plain.size();
        int j = 0;
        while (j < size)
        {
            int length = 1;
            unsigned int c = plain.unicodeCharAt(j, &length);
            if (c == '\n')
            {
                break;
            }
            processTags(plain, j);
            float charAdvance = 0.0f;
            float charExtent = 0.0f;
            measureCharacter(c, ax, charAdvance, charExtent);
            if (ax + charExtent > rect.w)
            {
                break;
            }
            end = ax + charExtent;
            ax += charAdvance;
            j += std::max(length, 1);
        }
        line.text = plain.subString(0, j);
        line.count = j;
        line.rect = kavtypes::Rectangle(rect.x, rect.y, end, fontHeight);
        return line;
    }

    float Renderer::getTextWidth(const hstring& fontName, const hstring& text)
    {
        if (text == "")
        {
            return 0.0f;
        }
        harray<FormatTag> tags;
        hstring plain = prepareFormattedText(fontName, text, tags);
        if (plain == "")
        {
            return 0.0f;
        }
        float result = 0.0f;
        for (const hstring& piece : plain.split('\n', -1, true))
        {
            lineKey.text = piece;
            lineKey.formatted = (plain != text ? text : hstring());
            lineKey.fontName = fontName;
            lineKey.size = kavtypes::Vector2(100000.0f, 1.0f);
            if (!lineCache.get(lineKey))
            {
                lineKey.line =
                    calculateFittingLine(kavtypes::Rectangle(0.0f, 0.0f, 100000.0f, 1.0f), piece, tags);
                lineCache.add(lineKey);
                lineCache.trim();
            }
            result = std::max(result, lineKey.line.rect.w);
        }
        return result;
    }

    float Renderer::getTextHeight(const hstring& fontName, const hstring& text, float width)
    {
        if (text == "" || width <= 0.0f)
        {
            return 0.0f;
        }
        harray<FormatTag> tags;
        hstring plain = prepareFormattedText(fontName, text, tags);
        if (plain == "")
        {
            return 0.0f;
        }
        if (getFont(fontName) == nullptr)
        {
            quortypes::Log::warnf(logTag, "Font '%s' does not exist!",
                                  quortypes::Log::quote(fontName).c_str());
            return 0.0f;
        }
        harray<RenderLine> result =
            createRenderLines(kavtypes::Rectangle(0.0f, 0.0f, width, 100000.0f), plain, tags, LEFT_WRAPPED,
                              TOP, kavtypes::Vector2(), false);
        // A character wider than the width stops the layout early, yet the text still takes its lines:
        // one, and one more for every line break before its end.
        int lines = 1;
        for (int i = 0; i < plain.size() - 1 && plain[i] != '\0'; ++i)
        {
            lines += (plain[i] == '\n' ? 1 : 0);
        }
        lines = std::max(lines, (int)result.size());
        Font* font = getFont(fontName);
        return lines * font->getLineHeight() + font->getDescender();
    }
} // namespace fintu

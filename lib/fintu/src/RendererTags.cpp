#include <algorithm>

#include <quortypes/Log.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>

namespace fintu
{
    namespace
    {
        int tagType(unsigned int letter)
        {
            switch (letter)
            {
            case 'f':
                return FormatTag::FONT;
            case 'c':
                return FormatTag::COLOR;
            case 'x':
                return FormatTag::SCALE;
            case 'n':
                return FormatTag::NO_EFFECT;
            case 's':
                return FormatTag::SHADOW;
            case 'b':
                return FormatTag::BORDER;
            case '-':
                return FormatTag::IGNORE_FORMATTING;
            default:
                return -1;
            }
        }
    } // namespace

    hstring Renderer::parseTags(const hstring& text, harray<FormatTag>& tags)
    {
        // code points with the byte offset of each, plus the end, so positions follow the original bytes
        harray<unsigned int> chars;
        harray<int> offsets;
        const int size = text.size();
        for (int i = 0; i < size;)
        {
            int length = 1;
            chars.push_back(text.unicodeCharAt(i, &length));
            offsets.push_back(i);
            i += std::max(length, 1);
        }
        offsets.push_back(size);
        const int n = chars.size();
        auto find = [&](unsigned int c, int from)
        {
            for (int i = from; i < n; ++i)
            {
                if (chars[i] == c)
                {
                    return i;
                }
            }
            return -1;
        };
        harray<unsigned int> open;
        bool ignoring = false;
        harray<FormatTag> entries;
        // One warning a text, however many closing tags it leaves unmatched.
        int unmatched = 0;
        unsigned int firstUnmatched = 0;
        for (int s = find('[', 0); s >= 0;)
        {
            int close = find(']', s);
            if (close < 0)
            {
                break;
            }
            int e = close + 1;
            int length = e - s;
            FormatTag entry(FormatTag::ESCAPE, "", offsets[s], offsets[e] - offsets[s]);
            bool accepted = false;
            unsigned int letter = chars[s + 1];
            if (ignoring)
            {
                if (letter == '/' && s + 2 < n && chars[s + 2] == '-')
                {
                    ignoring = false;
                    if (open.size() > 0)
                    {
                        open.pop_back();
                    }
                    entry.type = FormatTag::CLOSE;
                    accepted = true;
                }
            }
            else if (length == 2)
            {
                accepted = true;
            }
            else if (letter == '/')
            {
                unsigned int closed = chars[s + 2];
                if (open.size() > 0 && open.back() == closed)
                {
                    open.pop_back();
                    entry.type = FormatTag::CLOSE;
                    accepted = true;
                }
                else if (unmatched++ == 0)
                {
                    firstUnmatched = closed;
                }
            }
            else if (tagType(letter) >= 0)
            {
                entry.type = tagType(letter);
                ignoring = ignoring || letter == '-';
                open.push_back(letter);
                if (length > 4)
                {
                    entry.data = text.subString(offsets[s + 3], offsets[e - 1] - offsets[s + 3]);
                }
                accepted = true;
            }
            if (accepted)
            {
                entries.push_back(entry);
            }
            s = find('[', e);
        }
        if (unmatched > 0)
        {
            const hstring more = unmatched > 1 ? formatString(", and %d more", unmatched - 1) : hstring();
            quortypes::Log::warnf(logTag, "Closing tag that was not opened ('[/%s]' in '%s')%s!",
                                  hstring::fromUnicode(firstUnmatched).c_str(),
                                  quortypes::Log::quote(text).c_str(), more.c_str());
        }
        hstring result;
        int read = 0;
        int removed = 0;
        for (FormatTag& entry : entries)
        {
            result.append(text, read, entry.start - read);
            read = entry.start + entry.count;
            const int count = entry.count;
            if (entry.type == FormatTag::ESCAPE)
            {
                result += '[';
                --removed;
            }
            else
            {
                entry.start -= removed;
                tags.push_back(entry);
            }
            removed += count;
        }
        result.append(text, read, std::string::npos);
        return result;
    }

    hstring Renderer::prepareFormattedText(const hstring& fontName, const hstring& text,
                                           harray<FormatTag>& tags)
    {
        hstring result = parseTags(text, tags);
        tags.insert(tags.begin(), FormatTag(FormatTag::FONT, fontName));
        return result;
    }

    harray<FormatTag> Renderer::makeDefaultTags(const hstring& fontName)
    {
        harray<FormatTag> result;
        result.push_back(FormatTag(FormatTag::FONT, fontName));
        return result;
    }

    void Renderer::initializeTags(const harray<FormatTag>& tags)
    {
        pendingTags = tags;
        pendingIndex = 0;
        tagStack.clear();
        currentTag = FormatTag();
        nextTag = (pendingTags.size() > 0 ? pendingTags.front() : FormatTag());
        fontName = "";
        font = nullptr;
        characters.clear();
        metricsTaken = false;
        fontHeight = 0.0f;
        lineHeight = 0.0f;
        descender = 0.0f;
        fontScale = 1.0f;
        textScale = 1.0f;
        scale = 1.0f;
    }

    void Renderer::takeNextTag(int sentinel)
    {
        ++pendingIndex;
        if (pendingIndex < pendingTags.size())
        {
            nextTag = pendingTags[pendingIndex];
        }
        else
        {
            nextTag = FormatTag(FormatTag::ESCAPE, "", sentinel);
        }
    }

    void Renderer::selectFont(const hstring& name)
    {
        font = getFont(name);
        if (font == nullptr)
        {
            quortypes::Log::warnf(logTag, "Font '%s' does not exist!", quortypes::Log::quote(name).c_str());
            return;
        }
        if (!metricsTaken)
        {
            // every line of a text keeps the caller's font metrics; later font tags change glyphs only
            metricsTaken = true;
            fontHeight = font->getHeight();
            lineHeight = font->getLineHeight();
            descender = font->getDescender();
        }
        fontName = name;
        characters = font->getCharacters();
        fontScale = font->getScale();
        scale = fontScale * textScale;
    }

    void Renderer::processTags(const hstring& text, int index)
    {
        while (pendingIndex < pendingTags.size() && nextTag.start <= index)
        {
            const FormatTag tag = nextTag;
            switch (tag.type)
            {
            case FormatTag::FONT:
                tagStack.push_back(FormatTag(FormatTag::FONT, fontName));
                selectFont(tag.data);
                break;
            case FormatTag::COLOR:
                tagStack.push_back(FormatTag(FormatTag::COLOR, ""));
                break;
            case FormatTag::SCALE:
                tagStack.push_back(FormatTag(FormatTag::SCALE, hstring(textScale)));
                textScale = tag.data.toFloat();
                break;
            case FormatTag::CLOSE:
                popLayoutTag();
                break;
            default:
                tagStack.push_back(FormatTag(FormatTag::NO_EFFECT, ""));
                break;
            }
            scale = fontScale * textScale;
            takeNextTag(text.size() + 1);
        }
    }

    void Renderer::popLayoutTag()
    {
        if (tagStack.size() == 0)
        {
            return;
        }
        currentTag = tagStack.back();
        tagStack.pop_back();
        if (currentTag.type == FormatTag::FONT)
        {
            selectFont(currentTag.data);
        }
        else if (currentTag.type == FormatTag::SCALE)
        {
            textScale = currentTag.data.toFloat();
        }
    }

    bool Renderer::resolveColor(const hstring& text, tesra::Color& color)
    {
        hstring value = colors.tryGet(text, text);
        // Colour tags name a colour or give its digits, never with a "0x" prefix.
        if (!color.trySet(value, false))
        {
            quortypes::Log::warnf(logTag, "Color '%s' does not exist!", quortypes::Log::quote(value).c_str());
            return false;
        }
        return true;
    }

    void Renderer::processTagsForDrawing(int index)
    {
        while (pendingIndex < pendingTags.size() && nextTag.start <= wordStart + index)
        {
            const FormatTag tag = nextTag;
            switch (tag.type)
            {
            case FormatTag::FONT:
                currentTag = FormatTag(FormatTag::FONT, fontName);
                tagStack.push_back(currentTag);
                selectFont(tag.data);
                break;
            case FormatTag::COLOR:
                currentTag = FormatTag(FormatTag::COLOR, textColor.hex());
                tagStack.push_back(currentTag);
                resolveColor(tag.data, textColor);
                break;
            case FormatTag::SCALE:
                currentTag = FormatTag(FormatTag::SCALE, hstring(textScale));
                tagStack.push_back(currentTag);
                textScale = tag.data.toFloat();
                break;
            case FormatTag::NO_EFFECT:
                currentTag = FormatTag(FormatTag::NO_EFFECT + effect, currentTag.data);
                tagStack.push_back(currentTag);
                effect = EFFECT_NONE;
                break;
            case FormatTag::SHADOW:
                currentTag = FormatTag(FormatTag::NO_EFFECT + effect, effectShadowColor.hex());
                tagStack.push_back(currentTag);
                effect = EFFECT_SHADOW;
                effectShadowColor = shadowColor;
                if (tag.data != "")
                {
                    resolveColor(tag.data, effectShadowColor);
                }
                break;
            case FormatTag::BORDER:
                currentTag = FormatTag(FormatTag::NO_EFFECT + effect, effectBorderColor.hex());
                tagStack.push_back(currentTag);
                effect = EFFECT_BORDER;
                effectBorderColor = borderColor;
                if (tag.data != "")
                {
                    resolveColor(tag.data, effectBorderColor);
                }
                break;
            case FormatTag::IGNORE_FORMATTING:
                currentTag = FormatTag(FormatTag::IGNORE_FORMATTING, "");
                tagStack.push_back(currentTag);
                break;
            case FormatTag::CLOSE:
                popDrawingTag();
                break;
            default:
                break;
            }
            scale = fontScale * textScale;
            takeNextTag(0x7FFFFFFF);
        }
        if (font != nullptr)
        {
            texture = font->getTexture(code);
            checkSequences();
        }
    }

    void Renderer::popDrawingTag()
    {
        if (tagStack.size() == 0)
        {
            return;
        }
        currentTag = tagStack.back();
        tagStack.pop_back();
        switch (currentTag.type)
        {
        case FormatTag::FONT:
            selectFont(currentTag.data);
            break;
        case FormatTag::COLOR:
            resolveColor(currentTag.data, textColor);
            break;
        case FormatTag::SCALE:
            textScale = currentTag.data.toFloat();
            break;
        case FormatTag::NO_EFFECT:
            effect = EFFECT_NONE;
            break;
        case FormatTag::SHADOW:
            effect = EFFECT_SHADOW;
            resolveColor(currentTag.data, effectShadowColor);
            break;
        case FormatTag::BORDER:
            effect = EFFECT_BORDER;
            resolveColor(currentTag.data, effectBorderColor);
            break;
        default:
            break;
        }
    }
} // namespace fintu

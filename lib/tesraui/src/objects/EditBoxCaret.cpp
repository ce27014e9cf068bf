#include <algorithm>
#include <cmath>

#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/EditBox.h>
#include <tesraui/tesraui.h>
#include <fintu/Font.h>
#include <fintu/Renderer.h>

namespace tesraui
{
    namespace
    {
        // The caret is placed in a layout this tall, so no line is ever cut off.
        const float LAYOUT_HEIGHT = 100000.0f;
        const float MAX_TEXT_OFFSET = 1000000.0f;

        float verticalFactor(int vertFormatting)
        {
            return vertFormatting == fintu::TOP ? 0.0f : vertFormatting == fintu::BOTTOM ? 1.0f : 0.5f;
        }

        bool isRight(int horzFormatting)
        {
            return horzFormatting == fintu::RIGHT || horzFormatting == fintu::RIGHT_WRAPPED;
        }

        bool isWrapped(int horzFormatting)
        {
            return horzFormatting != fintu::CENTER && horzFormatting != fintu::LEFT &&
                   horzFormatting != fintu::RIGHT;
        }

        // Scrolling moves by whole steps until a value passes a limit. The count is worked out rather than
        // walked: far from the limit a float no longer changes when one step is added, and a walk would
        // never end. A count that cannot be known (infinite or NaN values, no step) moves nothing.
        double stepsUp(float value, float limit, float step)
        {
            double count = (value < limit && step > 0.0f) ? std::ceil(((double)limit - value) / step) : 0.0;
            return std::isfinite(count) ? count : 0.0;
        }

        double stepsDown(float value, float limit, float step)
        {
            return stepsUp(-value, -limit, step);
        }

        // The caret moves with the text.
        void scrollBy(float& caret, float& offset, double distance)
        {
            if (distance != 0.0)
            {
                caret = (float)(caret + distance);
                offset = (float)(offset + distance);
            }
        }
    } // namespace

    hstring EditBox::_shownText() const
    {
        if (passwordChar == 0 || this->text == "")
        {
            return this->text;
        }
        return hstring(passwordChar, this->text.utf8Size());
    }

    harray<fintu::RenderLine> EditBox::_layout(const hstring& text, bool keepWrappedSpaces) const
    {
        return fintu::renderer->createRenderLines(kavtypes::Rectangle(0.0f, 0.0f, rect.w, LAYOUT_HEIGHT),
                                                  text, fintu::renderer->makeDefaultTags(this->font),
                                                  horzFormatting, vertFormatting, kavtypes::Vector2(),
                                                  keepWrappedSpaces);
    }

    kavtypes::Vector2 EditBox::_caretPosition(const hstring& prefix, const hstring& text,
                                              fintu::Font* font) const
    {
        float lh = font->getLineHeight();
        float d = font->getDescender();
        float f = verticalFactor(vertFormatting);
        float shift = (rect.h - LAYOUT_HEIGHT) * f;
        float x0 = 0.0f;
        if (horzFormatting == fintu::CENTER || horzFormatting == fintu::CENTER_WRAPPED)
        {
            x0 = rect.w * 0.5f;
        }
        else if (isRight(horzFormatting))
        {
            x0 = rect.w;
        }
        kavtypes::Vector2 result(x0, (rect.h - lh - d) * f);
        harray<fintu::RenderLine> prefixLines =
            (prefix != "" ? _layout(prefix, true) : harray<fintu::RenderLine>());
        if (prefixLines.size() == 0)
        {
            harray<fintu::RenderLine> lines = _layout(text, false);
            if (lines.size() > 0)
            {
                result.set(lines[0].rect.x, lines[0].rect.y + shift);
            }
        }
        else
        {
            const fintu::RenderLine& last = prefixLines.back();
            result.set(last.rect.x + last.rect.w, last.rect.y + shift);
            if (last.terminated)
            {
                result.y += lh;
                harray<fintu::RenderLine> lines = _layout(text, false);
                result.x = (lines.size() > prefixLines.size() ? lines[prefixLines.size()].rect.x : x0);
            }
        }
        if (isRight(horzFormatting))
        {
            result.x -= 1.0f;
        }
        result += textOffset;
        result.y += lh * 0.5f;
        return result;
    }

    void EditBox::setCursorIndexAt(float x, float y)
    {
        blinkTimer = 0.0f;
        fintu::Font* font = _usableFont();
        if (this->text == "")
        {
            cursorIndex = 0;
            return;
        }
        if (font == nullptr)
        {
            return;
        }
        // What is drawn is hit-tested, so a masked text puts the caret under the pointer too.
        hstring shown = _shownText();
        harray<fintu::RenderLine> lines = _layout(shown, false);
        float px = x - textOffset.x;
        float py = y + (LAYOUT_HEIGHT - rect.h) * verticalFactor(vertFormatting) - textOffset.y;
        int index = shown.size();
        if (lines.size() > 0 && py < lines[0].rect.y)
        {
            index = 0;
        }
        else
        {
            for (int i = 0; i < lines.size(); ++i)
            {
                const fintu::RenderLine& line = lines[i];
                float h = line.rect.h + (i == lines.size() - 1 ? font->getDescender() : 0.0f);
                if (py < line.rect.y || py >= line.rect.y + h)
                {
                    continue;
                }
                index = (px >= line.rect.x + line.rect.w ? line.start + line.count : line.start);
                for (const fintu::RenderWord& word : line.words)
                {
                    if (px < word.rect.x || px >= word.rect.x + word.rect.w)
                    {
                        continue;
                    }
                    float left = word.rect.x;
                    int position = word.start;
                    for (int c = 0, length = 1; c < word.charWidths.size(); ++c, position += length)
                    {
                        word.text.unicodeCharAt(position - word.start, &length);
                        length = std::max(length, 1);
                        float width = word.charWidths[c];
                        if (px < left + width)
                        {
                            index = (px < left + width * 0.5f ? position : position + length);
                            break;
                        }
                        left += width;
                    }
                    break;
                }
                break;
            }
        }
        cursorIndex = std::clamp(shown.subString(0, index).utf8Size(), 0, this->text.utf8Size());
    }

    void EditBox::moveUp()
    {
        _moveLine(-1.0f);
    }

    void EditBox::moveDown()
    {
        _moveLine(1.0f);
    }

    void EditBox::_moveLine(float direction)
    {
        blinkTimer = 0.0f;
        fintu::Font* font = _usableFont();
        int length = this->text.utf8Size();
        if (font == nullptr || (direction < 0.0f ? cursorIndex <= 0 : cursorIndex >= length))
        {
            return;
        }
        hstring shown = _shownText();
        kavtypes::Vector2 caret = _caretPosition(shown.utf8SubString(0, cursorIndex), shown, font);
        setCursorIndexAt(caret.x, caret.y + direction * font->getLineHeight());
    }

    void EditBox::_scrollToCaret(kavtypes::Vector2& caret, const hstring& shown, fintu::Font* font)
    {
        float lh = font->getLineHeight();
        float d = font->getDescender();
        if (!isWrapped(horzFormatting))
        {
            float width = 0.0f;
            for (const fintu::RenderLine& line : _layout(shown, false))
            {
                width = std::max(width, line.rect.w);
            }
            if (width > rect.w - 12.0f)
            {
                // Left-formatted text stops growing at offset 0, right-formatted text stops shrinking there.
                double grow = stepsUp(caret.x, lh, lh);
                if (horzFormatting == fintu::LEFT)
                {
                    grow = std::min(grow, stepsUp(textOffset.x, 0.0f, lh));
                }
                scrollBy(caret.x, textOffset.x, grow * lh);
                double shrink = stepsDown(caret.x + lh, rect.w, lh);
                if (horzFormatting == fintu::RIGHT)
                {
                    shrink = std::min(shrink, stepsDown(textOffset.x, 0.0f, lh));
                }
                scrollBy(caret.x, textOffset.x, -shrink * lh);
            }
        }
        if (multiLine)
        {
            // Down to half a line from the top, or a whole line while the text is scrolled up.
            double grow = std::max(stepsUp(caret.y, lh * 0.5f, lh),
                                   std::min(stepsUp(caret.y, lh, lh), stepsUp(textOffset.y, 0.0f, lh)));
            scrollBy(caret.y, textOffset.y, grow * lh);
            scrollBy(caret.y, textOffset.y, -stepsDown((lh + d) * 0.5f + caret.y, rect.h, lh) * lh);
        }
    }

    void EditBox::_drawCaret(kavtypes::Vector2 caret, fintu::Font* font)
    {
        float lh = font->getLineHeight();
        float y = caret.y + 2.0f - lh * 0.5f;
        float height = std::min(lh + font->getDescender() - 4.0f, rect.h - y);
        if (y < 0.0f)
        {
            height += y;
            y = 0.0f;
        }
        if (height <= 0.0f || tesra::rendersys == nullptr)
        {
            return;
        }
        tesra::Color color = getDerivedColor();
        tesra::Color modulated(
            (unsigned char)(color.r * textColor.r / 255), (unsigned char)(color.g * textColor.g / 255),
            (unsigned char)(color.b * textColor.b / 255), (unsigned char)(color.a * textColor.a / 255));
        tesra::rendersys->drawRect(kavtypes::Rectangle(caret.x - center.x, y - center.y, 1.0f, height),
                                   modulated);
    }

    void EditBox::_draw()
    {
        if (spaceHack)
        {
            // The trim is kept; the cursor keeps its place in what remains.
            hstring trimmed = this->text.ltrimmed(' ');
            int removed = this->text.size() - trimmed.size();
            this->text = trimmed;
            cursorIndex = std::max(cursorIndex - removed, 0);
            emptyText = emptyText.ltrimmed(' ');
        }
        hstring saved = this->text;
        this->text = _shownText();
        bool focused = (dataset != nullptr && dataset->getFocusedObject() == this);
        if (saved == "" && dataset != nullptr && !focused)
        {
            this->text = emptyText;
        }
        unsigned char backgroundAlpha = backgroundColor.a;
        if (pushed)
        {
            backgroundColor.a = (unsigned char)(backgroundColor.a * 0.75f);
        }
        fintu::Font* font = _usableFont();
        kavtypes::Vector2 caret;
        if (focused && font != nullptr)
        {
            // Far out, one step of a line height is lost in the float's rounding and no scroll could land
            // near the caret; no text is this long.
            textOffset.x = std::clamp(textOffset.x, -MAX_TEXT_OFFSET, MAX_TEXT_OFFSET);
            textOffset.y = std::clamp(textOffset.y, -MAX_TEXT_OFFSET, MAX_TEXT_OFFSET);
            caret = _caretPosition(this->text.utf8SubString(0, cursorIndex), this->text, font);
            _scrollToCaret(caret, this->text, font);
            caretPosition = caret;
        }
        if (multiLine && font != nullptr && !heightWarned &&
            font->getLineHeight() + font->getDescender() > rect.h)
        {
            heightWarned = true;
            quortypes::Log::warnf(
                logTag,
                "EditBox '%s' height (%.0f) is smaller than the minimum needed line height (%.0f) for "
                "the given font '%s' when using multi-line!",
                name.c_str(), std::trunc(rect.h), std::trunc(font->getLineHeight() + font->getDescender()),
                this->font.c_str());
        }
        Label::_draw();
        backgroundColor.a = backgroundAlpha;
        if (focused && font != nullptr && blinkTimer < 0.5f)
        {
            _drawCaret(caret, font);
        }
        this->text = saved;
    }
} // namespace tesraui

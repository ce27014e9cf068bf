#include <algorithm>
#include <vector>

#include <tesra/RenderSystem.h>
#include <tesra/Texture.h>
#include <tesra/tesra.h>
#include <fintu/Renderer.h>

namespace fintu
{
    namespace
    {
        void closeSequence(RenderSequence& sequence, harray<RenderSequence>& list, tesra::Texture* texture,
                           const tesra::Color& color)
        {
            if (sequence.vertices.size() > 0)
            {
                list.push_back(sequence);
            }
            sequence.vertices.clear();
            sequence.texture = texture;
            sequence.color = color;
        }

        // One vertex array per atlas and colour, in the order of first appearance; alpha is applied when
        // drawn.
        harray<RenderSequence> merge(const harray<RenderSequence>& list)
        {
            harray<RenderSequence> result;
            std::vector<bool> taken(list.size(), false);
            for (int i = 0; i < list.size(); ++i)
            {
                if (taken[i])
                {
                    continue;
                }
                RenderSequence sequence = list[i];
                for (int j = i + 1; j < list.size(); ++j)
                {
                    const RenderSequence& other = list[j];
                    if (!taken[j] && other.texture == sequence.texture && other.color.r == sequence.color.r &&
                        other.color.g == sequence.color.g && other.color.b == sequence.color.b)
                    {
                        sequence.vertices.insert(sequence.vertices.end(), other.vertices.begin(),
                                                 other.vertices.end());
                        taken[j] = true;
                    }
                }
                result.push_back(sequence);
            }
            return result;
        }

        RenderRectangle moved(RenderRectangle quad, float dx, float dy)
        {
            quad.dest.x += dx;
            quad.dest.y += dy;
            return quad;
        }

        bool allLoaded(const harray<RenderSequence>& list)
        {
            for (const RenderSequence& sequence : list)
            {
                if (sequence.texture != nullptr && !sequence.texture->isLoaded())
                {
                    return false;
                }
            }
            return true;
        }
    } // namespace

    void Renderer::drawText(const hstring& fontName, kavtypes::Rectangle rect, const hstring& text,
                            int horzFormatting, int vertFormatting, tesra::Color color,
                            kavtypes::Vector2 offset)
    {
        textKey.text = text;
        textKey.fontName = fontName;
        textKey.rect = rect;
        textKey.horzFormatting = horzFormatting;
        textKey.vertFormatting = vertFormatting;
        textKey.color = tesra::Color(color, 255);
        textKey.offset = offset;
        if (textCache.get(textKey))
        {
            if (allLoaded(textKey.textSequences) && allLoaded(textKey.shadowSequences) &&
                allLoaded(textKey.borderSequences))
            {
                drawRenderSequences(textKey, color);
                return;
            }
            clearCache();
        }
        harray<FormatTag> tags;
        hstring plain = parseTags(text, tags);
        tags.insert(tags.begin(), FormatTag(FormatTag::COLOR, color.hex()));
        tags.insert(tags.begin(), FormatTag(FormatTag::FONT, fontName));
        lines = createRenderLines(rect, plain, tags, horzFormatting, vertFormatting, offset, false);
        createRenderSequences(rect, lines, tags);
        textKey.textSequences = textSequences;
        textKey.shadowSequences = shadowSequences;
        textKey.borderSequences = borderSequences;
        textCache.add(textKey);
        textCache.trim();
        drawRenderSequences(textKey, color);
    }

    void Renderer::checkSequences()
    {
        if (textSequence.texture != texture || textSequence.color != textColor)
        {
            closeSequence(textSequence, textSequences, texture, textColor);
        }
        if (shadowSequence.texture != texture || shadowSequence.color != effectShadowColor)
        {
            closeSequence(shadowSequence, shadowSequences, texture, effectShadowColor);
        }
        if (borderSequence.texture != texture || borderSequence.color != effectBorderColor)
        {
            closeSequence(borderSequence, borderSequences, texture, effectBorderColor);
        }
    }

    void Renderer::createRenderSequences(kavtypes::Rectangle rect, harray<RenderLine> lines,
                                         harray<FormatTag> tags)
    {
        initializeTags(tags);
        textSequences.clear();
        shadowSequences.clear();
        borderSequences.clear();
        textColor = tesra::Color();
        effectShadowColor = shadowColor;
        effectBorderColor = borderColor;
        effect = EFFECT_NONE;
        texture = nullptr;
        textSequence = RenderSequence();
        shadowSequence = RenderSequence();
        shadowSequence.color = shadowColor;
        borderSequence = RenderSequence();
        borderSequence.color = borderColor;
        for (const RenderLine& line : lines)
        {
            for (const RenderWord& word : line.words)
            {
                wordStart = word.start;
                float pen = 0.0f;
                for (int i = 0, length = 1; i < word.text.size(); i += std::max(length, 1))
                {
                    code = word.text.unicodeCharAt(i, &length);
                    processTagsForDrawing(i);
                    auto it = characters.find(code);
                    if (it == characters.end())
                    {
                        continue;
                    }
                    const CharacterDefinition& c = it->second;
                    const float s = scale;
                    kavtypes::Rectangle screen(word.rect.x + std::max(0.0f, pen + c.bx * s),
                                               word.rect.y + (lineHeight - fontHeight) * 0.5f +
                                                   (1.0f - textScale) * lineHeight * 0.5f,
                                               c.w * s, c.h * s);
                    kavtypes::Rectangle area = rect;
                    area.h += c.by * s;
                    if (font != nullptr)
                    {
                        RenderRectangle quad = font->makeRenderRectangle(area, screen, code);
                        quad.dest.y -= c.by * s;
                        textSequence.addRenderRectangle(quad);
                        if (effect == EFFECT_BORDER)
                        {
                            const float d = borderOffset * s;
                            const float offsets[8][2] = {{-d, -d}, {d, -d}, {-d, d}, {d, d},
                                                         {0, -d},  {-d, 0}, {d, 0},  {0, d}};
                            for (const auto& o : offsets)
                            {
                                borderSequence.addRenderRectangle(moved(quad, o[0], o[1]));
                            }
                        }
                        else if (effect == EFFECT_SHADOW)
                        {
                            shadowSequence.addRenderRectangle(
                                moved(quad, shadowOffset.x * s, shadowOffset.y * s));
                        }
                    }
                    pen += (-(s * c.bx) > pen ? (c.advance - c.bx) * s : c.advance * s);
                }
            }
        }
        closeSequence(textSequence, textSequences, nullptr, tesra::Color());
        closeSequence(shadowSequence, shadowSequences, nullptr, shadowColor);
        closeSequence(borderSequence, borderSequences, nullptr, borderColor);
        textSequences = merge(textSequences);
        shadowSequences = merge(shadowSequences);
        borderSequences = merge(borderSequences);
    }

    void Renderer::drawRenderSequences(const CacheEntryText& sequences, tesra::Color color)
    {
        const int a = color.a;
        for (const RenderSequence& sequence : sequences.shadowSequences)
        {
            drawRenderSequence(sequence,
                               tesra::Color(sequence.color, (unsigned char)(sequence.color.a * a / 255)));
        }
        for (const RenderSequence& sequence : sequences.borderSequences)
        {
            const float factor = a / 255.0f;
            drawRenderSequence(
                sequence, tesra::Color(sequence.color, (unsigned char)(sequence.color.a * factor * factor)));
        }
        for (const RenderSequence& sequence : sequences.textSequences)
        {
            drawRenderSequence(sequence, tesra::Color(sequence.color, (unsigned char)a));
        }
    }

    void Renderer::drawRenderSequence(const RenderSequence& sequence, tesra::Color color)
    {
        if (sequence.vertices.size() == 0 || sequence.texture == nullptr || color.a == 0 ||
            tesra::rendersys == nullptr)
        {
            return;
        }
        tesra::RenderSystem* system = tesra::rendersys;
        system->setTexture(sequence.texture);
        system->setTextureColorMode(sequence.texture->getFormat() == tesra::Image::FORMAT_ALPHA
                                        ? tesra::ColorMode::ALPHA_MAP
                                        : tesra::ColorMode::DEFAULT,
                                    1.0f);
        tesra::TexturedVertex* vertices = const_cast<tesra::TexturedVertex*>(sequence.vertices.data());
        if (color == tesra::Color(255, 255, 255, 255))
        {
            system->render(tesra::RenderOperation::TRIANGLE_LIST, vertices, sequence.vertices.size());
        }
        else
        {
            system->render(tesra::RenderOperation::TRIANGLE_LIST, vertices, sequence.vertices.size(), color);
        }
        system->setTextureColorMode(tesra::ColorMode::DEFAULT, 1.0f);
    }
} // namespace fintu

#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <quortypes_testing/LogCapture.h>
#include <fintu/Font.h>
#include <fintu/Renderer.h>

namespace fintutest
{
    /// A font of hand-made definitions: every letter a-z is `advance` wide with no bearing, the space
    /// `spaceAdvance`; no atlases.
    class HandFont : public fintu::Font
    {
    public:
        HandFont(const hstring& name, float height = 16.0f, float lineHeight = 20.0f, float descender = 5.0f,
                 float advance = 10.0f, float spaceAdvance = 5.0f, float baseScale = 1.0f)
            : fintu::Font(name)
        {
            this->height = height;
            this->lineHeight = lineHeight;
            this->descender = descender;
            this->baseScale = baseScale;
            this->loaded = true;
            for (unsigned int c = 'a'; c <= 'z'; ++c)
            {
                define(c, fintu::CharacterDefinition(0, 0, advance, height, 0, 0, advance));
            }
            define(' ', fintu::CharacterDefinition(0, 0, 0, 0, 0, 0, spaceAdvance));
        }

        void define(unsigned int code, const fintu::CharacterDefinition& definition)
        {
            characters[code] = definition;
        }

        bool hasChar(unsigned int code) override
        {
            ++hasCharCalls;
            return fintu::Font::hasChar(code);
        }

        int hasCharCalls = 0;
    };

    /// Collects the lines logged while alive, each with its level prefix.
    struct LogCapture : quortypes_testing::TagLogCapture<harray<hstring>>
    {
        LogCapture() : TagLogCapture("") {}
    };

    /// Lines' texts, for comparing layouts in one expectation.
    inline harray<hstring> texts(const harray<fintu::RenderLine>& lines)
    {
        harray<hstring> result;
        for (const fintu::RenderLine& line : lines)
        {
            result.push_back(line.text);
        }
        return result;
    }
} // namespace fintutest

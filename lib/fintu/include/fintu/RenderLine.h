#pragma once

#include <kavtypes/Rectangle.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace fintu
{
    /// The unit of layout: a run of spaces, a run of other characters, or a lone newline.
    struct RenderWord
    {
        hstring text;
        kavtypes::Rectangle rect; ///< placed position; w the sum of the advances, h 0
        int start = 0;            ///< byte position in the plain text
        int count = 0;            ///< bytes
        int spaces = 0;           ///< bytes of a run of spaces, 0 for other words
        float fullWidth = 0.0f;   ///< rightmost glyph extent from the word's start
        harray<float> charWidths;
    };

    struct RenderLine
    {
        hstring text;
        kavtypes::Rectangle rect; ///< placed position; w the sum of the word widths, h the font height
        int start = 0;
        int count = 0;
        int spaces = 0;
        bool terminated = false; ///< ended by a newline
        harray<RenderWord> words;
    };
} // namespace fintu

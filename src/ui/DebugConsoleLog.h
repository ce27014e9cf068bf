#pragma once

#include <deque>

#include <quortypes/hstring.h>
#include <tesraui/Label.h>

namespace vumo
{
    // The console's log: a label, left-aligned and wrapped, whose lines sit at its bottom exactly where the
    // whole text joined by line breaks would put them. A label lays out all of its text again whenever the
    // text changes, which the console's thousand lines made cost more than the rest of a frame together; here
    // each line is laid out once when it comes, and a frame draws only the lines that its clipping shows.
    // Every line must close the tags it opens, as the console's lines do.
    class DebugConsoleLog : public tesraui::Label
    {
    public:
        DebugConsoleLog(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "DebugConsoleLog"; }

        void appendLine(const hstring& line);
        // Drops the oldest lines.
        void dropFront(int count);
        int getLineCount() const { return (int)this->lines.size(); }
        // The height the joined text takes; the lines are laid out again first when the width or font
        // changed.
        float getContentHeight();
        // "text" gives the joined lines.
        hstring getProperty(const hstring& name) override;
        void _draw() override;

    protected:
        struct Line
        {
            hstring text;
            // Counted from the first line ever appended, so that dropping lines moves nothing.
            int firstRow = 0;
            int rows = 1;
        };
        std::deque<Line> lines;
        float laidOutWidth = -1.0f;
        hstring laidOutFont;
        float rowHeight = 0.0f;
        float descender = 0.0f;

        // Rows the text takes in the joined text: an empty one and a line break at its end take one each.
        int countRows(const hstring& text);
        bool layoutChanged() const;
        void layOutAgain();
        int getTotalRows() const;
    };
} // namespace vumo

#include "DebugConsoleLog.h"

#include <algorithm>
#include <cmath>

#include <fintu/Renderer.h>
#include <kavtypes/Matrix4.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>

namespace vumo
{
    namespace
    {
        // As the label tints its text: each channel scaled by the other colour's.
        tesra::Color modulated(const tesra::Color& a, const tesra::Color& b)
        {
            return tesra::Color((unsigned char)(a.r * b.r / 255), (unsigned char)(a.g * b.g / 255),
                                (unsigned char)(a.b * b.b / 255), (unsigned char)(a.a * b.a / 255));
        }

        // Tall enough that no line of a log is cut short while it is measured.
        const float measureHeight = 1.0e9f;
    } // namespace

    DebugConsoleLog::DebugConsoleLog(const hstring& name, kavtypes::Rectangle rect)
        : tesraui::Label(name, rect)
    {
        this->text = "";
        this->horzFormatting = fintu::LEFT_WRAPPED;
        this->vertFormatting = fintu::BOTTOM;
    }

    bool DebugConsoleLog::layoutChanged() const
    {
        return (this->getWidth() != this->laidOutWidth || this->font != this->laidOutFont);
    }

    void DebugConsoleLog::layOutAgain()
    {
        this->laidOutWidth = this->getWidth();
        this->laidOutFont = this->font;
        fintu::Font* face = (fintu::renderer != nullptr ? fintu::renderer->getFont(this->font) : nullptr);
        this->rowHeight = (face != nullptr ? face->getLineHeight() : 0.0f);
        this->descender = (face != nullptr ? face->getDescender() : 0.0f);
        int row = 0;
        for (Line& line : this->lines)
        {
            line.firstRow = row;
            line.rows = this->countRows(line.text);
            row += line.rows;
        }
    }

    int DebugConsoleLog::countRows(const hstring& line)
    {
        if (fintu::renderer == nullptr || this->rowHeight <= 0.0f || this->laidOutWidth <= 0.0f)
        {
            return 1;
        }
        harray<fintu::FormatTag> tags;
        const hstring plain = fintu::renderer->prepareFormattedText(this->font, line, tags);
        if (plain == "")
        {
            return 1;
        }
        const harray<fintu::RenderLine> rows = fintu::renderer->createRenderLines(
            kavtypes::Rectangle(0.0f, 0.0f, this->laidOutWidth, measureHeight), plain, tags,
            this->horzFormatting, fintu::TOP);
        // In the joined text a line break at the end of a line leaves an empty row before the next one.
        const int count = rows.size() + (rows.size() > 0 && rows.back().terminated ? 1 : 0);
        return std::max(count, 1);
    }

    void DebugConsoleLog::appendLine(const hstring& line)
    {
        if (this->layoutChanged())
        {
            this->layOutAgain();
        }
        Line added;
        added.text = line;
        added.firstRow = (this->lines.empty() ? 0 : this->lines.back().firstRow + this->lines.back().rows);
        added.rows = this->countRows(line);
        this->lines.push_back(added);
    }

    void DebugConsoleLog::dropFront(int count)
    {
        count = std::min(count, (int)this->lines.size());
        for (int i = 0; i < count; ++i)
        {
            this->lines.pop_front();
        }
    }

    int DebugConsoleLog::getTotalRows() const
    {
        return (this->lines.empty()
                    ? 0
                    : this->lines.back().firstRow + this->lines.back().rows - this->lines.front().firstRow);
    }

    float DebugConsoleLog::getContentHeight()
    {
        if (this->lines.empty())
        {
            return 0.0f;
        }
        if (this->layoutChanged())
        {
            this->layOutAgain();
        }
        return (float)this->getTotalRows() * this->rowHeight + this->descender;
    }

    hstring DebugConsoleLog::getProperty(const hstring& name)
    {
        if (name == "text")
        {
            hstring result;
            for (size_t i = 0; i < this->lines.size(); ++i)
            {
                result += (i > 0 ? "\n" : "") + this->lines[i].text;
            }
            return result;
        }
        return tesraui::Label::getProperty(name);
    }

    void DebugConsoleLog::_draw()
    {
        const float factor = this->getDisabledAlphaFactor();
        tesra::Color color = this->getDerivedColor();
        color.a = (unsigned char)(color.a * factor);
        tesra::Color background = this->backgroundColor;
        background.a = (unsigned char)(background.a * factor);
        const kavtypes::Rectangle rect = this->getDrawRect();
        // The label's own text is empty: this draws only its background or debug outline.
        this->_drawLabel(rect, color, background);
        tesra::RenderSystem* rs = tesra::rendersys;
        if (this->lines.empty() || fintu::renderer == nullptr || rs == nullptr)
        {
            return;
        }
        if (this->layoutChanged())
        {
            this->layOutAgain();
        }
        const float step = this->rowHeight;
        if (step <= 0.0f)
        {
            return;
        }
        // What the clipped objects of the chain let show, from the top of this label: each is cut to the
        // bounds of its parent.
        float top = 0.0f;
        float bottom = this->getHeight();
        for (tesraui::Object* object = this; object != nullptr; object = object->getParent())
        {
            if (object->isClip() && object->getParent() != nullptr)
            {
                const kavtypes::Rectangle clip = object->getParent()->getBoundingRect();
                const kavtypes::Vector2 a = this->transformToLocalSpace(kavtypes::Vector2(clip.x, clip.y));
                const kavtypes::Vector2 b =
                    this->transformToLocalSpace(kavtypes::Vector2(clip.x + clip.w, clip.y + clip.h));
                top = std::max(top, std::min(a.y, b.y));
                bottom = std::min(bottom, std::max(a.y, b.y));
            }
        }
        // Where the joined text, aligned to the bottom, puts its first row; a row more on each side covers
        // glyphs reaching out of theirs.
        const int origin = this->lines.front().firstRow;
        const float firstRowY =
            this->getHeight() - this->descender - (float)this->getTotalRows() * step + this->textOffset.y;
        const int fromRow = (int)std::floor((top - firstRowY) / step) - 1;
        const int toRow = (int)std::ceil((bottom - firstRowY) / step) + 1;
        auto line = std::partition_point(this->lines.begin(), this->lines.end(),
                                         [&](const Line& candidate)
                                         { return candidate.firstRow - origin + candidate.rows <= fromRow; });
        const tesra::Color drawColor = modulated(color, this->textColor);
        const kavtypes::Matrix4 matrix = rs->getModelviewMatrix();
        for (; line != this->lines.end() && line->firstRow - origin <= toRow; ++line)
        {
            // Each line is laid out at the same place every time, so the renderer keeps its layout however
            // far the log has scrolled; a row above and below it keeps its glyphs from being cut.
            const float y = rect.y + firstRowY + (float)(line->firstRow - origin) * step;
            rs->setModelviewMatrix(matrix);
            rs->translate(rect.x, y);
            fintu::renderer->drawText(
                this->font, kavtypes::Rectangle(0.0f, -step, rect.w, (float)(line->rows + 2) * step),
                line->text, this->horzFormatting, fintu::TOP, drawColor,
                kavtypes::Vector2(-this->textOffset.x, -step));
        }
        rs->setModelviewMatrix(matrix);
    }
} // namespace vumo

#pragma once

#include <quortypes/Log.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesraui/ColoredQuad.h>

namespace uitest
{
    // Collects log lines while alive.
    class LogCapture
    {
    public:
        LogCapture()
        {
            active = this;
            quortypes::Log::setCallback(&LogCapture::capture);
        }
        ~LogCapture()
        {
            quortypes::Log::setCallback(nullptr);
            active = nullptr;
        }
        bool contains(const hstring& text) const
        {
            for (const hstring& line : lines)
            {
                if (line.contains(text))
                {
                    return true;
                }
            }
            return false;
        }
        harray<hstring> lines;

    private:
        static inline LogCapture* active = nullptr;
        static void capture(const hstring&, const hstring& text)
        {
            if (active != nullptr)
            {
                active->lines.push_back(text);
            }
        }
    };

    // A coloured quad that writes every notification and input slot it receives into a shared journal.
    class Recorder : public tesraui::ColoredQuad
    {
    public:
        Recorder(const hstring& name, kavtypes::Rectangle rect, harray<hstring>* journal)
            : tesraui::ColoredQuad(name, rect), journal(journal)
        {
        }
        void notifyEvent(const hstring& type, void* args) override
        {
            this->note(type);
            tesraui::ColoredQuad::notifyEvent(type, args);
        }
        bool onMouseDown(unsigned int key) override
        {
            this->note("down");
            return tesraui::ColoredQuad::onMouseDown(key);
        }
        bool onMouseUp(unsigned int key) override
        {
            this->note("up");
            return tesraui::ColoredQuad::onMouseUp(key);
        }
        bool onMouseMove() override
        {
            this->note("move");
            return tesraui::ColoredQuad::onMouseMove();
        }
        bool onMouseScroll(float x, float y) override
        {
            this->note("scroll");
            return tesraui::ColoredQuad::onMouseScroll(x, y);
        }
        bool onKeyDown(unsigned int key) override
        {
            this->note("key");
            return tesraui::ColoredQuad::onKeyDown(key);
        }
        void _mouseCancel() override
        {
            this->note("cancel");
            tesraui::ColoredQuad::_mouseCancel();
        }

    private:
        harray<hstring>* journal;
        void note(const hstring& what)
        {
            if (this->journal != nullptr)
            {
                this->journal->push_back(this->name + ":" + what);
            }
        }
    };
} // namespace uitest

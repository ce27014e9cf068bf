#pragma once

#include <stdlib.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <quortypes/Dir.h>
#include <quortypes/exception.h>
#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

namespace library_support
{
    // Stands in for the platform window: the library only asks it for its size and the cursor position.
    class FakeWindow : public tesra::Window
    {
    public:
        int width = 800;
        int height = 600;
        int keyboardTerminations = 0;

        int getWidth() const override { return this->width; }
        int getHeight() const override { return this->height; }
        void* getBackendId() const override { return nullptr; }
        void terminateKeyboardHandling() override { ++this->keyboardTerminations; }
        void setCursor(float x, float y) { this->cursorPosition.set(x, y); }

    protected:
        tesra::Cursor* createCursorObject() override { return nullptr; }
    };

    inline std::vector<std::string>& logLines()
    {
        static std::vector<std::string> lines;
        return lines;
    }

    inline void recordLog(const hstring& tag, const hstring& text)
    {
        if (tag == "tesraui")
        {
            logLines().push_back(text);
        }
    }

    // Lines of the library's log tag, with their level prefix, in order.
    class LogCapture
    {
    public:
        LogCapture()
        {
            logLines().clear();
            quortypes::Log::setCallback(&recordLog);
        }
        ~LogCapture() { quortypes::Log::setCallback(nullptr); }

        std::vector<std::string> take()
        {
            std::vector<std::string> result = logLines();
            logLines().clear();
            return result;
        }
    };

    // A scratch folder that resources are read from while the object lives.
    class ResourceFolder
    {
    public:
        ResourceFolder()
        {
            char pattern[] = "/tmp/tesraui_test_XXXXXX";
            this->path = mkdtemp(pattern);
            this->oldCwd = quortypes::Resource::getCwd();
            quortypes::Resource::setCwd(this->path);
        }
        ~ResourceFolder()
        {
            quortypes::Resource::setCwd(this->oldCwd);
            quortypes::Dir::remove(this->path);
        }

        void write(const hstring& name, const std::string& data)
        {
            hstring full = quortypes::Dir::joinPath(this->path, name);
            quortypes::Dir::create(quortypes::Dir::baseDir(full));
            FILE* file = fopen(full.c_str(), "wb");
            ASSERT_NE(file, nullptr);
            fwrite(data.data(), 1, data.size(), file);
            fclose(file);
        }

        hstring path;

    private:
        hstring oldCwd;
    };
} // namespace library_support

namespace library_support
{
    // An exception's own text, without the "[source:line] " in front.
    inline std::string messageText(const quortypes::exception& e)
    {
        std::string message = e.getMessage();
        size_t end = message.find("] ");
        return end == std::string::npos ? message : message.substr(end + 2);
    }

    // The text of the E that f throws; "nothing thrown" or "other exception" otherwise.
    template <class E, class F> std::string thrownText(F f)
    {
        try
        {
            f();
        }
        catch (E& e)
        {
            return messageText(e);
        }
        catch (...)
        {
            return "other exception";
        }
        return "nothing thrown";
    }

    // Sets the fake window for the test's lifetime.
    class WindowScope
    {
    public:
        WindowScope() { tesra::window = &this->window; }
        ~WindowScope() { tesra::window = nullptr; }
        FakeWindow window;
    };
} // namespace library_support

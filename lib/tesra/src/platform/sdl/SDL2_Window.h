#pragma once

#include <chrono>
#include <cstdint>
#include <map>

#include <tesra/Window.h>

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace tesra
{

    // The window on SDL2 with an OpenGL context. The rest of the system sees what it
    // would see of any window: Win32 key codes, the same queues and the same loop.
    class SDL2_Window : public Window
    {
    public:
        SDL2_Window();
        ~SDL2_Window() override;

        bool create(int width, int height, bool fullscreen, const hstring& title, Options options) override;
        bool destroy() override;
        void setTitle(const hstring& title) override;
        bool isCursorVisible() const override;
        void setResolution(int width, int height, bool fullscreen) override;
        using Window::setResolution;
        int getWidth() const override;
        int getHeight() const override;
        void* getBackendId() const override;
        void presentFrame() override;
        bool updateOneFrame() override;
        void checkEvents() override;
        Cursor* createCursorObject() override;
        void updateCursor() override;

        // Whether the display refused vertical sync, or accepted it and then did not hold the frames back,
        // so that frames are paced by sleeping.
        bool isPacedBySleeping() const { return pacedBySleeping; }
        // The title text the window shows now, with its frame-rate suffix.
        const hstring& getShownTitle() const { return shownTitle; }

    protected:
        void processEvent(const SDL_Event& event);
        void processWindowEvent(const SDL_Event& event);
        void processFingerEvent(const SDL_Event& event);
        void readCursorPosition();
        void requestClose();

        SDL_Window* sdlWindow = nullptr;
        void* glContext = nullptr;
        SDL_Cursor* defaultCursor = nullptr;
        hstring shownTitle;
        bool fpsCounter = false;
        bool videoInitialized = false;
        bool pacedBySleeping = false;
        std::chrono::steady_clock::duration framePeriod{};
        std::chrono::steady_clock::time_point lastPresent{};
        int refreshRate = 60;
        // Presents counted since rateStart, to see whether vertical sync holds them to the refresh rate.
        int ratePresents = 0;
        std::chrono::steady_clock::time_point rateStart{};
        bool buttonPressed = false;
        int moveCount = 0;
        int heldButtons = 0;
        bool altHeld = false;
        bool mouseOutside = false;
        // Where the pointer was last reported, ahead of the delivery of the queue.
        kavtypes::Vector2 pointerPosition;
        // Fingers now down by id, and the state of a two-finger tap being made.
        std::map<int64_t, kavtypes::Vector2> fingers;
        std::map<int64_t, kavtypes::Vector2> tapOrigins;
        bool tapCandidate = false;
        uint32_t tapStart = 0;
        int appliedWidth = 0;
        int appliedHeight = 0;
    };

} // namespace tesra

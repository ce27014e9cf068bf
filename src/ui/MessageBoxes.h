#pragma once

#include <deque>
#include <memory>

#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <tesraui/LifeToken.h>

namespace tesraui
{
    class ImageBox;
    class Object;
} // namespace tesraui

namespace vumo
{
    class UI;

    // The queue of the scripts' modal message boxes: highest priority first, one shown at a time, the
    // session paused while a run of boxes lasts. The base of UI.
    class UIMessageBoxManager
    {
    public:
        static const char* const refPrefix;
        // The names of the boxes' root objects begin with it.
        static const char* const boxNamePrefix;

        // One queued or shown box. A parameter that stands for a Lua value keeps its registry reference
        // beside its text "$lua_ref:<n>", so that a script's string of that shape stays a string.
        class MessageBox
        {
        public:
            MessageBox(const hstring& type, const hdict<hstring>& parameters, const hdict<int>& references);
            // Takes references of its own and no box object.
            MessageBox(const MessageBox& other);
            MessageBox& operator=(const MessageBox&) = delete;
            ~MessageBox();

            // A parameter holding a Lua value: its text form and a new reference of this record.
            void setReference(const hstring& key, int reference);
            void setText(const hstring& key, const hstring& value);
            bool isReference(const hstring& key) const { return this->references.hasKey(key); }

            hstring type;
            int priority = 0;
            hdict<hstring> parameters;
            hdict<int> references;
            tesraui::ImageBox* boxObject = nullptr;
            // The engine holds the box object, but the engine's own frees could still take it (a tree it was
            // moved into going away): the manager asks before it touches it.
            tesraui::LifeToken::Watch boxLife;
        };

        virtual ~UIMessageBoxManager();
        UIMessageBoxManager(const UIMessageBoxManager&) = delete;
        UIMessageBoxManager& operator=(const UIMessageBoxManager&) = delete;

        // The references become the record's.
        void queueMessageBox(const hstring& type, const hdict<hstring>& parameters,
                             const hdict<int>& references = hdict<int>());
        void update(float timeDelta);
        void cancelActiveMessageBox();
        void clearQueuedMessageBoxes();
        bool isMessageBoxActive() const { return shownBox != nullptr; }
        hstring getActiveMessageBoxType() const;
        int getNumQueuedMessageBoxTypes(const hstring& type) const;
        void registerLuaFunctions();
        const std::deque<std::unique_ptr<MessageBox>>& getQueue() const { return queue; }
        MessageBox* getShownBox() const { return shownBox.get(); }

        static hstring formatParams(const MessageBox& box);

    private:
        friend class UI;
        UIMessageBoxManager() = default;
        // The UI this is the base of.
        UI* ownUI();

    protected:
        bool pausedBefore = false;
        std::deque<std::unique_ptr<MessageBox>> queue;
        // Out of the queue while shown; a box being built is its builder's caller's alone, so that the
        // builder's own calls of the queue cannot free it.
        std::unique_ptr<MessageBox> shownBox;
        int shownCount = 0;

        void sortQueue();
        void createMessageBox(MessageBox* box);
        void createScriptedMessageBox(MessageBox* box);
        void createDefaultMessageBox(MessageBox* box);
        void assignButtonEvents(tesraui::Object* object);
        void destroyMessageBoxObjects(MessageBox* box);
        // Over every screen the game or a library put up, so that the box takes the input where it is drawn.
        void keepOverGame(MessageBox* box);
        void clearRecords();
        // The last box of a run is gone: the game goes on unless it was paused before the run.
        void endRun();

    private:
        // A registry reference of the script function ui.__dismissMessageBox, which carries this manager.
        int dismissFunction = -2; // LUA_NOREF
        void forgetDismissFunction();
    };
} // namespace vumo

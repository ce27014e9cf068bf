#pragma once

#include <memory>
#include <vector>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

struct lua_State;

namespace vumo
{
    // Runs one dialog at a time: a ".dlg" script of a chapter's "dialogs" folder, run in its own table
    // "_dlg", whose "main" offers replies or plays a sequence of items each turn until it ends the dialog.
    namespace DialogManager
    {
        class DialogItem
        {
        public:
            virtual ~DialogItem() = default;
            virtual void execute() = 0;
            // Pushes the description that "_dlg._sequence" shows.
            virtual void pushToLua(lua_State* L) = 0;
        };

        class DialogItem_Talk : public DialogItem
        {
        public:
            DialogItem_Talk(const hstring& speaker, const hstring& text) : speaker(speaker), text(text) {}
            void execute() override;
            void pushToLua(lua_State* L) override;

            hstring speaker;
            hstring text;
        };

        class DialogItem_ExecuteString : public DialogItem
        {
        public:
            explicit DialogItem_ExecuteString(const hstring& code) : code(code) {}
            void execute() override;
            void pushToLua(lua_State* L) override;

            hstring code;
        };

        // A function and its arguments, held as references of the Lua registry and released with the item.
        class DialogItem_Execute : public DialogItem
        {
        public:
            DialogItem_Execute(int function, const harray<int>& arguments)
                : function(function), arguments(arguments)
            {
            }
            ~DialogItem_Execute() override;
            void execute() override;
            void pushToLua(lua_State* L) override;

            int function;
            harray<int> arguments;
        };

        class DialogItem_EndSequence : public DialogItem
        {
        public:
            void execute() override;
            void pushToLua(lua_State* L) override;
        };

        // The file of the active chapter that holds the dialog of that name.
        hstring getFilename(const hstring& name);
        // Nothing while a dialog is active.
        void start(const hstring& name);
        void addReply(const hstring& text, const hstring& code);
        // index from 0.
        void chooseReply(int index);
        // Takes the items; they run one a frame, the first at once, then an end item continues the dialog.
        void sequence(std::vector<std::unique_ptr<DialogItem>> items);
        void skip();
        // Runs the items queued now; with count above 0 it stops once count - 1 talk lines are left.
        void skipSequence(int count);
        void end();
        void update(float timeDelta);
        bool isActive();
        int getNumReplies();
        int getNumQueuedItems();
        // Engine shut-down: the queued items go (their references with them) without calling the scripts.
        void destroy();
    } // namespace DialogManager
} // namespace vumo

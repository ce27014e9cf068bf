#pragma once

namespace tesraui
{
    class EventArgs;

    // A handler of a named object event.
    class Event
    {
    public:
        virtual ~Event() = default;
        virtual void execute(EventArgs* args) = 0;

    private:
        friend class Dataset;
        friend class Object;
        // A handler may replace or unregister itself, or destroy its object, while it runs; its deletion
        // then waits until the outermost run returns.
        int runs = 0;
        bool retired = false;
    };

    class CallbackEvent : public Event
    {
    public:
        typedef void (*Function)(EventArgs*);

        explicit CallbackEvent(Function function) : function(function) {}
        void execute(EventArgs* args) override;

    protected:
        Function function;
    };

    class MemberCallbackEventBase
    {
    public:
        virtual ~MemberCallbackEventBase() = default;
        virtual void execute(EventArgs* args) = 0;
    };

    template <class T> class MemberCallbackEventImpl : public MemberCallbackEventBase
    {
    public:
        typedef void (T::*Function)(EventArgs*);

        MemberCallbackEventImpl(Function function, T* receiver) : function(function), receiver(receiver) {}
        void execute(EventArgs* args) override { (this->receiver->*this->function)(args); }

    protected:
        Function function;
        T* receiver;
    };

    // Calls a member function of an object it does not own.
    class MemberCallbackEvent : public Event
    {
    public:
        template <class T>
        MemberCallbackEvent(void (T::*function)(EventArgs*), T* receiver)
            : callback(new MemberCallbackEventImpl<T>(function, receiver))
        {
        }
        ~MemberCallbackEvent() override { delete callback; }
        MemberCallbackEvent(const MemberCallbackEvent&) = delete;
        MemberCallbackEvent& operator=(const MemberCallbackEvent&) = delete;

        void execute(EventArgs* args) override
        {
            if (callback != nullptr)
            {
                callback->execute(args);
            }
        }

    protected:
        MemberCallbackEventBase* callback;
    };
} // namespace tesraui

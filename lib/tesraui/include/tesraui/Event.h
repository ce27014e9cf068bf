#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include <tesraui/LifeToken.h>

namespace tesraui
{
    class EventArgs;

    // A handler of a named object event.
    class Event
    {
    public:
        virtual ~Event() = default;
        // A handler may replace or unregister itself, or destroy its object, while it runs: each run holds
        // its own share of the handler, so the last of them frees it.
        virtual void execute(EventArgs* args) = 0;
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

        MemberCallbackEventImpl(Function function, T* receiver) : function(function), receiver(receiver)
        {
            if constexpr (HasLife<T>::value)
            {
                this->receiverLife = receiver->watchLife();
            }
        }
        void execute(EventArgs* args) override
        {
            // The handler may sit on another object than its receiver and outlive it.
            if constexpr (HasLife<T>::value)
            {
                if (!this->receiverLife.isAlive())
                {
                    return;
                }
            }
            (this->receiver->*this->function)(args);
        }

    protected:
        template <class U, class = void> struct HasLife : std::false_type
        {
        };
        template <class U>
        struct HasLife<U, std::void_t<decltype(std::declval<U&>().watchLife())>> : std::true_type
        {
        };

        Function function;
        T* receiver;
        LifeToken::Watch receiverLife;
    };

    // Calls a member function of an object it does not own.
    class MemberCallbackEvent : public Event
    {
    public:
        template <class T>
        MemberCallbackEvent(void (T::*function)(EventArgs*), T* receiver)
            : callback(std::make_unique<MemberCallbackEventImpl<T>>(function, receiver))
        {
        }

        void execute(EventArgs* args) override
        {
            if (callback != nullptr)
            {
                callback->execute(args);
            }
        }

    protected:
        std::unique_ptr<MemberCallbackEventBase> callback;
    };
} // namespace tesraui

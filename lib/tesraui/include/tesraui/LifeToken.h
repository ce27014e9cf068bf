#pragma once

#include <utility>

namespace tesraui
{
    // Tells code that calls out to handlers whether something it holds was deleted meanwhile: walks over
    // children, event queues and callbacks watch the token of what they hold and check it after each call.
    // The owner ends its token first thing in its destructor. Main thread only; nothing is allocated
    // until the first watch.
    class LifeToken
    {
        struct Block
        {
            bool alive = true;
            int watches = 0;
        };

    public:
        class Watch
        {
        public:
            Watch() = default;
            Watch(const Watch& other) : block(other.block) { acquire(); }
            Watch(Watch&& other) noexcept : block(other.block) { other.block = nullptr; }
            Watch& operator=(const Watch& other)
            {
                Watch copy(other);
                std::swap(block, copy.block);
                return *this;
            }
            ~Watch() { release(); }

            bool isAlive() const { return block != nullptr && block->alive; }

        private:
            friend class LifeToken;
            explicit Watch(Block* block) : block(block) { acquire(); }
            void acquire()
            {
                if (block != nullptr)
                {
                    ++block->watches;
                }
            }
            void release()
            {
                if (block != nullptr && --block->watches == 0 && !block->alive)
                {
                    // A counted block shared by the token and its watches: the last one out frees it.
                    delete block;
                }
                block = nullptr;
            }

            Block* block = nullptr;
        };

        LifeToken() = default;
        ~LifeToken() { end(); }
        LifeToken(const LifeToken&) = delete;
        LifeToken& operator=(const LifeToken&) = delete;

        Watch watch()
        {
            if (block == nullptr && !ended)
            {
                block = new Block();
            }
            return ended ? Watch() : Watch(block);
        }

        bool hasEnded() const { return ended; }
        // The watches alive now; 0 once ended.
        int countWatches() const { return block != nullptr ? block->watches : 0; }

        // Every watch sees the owner as gone from here on.
        void end()
        {
            ended = true;
            if (block != nullptr)
            {
                block->alive = false;
                if (block->watches == 0)
                {
                    // Shared with the watches, which free it themselves while any remains.
                    delete block;
                }
                block = nullptr;
            }
        }

    private:
        Block* block = nullptr;
        bool ended = false;
    };

    // A pointer to an object owned elsewhere (anything with watchLife()) that reads as null once the
    // object is gone.
    template <class T> class Watched
    {
    public:
        Watched() = default;
        explicit Watched(T* object) : object(object)
        {
            if (object != nullptr)
            {
                this->life = object->watchLife();
            }
        }
        T* get() const { return this->life.isAlive() ? this->object : nullptr; }

    private:
        T* object = nullptr;
        LifeToken::Watch life;
    };
} // namespace tesraui

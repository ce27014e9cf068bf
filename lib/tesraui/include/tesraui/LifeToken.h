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
            Watch(const Watch& other) : block(other.block) { this->acquire(); }
            Watch& operator=(const Watch& other)
            {
                Watch copy(other);
                std::swap(this->block, copy.block);
                return *this;
            }
            ~Watch() { this->release(); }

            bool isAlive() const { return this->block != nullptr && this->block->alive; }

        private:
            friend class LifeToken;
            explicit Watch(Block* block) : block(block) { this->acquire(); }
            void acquire()
            {
                if (this->block != nullptr)
                {
                    ++this->block->watches;
                }
            }
            void release()
            {
                if (this->block != nullptr && --this->block->watches == 0 && !this->block->alive)
                {
                    delete this->block;
                }
                this->block = nullptr;
            }

            Block* block = nullptr;
        };

        LifeToken() = default;
        ~LifeToken() { this->end(); }
        LifeToken(const LifeToken&) = delete;
        LifeToken& operator=(const LifeToken&) = delete;

        Watch watch()
        {
            if (this->block == nullptr && !this->ended)
            {
                this->block = new Block();
            }
            return this->ended ? Watch() : Watch(this->block);
        }

        // Every watch sees the owner as gone from here on.
        void end()
        {
            this->ended = true;
            if (this->block != nullptr)
            {
                this->block->alive = false;
                if (this->block->watches == 0)
                {
                    delete this->block;
                }
                this->block = nullptr;
            }
        }

    private:
        Block* block = nullptr;
        bool ended = false;
    };
} // namespace tesraui

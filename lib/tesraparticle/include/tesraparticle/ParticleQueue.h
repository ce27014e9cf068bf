#pragma once

#include <cstddef>
#include <deque>
#include <iterator>
#include <memory>

#include <tesraparticle/Particle.h>

namespace tesraparticle
{
    // A space's particles in creation order: added at the back, freed from the front, or anywhere by a
    // compaction. The records lie side by side in blocks, so that a step walks memory in order; a live record
    // moves only in a compaction, between steps, since emitters and affector callbacks hold pointers to it.
    class ParticleQueue
    {
    public:
        static const int BlockSize = 256;

        // Yields the particles' addresses front to back.
        class Iterator
        {
        public:
            using iterator_category = std::input_iterator_tag;
            using value_type = Particle*;
            using difference_type = std::ptrdiff_t;
            using pointer = Particle* const*;
            using reference = Particle*;

            Iterator(const ParticleQueue* queue, int index) : queue(queue), index(index) {}
            Particle* operator*() const { return (*queue)[index]; }
            Iterator& operator++()
            {
                ++index;
                return *this;
            }
            Iterator operator++(int)
            {
                Iterator before = *this;
                ++index;
                return before;
            }
            bool operator==(const Iterator& other) const
            {
                return index == other.index && queue == other.queue;
            }
            bool operator!=(const Iterator& other) const { return !(*this == other); }

        private:
            const ParticleQueue* queue;
            int index;
        };

        ParticleQueue() = default;
        ~ParticleQueue();
        ParticleQueue(const ParticleQueue&) = delete;
        ParticleQueue& operator=(const ParticleQueue&) = delete;

        int size() const { return count; }
        Particle* operator[](int index) const
        {
            int slot = head + index;
            return blocks[slot / BlockSize].get() + slot % BlockSize;
        }
        Iterator begin() const { return Iterator(this, 0); }
        Iterator end() const { return Iterator(this, count); }

        // A new default particle at the back.
        Particle* pushBack();
        // Destroys the first `number` particles (at most all of them).
        void popFront(int number);
        void clear();
        // Destroys the dead particles wherever they lie and moves the live ones forward, in their order, over
        // the gaps; moved(from, to) is told where each live one now lies (to may equal from), front to back.
        // Blocks no longer needed are freed but for the spare.
        template <class F> void compact(F moved)
        {
            int kept = 0;
            for (int index = 0; index < count; ++index)
            {
                Particle* particle = (*this)[index];
                if (particle->isDead())
                {
                    continue;
                }
                Particle* to = (*this)[kept++];
                if (to != particle)
                {
                    *to = *particle;
                }
                moved(particle, to);
            }
            this->_truncate(kept);
        }

        // Calls run(first, length) for every stretch of particles lying side by side, front to back.
        template <class F> void forEachRun(F run) const
        {
            int start = head;
            int left = count;
            for (size_t b = 0; left > 0; ++b)
            {
                int length = BlockSize - start < left ? BlockSize - start : left;
                run(blocks[b].get() + start, length);
                left -= length;
                start = 0;
            }
        }

    private:
        struct FreeBlock
        {
            void operator()(Particle* block) const;
        };
        typedef std::unique_ptr<Particle, FreeBlock> Block;

        // Destroys the particles from `length` on and frees the blocks past the last one in use.
        void _truncate(int length);

        std::deque<Block> blocks;
        // The last block emptied at the front, for the next block needed at the back: a steady stream of
        // particles allocates nothing.
        Block spare;
        // Slot of the front particle in the first block.
        int head = 0;
        int count = 0;
    };
} // namespace tesraparticle

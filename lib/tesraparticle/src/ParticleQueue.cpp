#include <new>
#include <utility>

#include <tesraparticle/ParticleQueue.h>

namespace tesraparticle
{
    namespace
    {
        // A record per cache line where the record fits one.
        const std::align_val_t blockAlignment = std::align_val_t(64);
    } // namespace

    void ParticleQueue::FreeBlock::operator()(Particle* block) const
    {
        // Bare: an aligned raw block from ::operator new, whose particles the queue ends itself.
        ::operator delete(block, blockAlignment);
    }

    ParticleQueue::~ParticleQueue()
    {
        clear();
    }

    Particle* ParticleQueue::pushBack()
    {
        int slot = head + count;
        if (slot / BlockSize == (int)blocks.size())
        {
            if (spare != nullptr)
            {
                blocks.push_back(std::move(spare));
            }
            else
            {
                blocks.emplace_back(
                    static_cast<Particle*>(::operator new(sizeof(Particle) * BlockSize, blockAlignment)));
            }
        }
        Particle* particle = new (blocks[slot / BlockSize].get() + slot % BlockSize) Particle();
        ++count;
        return particle;
    }

    void ParticleQueue::popFront(int number)
    {
        for (; number > 0 && count > 0; --number)
        {
            (*this)[0]->~Particle();
            ++head;
            --count;
            if (head == BlockSize)
            {
                spare = std::move(blocks.front());
                blocks.pop_front();
                head = 0;
            }
        }
        if (count == 0)
        {
            // The block in use, if any, starts over from its first slot.
            head = 0;
        }
    }

    void ParticleQueue::clear()
    {
        popFront(count);
    }

    void ParticleQueue::_truncate(int length)
    {
        for (int index = length; index < count; ++index)
        {
            (*this)[index]->~Particle();
        }
        count = length < count ? length : count;
        if (count == 0)
        {
            head = 0;
        }
        const size_t used = count == 0 ? 0 : (size_t)((head + count - 1) / BlockSize + 1);
        while (blocks.size() > used)
        {
            if (spare == nullptr)
            {
                spare = std::move(blocks.back());
            }
            blocks.pop_back();
        }
    }
} // namespace tesraparticle

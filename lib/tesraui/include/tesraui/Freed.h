#pragma once

#include <memory>
#include <utility>

namespace tesraui
{
    // What the engine frees on its own, when something has lain unused for a while, goes the same way as what
    // scripts destroy: freeWithDestroyed keeps it until freeDestroyed (or frees it at once while frees are
    // not deferred), so that code still holding it within the frame reads it whole.
    class Freed
    {
    public:
        virtual ~Freed() = default;
    };

    void _buryFreed(std::unique_ptr<Freed> freed);

    template <class T> void freeWithDestroyed(T value)
    {
        struct Kept : Freed
        {
            T value;
            explicit Kept(T&& kept) : value(std::move(kept)) {}
        };
        _buryFreed(std::make_unique<Kept>(std::move(value)));
    }
} // namespace tesraui

#pragma once

#include <atomic>

namespace quortypes
{
    // Marks a run of some work for the guard's lifetime: the mark takes the value given and gets back the
    // one it held when the guard ends, an exception's way out too. A count of runs under way is a mark of
    // `count + 1`, a flag one of `true`, the innermost run's name or record one of its pointer; runs nest as
    // the guards do, so that the outer run's mark is there again once the inner one is over.
    template <class T> class UnderWay
    {
    public:
        UnderWay(T& mark, T value) : mark(mark), outer(mark) { mark = value; }
        ~UnderWay() { this->mark = this->outer; }
        UnderWay(const UnderWay&) = delete;
        UnderWay& operator=(const UnderWay&) = delete;

    private:
        T& mark;
        const T outer;
    };

    // A mark that another thread reads, as an end forced from a watchdog reads the profile's work.
    template <class T> class UnderWay<std::atomic<T>>
    {
    public:
        UnderWay(std::atomic<T>& mark, T value) : mark(mark), outer(mark.load()) { mark.store(value); }
        ~UnderWay() { this->mark.store(this->outer); }
        UnderWay(const UnderWay&) = delete;
        UnderWay& operator=(const UnderWay&) = delete;

    private:
        std::atomic<T>& mark;
        const T outer;
    };

    // One more run of the counted kind for the guard's lifetime.
    class CountedUnderWay : public UnderWay<int>
    {
    public:
        explicit CountedUnderWay(int& count) : UnderWay<int>(count, count + 1) {}
    };
} // namespace quortypes

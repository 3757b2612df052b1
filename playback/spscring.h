#pragma once

#include <array>
#include <atomic>
#include <cstddef>

// A lock-free ring between exactly one producer thread and one consumer thread. The producer may
// stage several items and publish them at once, so that the consumer sees them together.
template <typename T, size_t Capacity> class SpscRing
{
    static_assert((Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

public:
    // Producer: stores an item without showing it to the consumer yet; false when full.
    bool stage(const T& item)
    {
        if (staged - head.load(std::memory_order_acquire) >= Capacity)
            return false;
        items[staged % Capacity] = item;
        ++staged;
        return true;
    }

    // Producer: shows every staged item to the consumer.
    void publish() { tail.store(staged, std::memory_order_release); }

    bool push(const T& item)
    {
        const bool stored = stage(item);
        publish();
        return stored;
    }

    // Consumer: takes the oldest published item; false when there is none.
    bool pop(T& item)
    {
        const size_t h = head.load(std::memory_order_relaxed);
        if (h == tail.load(std::memory_order_acquire))
            return false;
        item = items[h % Capacity];
        head.store(h + 1, std::memory_order_release);
        return true;
    }

private:
    std::array<T, Capacity> items{};
    std::atomic<size_t> head{0};
    std::atomic<size_t> tail{0};
    size_t staged = 0; // producer only
};

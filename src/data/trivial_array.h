#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>
#include <type_traits>
#include <utility>

namespace brindle::odbc {

// A growing array of trivially copyable values kept with realloc. A result
// column grows to hundreds of megabytes; realloc lets the C library move or
// extend large blocks by remapping their pages instead of copying them into
// fresh, zeroed pages as std::vector does at every doubling, and room for
// values about to be written is not zeroed first.
template <typename T> class TrivialArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    TrivialArray() = default;
    TrivialArray(const TrivialArray&) = delete;
    TrivialArray& operator=(const TrivialArray&) = delete;
    TrivialArray(TrivialArray&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
          m_capacity(std::exchange(other.m_capacity, 0)) {}
    TrivialArray& operator=(TrivialArray&& other) noexcept {
        if (this != &other) {
            std::free(m_data);
            m_data = std::exchange(other.m_data, nullptr);
            m_size = std::exchange(other.m_size, 0);
            m_capacity = std::exchange(other.m_capacity, 0);
        }
        return *this;
    }
    ~TrivialArray() { std::free(m_data); }

    std::size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }
    T* data() noexcept { return m_data; }
    const T* data() const noexcept { return m_data; }
    T& operator[](std::size_t i) noexcept { return m_data[i]; }
    const T& operator[](std::size_t i) const noexcept { return m_data[i]; }
    T& back() noexcept { return m_data[m_size - 1]; }
    operator std::span<const T>() const noexcept { return {m_data, m_size}; }

    void push_back(T value) {
        if (m_size == m_capacity)
            reallocate(grown(m_size + 1));
        m_data[m_size++] = value;
    }
    void append(const T* values, std::size_t count) {
        T* to = extend(count);
        if (count > 0)
            std::memcpy(to, values, count * sizeof(T));
    }
    // Adds count values left unwritten and returns where they start.
    T* extend(std::size_t count) {
        if (m_size + count > m_capacity)
            reallocate(grown(m_size + count));
        T* start = m_data + m_size;
        m_size += count;
        return start;
    }
    // Drops values from the end (size must not grow).
    void truncate(std::size_t size) noexcept { m_size = size < m_size ? size : m_size; }
    void reserve(std::size_t capacity) {
        if (capacity > m_capacity)
            reallocate(capacity);
    }
    void shrink_to_fit() {
        if (m_size == 0) {
            std::free(m_data);
            m_data = nullptr;
            m_capacity = 0;
        } else if (m_size < m_capacity) {
            reallocate(m_size);
        }
    }

private:
    std::size_t grown(std::size_t needed) const noexcept {
        const std::size_t doubled = m_capacity < 8 ? 16 : m_capacity * 2;
        return doubled > needed ? doubled : needed;
    }
    void reallocate(std::size_t capacity) {
        void* moved = std::realloc(m_data, capacity * sizeof(T));
        if (!moved)
            throw std::bad_alloc();
        m_data = static_cast<T*>(moved);
        m_capacity = capacity;
    }

    T* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace brindle::odbc

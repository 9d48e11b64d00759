#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Bytes of a secret (a key, a password) in libsodium's guarded memory: kept out of swap and core
// dumps where the system allows it, fenced by guard pages, and wiped when the buffer goes or is
// cleared. Move-only, so no copy of the secret is left behind in ordinary memory.
class GuardedBuffer {
public:
    GuardedBuffer() = default;
    // size zero bytes; throws std::bad_alloc when guarded memory cannot be had.
    explicit GuardedBuffer(std::size_t size);
    static GuardedBuffer copyOf(std::string_view bytes);
    ~GuardedBuffer();

    GuardedBuffer(GuardedBuffer&& other) noexcept;
    GuardedBuffer& operator=(GuardedBuffer&& other) noexcept;
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    unsigned char* data() { return m_data; }
    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    std::string_view view() const { return {reinterpret_cast<const char*>(m_data), m_size}; }

    // Wipes the secret and lets the memory go.
    void clear();

private:
    unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};

// True when two secrets are the same bytes, compared in a time that does not tell where they
// differ.
bool sameSecret(std::string_view a, std::string_view b);

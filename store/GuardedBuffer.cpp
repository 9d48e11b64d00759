#include "store/GuardedBuffer.h"

#include <cstring>
#include <new>
#include <sodium.h>
#include <utility>

#include "store/SodiumLibrary.h"

GuardedBuffer::GuardedBuffer(std::size_t size) {
    if (size == 0) {
        return;
    }
    startSodium();
    m_data = static_cast<unsigned char*>(sodium_malloc(size));
    if (m_data == nullptr) {
        throw std::bad_alloc();
    }
    sodium_memzero(m_data, size);
    m_size = size;
}

GuardedBuffer GuardedBuffer::copyOf(std::string_view bytes) {
    GuardedBuffer buffer(bytes.size());
    if (!bytes.empty()) {
        std::memcpy(buffer.m_data, bytes.data(), bytes.size());
    }
    return buffer;
}

GuardedBuffer::~GuardedBuffer() {
    clear();
}

GuardedBuffer::GuardedBuffer(GuardedBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {
}

GuardedBuffer& GuardedBuffer::operator=(GuardedBuffer&& other) noexcept {
    if (this != &other) {
        clear();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

void GuardedBuffer::clear() {
    if (m_data != nullptr) {
        // sodium_free wipes the memory before it lets it go.
        sodium_free(m_data);
        m_data = nullptr;
        m_size = 0;
    }
}

bool sameSecret(std::string_view a, std::string_view b) {
    startSodium();
    return a.size() == b.size() && (a.empty() || sodium_memcmp(a.data(), b.data(), a.size()) == 0);
}

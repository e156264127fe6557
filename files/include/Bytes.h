#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <utility>
#include <vector>

namespace quorvel::files {

namespace platform {
// Memory for a buffer of ASize bytes, from the system directly when it is
// large (in huge pages where the system has them, so that a file of 50 MB
// costs a few page faults rather than thousands); FreeBuffer takes the same size.
void* AllocateBuffer(std::size_t ASize);
void FreeBuffer(void* ABuffer, std::size_t ASize) noexcept;
}  // namespace platform

// The allocator of file contents: its buffers are about to be overwritten by a
// read or a copy, so growing one leaves the new bytes unset instead of zeroing them.
template <typename T>
class BufferAllocator {
public:
    using value_type = T;
    BufferAllocator() = default;
    template <typename U>
    BufferAllocator(const BufferAllocator<U>&) noexcept {}

    T* allocate(std::size_t ACount) { return static_cast<T*>(platform::AllocateBuffer(ACount * sizeof(T))); }
    void deallocate(T* ABuffer, std::size_t ACount) noexcept { platform::FreeBuffer(ABuffer, ACount * sizeof(T)); }

    template <typename U>
    void construct(U* APlace) noexcept {
        ::new (static_cast<void*>(APlace)) U;
    }
    template <typename U, typename... Args>
    void construct(U* APlace, Args&&... AArgs) {
        ::new (static_cast<void*>(APlace)) U(std::forward<Args>(AArgs)...);
    }

    template <typename U>
    bool operator==(const BufferAllocator<U>&) const noexcept {
        return true;
    }
};

using Bytes = std::vector<std::uint8_t, BufferAllocator<std::uint8_t>>;
using ByteView = std::span<const std::uint8_t>;

}  // namespace quorvel::files

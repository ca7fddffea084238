// Heap blocks that travel between threads: a received chunk or a copy queued
// for sending. Each is allocated at its exact size plus a terminating zero
// byte and owned by exactly one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace seriallink {

using ByteBlock = std::unique_ptr<char[]>;

// Copies n bytes into a fresh block of n + 1 bytes; empty on allocation failure.
inline ByteBlock CopyToBlock(const void* bytes, std::size_t n) {
    ByteBlock block(new (std::nothrow) char[n + 1]);
    if (block) {
        std::memcpy(block.get(), bytes, n);
        block[n] = 0;
    }
    return block;
}

// A block crosses a pipe as its full address, never cut to 32 bits.
inline std::uint64_t AddressOf(const char* block) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(block));
}
inline ByteBlock AdoptBlock(std::uint64_t address) {
    return ByteBlock(reinterpret_cast<char*>(static_cast<std::uintptr_t>(address)));
}

}  // namespace seriallink

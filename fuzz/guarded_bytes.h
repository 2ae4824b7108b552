// Bytes framed by inaccessible pages, for the blit's fuzz target.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace quorvel::fuzz {

// `size` bytes right against an inaccessible page, after or before them, so that touching even one byte beyond
// them (reading a byte back to write it unchanged included) stops the program.
struct GuardedBytes {
    GuardedBytes(size_t size, bool guardAfter)
        : page(static_cast<size_t>(sysconf(_SC_PAGESIZE))), length(((size + page - 1) / page + 2) * page),
          base(static_cast<uint8_t*>(
              mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))),
          bytes(guardAfter ? base + length - page - size : base + page) {
        mprotect(base, page, PROT_NONE);
        mprotect(base + length - page, page, PROT_NONE);
    }
    ~GuardedBytes() { munmap(base, length); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    const size_t page, length;
    uint8_t* const base;
    uint8_t* const bytes;
};

}  // namespace quorvel::fuzz

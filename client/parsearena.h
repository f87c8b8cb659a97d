#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <csetjmp>
#include <cstddef>
#include <memory>
#include <string_view>

// gumbo's node type (GumboNode), named here so that gumbo stays private to this library.
struct GumboInternalNode;

namespace zonara {

// The bounds on reading one page. A hostile page can make the HTML parser work for minutes (a
// million nested elements) or allocate without end. Whichever bound is hit first ends the read
// with nothing: serializeHtml() and documentText() return no text.
struct ParseLimits
{
    // How long the parse may run. Checked every ParseArena::ClockEvery allocations; past it the
    // parse ends at the next check.
    std::chrono::milliseconds time{30'000};
    // What the reading of one page holds at once: the parsed tree and the text written from it,
    // which may take a third of it (its UTF-16 copy takes two more); documentText() also counts
    // the page's decoded copies in it. A tree that grows past it (or that the system refuses
    // memory) ends the parse at the allocation that crossed it; a text that grows past its share
    // ends the writing. A listing page needs about 20 bytes for each of its bytes, so the default
    // reads listings of up to about 8 MB (30,000 hosts), while two hostile pages read at once
    // (15 MB of "<br>" would take 800 MiB) still leave the program well under 512 MB.
    std::size_t memory = std::size_t(160) << 20;
    // Set, from another thread, by the loader that abandoned the page. Checked with `time`; once
    // set the parse ends at the next check.
    std::shared_ptr<const std::atomic<bool>> cancelled;
};

// Holds every allocation of one parse and frees them together, which also spares gumbo's
// recursive destruction of deep trees. When the parse runs past its limits, the next allocation
// jumps (longjmp) straight back out of gumbo to the setjmp in parse(): the parser is C and holds
// no resources of its own besides what it allocated here.
//
// THE ONE RULE: no C++ frame with a destructor may stand between the setjmp in parse() and the
// longjmp in an allocation, since the jump skips every destructor on the way; and nothing there
// may throw, since an exception cannot cross gumbo's C frames. Only gumbo's C frames and this
// class's allocation functions run there, and these hold no objects with destructors and allocate
// nothing of their own: every list they keep is threaded through the blocks it lists.
//
// Memory comes straight from the system (mmap) and goes straight back (munmap): through malloc,
// a worker thread's heap would keep hundreds of megabytes resident after a hostile page. Pages of
// a fresh mapping are committed only as they are written, and arrive zeroed without our paying
// for it.
class ParseArena final
{
public:
    // Reading the clock on every allocation would cost more than the allocation.
    static constexpr std::size_t ClockEvery = 256;

    explicit ParseArena(const ParseLimits &limits);
    ~ParseArena();
    ParseArena(const ParseArena &) = delete;
    ParseArena &operator=(const ParseArena &) = delete;

    // The document's tree, alive as long as the arena, or null when the parse ran past its limits.
    const GumboInternalNode *parse(std::string_view html);

    // Bytes the tree holds now.
    std::size_t allocated() const { return m_allocated; }

private:
    static constexpr std::size_t ChunkSize = 1 << 20;
    // Larger blocks are the parser's growing buffers and vectors, freed as soon as they have
    // been copied into a larger one: each gets a mapping of its own, given back when freed.
    static constexpr std::size_t LargeBlock = 64 << 10;
    // gumbo's structures hold pointers, integers and text, nothing aligned wider than a pointer;
    // a listing page makes hundreds of thousands of blocks, and every byte of header and
    // padding saved on each is a megabyte less at the peak.
    static constexpr std::size_t Alignment = alignof(void *);
    // Each block is preceded by its size in units of Alignment, so that a freed block can serve
    // a later request of the same size: the parser frees and allocates small buffers all the time.
    // A freed small block holds the next freed block of its size.
    static constexpr std::size_t HeaderSize = sizeof(std::size_t);
    static_assert(HeaderSize % Alignment == 0 && HeaderSize >= sizeof(void *));
    static constexpr std::size_t ReusedSizes = 4096 / Alignment;

    // The start of every mapping: the mappings of a kind form a list, chunks through `previous`
    // alone, large blocks both ways, as one is given back whenever the parser frees it.
    struct Mapping
    {
        Mapping *previous;
        Mapping *next;
        std::size_t bytes;
    };
    static constexpr std::size_t MappingHeader =
        (sizeof(Mapping) + Alignment - 1) & ~(Alignment - 1);

    static void *allocate(void *userdata, std::size_t size);
    static void deallocate(void *userdata, void *block);
    // A mapping of `bytes` after its header, put at the head of `list`.
    std::byte *map(std::size_t bytes, Mapping *&list);
    static void unmapAll(Mapping *list);
    void *take(std::size_t size);
    void giveBack(void *block);

    std::jmp_buf m_escape;
    std::chrono::steady_clock::time_point m_deadline;
    std::size_t m_memoryLimit;
    std::shared_ptr<const std::atomic<bool>> m_cancelled;
    std::size_t m_allocated = 0;
    std::size_t m_allocations = 0;
    Mapping *m_chunks = nullptr;
    Mapping *m_largeBlocks = nullptr;
    std::array<void *, ReusedSizes> m_freed{};
    std::byte *m_cursor = nullptr;
    std::size_t m_left = 0;
};

} // namespace zonara

#include "parsearena.h"

#include <gumbo.h>

#include <algorithm>
#include <cstring>

#include <sys/mman.h>

namespace zonara {

ParseArena::ParseArena(const ParseLimits &limits)
    : m_deadline(std::chrono::steady_clock::now() + limits.time)
    , m_memoryLimit(limits.memory)
    , m_cancelled(limits.cancelled)
{}

ParseArena::~ParseArena()
{
    for (const Mapping &chunk : m_chunks)
        ::munmap(chunk.start, chunk.bytes);
    for (const auto &[start, bytes] : m_largeBlocks)
        ::munmap(start, bytes);
}

const GumboNode *ParseArena::parse(std::string_view html)
{
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &ParseArena::allocate;
    options.deallocator = &ParseArena::deallocate;
    options.userdata = this;
    // Parse errors are of no use here; recording them only costs memory on broken pages.
    options.max_errors = 0;
    if (setjmp(m_escape) != 0)
        return nullptr;
    const GumboOutput *output = gumbo_parse_with_options(&options, html.data(), html.size());
    return output->document;
}

void *ParseArena::allocate(void *userdata, std::size_t size)
{
    return static_cast<ParseArena *>(userdata)->take(size);
}

void ParseArena::deallocate(void *userdata, void *block)
{
    if (block)
        static_cast<ParseArena *>(userdata)->giveBack(block);
}

std::byte *ParseArena::map(std::size_t bytes)
{
    m_allocated += bytes;
    if (m_allocated > m_memoryLimit)
        std::longjmp(m_escape, 1);
    void *start = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (start == MAP_FAILED)
        std::longjmp(m_escape, 1);
    return static_cast<std::byte *>(start);
}

void *ParseArena::take(std::size_t size)
{
    if (++m_allocations % ClockEvery == 0 &&
        (std::chrono::steady_clock::now() > m_deadline || (m_cancelled && m_cancelled->load())))
        std::longjmp(m_escape, 1);
    size = std::max<std::size_t>(1, (size + Alignment - 1) / Alignment);
    if (size < ReusedSizes && !m_freed[size].empty()) {
        void *block = m_freed[size].back();
        m_freed[size].pop_back();
        return block;
    }
    const std::size_t bytes = HeaderSize + size * Alignment;
    std::byte *start = nullptr;
    if (bytes >= LargeBlock) {
        start = map(bytes);
        m_largeBlocks.emplace(start, bytes);
    } else {
        if (bytes > m_left) {
            // The chunk goes into the list before anything can jump out of the parse.
            m_chunks.reserve(m_chunks.size() + 1);
            m_cursor = map(ChunkSize);
            m_chunks.push_back({m_cursor, ChunkSize});
            m_left = ChunkSize;
        }
        start = m_cursor;
        m_cursor += bytes;
        m_left -= bytes;
    }
    std::memcpy(start, &size, sizeof size);
    return start + HeaderSize;
}

void ParseArena::giveBack(void *block)
{
    std::byte *start = static_cast<std::byte *>(block) - HeaderSize;
    std::size_t size = 0;
    std::memcpy(&size, start, sizeof size);
    if (size < ReusedSizes) {
        m_freed[size].push_back(block);
        return;
    }
    const auto large = m_largeBlocks.find(start);
    if (large == m_largeBlocks.end())
        return;
    ::munmap(start, large->second);
    m_allocated -= large->second;
    m_largeBlocks.erase(large);
}

} // namespace zonara

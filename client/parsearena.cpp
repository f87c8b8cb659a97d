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
    unmapAll(m_chunks);
    unmapAll(m_largeBlocks);
}

void ParseArena::unmapAll(Mapping *list)
{
    while (list) {
        Mapping *previous = list->previous;
        ::munmap(list, list->bytes);
        list = previous;
    }
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

std::byte *ParseArena::map(std::size_t bytes, Mapping *&list)
{
    bytes += MappingHeader;
    m_allocated += bytes;
    if (m_allocated > m_memoryLimit)
        std::longjmp(m_escape, 1);
    void *start = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (start == MAP_FAILED)
        std::longjmp(m_escape, 1);
    // Listed before anything can jump: the destructor gives back what the lists hold.
    auto *mapping = static_cast<Mapping *>(start);
    *mapping = {list, nullptr, bytes};
    if (list)
        list->next = mapping;
    list = mapping;
    return static_cast<std::byte *>(start) + MappingHeader;
}

void *ParseArena::take(std::size_t size)
{
    if (++m_allocations % ClockEvery == 0 &&
        (std::chrono::steady_clock::now() > m_deadline || (m_cancelled && m_cancelled->load())))
        std::longjmp(m_escape, 1);
    size = std::max<std::size_t>(1, (size + Alignment - 1) / Alignment);
    if (size < ReusedSizes && m_freed[size]) {
        void *block = m_freed[size];
        std::memcpy(&m_freed[size], block, sizeof(void *));
        return block;
    }
    const std::size_t bytes = HeaderSize + size * Alignment;
    std::byte *start = nullptr;
    if (bytes >= LargeBlock) {
        start = map(bytes, m_largeBlocks);
    } else {
        if (bytes > m_left) {
            m_cursor = map(ChunkSize - MappingHeader, m_chunks);
            m_left = ChunkSize - MappingHeader;
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
        std::memcpy(block, &m_freed[size], sizeof(void *));
        m_freed[size] = block;
        return;
    }
    if (HeaderSize + size * Alignment < LargeBlock)
        return;
    auto *mapping = reinterpret_cast<Mapping *>(start - MappingHeader);
    if (mapping->next)
        mapping->next->previous = mapping->previous;
    else
        m_largeBlocks = mapping->previous;
    if (mapping->previous)
        mapping->previous->next = mapping->next;
    m_allocated -= mapping->bytes;
    ::munmap(mapping, mapping->bytes);
}

} // namespace zonara

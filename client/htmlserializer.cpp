#include "htmlserializer.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csetjmp>
#include <cstddef>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include <sys/mman.h>

namespace zonara {

namespace {

// Holds every allocation of one parse and frees them together, which also spares gumbo's
// recursive destruction of deep trees. When the parse runs past its time or memory, or is
// cancelled, the next allocation jumps straight back out of gumbo: the parser is C and holds no
// resources of its own besides what it allocated here.
//
// Memory comes straight from the system (mmap) and goes straight back (munmap): through malloc,
// a worker thread's heap would keep hundreds of megabytes resident after a hostile page. Pages of
// a fresh mapping are committed only as they are written, and arrive zeroed without our paying
// for it.
class ParseArena final
{
public:
    explicit ParseArena(const ParseLimits &limits)
        : m_deadline(std::chrono::steady_clock::now() + limits.time)
        , m_memoryLimit(limits.memory)
        , m_cancelled(limits.cancelled)
    {}
    ~ParseArena()
    {
        for (const Mapping &chunk : m_chunks)
            ::munmap(chunk.start, chunk.bytes);
        for (const auto &[start, bytes] : m_largeBlocks)
            ::munmap(start, bytes);
    }
    ParseArena(const ParseArena &) = delete;
    ParseArena &operator=(const ParseArena &) = delete;

    // The document's tree, or null when the parse ran out of its limits or was cancelled.
    const GumboNode *parse(std::string_view html)
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

    struct Mapping
    {
        void *start;
        std::size_t bytes;
    };

    static void *allocate(void *userdata, std::size_t size)
    {
        return static_cast<ParseArena *>(userdata)->take(size);
    }
    static void deallocate(void *userdata, void *block)
    {
        if (block)
            static_cast<ParseArena *>(userdata)->giveBack(block);
    }

    // Each block is preceded by its size in units of Alignment, so that a freed block can serve
    // a later request of the same size: the parser frees and allocates small buffers all the time.
    static constexpr std::size_t HeaderSize = sizeof(std::size_t);
    static_assert(HeaderSize % Alignment == 0);
    static constexpr std::size_t ReusedSizes = 4096 / Alignment;

    std::byte *map(std::size_t bytes)
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

    void *take(std::size_t size)
    {
        // Reading the clock on every allocation would cost more than the allocation.
        if (++m_allocations % 256 == 0 &&
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

    void giveBack(void *block)
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

    std::jmp_buf m_escape;
    std::chrono::steady_clock::time_point m_deadline;
    std::size_t m_memoryLimit;
    std::shared_ptr<const std::atomic<bool>> m_cancelled;
    std::size_t m_allocated = 0;
    std::size_t m_allocations = 0;
    std::vector<Mapping> m_chunks;
    std::unordered_map<void *, std::size_t> m_largeBlocks;
    std::array<std::vector<void *>, ReusedSizes> m_freed;
    std::byte *m_cursor = nullptr;
    std::size_t m_left = 0;
};

bool isVoid(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BASEFONT:
    case GUMBO_TAG_BGSOUND:
    case GUMBO_TAG_BR:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_IMAGE:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_KEYGEN:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_WBR:
        return true;
    default:
        return false;
    }
}

// Elements whose text is not markup: written back as it stands.
bool isRawText(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_PLAINTEXT:
        return true;
    default:
        return false;
    }
}

// Table structure, between whose tags white space carries no content.
bool isTableStructure(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_TBODY:
    case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TFOOT:
    case GUMBO_TAG_TR:
        return true;
    default:
        return false;
    }
}

// Tags of a table's frame and cells, next to which a blank inside a row carries no content.
bool dropsBlanksAround(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH:
    case GUMBO_TAG_CAPTION:
    case GUMBO_TAG_COLGROUP:
    case GUMBO_TAG_COL:
        return true;
    default:
        return isTableStructure(tag);
    }
}

// The document's frame tags stand on lines of their own.
bool standsOnOwnLine(GumboTag tag)
{
    return tag == GUMBO_TAG_HTML || tag == GUMBO_TAG_HEAD || tag == GUMBO_TAG_BODY;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// gumbo gives an attribute written without "=" an empty value whose source text is not quoted.
bool hasNoValue(const GumboAttribute &attribute)
{
    if (attribute.value[0] != '\0')
        return false;
    const GumboStringPiece &source = attribute.original_value;
    return source.length == 0 || (source.data[0] != '"' && source.data[0] != '\'');
}

bool isSignedWholeNumber(std::string_view value)
{
    if (value.size() < 2 || (value[0] != '-' && value[0] != '+'))
        return false;
    for (const char c : value.substr(1)) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

class Writer final
{
public:
    // Writes at most about `limit` bytes: past it, write() gives up.
    Writer(std::size_t expectedSize, std::size_t limit)
        : m_limit(limit)
    {
        m_out.reserve(std::min(expectedSize + expectedSize / 8, limit));
    }

    std::string take() { return std::move(m_out); }

    // False when the text grew past the limit.
    bool write(const GumboNode *document)
    {
        writeDoctype(document->v.document);
        // An explicit stack: hostile pages nest deeper than the call stack could follow.
        struct Frame
        {
            const GumboNode *node;
            unsigned nextChild;
        };
        std::vector<Frame> stack;
        stack.push_back({document, 0});
        while (!stack.empty()) {
            if (m_out.size() > m_limit)
                return false;
            Frame &frame = stack.back();
            const GumboVector &children = childrenOf(frame.node);
            if (frame.nextChild == children.length) {
                if (frame.node->type != GUMBO_NODE_DOCUMENT)
                    endElement(frame.node);
                stack.pop_back();
                continue;
            }
            const auto *child = static_cast<const GumboNode *>(children.data[frame.nextChild++]);
            if (child->type == GUMBO_NODE_ELEMENT || child->type == GUMBO_NODE_TEMPLATE) {
                startElement(child);
                if (isVoid(child->v.element.tag))
                    endElement(child);
                else
                    stack.push_back({child, 0});
            } else {
                writeLeaf(child);
            }
        }
        ensureLineStart();
        return m_out.size() <= m_limit;
    }

private:
    static const GumboVector &childrenOf(const GumboNode *node)
    {
        return node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children
                                                 : node->v.element.children;
    }

    void writeDoctype(const GumboDocument &document)
    {
        if (!document.has_doctype)
            return;
        m_out += "<!DOCTYPE ";
        m_out += document.name;
        m_out += '>';
        lineBreak();
    }

    void startElement(const GumboNode *node)
    {
        const GumboElement &element = node->v.element;
        // Every row starts a line, also a row of a table nested in another table's cell: older
        // member pages put the host table inside a layout table.
        if (element.tag == GUMBO_TAG_TR) {
            ++m_rowDepth;
            ensureLineStart();
        }
        if (standsOnOwnLine(element.tag))
            ensureLineStart();
        // A waiting blank stands before an inline element, and its content follows it.
        if (dropsBlanksAround(element.tag))
            m_pendingBlanks = 0;
        else
            flushBlank();
        m_out += '<';
        writeTagName(element);
        writeAttributes(element);
        m_out += '>';
        m_atLineStart = false;
        if (dropsBlanksAround(element.tag))
            m_atCellEdge = true;
        else if (isVoid(element.tag))
            m_atCellEdge = false;
        if (standsOnOwnLine(element.tag))
            lineBreak();
    }

    void endElement(const GumboNode *node)
    {
        const GumboElement &element = node->v.element;
        if (!isVoid(element.tag)) {
            if (standsOnOwnLine(element.tag))
                ensureLineStart();
            // A blank waiting before an inline end tag goes after it, where what follows decides
            // on it: "<B>bold </B></TD>" reads "<B>bold</B></TD>".
            if (dropsBlanksAround(element.tag)) {
                m_pendingBlanks = 0;
                m_atCellEdge = true;
            }
            m_out += "</";
            writeTagName(element);
            m_out += '>';
            m_atLineStart = false;
            if (standsOnOwnLine(element.tag))
                lineBreak();
        }
        if (element.tag == GUMBO_TAG_TR) {
            --m_rowDepth;
            ensureLineStart();
        }
    }

    void writeTagName(const GumboElement &element)
    {
        if (element.tag != GUMBO_TAG_UNKNOWN) {
            appendUpper(gumbo_normalized_tagname(element.tag));
            return;
        }
        appendUpper(unknownTagName(element.original_tag));
    }

    // The name in an unknown element's source text: "<name ...>" or, for an element an end tag
    // made, "</name ...>". gumbo's own helper keeps everything up to ">" for end tags, blanks
    // included, which would cut a row.
    static std::string_view unknownTagName(const GumboStringPiece &source)
    {
        std::string_view text(source.data ? source.data : "", source.data ? source.length : 0);
        if (!text.empty() && text.front() == '<')
            text.remove_prefix(1);
        if (!text.empty() && text.front() == '/')
            text.remove_prefix(1);
        std::size_t end = 0;
        while (end < text.size() && !isBlank(text[end]) && text[end] != '/' && text[end] != '>')
            ++end;
        return end == 0 ? std::string_view("UNKNOWN") : text.substr(0, end);
    }

    // Attributes in page order, except that an INPUT's TYPE, NAME and VALUE come first and in
    // that order: the host row reads the same however the page orders them.
    void writeAttributes(const GumboElement &element)
    {
        const GumboVector &attributes = element.attributes;
        const auto attribute = [&attributes](unsigned i) {
            return static_cast<const GumboAttribute *>(attributes.data[i]);
        };
        if (element.tag != GUMBO_TAG_INPUT) {
            for (unsigned i = 0; i < attributes.length; ++i)
                writeAttribute(*attribute(i));
            return;
        }
        static constexpr std::array<const char *, 3> Leading = {"type", "name", "value"};
        for (const char *name : Leading) {
            if (const GumboAttribute *leading = gumbo_get_attribute(&attributes, name))
                writeAttribute(*leading);
        }
        for (unsigned i = 0; i < attributes.length; ++i) {
            const std::string_view name(attribute(i)->name);
            if (std::find(Leading.begin(), Leading.end(), name) == Leading.end())
                writeAttribute(*attribute(i));
        }
    }

    void writeAttribute(const GumboAttribute &attribute)
    {
        m_out += ' ';
        appendUpper(attribute.name);
        if (hasNoValue(attribute))
            return;
        m_out += '=';
        const std::string_view value(attribute.value);
        if (isSignedWholeNumber(value)) {
            m_out += value;
            return;
        }
        m_out += '"';
        for (const char c : value) {
            switch (c) {
            case '&':
                m_out += "&amp;";
                break;
            case '"':
                m_out += "&quot;";
                break;
            // Line breaks in a value would cut its row in two.
            case '\n':
                m_out += "&#10;";
                break;
            case '\r':
                m_out += "&#13;";
                break;
            default:
                m_out += c;
            }
        }
        m_out += '"';
    }

    void writeLeaf(const GumboNode *node)
    {
        const std::string_view text(node->v.text.text);
        const GumboNode *parent = node->parent;
        const GumboTag parentTag = parent && parent->type != GUMBO_NODE_DOCUMENT
                                       ? parent->v.element.tag
                                       : GUMBO_TAG_UNKNOWN;
        switch (node->type) {
        case GUMBO_NODE_COMMENT:
            flushBlank();
            m_out += "<!--";
            m_atCellEdge = false;
            writeLines(text, false);
            flushBlank();
            m_out += "-->";
            m_atLineStart = false;
            return;
        case GUMBO_NODE_WHITESPACE:
            // Between a table's rows and cells white space is layout; between words and inline
            // elements inside a cell it is a blank.
            if (isTableStructure(parentTag))
                return;
            writeLines(text, false);
            return;
        default:
            break;
        }
        const bool escape = !isRawText(parentTag);
        if (m_rowDepth > 0)
            writeFolded(text, escape);
        else
            writeLines(text, escape);
    }

    // Text outside table rows keeps its lines; every line end becomes CR LF.
    void writeLines(std::string_view text, bool escape)
    {
        if (text.empty())
            return;
        if (m_rowDepth > 0) {
            writeFolded(text, escape);
            return;
        }
        for (const char c : text) {
            if (c == '\n') {
                m_out += "\r\n";
            } else if (c != '\r') {
                appendEscaped(c, escape);
            }
        }
        m_atLineStart = text.back() == '\n';
    }

    // Text inside a table row: each blank kept as one ' ', and none at the edges of a cell's
    // content, inline tags or not ("<TD> <B> bold </B> </TD>" reads "<TD><B>bold</B></TD>"), nor
    // at a line start. Blanks wait to see what follows them: text or an inline element keeps
    // them, a table or cell tag drops them.
    void writeFolded(std::string_view text, bool escape)
    {
        for (const char c : text) {
            if (isBlank(c)) {
                // A host named "ab  cd" keeps both blanks; CR LF is one line end, one blank.
                if (!m_atCellEdge && !m_atLineStart && c != '\r')
                    ++m_pendingBlanks;
                continue;
            }
            flushBlank();
            appendEscaped(c, escape);
            m_atCellEdge = false;
            m_atLineStart = false;
        }
    }

    void flushBlank()
    {
        m_out.append(m_pendingBlanks, ' ');
        m_pendingBlanks = 0;
    }

    void appendEscaped(char c, bool escape)
    {
        if (escape) {
            switch (c) {
            case '&':
                m_out += "&amp;";
                return;
            case '<':
                m_out += "&lt;";
                return;
            case '>':
                m_out += "&gt;";
                return;
            default:
                break;
            }
        }
        m_out += c;
    }

    void appendUpper(std::string_view name)
    {
        for (const char c : name)
            m_out += c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    }

    void lineBreak()
    {
        m_out += "\r\n";
        m_atLineStart = true;
        m_pendingBlanks = 0;
    }

    void ensureLineStart()
    {
        if (!m_atLineStart)
            lineBreak();
    }

    std::string m_out;
    std::size_t m_limit;
    bool m_atLineStart = true;
    // Inside rows: nothing but tags written since the last table or cell tag.
    bool m_atCellEdge = false;
    // Blanks waiting to see what follows them, each written as one blank.
    std::size_t m_pendingBlanks = 0;
    int m_rowDepth = 0;
};

} // namespace

std::optional<std::string> serializeHtml(std::string_view html, const ParseLimits &limits)
{
    ParseArena arena(limits);
    const GumboNode *document = arena.parse(html);
    if (!document)
        return std::nullopt;
    // The text shares the memory with the tree it is written from, and may take no more than a
    // third of it, so that the caller's UTF-16 copy of it still fits.
    const std::size_t left =
        limits.memory > arena.allocated() ? limits.memory - arena.allocated() : 0;
    Writer writer(html.size(), std::min(left, limits.memory / 3));
    if (!writer.write(document))
        return std::nullopt;
    return writer.take();
}

} // namespace zonara

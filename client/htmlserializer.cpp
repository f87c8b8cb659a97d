#include "htmlserializer.h"

#include <gumbo.h>

#include <vector>

namespace zonara {

namespace {

// Owns one parse: gumbo's tree points into the input, so the input outlives it.
class ParsedHtml final
{
public:
    explicit ParsedHtml(std::string_view html)
        : m_options(makeOptions())
        , m_output(gumbo_parse_with_options(&m_options, html.data(), html.size()))
    {}
    ~ParsedHtml() { gumbo_destroy_output(&m_options, m_output); }
    ParsedHtml(const ParsedHtml &) = delete;
    ParsedHtml &operator=(const ParsedHtml &) = delete;

    const GumboNode *document() const { return m_output->document; }

private:
    static GumboOptions makeOptions()
    {
        GumboOptions options = kGumboDefaultOptions;
        // Parse errors are of no use here; recording them only costs memory on broken pages.
        options.max_errors = 0;
        return options;
    }

    GumboOptions m_options;
    GumboOutput *m_output;
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
    explicit Writer(std::size_t expectedSize) { m_out.reserve(expectedSize + expectedSize / 8); }

    std::string take() { return std::move(m_out); }

    void write(const GumboNode *document)
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
        if (element.tag == GUMBO_TAG_TR && m_rowDepth++ == 0)
            ensureLineStart();
        if (standsOnOwnLine(element.tag))
            ensureLineStart();
        m_out += '<';
        writeTagName(element);
        for (unsigned i = 0; i < element.attributes.length; ++i)
            writeAttribute(*static_cast<const GumboAttribute *>(element.attributes.data[i]));
        m_out += '>';
        m_atLineStart = false;
        if (standsOnOwnLine(element.tag))
            lineBreak();
    }

    void endElement(const GumboNode *node)
    {
        const GumboElement &element = node->v.element;
        if (!isVoid(element.tag)) {
            if (standsOnOwnLine(element.tag))
                ensureLineStart();
            m_out += "</";
            writeTagName(element);
            m_out += '>';
            m_atLineStart = false;
            if (standsOnOwnLine(element.tag))
                lineBreak();
        }
        if (element.tag == GUMBO_TAG_TR && --m_rowDepth == 0)
            lineBreak();
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
            m_out += "<!--";
            writeLines(text, false);
            m_out += "-->";
            m_atLineStart = false;
            return;
        case GUMBO_NODE_WHITESPACE:
            if (m_rowDepth > 0 || isTableStructure(parentTag))
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

    // Text inside a table row: white space folded to one blank, none next to a tag.
    void writeFolded(std::string_view text, bool escape)
    {
        bool pendingBlank = false;
        bool wroteAny = false;
        for (const char c : text) {
            if (isBlank(c)) {
                pendingBlank = wroteAny;
                continue;
            }
            if (pendingBlank)
                m_out += ' ';
            pendingBlank = false;
            appendEscaped(c, escape);
            wroteAny = true;
        }
        if (wroteAny)
            m_atLineStart = false;
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
    }

    void ensureLineStart()
    {
        if (!m_atLineStart)
            lineBreak();
    }

    std::string m_out;
    bool m_atLineStart = true;
    int m_rowDepth = 0;
};

} // namespace

std::string serializeHtml(std::string_view html)
{
    const ParsedHtml parsed(html);
    Writer writer(html.size());
    writer.write(parsed.document());
    return writer.take();
}

} // namespace zonara

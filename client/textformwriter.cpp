#include "textformwriter.h"

#include "textformtags.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace zonara {

namespace {

using namespace textform;

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
                writeAttribute(*attribute(i), true);
            return;
        }
        // An INPUT's values are always quoted: the host row's id is, whatever its sign.
        static constexpr std::array<const char *, 3> Leading = {"type", "name", "value"};
        for (const char *name : Leading) {
            if (const GumboAttribute *leading = gumbo_get_attribute(&attributes, name))
                writeAttribute(*leading, false);
        }
        for (unsigned i = 0; i < attributes.length; ++i) {
            const std::string_view name(attribute(i)->name);
            if (std::find(Leading.begin(), Leading.end(), name) == Leading.end())
                writeAttribute(*attribute(i), false);
        }
    }

    // A signed whole number is written bare where `bareSignedNumbers`, as the detail row's
    // SIZE=-1 stands.
    void writeAttribute(const GumboAttribute &attribute, bool bareSignedNumbers)
    {
        m_out += ' ';
        appendUpper(attribute.name);
        if (hasNoValue(attribute))
            return;
        m_out += '=';
        const std::string_view value(attribute.value);
        if (bareSignedNumbers && isSignedWholeNumber(value)) {
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

std::optional<std::string> writeTextForm(const GumboNode *document, std::size_t expectedSize,
                                         std::size_t limit)
{
    Writer writer(expectedSize, limit);
    if (!writer.write(document))
        return std::nullopt;
    return writer.take();
}

} // namespace zonara

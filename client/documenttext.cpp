#include "documenttext.h"

#include "htmlserializer.h"
#include "memorypolicy.h"

#include <QList>
#include <QStringDecoder>
#include <QUtf8StringView>

#include <array>
#include <cctype>

namespace zonara {

namespace {

// Windows-1252's characters 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = code >= 0x80 && code < 0xA0 ? QChar(Windows1252High[code - 0x80]) : QChar(code);
    }
    return text;
}

QByteArray charsetParameter(const QByteArray &header)
{
    const qsizetype at = header.toLower().indexOf("charset=");
    if (at < 0)
        return {};
    QByteArray value = header.mid(at + 8);
    const qsizetype end = value.indexOf(';');
    if (end >= 0)
        value.truncate(end);
    value = value.trimmed();
    if (value.startsWith('"') || value.startsWith('\''))
        value = value.mid(1, value.size() - 2);
    return value.trimmed().toLower();
}

bool isUtf16(const QByteArray &charset)
{
    return charset == "utf-16" || charset == "utf-16le" || charset == "utf-16be";
}

// The charset a page declares in its first kilobyte: <meta charset=...> or http-equiv's content.
// A page that can say so in ASCII is no UTF-16 page: browsers read a UTF-16 declaration there as
// UTF-8, and so do we.
QByteArray declaredInMarkup(const QByteArray &body)
{
    const QByteArray head = body.left(1024).toLower();
    qsizetype at = head.indexOf("charset=");
    if (at < 0)
        return {};
    at += 8;
    while (at < head.size() && (head[at] == '"' || head[at] == '\'' || head[at] == ' '))
        ++at;
    qsizetype end = at;
    while (end < head.size() && (std::isalnum(static_cast<unsigned char>(head[end])) ||
                                 head[end] == '-' || head[end] == '_'))
        ++end;
    const QByteArray charset = head.mid(at, end - at);
    return isUtf16(charset) ? QByteArray("utf-8") : charset;
}

// The encoding a byte order mark names; it wins over every declaration, as in browsers.
QByteArray byteOrderMark(const QByteArray &body)
{
    if (body.startsWith("\xEF\xBB\xBF"))
        return "utf-8";
    if (body.startsWith("\xFF\xFE"))
        return "utf-16le";
    if (body.startsWith("\xFE\xFF"))
        return "utf-16be";
    return {};
}

bool isWindows1252Family(const QByteArray &charset)
{
    return charset == "windows-1252" || charset == "cp1252" || charset == "iso-8859-1" ||
           charset == "latin1" || charset == "us-ascii" || charset == "ascii";
}

// Whether decoding `body` would give back its own bytes as UTF-8: a UTF-8 or ASCII page that
// declares no other charset and has no byte order mark.
bool decodesAsItself(const QByteArray &body, const QByteArray &contentType)
{
    QByteArray charset = charsetParameter(contentType);
    if (charset.isEmpty())
        charset = declaredInMarkup(body);
    if (!charset.isEmpty() && charset != "utf-8" && charset != "utf8")
        return false;
    return byteOrderMark(body).isEmpty() && QUtf8StringView(body).isValidUtf8();
}

// The parser reads UTF-8: a body that already is valid UTF-8 goes in as it stands; the decoded
// copies of any other count towards the memory of the read.
std::optional<QString> readHtml(const QByteArray &body, const QByteArray &contentType,
                                ParseLimits limits)
{
    QByteArray utf8 = body;
    if (!decodesAsItself(body, contentType)) {
        const QString decoded = decodeBody(body, contentType);
        const auto held = std::size_t(decoded.size()) * sizeof(QChar);
        if (held > limits.memory)
            return std::nullopt;
        utf8 = decoded.toUtf8();
        if (held + std::size_t(utf8.size()) > limits.memory)
            return std::nullopt;
        limits.memory -= std::size_t(utf8.size());
    }
    const std::optional<std::string> text =
        serializeHtml(std::string_view(utf8.constData(), utf8.size()), limits);
    if (!text)
        return std::nullopt;
    return QString::fromStdString(*text);
}

} // namespace

bool isHtmlContentType(const QByteArray &contentType)
{
    const QByteArray type = contentType.split(';').constFirst().trimmed().toLower();
    return type.isEmpty() || type == "text/html" || type == "application/xhtml+xml";
}

QString decodeBody(const QByteArray &body, const QByteArray &contentType)
{
    QByteArray charset = byteOrderMark(body);
    if (charset.isEmpty())
        charset = charsetParameter(contentType);
    if (charset.isEmpty() && isHtmlContentType(contentType))
        charset = declaredInMarkup(body);

    // Browsers read these labels as Windows-1252, and so do we.
    if (isWindows1252Family(charset))
        return fromWindows1252(body);
    if (charset == "utf-8" || charset == "utf8") {
        QByteArrayView text(body);
        if (text.startsWith("\xEF\xBB\xBF"))
            text = text.sliced(3);
        return QString::fromUtf8(text);
    }
    if (!charset.isEmpty()) {
        QStringDecoder declared(charset.constData());
        if (declared.isValid())
            return declared.decode(body);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(body);
}

QString withCrLfLineEnds(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            out += QLatin1StringView("\r\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += QLatin1StringView("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<QString> documentText(const QByteArray &body, const QByteArray &contentType,
                                    const ParseLimits &limits)
{
    if (!isHtmlContentType(contentType))
        return withCrLfLineEnds(decodeBody(body, contentType));
    std::optional<QString> text = readHtml(body, contentType, limits);
    // The read's working copies are freed by now.
    giveBackFreedMemory();
    return text;
}

} // namespace zonara

#include "httpanswer.h"

#include <QCoreApplication>

#include <algorithm>
#include <cctype>
#include <utility>

namespace zonara {

namespace {

QByteArray withoutCr(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

bool isDecimal(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

bool isHex(QByteArrayView text)
{
    return !text.isEmpty() && text.size() <= 15 &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

QString tr(const char *text)
{
    return QCoreApplication::translate("HttpAnswerReader", text);
}

} // namespace

QByteArray HttpAnswerReader::header(QByteArrayView name, QByteArrayView separator) const
{
    QByteArray values;
    bool first = true;
    for (const auto &[fieldName, value] : m_headers) {
        if (fieldName.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!first)
            values += separator;
        values += value;
        first = false;
    }
    return values;
}

QByteArray HttpAnswerReader::take(QByteArrayView bytes)
{
    QByteArray body;
    if (m_state == State::Complete || m_state == State::Failed)
        return body;
    m_pending += bytes;
    while (m_state == State::Head) {
        if (!readHead())
            return body;
    }
    if (m_state != State::Body)
        return body;
    switch (m_framing) {
    case Framing::UntilClose:
        body = std::exchange(m_pending, {});
        break;
    case Framing::Length:
        // Bytes past the announced length belong to no answer and are dropped.
        body = m_pending.left(qsizetype(std::min<qint64>(m_remaining, m_pending.size())));
        m_pending.clear();
        m_remaining -= body.size();
        if (m_remaining == 0)
            m_state = State::Complete;
        break;
    case Framing::Chunked:
        readChunks(body);
        break;
    }
    return body;
}

void HttpAnswerReader::end()
{
    if (m_state == State::Body && m_framing == Framing::UntilClose)
        m_state = State::Complete;
    else if (m_state == State::Head || m_state == State::Body)
        fail(tr("Connection closed"));
}

void HttpAnswerReader::fail(const QString &reason)
{
    m_state = State::Failed;
    m_failure = reason;
    m_pending.clear();
}

bool HttpAnswerReader::readHead()
{
    // Empty lines before the status line are skipped, and a bare LF ends a line as CR LF does.
    const qsizetype start = std::find_if(m_pending.cbegin(), m_pending.cend(),
                                         [](char c) { return c != '\r' && c != '\n'; }) -
                            m_pending.cbegin();
    const qsizetype lfLf = m_pending.indexOf("\n\n", start);
    const qsizetype lfCrLf = m_pending.indexOf("\n\r\n", start);
    qsizetype headEnd = -1;
    qsizetype next = -1;
    if (lfLf >= 0 && (lfCrLf < 0 || lfLf < lfCrLf)) {
        headEnd = lfLf + 1;
        next = lfLf + 2;
    } else if (lfCrLf >= 0) {
        headEnd = lfCrLf + 1;
        next = lfCrLf + 3;
    }
    if ((headEnd < 0 ? m_pending.size() : headEnd) - start > LongestHead) {
        fail(tr("The answer's header is too long"));
        return false;
    }
    if (headEnd < 0) {
        m_pending.remove(0, start);
        return false;
    }
    const QByteArray head = m_pending.sliced(start, headEnd - start);
    m_pending.remove(0, next);
    if (!parseHead(head))
        return false;
    if (m_status < 200) {
        // "100 Continue" and the like: the answer proper follows.
        m_status = 0;
        m_headers.clear();
        return true;
    }
    startBody();
    return true;
}

bool HttpAnswerReader::parseHead(QByteArrayView head)
{
    const QList<QByteArray> lines = head.toByteArray().split('\n');
    const QByteArray statusLine = withoutCr(lines.front());
    // "HTTP/1.1 200 OK": a version, a blank, three digits, then a blank and the reason, if any.
    const QByteArray code = statusLine.mid(9, 3);
    if (!statusLine.startsWith("HTTP/1.") || statusLine.size() < 12 || statusLine[8] != ' ' ||
        !isDecimal(code) || (statusLine.size() > 12 && statusLine[12] != ' ')) {
        fail(tr("The server's answer is not HTTP"));
        return false;
    }
    m_status = code.toInt();
    m_reason = statusLine.mid(13).trimmed();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = withoutCr(lines[i]);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !m_headers.isEmpty()) {
            // A folded line continues the field before it.
            m_headers.last().second += ' ' + line.trimmed();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        // Lines that are no field are passed over, as browsers do.
        if (colon <= 0)
            continue;
        if (m_headers.size() == MostFields) {
            fail(tr("The server's answer has too many header fields"));
            return false;
        }
        m_headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return true;
}

void HttpAnswerReader::startBody()
{
    m_state = State::Body;
    m_framing = Framing::UntilClose;
    if (m_status == 204 || m_status == 304) {
        m_state = State::Complete;
        return;
    }
    const QByteArray coding = header("Transfer-Encoding").trimmed().toLower();
    if (!coding.isEmpty()) {
        // Any other transfer coding runs to the end of the connection.
        if (coding.endsWith("chunked")) {
            m_framing = Framing::Chunked;
            m_chunkPart = ChunkPart::Size;
        }
        return;
    }
    const QByteArray lengths = header("Content-Length");
    if (lengths.isEmpty())
        return;
    // Repeated fields must agree ("Content-Length: 5, 5").
    const QList<QByteArray> values = lengths.split(',');
    const QByteArray length = values.front().trimmed();
    bool valid = isDecimal(length) && length.size() <= 18;
    for (const QByteArray &value : values)
        valid = valid && value.trimmed() == length;
    if (!valid) {
        fail(tr("The server's answer has an invalid length"));
        return;
    }
    m_framing = Framing::Length;
    m_remaining = length.toLongLong();
    if (m_remaining == 0)
        m_state = State::Complete;
}

void HttpAnswerReader::readChunks(QByteArray &body)
{
    qsizetype at = 0;
    while (m_state == State::Body) {
        if (m_chunkPart == ChunkPart::Data) {
            const qsizetype count = qsizetype(std::min<qint64>(m_remaining, m_pending.size() - at));
            if (count == 0)
                break;
            body += QByteArrayView(m_pending).sliced(at, count);
            at += count;
            m_remaining -= count;
            if (m_remaining == 0)
                m_chunkPart = ChunkPart::DataEnd;
            continue;
        }
        const qsizetype lf = m_pending.indexOf('\n', at);
        if ((lf < 0 ? m_pending.size() : lf) - at > LongestChunkLine) {
            fail(tr("The server's answer has an invalid chunk"));
            return;
        }
        if (lf < 0)
            break;
        const QByteArray line = withoutCr(m_pending.sliced(at, lf - at));
        at = lf + 1;
        if (m_chunkPart == ChunkPart::Size) {
            // "1a;name=value": the size in hex, extensions ignored.
            const qsizetype extension = line.indexOf(';');
            const QByteArray size = (extension < 0 ? line : line.left(extension)).trimmed();
            if (!isHex(size)) {
                fail(tr("The server's answer has an invalid chunk"));
                return;
            }
            m_remaining = size.toLongLong(nullptr, 16);
            m_chunkPart = m_remaining == 0 ? ChunkPart::Trailer : ChunkPart::Data;
        } else if (m_chunkPart == ChunkPart::DataEnd) {
            if (!line.isEmpty()) {
                fail(tr("The server's answer has an invalid chunk"));
                return;
            }
            m_chunkPart = ChunkPart::Size;
        } else if (line.isEmpty()) {
            // The empty line after the trailer fields ends the answer.
            m_state = State::Complete;
        }
    }
    m_pending.remove(0, at);
    if (m_state == State::Complete)
        m_pending.clear();
}

} // namespace zonara

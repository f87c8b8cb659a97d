#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>

namespace zonara {

// Reads one HTTP/1.x answer as its bytes arrive: the status line and header fields, then a body
// framed by chunks, a Content-Length or the end of the connection. Interim answers (1xx) are
// skipped. Widget-free and socket-free: a connection feeds it with take() and end().
class HttpAnswerReader final
{
public:
    enum class State { Head, Body, Complete, Failed };

    // Past this the head is taken for hostile: real answers' heads are a few hundred bytes.
    static constexpr qsizetype LongestHead = 64 * 1024;
    // Past this many header fields likewise; each costs its reader a look through the others.
    static constexpr qsizetype MostFields = 100;
    // A chunk's size line, extensions included.
    static constexpr qsizetype LongestChunkLine = 1024;

    // Takes the next bytes of the connection; returns the body bytes they complete.
    QByteArray take(QByteArrayView bytes);
    // The connection ended. The answer is complete if its body ran to the end of the connection;
    // anything else still open fails.
    void end();

    State state() const { return m_state; }
    // The head is read (state Body or Complete).
    bool hasHead() const { return m_status > 0; }
    int status() const { return m_status; }
    QByteArray reasonPhrase() const { return m_reason; }
    // Header fields in their order, names as sent.
    QList<QPair<QByteArray, QByteArray>> headers() const { return m_headers; }
    // The values of every field named `name` (any letter case), joined by `separator`.
    QByteArray header(QByteArrayView name, QByteArrayView separator = ", ") const;
    // Why the answer failed, for people.
    QString failure() const { return m_failure; }

private:
    enum class Framing { UntilClose, Length, Chunked };
    enum class ChunkPart { Size, Data, DataEnd, Trailer };

    void fail(const QString &reason);
    // Reads the head from m_pending; false until it is all there.
    bool readHead();
    bool parseHead(QByteArrayView head);
    void startBody();
    // Moves what m_pending completes of a chunked body to `body`.
    void readChunks(QByteArray &body);

    State m_state = State::Head;
    QByteArray m_pending;
    int m_status = 0;
    QByteArray m_reason;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    QString m_failure;
    Framing m_framing = Framing::UntilClose;
    ChunkPart m_chunkPart = ChunkPart::Size;
    qint64 m_remaining = 0;
};

} // namespace zonara

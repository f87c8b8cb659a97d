#include "httpanswer.h"

#include <QTest>

using namespace zonara;
using State = HttpAnswerReader::State;

Q_DECLARE_METATYPE(HttpAnswerReader::State)

class TestHttpAnswer final : public QObject
{
    Q_OBJECT

private slots:
    void readsAnswer_data();
    void readsAnswer();
};

void TestHttpAnswer::readsAnswer_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<State>("state"); // after the connection ended
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("length; bytes past it are dropped")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcdef") << State::Complete
        << 200 << QByteArray("abc");
    QTest::newRow("closed before the length")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc") << State::Failed << 200
        << QByteArray("abc");
    QTest::newRow("chunks with extension and trailer")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                      "3;x=y\r\nabc\r\nA\r\n0123456789\r\n0\r\nT: v\r\n\r\nafter")
        << State::Complete << 200 << QByteArray("abc0123456789");
    QTest::newRow("chunks cut off")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab")
        << State::Failed << 200 << QByteArray("ab");
    QTest::newRow("chunk size not hex")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n")
        << State::Failed << 200 << QByteArray();
    QTest::newRow("until close, interim answer and bare LFs first")
        << QByteArray("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.0 404 Not Found\nX: 1\n\nbody")
        << State::Complete << 404 << QByteArray("body");
    QTest::newRow("closed without an answer") << QByteArray() << State::Failed << 0 << QByteArray();
    QTest::newRow("closed mid-head")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-") << State::Failed << 0 << QByteArray();
    QTest::newRow("not HTTP") << QByteArray("SSH-2.0-x\r\n\r\n") << State::Failed << 0
                              << QByteArray();
    QTest::newRow("disagreeing lengths")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd")
        << State::Failed << 200 << QByteArray();
    QTest::newRow("head without end beyond its bound")
        << "HTTP/1.1 200 OK\r\nX: " + QByteArray(HttpAnswerReader::LongestHead, 'x')
        << State::Failed << 0 << QByteArray();
}

void TestHttpAnswer::readsAnswer()
{
    QFETCH(QByteArray, bytes);
    QFETCH(State, state);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    // Whole, and a byte at a time: a boundary anywhere in the answer reads the same.
    for (const qsizetype piece : {bytes.size() + 1, qsizetype(1)}) {
        HttpAnswerReader reader;
        QByteArray read;
        for (qsizetype at = 0; at < bytes.size(); at += piece)
            read +=
                reader.take(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
        reader.end();
        QCOMPARE(reader.state(), state);
        QCOMPARE(reader.status(), status);
        QCOMPARE(read, body);
    }
}

QTEST_APPLESS_MAIN(TestHttpAnswer)
#include "tst_httpanswer.moc"

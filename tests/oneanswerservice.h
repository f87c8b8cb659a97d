#pragma once

#include <QTcpServer>
#include <QTcpSocket>

// A service on loopback that reads each request, writes `answer` (none by default) and closes
// the connection, counting the requests that arrived: for connections that end early.
class OneAnswerService final : public QTcpServer
{
public:
    explicit OneAnswerService(QByteArray answer = {})
        : m_answer(std::move(answer))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *connection = nextPendingConnection();
            connect(connection, &QTcpSocket::readyRead, connection, [this, connection] {
                m_requests += int(connection->readAll().count("GET "));
                connection->write(m_answer);
                connection->disconnectFromHost();
            });
        });
        listen(QHostAddress::LocalHost);
    }

    int requests() const { return m_requests; }

private:
    QByteArray m_answer;
    int m_requests = 0;
};

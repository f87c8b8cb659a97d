#include "swayfocus.h"

#include "waylandwindows.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QWidget>
#include <QWindow>

#include <cstring>

namespace zonara {

namespace {

// sway's IPC: "i3-ipc", the payload's length and the message type, in the machine's byte order.
constexpr QByteArrayView Magic = "i3-ipc";
constexpr qsizetype HeaderSize = 14;
enum MessageType : quint32 { RunCommand = 0, GetTree = 4 };

QByteArray message(MessageType type, const QByteArray &payload)
{
    QByteArray bytes = Magic.toByteArray();
    const quint32 fields[] = {quint32(payload.size()), type};
    bytes.append(reinterpret_cast<const char *>(fields), sizeof fields);
    return bytes + payload;
}

// The id of the container of this process's window titled `title`, or -1.
qint64 containerOf(const QJsonObject &node, qint64 pid, const QString &title)
{
    if (node.value(QLatin1StringView("pid")).toInteger(-1) == pid &&
        node.value(QLatin1StringView("name")).toString() == title)
        return node.value(QLatin1StringView("id")).toInteger(-1);
    for (const char *children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1StringView(children)).toArray()) {
            const qint64 id = containerOf(child.toObject(), pid, title);
            if (id >= 0)
                return id;
        }
    }
    return -1;
}

// Asks for sway's tree, finds the window titled `title` and has sway focus it; then goes.
class FocusRequest final : public QLocalSocket
{
public:
    explicit FocusRequest(const QString &title)
        : QLocalSocket(qApp)
        , m_title(title)
    {
        connect(this, &QLocalSocket::connected, this, [this] { write(message(GetTree, {})); });
        connect(this, &QLocalSocket::readyRead, this, &FocusRequest::onReply);
        connect(this, &QLocalSocket::disconnected, this, &QObject::deleteLater);
        connect(this, &QLocalSocket::errorOccurred, this, &QObject::deleteLater);
        connectToServer(qEnvironmentVariable("SWAYSOCK"));
    }

private:
    void onReply()
    {
        m_reply += readAll();
        quint32 length = 0;
        if (m_reply.size() < HeaderSize)
            return;
        std::memcpy(&length, m_reply.constData() + Magic.size(), sizeof length);
        if (m_reply.size() < HeaderSize + qsizetype(length))
            return;
        const QByteArray payload = m_reply.mid(HeaderSize, length);
        m_reply.clear();
        if (m_treeRead) { // the command's answer: done
            disconnectFromServer();
            return;
        }
        m_treeRead = true;
        const qint64 id = containerOf(QJsonDocument::fromJson(payload).object(),
                                      QCoreApplication::applicationPid(), m_title);
        if (id < 0)
            disconnectFromServer();
        else
            write(message(RunCommand, QByteArray("[con_id=") + QByteArray::number(id) + "] focus"));
    }

    QString m_title;
    QByteArray m_reply;
    bool m_treeRead = false;
};

} // namespace

void keepKeyboardWithModalWindowOnSway()
{
    if (!onWayland() || qEnvironmentVariableIsEmpty("SWAYSOCK"))
        return;
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp, [](QWindow *focused) {
        const QWidget *modal = QApplication::activeModalWidget();
        if (focused && modal && modal->isVisible() && focused != modal->windowHandle())
            new FocusRequest(modal->windowTitle());
    });
}

} // namespace zonara

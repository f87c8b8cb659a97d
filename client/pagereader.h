#pragma once

#include "htmlserializer.h"

#include <QByteArray>
#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace zonara {

// Turns a transferred page into the program's text form (documentText()) on a thread of its
// own, so that neither a page's size nor its markup ever holds the window's thread. One read at
// a time: a new read or cancel() abandons the one running, which stops soon after and is never
// reported.
class PageReader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageReader)

public:
    // Runs `read` on a thread of its own; false when no thread could be started, as under a
    // tight address-space or thread limit.
    using ThreadStarter = std::function<bool(std::function<void()> read)>;

    explicit PageReader(QObject *parent = nullptr);
    ~PageReader() override;

    // Starts reading; false, with nothing to follow, when no thread could be started, or no
    // memory found for the read.
    bool start(const QByteArray &body, const QByteArray &contentType, ParseLimits limits);
    void cancel();
    bool isReading() const { return m_watcher != nullptr; }

    // How reads are started; an empty starter restores startThread().
    void setThreadStarter(ThreadStarter starter) { m_startThread = std::move(starter); }
    static bool startThread(std::function<void()> read);
    // Reads running on worker threads, of all readers, abandoned ones included.
    static int readsRunning();

signals:
    void read(const QString &document);
    // The page ran past the read's limits of time or memory.
    void failed();

private:
    bool startReading(const QByteArray &body, const QByteArray &contentType, ParseLimits limits);

    QFutureWatcher<std::optional<QString>> *m_watcher = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    ThreadStarter m_startThread;
};

} // namespace zonara

#include "pagereader.h"

#include "documenttext.h"

#include <QPromise>

#include <new>
#include <system_error>
#include <thread>

namespace zonara {

namespace {

std::atomic<int> runningReads{0};

} // namespace

PageReader::PageReader(QObject *parent)
    : QObject(parent)
{}

PageReader::~PageReader()
{
    cancel();
}

int PageReader::readsRunning()
{
    return runningReads.load();
}

bool PageReader::startThread(std::function<void()> read)
{
    // A thread of its own for every read, so that a new read never waits behind reads whose
    // loads were abandoned: those stop by themselves once their cancel flag is set. Unlike a
    // thread pool's, the standard thread says when it could not be started.
    try {
        std::thread(std::move(read)).detach();
        return true;
    } catch (const std::system_error &) {
        return false;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

void PageReader::cancel()
{
    if (m_cancelled) {
        m_cancelled->store(true);
        m_cancelled.reset();
    }
    if (m_watcher) {
        // The worker finishes on its own; its result is dropped with the watcher.
        m_watcher->disconnect(this);
        m_watcher->deleteLater();
        m_watcher = nullptr;
    }
}

bool PageReader::start(const QByteArray &body, const QByteArray &contentType, ParseLimits limits)
{
    cancel();
    try {
        return startReading(body, contentType, std::move(limits));
    } catch (const std::bad_alloc &) {
        m_cancelled.reset();
        return false;
    }
}

bool PageReader::startReading(const QByteArray &body, const QByteArray &contentType,
                              ParseLimits limits)
{
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    limits.cancelled = cancelled;
    auto promise = std::make_shared<QPromise<std::optional<QString>>>();
    QFuture<std::optional<QString>> future = promise->future();
    const auto job = [promise, body, contentType, limits] {
        ++runningReads;
        promise->start();
        try {
            promise->addResult(documentText(body, contentType, limits));
        } catch (const std::bad_alloc &) {
            // Out of memory ends this read like any other limit, never the program.
            promise->addResult(std::nullopt);
        }
        promise->finish();
        --runningReads;
    };
    if (!(m_startThread ? m_startThread(job) : startThread(job)))
        return false;
    m_cancelled = std::move(cancelled);
    auto *watcher = new QFutureWatcher<std::optional<QString>>(this);
    m_watcher = watcher;
    connect(watcher, &QFutureWatcher<std::optional<QString>>::finished, this, [this, watcher] {
        // Once, for the read in hand: a modal window opened on the page may bring it again.
        watcher->disconnect(this);
        if (watcher != m_watcher)
            return;
        std::optional<QString> document = watcher->future().takeResult();
        watcher->deleteLater();
        m_watcher = nullptr;
        m_cancelled.reset();
        if (document)
            emit read(*document);
        else
            emit failed();
    });
    // A read that has already finished is reported all the same.
    watcher->setFuture(future);
    return true;
}

} // namespace zonara

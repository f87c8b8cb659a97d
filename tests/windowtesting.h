#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>

// Runs `action` once on the modal window of type T as soon as one is up: for driving windows
// that a click opens with exec(). The watch ends with its scope, so an action never outlives
// the test whose locals it uses.
template <typename T> class ModalWatch final
{
public:
    explicit ModalWatch(std::function<void(T &)> action, int timeoutMs = 10'000)
        : m_timer(std::make_unique<QTimer>())
    {
        m_timer->setInterval(10);
        QObject::connect(
            m_timer.get(), &QTimer::timeout,
            [timer = m_timer.get(), action = std::move(action), timeoutMs, waited = 0]() mutable {
                waited += 10;
                if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget())) {
                    timer->stop();
                    action(*window);
                } else if (waited > timeoutMs) {
                    timer->stop();
                }
            });
        m_timer->start();
    }

private:
    std::unique_ptr<QTimer> m_timer;
};

template <typename T = QWidget> T *child(QObject &window, const char *name)
{
    return window.findChild<T *>(QLatin1StringView(name));
}

// Measures the longest time the event loop went without turning while it lives: how long the
// window stood frozen.
class FreezeWatch final
{
public:
    FreezeWatch()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.elapsed();
            m_longestGap = std::max(m_longestGap, now - m_last);
            m_last = now;
            ++m_turns;
        });
        m_clock.start();
        m_timer.start();
    }
    qint64 longestGap() const { return m_longestGap; }
    int turns() const { return m_turns; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longestGap = 0;
    int m_turns = 0;
};

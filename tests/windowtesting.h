#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `action` on the modal window of type T as soon as it is up, then returns. For driving
// dialogs that a click opens with exec().
template <typename T> void whenModalOpens(std::function<void(T &)> action, int timeoutMs = 10'000)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, waited, timeoutMs] {
        *waited += 10;
        if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(*window);
        } else if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

template <typename T = QWidget> T *child(QObject &window, const char *name)
{
    return window.findChild<T *>(QLatin1StringView(name));
}

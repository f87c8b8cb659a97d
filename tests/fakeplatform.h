#pragma once

#include "platform.h"

#include <QQueue>
#include <QStringList>

#include <functional>

// Plays the desktop for window tests: records what the program asks and answers as scripted.
class FakePlatform final : public zonara::Platform
{
public:
    void shellOpen(const QString &target) override { opened << target; }
    bool askYesNo(const QString &title, const QString &text) override
    {
        questions << title + u'|' + text;
        if (whileAsking)
            whileAsking();
        return answers.isEmpty() ? false : answers.dequeue();
    }
    QString localIpAddress() override { return localIp; }

    QStringList opened;
    QStringList questions;
    QQueue<bool> answers;
    std::function<void()> whileAsking; // runs while a question is up, to see the windows then
    QString localIp = QStringLiteral("192.0.2.200");
};

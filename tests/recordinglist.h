#pragma once

#include "hostlistparser.h"

#include <QStringList>

// The hosts listed so far, recorded as "id=name".
struct RecordingList
{
    void append(const QList<zonara::ListedHost> &hosts)
    {
        for (const zonara::ListedHost &host : hosts)
            entries << QString::number(host.id) + u'=' + host.name;
    }

    QStringList entries;
};

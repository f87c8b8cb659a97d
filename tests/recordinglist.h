#pragma once

#include "hostlistparser.h"

#include <QStringList>

// A host list that records its entries as "id=name".
class RecordingList final : public zonara::HostListView
{
public:
    void clearHosts() override { entries.clear(); }
    void appendHost(const QString &idText, const QString &name) override
    {
        entries << idText + u'=' + name;
    }

    QStringList entries;
};

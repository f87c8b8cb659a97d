#pragma once

#include "hostlistparser.h"
#include "hostrecords.h"
#include "requests.h"

#include <QObject>
#include <QString>

#include <functional>

namespace zonara {

class PageLoader;

// Fetches an account's host list: the dynamic listing, then the static listing, both through
// the same page loader, appending each page's hosts to the host list.
class Retrieval final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Retrieval)

public:
    // The credentials as they stand when a request is built.
    using CredentialsSource = std::function<Credentials()>;

    enum class Phase { Static = 0, Dynamic = 1 };

    Retrieval(PageLoader &loader, HostListView &hosts, QString memberHost,
              CredentialsSource credentials, QObject *parent = nullptr);

    // Empties the host list and requests the dynamic listing; returns at once.
    void start();

    Phase phase() const { return m_phase; }
    const HostRecordTable &records() const { return m_records; }
    const HostListParserState &parserState() const { return m_parserState; }

signals:
    // A listing page has been read; `kind` tells which.
    void listingRead(zonara::HostKind kind);

private:
    void onDocumentComplete();

    PageLoader &m_loader;
    HostListView &m_hosts;
    QString m_memberHost;
    CredentialsSource m_credentials;
    Phase m_phase = Phase::Static;
    HostRecordTable m_records;
    HostListParserState m_parserState;
};

} // namespace zonara

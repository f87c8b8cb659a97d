#include "retrieval.h"

#include "pageloader.h"

namespace zonara {

Retrieval::Retrieval(PageLoader &loader, QString memberHost, CredentialsSource credentials,
                     QObject *parent)
    : QObject(parent)
    , m_loader(loader)
    , m_memberHost(std::move(memberHost))
    , m_credentials(std::move(credentials))
{
    connect(&m_loader, &PageLoader::documentComplete, this, &Retrieval::onDocumentComplete);
}

void Retrieval::start()
{
    m_phase = Phase::Dynamic;
    // The host list is empty now, so only a host row still awaiting its details reaches a slot.
    m_records.releaseAllBut(m_parserState.hostPending() ? m_parserState.currentHostId : -1);
    m_loader.load(MemberRequests(m_memberHost, m_credentials()).dynamicListing());
}

void Retrieval::onDocumentComplete(const QString &document)
{
    const HostKind kind = m_phase == Phase::Dynamic ? HostKind::Dynamic : HostKind::Static;
    const QList<ListedHost> hosts = parseListingPage(document, kind, m_parserState, m_records);
    if (m_phase == Phase::Dynamic) {
        m_loader.load(MemberRequests(m_memberHost, m_credentials()).staticListing());
        m_phase = Phase::Static;
    }
    emit listingRead(kind, hosts);
}

} // namespace zonara

#include "retrieval.h"

#include "answer.h"
#include "pageloader.h"

#include <algorithm>
#include <new>

namespace zonara {

namespace {

// The characters of a listing page read in one turn of the event loop: a few milliseconds of
// parsing and listing, so that a page near the size cap never holds the window for long.
constexpr qsizetype CharactersPerStep = 256 * 1024;

// Where the first piece of `page` worth a step ends: after the first line that ends at or
// past `step` characters, or at the end of the page. Lines are never cut, so the pieces read
// one after the other give the hosts the whole page gives.
qsizetype stepEnd(QStringView page, qsizetype step)
{
    if (page.size() <= step)
        return page.size();
    const qsizetype lineEnd = page.indexOf(u'\r', step - 1);
    return lineEnd < 0 ? page.size() : std::min(lineEnd + 2, page.size());
}

} // namespace

Retrieval::Retrieval(PageLoader &loader, RequestsSource requests, QObject *parent)
    : QObject(parent)
    , m_loader(loader)
    , m_requests(std::move(requests))
{
    connect(&m_loader, &PageLoader::documentComplete, this, &Retrieval::onDocumentComplete);
}

void Retrieval::start()
{
    // A page still being read is abandoned with the load it came from, and no host of it may wait
    // for details from the next page: that page may be another account's.
    ++m_pageNumber;
    if (!m_page.isEmpty() && m_parserState.hostPending())
        m_parserState.row = HostListParserState::Row::None;
    m_page.clear();
    m_phase = Phase::Dynamic;
    // The host list is empty now, so only a host row still awaiting its details reaches a slot.
    m_records.releaseAllBut(m_parserState.hostPending() ? m_parserState.currentHostId : -1);
    m_loader.load(m_requests().dynamicListing());
}

void Retrieval::onDocumentComplete(const QString &document, const LoadOutcome &outcome)
{
    if (outcome.failure != LoadFailure::None)
        emit listingFailed(kindAwaited(), outcome, extractAnswer(document).caption.toString());
    m_page = document;
    m_readTo = 0;
    readStep(++m_pageNumber);
}

void Retrieval::readStep(quint64 pageNumber)
{
    if (pageNumber != m_pageNumber)
        return;
    const HostKind kind = kindAwaited();
    const QStringView rest = QStringView(m_page).sliced(m_readTo);
    qsizetype piece = stepEnd(rest, CharactersPerStep);
    QList<ListedHost> hosts;
    try {
        hosts = parseListingPage(rest.first(piece), kind, m_parserState, m_records);
    } catch (const std::bad_alloc &) {
        // The rest of the page is given up, and no host of it stays pending; the retrieval goes on.
        piece = rest.size();
        m_parserState.row = HostListParserState::Row::None;
        emit listingFailed(kind, {LoadFailure::TooComplex, 0, tr("Out of memory"), false}, {});
    }
    m_readTo += piece;
    const bool lastStep = m_readTo >= m_page.size();
    if (!lastStep) {
        QMetaObject::invokeMethod(
            this, [this, pageNumber] { readStep(pageNumber); }, Qt::QueuedConnection);
    } else {
        m_page.clear();
        if (m_phase == Phase::Dynamic) {
            m_loader.load(m_requests().staticListing());
            m_phase = Phase::Static;
        }
    }
    emit listingRead(kind, hosts);
    // Unless whoever heard it has started another retrieval.
    if (lastStep && kind == HostKind::Static && pageNumber == m_pageNumber)
        emit finished();
}

} // namespace zonara

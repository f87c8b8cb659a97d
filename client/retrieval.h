#pragma once

#include "hostlistparser.h"
#include "hostrecords.h"
#include "loadoutcome.h"
#include "requests.h"

#include <QObject>
#include <QString>

#include <functional>

namespace zonara {

class PageLoader;

// Fetches an account's host list: the dynamic listing, then the static listing, both through
// the same page loader, handing each page's hosts on as it is read. A long page is read in
// steps, one turn of the event loop each, and its hosts handed on step by step.
class Retrieval final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Retrieval)

public:
    // The member requests as the credentials stand at the moment a listing is requested: the
    // window's one reading of its user name and password boxes.
    using RequestsSource = std::function<MemberRequests()>;

    enum class Phase { Static = 0, Dynamic = 1 };

    Retrieval(PageLoader &loader, RequestsSource requests, QObject *parent = nullptr);

    // Requests the dynamic listing; returns at once. The caller empties its host list first:
    // from here on, only the hosts listingRead() hands on, and a host still pending from a page
    // read to its end, keep their records. A page still being read is dropped, with its pending
    // host.
    void start();

    Phase phase() const { return m_phase; }
    // Whether parts of a page are still to be read.
    bool isReadingPage() const { return !m_page.isEmpty(); }
    const HostRecordTable &records() const { return m_records; }
    const HostListParserState &parserState() const { return m_parserState; }

signals:
    // A listing page, or the next part of a long one, has been read; `kind` tells which, `hosts`
    // are the entries it completed, in page order, to be appended to the host list.
    void listingRead(zonara::HostKind kind, const QList<zonara::ListedHost> &hosts);
    // The page that came for the listing of `kind` is no listing: an error status, the loader's
    // error page, a proxy's refusal. `pageTitle` is its title. It is read all the same.
    void listingFailed(zonara::HostKind kind, const zonara::LoadOutcome &outcome,
                       const QString &pageTitle);
    // The static listing has been read to its end: nothing more comes of this retrieval.
    void finished();

private:
    void onDocumentComplete(const QString &document, const LoadOutcome &outcome);
    HostKind kindAwaited() const
    {
        return m_phase == Phase::Dynamic ? HostKind::Dynamic : HostKind::Static;
    }
    // Reads the next part of the page, unless a later page or Retrieve has replaced it.
    void readStep(quint64 pageNumber);

    PageLoader &m_loader;
    RequestsSource m_requests;
    Phase m_phase = Phase::Static;
    HostRecordTable m_records;
    HostListParserState m_parserState;
    QString m_page; // the page being read, until its last step
    qsizetype m_readTo = 0;
    quint64 m_pageNumber = 0;
};

} // namespace zonara

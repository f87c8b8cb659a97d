#pragma once

#include <QMetaType>
#include <QString>

namespace zonara {

// What became of a load, beside the document it completed with: the readers parse the document,
// and the windows word what the user reads from this, never from the error page.
enum class LoadFailure {
    None,           // the server's own page, with a status below 400
    ErrorStatus,    // the server answered an error status (401: it refused the credentials)
    ProxyRefused,   // the proxy wants a login it was not given, or refused the one given (407)
    Unreachable,    // no connection: unknown host, refused, no trusted certificate
    NoAnswer,       // nothing arrived within the time limit
    NotLoaded,      // the connection ended without a whole answer, a redirect was refused...
    TooLarge,       // the answer outgrew the size limit
    TooComplex,     // the page could not be read within the read's time and memory
    InvalidAddress, // nothing was sent
};

struct LoadOutcome
{
    LoadFailure failure = LoadFailure::None;
    // The status of the last answer, 0 when none came.
    int status = 0;
    // Why, for people, in the loader's words (for a connection that failed, the cause alone);
    // empty for the server's own pages.
    QString reason;
    // Whether the request went out: a change that was sent may have been applied.
    bool requestSent = false;
};

} // namespace zonara

Q_DECLARE_METATYPE(zonara::LoadOutcome)

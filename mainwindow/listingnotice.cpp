#include "listingnotice.h"

#include "displaytext.h"

#include <QCoreApplication>

namespace zonara {

namespace {

// Texts from the network stand in the notice on one line each, and never crowd out its words.
constexpr qsizetype LongestQuoted = 200;

QString quoted(const QString &text)
{
    return boundedForDisplay(text.simplified(), LongestQuoted);
}

QString tr(const char *text)
{
    return QCoreApplication::translate("ListingNotice", text);
}

QString why(const LoadOutcome &outcome, const QString &pageTitle)
{
    switch (outcome.failure) {
    case LoadFailure::ErrorStatus:
        if (outcome.status == 401)
            return tr("the member service refused the user name or password.");
        return pageTitle.trimmed().isEmpty()
                   ? tr("the member service answered with error %1.").arg(outcome.status)
                   : tr("the member service answered with error %1 (%2).")
                         .arg(outcome.status)
                         .arg(quoted(pageTitle));
    case LoadFailure::ProxyRefused:
        return tr("the proxy refused to pass the request on: it wants a user name and password "
                  "that it was not given or did not accept.");
    case LoadFailure::Unreachable:
        return tr("the member service could not be reached (%1).").arg(quoted(outcome.reason));
    case LoadFailure::NoAnswer:
        return tr("no answer came within the time limit.");
    case LoadFailure::NotLoaded:
        return tr("the page could not be loaded (%1).").arg(quoted(outcome.reason));
    case LoadFailure::TooLarge:
        return tr("the page was larger than the program reads.");
    case LoadFailure::TooComplex:
        return tr("the page was too large or too complex to read.");
    case LoadFailure::InvalidAddress:
        return tr("the member service's address cannot be used.");
    case LoadFailure::None:
        break;
    }
    return {};
}

} // namespace

QString retrievingNotice()
{
    return tr("Retrieving the hosts\u2026");
}

QString listingFailureNotice(HostKind kind, const LoadOutcome &outcome, const QString &pageTitle)
{
    const QString listing = kind == HostKind::Static ? tr("Static hosts not retrieved")
                                                     : tr("Dynamic hosts not retrieved");
    return listing + QStringLiteral(": ") + why(outcome, pageTitle);
}

} // namespace zonara

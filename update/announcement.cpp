#include "announcement.h"

#include "textlines.h"
#include "textvalue.h"

#include <QUrl>

#include <array>
#include <utility>

namespace zonara {

void readAnnouncement(QStringView page, Announcement &record)
{
    const std::array<std::pair<QStringView, QString Announcement::*>, 5> keys = {{
        {u"vers=", &Announcement::version},
        {u"file=", &Announcement::downloadAddress},
        {u"brok=", &Announcement::lowestCompatible},
        {u"whyb=", &Announcement::reason},
        {u"desc=", &Announcement::description},
    }};

    forEachLine(page, [&keys, &record](QStringView line) {
        for (const auto &[key, field] : keys) {
            if (line.startsWith(key)) {
                record.*field = line.sliced(key.size()).toString();
                return;
            }
        }
    });
}

UpdateNotice updateNotice(const QString &ownVersion, const Announcement &announcement)
{
    const double own = numericValue(ownVersion);
    UpdateNotice notice;
    if (own < numericValue(announcement.version)) {
        notice.showUpdateLabel = true;
        notice.updateLabelCaption =
            QStringLiteral("Update to Zonara Manager ") + announcement.version;
    }
    if (own < numericValue(announcement.lowestCompatible)) {
        notice.askToDownload = true;
        notice.question = incompatibleQuestion(announcement.reason, announcement.version);
    }
    return notice;
}

QString incompatibleQuestion(const QString &reason, const QString &version)
{
    return QStringLiteral("This version of Zonara Manager is not compatible anymore. Reason: ") +
           reason + QStringLiteral(". Do you want to download Zonara Manager ") + version + u'?';
}

bool isWebAddress(const QString &address)
{
    // Tolerant: a real download address may hold blanks, "|", "{", "^" or a backquote, which the
    // desktop's browser takes as they are; only the scheme and the host decide.
    const QUrl url(address, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == u"http" || scheme == u"https");
}

} // namespace zonara

// The announcement page reader and what it decides.
#include "announcement.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    zonara::Announcement record;
    zonara::readAnnouncement(page, record);
    const zonara::UpdateNotice notice = zonara::updateNotice(QStringLiteral("1.0"), record);
    if (zonara::isWebAddress(record.downloadAddress) &&
        !record.downloadAddress.startsWith(u"http", Qt::CaseInsensitive))
        __builtin_trap();
    (void)notice;
    return 0;
}

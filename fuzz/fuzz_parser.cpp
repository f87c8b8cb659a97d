// The host-list parser on raw text and on text that went through the HTML text form.
#include "documenttext.h"
#include "hostlistparser.h"

#include <cstddef>
#include <cstdint>

namespace {

void checkListed(const QList<zonara::ListedHost> &hosts)
{
    for (const zonara::ListedHost &host : hosts) {
        if (!zonara::HostRecordTable::hasSlot(host.id))
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static zonara::HostRecordTable table;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    zonara::HostListParserState state;
    checkListed(zonara::parseListingPage(QString::fromUtf8(bytes), zonara::HostKind::Dynamic, state,
                                         table));
    checkListed(
        zonara::parseListingPage(zonara::documentText(bytes, "text/html").value_or(QString()),
                                 zonara::HostKind::Static, state, table));
    return 0;
}

// The host-list parser on raw text and on text that went through the HTML text form.
#include "documenttext.h"
#include "hostlistparser.h"

#include <cstddef>
#include <cstdint>

namespace {

class CheckedList final : public zonara::HostListView
{
public:
    void clearHosts() override {}
    void appendHost(const QString &idText, const QString &) override
    {
        bool ok = false;
        const int id = idText.toInt(&ok);
        if (!ok || !zonara::HostRecordTable::hasSlot(id))
            __builtin_trap();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static zonara::HostRecordTable table;
    CheckedList list;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    zonara::HostListParserState state;
    zonara::parseListingPage(QString::fromUtf8(bytes), zonara::HostKind::Dynamic, state, table,
                             list);
    zonara::parseListingPage(zonara::documentText(bytes, "text/html").value_or(QString()),
                             zonara::HostKind::Static, state, table, list);
    return 0;
}

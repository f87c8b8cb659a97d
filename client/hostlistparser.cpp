#include "hostlistparser.h"

#include "textlines.h"
#include "textvalue.h"

namespace zonara {

namespace {

constexpr QStringView HostRowPattern = u"<TR><TD><INPUT TYPE=\"radio\" NAME=\"host_id\" VALUE=\"";
constexpr QStringView DetailRowPattern = u"<TR><TD></TD><TD><FONT SIZE=-1>";
constexpr QStringView CellStart = u"<TD>";
constexpr QStringView CellEnd = u"</TD>";
constexpr QStringView DetailEnd = u"</FONT>";

static_assert(HostRowPattern.size() == 50);
static_assert(DetailRowPattern.size() == 31);

using Row = HostListParserState::Row;

void readHostRow(QStringView line, HostKind kind, HostListParserState &state,
                 HostRecordTable &table)
{
    // Until this row proves sound, no host is pending.
    state.row = Row::None;

    const qsizetype idEnd = line.indexOf(u'"', HostRowPattern.size());
    if (idEnd < 0)
        return;
    const qsizetype nameStart = line.indexOf(CellStart, idEnd);
    if (nameStart < 0)
        return;
    const qsizetype nameEnd = line.indexOf(CellEnd, nameStart);
    if (nameEnd < 0)
        return;
    const QStringView idText = line.sliced(HostRowPattern.size(), idEnd - HostRowPattern.size());
    const int id = wholeNumberIn(numericValue(idText), 0, HostRecordTable::SlotCount - 1);
    if (id < 0)
        return;

    state.currentHostId = id;
    state.currentHostName =
        line.sliced(nameStart + CellStart.size(), nameEnd - nameStart - CellStart.size())
            .toString();
    HostRecord &record = table[id];
    record.kind = kind;
    record.id = id;
    record.name = state.currentHostName;
    state.row = Row::AwaitingFirstDetail;
}

void readDetailRow(QStringView line, HostListParserState &state, HostRecordTable &table,
                   QList<ListedHost> &hosts)
{
    // The end marker is matched in any letter case; the search starts at the pattern's last
    // character, as the member service's pages have always been read.
    const qsizetype end = line.indexOf(DetailEnd, DetailRowPattern.size() - 1, Qt::CaseInsensitive);
    if (end < 0)
        return;
    const QString cell =
        line.sliced(DetailRowPattern.size(), end - DetailRowPattern.size()).toString();
    HostRecord &record = table[state.currentHostId];
    if (state.row == Row::AwaitingFirstDetail) {
        record.firstDetail = cell;
        state.row = Row::AwaitingSecondDetail;
        return;
    }
    record.secondDetail = cell;
    state.row = Row::None;
    hosts.append({state.currentHostId, state.currentHostName});
}

} // namespace

QList<ListedHost> parseListingPage(QStringView page, HostKind kind, HostListParserState &state,
                                   HostRecordTable &table)
{
    QList<ListedHost> hosts;
    forEachLine(page, [&](QStringView line) {
        if (line.startsWith(HostRowPattern)) {
            readHostRow(line, kind, state, table);
        } else if (line.startsWith(DetailRowPattern) && state.hostPending()) {
            readDetailRow(line, state, table, hosts);
        }
    });
    return hosts;
}

} // namespace zonara

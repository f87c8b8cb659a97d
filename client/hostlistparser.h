#pragma once

#include "hostrecords.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace zonara {

// One completed host entry, as the host list shows it: the name, and the id its requests name.
struct ListedHost
{
    int id = 0;
    QString name;
};

// Where the parser is between two lines; kept between pages, so a host entry left incomplete at
// the end of one page carries over into the next.
struct HostListParserState
{
    enum class Row { Unset, None, AwaitingFirstDetail, AwaitingSecondDetail };

    // A host row has been read and its detail rows are awaited.
    bool hostPending() const
    {
        return row == Row::AwaitingFirstDetail || row == Row::AwaitingSecondDetail;
    }

    Row row = Row::Unset;
    int currentHostId = 0;
    QString currentHostName;
};

// Reads a listing page line by line. A line ends at a carriage return together with the one
// character after it; the text after the last carriage return is not read. A host entry is a
// host row followed by two detail rows, other lines possibly in between:
//   <TR><TD><INPUT TYPE="radio" NAME="host_id" VALUE="42"></TD><TD>alpha</TD></TR>
//   <TR><TD></TD><TD><FONT SIZE=-1>first detail</FONT></TD></TR>
//   <TR><TD></TD><TD><FONT SIZE=-1>second detail</FONT></TD></TR>
// Each host row writes its record of kind `kind` into `table`; the completed entries are
// returned in page order. Rows the arithmetic cannot cut, and host ids that are no whole number
// from 0 to 99999, are skipped, and a skipped host row drops the pending host so that its detail
// rows attach to no other host. Runs in time linear in the page.
QList<ListedHost> parseListingPage(QStringView page, HostKind kind, HostListParserState &state,
                                   HostRecordTable &table);

} // namespace zonara

#pragma once

#include <string>

// A dynamic listing page of `hosts` hosts in the member service's markup: lower-case tags, LF
// line ends, indentation, page content around the table.
inline std::string providerListing(int hosts)
{
    std::string page = "<html>\n<head>\n  <title>Zonara members - dynamic hosts</title>\n</head>\n"
                       "<body bgcolor=\"#ffffff\">\n<h1>Your dynamic hosts</h1>\n"
                       "<form action=\"/nic/zonara\" method=\"get\">\n"
                       "<table border=0 cellpadding=2>\n";
    for (int id = 1; id <= hosts; ++id) {
        const std::string number = std::to_string(id);
        page += "  <tr>\n    <td><input type=\"radio\" name=\"host_id\" value=\"" + number +
                "\"></td>\n    <td>host" + number + ".zonara.example</td>\n  </tr>\n" +
                "  <tr><td></td><td><font size=-1>IP address: 192.0.2." + std::to_string(id % 250) +
                "</font></td></tr>\n" +
                "  <tr><td></td><td><font size=-1>Wildcard: on, backup MX: yes</font></td></tr>\n";
    }
    page += "</table>\n</form>\n</body>\n</html>\n";
    return page;
}

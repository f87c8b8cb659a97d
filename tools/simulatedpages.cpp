#include "simulatedpages.h"

namespace zonara::simulator {

namespace {

std::string utf8(const QString &text)
{
    return text.toStdString();
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

} // namespace

std::string answerPage(const SimulatedAnswer &answer)
{
    return utf8(QStringLiteral("<html>\n<head>\n<title>%1</title>\n</head>\n"
                               "<body bgcolor=\"#ffffff\">\n<h2>%1</h2>\n<pre>%2</pre>\n"
                               "<p><a href=\"/nic/zonara\">Back to your hosts</a></p>\n"
                               "</body>\n</html>\n")
                    .arg(escaped(answer.title), escaped(answer.result)));
}

std::string refusalPage()
{
    return "<html>\n<head>\n<title>401 Authorization Required</title>\n</head>\n<body>\n"
           "<h1>Authorization Required</h1>\n<p>This server could not verify that you are "
           "authorized to access the document requested.</p>\n</body>\n</html>\n";
}

std::string listingPage(SimulatedKind kind, const QList<SimulatedHost> &hosts)
{
    const bool dynamic = kind == SimulatedKind::Dynamic;
    QString page =
        QStringLiteral("<html>\n<head>\n  <title>Zonara members - %1 hosts</title>\n"
                       "  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
                       "</head>\n<body bgcolor=\"#ffffff\">\n<h1>Your %1 hosts</h1>\n"
                       "<p>Choose a host and an action.</p>\n"
                       "<form action=\"%2\" method=\"get\">\n<table border=0 cellpadding=2>\n"
                       "  <tr><th></th><th>Host</th></tr>\n")
            .arg(dynamic ? QStringLiteral("dynamic") : QStringLiteral("static"),
                 dynamic ? QStringLiteral("/nic/zonara") : QStringLiteral("/nic/statdns"));
    for (const SimulatedHost &host : hosts) {
        if (host.kind != kind)
            continue;
        page += QStringLiteral("  <tr>\n    <td><input type=\"radio\" name=\"host_id\" "
                               "value=\"%1\"></td>\n    <td>%2</td>\n  </tr>\n")
                    .arg(host.id)
                    .arg(escaped(host.name));
        page += QStringLiteral("  <tr><td></td><td><font size=-1>IP address: %1</font></td></tr>\n")
                    .arg(escaped(host.ipAddress));
        page += QStringLiteral("  <tr><td></td><td><font size=-1>Wildcard: %1, backup MX: %2"
                               "</font></td></tr>\n")
                    .arg(host.wildcard ? QStringLiteral("on") : QStringLiteral("off"),
                         host.backupMx ? QStringLiteral("yes") : QStringLiteral("no"));
    }
    page += QStringLiteral("</table>\n<input type=\"submit\" value=\"Edit\">\n</form>\n"
                           "<p><font size=-2>Zonara DNS services</font></p>\n</body>\n</html>\n");
    return utf8(page);
}

std::string missingAnnouncementPage()
{
    return "<html><head><title>Not found</title></head></html>\n";
}

} // namespace zonara::simulator

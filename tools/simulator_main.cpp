// zonara-member-simulator: plays the member service on loopback for the demo and the tests.

#include "membersimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace zonara::simulator;

namespace {

int signalPipe[2];

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// "Misbehave on member pages:", then a line for each of FaultModes.
QString faultHelp()
{
    QString help = QStringLiteral("Misbehave on member pages:");
    for (const FaultMode &mode : FaultModes) {
        help += QStringLiteral("\n%1: %2")
                    .arg(QLatin1StringView(mode.name), QLatin1StringView(mode.description));
    }
    return help;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zonara-member-simulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays the Zonara member service and announcement page on loopback."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on; 0 picks a free one."),
                                        QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption accountOption(QStringLiteral("account"),
                                           QStringLiteral("Account file to seed the service from."),
                                           QStringLiteral("file"));
    const QCommandLineOption announcementOption(
        QStringLiteral("announcement"), QStringLiteral("File served as the announcement page."),
        QStringLiteral("file"));
    const QCommandLineOption announcementTypeOption(
        QStringLiteral("announcement-type"),
        QStringLiteral("Content type of the announcement page."), QStringLiteral("type"),
        QStringLiteral("text/plain"));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("File that gets one line per request."),
                                       QStringLiteral("file"));
    const QCommandLineOption faultOption(QStringLiteral("fault"), faultHelp(),
                                         QStringLiteral("mode"), QStringLiteral("none"));
    const QCommandLineOption redirectToOption(
        QStringLiteral("redirect-to"),
        QStringLiteral("With --fault redirect: scheme, host and port member pages move to, "
                       "as in https://127.0.0.1:4443; this server when not given."),
        QStringLiteral("base"));
    const QCommandLineOption redirectStatusOption(
        QStringLiteral("redirect-status"),
        QStringLiteral("With --fault redirect: 301, 302, 307 or 308."), QStringLiteral("status"),
        QStringLiteral("301"));
    const QCommandLineOption certificateOption(
        QStringLiteral("tls-cert"), QStringLiteral("Serve HTTPS with this PEM certificate."),
        QStringLiteral("file"));
    const QCommandLineOption keyOption(QStringLiteral("tls-key"),
                                       QStringLiteral("The PEM key of --tls-cert."),
                                       QStringLiteral("file"));
    parser.addOptions({portOption, accountOption, announcementOption, announcementTypeOption,
                       logOption, faultOption, redirectToOption, redirectStatusOption,
                       certificateOption, keyOption});
    parser.process(app);

    QTextStream err(stderr);
    MemberSimulator simulator;
    if (parser.isSet(accountOption)) {
        QString error;
        if (!simulator.loadAccountFile(parser.value(accountOption), &error)) {
            err << "zonara-member-simulator: " << error << Qt::endl;
            return 2;
        }
    }
    if (parser.isSet(announcementOption)) {
        QFile file(parser.value(announcementOption));
        if (!file.open(QIODevice::ReadOnly)) {
            err << "zonara-member-simulator: " << file.errorString() << Qt::endl;
            return 2;
        }
        simulator.setAnnouncement(file.readAll(), parser.value(announcementTypeOption).toUtf8());
    }
    const std::optional<Fault> fault = faultNamed(parser.value(faultOption));
    if (!fault) {
        err << "zonara-member-simulator: unknown fault " << parser.value(faultOption) << Qt::endl;
        return 2;
    }
    simulator.setFault(*fault);
    simulator.setRedirect(parser.value(redirectStatusOption).toInt(),
                          parser.value(redirectToOption));
    if (parser.isSet(certificateOption) != parser.isSet(keyOption)) {
        err << "zonara-member-simulator: --tls-cert and --tls-key go together" << Qt::endl;
        return 2;
    }
    if (parser.isSet(certificateOption))
        simulator.setTls(parser.value(certificateOption), parser.value(keyOption));

    auto log = std::make_shared<QFile>(parser.value(logOption));
    auto logMutex = std::make_shared<QMutex>();
    if (parser.isSet(logOption)) {
        if (!log->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            err << "zonara-member-simulator: " << log->errorString() << Qt::endl;
            return 2;
        }
        simulator.setRequestObserver([log, logMutex](const LoggedRequest &request) {
            const QMutexLocker locker(logMutex.get());
            log->write((request.method + u' ' + request.target + u' ' +
                        (request.authenticated ? request.user : QStringLiteral("-")) + u'\n')
                           .toUtf8());
        });
    }

    const int port = simulator.start(QStringLiteral("127.0.0.1"), parser.value(portOption).toInt());
    if (port < 0) {
        err << "zonara-member-simulator: cannot listen on 127.0.0.1:" << parser.value(portOption)
            << " (or cannot read the TLS files)" << Qt::endl;
        return 1;
    }
    // Scripts read the port from this line; an HTTPS listener says so on a line of its own.
    std::printf("listening on 127.0.0.1:%d\n", port);
    if (simulator.scheme() == u"https")
        std::printf("serving https\n");
    std::fflush(stdout);

    // Ends cleanly on SIGINT and SIGTERM.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return 1;
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    const int status = QCoreApplication::exec();
    simulator.stop();
    return status;
}

#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace zonara::simulator {

enum class SimulatedKind { Dynamic = 1, Static = 2 };

struct SimulatedHost
{
    int id = 0;
    QString name;
    SimulatedKind kind = SimulatedKind::Dynamic;
    QString ipAddress;
    bool wildcard = false;
    bool backupMx = false;
};

// The member service's answer to a change: a title and a preformatted result.
struct SimulatedAnswer
{
    QString title;
    QString result;
};

// The simulated account: its credentials, its hosts and the rules of the four change requests.
// Not thread-safe: the simulator holds its lock around every call.
class SimulatedAccount final
{
public:
    void setCredentials(const QString &user, const QString &password);
    const QString &user() const { return m_user; }
    bool accepts(const QString &user, const QString &password) const;

    // Seeded hosts are backup MX hosts. Returns the new host's id.
    int addHost(SimulatedKind kind, const QString &name, const QString &ipAddress, bool wildcard);
    const QList<SimulatedHost> &hosts() const { return m_hosts; }
    // Reads "user NAME", "password TEXT" and "dynamic|static NAME IP [wildcard]" lines; the lines
    // before one it cannot read stay applied.
    bool loadFile(const QString &path, QString *error);

    // Applies the add, edit, Delete or convert request in `query`, sent to the listing page of
    // `pathKind`, and says what the service answers.
    SimulatedAnswer applyChange(SimulatedKind pathKind,
                                const QList<QPair<QString, QString>> &query);

private:
    SimulatedHost *findHost(const QString &idText);

    QString m_user = QStringLiteral("demo");
    QString m_password = QStringLiteral("demo");
    QList<SimulatedHost> m_hosts;
    int m_nextId = 101;
};

} // namespace zonara::simulator

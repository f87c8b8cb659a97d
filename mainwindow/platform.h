#pragma once

#include <QString>

namespace zonara {

// What the program asks of the desktop. Tests replace it with a scripted fake.
class Platform
{
public:
    virtual ~Platform() = default;

    // Asks the desktop to open an address with its default handler; does not wait for it, and
    // the outcome is not examined.
    virtual void shellOpen(const QString &target) = 0;

    // A Yes/No question without icon, Yes the default. True for Yes.
    virtual bool askYesNo(const QString &title, const QString &text) = 0;

    // The local machine's IP address as text: the first IPv4 address of an interface that is
    // up and not a loopback, else the loopback address.
    virtual QString localIpAddress() = 0;
};

} // namespace zonara

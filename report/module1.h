#pragma once

#include <QString>

// The one procedure and the one shared variable outside the windows.
namespace Module1 {

// The address of the last change handed to ShowReport, credentials included.
extern QString URL2load;

// Sends a change request through a fresh report window, shown modally with no owner, and
// returns when the user has closed it.
void ShowReport(const QString &address);

} // namespace Module1

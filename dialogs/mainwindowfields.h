#pragma once

#include "requests.h"

#include <QString>

namespace zonara {

// What the host dialogs read from the main window, at the moment they read it.
class MainWindowFields
{
public:
    virtual ~MainWindowFields() = default;

    // Requests built from the user name and password as they stand now.
    virtual MemberRequests memberRequests() const = 0;
    // The selected host's name as listed, and its id text from the hidden list.
    virtual QString selectedHostName() const = 0;
    virtual QString selectedHostId() const = 0;
    // The type display's index: 0 "Dynamic DNS", 1 "Static DNS".
    virtual int typeDisplayIndex() const = 0;
};

} // namespace zonara

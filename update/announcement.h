#pragma once

#include <QString>
#include <QStringView>

namespace zonara {

// The fields of the publisher's announcement page.
struct Announcement
{
    QString version;          // "vers=": the latest published version
    QString downloadAddress;  // "file=": where to download it
    QString lowestCompatible; // "brok=": every version below this one no longer works
    QString reason;           // "whyb=": why
    QString description;      // "desc=": read, unused
};

// Reads field lines into `record`. A line ends at a carriage return together with the one
// character after it; the text after the last carriage return is never read. A field line
// starts, at its first character, with one of the lower-case keys "vers=", "file=", "brok=",
// "whyb=", "desc="; the rest of the line is the value, verbatim. The last line of a key wins;
// fields whose key does not occur keep what they held.
void readAnnouncement(QStringView page, Announcement &record);

// What the announcement means for the running version.
struct UpdateNotice
{
    bool showUpdateLabel = false;
    QString updateLabelCaption;
    bool askToDownload = false;
    QString question;
};

// A newer announced version (strictly, by numeric value) shows the update label; a running
// version below the lowest compatible one asks whether to download the announced version.
UpdateNotice updateNotice(const QString &ownVersion, const Announcement &announcement);

// The question put when the running version no longer works: "This version of Zonara Manager is
// not compatible anymore. Reason: " reason ". Do you want to download Zonara Manager " version "?".
QString incompatibleQuestion(const QString &reason, const QString &version);

// Whether the desktop may be asked to open `address`: a web address (scheme http or https in any
// letter case, and a host), never a local file or program that a forged announcement could name.
bool isWebAddress(const QString &address);

} // namespace zonara

#pragma once

#include <QString>

namespace zonara {

// Host names, details, answers and announcements come off the network and may be of any length.
// Qt lays a control's whole text out on the user-interface thread, in time that grows with the
// text (a wrapped line of a megabyte takes over a minute), so a control is only ever given a
// bounded part of such a text. The records and requests keep the whole text.

// The most characters a one-line control, a list entry, a caption or a question shows. Far above
// any real host name (253), detail line or reason.
constexpr qsizetype LongestShownText = 1000;

// `text` itself when it has at most `limit` characters; else its first characters, never
// splitting a surrogate pair, followed by "…".
QString boundedForDisplay(const QString &text, qsizetype limit = LongestShownText);

// `text` with a line break after every `longest` characters of a line that is longer, so that
// no line a text box must lay out is longer than that. Line breaks are "\n".
QString brokenForDisplay(const QString &text, qsizetype longest);

// Rich text that a tooltip shows as `text` exactly, with its white space kept: a tooltip would
// otherwise guess whether its text is markup.
QString plainToolTip(const QString &text);

} // namespace zonara

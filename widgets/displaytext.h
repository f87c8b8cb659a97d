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
// The most characters a question box shows: its fixed words around bounded names and reasons.
constexpr qsizetype LongestShownQuestion = 4 * LongestShownText;

// `text` as a control may show it: at most `limit` characters (else its first characters, never
// splitting a surrogate pair, followed by "…"), and without the invisible direction controls
// (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) with which a name could pass for
// another: a right-to-left override makes "evil.exe" read "exe.live".
QString boundedForDisplay(QStringView text, qsizetype limit = LongestShownText);

// `text` with an invisible break opportunity (U+200B) after every `longest` characters of a run
// without white space, so that a word-wrapping control can wrap it within its width instead of
// growing to the width of the run.
QString wrappableForDisplay(const QString &text, qsizetype longest = 40);

// `text` with a line break after every `longest` characters of a line that is longer, so that
// no line a text box must lay out is longer than that. Line breaks are "\n".
QString brokenForDisplay(const QString &text, qsizetype longest);

// Rich text that a tooltip shows as `text`, wrapped within the screen: a tooltip would otherwise
// guess whether its text is markup.
QString plainToolTip(const QString &text);

} // namespace zonara

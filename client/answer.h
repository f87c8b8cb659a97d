#pragma once

#include <QStringView>

namespace zonara {

// What the report window shows of the member service's answer to a change: parts of the document
// it was found in, valid as long as that is.
struct Answer
{
    QStringView caption; // the first title element's text
    QStringView text;    // the first preformatted block's text, else the caption
};

// Finds "<title>", "</title>", "<pre>" and "</pre>" in any letter case (each searched from the
// start, independently of the other) and takes the text between them verbatim, in the document's
// own case. A missing opening marker counts as position 0, so a lone closing marker yields the
// text from just after where the opening one would have ended; a pair whose text would have a
// negative length yields nothing, and the previous text stays: an empty caption, and for the
// block the caption. Tags and character references inside are not touched.
Answer extractAnswer(QStringView document);

} // namespace zonara

#pragma once

#include <QStringView>

namespace zonara {

// The number a text starts with, read the forgiving way the member service's pages need:
// an optional sign, then digits with at most one "." among them; blanks, tabs and line feeds
// are skipped wherever they stand; reading stops at the first other character. A text that does
// not begin with a number, the empty text included, is worth 0. The decimal separator is always
// ".", whatever the locale. A number too large for a double is worth plus or minus infinity.
double numericValue(QStringView text);

// The whole number `value` stands for, when it is one in [minimum, maximum]; -1 otherwise.
// Used for host ids, which must name a slot of the host record table.
int wholeNumberIn(double value, int minimum, int maximum);

} // namespace zonara

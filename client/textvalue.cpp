#include "textvalue.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zonara {

namespace {

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

double numericValue(QStringView text)
{
    std::string number;
    bool negative = false;
    bool signAllowed = true;
    bool pointSeen = false;
    bool nonZeroIntegerDigit = false;

    for (const QChar c : text) {
        if (isSkipped(c))
            continue;
        if (signAllowed && (c == u'-' || c == u'+')) {
            negative = c == u'-';
        } else if (isDigit(c)) {
            nonZeroIntegerDigit = nonZeroIntegerDigit || (!pointSeen && c != u'0');
            number.push_back(char(c.unicode()));
        } else if (c == u'.' && !pointSeen) {
            pointSeen = true;
            number.push_back('.');
        } else {
            break;
        }
        // A sign may only lead: once anything else is read, a second sign ends the number.
        signAllowed = false;
    }

    if (number.find_first_of("0123456789") == std::string::npos)
        return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range)
        value = nonZeroIntegerDigit ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

int wholeNumberIn(double value, int minimum, int maximum)
{
    if (!(value >= minimum && value <= maximum) || std::trunc(value) != value)
        return -1;
    return int(value);
}

} // namespace zonara

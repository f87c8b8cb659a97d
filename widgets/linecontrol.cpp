#include "linecontrol.h"

namespace zonara {

LineControl::LineControl(const QString &name, QPalette::ColorRole colour, int x1, int y1, int x2,
                         int y2, QObject *parent)
    : QObject(parent)
    , m_colour(colour)
    , m_x1(x1)
    , m_y1(y1)
    , m_x2(x2)
    , m_y2(y2)
{
    setObjectName(name);
}

void LineControl::set(int &coordinate, int twips)
{
    if (coordinate == twips)
        return;
    coordinate = twips;
    emit changed();
}

} // namespace zonara

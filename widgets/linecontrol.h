#pragma once

#include <QObject>
#include <QPalette>

namespace zonara {

// A straight line drawn on its window's surface, given by two end points in twips (1/1440 inch;
// 15 twips make one pixel). It is no widget: it takes no pointer input and no focus. The window
// that owns it draws it, and repaints when an end point changes.
class LineControl final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LineControl)
    Q_PROPERTY(int X1 READ x1 WRITE setX1 NOTIFY changed)
    Q_PROPERTY(int Y1 READ y1 WRITE setY1 NOTIFY changed)
    Q_PROPERTY(int X2 READ x2 WRITE setX2 NOTIFY changed)
    Q_PROPERTY(int Y2 READ y2 WRITE setY2 NOTIFY changed)

public:
    LineControl(const QString &name, QPalette::ColorRole colour, int x1, int y1, int x2, int y2,
                QObject *parent);

    int x1() const { return m_x1; }
    int y1() const { return m_y1; }
    int x2() const { return m_x2; }
    int y2() const { return m_y2; }
    void setX1(int twips) { set(m_x1, twips); }
    void setY1(int twips) { set(m_y1, twips); }
    void setX2(int twips) { set(m_x2, twips); }
    void setY2(int twips) { set(m_y2, twips); }

    QPalette::ColorRole colour() const { return m_colour; }

signals:
    void changed();

private:
    void set(int &coordinate, int twips);

    QPalette::ColorRole m_colour;
    int m_x1;
    int m_y1;
    int m_x2;
    int m_y2;
};

} // namespace zonara

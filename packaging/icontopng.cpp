// Writes the window icon (XPM, as the windows use it) as a PNG for the desktop's icon theme, whose
// readers do not all take XPM. Runs at build time: icontopng INPUT.xpm OUTPUT.png

#include <QImage>
#include <QString>

int main(int argc, char *argv[])
{
    if (argc != 3)
        return 2;
    const QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull())
        return 1;
    return image.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}

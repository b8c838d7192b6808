#include "Pictures.h"

QIcon pictureIcon(Picture)
{
    return {};
}

QIcon windowIcon()
{
    return {};
}

QPixmap windowIconPixmap(int size)
{
    return QPixmap(size, size);
}

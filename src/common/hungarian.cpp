#include "common/hungarian.h"

#include <QLocale>

namespace tvx {

void useHungarianLocale()
{
    QLocale hungarian(QLocale::Hungarian, QLocale::Hungary);
    hungarian.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(hungarian);
}

}  // namespace tvx

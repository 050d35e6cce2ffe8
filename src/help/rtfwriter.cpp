#include "help/rtfwriter.h"

namespace tvx::help {

QByteArray markdownToRtf(const RtfDocumentSource &, QString *)
{
    return QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg1250\\deff0}");
}

}  // namespace tvx::help

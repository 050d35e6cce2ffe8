#include "common/session.h"

namespace tvx {

CurrentUser &currentUser()
{
    static CurrentUser user;
    return user;
}

HandOver &handOver()
{
    static HandOver values;
    return values;
}

}  // namespace tvx

#include "dbstate.h"

namespace zorv::registry {

DbState &DbState::instance()
{
    static DbState state;
    return state;
}

} // namespace zorv::registry

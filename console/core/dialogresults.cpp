#include "dialogresults.h"

namespace zorv::console {

DialogResults &DialogResults::instance()
{
    static DialogResults state;
    return state;
}

} // namespace zorv::console

#include "core/records.h"

namespace vesk {

pair::pair(const value& flags) : recordBase<2>(flags) {
    registerInterfaceOf<Ipair>(this);
    registerInterfaceOf<Igeneric>(this);
}

trio::trio(const value& flags) : recordBase<3>(flags) {
    registerInterfaceOf<Itrio>(this);
    registerInterfaceOf<Igeneric>(this);
}

quad::quad(const value& flags) : recordBase<4>(flags) {
    registerInterfaceOf<Iquad>(this);
    registerInterfaceOf<Igeneric>(this);
}

}  // namespace vesk

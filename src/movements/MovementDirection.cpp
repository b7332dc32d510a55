#include "movements/MovementDirection.h"

namespace scortavia {

const MovementDirection& movementDirection(Direction direction) {
    return direction == Direction::GoodsIn ? kGoodsIn : kGoodsOut;
}

}  // namespace scortavia

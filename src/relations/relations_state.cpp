#include "relations/relations_state.h"

#include "platform/Conversions.h"

namespace relations {

RelationsState& relationsState()
{
    static RelationsState state;
    return state;
}

std::string placeholderLine(const std::string& templateText, int counter)
{
    return templateText + platform::Right("00" + std::to_string(counter), 2);
}

} // namespace relations

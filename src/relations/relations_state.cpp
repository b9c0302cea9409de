#include "relations/relations_state.h"

#include "model/tables.h"
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

std::string currentPlaceholderLine(int list)
{
    const RelationsState& state = relationsState();
    const model::Tables& t = model::tables();
    return list == 0 ? placeholderLine(state.DummyManText, t.DummyManCnt)
                     : placeholderLine(state.DummyWomanText, t.DummyWomanCnt);
}

} // namespace relations

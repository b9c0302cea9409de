#include "reports/reports_state.h"

namespace reports {

CsvInState& csvInState()
{
    static CsvInState* const instance = new CsvInState();
    return *instance;
}

} // namespace reports

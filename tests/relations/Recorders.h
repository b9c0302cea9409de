#pragma once
// Recording stand-ins shared by the relationship windows' tests: what the windows
// ask of the main window and the person editor, and what the family model's
// window services are asked by their commands.

#include "relations/RelationRequests.h"

#include "model/WindowServices.h"

#include <algorithm>
#include <string>
#include <vector>

namespace relations_test {

// Records the windows' requests of the windows around them.
class RecordingRequests : public relations::RelationRequests {
public:
    std::vector<std::string> calls;
    void closePersonEditor() override { calls.push_back("closePersonEditor"); }
    void raiseMainWindow() override { calls.push_back("raiseMainWindow"); }
};

// Records the model's requests that the windows' commands lead to.
class RecordingServices : public model::WindowServices {
public:
    std::vector<std::string> calls;
    void closeChronology() override { calls.push_back("closeChronology"); }
    void closePersonEditor() override { calls.push_back("closePersonEditor"); }
    void saveUndo() override { calls.push_back("saveUndo"); }
    void enableRelationUndo(const std::string& caption) override { calls.push_back("enableRelationUndo " + caption); }
    void setChartAcceptsDrops(bool accepts) override
    {
        calls.push_back(accepts ? "acceptsDrops" : "refusesDrops");
    }
};

inline int countOf(const std::vector<std::string>& calls, const std::string& call)
{
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

} // namespace relations_test

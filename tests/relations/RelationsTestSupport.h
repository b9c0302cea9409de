#pragma once
// Family builders and recording stand-ins shared by the relationship windows' tests: what the windows
// ask of the main window and the person editor, and what the family model's
// window services are asked by their commands.

#include "relations/RelationRequests.h"

#include "model/ChildSlots.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/UndoRecords.h"
#include "model/WindowServices.h"
#include "model/tables.h"

#include <gtest/gtest.h>

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

// Builds a family through the model's own setters, as the windows find it.
struct FamilyBuilders {
    static model::Tables& tables() { return model::tables(); }
    static model::marry_data& kou(int slot) { return model::tables().kou_buf[static_cast<size_t>(slot)]; }
    static model::personal_data& per(int slot) { return model::tables().per_buf[static_cast<size_t>(slot)]; }

    static int addPerson(const std::string& familyName, const std::string& name, int sex)
    {
        const int slot = model::set_per_buf(-1, name, familyName, sex, "");
        EXPECT_GT(slot, 0);
        return slot;
    }

    static int marry(int husband, int wife, int start = 1, const std::string& state = "通常", int mode = 0,
                     const std::string& title = "")
    {
        const int slot = model::set_kou_buf(-1, state, mode, 0, husband, wife, start, title, 0);
        EXPECT_GT(slot, 0);
        // The family stands for a loaded one, which has no editor step to undo.
        model::clearKouUndo();
        return slot;
    }

    static int addChild(int marriage, int child, int slot = -1)
    {
        model::kodo_data work;
        work.KouIdx = static_cast<int16_t>(marriage);
        work.KodoIdx = static_cast<int16_t>(slot);
        work.kou_kodo = static_cast<int16_t>(child);
        work.kodo_visible = 1;
        return model::Add_Kodo(work);
    }
};

inline int countOf(const std::vector<std::string>& calls, const std::string& call)
{
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

} // namespace relations_test

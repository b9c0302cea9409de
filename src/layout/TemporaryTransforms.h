#pragma once
// The temporary pre-draw transforms around one layout or drawing of the chart:
// Backup_Bufs, Hide_Branches and Expand_MultiMarry on construction, Restore_Bufs
// when the object goes (or earlier, through restore()). The layout grid refers to
// the person copies the expansion makes, so every drawing of a laid-out chart runs
// inside one of these; the expansion is deterministic and gives the same copies
// again.
//
// The tables are put back also when a step in between throws: a family left with
// its temporary copies and hidden marriages would be saved that way.
//
// When the person table has no slot left for a copy, Expand_MultiMarry has shown
// why; the tables are then restored and only the branches are hidden again, so the
// chart is laid out and drawn without copies (a person of several marriages stands
// in one marriage group) rather than not at all.

namespace layout {

class TemporaryTransforms {
public:
    TemporaryTransforms();
    ~TemporaryTransforms();
    TemporaryTransforms(const TemporaryTransforms&) = delete;
    TemporaryTransforms& operator=(const TemporaryTransforms&) = delete;

    // Restore_Bufs now; later calls and the destructor do nothing more.
    void restore();
    // False when the expansion ran out of person slots and was left out.
    bool expanded() const { return m_expanded; }

private:
    bool m_active = true;
    bool m_expanded = true;
};

} // namespace layout

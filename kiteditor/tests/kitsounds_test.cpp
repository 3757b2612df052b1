// Random editing of a kit with sounds in both panels, seeded: whatever the order of adds, removals,
// type changes, hit points, levels and sounds given and taken in the hit-point panel, saves and
// loads, every level keeps naming the engine's sound of its own file, the hit-point panel shows
// the selected drum as the kit holds it, and the tree keeps holding exactly the drums of the list.
#include "kit/bodytypes.h"
#include "kiteditor/tests/kiteditor.h"

#include <QListWidget>
#include <random>

namespace {

class KitEditing : public KitEditor
{
protected:
    int pick(std::size_t count)
    {
        return std::uniform_int_distribution<int>(0, int(count) - 1)(random);
    }

    void selectAnyRow()
    {
        drsetPanel->drumList->setCurrentRow(pick(drsetPanel->rowDrums.size() + 1));
    }

    // A row whose piece the hit-point panel edits, if the kit has one.
    void selectAnyDrum()
    {
        std::vector<int> rows;
        for (std::size_t r = 0; r < drsetPanel->rowDrums.size(); ++r)
            if (!BodyTypes::isStand(drum(drsetPanel->rowDrums[r])->type))
                rows.push_back(int(r) + 1);
        if (!rows.empty())
            drsetPanel->drumList->setCurrentRow(rows[std::size_t(pick(rows.size()))]);
    }

    Drum* drum(int id) const { return drsetPanel->drumSet.allDrums.at(std::size_t(id)); }

    // A child under any row that takes one more.
    void addAnyChild()
    {
        std::vector<int> rows{0};
        for (std::size_t r = 0; r < drsetPanel->rowDrums.size(); ++r)
            if (const Drum* d = drum(drsetPanel->rowDrums[r]);
                d->canHaveChildren && int(d->children.size()) < d->maxChildren)
                rows.push_back(int(r) + 1);
        drsetPanel->drumList->setCurrentRow(rows[std::size_t(pick(rows.size()))]);
        drsetPanel->setMenu();
        drsetPanel->drAdd(pick(drsetPanel->menuTypes.size()));
    }

    // A new body type drops the drum's hit points without releasing their sounds.
    void changeAnyType()
    {
        if (drsetPanel->comboTypes.size() < 2)
            return;
        const Drum& changed = *drum(drsetPanel->currentDrum);
        const int sounds = soundedLevels(changed), type = changed.type;
        drsetPanel->drTypeSel(pick(drsetPanel->comboTypes.size()));
        unnamed += changed.type != type ? sounds : 0;
    }

    // One edit in the hit-point panel, made with its controls: choosing a hit point or a level,
    // adding or removing either, or loading a sound into the shown level.
    void editHitpoints()
    {
        HitpointWidget& p = *hitpointPanel;
        if (!p.drumShown)
            selectAnyDrum();
        switch (pick(10)) {
        case 0:
            choose(p.hitCombo, pick(std::size_t(p.hitCombo->count())));
            break;
        case 1:
            choose(p.dynaCombo, pick(std::size_t(std::max(p.dynaCombo->count(), 1))));
            break;
        case 2:
            click(p.hitAddButton);
            break;
        case 3:
            click(p.hitRemoveButton);
            break;
        case 4:
        case 5:
            click(p.dynaAddButton);
            break;
        case 6:
            click(p.dynaRemoveButton);
            break;
        default:
            loadSound(pick(soundFiles));
        }
    }

    // Every drum reached from the roots is the list's drum at its id.
    std::size_t reach(const Drum& reached) const
    {
        EXPECT_EQ(drum(reached.id), &reached);
        std::size_t count = 1;
        for (const Node* child : reached.children)
            count += reach(static_cast<const Drum&>(*child));
        return count;
    }

    std::mt19937 random{20240611};
    int unnamed = 0; // sounds that the engine holds and no level names any more
};

TEST_F(KitEditing, EveryLevelNamesTheEnginesSoundOfItsFile)
{
    const int weights[] = {10, 20, 4, 3, 55, 4, 1};
    std::discrete_distribution<int> operation(std::begin(weights), std::end(weights));
    for (int step = 0; step < 700 && !HasFailure(); ++step) {
        const int op = operation(random);
        SCOPED_TRACE(testing::Message() << "step " << step << ", operation " << op);
        const QString path = folder.filePath(QString("kit%1").arg(step));
        switch (op) {
        case 0:
            selectAnyRow();
            break;
        case 1:
            addAnyChild();
            break;
        case 2:
            if (pick(2) == 0) // else the piece whose hit points the other panel shows
                selectAnyRow();
            drsetPanel->drRem();
            break;
        case 3:
            changeAnyType();
            break;
        case 4:
            editHitpoints();
            break;
        case 5:
            dialogs.fileAnswers = {path, path + ".set"};
            drsetPanel->drsetSave();
            drsetPanel->drsetLoad();
            unnamed = 0;
            break;
        default:
            drsetPanel->drsetNew();
            unnamed = 0;
        }
        std::size_t reached = 0;
        for (const auto& root : drsetPanel->drumSet.rootDrums)
            reached += reach(*root);
        EXPECT_EQ(reached, drsetPanel->drumSet.allDrums.size());
        expectLevelsNameTheirSounds(unnamed);
        expectHitpointPanelShowsTheSelectedDrum();
    }
}

} // namespace

// Random editing of a kit with sounds, seeded: whatever the order of adds, removals, type changes,
// sounds given and taken by the hit-point panel, saves and loads, every level keeps naming the
// engine's sound of its own file, and the tree keeps holding exactly the drums of the list.
#include "kiteditor/tests/kitsounds.h"

#include <QListWidget>
#include <random>

namespace {

class KitEditing : public KitSounds
{
protected:
    int pick(std::size_t count)
    {
        return std::uniform_int_distribution<int>(0, int(count) - 1)(random);
    }

    // Clicks a row, of a drum with hit points if asked; returns the selected drum, if any.
    Drum* selectAnyRow(bool withHitpoints = false)
    {
        std::vector<int> rows{0};
        for (std::size_t r = 0; r < panel->rowDrums.size(); ++r)
            if (!withHitpoints || !drum(panel->rowDrums[r])->hitpoints.empty())
                rows.push_back(int(r) + 1);
        panel->drumList->setCurrentRow(rows[std::size_t(pick(rows.size()))]);
        return panel->currentDrum < 0 ? nullptr : drum(panel->currentDrum);
    }

    Drum* drum(int id) const { return panel->drumSet.allDrums.at(std::size_t(id)); }

    void addAnyChild()
    {
        panel->setMenu();
        if (panel->drumAddButton->menu() == panel->addChildMenu)
            panel->drAdd(pick(panel->menuTypes.size()));
    }

    // A new body type drops the drum's hit points without releasing their sounds.
    void changeAnyType()
    {
        if (panel->comboTypes.size() < 2)
            return;
        const Drum& changed = *drum(panel->currentDrum);
        const int sounds = soundedLevels(changed), type = changed.type;
        panel->drTypeSel(pick(panel->comboTypes.size()));
        unnamed += changed.type != type ? sounds : 0;
    }

    // As the hit-point panel loads a sound into a level: its copy of the drum shares the kit's
    // hit points, and comes back with the level's new sound.
    void soundAnyLevel(Drum& selected)
    {
        Drum copy(selected);
        Hitpoint& hitpoint = *copy.hitpoints[std::size_t(pick(copy.hitpoints.size()))];
        if (pick(3) == 0)
            hitpoint.addDynaLevel("", -1, 0, 0);
        DynaLevel& level = *hitpoint.levels[std::size_t(pick(hitpoint.levels.size()))];
        level.file = files[pick(soundFiles)];
        if (level.sndID < 0)
            level.sndID = engine->addSound(level.file);
        else
            engine->reloadSound(level.sndID, level.file);
        panel->recvDrum(&copy);
    }

    // As the hit-point panel removes a level below the first: the engine frees its sound, the
    // drum comes back without the level, then the kit's identifiers follow the engine's shift.
    void removeASoundedLevel(Drum& selected)
    {
        Drum copy(selected);
        for (const auto& hitpoint : copy.hitpoints)
            for (std::size_t i = 1; i < hitpoint->levels.size(); ++i)
                if (const int id = hitpoint->levels[i]->sndID; id >= 0) {
                    engine->removeSound(id);
                    hitpoint->levels.erase(hitpoint->levels.begin() + long(i));
                    panel->recvDrum(&copy);
                    panel->updateLevels(id);
                    return;
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
    const int weights[] = {20, 20, 7, 5, 30, 8, 4, 1};
    std::discrete_distribution<int> operation(std::begin(weights), std::end(weights));
    for (int step = 0; step < 500 && !HasFailure(); ++step) {
        const int op = operation(random);
        SCOPED_TRACE(testing::Message() << "step " << step << ", operation " << op);
        const QString path = folder.filePath(QString("kit%1").arg(step));
        Drum* selected = nullptr;
        switch (op) {
        case 0:
            selectAnyRow();
            break;
        case 1:
            addAnyChild();
            break;
        case 2:
            selectAnyRow();
            panel->drRem();
            break;
        case 3:
            changeAnyType();
            break;
        case 4:
        case 5:
            if ((selected = selectAnyRow(true)))
                op == 4 ? soundAnyLevel(*selected) : removeASoundedLevel(*selected);
            break;
        case 6:
            dialogs.fileAnswers = {path, path + ".set"};
            panel->drsetSave();
            panel->drsetLoad();
            unnamed = 0;
            break;
        default:
            panel->drsetNew();
            unnamed = 0;
        }
        std::size_t reached = 0;
        for (const auto& root : panel->drumSet.rootDrums)
            reached += reach(*root);
        EXPECT_EQ(reached, panel->drumSet.allDrums.size());
        expectLevelsNameTheirSounds(unnamed);
    }
}

} // namespace

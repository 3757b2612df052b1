#include "humanoid/human.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// Counts its destruction.
struct Probe : Node
{
    explicit Probe(int* deleted) : deleted(deleted) {}
    ~Probe() override { ++*deleted; }
    int* deleted;
};

} // namespace

TEST(Human, SetRootDeletesTheOldTreeAndViewpointsAreOwned)
{
    int old = 0, kept = 0;
    auto human = std::make_unique<Human>();
    human->takeIkAngles(); // no root: nothing happens
    human->draw(false, false, false);

    auto* first = new Joint;
    auto* segment = new Segment;
    segment->shape = std::make_unique<BodyPartShape>();
    first->addChild(segment);
    segment->addChild(new Probe(&old));
    human->setRoot(first);
    auto* second = new Joint;
    second->addChild(new Probe(&kept));
    human->setRoot(second);
    EXPECT_EQ(old, 1);
    EXPECT_EQ(human->root.get(), second);

    human->addViewpoint(new Viewpoint("Front", 0, 1, 5, 0, 1, 0, 0, 0.785398f));
    human->addViewpoint(new Viewpoint);
    EXPECT_EQ(human->viewpoints[0]->description, "Front");
    EXPECT_EQ(human->viewpoints[0]->id, -1);
    EXPECT_EQ(human->viewpoints[1]->position[2], 5);

    human->setRoot(nullptr);
    EXPECT_EQ(kept, 1);
    EXPECT_FALSE(human->root);
    human.reset(); // LeakSanitizer checks the viewpoints
}

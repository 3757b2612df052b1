#include "humanoid/human.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// Counts the tree operations that reach it and its destruction.
struct Probe : Node
{
    struct Counts
    {
        int draws = 0, takes = 0, stores = 0, restores = 0, deleted = 0;
    };
    explicit Probe(Counts* counts) : counts(counts) {}
    ~Probe() override { ++counts->deleted; }
    void draw(bool, bool, bool) override { ++counts->draws; }
    void takeIkAngles() override { ++counts->takes; }
    void storePose() override { ++counts->stores; }
    void restorePose() override { ++counts->restores; }
    Counts* counts;
};

void visitAll(Node& node)
{
    node.takeIkAngles();
    node.storePose();
    node.restorePose();
}

} // namespace

TEST(Skeleton, DefaultsOfTheNodes)
{
    Joint joint;
    EXPECT_EQ(joint.type, 0);
    EXPECT_EQ(joint.ulimit[0], 1.570797f);
    EXPECT_EQ(double(joint.ulimit[2]), 1.5707969665527344);
    EXPECT_EQ(joint.llimit[1], -1.570797f);
    EXPECT_EQ(joint.stiffness[2], 0.1f);
    EXPECT_EQ(Segment().type, 1);
    EXPECT_EQ(Segment().bboxSize[2], 0.4f);
    EXPECT_EQ(Site().type, 2);
    EXPECT_EQ(Site().rotation[2], 1);

    Human human;
    EXPECT_EQ(human.version, "1.1");
    EXPECT_EQ(human.info, std::vector<QString>{QString()});
    EXPECT_EQ(human.bboxSize[0], -1);
}

TEST(Skeleton, PoseOperationsStopAtSegmentsButPassSites)
{
    Probe::Counts underJoint, underSegment, underSite;
    Joint joint;
    auto* segment = new Segment;
    auto* site = new Site;
    joint.addChild(new Probe(&underJoint));
    joint.addChild(segment);
    joint.addChild(site);
    segment->addChild(new Probe(&underSegment));
    site->addChild(new Probe(&underSite));

    visitAll(joint);

    EXPECT_EQ(underJoint.takes + underJoint.stores + underJoint.restores, 3);
    EXPECT_EQ(underSegment.takes, 1) << "a segment passes the angles on";
    EXPECT_EQ(underSegment.stores + underSegment.restores, 0) << "but not the poses";
    EXPECT_EQ(underSite.takes + underSite.stores + underSite.restores, 3);
}

TEST(Human, SetRootDeletesTheOldTreeAndViewpointsAreOwned)
{
    Probe::Counts old, kept;
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
    EXPECT_EQ(old.deleted, 1);
    EXPECT_EQ(human->root.get(), second);

    human->addViewpoint(new Viewpoint("Front", 0, 1, 5, 0, 1, 0, 0, 0.785398f));
    human->addViewpoint(new Viewpoint);
    EXPECT_EQ(human->viewpoints[0]->description, "Front");
    EXPECT_EQ(human->viewpoints[0]->id, -1);
    EXPECT_EQ(human->viewpoints[1]->position[2], 5);

    human->setRoot(nullptr);
    EXPECT_EQ(kept.deleted, 1);
    EXPECT_FALSE(human->root);
    human.reset(); // LeakSanitizer checks the viewpoints
}

#include "kinematics/iktree.h"

#include <gtest/gtest.h>

namespace {

ikJoint* addJoint(ikJoint* parent, const char* name)
{
    auto joint = std::make_unique<ikJoint>();
    joint->name = name;
    return parent->addChild(std::move(joint));
}

ikSite* addSite(ikJoint* parent, const char* name)
{
    auto site = std::make_unique<ikSite>();
    site->name = name;
    return parent->addSite(std::move(site));
}

} // namespace

TEST(IkNode, ErrorHistoryIsARingOf400)
{
    ikJoint node;
    for (int i = 0; i < 401; ++i)
        node.recordPositionError(i);
    EXPECT_EQ(node.posErrCount, 401);
    EXPECT_EQ(node.posErrors[0], 400);
    EXPECT_EQ(node.posErrors[399], 399);
    EXPECT_EQ(node.oriErrCount, 0);

    node.recordOrientationError(0.5);
    node.resetErrors();
    EXPECT_EQ(node.posErrCount, 0);
    EXPECT_EQ(node.oriErrCount, 0);
    EXPECT_EQ(node.oriErrors[0], 0.5);
    node.recordPositionError(-1);
    EXPECT_EQ(node.posErrors[0], -1);
    EXPECT_EQ(node.posErrors[1], 1);
}

TEST(IkJoint, FindByNameSearchesInPreOrderWithSitesBeforeChildren)
{
    ikJoint root;
    root.name = "root";
    ikJoint* a = addJoint(&root, "a");
    ikJoint* deep = addJoint(addJoint(a, "a1"), "twin");
    addJoint(&root, "twin");
    ikJoint* b = addJoint(&root, "b");
    addJoint(b, "tip");
    ikSite* site = addSite(b, "tip");

    EXPECT_EQ(root.findByName("root"), &root);
    EXPECT_EQ(root.findByName("twin"), deep);
    EXPECT_EQ(root.findByName("tip"), site);
    EXPECT_EQ(site->parent, b);
    EXPECT_EQ(root.findByName("Twin"), nullptr);
    EXPECT_EQ(root.findByName("nobody"), nullptr);
}

TEST(IkFrame, CloneIsAnIndependentDeepCopy)
{
    ikJoint root;
    root.name = "root";
    ikJoint* arm = addJoint(&root, "arm");
    arm->angles = ikVector(0.1, 0.2, 0.3);
    arm->stiffness = ikVector(0.5, 0, 1);
    arm->frame = ikMatrix().rotateX(0.3);
    arm->recordPositionError(0.25);
    addJoint(arm, "hand");
    addSite(arm, "tip");
    ikFrame frame;
    frame.root = &root;
    frame.world = ikMatrix().rotateY(1);

    const ikFrame copy = frame.clone();
    ASSERT_NE(copy.root, nullptr);
    EXPECT_NE(copy.root, &root);
    EXPECT_EQ(copy.world.m[8], frame.world.m[8]);
    auto* armCopy = static_cast<ikJoint*>(copy.root->findByName("arm"));
    ASSERT_NE(armCopy, arm);
    EXPECT_EQ(armCopy->parent, copy.root);
    EXPECT_EQ(armCopy->angles, arm->angles);
    EXPECT_EQ(armCopy->stiffness, arm->stiffness);
    EXPECT_EQ(armCopy->frame.m[5], arm->frame.m[5]);
    EXPECT_EQ(armCopy->posErrCount, 1);
    EXPECT_EQ(armCopy->posErrors[0], 0.25);
    ikNode* hand = copy.root->findByName("hand");
    ikNode* tip = copy.root->findByName("tip");
    EXPECT_EQ(hand->parent, armCopy);
    EXPECT_EQ(tip->parent, armCopy);
    EXPECT_NE(tip, root.findByName("tip"));

    armCopy->angles.x = 2;
    armCopy->children.clear();
    EXPECT_EQ(arm->angles.x, 0.1);
    EXPECT_EQ(arm->children.size(), 1u);
    EXPECT_EQ(arm->sites.size(), 1u);

    EXPECT_EQ(ikFrame().clone().root, nullptr);
}

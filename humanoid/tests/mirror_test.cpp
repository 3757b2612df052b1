#include "humanoid/human.h"
#include "kinematics/iktree.h"

#include <gtest/gtest.h>

namespace {

Joint* joint(const char* name, float x, float y, float z)
{
    auto* j = new Joint;
    j->name = name;
    j->center[0] = x;
    j->center[1] = y;
    j->center[2] = z;
    return j;
}

ikJoint* mirrorOf(Human& human, const char* name)
{
    return static_cast<ikJoint*>(human.ikRoot->findByName(name));
}

// A root with a hip and a knee, a wrist under the root with a stick joint, and joints hidden below
// a segment and a site.
struct Skeleton
{
    Skeleton()
    {
        root = joint("HumanoidRoot", 0, 0.9f, 0);
        root->translation[1] = -0.3f;
        root->translation[2] = 1.2f;
        hip = joint("l_hip", 0.1f, 0.9f, 0);
        hip->translation[0] = 5; // not part of a mirror below the root
        knee = joint("l_knee", 0.1f, 0.5f, 0.01f);
        auto* segment = new Segment;
        auto* site = new Site;
        underSegment = joint("under_segment", 1, 1, 1);
        underSite = joint("under_site", 2, 2, 2);
        root->addChild(segment);
        root->addChild(hip);
        root->addChild(site);
        hip->addChild(knee);
        segment->addChild(underSegment);
        site->addChild(underSite);
        human.setRoot(root);
        human.buildIkSkeleton();
    }
    Human human;
    Joint *root, *hip, *knee, *underSegment, *underSite;
};

} // namespace

TEST(Mirror, JointsAlongJointPathsAreMirroredWithTheirLimits)
{
    Skeleton s;
    ikJoint* root = s.human.ikRoot.get();
    ASSERT_TRUE(root);
    EXPECT_EQ(s.root->mirror, root);
    EXPECT_EQ(root->name, "HumanoidRoot");
    EXPECT_EQ(root->parent, nullptr);
    EXPECT_EQ(root->ulimit.x, 1.5707969665527344);
    EXPECT_EQ(root->llimit.z, -1.5707969665527344);
    EXPECT_EQ(root->stiffness.y, double(0.1f));
    ASSERT_EQ(root->children.size(), 1u) << "segments and sites get no mirror";
    EXPECT_EQ(root->children[0].get(), s.hip->mirror);
    EXPECT_EQ(s.hip->mirror->parent, root);
    EXPECT_EQ(s.knee->mirror->parent, s.hip->mirror);
    EXPECT_EQ(s.underSegment->mirror, nullptr);
    EXPECT_EQ(s.underSite->mirror, nullptr);
    EXPECT_EQ(root->findByName("under_site"), nullptr);
}

TEST(Mirror, RootSitsAtCentrePlusTranslationAndChildrenAtTheirCentres)
{
    Skeleton s;
    const ikJoint& root = *s.human.ikRoot;
    const double rootY = double(0.9f + -0.3f); // added in single precision
    EXPECT_DOUBLE_EQ(root.position.y, rootY);
    EXPECT_DOUBLE_EQ(root.position.z, double(1.2f));
    EXPECT_DOUBLE_EQ(root.offset.y, double(-0.3f));
    EXPECT_DOUBLE_EQ(root.frame.m[13], root.position.y) << "the frame stands at the position";
    EXPECT_DOUBLE_EQ(root.frame.m[0], 1);

    const ikJoint& hip = *s.hip->mirror;
    EXPECT_DOUBLE_EQ(hip.position.x, double(0.1f)) << "a child's translation is not added";
    EXPECT_DOUBLE_EQ(hip.offset.x, double(0.1f));
    EXPECT_DOUBLE_EQ(hip.offset.y, double(0.9f) - rootY);
    EXPECT_DOUBLE_EQ(hip.offset.z, -double(1.2f));
    const ikJoint& knee = *s.knee->mirror;
    EXPECT_DOUBLE_EQ(knee.offset.y, double(0.5f) - double(0.9f));
    EXPECT_DOUBLE_EQ(knee.frame.m[14], double(0.01f));
    EXPECT_EQ(knee.angles, ikVector(0, 0, 0));
}

TEST(Mirror, SolvedAnglesComeBackInDegrees)
{
    Skeleton s;
    s.knee->rotation[3] = 42;
    s.underSite->rotation[0] = 7;
    s.knee->mirror->angles = ikVector(3.141592653589793 / 2, -0.5, 0.25);
    s.human.takeIkAngles();
    EXPECT_FLOAT_EQ(s.knee->rotation[0], 90);
    EXPECT_FLOAT_EQ(s.knee->rotation[1], float(-0.5 * 180 / 3.1415927410125732));
    EXPECT_FLOAT_EQ(s.knee->rotation[2], float(0.25 * 180 / 3.1415927410125732));
    EXPECT_EQ(s.knee->rotation[3], 42) << "the fourth value is left alone";
    EXPECT_EQ(s.underSite->rotation[0], 7) << "a joint without mirror keeps its rotation";
}

TEST(Mirror, PosesAreStoredAndRestored)
{
    Skeleton s;
    ikJoint& hip = *s.hip->mirror;
    hip.angles = ikVector(0.1, 0.2, 0.3);
    hip.position = ikPoint(1, 2, 3);
    s.human.restorePose();
    EXPECT_EQ(hip.angles, ikVector(0, 0, 0)) << "before any store: a default joint's pose";
    EXPECT_EQ(hip.position.x, 0);
    EXPECT_EQ(hip.frame.m[12], 0);
    EXPECT_EQ(hip.frame.m[0], 1);

    hip.angles = ikVector(0.1, 0.2, 0.3);
    hip.frame = hip.frame.rotateX(0.5).withTranslation(ikPoint(4, 5, 6));
    hip.position = ikPoint(4, 5, 6);
    s.human.storePose();
    hip.angles = ikVector(-1, -1, -1);
    hip.frame = ikMatrix();
    hip.position = ikPoint();
    s.hip->restorePose();
    EXPECT_EQ(hip.angles, ikVector(0.1, 0.2, 0.3));
    EXPECT_DOUBLE_EQ(hip.frame.m[13], 5);
    EXPECT_DOUBLE_EQ(hip.frame.m[5], std::cos(0.5));
    EXPECT_DOUBLE_EQ(hip.position.z, 6);
}

TEST(Mirror, PoseOperationsStopAtSegmentsButCrossSites)
{
    Human human;
    Joint* root = joint("root", 0, 0, 0);
    auto* segment = new Segment;
    auto* site = new Site;
    Joint* belowSegment = joint("a", 0, 0, 0);
    Joint* belowSite = joint("b", 0, 0, 0);
    root->addChild(segment);
    root->addChild(site);
    segment->addChild(belowSegment);
    site->addChild(belowSite);
    human.setRoot(root);
    human.buildIkSkeleton();
    // Mirrors of joints that the builder cannot reach, as another tree would give them.
    ikJoint segmentMirror, siteMirror;
    belowSegment->mirror = &segmentMirror;
    belowSite->mirror = &siteMirror;
    segmentMirror.angles = siteMirror.angles = ikVector(1, 1, 1);
    human.storePose();
    segmentMirror.angles = siteMirror.angles = ikVector(2, 2, 2);
    human.restorePose();
    EXPECT_EQ(siteMirror.angles, ikVector(1, 1, 1));
    EXPECT_EQ(segmentMirror.angles, ikVector(2, 2, 2));
    human.takeIkAngles();
    EXPECT_FLOAT_EQ(belowSegment->rotation[0], float(2 * 180 / 3.1415927410125732))
        << "angles pass through segments";
    belowSegment->mirror = belowSite->mirror = nullptr;
}

TEST(Mirror, RebuildingReplacesTheTreeAndNoRootBuildsNone)
{
    Skeleton s;
    ikJoint* first = s.human.ikRoot.get();
    s.human.buildIkSkeleton();
    EXPECT_NE(s.human.ikRoot.get(), first);
    EXPECT_EQ(s.hip->mirror, mirrorOf(s.human, "l_hip"));

    Human empty;
    empty.buildIkSkeleton();
    EXPECT_FALSE(empty.ikRoot);
    empty.storePose();
    empty.restorePose();
}

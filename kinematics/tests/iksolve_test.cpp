#include "kinematics/iksolve.h"
#include "kinematics/tests/humanoidtree.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

std::string names(const ikChain& chain)
{
    QStringList result;
    for (const ikJoint* joint : chain.joints)
        result << joint->name;
    return result.join(' ').toStdString();
}

void forEachJoint(ikJoint* joint, const std::function<void(ikJoint*)>& visit)
{
    visit(joint);
    for (const auto& child : joint->children)
        forEachJoint(child.get(), visit);
}

// Frames and positions of the whole tree, to compare bit for bit.
std::vector<double> snapshot(ikJoint* root)
{
    std::vector<double> values;
    forEachJoint(root, [&](ikJoint* joint) {
        values.insert(values.end(), joint->frame.m, joint->frame.m + 16);
        values.insert(values.end(), {joint->position.x, joint->position.y, joint->position.z});
    });
    return values;
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

void expectWithinLimits(ikJoint* root)
{
    forEachJoint(root, [](ikJoint* joint) {
        for (auto c : {&ikVector::x, &ikVector::y, &ikVector::z}) {
            EXPECT_LE(joint->angles.*c, joint->ulimit.*c) << joint->name.toStdString();
            EXPECT_GE(joint->angles.*c, joint->llimit.*c) << joint->name.toStdString();
        }
    });
}

ikDestination at(const ikPoint& p)
{
    ikDestination destination;
    destination.position = p;
    return destination;
}

// Under a fixed mount: a base that turns about every axis, a shoulder, an elbow and a wrist, with
// a tip joint as the effector; every joint limited to about a quarter turn either way.
struct Arm
{
    Arm()
    {
        root.name = "mount";
        ikJoint* parent = &root;
        const char* jointNames[] = {"base", "shoulder", "elbow", "wrist", "tip"};
        const double lengths[] = {0, 0.1, 0.3, 0.25, 0.1};
        for (int i = 0; i < 5; ++i) {
            auto joint = std::make_unique<ikJoint>();
            joint->name = jointNames[i];
            joint->offset = ikVector(0, -lengths[i], 0);
            joint->ulimit = ikVector(1.5, 1.5, 1.5);
            joint->llimit = ikVector(-1.5, -1.5, -1.5);
            parent = parent->addChild(std::move(joint));
        }
        tip = parent;
        frame.root = &root;
        refresh();
    }
    void refresh() { ikIteration(&root, &root, &root, ikDestination(), frame.world); }
    ikJoint* joint(const char* name) { return static_cast<ikJoint*>(root.findByName(name)); }

    ikJoint root;
    ikJoint* tip;
    ikFrame frame;
};

} // namespace

TEST(IkChain, RunsFromNextToTheEffectorToTheBase)
{
    struct Case
    {
        const char* effector;
        const char* base;
        const char* joints;
        int turn;
    };
    const Case cases[] = {
        {"r_stick", "r_shoulder", "r_wrist r_elbow r_shoulder", 4},
        {"r_stick", "r_wrist", "r_wrist", 2},
        {"r_shoulder", "r_wrist", "r_elbow r_wrist", -1},
        {"r_wrist", "r_wrist", "", -1},
        {"r_stick", "sacroiliac",
         "r_wrist r_elbow r_shoulder r_sternoclavicular vc4 vt1 vt6 vt10 vl1 vl5 HumanoidRoot "
         "sacroiliac",
         10},
        // The spine that both paths share above their common ancestor is cut away, wherever the
        // paths part: below the effector's grandparent or parent, or below the base's parent.
        {"l_stick", "r_shoulder",
         "l_wrist l_elbow l_shoulder l_sternoclavicular vc4 r_sternoclavicular r_shoulder", 4},
        {"r_shoulder", "l_shoulder", "r_sternoclavicular vc4 l_sternoclavicular l_shoulder", 1},
        {"r_sternoclavicular", "l_shoulder", "vc4 l_sternoclavicular l_shoulder", 0},
        {"l_shoulder", "r_sternoclavicular", "l_sternoclavicular vc4 r_sternoclavicular", 1},
        {"vl5", "l_hip", "HumanoidRoot sacroiliac l_hip", 0},
    };
    HumanoidTree human;
    for (const Case& c : cases) {
        const ikChain chain(human.joint(c.effector), human.joint(c.base), human.root.get());
        EXPECT_EQ(names(chain), c.joints) << c.effector << " to " << c.base;
        EXPECT_EQ(chain.turn, c.turn) << c.effector << " to " << c.base;
    }
}

TEST(IkSolveDeathTest, ANodeOutsideTheTreeEndsTheProgramAsAFailure)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    HumanoidTree human;
    ikJoint stranger;
    EXPECT_EXIT(human.frame.solve(&stranger, human.joint("r_shoulder"), at(ikPoint()), 0.05, 0.3),
                testing::ExitedWithCode(1), "");
    EXPECT_EXIT(human.frame.solve(human.joint("r_stick"), nullptr, at(ikPoint()), 0.05, 0.3),
                testing::ExitedWithCode(1), "");
}

TEST(IkSolve, WithoutGoalsOneSweepChangesNothingButOutOfLimitAngles)
{
    HumanoidTree human;
    ikJoint* elbow = human.joint("r_elbow");
    elbow->angles = ikVector(0.2, 2.0, -0.3);
    human.joint("r_wrist")->angles = ikVector(0.1, 0.1, 0.1);
    ikJoint* stick = human.joint("r_stick");
    human.frame.solve(stick, human.joint("r_shoulder"), ikDestination(), 0.05, 0.3);
    EXPECT_EQ(stick->posErrCount, 0);
    EXPECT_EQ(stick->oriErrCount, 0);
    EXPECT_EQ(elbow->angles, ikVector(0.2, 1.570797, -0.3));
    EXPECT_EQ(human.joint("r_wrist")->angles, ikVector(0.1, 0.1, 0.1));
    EXPECT_EQ(human.joint("r_shoulder")->angles, ikVector());
}

TEST(IkSolve, AnUnreachableGoalTakesTwelveSweepsAndRecordsEach)
{
    HumanoidTree human;
    ikJoint* stick = human.joint("r_stick");
    const ikPoint far(5, 1, 5);
    human.frame.solve(stick, human.joint("r_shoulder"), at(far), 0.05, 0.3);
    ASSERT_EQ(stick->posErrCount, 12);
    for (int k = 0; k < 12; ++k)
        EXPECT_GT(stick->posErrors[k], 4) << k;
    EXPECT_EQ(stick->posErrors[11], stick->position.distance(far));
    EXPECT_LT(stick->posErrors[11], stick->posErrors[0]);
}

TEST(IkSolve, AnErrorEqualToTheToleranceCountsAsReached)
{
    const ikDestination goal = at(ikPoint(0.4, 1.2, -0.4));
    HumanoidTree probe;
    ikJoint* stick = probe.joint("r_stick");
    probe.frame.solve(stick, probe.joint("r_shoulder"), goal, 0, 0.3);
    ASSERT_GT(stick->posErrCount, 1);
    const double firstError = stick->posErrors[0];

    HumanoidTree human;
    stick = human.joint("r_stick");
    human.frame.solve(stick, human.joint("r_shoulder"), goal, firstError, 0.3);
    EXPECT_EQ(stick->posErrCount, 1);
}

TEST(IkSolve, ReversedJointsTurnTheWorldAndTheTreeStaysConsistent)
{
    HumanoidTree human;
    ikJoint* stick = human.joint("r_stick");
    const ikMatrix before = human.frame.world;
    const ikPoint goal(0.1, 1.0, -0.6);
    human.frame.solve(stick, human.joint("sacroiliac"), at(goal), 0.05, 0.3);
    EXPECT_NE(std::memcmp(before.m, human.frame.world.m, sizeof before.m), 0);
    EXPECT_NE(human.joint("sacroiliac")->angles, ikVector());
    EXPECT_EQ(human.root->angles, ikVector(0, ikPi, 0));
    EXPECT_LE(stick->position.distance(goal), 0.05);

    const std::vector<double> solved = snapshot(human.root.get());
    ikIteration recompute(human.root.get(), stick, stick, ikDestination(), human.frame.world);
    EXPECT_TRUE(sameBits(snapshot(human.root.get()), solved));
}

TEST(IkSolve, FramesHangFromTheParentsTurnedFrameAtTheOffset)
{
    HumanoidTree human;
    std::mt19937 random(2);
    std::uniform_real_distribution<double> angle(-1.5, 1.5);
    forEachJoint(human.root.get(), [&](ikJoint* joint) {
        if (joint != human.root.get())
            joint->angles = ikVector(angle(random), angle(random), angle(random));
    });
    const ikMatrix world =
        ikMatrix().rotateEuler(ikVector(0.3, 2, -0.1)).withTranslation(ikPoint(1, 2, 3));
    ikIteration run(human.root.get(), human.root.get(), human.root.get(), ikDestination(), world);
    // From the root's children as from the root: the root's own angles are never applied.
    run.propagate(human.joint("sacroiliac"), false);
    run.propagate(human.joint("vl5"), false);

    const ikMatrix rootFrame = world.transform(human.root->offset);
    EXPECT_EQ(std::memcmp(human.root->frame.m, rootFrame.m, sizeof rootFrame.m), 0);
    forEachJoint(human.root.get(), [&](ikJoint* joint) {
        const ikJoint* parent = joint->parent;
        if (!parent)
            return;
        const ikMatrix hanging =
            parent == human.root.get() ? parent->frame : parent->frame.rotateEuler(parent->angles);
        const ikMatrix expected = hanging.transform(joint->offset);
        EXPECT_EQ(std::memcmp(joint->frame.m, expected.m, sizeof expected.m), 0)
            << joint->name.toStdString();
        EXPECT_EQ(joint->position.x, expected.m[12]);
        EXPECT_EQ(joint->position.z, expected.m[14]);
    });
}

TEST(IkSolve, LimitsHoldAndZeroStiffnessBlocks)
{
    HumanoidTree human;
    ikJoint* elbow = human.joint("r_elbow");
    ikJoint* wrist = human.joint("r_wrist");
    elbow->angles = ikVector(0.4, 0.3, 0.2);
    elbow->stiffness = ikVector(0, 0, 0);
    wrist->stiffness.y = 0;
    ikJoint* stick = human.joint("r_stick");
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(-1, 1);
    for (int i = 0; i < 40; ++i) {
        const ikPoint goal(coordinate(random), 1 + coordinate(random), coordinate(random));
        human.frame.solve(stick, human.joint("sacroiliac"), at(goal), 0.05, 0.3);
        expectWithinLimits(human.root.get());
        EXPECT_EQ(elbow->angles, ikVector(0.4, 0.3, 0.2));
        EXPECT_EQ(wrist->angles.y, 0);
    }
}

TEST(IkSolve, HalfStiffnessHalvesTheStep)
{
    double firstSteps[2];
    const double stiffness[2] = {1, 0.5};
    for (int i = 0; i < 2; ++i) {
        HumanoidTree human;
        ikJoint* shoulder = human.joint("r_shoulder");
        shoulder->stiffness = ikVector(stiffness[i], stiffness[i], stiffness[i]);
        ikIteration run(human.root.get(), human.joint("r_elbow"), shoulder,
                        at(ikPoint(0.6, 1.4, 0)), human.frame.world);
        run.iterate();
        firstSteps[i] = shoulder->angles.z;
    }
    ASSERT_NE(firstSteps[0], 0);
    EXPECT_EQ(firstSteps[1], firstSteps[0] * 0.5);
}

TEST(IkSolve, ReachesAnOrientation)
{
    Arm arm;
    ikDestination goal;
    goal.orientation = ikVector(0.4, -0.3, 0.2);
    arm.frame.solve(arm.tip, arm.joint("base"), goal, 0.05, 0.001);
    EXPECT_LE(arm.tip->oriErrors[arm.tip->oriErrCount - 1], 0.001);
    const ikMatrix wanted = ikMatrix().rotateEuler(*goal.orientation);
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10})
        EXPECT_NEAR(arm.tip->frame.m[i], wanted.m[i], 0.05) << i;
}

TEST(IkSolve, WithTheEffectorAboveTheBaseTheTreeTurnsAboutTheBase)
{
    Arm arm;
    ikJoint* shoulder = arm.joint("shoulder");
    const ikPoint tip = arm.tip->position;
    // The shoulder swung a little about the tip: reachable by turning the joints below it.
    const ikVector arm2 = ikVector(tip, shoulder->position);
    const ikPoint goal(tip.x + arm2.x * std::cos(0.3) - arm2.y * std::sin(0.3),
                       tip.y + arm2.x * std::sin(0.3) + arm2.y * std::cos(0.3), tip.z + arm2.z);
    const double before = shoulder->position.distance(goal);
    arm.frame.solve(shoulder, arm.tip, at(goal), 0.01, 0.3);
    EXPECT_LT(shoulder->position.distance(goal), before / 10);
    EXPECT_LT(arm.tip->position.distance(tip), 1e-9);
}

// With one free axis the step is the best turn for that axis alone: position weighed by
// (1 + ratio of the lengths) · 4.25 against the orientation's 1.
TEST(IkSolve, AFreeAxisTurnsToTheBestBalanceOfPositionAndOrientation)
{
    Arm arm;
    ikJoint* wrist = arm.joint("wrist");
    wrist->stiffness = ikVector(0, 0, 1);
    ikDestination goal = at(ikPoint(0.3, -0.5, 0.1));
    goal.orientation = ikVector(0, 0, -1.2);
    {
        ikIteration run(&arm.root, arm.tip, wrist, goal, arm.frame.world);
        run.iterate();
    }
    const double best = wrist->angles.z;
    auto balance = [&](double z) {
        wrist->angles.z = z;
        arm.refresh();
        const ikVector ve(wrist->position, arm.tip->position);
        const ikVector vt(wrist->position, *goal.position);
        const double ratio =
            std::min(ve.length(), vt.length()) / std::max(ve.length(), vt.length());
        const ikMatrix target = ikMatrix().rotateEuler(*goal.orientation);
        double agreement = 0;
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < 3; ++r)
                agreement += arm.tip->frame.m[4 * c + r] * target.m[4 * c + r];
        return (1 + ratio) * 4.25 * ve.dot(vt) + agreement;
    };
    ASSERT_GT(std::fabs(best), 0.05);
    EXPECT_GT(balance(best), balance(best + 0.01));
    EXPECT_GT(balance(best), balance(best - 0.01));
}

TEST(IkSolve, RandomReachableGoalsOfALimitedArm)
{
    Arm arm;
    std::mt19937 random(1);
    std::uniform_real_distribution<double> angle(-1.2, 1.2);
    auto randomPose = [&] {
        forEachJoint(&arm.root, [&](ikJoint* joint) {
            joint->angles = ikVector(angle(random), angle(random), angle(random));
        });
        arm.refresh();
    };
    const int trials = 300;
    int reached = 0;
    for (int i = 0; i < trials; ++i) {
        randomPose();
        const ikPoint goal = arm.tip->position;
        randomPose();
        arm.frame.solve(arm.tip, arm.joint("base"), at(goal), 0.02, 0.3);
        reached += arm.tip->position.distance(goal) <= 0.02;
        expectWithinLimits(&arm.root);
    }
    EXPECT_GE(reached, trials * 8 / 10);
}

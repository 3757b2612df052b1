#include "scene/node.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// Records the order in which nodes are destroyed.
struct TracedNode : Node
{
    TracedNode(const char* name, int id, std::vector<QString>* log) : Node(name, 0, id), log(log) {}
    ~TracedNode() override { log->push_back(name); }
    std::vector<QString>* log;
};

struct Tree
{
    std::vector<QString> destroyed;
    TracedNode* make(const char* name, int id) { return new TracedNode(name, id, &destroyed); }
};

} // namespace

TEST(Node, RemoveChildWithUnknownIdChangesNothing)
{
    Tree t;
    auto root = std::unique_ptr<Node>(t.make("root", 0));
    Node* a = t.make("A", 1);
    root->addChild(a);
    a->addChild(t.make("G", 2));
    root->removeChild(9);
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(a->children.size(), 1u);
    EXPECT_TRUE(t.destroyed.empty());
}

TEST(Node, RemoveChildSearchesEarlierSubtreesFirstAndUnlinksOnePerLevel)
{
    Tree t;
    auto root = std::unique_ptr<Node>(t.make("root", 0));
    Node* a = t.make("A", 1);
    Node* g = t.make("G", 5);
    Node* d = t.make("D", 5);
    root->addChild(a);
    a->addChild(g);
    root->addChild(d);

    root->removeChild(5);

    EXPECT_TRUE(a->children.empty());
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(root->children[0], a);
    EXPECT_TRUE(t.destroyed.empty()) << "unlinked nodes belong to the caller";
    delete g;
    delete d;
}

TEST(Node, RemoveChildDoesNotSearchBelowTheMatchOrPastIt)
{
    Tree t;
    auto root = std::unique_ptr<Node>(t.make("root", 0));
    Node* d = t.make("D", 5);
    Node* e = t.make("E", 5);
    Node* f = t.make("F", 5);
    root->addChild(d);
    d->addChild(e);
    root->addChild(f);

    root->removeChild(5);

    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(root->children[0], f);
    ASSERT_EQ(d->children.size(), 1u);
    EXPECT_EQ(d->children[0], e);
    delete d;
}

TEST(Node, FindPrefersSelfThenPreOrder)
{
    Node root("x", 0, 0);
    auto* first = new Node("a", 0, 1);
    auto* deep = new Node("x2", 0, 2);
    auto* deeper = new Node("target", 0, 3);
    auto* second = new Node("target", 0, 4);
    root.addChild(first);
    first->addChild(deep);
    deep->addChild(deeper);
    root.addChild(second);
    first->addChild(new Node("x", 0, 5));

    EXPECT_EQ(root.find("x"), &root);
    EXPECT_EQ(root.find("target"), deeper);
    EXPECT_EQ(root.find("Target"), nullptr);
    EXPECT_EQ(root.find("missing"), nullptr);
}

TEST(Node, FindEmptyNameReturnsFirstUnnamedNode)
{
    Node root("root", 0, 0);
    auto* named = new Node("seg", 1, 0);
    auto* unnamed = new Node("", 1, 0);
    root.addChild(named);
    named->addChild(unnamed);
    root.addChild(new Node("", 1, 0));
    EXPECT_EQ(root.find(""), unnamed);
}

TEST(Node, DeletingRootDeletesEachNodeOnceInListOrder)
{
    Tree t;
    Node* root = t.make("root", 0);
    Node* a = t.make("A", 1);
    a->addChild(t.make("A1", 2));
    a->addChild(t.make("A2", 3));
    root->addChild(a);
    root->addChild(t.make("B", 4));
    delete root;
    EXPECT_EQ(t.destroyed, (std::vector<QString>{"root", "A", "A1", "A2", "B"}));
}

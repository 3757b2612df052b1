#pragma once

#include <GL/gl.h>
#include <QString>
#include <vector>

// Base of every tree of the scene: drums, the joints, segments and sites of the skeleton, and
// viewpoints. A node owns its children; there is no link back to the parent.
class Node
{
public:
    Node();
    Node(const char* name, int type, int id);
    Node(const QString& name, int type, int id);
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    virtual ~Node();

    // A kit tree draws with the drum bodies' display lists, a skeleton tree without.
    virtual void drawWithLists(bool bbox, bool hits, bool relate, GLuint listBase);
    virtual void draw(bool bbox, bool hits, bool relate);
    virtual void takeIkAngles();
    virtual void restorePose();
    virtual void storePose();

    // Takes ownership of child.
    void addChild(Node* child);
    // Unlinks (without deleting) the first matching child at each level of a depth-first walk;
    // the caller owns what was unlinked.
    void removeChild(int id);
    // The first node in pre-order, this one included, with exactly this name; null if none.
    Node* find(const QString& name);

    QString name;
    std::vector<Node*> children;
    int type = 0;
    int id = 0;
};

#include "scene/node.h"

Node::Node() = default;

Node::Node(const char* name, int type, int id)
    : name(QString::fromLocal8Bit(name)), type(type), id(id)
{
}

Node::Node(const QString& name, int type, int id) : name(name), type(type), id(id) {}

Node::~Node()
{
    for (Node* child : children)
        delete child;
    children.clear();
}

void Node::drawWithLists(bool, bool, bool, GLuint) {}

void Node::draw(bool, bool, bool) {}

void Node::takeIkAngles() {}

void Node::restorePose() {}

void Node::storePose() {}

void Node::addChild(Node* child)
{
    children.push_back(child);
}

void Node::removeChild(int childId)
{
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i]->id == childId) {
            children.erase(children.begin() + i);
            return;
        }
        children[i]->removeChild(childId);
    }
}

Node* Node::find(const QString& wanted)
{
    if (name == wanted)
        return this;
    for (Node* child : children)
        if (Node* found = child->find(wanted))
            return found;
    return nullptr;
}

#include "kinematics/iktree.h"

void ikNode::resetErrors()
{
    posErrCount = 0;
    oriErrCount = 0;
}

void ikNode::recordPositionError(double e)
{
    posErrors[posErrCount % historySize] = e;
    ++posErrCount;
}

void ikNode::recordOrientationError(double e)
{
    oriErrors[oriErrCount % historySize] = e;
    ++oriErrCount;
}

std::unique_ptr<ikSite> ikSite::clone() const
{
    return std::make_unique<ikSite>(*this);
}

ikJoint* ikJoint::addChild(std::unique_ptr<ikJoint> child)
{
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

ikSite* ikJoint::addSite(std::unique_ptr<ikSite> site)
{
    site->parent = this;
    sites.push_back(std::move(site));
    return sites.back().get();
}

std::unique_ptr<ikJoint> ikJoint::cloneUnder(ikJoint* parent) const
{
    auto copy = std::make_unique<ikJoint>();
    copy->ikNode::operator=(*this);
    copy->parent = parent;
    copy->angles = angles;
    copy->ulimit = ulimit;
    copy->llimit = llimit;
    copy->stiffness = stiffness;
    copy->turned = turned;
    copy->trig = trig;
    copy->stale = stale;
    for (const auto& site : sites)
        copy->addSite(site->clone());
    for (const auto& child : children)
        copy->children.push_back(child->cloneUnder(copy.get()));
    return copy;
}

ikNode* ikJoint::findByName(const QString& name)
{
    if (this->name == name)
        return this;
    for (const auto& site : sites)
        if (site->name == name)
            return site.get();
    for (const auto& child : children)
        if (ikNode* found = child->findByName(name))
            return found;
    return nullptr;
}

ikFrame ikFrame::clone() const
{
    ikFrame copy;
    if (root) {
        copy.ownedTree = root->cloneUnder(nullptr);
        copy.root = copy.ownedTree.get();
    }
    copy.world = world;
    return copy;
}

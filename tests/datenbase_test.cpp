// Ownership and connection rules of data-tree nodes.
#include "host/app/log.h"
#include "host/tree/datenbase.h"

#include <gtest/gtest.h>

namespace {

// A node that counts its live instances, so a test sees exactly which nodes
// a tree operation deleted.
class Probe : public DatenBase {
public:
    explicit Probe(int* live, const QString& name = QStringLiteral("Probe_"), int v = 1)
        : DatenBase(v, v + 1, v + 2, v + 3), m_live(live), m_name(name) {
        ++*m_live;
    }
    ~Probe() override { --*m_live; }
    QString className() const override { return m_name; }
    DatenBase* build() const override { return new Probe(m_live, m_name); }

    // A slot that is a member, as the form nodes keep them.
    DatenBase* member = nullptr;

    Probe& operator=(const Probe& o) {
        DatenBase::operator=(o);
        return *this;
    }

private:
    int* m_live;
    QString m_name;
};

// A parent whose member slot must be nulled while it is still alive.
class MemberParent : public Probe {
public:
    using Probe::Probe;
    ~MemberParent() override { KillChilds(); }
};

TEST(DatenBase, ParentDeletesOwnedSubtreeButNotReferences) {
    int live = 0;
    Probe* referenced = nullptr;
    {
        auto* root = new Probe(&live);
        auto* kind = new Probe(&live);
        auto* enkel = new Probe(&live);
        referenced = new Probe(&live);
        root->setChildSlot(0, kind);
        kind->setChildSlot(3, enkel);
        root->setChildSlot(1, referenced, Besitzer_Reference);

        EXPECT_EQ(kind->parent(), root);
        EXPECT_EQ(kind->slot(), root->childSlotAddress(0));
        EXPECT_EQ(kind->slotIndex(), 0);
        EXPECT_EQ(kind->owner(), Besitzer_Owner);
        EXPECT_EQ(enkel->parent(), kind);
        EXPECT_EQ(enkel->slotIndex(), 3);
        EXPECT_EQ(referenced->owner(), Besitzer_Reference);
        EXPECT_EQ(root->childCount(), 2);
        EXPECT_EQ(live, 4);
        delete root;
    }
    // Root, child and grandchild are gone; the referenced node survives, unattached.
    EXPECT_EQ(live, 1);
    EXPECT_EQ(referenced->parent(), nullptr);
    EXPECT_EQ(referenced->slot(), nullptr);
    EXPECT_EQ(referenced->owner(), Besitzer_None);
    delete referenced;
    EXPECT_EQ(live, 0);
}

TEST(DatenBase, ChildDeletedFirstLeavesItsParent) {
    int live = 0;
    auto* root = new Probe(&live);
    auto* a = new Probe(&live);
    auto* b = new Probe(&live);
    root->setChildSlot(0, a);
    root->setChildSlot(1, b, Besitzer_Reference);

    delete a;
    EXPECT_EQ(root->childSlot(0), nullptr);
    EXPECT_EQ(root->childCount(), 1);
    delete b;
    EXPECT_EQ(root->childSlot(1), nullptr);
    EXPECT_EQ(root->childCount(), 0);

    delete root;  // must not touch the deleted children again
    EXPECT_EQ(live, 0);
}

TEST(DatenBase, ReplacingTheNodeInASlot) {
    int live = 0;
    Probe root(&live);
    DatenBase** slot = &root.member;

    // An owned occupant is deleted when another node takes its slot.
    auto* first = new Probe(&live);
    DatenBase::SetConnectionWithClear(first, &root, slot, 1, Besitzer_Owner);
    auto* second = new Probe(&live);
    DatenBase::SetConnectionWithClear(second, &root, slot, 1, Besitzer_Owner);
    EXPECT_EQ(live, 2);  // root + second
    EXPECT_EQ(root.member, second);
    EXPECT_EQ(root.childCount(), 1);

    // A referenced occupant is only let go.
    auto* third = new Probe(&live);
    auto* fourth = new Probe(&live);
    DatenBase::SetConnectionWithClear(third, &root, slot, 1, Besitzer_Reference);
    EXPECT_EQ(live, 3);  // second was owned and is gone
    DatenBase::SetConnectionWithClear(fourth, &root, slot, 1, Besitzer_Owner);
    EXPECT_EQ(live, 3);
    EXPECT_EQ(third->parent(), nullptr);
    EXPECT_EQ(root.member, fourth);
    EXPECT_EQ(root.children(), QList<DatenBase*>{fourth});
    delete third;

    // Connecting the occupant again keeps it and takes the new index and ownership.
    DatenBase::SetConnectionWithClear(fourth, &root, slot, 7, Besitzer_Reference);
    EXPECT_EQ(live, 2);
    EXPECT_EQ(root.member, fourth);
    EXPECT_EQ(fourth->slotIndex(), 7);
    EXPECT_EQ(fourth->owner(), Besitzer_Reference);
    EXPECT_EQ(root.childCount(), 1);

    // A null node clears the slot; the referenced occupant stays alive.
    DatenBase::SetConnectionWithClear(nullptr, &root, slot, 7, Besitzer_Owner);
    EXPECT_EQ(root.member, nullptr);
    EXPECT_EQ(root.childCount(), 0);
    EXPECT_EQ(live, 2);
    delete fourth;

    // A null node on an owned occupant deletes it.
    root.setChildSlot(0, new Probe(&live));
    root.setChildSlot(0, nullptr);
    EXPECT_EQ(live, 1);
    EXPECT_EQ(root.childSlot(0), nullptr);
}

TEST(DatenBase, NullSlotAndNullParent) {
    int live = 0;
    Probe root(&live);
    auto* n = new Probe(&live);

    DatenBase::SetConnectionWithClear(n, &root, nullptr, 0, Besitzer_Owner);
    EXPECT_EQ(n->parent(), nullptr);
    EXPECT_EQ(root.childCount(), 0);

    // Without a parent the node is only stored; whoever stored it owns it.
    DatenBase* cell = nullptr;
    DatenBase::SetConnectionWithClear(n, nullptr, &cell, 0, Besitzer_Owner);
    EXPECT_EQ(cell, n);
    EXPECT_EQ(n->parent(), nullptr);
    EXPECT_EQ(n->slot(), nullptr);
    delete n;
    EXPECT_EQ(live, 1);
}

TEST(DatenBase, MovingANodeBetweenParents) {
    int live = 0;
    auto* alt = new Probe(&live);
    auto* neu = new Probe(&live);
    auto* n = new Probe(&live);
    alt->setChildSlot(0, n);
    neu->setChildSlot(2, n);

    EXPECT_EQ(alt->childSlot(0), nullptr);
    EXPECT_EQ(alt->childCount(), 0);
    EXPECT_EQ(n->parent(), neu);
    EXPECT_EQ(n->slotIndex(), 2);
    delete alt;
    EXPECT_EQ(live, 2);  // n now belongs to its new parent
    delete neu;
    EXPECT_EQ(live, 0);
}

TEST(DatenBase, NodeTakesTheSlotOfItsOwnAncestor) {
    // The occupant is deleted, but the incoming node is one of its children
    // and has to survive that.
    int live = 0;
    Probe root(&live);
    auto* occupant = new Probe(&live);
    auto* inner = new Probe(&live);
    root.setChildSlot(0, occupant);
    occupant->setChildSlot(0, inner);

    root.setChildSlot(0, inner);
    EXPECT_EQ(live, 2);
    EXPECT_EQ(root.childSlot(0), inner);
    EXPECT_EQ(inner->parent(), &root);
}

TEST(DatenBase, CyclesAreRefused) {
    rsLog::clear();
    int live = 0;
    auto* root = new Probe(&live);
    auto* kind = new Probe(&live);
    root->setChildSlot(0, kind);

    kind->setChildSlot(0, root);
    EXPECT_EQ(root->parent(), nullptr);
    EXPECT_EQ(kind->childCount(), 0);
    kind->setChildSlot(1, kind);
    EXPECT_EQ(kind->childCount(), 0);
    EXPECT_EQ(rsLog::assertTexts().size(), 2);

    delete root;
    EXPECT_EQ(live, 0);
}

TEST(DatenBase, KillChildsAndDetach) {
    int live = 0;
    auto* parent = new MemberParent(&live);
    auto* owned = new Probe(&live);
    auto* ref = new Probe(&live);
    DatenBase::SetConnectionWithClear(owned, parent, &parent->member, 0, Besitzer_Owner);
    parent->setChildSlot(0, ref, Besitzer_Reference);

    parent->KillChilds();
    EXPECT_EQ(parent->member, nullptr);
    EXPECT_EQ(parent->childSlot(0), nullptr);
    EXPECT_EQ(parent->childCount(), 0);
    EXPECT_EQ(live, 2);  // parent + ref
    EXPECT_EQ(ref->parent(), nullptr);

    // detach() hands an owned child back to the caller.
    auto* frei = new Probe(&live);
    DatenBase::SetConnectionWithClear(frei, parent, &parent->member, 0, Besitzer_Owner);
    frei->detach();
    EXPECT_EQ(parent->member, nullptr);
    delete parent;
    EXPECT_EQ(live, 2);  // ref + frei
    delete frei;
    delete ref;
}

TEST(DatenBase, GenericSlotsKeepTheirAddresses) {
    int live = 0;
    Probe root(&live);
    DatenBase** first = root.childSlotAddress(0);
    auto* n = new Probe(&live);
    DatenBase::SetConnectionWithClear(n, &root, first, 0, Besitzer_Owner);
    EXPECT_EQ(root.childSlotAddress(500), root.childSlotAddress(500));
    EXPECT_EQ(root.childSlotCount(), 501);
    EXPECT_EQ(root.childSlotAddress(0), first);
    EXPECT_EQ(root.childSlot(0), n);
    EXPECT_EQ(root.childSlotAddress(-1), nullptr);
    delete n;  // detaching writes through the remembered address
    EXPECT_EQ(root.childSlot(0), nullptr);
}

TEST(DatenBase, FindChildByClassAndIndex) {
    int live = 0;
    Probe root(&live);
    for (int i = 1; i <= 3; ++i) root.setChildSlot(i, new Probe(&live, QStringLiteral("Ausw002_")));
    root.setChildSlot(9, new Probe(&live, QStringLiteral("Ana002_")));

    ASSERT_NE(root.findChild(QStringLiteral("Ausw002_"), 3), nullptr);
    EXPECT_EQ(root.findChild(QStringLiteral("Ausw002_"), 3), root.childSlot(3));
    EXPECT_EQ(root.findChild(QStringLiteral("Ana002_"), 9), root.childSlot(9));
    EXPECT_EQ(root.findChild(QStringLiteral("Ausw002_"), 9), nullptr);
    EXPECT_EQ(root.findChild(QStringLiteral("Ausw005_"), 1), nullptr);
}

TEST(DatenBase, AssignmentCopiesValuesNotLinks) {
    int live = 0;
    Probe root(&live);
    auto* src = new Probe(&live, QStringLiteral("Probe_"), 10);
    root.setChildSlot(0, src);
    Probe dst(&live, QStringLiteral("Probe_"), 0);
    auto* own = new Probe(&live);
    dst.setChildSlot(0, own);

    dst = *src;
    EXPECT_EQ(dst.a(), 10);
    EXPECT_EQ(dst.d(), 13);
    EXPECT_EQ(dst.parent(), nullptr);
    EXPECT_EQ(dst.children(), QList<DatenBase*>{own});
    EXPECT_EQ(src->parent(), &root);
    EXPECT_EQ(root.childCount(), 1);
}

}  // namespace

// Data-tree node: parent/child links and the ownership rules of datenbase.h.
#include "host/tree/datenbase.h"

#include "host/app/log.h"

namespace {
const QString kQuelle = QStringLiteral("host/tree/datenbase");

// True when `node` is `start` or one of its ancestors.
bool isSelfOrAncestor(const DatenBase* node, const DatenBase* start) {
    for (const DatenBase* p = start; p; p = p->parent())
        if (p == node) return true;
    return false;
}
}  // namespace

// knotenpfad.cpp: a destroyed node is no longer a path root.
void datenBaseVergissWurzel(DatenBase* node);

DatenBase::DatenBase(int a, int b, int c, int d) : m_a(a), m_b(b), m_c(c), m_d(d) {}

DatenBase::~DatenBase() {
    // Slots that are members of a derived class are already gone here, so
    // they are not written; a derived class that wants them nulled calls
    // KillChilds() itself.
    destroyChildren(false);
    detach();
    datenBaseVergissWurzel(this);
}

DatenBase& DatenBase::operator=(const DatenBase& other) {
    m_a = other.m_a;
    m_b = other.m_b;
    m_c = other.m_c;
    m_d = other.m_d;
    return *this;
}

QString DatenBase::ID() const { return className(); }

DatenBase* DatenBase::findChild(const QString& name, int index) const {
    for (DatenBase* c : m_children)
        if (c->m_slotIndex == index && c->className() == name) return c;
    return nullptr;
}

DatenBase** DatenBase::childSlotAddress(int index) {
    if (index < 0) return nullptr;
    while (int(m_slots.size()) <= index) m_slots.push_back(nullptr);
    return &m_slots[size_t(index)];
}

DatenBase* DatenBase::childSlot(int index) const {
    if (index < 0 || index >= int(m_slots.size())) return nullptr;
    return m_slots[size_t(index)];
}

void DatenBase::setChildSlot(int index, DatenBase* node, BesitzerType owner) {
    DatenBase** s = childSlotAddress(index);
    if (!s) {
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("setChildSlot: index >= 0"));
        return;
    }
    SetConnectionWithClear(node, this, s, index, owner);
}

void DatenBase::KillChilds() { destroyChildren(true); }

void DatenBase::destroyChildren(bool nullSlots) {
    // Unlink first, then delete: a child being deleted must not find its way
    // back into this list.
    const QList<DatenBase*> kinder = m_children;
    m_children.clear();
    for (DatenBase* kind : kinder) {
        DatenBase** s = kind->m_slot;
        const bool owned = kind->m_owner == Besitzer_Owner;
        kind->m_parent = nullptr;
        kind->m_slot = nullptr;
        kind->m_slotIndex = 0;
        kind->m_owner = Besitzer_None;
        if (nullSlots && s && *s == kind) *s = nullptr;
        if (owned) delete kind;
    }
}

void DatenBase::removeChild(DatenBase* child) { m_children.removeOne(child); }

void DatenBase::detach() {
    if (m_parent) m_parent->removeChild(this);
    if (m_slot && *m_slot == this) *m_slot = nullptr;
    m_parent = nullptr;
    m_slot = nullptr;
    m_slotIndex = 0;
    m_owner = Besitzer_None;
}

void DatenBase::SetConnection(DatenBase* parent, DatenBase** slot, int index, BesitzerType owner) {
    SetConnectionWithClear(this, parent, slot, index, owner);
}

void DatenBase::SetConnectionWithClear(DatenBase* node, DatenBase* parent, DatenBase** slot, int index,
                                       BesitzerType owner) {
    if (!slot) return;
    if (node && parent && isSelfOrAncestor(node, parent)) {
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("SetConnectionWithClear: Knoten ist Vorfahr des Elternknotens"));
        return;
    }

    // Free the node from its previous place before the old slot content is
    // deleted: the node may be a descendant of that old content.
    if (node && node->m_slot) node->detach();

    DatenBase* old = *slot;
    if (old && old != node) {
        if (old->m_slot == slot) {
            const bool owned = old->m_owner == Besitzer_Owner;
            old->detach();
            if (owned) delete old;
        }
        *slot = nullptr;
    }

    *slot = node;
    if (!node || !parent) return;
    node->m_parent = parent;
    node->m_slot = slot;
    node->m_slotIndex = index;
    node->m_owner = owner;
    parent->m_children.append(node);
}

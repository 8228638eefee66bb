// DatenBase: a node of the data tree of a tax case.
//
// A tax case is a tree of nodes. A parent keeps its children in child slots:
// plain `DatenBase*` cells that belong to the parent, either members of a
// derived class (`Kont_` keeps e.g. two Stamm001_ slots) or cells of the
// generic slot array every node carries (childSlotAddress). A child is
// attached to a slot with SetConnectionWithClear; from then on the child
// knows its parent, the address of its slot, the slot index (0 for a scalar
// slot, the 1-based element for an array slot) and whether the parent owns it.
//
// Ownership, the invariant this file maintains:
//   * An attached child with Besitzer_Owner is deleted by its parent: when the
//     parent is destroyed, when KillChilds() runs, or when another node is
//     connected into the same slot.
//   * An attached child with Besitzer_Reference is only pointed at: the
//     parent forgets it on destruction and never deletes it.
//   * A child deleted before its parent detaches itself: it leaves the
//     parent's child list and nulls its slot if the slot still holds it.
//   * A node that was merely stored in a slot without SetConnectionWithClear
//     is not known to the parent and belongs to whoever stored it.
//
// The four constructor values are kept for the node classes that need them
// (the module passes 4, 7, 1, 1 everywhere); the base gives them no meaning.
//
// Node paths. A node is addressed from outside by a text path of segments
// joined by a backslash: the first names a registered root ("Kont_[M]" is the root of
// class Kont_ of the open case; the bracket is the instance and is not
// otherwise interpreted), every further segment a child by class name with
// an optional selector:
//   Name        the first child slot of that class (or, when the node has no
//               slot for the class, the first entry of its list of that class)
//   Name[i]     the i-th (0-based) child slot of that class
//   Name(n)     the child slot of that class with element index n (1-based)
//   Name[i](n)  as Name[i]; the index must agree
//   Name{n}     list entry n (1-based): the n-th child of that class in the
//               generic slots; only the next entry of a list can be created
// GetDBVar reads a variable: the last segment is then a variable name of the
// node the rest of the path addresses.
#pragma once

#include "host/tree/varlist.h"

#include <QList>
#include <QString>

#include <deque>

// How a parent holds a child it was connected to.
enum BesitzerType {
    Besitzer_None = -1,     // not attached to any parent
    Besitzer_Owner = 0,     // the parent owns the child and deletes it
    Besitzer_Reference = 1  // the parent only refers to the child; someone else owns it
};

class DatenBase : public Varlist {
public:
    DatenBase(int a, int b, int c, int d);
    // Deletes owned children, forgets referenced ones, then detaches from the
    // own parent (see the invariant above).
    virtual ~DatenBase();

    DatenBase(const DatenBase&) = delete;

    // The registered class name of the node ("Kont_", "Eur0001_" …).
    virtual QString className() const = 0;
    // Identification of the node kind; by default its class name.
    virtual QString ID() const;
    // A fresh node of the same class, built with the class's standard values
    // and not attached anywhere; the caller owns it.
    virtual DatenBase* build() const = 0;

    int a() const { return m_a; }
    int b() const { return m_b; }
    int c() const { return m_c; }
    int d() const { return m_d; }

    // --- this node as a child -----------------------------------------------
    DatenBase* parent() const { return m_parent; }
    DatenBase** slot() const { return m_slot; }   // null when not attached
    int slotIndex() const { return m_slotIndex; }
    BesitzerType owner() const { return m_owner; }

    // --- this node as a parent ----------------------------------------------
    // Attached children, in the order they were attached.
    const QList<DatenBase*>& children() const { return m_children; }
    int childCount() const { return m_children.size(); }
    // The first attached child of that class with that slot index, or null.
    DatenBase* findChild(const QString& className, int index = 0) const;

    // Generic slot array. Slot addresses stay valid for the node's lifetime
    // (the array only grows), so they can be handed to builders.
    int childSlotCount() const { return int(m_slots.size()); }
    // Address of slot `index` (>= 0); the array grows to hold it.
    DatenBase** childSlotAddress(int index);
    // Node in slot `index`; null when empty or out of range.
    DatenBase* childSlot(int index) const;
    // Connects `node` (may be null: clears the slot) into slot `index`.
    void setChildSlot(int index, DatenBase* node, BesitzerType owner = Besitzer_Owner);

    // Deletes every owned child and nulls its slot; forgets referenced
    // children and nulls their slots too. Derived classes whose slots are
    // members call this from their own destructor, while those members are
    // still alive.
    void KillChilds();

    // Puts `node` into `*slot` and attaches it to `parent` with slot index
    // `index` and ownership `owner`. A different node previously attached in
    // that slot is detached and, when it was owned, deleted. `node` is first
    // detached from wherever it was attached before. A null `node` just
    // clears the slot. A null `slot` does nothing. A null `parent` stores
    // the node in the slot without attaching it.
    static void SetConnectionWithClear(DatenBase* node, DatenBase* parent, DatenBase** slot, int index,
                                       BesitzerType owner);
    // Attaches this node to `parent` at `slot` (same effect as
    // SetConnectionWithClear(this, parent, slot, index, owner)).
    void SetConnection(DatenBase* parent, DatenBase** slot, int index, BesitzerType owner);

    // Leaves the parent without deleting anything: the slot is nulled when it
    // still holds this node, and the node becomes unattached. The caller now
    // owns the node.
    void detach();

    // --- node paths (see the head of this file) --------------------------------
    // Registers `root` under its class name as the start of paths; null
    // removes the entry. A root that is destroyed removes itself.
    static void setRootNode(const QString& klasse, DatenBase* root);
    static DatenBase* rootNode(const QString& klasse);
    // The node a path addresses, or null. With `anlegen`, missing children
    // in named slots and list entries are created through the builder
    // registry.
    static DatenBase* GetDB(const QString& path, bool anlegen = false);
    // Reads / writes a variable addressed by path; false when the node or
    // (for reading) the variable does not exist.
    static bool GetDBVar(const QString& path, DatenTyp* wert);
    static bool SetDBVar(const QString& path, const DatenTyp& wert, bool anlegen = true);

protected:
    DatenBase* varlistKnoten() override { return this; }
    // Copies the constructor values only; tree links stay with each node.
    DatenBase& operator=(const DatenBase& other);

private:
    void removeChild(DatenBase* child);
    void destroyChildren(bool nullSlots);

    int m_a, m_b, m_c, m_d;

    DatenBase* m_parent = nullptr;
    DatenBase** m_slot = nullptr;
    int m_slotIndex = 0;
    BesitzerType m_owner = Besitzer_None;

    QList<DatenBase*> m_children;
    std::deque<DatenBase*> m_slots;  // deque: growing keeps element addresses stable
};

// Kont_: the root node of the bookkeeping subtree of a tax case.
//
// The root owns the child nodes of the bookkeeping forms. For now it is the
// bare node: it can be built, registered and hold children; its child slots,
// variables and case-file record are added on top of this class.
#pragma once

#include "host/tree/datenbase.h"

class Kont_ : public DatenBase {
public:
    // The four values are accepted for symmetry with every other node class
    // and carry no meaning for the root.
    Kont_(int a, int b, int c, int d);
    // Children go with the root.
    ~Kont_() override;

    // A fresh root built with 4, 7, 1, 1, not attached; the caller owns it.
    static Kont_* New();

    QString className() const override;
    QString ID() const override;
    DatenBase* build() const override;
};

// Address nodes of the host that the bookkeeping tree holds as children:
// Ad0031_ (tax-office data: Bundesland, tax-office number and name, tax
// number, VAT id) and Ad0040_ (cover letter to the tax office). They belong
// to the host's address library, not to the module, and are therefore not
// among the module's registered node classes.
#pragma once

#include "host/tree/datenbase.h"

class Ad0031_ : public DatenBase {
public:
    Ad0031_(int a, int b, int c, int d) : DatenBase(a, b, c, d) { setDynamisch(true); }
    static Ad0031_* New() { return new Ad0031_(4, 7, 1, 1); }
    QString className() const override { return QStringLiteral("Ad0031_"); }
    DatenBase* build() const override { return New(); }
};

class Ad0040_ : public DatenBase {
public:
    Ad0040_(int a, int b, int c, int d) : DatenBase(a, b, c, d) { setDynamisch(true); }
    static Ad0040_* New() { return new Ad0040_(4, 7, 1, 1); }
    QString className() const override { return QStringLiteral("Ad0040_"); }
    DatenBase* build() const override { return New(); }
};

// The bookkeeping root node (see kontbaum.h).
#include "kontbaum/kontbaum.h"

#include "kontbaum/knoten.h"

#include <new>

Kont_::Kont_(int a, int b, int c, int d) : DatenBase(a, b, c, d) {}

Kont_::~Kont_() {
    // While our own members are still alive, so the slots are nulled too.
    KillChilds();
}

Kont_* Kont_::New() {
    return new (std::nothrow) Kont_(KnotenWerte::A, KnotenWerte::B, KnotenWerte::C, KnotenWerte::D);
}

QString Kont_::className() const { return QStringLiteral("Kont_"); }

QString Kont_::ID() const { return QStringLiteral("Kont_"); }

DatenBase* Kont_::build() const { return New(); }

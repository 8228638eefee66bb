// Standard members of the module's node classes, generated from the node
// list in knoten.h (every G and E entry).
#include "kontbaum/fall/knoten.h"

#include <new>

#define DALVO_KNOTEN_STANDARD_DEFINITION(N)                                         \
    N::N(int a, int b, int c, int d) : FormKnoten(a, b, c, d) { N::initVars(); }    \
    N* N::New() { return new (std::nothrow) N(KnotenWerte::A, KnotenWerte::B, KnotenWerte::C, KnotenWerte::D); } \
    QString N::className() const { return QStringLiteral(#N); }                     \
    DatenBase* N::build() const { return New(); }

#define DALVO_KNOTEN_DEF_G(N) DALVO_KNOTEN_STANDARD_DEFINITION(N)
#define DALVO_KNOTEN_DEF_E(N) DALVO_KNOTEN_STANDARD_DEFINITION(N)
#define DALVO_KNOTEN_DEF_W(N)
#define DALVO_KNOTEN_DEF(N, art) DALVO_KNOTEN_DEF_##art(N)

DALVO_KONTBAUM_KNOTEN(DALVO_KNOTEN_DEF)

bool Ana001_::addBegriff(const QString& begriff) {
    const QString b = begriff.simplified().toLower();
    if (b.isEmpty() || ana1_Begriffe.contains(b)) return false;
    ana1_Begriffe.append(b);
    return true;
}

void Ana001_::initVars() { addList(QStringLiteral("ana1_Begriffe"), &ana1_Begriffe); }

// The node classes of the bookkeeping module.
//
// Every node class the module registers with the host is listed once, in
// registration order, in DALVO_KONTBAUM_KNOTEN below. Each entry names the
// class and says where it lives:
//   G  declared and defined from the list (a plain form node, nothing more yet)
//   E  declared by hand further down, because it carries its own data and
//      logic; its standard members (constructor, New, build, className) are
//      still generated from the list in knoten.cpp
//   W  declared and defined in its own files (the root Kont_ in kontbaum.h)
// A class that outgrows the generated members moves from E to W and takes
// its definitions along; the registration table (registrierung.cpp) follows
// the list and does not change.
//
// Every class is built with the module's standard values 4, 7, 1, 1
// (KnotenWerte); New() and build() return such a fresh, unattached node that
// the caller owns.
#pragma once

#include "host/tree/datenbase.h"

#include <QStringList>

namespace KnotenWerte {
constexpr int A = 4;
constexpr int B = 7;
constexpr int C = 1;
constexpr int D = 1;
}  // namespace KnotenWerte

// clang-format off
#define DALVO_KONTBAUM_KNOTEN(X) \
    X(Eur0001_, E) X(Eur0002_, E) X(Eur0003_, E) \
    X(Gst0001_, G) X(Gst0001a_, G) X(Gst0001b_, G) X(Gst0002_, G) X(Gst0003_, G) \
    X(Gst0005_, G) X(Gst0005a_, G) X(Gst0005b_, G) X(Gst0006_, G) X(Gst0008_, G) \
    X(Gst0009_, G) X(Gst0009a_, G) X(Gst0011_, G) X(Gst0013_, G) X(Gst0017_, G) \
    X(Gst0019_, G) X(Gst0019a_, G) X(Gst0020_, G) X(Gst0020a_, G) X(Gst0021_, G) \
    X(Gst0022_, G) X(Gst0023_, G) X(Gst0024_, G) X(Gst_, G) \
    X(Ana001_, E) X(Ana002_, E) \
    X(Anl006_, G) X(Anl006a1_, G) X(Anl006a2_, G) X(Anl006a3_, G) X(Anl006a_, G) \
    X(Anl007_, G) X(Anl007a_, G) \
    X(Ausw002_, E) X(Ausw005_, E) X(Ausw006_, E) X(Ausw007_, G) \
    X(Bank001_, G) X(Bank002_, G) \
    X(Buch010_, G) X(Buch011_, G) X(Buch012_, G) X(Buch012a_, G) \
    X(EurAbschlussAssi_, G) X(EurAnlAssi_, G) X(EurImportAssi_, G) X(EurRegelBuchAssi_, G) \
    X(eurSaldoVortragAssi_, G) X(eurStartAssi_, G) X(EurTeilimportAssi_, G) \
    X(Iab006_, G) X(Iab006a_, G) \
    X(KassenAbschlussAssi_, G) X(KassenBuchungsExportAssi_, G) X(KassenBuchungsImportAssi_, G) \
    X(KassenExportAssi_, G) X(KassenImportAssi_, G) \
    X(Kont_, W) \
    X(orvKundenCsvExportAssi_data, G) X(eurFestschreibungsAssi_data, G) \
    X(Reb001_, G) X(Reb002_, G) X(Reb003_, G) X(Reb004_, G) X(Reb005_, G) X(Reb006_, G) \
    X(Reb007_, G) X(Reb008_, G) X(Reb009_, G) X(Reb010_, G) X(Reb011_, G) X(Reb012_, G) \
    X(Reb013_, G) X(Reb014_, G) X(Reb015_, G) X(Reb016_, G) X(Reb017_, G) X(Reb018_, G) \
    X(Reba001_, E) X(Reba002_, E) X(Reba003_, E) \
    X(RebCsvImportAssi_, G) X(RebRechnungenVerbuchenAssi_, G) \
    X(Stamm001_, E) X(Stamm002_, G) X(Stamm005_, G) X(Stamm007_, G) \
    X(Uml006_, G) X(Uml006a1_, G) X(Uml006a_, G) X(Uml007_, G) X(Uml007a_, G) \
    X(Uml008_, G) X(Uml008a_, G) \
    X(Ust0001a_, G) X(Ust0003_, G) X(Ust0004a_, G) X(Ust0004c_, G) X(Ust0005_, G) \
    X(Ust0006_, G) X(Ust0007_, G) X(Ust0008_, G) X(Ust0008a_, G) X(Ust0009_, G) \
    X(Ust0011_, G) X(Ust0012_, G) X(Ust0013a_, G) X(Ust0013b_, G) X(Ust0014_, G) \
    X(Ust0015_, G) X(Ust0016_, G) X(Ust0017_, G) X(Ust0019_, G) X(Ust_, G) \
    X(Va0010_, G) X(Va0011_, G) X(Va0012_, G) X(Va0020_, G) X(Va0021_, G) X(Va0031_, G) \
    X(Va0040_, G) X(Va0041_, G) X(Va0050_, G) X(Va0051_, G) X(Va0052_, G) X(Va0052a_, G) \
    X(Va_, G)
// clang-format on

// Anchors the module's registration table (registrierung.cpp) and returns the
// number of registrations it made: node builders plus dialog builders.
int kontbaumRegistrierungen();

// Common base of the module's form nodes. Their field lists are open: every
// variable the module or a case file names is kept (dynamic variables), and
// a class with members of its own registers them in its initVars().
class FormKnoten : public DatenBase {
public:
    FormKnoten(int a, int b, int c, int d) : DatenBase(a, b, c, d) { setDynamisch(true); }
    // Called by the constructor of each class (statically bound: N::initVars).
    void initVars() {}
};

// The standard members of a node class N; the definitions come from
// DALVO_KNOTEN_STANDARD_DEFINITION in knoten.cpp.
#define DALVO_KNOTEN_STANDARD(N)             \
public:                                      \
    N(int a, int b, int c, int d);           \
    static N* New();                         \
    QString className() const override;      \
    DatenBase* build() const override;

// --- generated classes (G) --------------------------------------------------
#define DALVO_KNOTEN_DECL_G(N) \
    class N : public FormKnoten { DALVO_KNOTEN_STANDARD(N) };
#define DALVO_KNOTEN_DECL_E(N)
#define DALVO_KNOTEN_DECL_W(N)
#define DALVO_KNOTEN_DECL(N, art) DALVO_KNOTEN_DECL_##art(N)
DALVO_KONTBAUM_KNOTEN(DALVO_KNOTEN_DECL)

// --- hand-declared classes (E) ----------------------------------------------
// The EÜR form: root and its two continuation pages.
class Eur0001_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Eur0001_) };
class Eur0002_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Eur0002_) };
class Eur0003_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Eur0003_) };
// Receipt analysis: critical terms; booking analyses.
class Ana001_ : public FormKnoten {
    DALVO_KNOTEN_STANDARD(Ana001_)
public:
    // Critical terms of the receipt analysis: simplified, lower case, unique.
    QStringList ana1_Begriffe;
    // Adds a term in that form unless it is already there; false when it was.
    bool addBegriff(const QString& begriff);
    void initVars();
};
class Ana002_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Ana002_) };
// Report settings; asset report; chart-of-accounts report.
class Ausw002_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Ausw002_) };
class Ausw005_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Ausw005_) };
class Ausw006_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Ausw006_) };
// Options of the customer, article and invoicing lists.
class Reba001_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Reba001_) };
class Reba002_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Reba002_) };
class Reba003_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Reba003_) };
// Master data of the business.
class Stamm001_ : public FormKnoten { DALVO_KNOTEN_STANDARD(Stamm001_) };

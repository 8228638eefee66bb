// The module's node and dialog builders as the host finds them by name.
#include "host/app/log.h"
#include "host/tree/dialog.h"
#include "host/tree/registry.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/fall/kontbaum.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QWidget>

#include <cstdlib>
#include <new>
#include <typeinfo>

// Allocation counter for the whole test binary: lets a test prove that a
// builder created nothing, and make the builders' allocation fail.
namespace {
int g_allocations = 0;
bool g_failNothrow = false;
}  // namespace

void* operator new(std::size_t n) {
    ++g_allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    ++g_allocations;
    return g_failNothrow ? nullptr : std::malloc(n ? n : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

QStringList expectedNodes() {
    QStringList l{"Eur0001_", "Eur0002_", "Eur0003_", "Gst0001_", "Gst0001a_", "Gst0001b_", "Gst0002_",
                  "Gst0003_", "Gst0005_", "Gst0005a_", "Gst0005b_", "Gst0006_", "Gst0008_", "Gst0009_",
                  "Gst0009a_", "Gst0011_", "Gst0013_", "Gst0017_", "Gst0019_", "Gst0019a_", "Gst0020_",
                  "Gst0020a_", "Gst0021_", "Gst0022_", "Gst0023_", "Gst0024_", "Gst_", "Ana001_", "Ana002_",
                  "Anl006_", "Anl006a1_", "Anl006a2_", "Anl006a3_", "Anl006a_", "Anl007_", "Anl007a_",
                  "Ausw002_", "Ausw005_", "Ausw006_", "Ausw007_", "Bank001_", "Bank002_", "Buch010_",
                  "Buch011_", "Buch012_", "Buch012a_", "EurAbschlussAssi_", "EurAnlAssi_", "EurImportAssi_",
                  "EurRegelBuchAssi_", "eurSaldoVortragAssi_", "eurStartAssi_", "EurTeilimportAssi_",
                  "Iab006_", "Iab006a_", "KassenAbschlussAssi_", "KassenBuchungsExportAssi_",
                  "KassenBuchungsImportAssi_", "KassenExportAssi_", "KassenImportAssi_", "Kont_",
                  "orvKundenCsvExportAssi_data", "eurFestschreibungsAssi_data"};
    for (int i = 1; i <= 18; ++i) l << QStringLiteral("Reb%1_").arg(i, 3, 10, QLatin1Char('0'));
    l << QStringList{"Reba001_", "Reba002_", "Reba003_", "RebCsvImportAssi_", "RebRechnungenVerbuchenAssi_",
                     "Stamm001_", "Stamm002_", "Stamm005_", "Stamm007_", "Uml006_", "Uml006a1_", "Uml006a_",
                     "Uml007_", "Uml007a_", "Uml008_", "Uml008a_", "Ust0001a_", "Ust0003_", "Ust0004a_",
                     "Ust0004c_", "Ust0005_", "Ust0006_", "Ust0007_", "Ust0008_", "Ust0008a_", "Ust0009_",
                     "Ust0011_", "Ust0012_", "Ust0013a_", "Ust0013b_", "Ust0014_", "Ust0015_", "Ust0016_",
                     "Ust0017_", "Ust0019_", "Ust_", "Va0010_", "Va0011_", "Va0012_", "Va0020_", "Va0021_",
                     "Va0031_", "Va0040_", "Va0041_", "Va0050_", "Va0051_", "Va0052_", "Va0052a_", "Va_"};
    return l;
}

// Nodes whose dialogs the module builds itself, so the host registry has none.
QSet<QString> expectedWithoutDialog() {
    QSet<QString> s{"Bank001_", "Bank002_", "Buch010_", "Buch011_", "Stamm007_", "Kont_", "Gst_", "Ust_", "Va_",
                    "EurAbschlussAssi_", "EurAnlAssi_", "EurImportAssi_", "EurRegelBuchAssi_", "eurSaldoVortragAssi_",
                    "eurStartAssi_", "EurTeilimportAssi_", "KassenAbschlussAssi_", "KassenBuchungsExportAssi_",
                    "KassenBuchungsImportAssi_", "KassenExportAssi_", "KassenImportAssi_",
                    "orvKundenCsvExportAssi_data", "eurFestschreibungsAssi_data", "RebCsvImportAssi_",
                    "RebRechnungenVerbuchenAssi_"};
    for (int i = 1; i <= 18; ++i) s << QStringLiteral("Reb%1_").arg(i, 3, 10, QLatin1Char('0'));
    return s;
}

QSet<QString> toSet(const QStringList& l) { return QSet<QString>(l.begin(), l.end()); }

// Every other node has its dialog, under the node's name without the "_".
QStringList expectedDialogs() {
    QStringList l;
    const QSet<QString> without = expectedWithoutDialog();
    for (const QString& n : expectedNodes())
        if (!without.contains(n)) l << n.left(n.size() - 1);
    return l;
}

// Reports its own destruction, to see a subtree go.
class Waechter : public DatenBase {
public:
    explicit Waechter(bool* weg) : DatenBase(0, 0, 0, 0), m_weg(weg) {}
    ~Waechter() override { *m_weg = true; }
    QString className() const override { return QStringLiteral("Waechter_"); }
    DatenBase* build() const override { return new Waechter(m_weg); }

private:
    bool* m_weg;
};

// Something only a test builder would produce.
DatenBase* fremderBuilder(DatenBase*, DatenBase**, int, BesitzerType, bool) { return nullptr; }
zWinDialog* fremderDialog(QWidget*, int) { return nullptr; }

TEST(Registry, ModuleRegistersAllNodesAndDialogsInOrder) {
    EXPECT_EQ(kontbaumRegistrierungen(), 217);
    EXPECT_EQ(rsBuildRegistry::nodeNames(), expectedNodes());
    EXPECT_EQ(rsBuildRegistry::dialogNames(), expectedDialogs());
    EXPECT_EQ(toSet(expectedNodes()).size(), 130) << "no name twice";
    EXPECT_EQ(expectedDialogs().size(), 87);
    for (const QString& n : rsBuildRegistry::nodeNames()) EXPECT_NE(rsBuildRegistry::findNode(n), nullptr) << n.toStdString();
    for (const QString& n : rsBuildRegistry::dialogNames())
        EXPECT_NE(rsBuildRegistry::findDialog(n), nullptr) << n.toStdString();
}

TEST(Registry, NodesWithoutADialogAndExactNamesFindNone) {
    EXPECT_EQ(rsBuildRegistry::findDialog(QStringLiteral("Kont")), nullptr);
    EXPECT_EQ(rsBuildRegistry::findDialog(QStringLiteral("Kont_")), nullptr);
    EXPECT_EQ(rsBuildRegistry::findDialog(QStringLiteral("Bank001")), nullptr);
    EXPECT_EQ(rsBuildRegistry::findDialog(QStringLiteral("Reb001")), nullptr);
    // Names are exact: node names are not dialog names and vice versa.
    EXPECT_EQ(rsBuildRegistry::findDialog(QStringLiteral("Eur0001_")), nullptr);
    EXPECT_EQ(rsBuildRegistry::findNode(QStringLiteral("Eur0001")), nullptr);
    EXPECT_EQ(rsBuildRegistry::findNode(QStringLiteral("eur0001_")), nullptr);
}

TEST(Registry, BuilderWithoutConnectOnlyFillsTheSlot) {
    Kont_ parent(4, 7, 1, 1);
    DatenBase** slot = parent.childSlotAddress(3);
    DatenBase* n = rsBuildRegistry::findNode(QStringLiteral("Stamm001_"))(&parent, slot, 3, Besitzer_Owner, false);
    ASSERT_NE(n, nullptr);
    EXPECT_NE(dynamic_cast<Stamm001_*>(n), nullptr);
    EXPECT_EQ(*slot, n);
    EXPECT_EQ(n->parent(), nullptr);
    EXPECT_EQ(parent.childCount(), 0);
    // Not the parent's: the caller deletes it.
    *slot = nullptr;
    delete n;

    // The root needs no parent at all.
    DatenBase* root = rsBuildRegistry::findNode(QStringLiteral("Kont_"))(nullptr, slot, 0, Besitzer_Owner, false);
    EXPECT_NE(dynamic_cast<Kont_*>(root), nullptr);
    EXPECT_EQ(*slot, root);
    *slot = nullptr;
    delete root;
}

TEST(Registry, BuilderWithConnectAttachesToTheParent) {
    auto* parent = Kont_::New();
    DatenBase** slot = parent->childSlotAddress(1);
    DatenBase* n = rsBuildRegistry::findNode(QStringLiteral("Ausw002_"))(parent, slot, 1, Besitzer_Owner, true);
    ASSERT_NE(n, nullptr);
    EXPECT_NE(dynamic_cast<Ausw002_*>(n), nullptr);
    EXPECT_EQ(*slot, n);
    EXPECT_EQ(n->parent(), parent);
    EXPECT_EQ(n->slot(), slot);
    EXPECT_EQ(n->slotIndex(), 1);
    EXPECT_EQ(n->owner(), Besitzer_Owner);
    EXPECT_EQ(parent->findChild(QStringLiteral("Ausw002_"), 1), n);

    // Building again into the same slot replaces the owned node.
    DatenBase* second = rsBuildRegistry::createNode(QStringLiteral("Ausw005_"), parent, slot, 1, Besitzer_Owner, true);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(*slot, second);
    EXPECT_EQ(parent->childCount(), 1);
    EXPECT_EQ(parent->findChild(QStringLiteral("Ausw002_"), 1), nullptr);

    // The parent owns its child: deleting the parent takes the child along,
    // and with it anything the child owns. A referenced node stays.
    bool enkelWeg = false;
    second->setChildSlot(0, new Waechter(&enkelWeg));
    DatenBase* ref = Reba001_::New();
    parent->setChildSlot(5, ref, Besitzer_Reference);
    delete parent;
    EXPECT_TRUE(enkelWeg);
    EXPECT_EQ(ref->parent(), nullptr);
    delete ref;
}

TEST(Registry, NullSlotCreatesNothing) {
    const QStringList names = rsBuildRegistry::nodeNames();
    Kont_ parent(4, 7, 1, 1);

    const int before = g_allocations;
    for (const QString& name : names) {
        DatenBaseBuilder b = rsBuildRegistry::findNode(name);
        EXPECT_EQ(b(&parent, nullptr, 0, Besitzer_Owner, true), nullptr) << name.toStdString();
        EXPECT_EQ(b(nullptr, nullptr, 0, Besitzer_Owner, false), nullptr) << name.toStdString();
    }
    EXPECT_EQ(g_allocations, before);
    EXPECT_EQ(parent.childCount(), 0);
}

TEST(Registry, FailedAllocationLeavesTheSlotEmpty) {
    // Memory checkers bring their own operator new; then there is nothing to fail.
    g_failNothrow = true;
    void* probe = ::operator new(1, std::nothrow);
    g_failNothrow = false;
    if (probe) {
        ::operator delete(probe);
        GTEST_SKIP() << "operator new is not ours in this run";
    }
    Kont_ parent(4, 7, 1, 1);

    // Allocation fails: no node, and the slot is left empty (an owned node
    // that was there is gone with the attempt to replace it).
    DatenBase** slot = parent.childSlotAddress(0);
    parent.setChildSlot(0, Ana001_::New());
    g_failNothrow = true;
    DatenBase* n1 = rsBuildRegistry::findNode(QStringLiteral("Ana002_"))(&parent, slot, 0, Besitzer_Owner, true);
    DatenBase* cell = &parent;  // anything non-null, to see the builder overwrite it
    DatenBase* n2 = rsBuildRegistry::findNode(QStringLiteral("Ana002_"))(nullptr, &cell, 0, Besitzer_Owner, false);
    g_failNothrow = false;
    EXPECT_EQ(n1, nullptr);
    EXPECT_EQ(*slot, nullptr);
    EXPECT_EQ(parent.childCount(), 0);
    EXPECT_EQ(n2, nullptr);
    EXPECT_EQ(cell, nullptr);
}

TEST(Registry, CreateNodeRefusesUnknownNamesAndAMissingSlot) {
    rsLog::clear();
    EXPECT_EQ(rsBuildRegistry::createNode(QStringLiteral("Unbekannt_")), nullptr);
    EXPECT_TRUE(rsLog::assertTexts().isEmpty());

    Kont_ parent(4, 7, 1, 1);
    EXPECT_EQ(rsBuildRegistry::createNode(QStringLiteral("Va_"), &parent, nullptr, 0, Besitzer_Owner, true), nullptr);
    EXPECT_EQ(parent.childCount(), 0);
    EXPECT_EQ(rsLog::assertTexts().size(), 1);
}

TEST(Registry, EveryNodeBuildsFreshNodesOfItsClass) {
    for (const QString& name : rsBuildRegistry::nodeNames()) {
        DatenBase* n = rsBuildRegistry::createNode(name);
        ASSERT_NE(n, nullptr) << name.toStdString();
        EXPECT_EQ(n->className(), name);
        EXPECT_EQ(n->ID(), name);
        EXPECT_EQ(n->parent(), nullptr);
        EXPECT_EQ(n->a() * 1000 + n->b() * 100 + n->c() * 10 + n->d(), 4711);

        DatenBase* copy = n->build();
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy, n);
        EXPECT_EQ(typeid(*copy), typeid(*n)) << name.toStdString();
        EXPECT_EQ(copy->className(), name);
        EXPECT_EQ(copy->parent(), nullptr);
        EXPECT_EQ(copy->a() * 1000 + copy->b() * 100 + copy->c() * 10 + copy->d(), 4711);
        delete copy;
        delete n;
    }
}

TEST(Registry, DialogBuildersConstructNamedDialogs) {
    QWidget owner;
    int resource = 3000;
    for (const QString& name : rsBuildRegistry::dialogNames()) {
        zWinDialog* d = rsBuildRegistry::findDialog(name)(&owner, resource);
        ASSERT_NE(d, nullptr) << name.toStdString();
        EXPECT_EQ(d->dialogName(), name);
        EXPECT_EQ(d->resId().nummer, resource);
        EXPECT_TRUE(d->resId().name.isEmpty());
        EXPECT_EQ(d->parentWidget(), &owner);
        delete d;
        ++resource;
    }
    zWinDialog* d = rsBuildRegistry::createDialog(QStringLiteral("Va0052a"), nullptr, 7);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->dialogName(), QStringLiteral("Va0052a"));
    EXPECT_EQ(d->parentWidget(), nullptr);
    delete d;
    EXPECT_EQ(rsBuildRegistry::createDialog(QStringLiteral("Bank001"), nullptr, 7), nullptr);
}

TEST(Registry, SecondRegistrationOfANameIsIgnored) {
    rsLog::clear();
    const DatenBaseBuilder original = rsBuildRegistry::findNode(QStringLiteral("Eur0001_"));
    const DialogBuilder originalDialog = rsBuildRegistry::findDialog(QStringLiteral("Eur0001"));
    rsAddDatenBaseBuildList(QStringLiteral("Eur0001_"), &fremderBuilder);
    rsAddBuildList(QStringLiteral("Eur0001"), &fremderDialog);
    // No builder at all is refused too, even under a new name.
    rsAddDatenBaseBuildList(QStringLiteral("Leer_"), nullptr);
    rsAddBuildList(QStringLiteral("Leer"), nullptr);

    EXPECT_EQ(rsBuildRegistry::findNode(QStringLiteral("Eur0001_")), original);
    EXPECT_EQ(rsBuildRegistry::findDialog(QStringLiteral("Eur0001")), originalDialog);
    EXPECT_EQ(rsBuildRegistry::findNode(QStringLiteral("Leer_")), nullptr);
    EXPECT_EQ(rsBuildRegistry::nodeNames(), expectedNodes());
    EXPECT_EQ(rsBuildRegistry::dialogNames(), expectedDialogs());
    const QStringList asserts = rsLog::assertTexts();
    ASSERT_EQ(asserts.size(), 4);
    EXPECT_TRUE(asserts[0].contains(QStringLiteral("Eur0001_")));
    EXPECT_TRUE(asserts[1].contains(QStringLiteral("Eur0001")));
}

}  // namespace

// Node variables, their case-file record and node paths.
#include "host/tree/archive.h"
#include "host/tree/datenbase.h"
#include "host/tree/registry.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/testenv.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QByteArray kMagic("TESTVARS");

class FremderKnoten : public FormKnoten {
public:
    FremderKnoten() : FormKnoten(4, 7, 1, 1) {}
    QString className() const override { return QStringLiteral("Fremd_"); }
    DatenBase* build() const override { return new FremderKnoten(); }
};

QByteArray schreibe(DatenBase& k) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    RS_Archive ar(&buf, kMagic, 1);
    EXPECT_TRUE(k.ioDataVar(ar));
    return bytes;
}

bool lese(const QByteArray& bytes, DatenBase& k) {
    QByteArray copy = bytes;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    RS_Archive ar(&buf, kMagic, 1, true);
    return ar.isValid() && k.ioDataVar(ar);
}

TEST(Varlist, BoundVariablesConvertAndDynamicOnesOnlyWhereAllowed) {
    std::unique_ptr<Kont_> k(Kont_::New());
    EXPECT_TRUE(k->setVar(QStringLiteral("eur_Betriebseinnahmen"), DatenTyp(QStringLiteral("1000.5"))));
    EXPECT_EQ(k->eur_Betriebseinnahmen, 1000.5_eur);
    EXPECT_EQ(k->getVar(QStringLiteral("eur_Betriebseinnahmen")).toDouble(), 1000.5);
    // The root has a fixed field list.
    EXPECT_FALSE(k->setVar(QStringLiteral("gibtsnicht"), DatenTyp(1)));
    EXPECT_TRUE(k->getVar(QStringLiteral("gibtsnicht")).isNull());
    // A child slot is a variable but has no value.
    ASSERT_TRUE(k->hasVar(QStringLiteral("Ausw002_Ptr[8]")));
    EXPECT_FALSE(k->setVar(QStringLiteral("Ausw002_Ptr[8]"), DatenTyp(1)));

    // Form nodes keep whatever the module names.
    std::unique_ptr<Eur0001_> e(Eur0001_::New());
    EXPECT_TRUE(e->setVar(QStringLiteral("eur1_GewinnVerlust"), DatenTyp(-12.34_eur)));
    EXPECT_EQ(e->getVar(QStringLiteral("eur1_GewinnVerlust")).toEuro(), -12.34_eur);
    EXPECT_TRUE(e->setVar(QStringLiteral("eur1_GewinnVerlust"), DatenTyp(5)));
    EXPECT_EQ(e->getVar(QStringLiteral("eur1_GewinnVerlust")).toInt(), 5);
    EXPECT_EQ(e->varNames(), QStringList{QStringLiteral("eur1_GewinnVerlust")});
    e->clearDynamisch();
    EXPECT_FALSE(e->hasVar(QStringLiteral("eur1_GewinnVerlust")));

    // A text list travels as lines.
    std::unique_ptr<Ana001_> a(Ana001_::New());
    EXPECT_TRUE(a->setVar(QStringLiteral("ana1_Begriffe"), DatenTyp(QStringLiteral("spende\nbewirtung"))));
    EXPECT_EQ(a->ana1_Begriffe, (QStringList{QStringLiteral("spende"), QStringLiteral("bewirtung")}));
    EXPECT_EQ(a->getVar(QStringLiteral("ana1_Begriffe")).toString(), QStringLiteral("spende\nbewirtung"));
}

// A tree with values of every kind, children in named slots and list entries.
void fuelle(Kont_& k) {
    k.eur_Betriebseinnahmen = 1000.0_eur;
    k.eur_Betriebsausgaben = 1500.0_eur;
    k.Rechnung();
    Stamm001_* s = k.GetStamm001_Ptr(1);
    s->setVar(QStringLiteral("st1_Name"), DatenTyp(QStringLiteral("Müller & Söhne 'GbR'")));
    s->setVar(QStringLiteral("st1_Gruendung"), DatenTyp(zDate(1999, 12, 31)));
    s->setVar(QStringLiteral("st1_Kleinunternehmer"), DatenTyp(false));
    s->setVar(QStringLiteral("st1_Anteil"), DatenTyp(0.125));
    s->setVar(QStringLiteral("st1_Anzahl"), DatenTyp(qlonglong(1) << 40));
    k.GetAna001_Ptr(1)->addBegriff(QStringLiteral("Geschenk"));
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Anl006_[0]\\Anl006a_{2}"), true), nullptr) << "lists have no gaps";
    ASSERT_NE(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Anl006_[0]\\Anl006a_{1}"), true), nullptr);
    ASSERT_NE(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Anl006_[0]\\Anl006a_{2}"), true), nullptr);
    ASSERT_TRUE(DatenBase::SetDBVar(QStringLiteral("Kont_[M]\\Anl006_[0]\\Anl006a_{2}\\anl6a_Bezeichnung"),
                                    DatenTyp(QStringLiteral("Laptop"))));
    ASSERT_TRUE(DatenBase::SetDBVar(QStringLiteral("Kont_[M]\\Ausw002_(9)\\ausw2_VonKonto"), DatenTyp(1200)));
}

TEST(Varlist, TreeRoundTripsThroughTheRecord) {
    std::unique_ptr<Kont_> k(Kont_::New());
    DatenBase::setRootNode(QStringLiteral("Kont_"), k.get());
    fuelle(*k);
    const QByteArray bytes = schreibe(*k);

    std::unique_ptr<Kont_> r(Kont_::New());
    ASSERT_TRUE(lese(bytes, *r));
    EXPECT_EQ(r->eur_GewinnVerlust, -500.0_eur);
    Stamm001_* s = r->GetStamm001_Ptr(0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->parent(), r.get());
    EXPECT_EQ(s->getVar(QStringLiteral("st1_Name")).toString(), QStringLiteral("Müller & Söhne 'GbR'"));
    EXPECT_EQ(s->getVar(QStringLiteral("st1_Gruendung")).toDate(), zDate(1999, 12, 31));
    EXPECT_EQ(s->getVar(QStringLiteral("st1_Gruendung")).art(), DatenTyp::Datum);
    EXPECT_FALSE(s->getVar(QStringLiteral("st1_Kleinunternehmer")).toBool());
    EXPECT_EQ(s->getVar(QStringLiteral("st1_Kleinunternehmer")).art(), DatenTyp::Bool);
    EXPECT_DOUBLE_EQ(s->getVar(QStringLiteral("st1_Anteil")).toDouble(), 0.125);
    EXPECT_EQ(s->getVar(QStringLiteral("st1_Anzahl")).toLongLong(), qlonglong(1) << 40);
    ASSERT_NE(r->GetAna001_Ptr(0), nullptr);
    EXPECT_EQ(r->GetAna001_Ptr(0)->ana1_Begriffe, QStringList{QStringLiteral("geschenk")});

    DatenBase::setRootNode(QStringLiteral("Kont_"), r.get());
    DatenTyp v;
    ASSERT_TRUE(DatenBase::GetDBVar(QStringLiteral("Kont_[M]\\Anl006_[0]\\Anl006a_{2}\\anl6a_Bezeichnung"), &v));
    EXPECT_EQ(v.toString(), QStringLiteral("Laptop"));
    EXPECT_NE(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Anl006_[0]\\Anl006a_{1}")), nullptr);
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Anl006_[0]\\Anl006a_{3}")), nullptr);
    ASSERT_TRUE(DatenBase::GetDBVar(QStringLiteral("Kont_[M]\\Ausw002_[8]\\ausw2_VonKonto"), &v));
    EXPECT_EQ(v.toInt(), 1200);
    // Slots left empty stay empty.
    EXPECT_EQ(r->GetAd0031_Ptr(0), nullptr);
    // Writing the read tree again gives the same bytes: nothing was lost or reordered.
    EXPECT_EQ(schreibe(*r), bytes);
}

TEST(Varlist, ReadingReplacesWhatTheNodeHeld) {
    std::unique_ptr<Kont_> leer(Kont_::New());
    const QByteArray bytes = schreibe(*leer);
    std::unique_ptr<Kont_> k(Kont_::New());
    k->GetStamm001_Ptr(1);
    k->eur_Betriebseinnahmen = 7.0_eur;
    ASSERT_TRUE(lese(bytes, *k));
    EXPECT_EQ(k->GetStamm001_Ptr(0), nullptr);
    EXPECT_EQ(k->childCount(), 0);
    EXPECT_EQ(k->eur_Betriebseinnahmen, EuroType());
}

TEST(Varlist, DamagedOrForeignRecordsAreRefused) {
    std::unique_ptr<Kont_> k(Kont_::New());
    DatenBase::setRootNode(QStringLiteral("Kont_"), k.get());
    fuelle(*k);
    const QByteArray bytes = schreibe(*k);
    for (int cut = 0; cut < bytes.size(); cut += 7) {
        std::unique_ptr<Kont_> r(Kont_::New());
        EXPECT_FALSE(lese(bytes.left(cut), *r)) << "truncated at " << cut;
    }
    // A class no program registers (a file of a later version): refused with
    // a message that says so, not misread.
    std::unique_ptr<Kont_> mitFremd(Kont_::New());
    mitFremd->setChildSlot(3, new FremderKnoten(), Besitzer_Owner);
    QByteArray fremd = schreibe(*mitFremd);
    QBuffer buf(&fremd);
    buf.open(QIODevice::ReadOnly);
    RS_Archive ar(&buf, kMagic, 1, true);
    std::unique_ptr<Kont_> r(Kont_::New());
    EXPECT_FALSE(r->ioDataVar(ar));
    EXPECT_TRUE(ar.errorText().contains(QStringLiteral("unbekannten Knotentyp (Fremd_)"))) << ar.errorText().toStdString();
}

TEST(NodePath, SelectorsAddressTheRightSlot) {
    std::unique_ptr<Kont_> k(Kont_::New());
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]")), nullptr) << "no root registered yet";
    DatenBase::setRootNode(QStringLiteral("Kont_"), k.get());
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]")), k.get());
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ausw002_(3)")), nullptr) << "nothing is created by reading";

    DatenBase* a3 = DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ausw002_(3)"), true);
    ASSERT_NE(a3, nullptr);
    EXPECT_EQ(a3->className(), QStringLiteral("Ausw002_"));
    EXPECT_EQ(a3->slotIndex(), 3);
    EXPECT_EQ(*k->findVar(QStringLiteral("Ausw002_Ptr[2]"))->slot, a3);
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ausw002_[2]")), a3);
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ausw002_[2](3)")), a3);
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ausw002_[2](4)")), nullptr) << "disagreeing selectors";
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ausw002_[9]"), true), nullptr) << "only nine slots";
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Unbekannt_"), true), nullptr);
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ausw002_(3"), true), nullptr) << "malformed";
    // A doubled separator, as paths are written in C sources, is the same path.
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\\\Ausw002_(3)")), a3);

    // Nested form pages under the EÜR root are list entries.
    DatenBase* seite = DatenBase::GetDB(QStringLiteral("Kont_[M]\\Eur0001_\\Eur0002_{1}"), true);
    ASSERT_NE(seite, nullptr);
    EXPECT_EQ(seite->parent()->className(), QStringLiteral("Eur0001_"));
    DatenBase* seite3 = DatenBase::GetDB(QStringLiteral("Kont_[M]\\Eur0001_\\Eur0003_{1}"), true);
    ASSERT_NE(seite3, nullptr) << "lists of different classes under one node do not collide";
    EXPECT_NE(seite3, seite);
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Eur0001_\\Eur0002_{1}")), seite);
    EXPECT_TRUE(DatenBase::SetDBVar(QStringLiteral("Kont_[M]\\Eur0001_\\eur1_GewinnVerlust"), DatenTyp(9.99_eur)));
    DatenTyp v;
    EXPECT_TRUE(DatenBase::GetDBVar(QStringLiteral("Kont_[M]\\Eur0001_\\eur1_GewinnVerlust"), &v));
    EXPECT_EQ(v.toEuro(), 9.99_eur);
    EXPECT_FALSE(DatenBase::GetDBVar(QStringLiteral("Kont_[M]\\Eur0001_\\eur1_Fehlt"), &v));

    k.reset();
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]")), nullptr) << "a destroyed root is forgotten";
}

TEST(NodePath, ReportSettingsAreReadFromTheTree) {
    TestEnv env;
    std::unique_ptr<Kont_> k(Kont_::New());
    DatenBase::setRootNode(QStringLiteral("Kont_"), k.get());
    KontoGlobal* kg = GetKontoGlobal(0, false);
    ASSERT_NE(kg, nullptr);
    ASSERT_TRUE(DatenBase::SetDBVar(QStringLiteral("Kont_[M]\\Ausw002_(3)\\ausw2_AlleKonten"), DatenTyp(false)));
    ASSERT_TRUE(DatenBase::SetDBVar(QStringLiteral("Kont_[M]\\Ausw002_(3)\\ausw2_VonKonto"), DatenTyp(1000)));
    ASSERT_TRUE(DatenBase::SetDBVar(QStringLiteral("Kont_[M]\\Ausw002_(3)\\ausw2_BisKonto"), DatenTyp(1999)));
    ASSERT_TRUE(DatenBase::SetDBVar(QStringLiteral("Kont_[M]\\Ausw002_(3)\\ausw2_Parameter1"), DatenTyp(2)));
    kg->SetFormular(4);
    bool aktiv = true;
    int modus = 0, von = 0, bis = 0;
    kg->GetAktiveKonten(aktiv, modus, von, bis);
    EXPECT_FALSE(aktiv);
    EXPECT_EQ(von, 1000);
    EXPECT_EQ(bis, 1999);
    int p1 = 0, p2 = 0, p3 = 0;
    kg->GetFormularData(p1, p2, p3, 4);
    EXPECT_EQ(p1, 3) << "the node keeps the list index, the cache the code";
}

}  // namespace

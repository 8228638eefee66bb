// The bookkeeping root node: child slots and their accessors, the headline
// amounts, assignment and equality.
#include "host/tree/adressknoten.h"
#include "host/tree/registry.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/fall/kontbaum.h"

#include <QSet>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(Kont, AccessorModesCreateReturnAndDelete) {
    std::unique_ptr<Kont_> k(Kont_::New());
    EXPECT_EQ(k->GetStamm001_Ptr(0), nullptr);
    Stamm001_* s = k->GetStamm001_Ptr(1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->parent(), k.get());
    EXPECT_EQ(s->slotIndex(), 1);
    EXPECT_EQ(k->GetStamm001_Ptr(1), s) << "an existing child is not replaced";
    EXPECT_EQ(k->GetStamm001_Ptr(0), s);
    EXPECT_EQ(k->GetStamm001_Ptr(-1), nullptr);
    EXPECT_EQ(k->GetStamm001_Ptr(0), nullptr);
    EXPECT_EQ(k->childCount(), 0);

    // Every accessor manages its own slot.
    EXPECT_NE(k->GetAd0031_Ptr(1), nullptr);
    EXPECT_NE(k->GetAd0040_Ptr(1), nullptr);
    EXPECT_NE(k->GetAnl006_Ptr(1), nullptr);
    EXPECT_NE(k->GetUml006_Ptr(1), nullptr);
    EXPECT_NE(k->GetIab006_Ptr(1), nullptr);
    EXPECT_NE(k->GetBuch012_Ptr(1), nullptr);
    EXPECT_EQ(k->childCount(), 6);
    EXPECT_EQ(k->GetStamm001_Ptr(0), nullptr);
    EXPECT_EQ(k->GetAnl006_Ptr(-1), nullptr);
    EXPECT_EQ(k->childCount(), 5);
    // The root deletes the rest (checked by the sanitizer/valgrind runs).
}

TEST(Kont, EqualityIgnoresAmountsAndAssignmentCopiesSlots) {
    std::unique_ptr<Kont_> a(Kont_::New());
    std::unique_ptr<Kont_> b(Kont_::New());
    a->eur_Betriebseinnahmen = 12.0_eur;
    EXPECT_TRUE(*a == *b) << "nodes that differ only in their amounts are equal";
    EXPECT_TRUE(a->IstGleich(b.get()));

    a->GetStamm001_Ptr(1);
    EXPECT_FALSE(*a == *b);
    *b = *a;
    EXPECT_TRUE(*a == *b);
    EXPECT_EQ(b->GetStamm001_Ptr(0), a->GetStamm001_Ptr(0)) << "shallow copy of the slot";
    EXPECT_EQ(b->eur_Betriebseinnahmen, 12.0_eur);
    EXPECT_EQ(b->childCount(), 0) << "the copy does not own the children";
    b->init();  // forget the borrowed pointers before b is destroyed

    std::unique_ptr<Kont_> c(Kont_::New());
    c->eur_Betriebsausgaben = 3.0_eur;
    std::unique_ptr<Kont_> d(Kont_::New());
    Kont_::copy(c.get(), d.get());
    EXPECT_EQ(d->eur_Betriebsausgaben, 3.0_eur);
    EXPECT_FALSE(c->IstGleich(nullptr));
}

TEST(Kont, SlotTableMatchesTheDeclaredVariables) {
    std::unique_ptr<Kont_> k(Kont_::New());
    const auto tabelle = k->slotVariablen();
    ASSERT_EQ(tabelle.size(), 50);
    QSet<QString> names;
    QSet<DatenBase**> cells;
    for (const auto& s : tabelle) {
        names.insert(QString::fromLatin1(s.name));
        cells.insert(s.slot);
        EXPECT_EQ(*s.slot, nullptr) << s.name;
        // The class of every slot can be built (Ad0031_/Ad0040_ are host address nodes).
        const QString cls = QString::fromLatin1(s.klasse);
        if (!cls.startsWith(QLatin1String("Ad00")))
            EXPECT_NE(rsBuildRegistry::findNode(cls), nullptr) << s.klasse;
        // Array tabelle carry "[i]" in their name and the 1-based index.
        const QString n = QString::fromLatin1(s.name);
        if (s.index > 0) EXPECT_TRUE(n.endsWith(QStringLiteral("[%1]").arg(s.index - 1))) << s.name;
        else EXPECT_FALSE(n.contains(QLatin1Char('[')));
    }
    EXPECT_EQ(names.size(), tabelle.size()) << "names are unique";
    EXPECT_EQ(cells.size(), tabelle.size()) << "every variable has its own cell";
    EXPECT_EQ(k->ana002Anzahl(), 4u);
}

}  // namespace

#include "support/testenv.h"

namespace {
TEST(Kont, BlackListFromReferenceDatabaseWithoutDuplicates) {
    TestEnv env;
    std::unique_ptr<Kont_> k(Kont_::New());
    EXPECT_EQ(k->GetAna001_Ptr(0), nullptr);
    const int n = k->fillBlackList();
    Ana001_* ana = k->GetAna001_Ptr(0);
    ASSERT_NE(ana, nullptr) << "the child is created when missing";
    EXPECT_GT(n, 0);
    EXPECT_EQ(ana->ana1_Begriffe.size(), n);
    EXPECT_TRUE(ana->ana1_Begriffe.contains(QStringLiteral("bewirtung"))) << "terms are lower-cased";
    EXPECT_EQ(k->fillBlackList(), 0) << "a second fill adds nothing";
    EXPECT_FALSE(ana->addBegriff(QStringLiteral("  BEWIRTUNG ")));
    EXPECT_TRUE(ana->addBegriff(QStringLiteral("Reise   kosten")));
    EXPECT_TRUE(ana->ana1_Begriffe.contains(QStringLiteral("reise kosten")));
}
}  // namespace

namespace {
TEST(Kont, TakeOverIdentifierAndFileShareOneText) {
    EXPECT_EQ(Kont_::joinDatenuebernahme(QString(), QString()), QString()) << "not \"//////\"";
    EXPECT_EQ(Kont_::joinDatenuebernahme(QStringLiteral("abc"), QStringLiteral("C:\\x.dvl")),
              QStringLiteral("abc//////C:\\x.dvl"));
    QString uid = QStringLiteral("alt"), file = QStringLiteral("alt");
    Kont_::splitDatenuebernahme(QStringLiteral("abc//////C:\\x.dvl"), &uid, &file);
    EXPECT_EQ(uid, QStringLiteral("abc"));
    EXPECT_EQ(file, QStringLiteral("C:\\x.dvl"));
    Kont_::splitDatenuebernahme(QString(), &uid, &file);
    EXPECT_TRUE(uid.isEmpty());
    EXPECT_TRUE(file.isEmpty());
    Kont_::splitDatenuebernahme(QStringLiteral("nur-uid"), &uid, &file);
    EXPECT_EQ(uid, QStringLiteral("nur-uid"));
    EXPECT_TRUE(file.isEmpty());
    // Only the first separator splits; a file name may contain slashes.
    Kont_::splitDatenuebernahme(QStringLiteral("u//////a//////b"), &uid, &file);
    EXPECT_EQ(uid, QStringLiteral("u"));
    EXPECT_EQ(file, QStringLiteral("a//////b"));
    Kont_::splitDatenuebernahme(QStringLiteral("//////f.dvl"), &uid, &file);
    EXPECT_TRUE(uid.isEmpty());
    EXPECT_EQ(file, QStringLiteral("f.dvl"));
}
}  // namespace

// The bookkeeping root node (see kontbaum.h).
#include "kontbaum/fall/kontbaum.h"

#include "host/app/global.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/adressknoten.h"
#include "kontbaum/fall/knoten.h"

#include <new>

Kont_::Kont_(int a, int b, int c, int d) : DatenBase(a, b, c, d) {
    init();
    Clear(0);
    initVars();
}

void Kont_::initVars() {
    for (const SlotVariable& v : slotVariablen())
        addSlot(QString::fromLatin1(v.name), v.slot, QString::fromLatin1(v.klasse), v.nummer, v.index);
    addVar(QStringLiteral("eur_Betriebseinnahmen"), &eur_Betriebseinnahmen);
    addVar(QStringLiteral("eur_Betriebsausgaben"), &eur_Betriebsausgaben);
    addVar(QStringLiteral("eur_GewinnVerlust"), &eur_GewinnVerlust);
}

void Kont_::uebernehmeKinder(Kont_& quelle) {
    const QVector<SlotVariable> mine = slotVariablen();
    const QVector<SlotVariable> theirs = quelle.slotVariablen();
    for (int i = 0; i < mine.size(); ++i) {
        DatenBase* kind = *theirs[i].slot;
        if (kind) kind->detach();
        DatenBase* alt = *mine[i].slot;
        if (alt && alt != kind) {
            // An attached owned child goes through SetConnectionWithClear; a
            // slot we merely hold is emptied without touching the node.
            if (alt->parent() == this && alt->owner() == Besitzer_Owner) delete alt;
            *mine[i].slot = nullptr;
        }
        if (kind) SetConnectionWithClear(kind, this, mine[i].slot, mine[i].index ? mine[i].index : 1, Besitzer_Owner);
    }
    // The list entries too: a host keeps trees of its own forms there (the
    // advance returns of the command line).
    for (int i = 0; i < childSlotCount(); ++i)
        if (childSlot(i)) setChildSlot(i, nullptr);
    for (int i = 0; i < quelle.childSlotCount(); ++i) {
        DatenBase* kind = quelle.childSlot(i);
        if (!kind) continue;
        kind->detach();
        setChildSlot(i, kind, Besitzer_Owner);
    }
    eur_Betriebseinnahmen = quelle.eur_Betriebseinnahmen;
    eur_Betriebsausgaben = quelle.eur_Betriebsausgaben;
    eur_GewinnVerlust = quelle.eur_GewinnVerlust;
}

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

void Kont_::init() {
    for (SlotVariable& v : slotVariablen()) *v.slot = nullptr;
    m_Ana002Anzahl = 4;
    m_Ausw002Anzahl = 9;
}

void Kont_::Clear(int) {
    eur_Betriebseinnahmen = EuroType();
    eur_Betriebsausgaben = EuroType();
    eur_GewinnVerlust = EuroType();
}

int Kont_::Rechnung() {
    eur_GewinnVerlust = eur_Betriebseinnahmen - eur_Betriebsausgaben;
    return 0;
}

template <class T>
T* Kont_::accessor(DatenBase*& slot, int mode) {
    if (mode > 0 && !slot) {
        T* node = T::New();
        if (node) node->SetConnection(this, &slot, 1, Besitzer_Owner);
    } else if (mode < 0 && slot) {
        // Deleting an attached child detaches it and nulls the slot.
        delete slot;
        slot = nullptr;
    }
    return static_cast<T*>(slot);
}

Stamm001_* Kont_::GetStamm001_Ptr(int mode) { return accessor<Stamm001_>(m_Stamm001[0], mode); }
Ad0031_* Kont_::GetAd0031_Ptr(int mode) { return accessor<Ad0031_>(m_Ad0031[0], mode); }
Ad0040_* Kont_::GetAd0040_Ptr(int mode) { return accessor<Ad0040_>(m_Ad0040[0], mode); }
Anl006_* Kont_::GetAnl006_Ptr(int mode) { return accessor<Anl006_>(m_Anl006[0], mode); }
Uml006_* Kont_::GetUml006_Ptr(int mode) { return accessor<Uml006_>(m_Uml006[0], mode); }
Iab006_* Kont_::GetIab006_Ptr(int mode) { return accessor<Iab006_>(m_Iab006[0], mode); }
Buch012_* Kont_::GetBuch012_Ptr(int mode) { return accessor<Buch012_>(m_Buch012[0], mode); }
Ana001_* Kont_::GetAna001_Ptr(int mode) { return accessor<Ana001_>(m_Ana001, mode); }

int Kont_::fillBlackList() {
    Ana001_* ana = GetAna001_Ptr(1);
    DBConnection* ref = GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
    if (!ana || !ref) return 0;
    int added = 0;
    rsDataSource rs(ref, QStringLiteral("SELECT * FROM KritischeBegriffe ORDER BY Begriff"));
    for (; !rs.isEOF(); rs.fetch())
        if (ana->addBegriff(rs.field(QStringLiteral("Begriff")).toString())) ++added;
    ref->getErr()->clear();
    return added;
}

Kont_& Kont_::operator=(const Kont_& other) {
    if (this == &other) return *this;
    DatenBase::operator=(other);
    QVector<SlotVariable> mine = slotVariablen();
    QVector<SlotVariable> theirs = const_cast<Kont_&>(other).slotVariablen();
    for (int i = 0; i < mine.size(); ++i) *mine[i].slot = *theirs[i].slot;
    m_Ana002Anzahl = other.m_Ana002Anzahl;
    m_Ausw002Anzahl = other.m_Ausw002Anzahl;
    eur_Betriebseinnahmen = other.eur_Betriebseinnahmen;
    eur_Betriebsausgaben = other.eur_Betriebsausgaben;
    eur_GewinnVerlust = other.eur_GewinnVerlust;
    return *this;
}

bool Kont_::operator==(const Kont_& o) const {
    for (int i = 0; i < 2; ++i) {
        if (m_Stamm001[i] != o.m_Stamm001[i] || m_Ad0031[i] != o.m_Ad0031[i] || m_Ad0040[i] != o.m_Ad0040[i] ||
            m_Anl006[i] != o.m_Anl006[i] || m_Uml006[i] != o.m_Uml006[i] || m_Iab006[i] != o.m_Iab006[i] ||
            m_Buch012[i] != o.m_Buch012[i])
            return false;
    }
    for (int i = 0; i < 9; ++i)
        if (m_Ausw002[i] != o.m_Ausw002[i]) return false;
    for (int i = 0; i < 4; ++i)
        if (m_Ana002[i] != o.m_Ana002[i]) return false;
    return m_Ana001 == o.m_Ana001 && m_Eur0001 == o.m_Eur0001;
}

bool Kont_::IstGleich(const DatenBase* other) const {
    const auto* k = dynamic_cast<const Kont_*>(other);
    return k && *this == *k;
}

void Kont_::copy(const DatenBase* src, DatenBase* dst) {
    const auto* s = dynamic_cast<const Kont_*>(src);
    auto* d = dynamic_cast<Kont_*>(dst);
    if (s && d) *d = *s;
}

QVector<Kont_::SlotVariable> Kont_::slotVariablen() {
    return {
        {"Stamm001_Ptr[0]", 12816, 1, "Stamm001_", &m_Stamm001[0]},
        {"Stamm001_Ptr[1]", 12816, 2, "Stamm001_", &m_Stamm001[1]},
        {"Ad0031_Ptr[0]", 12808, 1, "Ad0031_", &m_Ad0031[0]},
        {"Ad0031_Ptr[1]", 12808, 2, "Ad0031_", &m_Ad0031[1]},
        {"Ad0040_Ptr[0]", 4152, 1, "Ad0040_", &m_Ad0040[0]},
        {"Ad0040_Ptr[1]", 4152, 2, "Ad0040_", &m_Ad0040[1]},
        {"Anl006_Ptr[0]", 12864, 1, "Anl006_", &m_Anl006[0]},
        {"Anl006_Ptr[1]", 12864, 2, "Anl006_", &m_Anl006[1]},
        {"Uml006_Ptr[0]", 12896, 1, "Uml006_", &m_Uml006[0]},
        {"Uml006_Ptr[1]", 12896, 2, "Uml006_", &m_Uml006[1]},
        {"Iab006_Ptr[0]", 12880, 1, "Iab006_", &m_Iab006[0]},
        {"Iab006_Ptr[1]", 12880, 2, "Iab006_", &m_Iab006[1]},
        {"Buch012_Ptr[0]", 13168, 1, "Buch012_", &m_Buch012[0]},
        {"Buch012_Ptr[1]", 13168, 2, "Buch012_", &m_Buch012[1]},
        {"Ana002_Ptr[0]", 14096, 1, "Ana002_", &m_Ana002[0]},
        {"Ana002_Ptr[1]", 14112, 2, "Ana002_", &m_Ana002[1]},
        {"Ana002_Ptr[2]", 14144, 3, "Ana002_", &m_Ana002[2]},
        {"Ana002_Ptr[3]", 14160, 4, "Ana002_", &m_Ana002[3]},
        {"Ana001_Ptr", 12928, 0, "Ana001_", &m_Ana001},
        {"Ausw002_Ptr[0]", 13472, 1, "Ausw002_", &m_Ausw002[0]},
        {"Ausw002_Ptr[1]", 13360, 2, "Ausw002_", &m_Ausw002[1]},
        {"Ausw002_Ptr[2]", 13328, 3, "Ausw002_", &m_Ausw002[2]},
        {"Ausw002_Ptr[3]", 13344, 4, "Ausw002_", &m_Ausw002[3]},
        {"Ausw002_Ptr[4]", 13424, 5, "Ausw002_", &m_Ausw002[4]},
        {"Ausw002_Ptr[5]", 13440, 6, "Ausw002_", &m_Ausw002[5]},
        {"Ausw002_Ptr[6]", 13552, 7, "Ausw002_", &m_Ausw002[6]},
        {"Ausw002_Ptr[7]", 13376, 8, "Ausw002_", &m_Ausw002[7]},
        {"Ausw002_Ptr[8]", 13392, 9, "Ausw002_", &m_Ausw002[8]},
        {"Stamm005_Ptr", 12848, 0, "Stamm005_", &m_Stamm005},
        {"Stamm007_Ptr", 12832, 0, "Stamm007_", &m_Stamm007},
        {"Reb001_Ptr", 12960, 0, "Reb001_", &m_Reb001},
        {"Reb002_Ptr", 12976, 0, "Reb002_", &m_Reb002},
        {"Reb009_Ptr", 13840, 0, "Reb009_", &m_Reb009},
        {"Stamm002_Ptr", 12856, 0, "Stamm002_", &m_Stamm002},
        {"Reb011_Ptr", 13856, 0, "Reb011_", &m_Reb011},
        {"Reb013_Ptr", 13872, 0, "Reb013_", &m_Reb013},
        {"Reb015_Ptr", 13888, 0, "Reb015_", &m_Reb015},
        {"Reb017_Ptr", 13904, 0, "Reb017_", &m_Reb017},
        {"Reba001_Ptr", 13488, 0, "Reba001_", &m_Reba001},
        {"Reba002_Ptr", 13504, 0, "Reba002_", &m_Reba002},
        {"Reba003_Ptr", 13520, 0, "Reba003_", &m_Reba003},
        {"Buch010_Ptr[0]", 13072, 1, "Buch010_", &m_Buch010[0]},
        {"Buch010_Ptr[1]", 13088, 2, "Buch010_", &m_Buch010[1]},
        {"Buch010_Ptr[2]", 13152, 3, "Buch010_", &m_Buch010[2]},
        {"Ausw005_Ptr", 13408, 0, "Ausw005_", &m_Ausw005},
        {"Ausw006_Ptr", 13456, 0, "Ausw006_", &m_Ausw006},
        {"Ausw007_Ptr", 13464, 0, "Ausw007_", &m_Ausw007},
        {"Bank001_Ptr", 12912, 0, "Bank001_", &m_Bank001},
        {"Bank002_Ptr", 13160, 0, "Bank002_", &m_Bank002},
        {"Eur0001_Ptr", 13584, 0, "Eur0001_", &m_Eur0001},
    };
}

namespace {
const QString kDueTrenner = QStringLiteral("//////");
}

QString Kont_::joinDatenuebernahme(const QString& uid, const QString& file) {
    const QString s = uid + kDueTrenner + file;
    return s == kDueTrenner ? QString() : s;
}

void Kont_::splitDatenuebernahme(const QString& text, QString* uid, QString* file) {
    const int pos = text.indexOf(kDueTrenner);
    if (pos < 0) {
        *uid = text;
        file->clear();
        return;
    }
    *uid = text.left(pos);
    *file = text.mid(pos + kDueTrenner.size());
}

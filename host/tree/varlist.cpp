// Named node variables and their archive record (see varlist.h).
#include "host/tree/varlist.h"

#include "host/tree/archive.h"
#include "host/tree/datenbase.h"
#include "host/tree/registry.h"

#include <memory>

namespace {
constexpr quint32 kTagNode = 0x4E4F4445;  // "NODE"
constexpr qint32 kArtListe = 100;
constexpr qint32 kArtKnoten = 200;
// Deeper trees than this are not written by any program version; a file
// that claims one is damaged (and would otherwise exhaust the stack).
constexpr int kMaxTiefe = 64;
thread_local int t_tiefe = 0;

struct TiefenWaechter {
    TiefenWaechter() { ++t_tiefe; }
    ~TiefenWaechter() { --t_tiefe; }
};

void schreibeWert(RS_Archive& ar, const DatenTyp& w) {
    qint32 art = qint32(w.art());
    ar.io(art);
    switch (w.art()) {
    case DatenTyp::Int: {
        qint64 v = w.toLongLong();
        ar.io(v);
        break;
    }
    case DatenTyp::Double:
    case DatenTyp::Euro: {
        double v = w.toDouble();
        ar.io(v);
        break;
    }
    case DatenTyp::Bool: {
        bool v = w.toBool();
        ar.io(v);
        break;
    }
    case DatenTyp::Text: {
        QString v = w.toString();
        ar.io(v);
        break;
    }
    case DatenTyp::Datum: {
        QDate v = w.toDate().qdate();
        ar.io(v);
        break;
    }
    case DatenTyp::Blob: {
        QByteArray v = w.toBlob();
        ar.io(v);
        break;
    }
    case DatenTyp::Null:
        break;
    }
}

// False for a kind this reader does not know.
bool leseWert(RS_Archive& ar, qint32 art, DatenTyp* out) {
    switch (art) {
    case DatenTyp::Null:
        *out = DatenTyp();
        return true;
    case DatenTyp::Int: {
        qint64 v = 0;
        ar.io(v);
        *out = DatenTyp(qlonglong(v));
        return true;
    }
    case DatenTyp::Double: {
        double v = 0;
        ar.io(v);
        *out = DatenTyp(v);
        return true;
    }
    case DatenTyp::Euro: {
        double v = 0;
        ar.io(v);
        *out = DatenTyp(EuroType::ausDouble(v));
        return true;
    }
    case DatenTyp::Bool: {
        bool v = false;
        ar.io(v);
        *out = DatenTyp(v);
        return true;
    }
    case DatenTyp::Text: {
        QString v;
        ar.io(v);
        *out = DatenTyp(v);
        return true;
    }
    case DatenTyp::Datum: {
        QDate v;
        ar.io(v);
        *out = DatenTyp(zDate(v));
        return true;
    }
    case DatenTyp::Blob: {
        QByteArray v;
        ar.io(v);
        *out = DatenTyp::fromBlob(v);
        return true;
    }
    default:
        return false;
    }
}

// Reads one child record of class `klasse` into a new node. The node is not
// attached; the caller owns it. Null (and the archive's error) on failure.
DatenBase* leseKind(RS_Archive& ar, const QString& klasse) {
    std::unique_ptr<DatenBase> kind(rsBuildRegistry::createNode(klasse));
    if (!kind) {
        ar.setFehler(QStringLiteral("Die Datei enthält einen unbekannten Knotentyp (%1).").arg(klasse));
        return nullptr;
    }
    if (!kind->ioDataVar(ar)) return nullptr;
    return kind.release();
}
}  // namespace

void Varlist::add(Variable v) {
    const auto it = m_index.find(v.name);
    if (it != m_index.end()) {
        m_vars[it->second] = std::move(v);
        return;
    }
    m_index[v.name] = m_vars.size();
    m_vars.append(std::move(v));
}

template <class T>
static Varlist::Variable gebunden(const QString& name, T* wert, quint16 nummer, DatenTyp::Art typ) {
    Varlist::Variable v;
    v.name = name;
    v.nummer = nummer;
    v.typ = typ;
    v.lesen = [wert] { return DatenTyp(*wert); };
    return v;
}

void Varlist::addVar(const QString& name, int* wert, quint16 nummer) {
    Variable v = gebunden(name, wert, nummer, DatenTyp::Int);
    v.schreiben = [wert](const DatenTyp& d) { *wert = d.toInt(); };
    add(std::move(v));
}

void Varlist::addVar(const QString& name, quint32* wert, quint16 nummer) {
    Variable v = gebunden(name, wert, nummer, DatenTyp::Int);
    v.schreiben = [wert](const DatenTyp& d) { *wert = quint32(d.toLongLong()); };
    add(std::move(v));
}

void Varlist::addVar(const QString& name, double* wert, quint16 nummer) {
    Variable v = gebunden(name, wert, nummer, DatenTyp::Double);
    v.schreiben = [wert](const DatenTyp& d) { *wert = d.toDouble(); };
    add(std::move(v));
}

void Varlist::addVar(const QString& name, bool* wert, quint16 nummer) {
    Variable v = gebunden(name, wert, nummer, DatenTyp::Bool);
    v.schreiben = [wert](const DatenTyp& d) { *wert = d.toBool(); };
    add(std::move(v));
}

void Varlist::addVar(const QString& name, QString* wert, quint16 nummer) {
    Variable v = gebunden(name, wert, nummer, DatenTyp::Text);
    v.schreiben = [wert](const DatenTyp& d) { *wert = d.toString(); };
    add(std::move(v));
}

void Varlist::addVar(const QString& name, EuroType* wert, quint16 nummer) {
    Variable v = gebunden(name, wert, nummer, DatenTyp::Euro);
    v.schreiben = [wert](const DatenTyp& d) { *wert = d.toEuro(); };
    add(std::move(v));
}

void Varlist::addVar(const QString& name, zDate* wert, quint16 nummer) {
    Variable v = gebunden(name, wert, nummer, DatenTyp::Datum);
    v.schreiben = [wert](const DatenTyp& d) { *wert = d.toDate(); };
    add(std::move(v));
}

void Varlist::addList(const QString& name, QStringList* liste, quint16 nummer) {
    Variable v;
    v.name = name;
    v.art = VarArt::Liste;
    v.nummer = nummer;
    v.liste = liste;
    add(std::move(v));
}

void Varlist::addSlot(const QString& name, DatenBase** slot, const QString& klasse, quint16 nummer, int index) {
    Variable v;
    v.name = name;
    v.art = VarArt::Knoten;
    v.nummer = nummer;
    v.index = index;
    v.slot = slot;
    v.klasse = klasse;
    add(std::move(v));
}

const Varlist::Variable* Varlist::findVar(const QString& name) const {
    const auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : &m_vars[it->second];
}

Varlist::Variable* Varlist::findVarMut(const QString& name) {
    const auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : &m_vars[it->second];
}

DatenTyp Varlist::getVar(const QString& name) const {
    const Variable* v = findVar(name);
    if (!v) return DatenTyp();
    if (v->art == VarArt::Wert) return v->lesen();
    if (v->art == VarArt::Liste) return DatenTyp(v->liste->join(QLatin1Char('\n')));
    return DatenTyp();
}

bool Varlist::setVar(const QString& name, const DatenTyp& wert) {
    Variable* v = findVarMut(name);
    if (!v) {
        if (!m_dynamisch || name.isEmpty()) return false;
        m_werte[name] = wert;
        Variable neu;
        neu.name = name;
        neu.typ = wert.art();
        neu.dynamisch = true;
        std::map<QString, DatenTyp>* werte = &m_werte;
        neu.lesen = [werte, name] { return (*werte)[name]; };
        neu.schreiben = [werte, name](const DatenTyp& d) { (*werte)[name] = d; };
        add(std::move(neu));
        return true;
    }
    if (v->art == VarArt::Wert) {
        if (v->dynamisch) v->typ = wert.art();
        v->schreiben(wert);
        return true;
    }
    if (v->art == VarArt::Liste) {
        const QString t = wert.toString();
        *v->liste = t.isEmpty() ? QStringList() : t.split(QLatin1Char('\n'));
        return true;
    }
    return false;
}

QStringList Varlist::varNames() const {
    QStringList out;
    for (const Variable& v : m_vars) out << v.name;
    return out;
}

QVector<const Varlist::Variable*> Varlist::slotsOf(const QString& klasse) const {
    QVector<const Variable*> out;
    for (const Variable& v : m_vars)
        if (v.art == VarArt::Knoten && v.klasse == klasse) out << &v;
    return out;
}

void Varlist::clearDynamisch() {
    QVector<Variable> bleiben;
    for (Variable& v : m_vars)
        if (!v.dynamisch) bleiben.append(std::move(v));
    m_vars = std::move(bleiben);
    m_index.clear();
    for (int i = 0; i < m_vars.size(); ++i) m_index[m_vars[i].name] = i;
    m_werte.clear();
}

QVariantMap Varlist::werte() const {
    QVariantMap out;
    for (const Variable& v : m_vars) {
        if (v.art == VarArt::Wert) {
            const DatenTyp d = v.lesen();
            out.insert(v.name, d.art() == DatenTyp::Euro ? QVariant(d.toDouble()) : d.variant());
        } else if (v.art == VarArt::Liste) {
            out.insert(v.name, *v.liste);
        }
    }
    return out;
}

bool Varlist::ioDataVar(RS_Archive& ar) {
    TiefenWaechter w;
    if (t_tiefe > kMaxTiefe) {
        ar.setFehler(QString());
        return false;
    }
    if (!ar.beginSection(kTagNode)) return false;
    const bool ok = ar.isStoring() ? schreibeKnoten(ar) : leseKnoten(ar);
    return ok && ar.endSection() && ar.ok();
}

bool Varlist::schreibeKnoten(RS_Archive& ar) {
    quint32 anzahl = quint32(m_vars.size());
    ar.io(anzahl);
    for (const Variable& v : m_vars) {
        QString name = v.name;
        ar.io(name);
        if (v.art == VarArt::Wert) {
            schreibeWert(ar, v.lesen());
        } else if (v.art == VarArt::Liste) {
            qint32 art = kArtListe;
            ar.io(art);
            QStringList l = *v.liste;
            ar.io(l);
        } else {
            qint32 art = kArtKnoten;
            ar.io(art);
            DatenBase* kind = *v.slot;
            bool da = kind != nullptr;
            ar.io(da);
            if (da) {
                QString klasse = kind->className();
                ar.io(klasse);
                if (!kind->ioDataVar(ar)) return false;
            }
        }
    }
    DatenBase* selbst = varlistKnoten();
    quint32 eintraege = 0;
    for (int i = 0; i < selbst->childSlotCount(); ++i)
        if (selbst->childSlot(i)) ++eintraege;
    ar.io(eintraege);
    for (int i = 0; i < selbst->childSlotCount(); ++i) {
        DatenBase* kind = selbst->childSlot(i);
        if (!kind) continue;
        qint32 slot = i;
        QString klasse = kind->className();
        ar.io(slot);
        ar.io(klasse);
        if (!kind->ioDataVar(ar)) return false;
    }
    return ar.ok();
}

bool Varlist::leseKnoten(RS_Archive& ar) {
    DatenBase* selbst = varlistKnoten();
    quint32 anzahl = 0;
    ar.io(anzahl);
    for (quint32 n = 0; n < anzahl && ar.ok(); ++n) {
        QString name;
        qint32 art = 0;
        ar.io(name);
        ar.io(art);
        if (!ar.ok()) return false;
        if (art == kArtListe) {
            QStringList l;
            ar.io(l);
            Variable* v = findVarMut(name);
            if (v && v->art == VarArt::Liste) *v->liste = l;
        } else if (art == kArtKnoten) {
            bool da = false;
            ar.io(da);
            Variable* v = findVarMut(name);
            DatenBase* kind = nullptr;
            if (da) {
                QString klasse;
                ar.io(klasse);
                if (!ar.ok()) return false;
                kind = leseKind(ar, klasse);
                if (!kind) return false;
            }
            if (v && v->art == VarArt::Knoten) {
                // Replaces what the slot held (an owned child is deleted).
                DatenBase::SetConnectionWithClear(kind, selbst, v->slot, v->index ? v->index : 1, Besitzer_Owner);
                if (!kind && *v->slot) {
                    delete *v->slot;
                    *v->slot = nullptr;
                }
            } else {
                delete kind;
            }
        } else {
            DatenTyp wert;
            if (!leseWert(ar, art, &wert)) {
                ar.setFehler(QString());
                return false;
            }
            Variable* v = findVarMut(name);
            if (v && v->art == VarArt::Wert)
                v->schreiben(wert);
            else if (!v && m_dynamisch)
                setVar(name, wert);
        }
    }
    quint32 eintraege = 0;
    ar.io(eintraege);
    for (quint32 n = 0; n < eintraege && ar.ok(); ++n) {
        qint32 slot = 0;
        QString klasse;
        ar.io(slot);
        ar.io(klasse);
        if (!ar.ok() || slot < 0 || slot > 1000000) {
            ar.setFehler(QString());
            return false;
        }
        DatenBase* kind = leseKind(ar, klasse);
        if (!kind) return false;
        selbst->setChildSlot(slot, kind, Besitzer_Owner);
    }
    return ar.ok();
}

// Node paths: resolving "Kont_[M]\Ausw002_(3)" and friends (see datenbase.h).
#include "host/tree/datenbase.h"
#include "host/tree/registry.h"

#include <QHash>
#include <QRegularExpression>

namespace {
QHash<QString, DatenBase*>& wurzeln() {
    static QHash<QString, DatenBase*> w;
    return w;
}

struct Segment {
    QString name;
    int position = -1;  // [i], 0-based
    int index = -1;     // (n), 1-based
    int eintrag = -1;   // {n}
    bool ok = false;
};

Segment zerlege(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^([A-Za-z0-9_]+?)(?:\\[([0-9]+|M)\\])?(?:\\(([0-9]+)\\))?(?:\\{([0-9]+)\\})?$"));
    Segment s;
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) return s;
    s.name = m.captured(1);
    if (!m.captured(2).isEmpty() && m.captured(2) != QLatin1String("M")) s.position = m.captured(2).toInt();
    if (!m.captured(3).isEmpty()) s.index = m.captured(3).toInt();
    if (!m.captured(4).isEmpty()) s.eintrag = m.captured(4).toInt();
    s.ok = true;
    return s;
}

// The named slot a segment selects, or null when the node has none.
const Varlist::Variable* waehleSlot(const DatenBase* knoten, const Segment& s) {
    const QVector<const Varlist::Variable*> kandidaten = knoten->slotsOf(s.name);
    if (kandidaten.isEmpty()) return nullptr;
    if (s.position >= 0) {
        if (s.position >= kandidaten.size()) return nullptr;
        const Varlist::Variable* v = kandidaten[s.position];
        if (s.index >= 0 && v->index != s.index) return nullptr;
        return v;
    }
    if (s.index >= 0) {
        for (const Varlist::Variable* v : kandidaten)
            if (v->index == s.index) return v;
        return nullptr;
    }
    return kandidaten.first();
}

DatenBase* kind(DatenBase* knoten, const Segment& s, bool anlegen) {
    if (s.eintrag >= 0) {
        // Entry n is the n-th child of that class in the generic slots, so
        // lists of different classes under one node do not collide. Only the
        // next entry of a list can be created: lists have no gaps.
        int gefunden = 0, frei = -1;
        for (int i = 0; i < knoten->childSlotCount(); ++i) {
            DatenBase* e = knoten->childSlot(i);
            if (!e) {
                if (frei < 0 && i > 0) frei = i;
                continue;
            }
            if (e->className() == s.name && ++gefunden == s.eintrag) return e;
        }
        if (!anlegen || s.eintrag != gefunden + 1) return nullptr;
        DatenBase* neu = rsBuildRegistry::createNode(s.name);
        if (neu) knoten->setChildSlot(frei > 0 ? frei : qMax(1, knoten->childSlotCount()), neu, Besitzer_Owner);
        return neu;
    }
    if (const Varlist::Variable* v = waehleSlot(knoten, s)) {
        if (*v->slot || !anlegen) return *v->slot;
        return rsBuildRegistry::createNode(s.name, knoten, v->slot, v->index ? v->index : 1, Besitzer_Owner, true);
    }
    if (s.position < 0 && s.index < 0) {
        if (DatenBase* c = knoten->findChild(s.name, 0)) return c;
        // A node without a named slot for the class keeps such a child as
        // the first entry of its list.
        Segment erster = s;
        erster.eintrag = 1;
        return kind(knoten, erster, anlegen);
    }
    return nullptr;
}

QStringList teile(const QString& path) {
    QString p = path.trimmed();
    p.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    return p.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

DatenBase* folge(const QStringList& teile, int bis, bool anlegen) {
    if (teile.isEmpty() || bis < 1) return nullptr;
    const Segment kopf = zerlege(teile.first());
    if (!kopf.ok) return nullptr;
    // A root may be registered with its instance ("Ad0030_[1]") or by class.
    DatenBase* knoten = wurzeln().value(teile.first());
    if (!knoten) knoten = wurzeln().value(kopf.name);
    for (int i = 1; i < bis && knoten; ++i) {
        const Segment s = zerlege(teile[i]);
        if (!s.ok) return nullptr;
        knoten = kind(knoten, s, anlegen);
    }
    return knoten;
}
}  // namespace

void DatenBase::setRootNode(const QString& klasse, DatenBase* root) {
    if (root)
        wurzeln().insert(klasse, root);
    else
        wurzeln().remove(klasse);
}

DatenBase* DatenBase::rootNode(const QString& klasse) { return wurzeln().value(klasse); }

void datenBaseVergissWurzel(DatenBase* node) {
    for (auto it = wurzeln().begin(); it != wurzeln().end();) {
        if (it.value() == node)
            it = wurzeln().erase(it);
        else
            ++it;
    }
}

DatenBase* DatenBase::GetDB(const QString& path, bool anlegen) {
    const QStringList t = teile(path);
    return folge(t, t.size(), anlegen);
}

bool DatenBase::GetDBVar(const QString& path, DatenTyp* wert) {
    const QStringList t = teile(path);
    DatenBase* knoten = folge(t, t.size() - 1, false);
    if (!knoten || !knoten->hasVar(t.last())) return false;
    if (wert) *wert = knoten->getVar(t.last());
    return true;
}

bool DatenBase::SetDBVar(const QString& path, const DatenTyp& wert, bool anlegen) {
    const QStringList t = teile(path);
    DatenBase* knoten = folge(t, t.size() - 1, anlegen);
    return knoten && knoten->setVar(t.last(), wert);
}

// Process-wide builder registries (see registry.h).
//
// Registrations arrive during static initialisation of whatever translation
// unit defines them, in an order we do not control, so each registry is a
// function-local static: it exists the moment the first registration needs it.
#include "host/tree/registry.h"

#include "host/tree/adressknoten.h"

#include "host/app/log.h"
#include "host/tree/dialog.h"

#include <QHash>
#include <QPair>
#include <QVector>

namespace {
const QString kQuelle = QStringLiteral("host/tree/registry");

template <class Builder>
struct Registry {
    QVector<QPair<QString, Builder>> eintraege;  // registration order
    QHash<QString, int> index;

    void add(const QString& art, const QString& name, Builder b) {
        if (!b) {
            rs_logAssert(kQuelle, __LINE__, QStringLiteral("%1 ohne Erzeuger: %2").arg(art, name));
            return;
        }
        if (index.contains(name)) {
            rs_logAssert(kQuelle, __LINE__, QStringLiteral("%1 doppelt registriert: %2").arg(art, name));
            return;
        }
        index.insert(name, eintraege.size());
        eintraege.append(qMakePair(name, b));
    }
    Builder find(const QString& name) const {
        const auto it = index.constFind(name);
        return it == index.constEnd() ? nullptr : eintraege[*it].second;
    }
    QStringList names() const {
        QStringList out;
        out.reserve(eintraege.size());
        for (const auto& e : eintraege) out << e.first;
        return out;
    }
};

Registry<DatenBaseBuilder>& nodeRegistry() {
    static Registry<DatenBaseBuilder> r;
    return r;
}

Registry<DialogBuilder>& dialogRegistry() {
    static Registry<DialogBuilder> r;
    return r;
}
}  // namespace

rsAddDatenBaseBuildList::rsAddDatenBaseBuildList(const QString& name, DatenBaseBuilder builder) {
    nodeRegistry().add(QStringLiteral("Knotenklasse"), name, builder);
}

rsAddBuildList::rsAddBuildList(const QString& name, DialogBuilder builder) {
    dialogRegistry().add(QStringLiteral("Dialog"), name, builder);
}

namespace rsBuildRegistry {
DatenBaseBuilder findNode(const QString& name) { return nodeRegistry().find(name); }

namespace {
template <class N>
DatenBase* baueHostKnoten(DatenBase* parent, DatenBase** slot, int index, BesitzerType owner, bool connect) {
    if (!slot) return nullptr;
    N* n = N::New();
    if (connect) DatenBase::SetConnectionWithClear(n, parent, slot, index, owner);
    else *slot = n;
    return *slot;
}

// The host's own address nodes a bookkeeping tree holds (tax office, cover
// letter): not registered by the module, yet a case file that carries
// them must read back.
DatenBaseBuilder hostKnoten(const QString& name) {
    if (name == QLatin1String("Ad0031_")) return &baueHostKnoten<Ad0031_>;
    if (name == QLatin1String("Ad0040_")) return &baueHostKnoten<Ad0040_>;
    return nullptr;
}
}  // namespace
DialogBuilder findDialog(const QString& name) { return dialogRegistry().find(name); }
QStringList nodeNames() { return nodeRegistry().names(); }
QStringList dialogNames() { return dialogRegistry().names(); }

DatenBase* createNode(const QString& name, DatenBase* parent, DatenBase** slot, int index, BesitzerType owner,
                      bool connect) {
    DatenBaseBuilder b = findNode(name);
    if (!b) b = hostKnoten(name);
    if (!b) return nullptr;
    if (slot) return b(parent, slot, index, owner, connect);
    if (connect) {
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("createNode: Verbinden ohne Slot (%1)").arg(name));
        return nullptr;
    }
    DatenBase* lokal = nullptr;
    return b(parent, &lokal, index, owner, false);
}

zWinDialog* createDialog(const QString& name, QWidget* parent, int resource) {
    const DialogBuilder b = findDialog(name);
    return b ? b(parent, resource) : nullptr;
}
}  // namespace rsBuildRegistry

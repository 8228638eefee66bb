// The module's entries in the host's builder registries.
//
// Every node class of the module (knoten.h, in its list order) gets a node
// builder, and every form dialog the host opens by name gets a dialog
// builder. The registration objects are static and run while the library is
// being loaded; this translation unit holds all of them, so the one symbol
// kontbaumRegistrierungen() keeps them in the link.
//
// Nodes without a dialog entry (bank, booking entry, invoicing documents,
// account record, wizard data nodes, the group roots and Kont_) are edited by
// dialogs the module constructs itself.
#include "host/tree/dialog.h"
#include "host/tree/registry.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/fall/knoten.h"

#include <iterator>
#include <new>

// clang-format off
// The dialogs the host opens by name, in registration order. Each edits the
// node of the same code with a trailing underscore.
#define DALVO_KONTBAUM_DIALOGE(X) \
    X(Eur0001) X(Eur0002) X(Eur0003) \
    X(Gst0001) X(Gst0001a) X(Gst0001b) X(Gst0002) X(Gst0003) X(Gst0005) X(Gst0005a) \
    X(Gst0005b) X(Gst0006) X(Gst0008) X(Gst0009) X(Gst0009a) X(Gst0011) X(Gst0013) \
    X(Gst0017) X(Gst0019) X(Gst0019a) X(Gst0020) X(Gst0020a) X(Gst0021) X(Gst0022) \
    X(Gst0023) X(Gst0024) \
    X(Ana001) X(Ana002) \
    X(Anl006) X(Anl006a1) X(Anl006a2) X(Anl006a3) X(Anl006a) X(Anl007) X(Anl007a) \
    X(Ausw002) X(Ausw005) X(Ausw006) X(Ausw007) \
    X(Buch012) X(Buch012a) \
    X(Iab006) X(Iab006a) \
    X(Reba001) X(Reba002) X(Reba003) \
    X(Stamm001) X(Stamm002) X(Stamm005) \
    X(Uml006) X(Uml006a1) X(Uml006a) X(Uml007) X(Uml007a) X(Uml008) X(Uml008a) \
    X(Ust0001a) X(Ust0003) X(Ust0004a) X(Ust0004c) X(Ust0005) X(Ust0006) X(Ust0007) \
    X(Ust0008) X(Ust0008a) X(Ust0009) X(Ust0011) X(Ust0012) X(Ust0013a) X(Ust0013b) \
    X(Ust0014) X(Ust0015) X(Ust0016) X(Ust0017) X(Ust0019) \
    X(Va0010) X(Va0011) X(Va0012) X(Va0020) X(Va0021) X(Va0031) X(Va0040) X(Va0041) \
    X(Va0050) X(Va0051) X(Va0052) X(Va0052a)
// clang-format on

namespace {

// Node builder of class T: a fresh node with the standard values, put into
// the slot and, when asked, connected to the parent. The result is what the
// slot holds afterwards, so a failed allocation reports null and leaves the
// slot empty.
template <class T>
DatenBase* baueKnoten(DatenBase* parent, DatenBase** slot, int index, BesitzerType owner, bool connect) {
    if (!slot) return nullptr;
    DatenBase* node = new (std::nothrow) T(KnotenWerte::A, KnotenWerte::B, KnotenWerte::C, KnotenWerte::D);
    if (connect)
        DatenBase::SetConnectionWithClear(node, parent, slot, index, owner);
    else
        *slot = node;
    return *slot;
}

// The form dialogs are plain frames for now; each knows its registered name.
namespace dlg {
#define DALVO_DIALOG_KLASSE(N)                                                   \
    class N final : public zWinDialog {                                         \
    public:                                                                     \
        N(QWidget* parent, const zResId& res) : zWinDialog(parent, res) {}      \
        QString dialogName() const override { return QStringLiteral(#N); }      \
    };
DALVO_KONTBAUM_DIALOGE(DALVO_DIALOG_KLASSE)
#undef DALVO_DIALOG_KLASSE
}  // namespace dlg

template <class D>
zWinDialog* baueDialog(QWidget* parent, int resource) {
    return new (std::nothrow) D(parent, zResId(resource, QString()));
}

#define DALVO_KNOTEN_EINTRAG(N, art) rsAddDatenBaseBuildList(QStringLiteral(#N), &baueKnoten<N>),
const rsAddDatenBaseBuildList s_knoten[] = {DALVO_KONTBAUM_KNOTEN(DALVO_KNOTEN_EINTRAG)};
#undef DALVO_KNOTEN_EINTRAG

#define DALVO_DIALOG_EINTRAG(N) rsAddBuildList(QStringLiteral(#N), &baueDialog<dlg::N>),
const rsAddBuildList s_dialoge[] = {DALVO_KONTBAUM_DIALOGE(DALVO_DIALOG_EINTRAG)};
#undef DALVO_DIALOG_EINTRAG

}  // namespace

int kontbaumRegistrierungen() { return int(std::size(s_knoten) + std::size(s_dialoge)); }

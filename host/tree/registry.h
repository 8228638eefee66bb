// Builder registries of the data tree: node class name -> node builder and
// dialog name -> dialog builder.
//
// The host builds nodes and opens dialogs by name (when it reads a case file,
// creates a child or opens the dialog of a node); modules fill the two
// registries during their static initialisation by defining one static
// registration object per entry. The registries are process-wide, keep
// registration order, are never shrunk, and are only read after loading.
// A name can be registered once; a second registration under the same name
// (or one without a builder) is recorded with rs_logAssert and ignored.
#pragma once

#include "host/tree/datenbase.h"

#include <QString>
#include <QStringList>

class QWidget;
class zWinDialog;

// Node builder: creates a node, stores it in *slot and, with `connect`,
// attaches it to `parent` (DatenBase::SetConnectionWithClear). Returns the
// value now in the slot; a null `slot` yields null and creates nothing.
using DatenBaseBuilder = DatenBase* (*)(DatenBase* parent, DatenBase** slot, int index, BesitzerType owner,
                                        bool connect);
// Dialog builder: constructs the dialog with parent widget and resource number.
using DialogBuilder = zWinDialog* (*)(QWidget* parent, int resource);

// Registers a node builder on construction.
class rsAddDatenBaseBuildList {
public:
    rsAddDatenBaseBuildList(const QString& name, DatenBaseBuilder builder);
};

// Registers a dialog builder on construction.
class rsAddBuildList {
public:
    rsAddBuildList(const QString& name, DialogBuilder builder);
};

namespace rsBuildRegistry {
// Null when the name is not registered.
DatenBaseBuilder findNode(const QString& name);
DialogBuilder findDialog(const QString& name);
// Registered names, in registration order.
QStringList nodeNames();
QStringList dialogNames();

// Builds a node of class `name` through its builder. Without a slot the node
// is built into a private slot and returned unattached (the caller owns it);
// asking to connect without a slot is refused (null, assertion logged), since
// an attached node needs a slot of its parent. Null for unknown names.
DatenBase* createNode(const QString& name, DatenBase* parent = nullptr, DatenBase** slot = nullptr, int index = 0,
                      BesitzerType owner = Besitzer_Owner, bool connect = false);
// Builds the dialog `name`; null for unknown names.
zWinDialog* createDialog(const QString& name, QWidget* parent, int resource);
}  // namespace rsBuildRegistry

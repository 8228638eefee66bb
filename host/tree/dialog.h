// zWinDialog: the base of every form dialog the host opens for a node.
//
// A dialog is identified by its registered name (dialogName, e.g. "Eur0001")
// and the resource it was built from (zResId). The host creates dialogs only
// through the dialog-builder registry (host/tree/registry.h), so it never
// needs to know the dialog's concrete type.
#pragma once

#include <QDialog>
#include <QString>

// Resource identifier of a dialog: a number chosen by the host and an
// optional resource name (empty for the module's dialogs).
struct zResId {
    int nummer;
    QString name;
    zResId(int n, const QString& s) : nummer(n), name(s) {}
};

class zWinDialog : public QDialog {
public:
    zWinDialog(QWidget* parent, const zResId& res);
    ~zWinDialog() override;

    const zResId& resId() const { return m_res; }
    // The name the dialog is registered under; empty for the bare base.
    virtual QString dialogName() const;

private:
    zResId m_res;
};

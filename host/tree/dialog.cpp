// Form dialog base (see dialog.h).
#include "host/tree/dialog.h"

zWinDialog::zWinDialog(QWidget* parent, const zResId& res) : QDialog(parent), m_res(res) {}

zWinDialog::~zWinDialog() = default;

QString zWinDialog::dialogName() const { return QString(); }

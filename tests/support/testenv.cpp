#include "support/testenv.h"

#include "host/app/options.h"

TestEnv::TestEnv() {
    GlobalInst::reset(m_dir.path());
    rsOptionsGlobal::instance().setFile(QString());
    rsOptionsGlobal::instance().clear();
    TesmaIni::clearOverrides();
    rsLog::clear();
    m_prevUi = Ui::install(&m_ui);
}

TestEnv::~TestEnv() {
    GlobalInst::reset(m_dir.path());
    Ui::install(m_prevUi);
    TesmaIni::clearOverrides();
    rsOptionsGlobal::instance().clear();
}

#include "frmKLD251.h"

frmKLD251::frmKLD251(QWidget *parent)
    : Runtime::Form(parent)
{
    setObjectName(QStringLiteral("frmKLD251"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Control de oportunidades"));
}

frmKLD251::~frmKLD251() = default;

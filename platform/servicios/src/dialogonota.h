#pragma once

#include "servicios/servicios.h"

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QPlainTextEdit;

namespace Servicios {

// Captures the text of one note about an entity ("dlgSeguimiento" / "dlgEvento"). Accepting
// with an empty note keeps the dialog open and says why.
class DialogoNota final : public QDialog
{
    Q_OBJECT

public:
    DialogoNota(TipoDeNota tipo, const QString &entidad, const QString &clave, QWidget *parent = nullptr);

    QString nota() const;

    void accept() override;

private:
    QPlainTextEdit *m_nota = nullptr;
    QLabel *m_aviso = nullptr;
};

// The library's own note capture: the dialog, modal over the active window; nothing when the
// user cancels or the window goes away meanwhile.
std::optional<QString> capturaConDialogo(TipoDeNota tipo, const QString &entidad, const QString &clave);

} // namespace Servicios

#pragma once

#include "oportunidades.h"
#include "suplente.h"

#include <QStringList>

#include <memory>

class QComboBox;
class QDate;
class QDateEdit;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

struct ServiciosDelAnfitrion;

namespace Pantallas {

// In place of the opportunities module (KLD242): the form of one opportunity, to register a
// new one (NUEVO), to look at one (CONSULTA) or to change one (EDITAR). Saving checks the
// required fields and, for a new one, that its folio is free; the form closes once saved.
// A change writes only the fields the user changed, and only over the opportunity as the form
// read it: when another user changed it meanwhile, the form says so, shows it as it is now and
// keeps what the user typed for a second try.
class FormaOportunidad final : public Suplente
{
    Q_OBJECT

public:
    enum class Modo { Nuevo, Consulta, Editar };

    // For a new opportunity, `oportunidad` holds the values the form starts with.
    FormaOportunidad(Modo modo, const Oportunidad &oportunidad, const Catalogos &catalogos, QWidget *duena);
    ~FormaOportunidad() override;

    // The fields a user must fill that are empty, as the message names them.
    QStringList faltantes() const;

private:
    struct Campo
    {
        QString nombre;
        QWidget *control;
    };

    QList<Campo> camposVacios() const;
    void creaCampos(const Oportunidad &oportunidad, const Catalogos &catalogos);
    void creaLectura(const Oportunidad &oportunidad);
    Oportunidad capturada() const;
    void guarda();
    bool guardaNueva(const Oportunidad &oportunidad);
    bool guardaCambios(const Oportunidad &oportunidad);
    bool noSePuedeGuardar(const QString &motivo);
    bool muestraLaActual(const QList<Dato> &propios);
    void muestra(Dato dato, const Oportunidad &oportunidad);
    QString textoVisible(Dato dato) const;

    Modo m_modo;
    Oportunidad m_leida;    // as stored when the form read it
    Oportunidad m_mostrada; // as the fields showed it then
    std::unique_ptr<ServiciosDelAnfitrion> m_servicios;
    QLineEdit *txtFolio = nullptr;
    QLineEdit *txtDescripcion = nullptr;
    QComboBox *cboContacto = nullptr;
    QComboBox *cboVendedor = nullptr;
    QComboBox *cboEstado = nullptr;
    QDoubleSpinBox *txtMonto = nullptr;
    QDateEdit *dtpCierre = nullptr;
    QPushButton *cmdGuardar = nullptr;
    QLabel *lbOtroUsuario = nullptr;
};

// The opportunity's fields, read-only, in a card's form: for looking at one and, without the
// amount and the date the closing asks for, beside a closing.
enum class Resumen { Completo, SinMontoNiFecha };
void agregaResumen(QWidget &pantalla, QFormLayout &forma, const Oportunidad &oportunidad,
                   Resumen resumen = Resumen::Completo);

// The amount ("txtMonto", pesos to the cent) and the date ("dtpCierre") a user types.
QDoubleSpinBox *campoDeMonto(QWidget &pantalla, double monto);
QDateEdit *campoDeFecha(QWidget &pantalla, const QDate &fecha, const QString &nombreAccesible);

} // namespace Pantallas

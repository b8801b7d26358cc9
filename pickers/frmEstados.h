#pragma once

// Control prefixes: frm form, pic picture box, lb label, cmd button.

#include "runtime/form.h"

#include <QString>
#include <QVariant>

#include <array>

class CuadroDeColor;
class QLabel;

namespace Ado {
class Recordset;
} // namespace Ado
namespace Kit {
class colorZEL;
class flatButton;
class Titulo;
} // namespace Kit

// The state picker: every opportunity state as a coloured tile, the opportunity's current
// state raised. Whoever uses it loads it, calls Mostrar with the current state key, reads
// EstadoSeleccionado and Aceptado once Mostrar returns, and unloads it. Only an accepted
// choice counts.
class frmEstados final : public Runtime::Form
{
    Q_OBJECT

public:
    static constexpr int numeroDeCuadros = 48;

    explicit frmEstados(QWidget *parent = nullptr);
    ~frmEstados() override;

    // Fills the tiles and shows the picker modally; returns when it is hidden, or at once
    // when the states could not be shown (the failure has then been reported).
    void Mostrar(const QVariant &Op_Cve_Oportunidad);

    QString EstadoSeleccionado;
    bool Aceptado = false;

    std::array<CuadroDeColor *, numeroDeCuadros> picEstado{};
    CuadroDeColor *picSeleccion = nullptr;
    QLabel *lbDescripcion = nullptr;
    Kit::flatButton *cmdAceptar = nullptr;
    Kit::flatButton *cmdCancelar = nullptr;

protected:
    void formLoad() override;
    void formUnloaded() override;
    void formKeyDown(int keyCode, int shift) override;
    void formKeyUp(int keyCode, int shift) override;

private:
    void creaControles();
    void creaCuadros();
    void creaBotones();
    void conectaEventos();

    void llenaCuadros(const QVariant &actual);
    void muestraEstado(CuadroDeColor &cuadro, const Ado::Recordset &estado, const QVariant &actual);
    void limpiaCuadros();
    void enfocaElegido();
    CuadroDeColor &cuadro(int indice) const;
    qint32 colorDeFondo() const;

    void picEstado_Click(int Index);
    void eligeAlEnfocar(int Index);
    void cmdAceptar_Click();
    void cmdCancelar_Click();

    Kit::colorZEL *colorZEL = nullptr;
    Kit::Titulo *Titulo = nullptr;
};

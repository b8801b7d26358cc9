#pragma once

// Control prefixes: frm form, txt text box, cmd button.

#include "runtime/form.h"

namespace Kit {
class colorZEL;
class Etiqueta;
class flatButton;
class Titulo;
class txtZEL;
} // namespace Kit

// The salesperson's login: a code and a password, checked against the active salespeople.
// The dialog only hides itself; whoever showed it reads Aceptado and the code, then
// unloads it.
class frmLogin final : public Runtime::Form
{
    Q_OBJECT

public:
    explicit frmLogin(QWidget *parent = nullptr);
    ~frmLogin() override;

    bool Aceptado = false;

    Kit::txtZEL *txtVn_Cve_Vendedor = nullptr;
    Kit::txtZEL *txtVn_Descripcion = nullptr;
    Kit::txtZEL *txtContraseña = nullptr;
    Kit::flatButton *cmdAceptar = nullptr;
    Kit::flatButton *cmdCancelar = nullptr;

protected:
    void formLoad() override;

private:
    void creaControles();
    void creaBotones();
    void conectaEventos();

    void cmdAceptar_Click();
    void cmdCancelar_Click();
    bool vendedorValido();
    void avisa(const QString &texto, const QString &idError);

    Kit::colorZEL *colorZEL = nullptr;
    Kit::Titulo *Titulo = nullptr;
    Kit::Etiqueta *Etiqueta3 = nullptr;
    Kit::Etiqueta *Etiqueta1 = nullptr;
};

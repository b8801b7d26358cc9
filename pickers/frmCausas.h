#pragma once

// Control prefixes: frm form, lv list view, lb label.

#include "runtime/form.h"

#include <QString>

namespace Kit {
class colorZEL;
class Etiqueta;
class ListView;
class Titulo;
} // namespace Kit

// The lost-cause picker: lists the active causes for which an opportunity can be lost and
// lets the user pick one with Enter or a double click, or leave without one with Esc.
// Whoever shows it reads Causa (empty: nothing to change) and then unloads it.
class frmCausas final : public Runtime::Form
{
    Q_OBJECT

public:
    explicit frmCausas(QWidget *parent = nullptr);
    ~frmCausas() override;

    QString Causa;

    Kit::ListView *lvCausas = nullptr;
    Kit::Etiqueta *lbInfo = nullptr;

protected:
    void formLoad() override;
    void formUnloaded() override;
    void formActivate() override;
    void formKeyUp(int keyCode, int shift) override;

private:
    void creaControles();
    void conectaEventos();

    void llenaCausas();
    void lvCausas_KeyDown(int keyCode, int shift);
    void lvCausas_DblClick();
    void eligeCausa();
    QString claveSeleccionada() const;

    Kit::colorZEL *colorZEL = nullptr;
    Kit::Titulo *Titulo = nullptr;
};

#pragma once

#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QFormLayout;
class QLineEdit;
class QPushButton;

namespace Pantallas {

// A screen the host shows in place of a sibling module's own: a modeless window owned by the
// host's main window (so it stays over it and is listed among the application's windows),
// deleted once closed. Enter presses its default button and Esc closes it, as in a dialog. A
// screen that registers something (it has a main button) and is left without it, by Cancelar,
// Esc or its window's close, says in the status bar that nothing was registered.
// What a screen only shows (its title, its cards' fields, its lists) shows each character that
// changes the direction of the text as its code (see Kit::withDirectionShown), so a folio or a
// name cannot pass for another; what the user edits and saves keeps the stored text.
class Suplente : public QDialog
{
    Q_OBJECT

public:
    Suplente(const QString &nombre, const QString &titulo, QWidget *duena);

    // The request it answers ("KLD215 ACCION=CONSULTA|DATO=C001"): the same request again
    // brings this screen to the front instead of opening another.
    QString solicitud() const { return m_solicitud; }
    void setSolicitud(const QString &solicitud) { m_solicitud = solicitud; }

    void reject() override;

Q_SIGNALS:
    // Something the user did that changed the database, in words for the status bar.
    void accionRealizada(const QString &descripcion);

protected:
    // The window's buttons: `principal` is the default one (Enter), "Cerrar"/"Cancelar" closes.
    QDialogButtonBox *botones(QPushButton *principal, const QString &textoCerrar);

private:
    QString m_solicitud;
    bool m_registra = false; // it has a main button that writes
    bool m_realizo = false;  // and it wrote
};

// A field of a card that can be read, selected and copied but not changed; screen readers
// announce it by its label. "txtNombre" is labelled by "lbNombre".
QLineEdit *campoDeLectura(QWidget &pantalla, QFormLayout &forma, const QString &etiqueta, const QString &nombre,
                          const QString &valor);

// Gives a field that cannot be changed the window's colour, so it reads as fixed.
void pareceDeLectura(QLineEdit &campo);

// "Nombre (CLAVE)", or the key alone when the name is empty.
QString conClave(const QString &nombre, const QString &clave);

} // namespace Pantallas
